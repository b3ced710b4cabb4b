#include "screens/recipeprint.h"
#include "tests/support/printer.h"

#include <QTest>

using recipeprint::RecipeCard;
Q_DECLARE_METATYPE(RecipeCard)

namespace {

const QString kEmptyRow = QStringLiteral("      ");

RecipeCard applePie(const QString &directions = QStringLiteral("Bake."))
{
    RecipeCard card{"Apple Pie", "5/1/26", {}};
    store::RecipeRecord &r = card.record;
    r.servingSize() = "8";
    r.amount(1) = "2";
    r.type(1) = "cups";
    r.ingredient(1) = "flour";
    r.directions() = directions;
    r.temperature() = "350";
    r.hours() = "1";
    r.minutes() = "0";
    return card;
}

// The page of a card whose ingredient rows after the first are empty.
QStringList cardPage(const QString &heading, const QString &firstRow, const QStringList &directions,
                     const QString &cooking)
{
    QStringList lines{"", heading, "**" + QString(125, u'-') + "**", "", firstRow};
    for (int row = 2; row <= 10; ++row)
        lines << kEmptyRow;
    return lines << "" << directions << ""
                 << "" << cooking;
}

QStringList applePiePage(const QStringList &directions)
{
    return cardPage("**Apple Pie     Size: **8     5/1/26", "2   cups   flour", directions,
                    "350** F     H: **1     **M: **0");
}

} // namespace

class RecipePrintTest : public QObject
{
    Q_OBJECT

private slots:
    void page_data()
    {
        QTest::addColumn<RecipeCard>("card");
        QTest::addColumn<double>("pageWidth");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("worked example") << applePie() << 600.0 << applePiePage({"Bake."});
        RecipeCard empty;
        empty.date = "2026-05-01";
        QTest::newRow("empty card") << empty << 600.0
                                    << cardPage("**     Size: **     2026-05-01", kEmptyRow, {""},
                                                "** F     H: **     **M: **");
        QTest::newRow("two lines") << applePie("Mix well.\nBake.") << 600.0 << applePiePage({"Mix well.", "Bake."});
        QTest::newRow("empty line inside") << applePie("Mix.\n\nBake.") << 600.0 << applePiePage({"Mix.", "", "Bake."});
        QTest::newRow("line break at the end") << applePie("Mix.\n") << 600.0 << applePiePage({"Mix.", ""});
        QTest::newRow("only a line break") << applePie("\n") << 600.0 << applePiePage({"", ""});
        QTest::newRow("commas and blanks kept")
            << applePie("Salt, pepper,  oil ") << 600.0 << applePiePage({"Salt, pepper,  oil "});
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

QTEST_GUILESS_MAIN(RecipePrintTest)
#include "recipeprint_test.moc"
