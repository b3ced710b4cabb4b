#include "store/categorylist.h"
#include "tests/store/storetest.h"

using store::Failure;
using storetest::failureOf;

class CategoryListTest : public QObject
{
    Q_OBJECT

private slots:
    void readers_splitNamesDifferently_data()
    {
        QTest::addColumn<QString>("fixture");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("comma, leading blanks, quotes")
            << "category/comma-and-blanks.txt" << QStringList{"Soups, stews", "  Pies", "\"Fish, fresh\"", "Desserts"}
            << QStringList{"Soups", "stews", "Pies", "Fish, fresh", "Desserts"};
        QTest::newRow("empty list") << "category/empty.txt" << QStringList() << QStringList();
    }
    void readers_splitNamesDifferently()
    {
        QFETCH(QString, fixture);
        storetest::AppFolder app;
        storetest::writeBytes(app.path("Category/category.txt"), storetest::fixture(fixture));
        QTEST(store::readCategoryLines(), "lines");
        QTEST(store::readCategoryFields(), "fields");
    }

    void missingListOrFolder_failsWith53Or76()
    {
        storetest::AppFolder app;
        QCOMPARE(failureOf(store::readCategoryLines), Failure::FileNotFound);
        QCOMPARE(failureOf(store::readCategoryFields), Failure::FileNotFound);
        QCOMPARE(failureOf([] { store::removeCategoryLines("Soups"); }), Failure::FileNotFound);
        QVERIFY(QDir(app.path()).rmdir("Category"));
        QCOMPARE(failureOf(store::readCategoryLines), Failure::PathNotFound);
        QCOMPARE(failureOf([] { store::appendCategoryLine("Soups"); }), Failure::PathNotFound);
        QCOMPARE(storetest::tree(app.root()), QStringList{"app/"});
    }

    void append_addsCrLfLine_data()
    {
        QTest::addColumn<bool>("listExists");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("missing list is made") << false << QByteArray() << QByteArray("Soups\r\n");
        QTest::newRow("empty list") << true << QByteArray() << QByteArray("Soups\r\n");
        QTest::newRow("added last") << true << QByteArray("Pies\r\n") << QByteArray("Pies\r\nSoups\r\n");
        QTest::newRow("no final line break") << true << QByteArray("Pies") << QByteArray("Pies\r\nSoups\r\n");
        QTest::newRow("Windows-1252 list")
            << true << QByteArray("Cr\xE8me\r\n") << QByteArray("Cr\xC3\xA8me\r\nSoups\r\n");
    }
    void append_addsCrLfLine()
    {
        QFETCH(bool, listExists);
        QFETCH(QByteArray, before);
        storetest::AppFolder app;
        if (listExists)
            storetest::writeBytes(app.path("Category/category.txt"), before);
        store::appendCategoryLine("Soups");
        QTEST(storetest::readBytes(app.path("Category/category.txt")), "after");
        QCOMPARE(QDir(app.path("Category")).entryList(QDir::Files | QDir::Hidden), QStringList{"category.txt"});
    }

    void remove_keepsOtherLinesInOrder_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<qsizetype>("removed");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("two lines removed")
            << QByteArray("Soups\r\nPies\r\nSoups\r\nStews\r\n") << qsizetype(2) << QByteArray("Pies\r\nStews\r\n");
        QTest::newRow("none removed") << QByteArray("Pies\r\nStews\r\n") << qsizetype(0)
                                      << QByteArray("Pies\r\nStews\r\n");
        QTest::newRow("only lines equal to the name")
            << QByteArray("Soups, stews\r\n  Soups\r\nsoups\r\nSoups\r\n") << qsizetype(1)
            << QByteArray("Soups, stews\r\n  Soups\r\nsoups\r\n");
        QTest::newRow("LF ends become CR LF")
            << QByteArray("Pies\nSoups\nStews") << qsizetype(1) << QByteArray("Pies\r\nStews\r\n");
        QTest::newRow("last line removed") << QByteArray("Soups\r\n") << qsizetype(1) << QByteArray();
    }
    void remove_keepsOtherLinesInOrder()
    {
        QFETCH(QByteArray, before);
        storetest::AppFolder app;
        storetest::writeBytes(app.path("Category/category.txt"), before);
        QTEST(store::removeCategoryLines("Soups"), "removed");
        QTEST(storetest::readBytes(app.path("Category/category.txt")), "after");
        QCOMPARE(QDir(app.path("Category")).entryList(QDir::Files | QDir::Hidden), QStringList{"category.txt"});
    }
};

QTEST_GUILESS_MAIN(CategoryListTest)
#include "categorylist_test.moc"
