#include "print/recipeprint.h"
#include "print/textprint.h"
#include "tests/support/appfolder.h"
#include "tests/support/printer.h"

#include <QTest>

using recipeprint::RecipeCard;
Q_DECLARE_METATYPE(RecipeCard)

namespace {

RecipeCard applePie(const QString &directions = QStringLiteral("Bake."))
{
    return {"Apple Pie", "5/1/26", testing::recipe({"2|cups|flour"}, directions, {"350", "8", "1", "0"})};
}

// The page of a card whose ingredient rows after the first are empty.
QStringList cardPage(const QString &heading, const QString &firstRow, const QStringList &directions,
                     const QString &cooking)
{
    return QStringList{"", heading, "**" + QString(125, u'-') + "**", "", firstRow} + QStringList(9, "      ") +
           QStringList{""} + directions + QStringList{"", "", cooking};
}

QStringList applePiePage(const QStringList &directions)
{
    return cardPage("**Apple Pie     Size: **8     5/1/26", "2   cups   flour", directions,
                    "350** F     H: **1     **M: **0");
}

} // namespace

class PrintTest : public QObject
{
    Q_OBJECT

private slots:
    void wrap_data()
    {
        // A page of 20 characters and 50 points: four lines of 12 points, as the font's 10 points must fit. Each
        // line of tests/data/wrap.tsv: the case, the printed lines joined by "|", the text ("\n" a line break).
        QTest::addColumn<QString>("printed");
        QTest::addColumn<QString>("text");
        for (const QString &row : QString::fromUtf8(testing::fixture("wrap.tsv")).split(u'\n', Qt::SkipEmptyParts)) {
            const QStringList cells = row.split(u'\t');
            QTest::newRow(qPrintable(cells.value(0))) << cells.value(1) << QString(cells.value(2)).replace("\\n", "\n");
        }
    }

    void wrap()
    {
        QFETCH(QString, text);
        testing::Printout out;
        testing::RecordingPrinter printer(out, 120, 50);
        shell::printWrappedText(printer, text);
        QCOMPARE(printer.currentX(), 0.0);
        QTEST(out.lines.join(u'|'), "printed");
    }

    void printFile_printsEachLineAndCharacterOnce()
    {
        // Three lines, then one long paragraph, a word of 1000 letters and many short lines without a blank; the
        // bench times the print of 1 and 4 MB.
        testing::AppFolder folder;
        folder.write("Weekly.txt", "Milk, 2 pints\r\n\r\n\"Good\"\r\n" +
                                       QByteArray("milk eggs, \"free range\" bread ").repeated(1 << 14) + "\r\n" +
                                       QByteArray(1000, 'x') + QByteArray("\r\npotatoes,washed\r\n").repeated(1 << 15));
        testing::Printout out;
        testing::RecordingPrinter printer(out);
        textprint::printTextFile(printer, folder.file("Weekly.txt"));
        QCOMPARE(out.lines.first(3), QStringList({"Milk, 2 pints", "", "\"Good\""}));
        QCOMPARE(out.lines.last(), "potatoes,washed");
        QCOMPARE(out.documents, 1);
        QVERIFY(out.handled <= 2 * (5 << 18));
    }

    void page_data()
    {
        QTest::addColumn<RecipeCard>("card");
        QTest::addColumn<double>("pageWidth");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("worked example") << applePie() << 600.0 << applePiePage({"Bake."});
        RecipeCard empty;
        empty.date = "2026-05-01";
        QTest::newRow("empty card") << empty << 600.0
                                    << cardPage("**     Size: **     2026-05-01", "      ", {""},
                                                "** F     H: **     **M: **");
        QTest::newRow("line break at the end") << applePie("Mix.\n") << 600.0 << applePiePage({"Mix.", ""});
        // Ten characters a line; the page of 200 points ends after the sixteenth line.
        QTest::newRow("wrapped at the page width, on to a new page")
            << applePie("Mix the flour well.\nBake.") << 60.0
            << applePiePage({"Mix the ", "<page>", "flour ", "well.", "Bake."});
    }

    void page()
    {
        QFETCH(RecipeCard, card);
        QFETCH(double, pageWidth);
        testing::Printout out;
        testing::RecordingPrinter printer(out, pageWidth, 200);
        recipeprint::printRecipeCard(printer, card);
        QTEST(out.lines, "lines");
        // The first line goes out in the printer's own font; Tahoma 10 follows and stays.
        QCOMPARE(out.fonts, QStringList({"Tahoma after line 1", "10 after line 1"}));
        QCOMPARE(out.documents, 1);
    }
};

QTEST_GUILESS_MAIN(PrintTest)
#include "print_test.moc"
