#include "store/amount.h"
#include "store/recipefile.h"
#include "store/shoppinglist.h"
#include "tests/support/appfolder.h"
#include "tests/support/rows.h"

#include <QTest>

#include <array>

using namespace Qt::StringLiterals;

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

    void lines_data()
    {
        QTest::addColumn<QList<store::RecipeRecord>>("recipes");
        QTest::addColumn<QString>("servings"); // asked for; empty keeps the amounts as written
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("three recipes, scaled and added")
            << QList{recipe(u"4"_s, {{"2", "cups", "flour"}, {"1", "tsp", "salt"}}),
                     recipe(u"2"_s, {{"1/2", "cup", "Milk"}, {"1", "tsp", "Salt"}}),
                     recipe(u"8"_s, {{"1 1/2", "cups", "Flour"}, {"½", "cup", "milk"}, {"a pinch", "", "nutmeg"}})}
            << u"4"_s << QStringList{"2 3/4 cups flour", "3 tsp salt", "1 1/4 cup Milk", "a pinch nutmeg"};
        QTest::newRow("as written without servings")
            << QList{recipe(u"4"_s, {{"1,5", "l", "water"}, {"2", "tsp", "salt"}})} << QString()
            << QStringList{"1,5 l water", "2 tsp salt"};
        QTest::newRow("serving size not a number: as written")
            << QList{recipe(u"4-6"_s, {{"2", "cups", "rice"}}), recipe({}, {{"1", "cups", "rice"}})} << u"12"_s
            << QStringList{"3 cups rice"};
        QTest::newRow("case and blanks around do not count, decimals add up")
            << QList{recipe({}, {{"1", "cup", "Sugar"},
                                 {" 1/3 ", " CUP ", "sugar  "},
                                 {"0.1", "l", "oil"},
                                 {"0.2", "L", "Oil"},
                                 {"0.3", "l", "oil"},
                                 {"0.15", "l", "oil"}})}
            << QString() << QStringList{"1 1/3 cup Sugar", "3/4 l oil"};
        QTest::newRow("another measure is another line")
            << QList{recipe({}, {{"1", "cup", "milk"}, {"2", "tbsp", "milk"}, {"2", "", "eggs"}, {"1", "dozen", "eggs"}})}
            << QString() << QStringList{"1 cup milk", "2 tbsp milk", "2 eggs", "1 dozen eggs"};
        QTest::newRow("amounts that are no number stay apart")
            << QList{recipe(u"2"_s, {{"2-3", "", "eggs"}, {"1", "", "eggs"}, {"", "", "salt"}, {"", "", "salt"}})}
            << u"4"_s << QStringList{"2-3 eggs", "2 eggs", "salt", "salt"};
        QTest::newRow("rows without an ingredient left out, single blanks")
            << QList{recipe({}, {{"2", "cups", " "}, {"", "", ""}, {"3", "", ""}, {" ", "", "  black pepper "}})}
            << QString() << QStringList{"black pepper"};
    }
    void lines()
    {
        QFETCH(QList<store::RecipeRecord>, recipes);
        QFETCH(QString, servings);
        QTEST(store::shoppingListLines(recipes, servings), "lines");
    }

private:
    /// A recipe of that serving size with `rows` of amount, measure and ingredient from row 1 on.
    static store::RecipeRecord recipe(const QString &servingSize, std::initializer_list<std::array<const char *, 3>> rows)
    {
        store::RecipeRecord r;
        int row = 0;
        for (const auto &[amount, measure, ingredient] : rows) {
            ++row;
            r.amount(row) = QString::fromUtf8(amount);
            r.type(row) = QString::fromUtf8(measure);
            r.ingredient(row) = QString::fromUtf8(ingredient);
        }
        r.servingSize() = servingSize;
        return r;
    }
};

QTEST_GUILESS_MAIN(ShoppingListTest)
#include "shoppinglist_test.moc"
