#include "store/fileops.h"
#include "store/interchange/mapping.h"
#include "store/interchange/reader.h"
#include "store/io/failure.h"
#include "store/kitchen.h"
#include "store/shoppinglist.h"
#include "tests/support/appfolder.h"
#include "tests/support/rows.h"

#include <QTest>

using namespace Qt::StringLiterals;

/// The shopping list merged from several recipes, the keys it merges by, the built-in aisles and the
/// household's staples and aisle choices kept in the Kitchen folder.
class MergedListTest : public QObject
{
    Q_OBJECT

private slots:
    void ingredientKey_data() { testing::addTable("table/ingredient-keys.txt"); }
    void ingredientKey()
    {
        const auto [text, key] = testing::cells<2>();
        QCOMPARE(store::ingredientKey(text), key);
    }

    void builtInAisle_data() { testing::addTable("table/builtin-aisles.txt"); }
    void builtInAisle()
    {
        const auto [key, aisle] = testing::cells<2>();
        const std::optional<store::Aisle> found = store::builtInAisle(key);
        QCOMPARE(found ? store::aisleName(*found) : u"-"_s, aisle);
    }

    void aisleNamed_everyNameReadBack()
    {
        for (const store::Aisle aisle : store::kAisles) {
            QCOMPARE(store::aisleNamed(store::aisleName(aisle)), aisle);
            QCOMPARE(store::aisleNamed(u"  "_s + store::aisleName(aisle).toUpper()), aisle);
        }
        QCOMPARE(store::aisleNamed(u"Deli"), std::nullopt);
        QCOMPARE(store::aisleNamed(u""), std::nullopt);
    }

    // Real ingredient rows of several recipes, merged with the built-in staples and aisles.
    void merge_data() { testing::addTable("table/merged-lists.txt"); }
    void merge()
    {
        const auto [recipes, items, checkYouHave] = testing::cells<3>();
        const testing::AppFolder app;
        const store::MergedShoppingList list = store::mergeShoppingList(toShop(recipes), store::Kitchen::load());
        QCOMPARE(written(list.items, true), split(items));
        QCOMPARE(written(list.checkYouHave, false), split(checkYouHave));
    }

    void servingsFactor_data()
    {
        testing::addRows({"asked of a size; 6; 4; 1.5", "no size; 6; ; 1", "size not a number; 6; 4-6; 1",
                          "none asked; ; 4; 1", "zero asked; 0; 4; 1", "fractions; 1 1/2; 3/4; 2"});
    }
    void servingsFactor()
    {
        const auto [servings, size, factor] = testing::cells<3>();
        QCOMPARE(store::servingsFactor(servings, size), factor.toDouble());
    }

    // The text the shopping-list screen receives: aisles as headings, the staples last.
    void shoppingListText_headingsAndStaples()
    {
        const testing::AppFolder app;
        const store::MergedShoppingList list = store::mergeShoppingList(
            toShop(u"2|cups|milk ; 1||onion ; 1|tsp|salt // 1|cup|Milk ; 2||onions, sliced ; 1|lb|chicken thighs"_s),
            store::Kitchen::load());
        QCOMPARE(store::shoppingListText(list),
                 QStringList({"Produce:", "3 onions", "", "Dairy:", "3 cups milk", "",
                              "Meat and fish:", "1 lb chicken thighs", "", "Check you have:", "1 tsp salt"}));
    }

    void kitchen_withoutFiles_builtInStaplesNoChoices()
    {
        const testing::AppFolder app(testing::AppFolder::Empty);
        const store::Kitchen kitchen = store::Kitchen::load();
        QCOMPARE(kitchen.staples(), store::builtInStaples());
        QVERIFY(kitchen.isStaple(store::ingredientKey(u"Salt, to taste")));
        QVERIFY(!kitchen.isStaple(u"butter"));
        QCOMPARE(kitchen.aisleOf(u"spinach"), store::Aisle::Produce);
        QCOMPARE(kitchen.aisleOf(u"widget"), store::Aisle::Other);
        QVERIFY(app.entries({}).isEmpty()); // reading makes nothing
    }

