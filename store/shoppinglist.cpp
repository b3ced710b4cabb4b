#include "store/shoppinglist.h"

#include "store/amount.h"
#include "store/ingredients.h"
#include "store/recipefile.h"

#include <QHash>

#include <optional>

namespace store {

namespace {

struct Line
{
    IngredientLine first;          ///< the first row, as written
    std::optional<Quantity> total; ///< in millilitres or grams for a volume or a mass; none when no number
    bool changed = false;          ///< scaled or added to, so that the total is written instead of the amount
};

// A number above 0 from `text`; scaling by 0 or by a serving size of 0 makes no sense.
std::optional<double> positive(const QString &text)
{
    const std::optional<double> value = parseAmount(text);
    return value && *value > 0 ? value : std::nullopt;
}

bool isMeasured(const Unit *unit)
{
    return unit && unit->dimension != Dimension::Other;
}

// What rows must share to be added up: the ingredient, and a volume, a mass, or the same other measure.
QString keyOf(const IngredientLine &line)
{
    QString what = line.measure.toCaseFolded();
    if (isMeasured(line.unit))
        what = line.unit->dimension == Dimension::Volume ? QStringLiteral("\1volume") : QStringLiteral("\1mass");
    return what + QLatin1Char('\n') + line.text.toCaseFolded();
}

} // namespace

QStringList shoppingListLines(const QList<RecipeRecord> &recipes, const QString &servings)
{
    const std::optional<double> wanted = positive(servings);
    QList<Line> lines;
    QHash<QString, qsizetype> byKey; // what keyOf() gives to the line that adds them up
    for (const RecipeRecord &recipe : recipes) {
        double factor = 1;
        if (const std::optional<double> size = positive(recipe.servingSize()); wanted && size)
            factor = *wanted / *size;
        for (const IngredientLine &row : ingredientsOf(recipe)) {
            if (row.text.isEmpty())
                continue;
            Line line{row, row.quantity};
            if (!line.total) {
                lines.append(line);
                continue;
            }
            *line.total = line.total->scaled(factor * (isMeasured(row.unit) ? row.unit->base : 1));
            line.changed = factor != 1;
            const QString key = keyOf(row);
            const auto found = byKey.constFind(key);
            if (found == byKey.constEnd()) {
                byKey.insert(key, lines.size());
                lines.append(line);
                continue;
            }
            Line &sum = lines[*found];
            sum.total->low += line.total->low;
            sum.total->high += line.total->high;
            sum.changed = true;
        }
    }

    QStringList written;
    written.reserve(lines.size());
    for (const Line &line : std::as_const(lines)) {
        ShownAmount shown{line.first.amount, line.first.measure};
        if (line.changed) {
            // In the first row's measure, and in its kitchen's readable measures.
            const Unit *unit = line.first.unit;
            const double base = isMeasured(unit) ? unit->base : 1;
            shown =
                showAmount(line.total->scaled(1 / base), unit, line.first.measure, line.first.text, Units::AsWritten);
        }
        QStringList parts;
        for (const QString &part : {shown.amount, shown.measure, line.first.text}) {
            if (!part.isEmpty())
                parts.append(part);
        }
        written.append(parts.join(QLatin1Char(' ')));
    }
    return written;
}

} // namespace store
