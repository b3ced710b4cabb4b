#include "store/amount.h"
#include "store/interchange/mapping.h"
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
            << u"4"_s << QStringList{"1 1/4 cups Milk", "2 3/4 cups flour", "1 tbsp salt", "a pinch nutmeg"};
        QTest::newRow("as written without servings")
            << QList{recipe(u"4"_s, {{"1,5", "l", "water"}, {"2", "tsp", "salt"}})} << QString()
            << QStringList{"2 tsp salt", "1,5 l water"};
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
            << QString() << QStringList{"1 1/3 cups Sugar", "750 ml oil"};
        QTest::newRow("volumes add up, other measures apart on one line")
            << QList{recipe({}, {{"1", "cup", "milk"}, {"2", "tbsp", "milk"}, {"2", "", "eggs"}, {"1", "dozen", "eggs"}})}
            << QString() << QStringList{"1 1/8 cups milk", "1 dozen + 2 eggs"};
        QTest::newRow("ranges scaled and added, no amount once")
            << QList{recipe(u"2"_s, {{"2-3", "", "eggs"}, {"1", "", "eggs"}, {"", "", "salt"}, {"", "", "salt"}})}
            << u"4"_s << QStringList{"6-8 eggs", "salt"};
        QTest::newRow("tb and tbsp of one ingredient are one line")
            << QList{recipe({}, {{"2", "tb", "soy sauce"}, {"1", "tbsp", "Soy Sauce"}})} << QString()
            << QStringList{"3 tbsp soy sauce"};
        QTest::newRow("a cup and 250 ml of milk are one line")
            << QList{recipe({}, {{"1", "cup", "milk"}, {"250", "ml", "milk"}})} << QString() << QStringList{"2 cups milk"};
        QTest::newRow("a measure left in the text is read")
            << QList{recipe({}, {{"3", "", "tablespoons soy sauce"}, {"1", "tbsp", "soy sauce"}})} << QString()
            << QStringList{"1/4 cup soy sauce"};
        QTest::newRow("a range scaled in fractions")
            << QList{recipe(u"2"_s, {{"1-2", "cups", "flour"}})} << u"3"_s << QStringList{"1 1/2-3 cups flour"};
        QTest::newRow("counted to a whole or a half, spoons readable")
            << QList{recipe(u"4"_s, {{"3", "", "eggs"}, {"1/4", "cup", "sugar"}})} << u"5"_s
            << QStringList{"4 eggs", "5 tbsp sugar"};
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

    // The rows beyond the tenth, which the import keeps under "More ingredients:", are shopped and scaled.
    void lines_importedFourteenRows_shopsTheOverflow()
    {
        store::interchange::Recipe recipe;
        recipe.title = "Big Stew";
        recipe.yield = "4";
        for (int i = 1; i <= 14; ++i)
            recipe.ingredients.append({"1", "cup", QStringLiteral("thing %1").arg(i)});
        recipe.ingredients.append({"1", "cup", "thing 1"});
        recipe.directions = "Stew.";
        const store::RecipeRecord record = store::interchange::toRecord(recipe).record;
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
