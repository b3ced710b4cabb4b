#include "store/appfolder.h"

#include "tests/store/storetest.h"

#include <QCoreApplication>

using store::Failure;

class AppFolderTest : public QObject
{
    Q_OBJECT

private slots:
    void isValidName_data();
    void isValidName();
    void paths_resolveLetterCaseAgainstListing();
    void paths_preferExactSpelling();
    void paths_invalidComponent_failWith52_data();
    void paths_invalidComponent_failWith52();
    void emptyComponents();
    void setApplicationFolder_dropsTrailingSlashAndResets();
};

void AppFolderTest::isValidName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("valid");
    QTest::newRow("plain") << QStringLiteral("Apple Pie") << true;
    QTest::newRow("comma and leading blanks") << QStringLiteral("  Soups, stews") << true;
    QTest::newRow("empty list name") << QStringLiteral(".txt") << true;
    QTest::newRow("not Latin-1") << QStringLiteral(u"Пирог") << true;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow(".") << QStringLiteral(".") << false;
    QTest::newRow("..") << QStringLiteral("..") << false;
    QTest::newRow("control character") << QStringLiteral("a\x01" "b") << false;
    QTest::newRow("line break") << QStringLiteral("a\nb") << false;
    for (const char c : {'\\', '/', ':', '*', '?', '"', '<', '>', '|'})
        QTest::addRow("%c", c) << QStringLiteral("a") + QLatin1Char(c) + QStringLiteral("b") << false;
}

void AppFolderTest::isValidName()
{
    QFETCH(QString, name);
    QTEST(store::isValidName(name), "valid");
}

void AppFolderTest::paths_resolveLetterCaseAgainstListing()
{
    storetest::AppFolder app;
    QDir(app.path()).rename(QStringLiteral("Category"), QStringLiteral("category"));
    storetest::writeBytes(app.path(QStringLiteral("category/CATEGORY.TXT")), "");
    storetest::writeBytes(app.path(QStringLiteral("category/soups/Stock")), "");
    QDir(app.path()).mkdir(QStringLiteral("shopping list"));
    QCOMPARE(store::categoryListPath(), app.path(QStringLiteral("category/CATEGORY.TXT")));
    QCOMPARE(store::categoryFolderPath(QStringLiteral("Soups")), app.path(QStringLiteral("category/soups")));
    QCOMPARE(store::recipePath(QStringLiteral("SOUPS"), QStringLiteral("stock")),
             app.path(QStringLiteral("category/soups/Stock")));
    // A name with no match keeps the spelling given.
    QCOMPARE(store::recipePath(QStringLiteral("Soups"), QStringLiteral("New Pie")),
             app.path(QStringLiteral("category/soups/New Pie")));
    QCOMPARE(store::shoppingListPath(QStringLiteral("Weekly.txt")), app.path(QStringLiteral("shopping list/Weekly.txt")));
    QCOMPARE(store::settingsPath(), app.path(QStringLiteral("LD.ini")));
}

void AppFolderTest::paths_preferExactSpelling()
{
    storetest::AppFolder app;
    QDir(app.path()).mkpath(QStringLiteral("Category/Soups"));
    QDir(app.path()).mkpath(QStringLiteral("Category/soups"));
    QCOMPARE(store::categoryFolderPath(QStringLiteral("soups")), app.path(QStringLiteral("Category/soups")));
    QCOMPARE(store::categoryFolderPath(QStringLiteral("Soups")), app.path(QStringLiteral("Category/Soups")));
}

void AppFolderTest::paths_invalidComponent_failWith52_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("..") << QStringLiteral("..");
    QTest::newRow(".") << QStringLiteral(".");
    QTest::newRow("slash") << QStringLiteral("../Pie");
    QTest::newRow("backslash") << QStringLiteral("..\\..\\Pie");
    QTest::newRow("colon") << QStringLiteral("C:Pie");
    QTest::newRow("control character") << QStringLiteral("Pie\tTwo");
}

void AppFolderTest::paths_invalidComponent_failWith52()
{
    QFETCH(QString, name);
    storetest::AppFolder app;
    STORE_VERIFY_FAILURE(store::categoryFolderPath(name), Failure::BadFileName);
    STORE_VERIFY_FAILURE(store::recipePath(name, QStringLiteral("Pie")), Failure::BadFileName);
    STORE_VERIFY_FAILURE(store::recipePath(QStringLiteral("Soups"), name), Failure::BadFileName);
    STORE_VERIFY_FAILURE(store::shoppingListPath(name), Failure::BadFileName);
}

void AppFolderTest::emptyComponents()
{
    storetest::AppFolder app;
    STORE_VERIFY_FAILURE(store::categoryFolderPath(QString()), Failure::BadFileName);
    STORE_VERIFY_FAILURE(store::recipePath(QString(), QStringLiteral("Pie")), Failure::BadFileName);
    // An empty last name gives the folder itself, which no file operation can open as a file.
    QCOMPARE(store::recipePath(QStringLiteral("Soups"), QString()), app.path(QStringLiteral("Category/Soups")));
    QCOMPARE(store::shoppingListPath(QString()), app.path(QStringLiteral("Shopping List")));
}

void AppFolderTest::setApplicationFolder_dropsTrailingSlashAndResets()
{
    storetest::AppFolder app;
    store::setApplicationFolder(app.path() + QStringLiteral("//"));
    QCOMPARE(store::applicationFolder(), app.path());
    QCOMPARE(store::settingsPath(), app.path(QStringLiteral("LD.ini")));
    store::setApplicationFolder(QString());
    QCOMPARE(store::applicationFolder(), QCoreApplication::applicationDirPath());
}

QTEST_GUILESS_MAIN(AppFolderTest)
#include "appfolder_test.moc"
