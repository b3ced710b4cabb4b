#include "store/recipefile.h"
#include "store/recipeindex.h"
#include "tests/support/appfolder.h"

#include <QTest>
#include <QThread>

using Fields = store::RecipeIndex::Fields;
using store::RecipeIndex;

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
    // Where to look: N names, I ingredients, D directions; each hit as "category/name [matched]", ";" between.
    void search_data()
    {
        QTest::addColumn<QString>("words");
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("found");
        const char *rows[][4] = {
            {"no words: every recipe, by category then name", "", "NID",
             "Desserts/Apple Pie;Desserts/Crème brûlée;Soups/Bell Pepper Soup;Soups/Leek Soup;stews/Beef Stew"},
            {"a word of the name in another case, accents typed", "LÉEK", "N", "Soups/Leek Soup"},
            {"part of an ingredient", "pepper", "I", "Soups/Bell Pepper Soup [red bell peppers]"},
            {"ingredient with accents, typed without", "fraiche", "I", "Soups/Leek Soup [Crème fraîche]"},
            {"a long line shows around the match", "simmer", "D",
             "Soups/Leek Soup [Simmer with stock.];stews/Beef Stew […and the stock and simmer gently for two hours.]"},
            {"every word somewhere", "leek stock", "NID", "Soups/Leek Soup [stock]"},
            {"one word missing", "leek paprika", "NID", ""},
            {"a word only where not looked", "blend", "NI", ""},
            {"names and directions, not ingredients", "soup stock", "ND",
             "Soups/Bell Pepper Soup [Blend with the stock.];Soups/Leek Soup [Simmer with stock.]"},
            {"no field chosen", "beef", "", ""},
        };
        for (const auto &row : rows)
            QTest::newRow(row[0]) << QString::fromUtf8(row[1]) << QString::fromUtf8(row[2])
                                  << QString::fromUtf8(row[3]);
    }
    void search()
    {
        QFETCH(QString, words);
        QFETCH(QString, where);
        Fields fields;
        fields.setFlag(RecipeIndex::Names, where.contains(u'N'));
        fields.setFlag(RecipeIndex::Ingredients, where.contains(u'I'));
        fields.setFlag(RecipeIndex::Directions, where.contains(u'D'));
        Kitchen kitchen;
        QTEST(kitchen.found(words, fields).join(u';'), "found");
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
