#include "store/recipefile.h"
#include "store/recipeindex.h"
#include "tests/support/appfolder.h"
#include "tests/support/rows.h"

#include <QTest>
#include <QDateTime>
#include <QThread>

#include <fcntl.h>
#include <unistd.h>

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
        // Folders read within 2 s of a change are read again next time: these changed a minute ago.
        for (const char *folder : {"Desserts", "Soups", "stews"})
            app.setTime(QStringLiteral("Category/") + QLatin1String(folder), -60'000'000'000);
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
    void search_data() { testing::addTable("table/search.txt"); }
    void search()
    {
        const auto [words, where, found] = testing::cells<3>();
        Fields fields;
        fields.setFlag(RecipeIndex::Names, where.contains(u'N'));
        fields.setFlag(RecipeIndex::Ingredients, where.contains(u'I'));
        fields.setFlag(RecipeIndex::Directions, where.contains(u'D'));
        Kitchen kitchen;
        QCOMPARE(kitchen.found(words, fields).join(u';'), found);
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
        QCOMPARE(kitchen.index.categoriesToRead(), 1); // Soups alone
        while (!kitchen.index.continueRefresh(0))
            QVERIFY(kitchen.found("onions").isEmpty()); // the old index until the refresh is done
        QCOMPARE(kitchen.found("onions"), QStringList{"Soups/Onion Soup [onions]"});
        QCOMPARE(kitchen.found("pears"), QStringList{});

        QFile::remove(kitchen.app.file("Category/Desserts/Broken"));
        kitchen.index.refresh();
        QCOMPARE(kitchen.found("pears"), QStringList{"Desserts/Apple Pie [pears]"});
        QCOMPARE(kitchen.index.unreadableCount(), 0);
    }

    // A name copied from a Windows disk is not UTF-8: it is shown as the user reads it and still read.
    void refresh_readsAFileNamedInAWindowsCodePage()
    {
        Kitchen kitchen;
        QByteArrayList empty(store::RecipeRecord::kFieldCount, "\"\"");
        empty[2 * store::RecipeRecord::kRowCount] = "\"custard\"";
        const QByteArray fields = empty.join(',') + "\r\n";
        const QByteArray path = QFile::encodeName(kitchen.app.file(QStringLiteral("Category/Desserts"))) +
                                "/Cr\xeapes Suzette";
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, fields.constData(), size_t(fields.size())), ssize_t(fields.size()));
        ::close(fd);
        kitchen.index.refresh();
        QCOMPARE(kitchen.index.unreadableCount(), 1); // the broken recipe alone
        const bool found = kitchen.found("crepes custard") == QStringList{"Desserts/Crêpes Suzette [custard]"};
        ::unlink(path.constData()); // a name Qt's own removal of the folder cannot reach
        QVERIFY(found);
    }

    // A file system keeps folder times in steps (FAT and exFAT 2 s, ext3 and HFS+ 1 s): a recipe saved in
    // the same step as the index's last reading leaves the folder's time as it was.
    void refresh_findsARecipeSavedInTheSameStepOfTheClock_data()
    {
        // name; how long before the reading the folder's time lies, in ms
        testing::addRows({"ext3, 0.6 s; 600", "ext3, 0.9 s; 900", "FAT, 1.9 s; 1900", "nanoseconds, 0.03 s; 30"});
    }
    void refresh_findsARecipeSavedInTheSameStepOfTheClock()
    {
        const qint64 beforeMs = testing::cells<1>()[0].toLongLong();
        Kitchen kitchen;
        const qint64 step = (QDateTime::currentMSecsSinceEpoch() - beforeMs) * 1'000'000;
        kitchen.app.setTime("Category/stews", step);
        kitchen.index.refresh();
        QCOMPARE(kitchen.found("paste"), QStringList());

        store::RecipeRecord goulash;
        goulash.ingredient(1) = QStringLiteral("goulash paste");
        store::saveRecipe("stews", "Goulash", goulash);
        kitchen.app.setTime("Category/stews", step); // the folder's time stays in its step
        // Neither the next start, from what was kept of that reading, nor the next refresh misses it.
        RecipeIndex started;
        started.refresh();
        QCOMPARE(started.search("paste", kAll).size(), 1);
        kitchen.index.refresh();
        QCOMPARE(kitchen.found("paste"), QStringList{"stews/Goulash [goulash paste]"});
    }

    // The rows beyond the tenth that an import keeps under "More ingredients:" are ingredients to a search.
    void search_moreIngredientsAreIngredients()
    {
        testing::AppFolder app;
        app.addCategory("Big");
        store::saveRecipe("Big", "Stew", testing::recipe({"1|cup|barley"}, "More ingredients:\n2 cups lentils\n\nSimmer."));
        store::saveRecipe("Big", "Soup", testing::recipe({}, "Title\nMore ingredients:\nsaffron"));
        QThread::msleep(60);
        RecipeIndex index;
        index.refresh();
        const auto names = [&](const QString &words, Fields fields) {
            QStringList found;
            for (const RecipeIndex::Hit &hit : index.search(words, fields))
                found << hit.name;
            return found.join(u';');
        };
        QCOMPARE(names("lentils", RecipeIndex::Ingredients), "Stew");
        QCOMPARE(names("lentils", RecipeIndex::Directions), "");
        QCOMPARE(names("simmer", RecipeIndex::Directions), "Stew");
        QCOMPARE(names("simmer", RecipeIndex::Ingredients), "");
        QCOMPARE(names("saffron", RecipeIndex::Ingredients), "Soup");
        QCOMPARE(names("saffron", RecipeIndex::Directions), "");
    }
};

QTEST_GUILESS_MAIN(RecipeIndexTest)
#include "recipeindex_test.moc"
