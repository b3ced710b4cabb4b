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

    // Each recipe is its serving size and its rows, "amount|measure|ingredient".
    void lines_data()
    {
        QTest::addColumn<QList<QStringList>>("recipes");
        QTest::addColumn<QString>("servings");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("three recipes, scaled and added")
            << QList<QStringList>{{"4", "2|cups|flour", "1|tsp|salt"},
                                  {"2", "1/2|cup|Milk", "1|tsp|Salt"},
                                  {"8", "1 1/2|cups|Flour", "½|cup|milk", "a pinch||nutmeg"}}
            << "4" << QStringList{"2 3/4 cups flour", "3 tsp salt", "1 1/4 cup Milk", "a pinch nutmeg"};
        QTest::newRow("as written without servings")
            << QList<QStringList>{{"4", "1,5|l|water", "2|tsp|salt"}} << "" << QStringList{"1,5 l water", "2 tsp salt"};
        QTest::newRow("serving size not a number: as written")
            << QList<QStringList>{{"4-6", "2|cups|rice"}, {"", "1|cups|rice"}} << "12" << QStringList{"3 cups rice"};
        QTest::newRow("case and blanks around do not count, decimals add up")
            << QList<QStringList>{{"", "1|cup|Sugar", " 1/3 | CUP |sugar  ", "0.1|l|oil", "0.2|L|Oil", "0.3|l|oil",
                                   "0.15|l|oil"}}
            << "" << QStringList{"1 1/3 cup Sugar", "3/4 l oil"};
        QTest::newRow("another measure is another line")
            << QList<QStringList>{{"", "1|cup|milk", "2|tbsp|milk", "2||eggs", "1|dozen|eggs"}} << ""
            << QStringList{"1 cup milk", "2 tbsp milk", "2 eggs", "1 dozen eggs"};
        QTest::newRow("amounts that are no number stay apart")
            << QList<QStringList>{{"2", "2-3||eggs", "1||eggs", "||salt", "||salt"}} << "4"
            << QStringList{"2-3 eggs", "2 eggs", "salt", "salt"};
        QTest::newRow("rows without an ingredient left out, single blanks")
            << QList<QStringList>{{"", "2|cups| ", "||", "3||", " ||  black pepper "}} << ""
            << QStringList{"black pepper"};
    }
    void lines()
    {
        QFETCH(QList<QStringList>, recipes);
        QFETCH(QString, servings);
        QList<store::RecipeRecord> records;
        for (const QStringList &r : std::as_const(recipes))
            records.append(testing::recipe(r.mid(1), {}, {{}, r.value(0)}));
        QTEST(store::shoppingListLines(records, servings), "lines");
    }
};

QTEST_GUILESS_MAIN(ShoppingListTest)
#include "shoppinglist_test.moc"
