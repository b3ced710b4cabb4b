#pragma once

#include "store/aisles.h"
#include "store/kitchen.h"
#include "store/recipefile.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

/// A shopping list made from recipes: their ingredient rows, scaled, merged by ingredient and grouped by
/// the aisle they are bought in, the household's staples apart.
namespace store {

/// One recipe to shop for: its record and the factor its amounts are multiplied by (servings asked for /
/// the recipe's serving size; 1 when either is unknown).
struct RecipeToShop
{
    RecipeRecord record;
    double factor = 1;
};

/// The factor for `servings` asked of a recipe of `servingSize`: their quotient when both are numbers above
/// 0 (store/amount.h), else 1.
double servingsFactor(QStringView servings, QStringView servingSize);

/// One line of a merged shopping list.
struct ShoppingItem
{
    QString line;       ///< as shown and printed: "2 1/2 cups milk", "2 cups + 100 g flour", "salt"
    QString ingredient; ///< the key lines were merged by ("milk", "onion"): what an aisle choice is kept for
    Aisle aisle = Aisle::Other;
    friend bool operator==(const ShoppingItem &, const ShoppingItem &) = default;
};

struct MergedShoppingList
{
    QList<ShoppingItem> items; ///< grouped by aisle in the enum's order, in order of first appearance within one
    QList<ShoppingItem>
        checkYouHave; ///< the staples the recipes use, merged the same way, in order of first appearance
};

/// The key an ingredient's text is merged by: lower case, without preparation ("onion, chopped" and "onion
/// (chopped)" give "onion"), singular ("onions" gives "onion"), without "to taste", blanks collapsed.
QString ingredientKey(QStringView ingredientText);

/// The one shopping list for `recipes`: every ingredient row of each (rows 1 to 10 and the "More
/// ingredients:" ones, ingredientsOf()), scaled by its factor, merged by ingredientKey() and grouped by
/// `kitchen`'s aisles; staples apart.
///
/// One line per key. Amounts of one measure in any spelling, and of volume or mass, are added and written
/// readably in the kitchen (US, metric) of the first row (showAmount(), as written); a volume and a mass of
/// one ingredient whose density is known are added as the first row's kind, else kept as two amounts on one
/// line ("2 cups + 100 g flour"). Counted amounts add up and round as showAmount() rounds them; a range
/// stays a range. Amounts that are no number ("a pinch") are kept once each, after the numbers; a key
/// without any amount ("salt", "Salt, to taste") is one line of the ingredient as first written. A row without
/// an amount that names two staples joined by "and" ("Salt and pepper") counts for each of them.
MergedShoppingList mergeShoppingList(const QList<RecipeToShop> &recipes, const Kitchen &kitchen);

/// The heading of the staples in a list as text.
inline constexpr QStringView kCheckYouHave = u"Check you have:";

/// `list` as text lines, as the shopping-list screen's box holds it: each aisle's name as a heading
/// ("Produce:") above its lines, an empty line between aisles, the staples last under kCheckYouHave.
QStringList shoppingListText(const MergedShoppingList &list);

/// The lines of mergeShoppingList() for `recipes`, each scaled by servings / serving size when both are
/// numbers (servingsFactor()), with the built-in kitchen (no staples taken apart, the built-in aisles):
/// grouped by aisle, in order of first appearance within one.
QStringList shoppingListLines(const QList<RecipeRecord> &recipes, const QString &servings);

} // namespace store
