#include "print/lineprinter.h"
#include "screens/recipe.h"
#include "store/io/textfile.h"
#include "store/recipefile.h"
#include "tests/support/appfolder.h"
#include "tests/support/printer.h"
#include "tests/support/rows.h"
#include "tests/support/screenfixture.h"

#include <QDate>
#include <QListWidget>
#include <QLocale>
#include <QPrinter>

using store::RecipeRecord;

namespace {

// The boxes of the card: name, serving size, date, amounts, types and ingredients of the ten rows,
// directions, temperature, hours and minutes.
const QString kCard = [] {
    QString boxes = "txtRName txtRSize txtRDate";
    for (const char *column : {"A", "T", "I"}) {
        for (int row = 1; row <= 10; ++row)
            boxes += QString(" txtR%1%2").arg(QLatin1String(column)).arg(row);
    }
    return boxes + " txtRDirec txtRTemp txtRHr1 txtRMin1";
}();
// The captions New and Main put back, which differ from those the screen opens with.
const QString kCaptions = "txtRSrv txtRTemp1 Text1 Text2 Text3 Text4 Text5 Text6 txtRHr txtRMin";
const QString kRestored = "Srv: / F / Amt / Type / Ingredients / Amt / Type / Ingredients / H / M";

QString today()
{
    return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
}

// Ten rows "n", "cup, level n", "ingredient n, chopped"; three paragraphs of directions; 350, 4, 1, 45.
RecipeRecord everyField()
{
    store::TextReader reader(QString::fromUtf8(testing::fixture("recipe/every-field.txt")));
    return store::readRecipe(reader);
}

// The card as ScreenFixture::state() reads kCard.
QString cardOf(const QString &name, const RecipeRecord &r = {}, const QString &date = today())
{
    QStringList texts{name, r.servingSize(), date};
    texts << QStringList(r.fields.begin(), r.fields.begin() + 30) << r.directions() << r.temperature() << r.hours()
          << r.minutes();
    for (QString &text : texts)
        text = text.isEmpty() ? "-" : text;
    return texts.join(" / ");
}

// The recipe display over the categories Desserts (Layer Cake and Tart, every field filled), Soups (a few
// files) and Gone, whose folder is missing.
struct Recipe : testing::ScreenFixture
{
    Recipe()
    {
        use<frmRecipe>();
        hintLabels = {"lblRMsg", "lblRMsg1", "lblRMsg2", "lblRmsg3"};
        run("write Category/category.txt=Desserts\r\nSoups\r\nGone\r\n > mkdir Category/Desserts > "
            "mkdir Category/Soups/Old recipes");
        for (const char *name : {"Layer Cake", "Tart"})
            store::saveRecipe("Desserts", name, everyField());
        for (const char *name : {"soup 10", "Soup 2", "apple pie", "Banana bread", "notes.txt"})
            folder.write(QString("Category/Soups/") + name, {});
    }
};

} // namespace

