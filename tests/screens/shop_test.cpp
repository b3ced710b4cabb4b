#include "screens/calendar.h"
#include "screens/shop.h"
#include "shell/appearance.h"
#include "tests/support/rows.h"
#include "tests/support/screenfixture.h"

#include <QCalendarWidget>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QToolButton>

namespace {

#define WEEKLY "Milk, 2 pints\r\n\"Free\" eggs\r\n\r\n  Tea, \"Earl Grey\"\r\n"

// The shopping list screen over the list Weekly.txt. The key "name" reads the name box as "locked" or
// "open", and checks that its label and colour agree.
struct Shop : testing::ScreenFixture
{
    Shop()
    {
        use<frmShop>();
        hintLabels = {"lblHMsg", "lblHMsg1", "lblHMsg2", "lblHMsg3"};
        folder.write("Shopping List/Weekly.txt", WEEKLY);
        frmShop::setPrintDialog([this](QPrinter &printer, QWidget *) {
            printer.setOutputFileName(folder.file("printed.pdf"));
            return printAnswer;
        });
        ownKeys = [this](const QString &key) {
            const auto *box = get<QLineEdit>("txtHName");
            const bool locked = !box->isEnabled();
            const bool agree = box->palette().color(QPalette::Base) == shell::systemColor(locked ? shell::ButtonFace : shell::WindowBackground) &&
                               get("lblHName")->isEnabled() != locked;
            return key != u"name" ? QString()
                   : !agree       ? "locked, but not its label or colour"
                   : locked       ? "locked"
                                  : "open";
        };
    }
    ~Shop() { frmShop::setPrintDialog({}); }
    bool printAnswer = true; ///< the print dialog's, which prints to printed.pdf
};

} // namespace

class ShopTest : public QObject
{
    Q_OBJECT

private slots:
    void commands_data()
    {
        // steps; what is read; what it shows
        testing::addRows({
            "opens with the name locked, ready to type; show; name; locked",
            // Any key that types a character opens the name; Tab only moves on.
            "a letter opens the name; show > key txtHList=M; name; open",
            "Return opens the name; show > key txtHList=Return; name; open",
            "Backspace opens the name; show > key txtHList=Backspace; name; open",
            "an arrow leaves the name locked; show > key txtHList=Down; name; locked",
            "Tab leaves the name locked; show > key txtHList=Tab; name; locked",
            "New empties both boxes and locks the name; "
            "show > type txtHList=Tea > type txtHName=Weekly > click cmdHNew; txtHList txtHName name; - / - / locked",
            // Nothing on the screen changes: the boxes and the name stay, the new list is not listed.
            "save writes the text and a line break; "
            "show > type txtHList=Bread, 2\n\n\"Brown\" > type txtHName=Daily > click cmdHSave; "
            "file:Shopping_List/Daily.txt txtHList txtHName name lswHOpen; "
            "Bread, 2\r\n\r\n\"Brown\"\r\n / Bread, 2\n\n\"Brown\" / Daily / open / Weekly.txt",
            "saved again, the list holds the new text; "
            "show > type txtHList=Tea > type txtHName=Daily > click cmdHSave > set txtHList=Bread > menu keySave; "
            "file:Shopping_List/Daily.txt; Bread\r\n",
            "after New the empty name saves .txt; show > type txtHList=Tea > menu keyNew > click cmdHSave; "
            "dir:Shopping_List file:Shopping_List/.txt; .txt|Weekly.txt / \r\n",
            "open shows the whole text, keeps and locks the name; "
            "show > type txtHList=Old > type txtHName=Kept > pick lswHOpen=Weekly.txt; txtHList txtHName name; "
            "Milk, 2 pints\n\"Free\" eggs\n\n  Tea, \"Earl Grey\"\n / Kept / locked",
            "Enter opens the selected list; show > pick lswHOpen=Weekly.txt > set txtHList= > key lswHOpen=Return; "
            "txtHList; Milk, 2 pints\n\"Free\" eggs\n\n  Tea, \"Earl Grey\"\n",
            // A new account has no data folder for the trash yet; the delete makes it.
            "delete moves the list to the trash and empties the screen; "
            "show > pick lswHOpen=Weekly.txt > type txtHList=Tea > type txtHName=Weekly > click cmdHDel; "
            "dir:Shopping_List trash txtHList txtHName name lswHOpen report; "
            "- / Weekly.txt / - / - / locked / Weekly.txt / -",
            "a deleted list stays listed and cannot be opened; "
            "show > pick lswHOpen=Weekly.txt > type txtHList=Tea > click cmdHDel > pick lswHOpen=Weekly.txt; "
            "report; H - LF - 53",
            "an empty list box deletes nothing; show > pick lswHOpen=Weekly.txt > menu keyNew > menu keyDelete; "
            "dir:Shopping_List report; Weekly.txt / -",
            // Every error code, each from a real fault.
            "load, folder missing; remove Shopping List > show; report; H - FL - 76",
            "save, read-only list; read-only Shopping List/Weekly.txt > show > type txtHList=Bread > "
            "type txtHName=Weekly > click cmdHSave; report file:Shopping_List/Weekly.txt; H - CS - 75 / " WEEKLY,
            "open, click beside the entries; show > pick lswHOpen=; report; H - LF - 91",
            "delete, read-only list; read-only Shopping List/Weekly.txt > show > pick lswHOpen=Weekly.txt > "
            "type txtHList=Bread > click cmdHDel; report file:Shopping_List/Weekly.txt; H - CD - 70 / " WEEKLY,
            "delete, nothing selected; show > type txtHList=Bread > click cmdHDel; report; H - CD - 91",
            "hover hints follow the mouse; show > hover . lswHOpen@3,3 @3,300 txtHList@3,3 @3,300 txtHName@3,3 @3,300 "
            "lblHName@3,3 @3,300 imgHCal@3,3 @3,300; hints; nnnn Rnnn nnnn nRnn nnnn nnRn nnnn nnRn nnnn nnnR nnnn",
        });
    }
    void commands() { Shop().runRow(); }
    void print_printsTheSavedFileOnPages()
    {
        Shop f;
        QString text;
        for (int i = 1; i <= 150; ++i)
            text += QString("Item %1 bread and jam\r\n").arg(i, 3, 10, QChar(u'0'));
        const QString pdf = f.folder.file("printed.pdf");
        f.run("write Shopping List/Weekly.txt=" + text +
              " > show > pick lswHOpen=Weekly.txt > set txtHList=What the box holds is not printed > click cmdHPrint");
        QProcess pdftotext;
        pdftotext.start("pdftotext", {"-layout", pdf, "-"});
        QVERIFY2(pdftotext.waitForFinished() && pdftotext.exitCode() == 0, "pdftotext cannot read the file");
        // Every line in its order, on pages ended by form feeds.
        const QString printed = QString::fromUtf8(pdftotext.readAllStandardOutput());
        QVERIFY2(printed.count(u'\f') >= 3, "150 lines fit on two pages");
        QCOMPARE(printed.simplified(), text.simplified());
    }

