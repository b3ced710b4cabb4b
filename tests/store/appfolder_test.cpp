#include "store/appfolder.h"
#include "store/folderindex.h"
#include "store/recipefile.h"
#include "tests/store/storetest.h"

using store::Failure;
using storetest::failureOf;

class AppFolderTest : public QObject
{
    Q_OBJECT

private slots:
    void names_validOnEveryPlatformOnly_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("valid");
        QTest::newRow("plain") << "Apple Pie" << true;
        QTest::newRow("comma and leading blanks") << "  Soups, stews" << true;
        QTest::newRow("empty list name") << ".txt" << true;
        QTest::newRow("not Latin-1") << QStringLiteral(u"Пирог") << true;
        QTest::newRow(".") << "." << false;
        QTest::newRow("..") << ".." << false;
        QTest::newRow("control character") << "a\x1F" << false;
        for (const char c : {'\\', '/', ':', '*', '?', '"', '<', '>', '|'})
            QTest::addRow("%c", c) << QStringLiteral("a%1b").arg(QLatin1Char(c)) << false;
    }
    void names_validOnEveryPlatformOnly()
    {
        QFETCH(QString, name);
        QFETCH(bool, valid);
        storetest::AppFolder app;
        QCOMPARE(store::isValidName(name), valid);
        // Every path built from a name refuses an invalid one.
        const int expected = valid ? 0 : int(Failure::BadFileName);
        QCOMPARE(failureOf([&] { store::categoryFolderPath(name); }), expected);
        QCOMPARE(failureOf([&] { store::recipePath("Soups", name); }), expected);
        QCOMPARE(failureOf([&] { store::shoppingListPath(name); }), expected);
    }

    void paths_resolveLetterCaseAgainstListing()
    {
        storetest::AppFolder app;
        QVERIFY(QDir(app.path()).rename("Category", "category"));
        storetest::writeBytes(app.path("category/CATEGORY.TXT"), "");
        storetest::writeBytes(app.path("category/soups/Stock"), "");
        QDir(app.path()).mkpath("shopping list");
        QCOMPARE(store::categoryListPath(), app.path("category/CATEGORY.TXT"));
        QCOMPARE(store::categoryFolderPath("Soups"), app.path("category/soups"));
        QCOMPARE(store::recipePath("SOUPS", "stock"), app.path("category/soups/Stock"));
        // A name with no match keeps the spelling given.
        QCOMPARE(store::recipePath("Soups", "New Pie"), app.path("category/soups/New Pie"));
        QCOMPARE(store::shoppingListPath("Weekly.txt"), app.path("shopping list/Weekly.txt"));
        // The exact spelling wins over one that differs in letter case only.
        QDir(app.path()).mkpath("category/Soups");
        QCOMPARE(store::categoryFolderPath("soups"), app.path("category/soups"));
        QCOMPARE(store::categoryFolderPath("Soups"), app.path("category/Soups"));
    }

    void caseVariants_madeByTheProgramOrElsewhere_areFoundAtOnce()
    {
        storetest::AppFolder app;
        QDir(app.path()).mkpath("Category/Pies");
        QCOMPARE(store::recipePath("Pies", "apple"), app.path("Category/Pies/apple"));
        // Another program adds a variant right after the folder was read.
        storetest::writeBytes(app.path("Category/Pies/APPLE"), "");
        QCOMPARE(store::recipePath("Pies", "apple"), app.path("Category/Pies/APPLE"));
        // The program's own saves are known to the next lookup.
        for (const char *name : {"Cherry", "Plum", "Pear"}) {
            store::RecipeRecord record;
            store::saveRecipe("pies", QLatin1String(name), record);
        }
        QCOMPARE(store::recipePath("Pies", "PLUM"), app.path("Category/Pies/Plum"));
        QCOMPARE(store::recipePath("Pies", "cherry"), app.path("Category/Pies/Cherry"));
    }

    void batch_looksAtTheFolderOnce_changesShowAfterIt()
    {
        storetest::AppFolder app;
        storetest::writeBytes(app.path("Category/Pies/apple"), "");
        {
            const store::folderindex::Batch batch;
            QCOMPARE(store::recipePath("Pies", "APPLE"), app.path("Category/Pies/apple"));
            QFile::rename(app.path("Category/Pies/apple"), app.path("Category/Pies/pear"));
            QCOMPARE(store::recipePath("Pies", "APPLE"), app.path("Category/Pies/apple"));
        }
        QCOMPARE(store::recipePath("Pies", "APPLE"), app.path("Category/Pies/APPLE"));
        QCOMPARE(store::recipePath("Pies", "PEAR"), app.path("Category/Pies/pear"));
    }

    void emptyName_failsWith52OrNamesTheFolder()
    {
        storetest::AppFolder app;
        QVERIFY(!store::isValidName({}));
        QCOMPARE(failureOf([] { store::categoryFolderPath({}); }), Failure::BadFileName);
        QCOMPARE(failureOf([] { store::recipePath({}, "Pie"); }), Failure::BadFileName);
        // An empty last name gives the folder itself, which no operation opens as a file.
        QCOMPARE(store::recipePath("Soups", {}), app.path("Category/Soups"));
        QCOMPARE(store::shoppingListPath({}), app.path("Shopping List"));
    }
};

QTEST_GUILESS_MAIN(AppFolderTest)
#include "appfolder_test.moc"