class RecipeTest : public QObject
{
    Q_OBJECT

private slots:
    void commands_data()
    {
        // steps; what is read; what it shows
        testing::addRows({
            "load: categories by fields, none chosen; "
            "write Category/category.txt=Soups, stews\r\n  Desserts\r\n > show; cboRCat chkRDel; "
            "Soups|stews|Desserts / unchecked, disabled",
            "load without a list asks for a category; remove Category/category.txt > answer 1 > show; "
            "cboRCat main screen; - / shown / shown",
            // Another category replaces the list and unchecks the box without disabling it; the card stays.
            "a category lists its files by name; "
            "show > pick cboRCat=Desserts > pick lswRFile=Tart > check chkRDel > pick cboRCat=Soups; "
            "lswRFile chkRDel txtRName; apple pie|Banana bread|notes.txt|Soup 2|soup 10 / unchecked / Tart",
            "Enter picks the current entry; "
            "show > pick cboRCat=Soups > key lswRFile=Home > key lswRFile=Down > key lswRFile=Return; "
            "txtRName chkRDel; Banana bread / unchecked",
            "a folder without files lists nothing; mkdir Category/Gone > show > pick cboRCat=Gone; lswRFile; -",
            "a click in an empty list changes nothing; "
            "mkdir Category/Gone > show > pick cboRCat=Gone > pick lswRFile=; txtRName txtRDate chkRDel; "
            "- /  current date / unchecked, disabled",
            // Checking the box is the confirmation: no question is asked.
            "delete moves the file to the trash; show > pick cboRCat=Desserts > pick lswRFile=Tart > click chkRDel; "
            "screen chkRDel lswRFile cboRCat dir:Category/Desserts trash; "
            "shown / unchecked, disabled / - / *Desserts|Soups|Gone / Layer Cake / Tart",
            // Every error code, each from a real fault; a failed pick leaves the card as it was.
            "load, no Category folder; remove Category > show; report; R - FL - 76",
            "list, category folder gone; show > pick cboRCat=Gone; report; R - LF - 76",
            "pick, record too short; "
            "show > pick cboRCat=Desserts > pick lswRFile=Layer Cake > "
            "write Category/Desserts/Tart=\"2\",\"cups\",\"flour\"\r\n > pick lswRFile=Tart; "
            "report txtRName txtRA1 chkRDel; R - LF - 62 / Layer Cake / 1 / unchecked",
            "delete, read-only file; "
            "read-only Category/Desserts/Tart > show > pick cboRCat=Desserts > pick lswRFile=Tart > click chkRDel; "
            "report chkRDel dir:Category/Desserts; R - CD - 70 / checked / Layer Cake|Tart",
            // A click on blank space unselects the entry but reads it again.
            "delete, nothing selected; "
            "show > pick cboRCat=Desserts > pick lswRFile=Tart > set txtRName= > pick lswRFile= > click chkRDel; "
            "report txtRName chkRDel dir:Category/Desserts; R - CD - 91 / Tart / checked / Layer Cake|Tart",
            // The directions' hint is blue at rest.
            "hover hints follow the mouse; show > hover . lblRCat@3,3 lswRFile@3,3 chkRDel@3,3 cboRCat@3,3 "
            "fraRWhich@500,120 cmdRMain@3,3 clientArea@4,500 txtRDirec@20,20; hints; nnnB RnnB RRnB RRRB RRRB nnnB "
            "nnnR nnnn nnnR",
        });
    }
    void commands() { Recipe().runRow(); }

    void listEntries_fillTheirCells()
    {
        Recipe f;
        f.run("show > pick cboRCat=Soups");
        // The entries fill their cells of the columns, so that no click between two names misses both.
        auto *list = f.get<QListWidget>("lswRFile");
        QCOMPARE(list->visualItemRect(list->item(0)).width(), 211);
        for (int y = 0; y <= list->visualItemRect(list->item(2)).bottom(); ++y)
            QVERIFY2(list->itemAt(QPoint(60, y)), qPrintable(QString::number(y)));
    }

    void pick_showsTheLastRecordOfTheFile_data()
    {
        QTest::addColumn<QByteArray>("file"); // null: every field filled
        QTest::addColumn<QString>("card");
        QTest::newRow("every field") << QByteArray() << cardOf("Picked", everyField());
        QTest::newRow("empty file") << QByteArray("") << cardOf("Picked");
    }
    void pick_showsTheLastRecordOfTheFile()
    {
        QFETCH(QByteArray, file);
        Recipe f;
        f.folder.write("Category/Desserts/Picked", file.isNull() ? f.folder.read("Category/Desserts/Tart") : file);
        // The card shows the pick in full, whatever it showed before; the captions are not fields.
        f.run("show > pick cboRCat=Desserts > pick lswRFile=Layer Cake > pick lswRFile=Picked");
        QTEST(f.state(kCard), "card");
        QCOMPARE(f.state("txtRSrv Text3 chkRDel"), "Size: / Ingredients / unchecked");
    }