    void print_endsSilently_data()
    {
        // the dialog's answer; the steps before Print
        testing::addRows({"dialog cancelled; cancel; pick lswHOpen=Weekly.txt", "nothing selected; print;",
                          "file gone; print; pick lswHOpen=Weekly.txt > remove Shopping List/Weekly.txt"});
    }
    void print_endsSilently()
    {
        const auto [answer, steps] = testing::cells<2>();
        Shop f;
        f.printAnswer = answer == u"print";
        f.run("show > " + steps + " > menu keyPrint");
        QCOMPARE(f.state("report dir:"), "- / Category|Documentation|images|Shopping List");
    }

    void calendar_hidesOnAMarginClick_andKeepsItsMonth()
    {
        Shop f;
        f.run("show > type txtHList=Milk > menu keyCalendar");
        auto *calendar = shell::ScreenRegistry::find<frmCalendar>();
        QVERIFY(calendar && calendar->isVisible() && f.screen->isVisible());
        auto *month = calendar->findChild<QCalendarWidget *>("MonthView1");
        QTest::mouseClick(month->findChild<QToolButton *>("qt_calendar_nextmonth"), Qt::LeftButton);
        const int shown = month->monthShown();
        // Clicks on the calendar's own parts do not hide the window; one on its margin does.
        QTest::mouseClick(month->findChild<QWidget *>("qt_calendar_navigationbar"), Qt::LeftButton, {}, {2, 2});
        QVERIFY(calendar->isVisible());
        QTest::mouseClick(calendar, Qt::LeftButton, {}, {1, 1});
        QVERIFY(!calendar->isVisible());
        f.run("click imgHCal");
        QVERIFY(calendar->isVisible() && month->monthShown() == shown);
        // Main hides the calendar and the screen, which keeps what it held.
        f.run("click cmdHMain");
        QVERIFY(!calendar->isVisible());
        QCOMPARE(f.state("screen main"), "hidden / shown");
        f.run("show");
        QCOMPARE(f.state("txtHList"), "Milk");
    }
};

QTEST_MAIN(ShopTest)
#include "shop_test.moc"
