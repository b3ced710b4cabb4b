#include "store/amount.h"
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
};

QTEST_GUILESS_MAIN(ShoppingListTest)
#include "shoppinglist_test.moc"
