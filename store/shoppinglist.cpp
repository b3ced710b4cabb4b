#include "store/shoppinglist.h"

#include "store/amount.h"
#include "store/recipefile.h"

#include <QHash>

#include <optional>

namespace store {

namespace {

struct Line
{
    QString amount; ///< as written in the first row
    QString measure;
    QString ingredient;
    std::optional<double> total; ///< none for an amount that is not a number
    bool changed = false;        ///< scaled or added to, so that the total is written instead of the amount
};

// A number above 0 from `text`; scaling by 0 or by a serving size of 0 makes no sense.
std::optional<double> positive(const QString &text)
{
    const std::optional<double> value = parseAmount(text);
    return value && *value > 0 ? value : std::nullopt;
}

} // namespace

QStringList shoppingListLines(const QList<RecipeRecord> &recipes, const QString &servings)
{
    const std::optional<double> wanted = positive(servings);
    QList<Line> lines;
    QHash<QString, qsizetype> byKey; // measure and ingredient, case-folded, to the line that adds them up
    for (const RecipeRecord &recipe : recipes) {
        double factor = 1;
        if (const std::optional<double> size = positive(recipe.servingSize()); wanted && size)
            factor = *wanted / *size;
        for (int row = 1; row <= RecipeRecord::kRowCount; ++row) {
            Line line{recipe.amount(row).trimmed(), recipe.type(row).trimmed(), recipe.ingredient(row).trimmed(),
                      parseAmount(recipe.amount(row))};
            if (line.ingredient.isEmpty())
                continue;
            if (!line.total) {
                lines.append(line);
                continue;
            }
            *line.total *= factor;
            line.changed = factor != 1;
            const QString key = line.measure.toCaseFolded() + QLatin1Char('\n') + line.ingredient.toCaseFolded();
            const auto found = byKey.constFind(key);
            if (found == byKey.constEnd()) {
                byKey.insert(key, lines.size());
                lines.append(line);
                continue;
            }
            Line &sum = lines[*found];
            *sum.total += *line.total;
            sum.changed = true;
        }
    }

    QStringList written;
    written.reserve(lines.size());
    for (const Line &line : std::as_const(lines)) {
        QStringList parts;
        for (const QString &part :
             {line.changed ? writeAmount(*line.total) : line.amount, line.measure, line.ingredient}) {
            if (!part.isEmpty())
                parts.append(part);
        }
        written.append(parts.join(QLatin1Char(' ')));
    }
    return written;
}

} // namespace store