    void setStaples_savedAndReadBack()
    {
        const testing::AppFolder app(testing::AppFolder::Empty);
        store::Kitchen kitchen = store::Kitchen::load();
        kitchen.setStaples({"Butter", " olive  oil ", "", "butter", "Salt"});
        QCOMPARE(app.read("Kitchen/staples.txt"), "Butter\r\nolive oil\r\nSalt\r\n");
        const store::Kitchen again = store::Kitchen::load();
        QCOMPARE(again.staples(), QStringList({"Butter", "olive oil", "Salt"}));
        QVERIFY(again.isStaple(store::ingredientKey(u"butter, softened")));
        QVERIFY(!again.isStaple(u"water")); // the household's list replaces the built-in one

        const store::MergedShoppingList list =
            store::mergeShoppingList(toShop(u"2|tbsp|butter ; 1|cup|water"_s), again);
        QCOMPARE(written(list.checkYouHave, false), QStringList{"2 tbsp butter"});
        QCOMPARE(written(list.items, true), QStringList{"Other: 1 cup water"});
    }

    void setAisle_savedReadBackAndUsed()
    {
        const testing::AppFolder app(testing::AppFolder::Empty);
        store::Kitchen kitchen = store::Kitchen::load();
        kitchen.setAisle(u"spinach"_s, store::Aisle::Frozen);
        kitchen.setAisle(u"tofu"_s, store::Aisle::Dairy);
        kitchen.setAisle(u"spinach"_s, store::Aisle::MeatAndFish); // in place of the first choice
        QCOMPARE(app.read("Kitchen/aisles.txt"), "\"spinach\",\"Meat and fish\"\r\n\"tofu\",\"Dairy\"\r\n");
        QCOMPARE(kitchen.aisleOf(u"spinach"), store::Aisle::MeatAndFish);

        const store::Kitchen again = store::Kitchen::load();
        QCOMPARE(again.aisleOf(u"spinach"), store::Aisle::MeatAndFish);
        QCOMPARE(again.aisleOf(u"tofu"), store::Aisle::Dairy);
        const store::MergedShoppingList list =
            store::mergeShoppingList(toShop(u"1||onion ; 200|g|spinach, chopped ; 1|block|tofu"_s), again);
        QCOMPARE(written(list.items, true),
                 QStringList({"Produce: 1 onion", "Dairy: 1 block tofu", "Meat and fish: 200 g spinach"}));
    }

    // A record whose aisle is none of the program's stays in the file through a later save.
    void setAisle_keepsRecordsItDoesNotKnow()
    {
        const testing::AppFolder app(testing::AppFolder::Empty);
        app.write("Kitchen/aisles.txt", "\"tofu\",\"Deli\"\r\n\"onion\",\"Frozen\"\r\n");
        store::Kitchen kitchen = store::Kitchen::load();
        QCOMPARE(kitchen.aisleOf(u"tofu"), store::Aisle::Other);
        QCOMPARE(kitchen.aisleOf(u"onion"), store::Aisle::Frozen);
        kitchen.setAisle(u"onion"_s, store::Aisle::Produce);
        QCOMPARE(app.read("Kitchen/aisles.txt"), "\"tofu\",\"Deli\"\r\n\"onion\",\"Produce\"\r\n");
    }

    // A save that fails leaves the file and the kitchen as they were.
    void save_readOnlyFiles_failWith75AndChangeNothing()
    {
        const testing::AppFolder app(testing::AppFolder::Empty);
        app.write("Kitchen/aisles.txt", "\"onion\",\"Frozen\"\r\n");
        app.write("Kitchen/staples.txt", "salt\r\n");
        app.setReadOnly("Kitchen/aisles.txt");
        app.setReadOnly("Kitchen/staples.txt");
        store::Kitchen kitchen = store::Kitchen::load();
        QCOMPARE(testing::failureOf([&] { kitchen.setAisle(u"onion"_s, store::Aisle::Produce); }), 75);
        QCOMPARE(testing::failureOf([&] { kitchen.setStaples({"butter"}); }), 75);
        QCOMPARE(kitchen.aisleOf(u"onion"), store::Aisle::Frozen);
        QCOMPARE(kitchen.staples(), QStringList{"salt"});
        QCOMPARE(app.read("Kitchen/aisles.txt"), "\"onion\",\"Frozen\"\r\n");
        QCOMPARE(app.read("Kitchen/staples.txt"), "salt\r\n");
        QCOMPARE(app.entries("Kitchen"), QStringList({"aisles.txt", "staples.txt"}));
    }

    void load_unreadableFile_failsWith75()
    {
        const testing::AppFolder app(testing::AppFolder::Empty);
        app.makeFolder("Kitchen/aisles.txt");
        QCOMPARE(testing::failureOf([] { store::Kitchen::load(); }), 75);
    }

