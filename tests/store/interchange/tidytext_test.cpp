// A text tidied where it lies reads as its lines tidied one by one.

#include "store/interchange/html.h"
#include "store/interchange/tidytext.h"

#include <QTest>

using namespace store::interchange;

class TidyTextTest : public QObject
{
    Q_OBJECT

private slots:
    void tidyText_isTidyLinesOfItsLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("blank lines alone") << QStringLiteral(" \n\t\n  ");
        QTest::newRow("one line") << QStringLiteral("Stir well.");
        QTest::newRow("blank lines around, trailing blanks") << QStringLiteral("\n \nStir.  \n\tWait.\t\n\n \n");
        QTest::newRow("a shared indent of spaces") << QStringLiteral("    Stir.\n  Wait.\n\n      Serve.");
        QTest::newRow("a tab is no indent") << QStringLiteral("  Stir.\n\t  Wait.");
        QTest::newRow("blank lines inside are kept, their blanks not")
            << QStringLiteral("  a\n   \n\n  b\u00A0\u3000\n");
        QTest::newRow("a long text of lines") << QStringLiteral("   Stir the pot.  \n").repeated(5000);
    }
    void tidyText_isTidyLinesOfItsLines()
    {
        QFETCH(QString, text);
        QCOMPARE(tidyText(text), tidyLines(text.split(u'\n')));
    }

    void unifyLineBreaks_makesEachBreakOneLineFeed_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qsizetype>("from");
        QTest::addColumn<QString>("unified");
        QTest::newRow("every kind") << QStringLiteral("a\r\nb\rc\nd\r\r\n\r") << qsizetype(0)
                                    << QStringLiteral("a\nb\nc\nd\n\n\n");
        QTest::newRow("only from where it is asked") << QStringLiteral("a\r\r\nb\r") << qsizetype(2)
                                                     << QStringLiteral("a\r\nb\n");
        QTest::newRow("none") << QStringLiteral("a\nb") << qsizetype(0) << QStringLiteral("a\nb");
    }
    void unifyLineBreaks_makesEachBreakOneLineFeed()
    {
        QFETCH(QString, text);
        QFETCH(qsizetype, from);
        unifyLineBreaks(text, from);
        QTEST(text, "unified");
    }
};

QTEST_GUILESS_MAIN(TidyTextTest)
#include "tidytext_test.moc"