    void newAndMain_emptyTheCard_data()
    {
        // the command; screen, main menu, delete box, list, categories
        testing::addRows({
            "New; click cmdRNew; shown / hidden / unchecked, disabled / - / *Desserts|Soups|Gone",
            "New in the menu; menu keyNew; shown / hidden / unchecked, disabled / - / *Desserts|Soups|Gone",
            // Main only unchecks the box; showing the screen again disables it.
            "Main; check chkRDel > click cmdRMain; hidden / shown / unchecked / - / *Desserts|Soups|Gone",
            "Main in the menu, shown again; menu keyMain > show; "
            "shown / shown / unchecked, disabled / - / *Desserts|Soups|Gone",
        });
    }
    void newAndMain_emptyTheCard()
    {
        const auto [steps, shown] = testing::cells<2>();
        Recipe f;
        f.run("show > pick cboRCat=Desserts > pick lswRFile=Tart > set Text1=typed over");
        f.folder.write("Category/category.txt", "Other\r\n"); // not read again
        f.run(steps);
        QCOMPARE(f.state("screen main chkRDel lswRFile cboRCat"), shown);
        QCOMPARE(f.state(kCard + " " + kCaptions), cardOf("", {}, "") + " / " + kRestored);
        // The category stays chosen and lists its files again.
        f.run("show > pick cboRCat=Desserts");
        QCOMPARE(f.state("lswRFile"), "Layer Cake|Tart");
    }

    void returnFromAnotherScreen_disablesTheDeleteBox()
    {
        Recipe f;
        shell::ScreenRegistry::show(shell::kMainMenu);
        f.run("show");
        QVERIFY(QTest::qWaitForWindowActive(f.screen));
        f.run("pick cboRCat=Desserts > pick lswRFile=Tart");
        QCOMPARE(f.state("chkRDel"), "unchecked");
        QWidget *menu = shell::ScreenRegistry::find(shell::kMainMenu);
        menu->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(menu));
        f.screen->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.screen));
        QCOMPARE(f.state("chkRDel"), "unchecked, disabled");
    }

    void print_data()
    {
        // the printer set-up's answer: a recording printer, Cancel, or a PDF file that cannot be opened
        testing::addRows(
            {"the card as it shows; print", "cancel in the dialog; cancel", "printer cannot start; fault"});
    }
    void print()
    {
        const auto [answer] = testing::cells<1>();
        Recipe f;
        // Typing on the card changes the page, where the box shows its text from; the caption boxes do not.
        f.run("show > pick cboRCat=Desserts > pick lswRFile=Tart > type txtRI2=sugar  > set txtRSrv=Portions > "
              "set txtRDirec=Bake.\nCool. > check chkRDel");
        testing::Printout out;
        QPrinter pdf(QPrinter::HighResolution);
        pdf.setOutputFileName(f.folder.file("no such folder/recipe.pdf"));
        QStringList documents;
        static_cast<frmRecipe *>(f.screen)->setPrinterSetup(
            [&](QWidget *, const QString &name) -> std::unique_ptr<shell::LinePrinter> {
                documents << name;
                if (answer == u"fault")
                    return std::make_unique<shell::PainterLinePrinter>(&pdf);
                return answer == u"print" ? std::make_unique<testing::RecordingPrinter>(out) : nullptr;
            });
        f.run("click cmdRPrint > menu keyPrint");
        QCOMPARE(documents, QStringList({"Tart", "Tart"}));
        QCOMPARE(f.state("report screen chkRDel"),
                 answer == u"print" ? "- / shown / unchecked" : "- / shown / checked");
        QCOMPARE(out.documents, answer == u"print" ? 2 : 0);
        QCOMPARE(out.lines.mid(1, 1) + out.lines.mid(4, 2) + out.lines.mid(15, 3),
                 answer != u"print"
                     ? QStringList()
                     : QStringList({"**Tart     Size: **4     " + today(), "1   cup, level 1   ingredient 1, chopped",
                                    "2   cup, level 2   sugar ingredient 2, chopped", "Bake.", "Cool.", ""}));
    }
};

QTEST_MAIN(RecipeTest)
#include "recipe_test.moc"
