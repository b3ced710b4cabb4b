#include "store/nameorder.h"

#include <QTest>

class NameOrderTest : public QObject
{
    Q_OBJECT

private slots:
    void sortNames_asAUserExpects_data()
    {
        QTest::addColumn<QStringList>("folderOrder");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("letter case does not count") << QStringList{"soups", "Apple Pie", "bread", "Zucchini"}
                                                    << QStringList{"Apple Pie", "bread", "soups", "Zucchini"};
        QTest::newRow("numbers by their value") << QStringList{"Soup 10", "Soup 2", "Soup 1", "Soup 100", "Soup 02b"}
                                                << QStringList{"Soup 1", "Soup 2", "Soup 02b", "Soup 10", "Soup 100"};
        QTest::newRow("accents do not count") << QStringList{"Zabaglione", "Éclair", "eggs", "Crème brûlée", "Cream"}
                                              << QStringList{"Cream", "Crème brûlée", "Éclair", "eggs", "Zabaglione"};
        QTest::newRow("equal names keep the folder's order")
            << QStringList{"pie", "Pie", "PIE", "apple"} << QStringList{"apple", "pie", "Pie", "PIE"};
        QTest::newRow("digits before letters, names with extensions")
            << QStringList{"b.txt", "7 Up Cake", "a.txt", "Alpha"}
            << QStringList{"7 Up Cake", "a.txt", "Alpha", "b.txt"};
        QTest::newRow("nothing") << QStringList{} << QStringList{};
    }

    void sortNames_asAUserExpects()
    {
        QFETCH(QStringList, folderOrder);
        QFETCH(QStringList, expected);
        store::sortNames(folderOrder);
        QCOMPARE(folderOrder, expected);
    }
};

QTEST_GUILESS_MAIN(NameOrderTest)
#include "nameorder_test.moc"
