#include "store/categorylist.h"

#include "tests/store/storetest.h"

using store::Failure;

class CategoryListTest : public QObject
{
    Q_OBJECT

private slots:
    void readers_splitNamesDifferently_data();
    void readers_splitNamesDifferently();
    void readers_missingListOrFolder_failWith53Or76();
    void append_addsCrLfLine_data();
    void append_addsCrLfLine();
    void remove_keepsOtherLinesInOrder_data();
    void remove_keepsOtherLinesInOrder();
    void remove_missingList_failsWith53();
};

void CategoryListTest::readers_splitNamesDifferently_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("comma, leading blanks, quotes")
        << QStringLiteral("category/comma-and-blanks.txt")
        << QStringList{"Soups, stews", "  Pies", "\"Fish, fresh\"", "Desserts"}
        << QStringList{"Soups", "stews", "Pies", "Fish, fresh", "Desserts"};
    QTest::newRow("empty list") << QStringLiteral("category/empty.txt") << QStringList() << QStringList();
}

void CategoryListTest::readers_splitNamesDifferently()
{
    QFETCH(QString, fixture);
    storetest::AppFolder app;
    storetest::writeBytes(app.path(QStringLiteral("Category/category.txt")), storetest::fixture(fixture));
    QTEST(store::readCategoryLines(), "lines");
    QTEST(store::readCategoryFields(), "fields");
}

void CategoryListTest::readers_missingListOrFolder_failWith53Or76()
{
    storetest::AppFolder app;
    STORE_VERIFY_FAILURE(store::readCategoryLines(), Failure::FileNotFound);
    STORE_VERIFY_FAILURE(store::readCategoryFields(), Failure::FileNotFound);
    QVERIFY(QDir(app.path(QStringLiteral("Category"))).removeRecursively());
    STORE_VERIFY_FAILURE(store::readCategoryLines(), Failure::PathNotFound);
    STORE_VERIFY_FAILURE(store::appendCategoryLine(QStringLiteral("Soups")), Failure::PathNotFound);
    QCOMPARE(storetest::tree(app.root()), QStringList{"app/"});
}

void CategoryListTest::append_addsCrLfLine_data()
{
    QTest::addColumn<bool>("listExists");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("missing list is made") << false << QByteArray() << QByteArray("Soups\r\n");
    QTest::newRow("empty list") << true << QByteArray() << QByteArray("Soups\r\n");
    QTest::newRow("added last") << true << QByteArray("Pies\r\n") << QByteArray("Pies\r\nSoups\r\n");
    QTest::newRow("no final line break") << true << QByteArray("Pies") << QByteArray("Pies\r\nSoups\r\n");
    QTest::newRow("Windows-1252 list") << true << QByteArray("Cr\xE8me\r\n") << QByteArray("Cr\xC3\xA8me\r\nSoups\r\n");
}

void CategoryListTest::append_addsCrLfLine()
{
    QFETCH(bool, listExists);
    QFETCH(QByteArray, before);
    storetest::AppFolder app;
    if (listExists)
        storetest::writeBytes(app.path(QStringLiteral("Category/category.txt")), before);
    store::appendCategoryLine(QStringLiteral("Soups"));
    QTEST(storetest::readBytes(app.path(QStringLiteral("Category/category.txt"))), "after");
    QCOMPARE(QDir(app.path(QStringLiteral("Category"))).entryList(QDir::Files), QStringList{"category.txt"});
}

void CategoryListTest::remove_keepsOtherLinesInOrder_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<qsizetype>("removed");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("two lines removed") << QByteArray("Soups\r\nPies\r\nSoups\r\nStews\r\n") << qsizetype(2)
                                       << QByteArray("Pies\r\nStews\r\n");
    QTest::newRow("none removed") << QByteArray("Pies\r\nStews\r\n") << qsizetype(0)
                                  << QByteArray("Pies\r\nStews\r\n");
    QTest::newRow("only whole lines equal to the name") << QByteArray("Soups, stews\r\n  Soups\r\nsoups\r\nSoups\r\n")
                                                        << qsizetype(1)
                                                        << QByteArray("Soups, stews\r\n  Soups\r\nsoups\r\n");
    QTest::newRow("LF ends become CR LF") << QByteArray("Pies\nSoups\nStews") << qsizetype(1)
                                          << QByteArray("Pies\r\nStews\r\n");
    QTest::newRow("last line removed") << QByteArray("Soups\r\n") << qsizetype(1) << QByteArray();
}

void CategoryListTest::remove_keepsOtherLinesInOrder()
{
    QFETCH(QByteArray, before);
    storetest::AppFolder app;
    const QString list = app.path(QStringLiteral("Category/category.txt"));
    storetest::writeBytes(list, before);
    QTEST(store::removeCategoryLines(QStringLiteral("Soups")), "removed");
    QTEST(storetest::readBytes(list), "after");
    QCOMPARE(QDir(app.path(QStringLiteral("Category"))).entryList(QDir::Files | QDir::Hidden),
             QStringList{"category.txt"});
}

void CategoryListTest::remove_missingList_failsWith53()
{
    storetest::AppFolder app;
    STORE_VERIFY_FAILURE(store::removeCategoryLines(QStringLiteral("Soups")), Failure::FileNotFound);
    QCOMPARE(storetest::tree(app.root()), QStringList({"app/", "app/Category/"}));
}

QTEST_GUILESS_MAIN(CategoryListTest)
#include "categorylist_test.moc"
