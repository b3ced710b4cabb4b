#include "store/recipeview.h"

#include "store/units.h"

namespace store {

QList<IngredientLine> readRows(const RecipeDraft &draft)
{
    QList<IngredientLine> rows;
    rows.reserve(draft.rows.size());
    for (const DraftRow &row : draft.rows) {
        IngredientLine line = readIngredient(row.amount, row.measure, row.ingredient);
        if (!line.isEmpty())
            rows.append(std::move(line));
    }
    return rows;
}

double servingsFactor(double servings, const QString &servingSize)
{
    const std::optional<double> size = parseAmount(servingSize);
    return servings > 0 && size && *size > 0 ? servings / *size : 1;
}

QStringList shownIngredients(const QList<IngredientLine> &rows, double factor, Units units)
{
    QStringList shown;
    shown.reserve(rows.size());
    for (const IngredientLine &row : rows) {
        const ShownAmount amount = showLine(row, factor, units);
        QString text = amount.amount;
        for (const QString *part : {&amount.measure, &row.text}) {
            if (part->isEmpty())
                continue;
            if (!text.isEmpty())
                text += u' ';
            text += *part;
        }
        shown.append(text);
    }
    return shown;
}

RecipeView viewOf(const RecipeDraft &draft, const QList<IngredientLine> &rows, double servings, Units units)
{
    RecipeView view;
    view.ingredients = shownIngredients(rows, servingsFactor(servings, draft.servingSize), units);
    for (const QString &line : draft.directions.split(u'\n')) {
        const QString step = line.trimmed();
        if (!step.isEmpty())
            view.steps.append(step);
    }
    bool number = false;
    const int fahrenheit = draft.temperature.trimmed().toInt(&number);
    if (number && fahrenheit > 0) {
        view.oven = QStringLiteral("%1 °F · %2 °C").arg(fahrenheit).arg(toCelsius(fahrenheit));
        if (const QString mark = gasMark(fahrenheit); !mark.isEmpty())
            view.oven += QStringLiteral(" · gas mark ") + mark;
    }
    QStringList time;
    if (const int hours = draft.hours.trimmed().toInt(); hours > 0)
        time.append(QStringLiteral("%1 h").arg(hours));
    if (const int minutes = draft.minutes.trimmed().toInt(); minutes > 0)
        time.append(QStringLiteral("%1 min").arg(minutes));
    view.time = time.join(u' ');
    const QString size =
        servings > 0 && parseAmount(draft.servingSize) ? writeAmount(servings) : draft.servingSize.trimmed();
    if (!size.isEmpty())
        view.servings = QStringLiteral("Serves ") + size;
    view.note = draft.note;
    view.source = draft.source;
    return view;
}

QString printedText(const RecipeView &view)
{
    QStringList blocks;
    QStringList facts;
    for (const QString &fact : {view.servings, view.time.isEmpty() ? QString() : "Time: " + view.time,
                                view.oven.isEmpty() ? QString() : "Oven: " + view.oven}) {
        if (!fact.isEmpty())
            facts.append(fact);
    }
    if (!facts.isEmpty())
        blocks.append(facts.join(QStringLiteral("   ")));
    if (!view.ingredients.isEmpty())
        blocks.append(view.ingredients.join(u'\n'));
    QStringList steps;
    for (qsizetype i = 0; i < view.steps.size(); ++i)
        steps.append(QStringLiteral("%1. %2").arg(i + 1).arg(view.steps.at(i)));
    if (!steps.isEmpty())
        blocks.append(steps.join(u'\n'));
    QStringList end;
    if (!view.note.isEmpty())
        end.append(kNoteLabel.toString() + u' ' + view.note);
    if (!view.source.isEmpty())
        end.append(kSourceLabel.toString() + u' ' + view.source);
    if (!end.isEmpty())
        blocks.append(end.join(u'\n'));
    return blocks.join(QStringLiteral("\n\n"));
}

} // namespace store
