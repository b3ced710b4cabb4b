#pragma once

#include "store/amount.h"
#include "store/units.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

/// One reading of a recipe's ingredients, for every part that reads them: the rows of a record (rows 1 to
/// 10, then the lines under "More ingredients:" at the top of the directions), each read as an amount, a
/// measure and the ingredient, and shown scaled and in the units asked for.
namespace store {

struct RecipeRecord;

/// The line above the ingredients beyond the tenth row, at the top of the directions (after the recipe's
/// title when an import put it there).
inline constexpr QStringView kMoreIngredientsLine = u"More ingredients:";

/// One ingredient row read.
struct IngredientLine
{
    QString amount;  ///< as written
    QString measure; ///< as written; a measure word the import left at the start of the text is moved here
    QString text;    ///< the ingredient
    std::optional<Quantity> quantity; ///< none for an amount that is no number ("a pinch", "")
    const Unit *unit = nullptr;       ///< none for a measure outside the table or none at all ("2 eggs")

    bool isEmpty() const { return amount.isEmpty() && measure.isEmpty() && text.isEmpty(); }
};

/// Where the lines under "More ingredients:" lie in `directions`: the start of the first and the end of
/// the last (before the empty line that ends them); {0, 0} when the directions have none. The heading
/// counts at the very top or as the second line, below a title.
struct TextSpan
{
    qsizetype start = 0;
    qsizetype end = 0;
    bool isEmpty() const { return start == end; }
};
TextSpan moreIngredients(QStringView directions);

/// The number of lines at the top of `directions` that belong to the ingredients: up to and including
/// the last line under "More ingredients:"; 0 when there are none.
int moreIngredientsLineCount(QStringView directions);

/// Reads one row of three fields. A measure outside the table stays as written; when the measure is
/// empty, a measure word at the start of the text is taken as the measure ("3 | | tablespoons soy
/// sauce" reads as 3 tablespoons of soy sauce).
IngredientLine readIngredient(const QString &amount, const QString &measure, const QString &text);

/// Reads one line as an import writes a row beyond the tenth: "amount measure ingredient", each part
/// optional ("1 1/2 cups flour", "200g sugar", "2-3 eggs", "salt").
IngredientLine readIngredientLine(QStringView line);

/// Every ingredient row of `record` that is not empty: rows 1 to 10, then the lines under "More
/// ingredients:".
QList<IngredientLine> ingredientsOf(const RecipeRecord &record);

/// The units an amount is shown in.
enum class Units { AsWritten, Metric, US };

/// An amount and its measure ready to show.
struct ShownAmount
{
    QString amount;
    QString measure;
    friend bool operator==(const ShownAmount &, const ShownAmount &) = default;
};

/// `quantity` of `unit` (null: counted, "2 eggs") times `factor`, in `units`, written readably:
/// - US: fractions to the eighth (thirds too), in the largest of teaspoon, tablespoon and cup (ounce and
///   pound for mass) that stays readable: 3 tsp is 1 tbsp, 16 tbsp is 1 cup;
/// - metric: 5 ml or 5 g steps below 100, 10 below 1,000, then litres or kilograms with one decimal;
/// - a volume becomes a mass in metric for an ingredient a metric kitchen weighs (densityOf()) from 30 ml
///   on, a mass a volume in US for an ingredient the table knows;
/// - a measure of no kitchen's (msk, EL, a pinch) stays, with only its number scaled; so does a counted
///   amount, rounded to a whole number or a half (never "5.6 eggs");
/// - As written keeps the measure's own kitchen, and the written measure when it still fits.
/// A range stays a range, both ends in one measure.
ShownAmount showAmount(const Quantity &quantity, const Unit *unit, const QString &measure, QStringView ingredient,
                       Units units);

/// `line` shown `factor` times its amount in `units`; an amount that is no number, and a line shown as
/// written unscaled, stay exactly as written.
ShownAmount showLine(const IngredientLine &line, double factor, Units units);

} // namespace store
