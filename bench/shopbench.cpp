// The shopping list for a week of meals: 21 planned recipes of 15 ingredients each merged into one list,
// grouped by aisle, against reading their 315 ingredient rows alone.

#include "bench/benchsupport.h"
#include "store/ingredients.h"
#include "store/kitchen.h"
#include "store/recipefile.h"
#include "store/shoppinglist.h"

#include <QStringList>

namespace bench {
namespace {

// Rows as a week's dinners write them: the same things in other spellings, units, preparations and
// plurals, some without an amount, some staples, so that most lines merge with others.
constexpr const char *kRows[][3] = {
    {"2", "cups", "milk"},
    {"250", "ml", "Milk"},
    {"1", "", "onion, chopped"},
    {"2", "", "onions"},
    {"3", "cloves", "garlic, minced"},
    {"1", "clove", "garlic"},
    {"2", "tbsp", "olive oil"},
    {"1", "tb", "Olive Oil"},
    {"1 1/2", "cups", "flour"},
    {"100", "g", "all-purpose flour"},
    {"1", "tsp", "salt"},
    {"", "", "Salt, to taste"},
    {"", "", "freshly ground black pepper"},
    {"1", "lb", "chicken breasts"},
    {"500", "g", "ground beef"},
    {"2-3", "", "carrots, diced"},
    {"1", "can", "chopped tomatoes"},
    {"2", "", "large tomatoes"},
    {"1/2", "cup", "grated parmesan"},
    {"200", "g", "spaghetti"},
    {"1", "cup", "rice"},
    {"2", "cups", "chicken stock"},
    {"1", "tsp", "ground cumin"},
    {"1/2", "tsp", "paprika"},
    {"a pinch", "", "nutmeg"},
    {"3", "", "eggs"},
    {"2", "tbsp", "butter"},
    {"1", "", "lemon, juiced"},
    {"1", "bunch", "fresh parsley"},
    {"1", "cup", "frozen peas"},
    {"4", "", "bread rolls"},
    {"1", "", "red bell pepper, sliced"},
    {"200", "g", "spinach"},
    {"1", "cup", "spinach leaves"},
    {"2", "tsp", "soy sauce"},
};
constexpr int kRowKinds = int(std::size(kRows));

// Recipe `n` of the week: 10 rows and 5 lines under "More ingredients:", taken from the rows above in a
// different order for each.
store::RecipeRecord plannedRecipe(int n)
{
    store::RecipeRecord record;
    QStringList more;
    for (int i = 0; i < 15; ++i) {
        const auto &row = kRows[(n * 7 + i * 3) % kRowKinds];
        if (i < store::RecipeRecord::kRowCount) {
            record.amount(i + 1) = QString::fromUtf8(row[0]);
            record.type(i + 1) = QString::fromUtf8(row[1]);
            record.ingredient(i + 1) = QString::fromUtf8(row[2]);
        } else {
            more.append(QStringList{QString::fromUtf8(row[0]), QString::fromUtf8(row[1]), QString::fromUtf8(row[2])}
                            .join(u' ')
                            .simplified());
        }
    }
    record.directions() = QStringLiteral("More ingredients:\n") + more.join(u'\n') +
                          QStringLiteral("\n\nBrown the onions.\nAdd the rest and simmer.");
    record.servingSize() = QStringLiteral("4");
    return record;
}

void measureShoppingList()
{
    QList<store::RecipeToShop> week;
    for (int n = 0; n < 21; ++n)
        week.append({plannedRecipe(n), n % 3 == 0 ? 1.5 : 1.0});
    const store::Kitchen kitchen = store::Kitchen::builtIn();
    qsizetype rows = 0;
    qsizetype lines = 0;
    const auto [merging, reading] =
        inTurns([] {}, [&] { lines = store::mergeShoppingList(week, kitchen).items.size(); },
                [&] {
                    rows = 0;
                    for (const store::RecipeToShop &recipe : std::as_const(week))
                        rows += store::ingredientsOf(recipe.record).size();
                },
                std::max(defaultRuns(), 31));
    if (rows != 21 * 15 || lines == 0)
        qFatal("shopbench: %d rows read, %d lines made", int(rows), int(lines));
    addFigure({"shopping list for 21 planned recipes of 15 ingredients, merged by aisle (< 10 ms)", merging, reading,
               10, 10, "reading the 315 ingredient rows alone"});
}

const Registration kShop("shop", 115, measureShoppingList);

} // namespace
} // namespace bench