    // The find window's lines: merged with the built-in aisles, scaled by servings / serving size.
    void shoppingListLines_scaledByServings()
    {
        const QList<store::RecipeRecord> recipes = {testing::recipe({"2-3||eggs", "1|cup|milk"}, {}, {{}, "2"}),
                                                    testing::recipe({"1||egg", "250|ml|milk"}, {}, {{}, "4"})};
        QCOMPARE(store::shoppingListLines(recipes, u"4"_s), QStringList({"5-7 eggs", "3 cups milk"}));
        QCOMPARE(store::shoppingListLines(recipes, {}), QStringList({"3-4 eggs", "2 cups milk"}));
    }

    // A week of seven dinners from a MealMaster file of our own, read as an import reads them, each shopped for
    // at its own serving size with the built-in staples and aisles: the list a household takes to the shop.
    void merge_aWeekOfImportedDinners()
    {
        const testing::AppFolder app;
        std::unique_ptr<store::interchange::RecipeReader> reader =
            store::interchange::makeReader(testing::fixture("plan/seven-dinners.mmf"));
        QList<store::RecipeToShop> week;
        while (const std::optional<store::interchange::ReadItem> item = reader->next()) {
            QVERIFY2(item->problem.isEmpty(), qPrintable(item->problem));
            week.append({store::interchange::toRecord(item->recipe).record, 1});
        }
        QCOMPARE(week.size(), 7);
        const store::MergedShoppingList list = store::mergeShoppingList(week, store::Kitchen::load());
        QCOMPARE(written(list.items, true).join(u'|'),
                 "Produce: 2 Leeks|Produce: 5 Onions|Produce: 6 Garlic cloves|Produce: 500 g Potatoes|"
                 "Produce: 2 Lemons|Produce: 2 tbsp Dill|Produce: 4 Carrots|Produce: 1 Red pepper|"
                 "Produce: 250 g Broccoli|Produce: 1 tsp Ginger|"
                 "Dairy: 3 tbsp Butter|Dairy: 2 1/8 cups Milk|Dairy: 1/2 cup Parmesan|Dairy: 3 Eggs|"
                 "Dairy: 1 oz Cheddar cheese|"
                 "Meat and fish: 1 lb Chicken thighs|Meat and fish: 3/4 lb Salmon fillet|"
                 "Meat and fish: 1 lb Ground beef|"
                 "Dry goods: 2 tbsp Flour|Dry goods: 1/2 cup Chicken stock|Dry goods: 1 lb Spaghetti|"
                 "Dry goods: 1/4 cup Olive oil|Dry goods: 3 1/2 lb Canned tomatoes|Dry goods: 15 oz Kidney beans|"
                 "Dry goods: 1 cup Rice|Dry goods: 2 tbsp Soy sauce|Dry goods: 1 tbsp Vegetable oil|"
                 "Dry goods: 1 cup Red lentils|Dry goods: 1 quart Vegetable stock|"
                 "Spices: 1 tsp Dried oregano|Spices: 2 tbsp Chili powder|Spices: 2 tsp Ground cumin|"
                 "Frozen: 1 package Puff pastry");
        QCOMPARE(written(list.checkYouHave, false), QStringList({"1 pinch + 1 tsp Salt", "Pepper"}));
    }

private:
    // The recipes of a table cell: " // " between recipes, an optional "x<factor>: " first, " ; " between rows.
    static QList<store::RecipeToShop> toShop(const QString &cell)
    {
        QList<store::RecipeToShop> recipes;
        for (QString text : cell.split(u" // "_s)) {
            double factor = 1;
            if (text.startsWith(u'x')) {
                const qsizetype colon = text.indexOf(u':');
                factor = text.mid(1, colon - 1).toDouble();
                text = text.mid(colon + 1).trimmed();
            }
            QStringList rows;
            QStringList more;
            for (const QString &row : text.split(u" ; "_s))
                (row.contains(u'|') ? rows : more).append(row);
            const QString directions = more.isEmpty() ? QString() : u"More ingredients:\n"_s + more.join(u'\n');
            recipes.append({testing::recipe(rows, directions), factor});
        }
        return recipes;
    }

    static QStringList split(const QString &cell) { return cell.isEmpty() ? QStringList() : cell.split(u" ; "_s); }

    static QStringList written(const QList<store::ShoppingItem> &items, bool withAisle)
    {
        QStringList lines;
        for (const store::ShoppingItem &item : items)
            lines.append(withAisle ? store::aisleName(item.aisle) + u": "_s + item.line : item.line);
        return lines;
    }
};

QTEST_GUILESS_MAIN(MergedListTest)
#include "mergedlist_test.moc"
