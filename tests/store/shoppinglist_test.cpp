#include "store/amount.h"
#include "store/formats/mapping.h"
#include "store/recipefile.h"
#include "store/shoppinglist.h"
#include "tests/support/appfolder.h"
#include "tests/support/rows.h"

#include <QTest>

class ShoppingListTest : public QObject
{
    Q_OBJECT

private slots:
    // What a typed amount is worth, shown as a shopping list writes it; "-" for a text that is no number.
    // Plain fractions, mixed numbers, ranges and words are rows of lines() below.
    void amount_data() { testing::addTable("table/amounts.txt"); }
    void amount()
    {
        const auto [typed, written] = testing::cells<2>();
        const std::optional<double> value = store::parseAmount(typed);
        QCOMPARE(value ? store::writeAmount(*value) : QStringLiteral("-"), written);
    }

    void lines_data() { testing::addTable("table/shopping-lines.txt"); }
    void lines()
    {
        const auto [recipes, servings, lines] = testing::cells<3>();
        QList<store::RecipeRecord> records;
        for (const QString &recipe : recipes.split(" / ")) {
            const QStringList r = recipe.split(u';');
            records.append(testing::recipe(r.mid(1), {}, {{}, r.value(0)}));
        }
        QCOMPARE(store::shoppingListLines(records, servings).join(u';'), lines);
    }

    // The rows beyond the tenth, which the import keeps under "More ingredients:", are shopped and scaled.
    void lines_importedFourteenRows_shopsTheOverflow()
    {
        store::formats::Recipe recipe;
        recipe.title = "Big Stew";
        recipe.yield = "4";
        for (int i = 1; i <= 14; ++i)
            recipe.ingredients.append({"1", "cup", QStringLiteral("thing %1").arg(i)});
        recipe.ingredients.append({"1", "cup", "thing 1"});
        recipe.directions = "Stew.";
        const store::RecipeRecord record = store::formats::toRecord(recipe).record;
        QVERIFY(record.directions().startsWith("More ingredients:\n"));

        const QStringList lines = store::shoppingListLines({record}, "8");
        QCOMPARE(lines.size(), 14);
        QCOMPARE(lines.first(), "4 cups thing 1");
        for (int i = 2; i <= 14; ++i)
            QCOMPARE(lines.at(i - 1), QStringLiteral("2 cups thing %1").arg(i));
    }
};

QTEST_GUILESS_MAIN(ShoppingListTest)
#include "shoppinglist_test.moc"
