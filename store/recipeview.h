#pragma once

#include "store/ingredients.h"
#include "store/recipedraft.h"

#include <QList>
#include <QString>
#include <QStringList>

/// A recipe as the recipe window shows and prints it: every ingredient scaled and in the units asked for,
/// the directions as numbered steps, the oven in both scales, the time and the serving size.
namespace store {

struct RecipeView
{
    QStringList ingredients; ///< "amount measure ingredient" for each row, as shown
    QStringList steps;       ///< the lines of the directions that are not empty, each a step
    QString oven;            ///< "350 °F · 175 °C · gas mark 4"; empty without a temperature
    QString time;            ///< "1 h 10 min"; empty without one
    QString servings;        ///< "Serves 4"; empty without a serving size
    QString note;
    QString source;
};

/// The ingredient rows of `draft` read once (store/ingredients.h), kept so that a change of servings or
/// units shows them again without reading them again.
QList<IngredientLine> readRows(const RecipeDraft &draft);

/// What the window shows of `draft` read as `rows`, for `servings` (0 or a serving size that is no
/// number: as written) in `units`. Amounts that are no number stay as written.
RecipeView viewOf(const RecipeDraft &draft, const QList<IngredientLine> &rows, double servings, Units units);

/// The ingredients alone, for a change of servings or units.
QStringList shownIngredients(const QList<IngredientLine> &rows, double factor, Units units);

/// The factor amounts are multiplied by for `servings` of a recipe of serving size `servingSize`: 1 when
/// either is no number above 0.
double servingsFactor(double servings, const QString &servingSize);

/// A recipe shown as `view`, as plain text for the printer below its name: the serving size, time and
/// oven, the ingredients, the numbered steps, the note and the source, an empty line between parts.
QString printedText(const RecipeView &view);

} // namespace store
