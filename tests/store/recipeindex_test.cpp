#include "store/recipefile.h"
#include "store/recipeindex.h"
#include "tests/support/appfolder.h"

#include <QTest>
#include <QThread>

using Fields = store::RecipeIndex::Fields;
using store::RecipeIndex;

Q_DECLARE_METATYPE(Fields)

namespace {

constexpr Fields kAll = RecipeIndex::Names | RecipeIndex::Ingredients | RecipeIndex::Directions;

// The kitchen fixture: Desserts, Soups and stews, a listed category without a folder, a second listing
// of Soups, and one broken recipe.
struct Kitchen
{
    testing::AppFolder app;
    RecipeIndex index;
    Kitchen()
    {
        app.copyTree(QStringLiteral(LARDERON_TEST_DATA "/kitchen"), QStringLiteral("Category"));
        // Folders read in the same step of the clock as they changed would be read again next time.
        QThread::msleep(60);
        index.refresh();
    }
    // Each hit as "category/name [matched]".
    QStringList found(const QString &words, Fields fields = kAll) const
    {
        QStringList shown;
        for (const RecipeIndex::Hit &hit : index.search(words, fields))
            shown << hit.category + QLatin1Char('/') + hit.name +
                         (hit.matched.isEmpty() ? QString() : QStringLiteral(" [%1]").arg(hit.matched));
        return shown;
    }
};

} // namespace

class RecipeIndexTest : public QObject
{
    Q_OBJECT

private slots:
    void search_data()
    {
        QTest::addColumn<QString>("words");
        QTest::addColumn<Fields>("fields");
        QTest::addColumn<QStringList>("found");
        const QStringList everything{"Desserts/Apple Pie", u"Desserts/Crème brûlée"_qs, "Soups/Bell Pepper Soup",
                                     "Soups/Leek Soup", "stews/Beef Stew"};
        QTest::newRow("no words: every recipe, by category then name") << "" << kAll << everything;
        QTest::newRow("a word of the name in another case")
            << "LEEK" << Fields(RecipeIndex::Names) << QStringList{"Soups/Leek Soup"};
        QTest::newRow("accents typed, none in the text")
            << u"Bééf"_qs << Fields(RecipeIndex::Names) << QStringList{"stews/Beef Stew"};
        QTest::newRow("part of an ingredient")
            << "pepper" << Fields(RecipeIndex::Ingredients) << QStringList{"Soups/Bell Pepper Soup [red bell peppers]"};
        QTest::newRow("ingredient with accents, typed without")
            << "fraiche" << Fields(RecipeIndex::Ingredients) << QStringList{u"Soups/Leek Soup [Crème fraîche]"_qs};
        QTest::newRow("a line of the directions") << "overnight" << Fields(RecipeIndex::Directions)
                                                  << QStringList{u"Desserts/Crème brûlée [Chill overnight.]"_qs};
        QTest::newRow("a long line shows around the match")
            << "simmer" << Fields(RecipeIndex::Directions)
            << QStringList{"Soups/Leek Soup [Simmer with stock.]",
                           u"stews/Beef Stew […and the stock and simmer gently for two hours.]"_qs};
        QTest::newRow("every word somewhere") << "leek stock" << kAll << QStringList{"Soups/Leek Soup [stock]"};
        QTest::newRow("one word missing") << "leek paprika" << kAll << QStringList{};
        QTest::newRow("a word only where not looked")
            << "blend" << (RecipeIndex::Names | RecipeIndex::Ingredients) << QStringList{};
        QTest::newRow("names and directions, not ingredients")
            << "soup stock" << (RecipeIndex::Names | RecipeIndex::Directions)
            << QStringList{"Soups/Bell Pepper Soup [Blend with the stock.]", "Soups/Leek Soup [Simmer with stock.]"};
        QTest::newRow("no field chosen") << "beef" << Fields() << QStringList{};
    }
    void search()
    {
        QFETCH(QString, words);
        QFETCH(Fields, fields);
        Kitchen kitchen;
        QTEST(kitchen.found(words, fields), "found");
    }

    void refresh_readsAgainOnlyChangedFolders()
    {
        Kitchen kitchen;
        QCOMPARE(kitchen.index.recipeCount(), 5);
        QCOMPARE(kitchen.index.unreadableCount(), 1);
        store::RecipeRecord onion;
        onion.ingredient(1) = QStringLiteral("onions");
        store::saveRecipe("Soups", "Onion Soup", onion);
        // A file rewritten in place leaves its folder's time alone: the index keeps what it read.
        const QString pie = QStringLiteral("Category/Desserts/Apple Pie");
        kitchen.app.write(pie, kitchen.app.read(pie).replace("apples", "pears"));

        kitchen.index.beginRefresh();
        int slices = 1;
        for (; !kitchen.index.continueRefresh(0); ++slices)
            QVERIFY(kitchen.found("onions").isEmpty()); // the old index until the refresh is done
        QCOMPARE(slices, 3);                            // the three recipes of Soups, one per slice
        QCOMPARE(kitchen.found("onions"), QStringList{"Soups/Onion Soup [onions]"});
        QCOMPARE(kitchen.found("pears"), QStringList{});

        QFile::remove(kitchen.app.file("Category/Desserts/Broken"));
        kitchen.index.refresh();
        QCOMPARE(kitchen.found("pears"), QStringList{"Desserts/Apple Pie [pears]"});
        QCOMPARE(kitchen.index.unreadableCount(), 0);
    }
};

QTEST_GUILESS_MAIN(RecipeIndexTest)
#include "recipeindex_test.moc"
