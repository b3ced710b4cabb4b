#include "store/amount.h"

#include <QTest>

class AmountTest : public QObject
{
    Q_OBJECT

private slots:
    // What a typed amount is worth, shown as a shopping list writes it; "-" for a text that is no number.
    void parseThenWrite_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        const char *rows[][3] = {
            {"whole number", "2", "2"},
            {"decimal point", "1.5", "1 1/2"},
            {"decimal comma", "1,5", "1 1/2"},
            {"fraction", "1/2", "1/2"},
            {"mixed number", "1 1/2", "1 1/2"},
            {"fraction character", "¾", "3/4"},
            {"whole and fraction character", "2½", "2 1/2"},
            {"whole, blank, fraction character", "1 ⅓", "1 1/3"},
            {"eighths", "⅛", "1/8"},
            {"blanks around", " 3 ", "3"},
            {"other parts: two decimals", "1/6", "0.17"},
            {"decimals dropped when zero", "0.10", "0.1"},
            {"range", "2-3", "-"},
            {"words", "a pinch", "-"},
            {"empty", "", "-"},
            {"divided by zero", "1/0", "-"},
            {"mixed number above one", "1 3/2", "-"},
            {"two numbers", "1 2", "-"},
            {"negative", "-1", "-"},
        };
        for (const auto &row : rows)
            QTest::newRow(row[0]) << QString::fromUtf8(row[1]) << QString::fromUtf8(row[2]);
    }
    void parseThenWrite()
    {
        QFETCH(QString, typed);
        const std::optional<double> value = store::parseAmount(typed);
        QTEST(value ? store::writeAmount(*value) : QStringLiteral("-"), "written");
    }
};

QTEST_GUILESS_MAIN(AmountTest)
#include "amount_test.moc"
