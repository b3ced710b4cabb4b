#include "app/mainmenu.h"
#include "app/registerscreens.h"
#include "app/splash.h"
#include "shell/error.h"
#include "shell/explorerbar.h"
#include "shell/help.h"
#include "tests/support/rows.h"
#include "tests/support/screenfixture.h"

#include <QtTest>
#include <QtWidgets>

using namespace Qt::StringLiterals;
using shell::Screen;
using shell::ScreenRegistry;

namespace {

frmMain *showMainMenu()
{
    ScreenRegistry::add<frmMain>();
    return ScreenRegistry::show<frmMain>();
}

QAbstractButton *item(frmMain *menu, const QString &key)
{
    return menu->findChild<shell::ExplorerBar *>()->item(key);
}

// Each box as "title flags: prompt [the windows shown while it asked]".
QString boxes(const testing::MessageScript &messages)
{
    QStringList described;
    for (const testing::MessageScript::Box &box : messages.boxes())
        described << u"%1 %2: %3 [%4]"_s.arg(box.title).arg(box.flags).arg(box.prompt, box.shown.join(','));
    return described.join('\n');
}

const QString kQuit = u"Quit? 4132: You have indicated you wish to exit\rthis program. Is this correct? []"_s;
const QString kNoCategory =
    u"User error 4144: Please click on 'Prg. setup' in the Main menu\rand create at least 1 category. []"_s;

} // namespace

/// Start-up, the main menu and the screens as the program shows them.
class AppTest : public QObject
{
    Q_OBJECT

private slots:
    void startUp_asksOnTheFirstRunOnly_data()
    {
        QTest::addColumn<QByteArray>("marker"); // LD.ini before and after the start; <none> when there is none
        QTest::addColumn<QString>("expectedBoxes");
        QTest::addColumn<QByteArray>("markerAfter");
        QTest::newRow("first run") << QByteArray("<none>") << kNoCategory << QByteArray();
        QTest::newRow("later run") << QByteArray("[kept]\r\n") << QString() << QByteArray("[kept]\r\n");
        // Start-up has no error report of its own: a folder that cannot take the marker ends the program.
        QTest::newRow("marker cannot be written")
            << QByteArray("<folder>")
            << kNoCategory + u"\nLarderon 16: Run-time error '75':\r\rPath/File access error [frmMain]"_s
            << QByteArray("<none>");
    }
    void startUp_asksOnTheFirstRunOnly()
    {
        QFETCH(QByteArray, marker);
        const bool fails = marker == "<folder>";
        testing::ScreenFixture f;
        f.run(fails ? "answer 1 > answer 1 > mkdir ld.ini" : "answer 1 > answer 1");
        if (!fails && marker != "<none>")
            f.folder.write("LD.ini", marker);
        QPointer<frmSplash> splash = ScreenRegistry::show<frmSplash>();
        QTRY_COMPARE(splash->cursor().shape(), Qt::WaitCursor);
        auto *timer = splash->findChild<QTimer *>("tmrTaskTimer");
        auto *bar = splash->findChild<QProgressBar *>("pbTaskProgress");
        QList<int> values;
        QObject::connect(timer, &QTimer::timeout, splash, [&values, bar] { values << bar->value(); });
        timer->setInterval(1);
        QTRY_VERIFY(!splash || !timer->isActive());

        QCOMPARE(values, QList<int>({4,  8,  12, 16, 20, 24, 28, 32, 36, 40, 44, 48, 52,
                                     56, 60, 64, 68, 72, 76, 80, 84, 88, 92, 96, 100}));
        QTEST(boxes(f.script), "expectedBoxes");
        QTEST(f.folder.exists("LD.ini") ? f.folder.read("LD.ini") : QByteArray("<none>"), "markerAfter");
        QCOMPARE(f.session.quitCount(), fails ? 1 : 0);
        QCOMPARE(ScreenRegistry::find(shell::kMainMenu) && ScreenRegistry::find(shell::kMainMenu)->isVisible(), !fails);
        // The splash is hidden, not destroyed, and without its hourglass.
        QCOMPARE(ScreenRegistry::find<frmSplash>() && !splash->isVisible(), !fails);
        QVERIFY(!splash || splash->cursor().shape() == Qt::ArrowCursor);
    }

    void mainMenu_itemsShowTheirScreenOnce()
    {
        // Each item's key and the screen it shows; Exit and Help show none of their own.
        const QStringList items{
            "Setup=frmSetup", "Ingredients=frmIngred", "Recipes=frmRecipe", "Shopping List=frmShop", "Exit", "Help",
            "About=frmAbout", "Credits=frmCredit",     "Find=frmFind",      "Import=frmImport", "Plan=frmPlan"};
        testing::ScreenSession session;
        for (const QString &each : items)
            ScreenRegistry::add(each.section(u'=', 1), [] { return new Screen; });
        frmMain *menu = showMainMenu();
        auto *bar = menu->findChild<shell::ExplorerBar *>("vbalExplorerBarCtl1");
        QCOMPARE(bar->groupCaption("SPECIAL") + '|' + bar->groupCaption("Others") + '|' + bar->groupCaption("Kitchen"),
                 u"Prg. Selections|Misc|Kitchen"_s);
        // Every item shows at its full height, none squeezed or cut off.
        QVERIFY(bar->sizeHint().height() <= menu->height());
        // Each item: its caption, also its name for screen readers, an icon, no tooltip, and its screen shown once.
        QStringList captions;
        for (const QString &each : items) {
            QAbstractButton *button = item(menu, each.section(u'=', 0, 0));
            QVERIFY(button->accessibleName() == button->text() && !button->icon().isNull() &&
                    button->toolTip().isEmpty());
            captions << button->text();
            if (!each.contains(u'='))
                continue;
            button->click();
            QPointer<Screen> shown = ScreenRegistry::find(each.section(u'=', 1));
            QVERIFY(shown && shown->isVisible() && menu->isVisible());
            shown->hide();
            button->click();
            QVERIFY(shown->isVisible());
        }
        QCOMPARE(captions.join('|'), u"Prg setup|Ingredients|Display recipes|Create a shopping list|Exit this program|"
                                     "View the help file|About screen|Credits|Find a recipe|Import recipes|Plan meals"_s);
    }

    void quit_asksAndGoesOnByTheAnswer_data()
    {
        // Exit or closing the main menu; the answer
        testing::addRows({"Exit, No; Exit; 7", "Exit, Yes; Exit; 6", "closing the main menu, No; close; 7"});
    }
    void quit_asksAndGoesOnByTheAnswer()
    {
        const auto [how, answer] = testing::cells<2>();
        testing::ScreenFixture f;
        f.run("answer " + answer);
        ScreenRegistry::load("frmShop");
        frmMain *menu = showMainMenu();
        how == u"close" ? void(menu->close()) : item(menu, how)->click();
        QCOMPARE(boxes(f.script), kQuit);
        QCOMPARE(f.session.quitCount(), answer == u"6" ? 1 : 0);
        QCOMPARE(ScreenRegistry::loaded().isEmpty(), answer == u"6");
        QCOMPARE(menu->isVisible(), answer != u"6");
    }

    void mainMenu_keyboardMovesAndOpensOnce()
    {
        testing::ScreenFixture f; // a box shown fails the test
        frmMain *menu = showMainMenu();
        QApplication::setActiveWindow(menu);
        item(menu, "Setup")->setFocus();
        QTest::keyClick(item(menu, "Setup"), Qt::Key_Down);
        QVERIFY(item(menu, "Ingredients")->hasFocus());
        QTest::keyClick(item(menu, "Ingredients"), Qt::Key_Return);
        QVERIFY(ScreenRegistry::find("frmIngred")->isVisible());
        QTest::keyClick(item(menu, "Ingredients"), Qt::Key_Up);
        QTest::keyClick(item(menu, "Setup"), Qt::Key_Up);
        QVERIFY(item(menu, "Plan")->hasFocus());
        // A held Enter key opens nothing beyond its first press.
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(item(menu, "Exit"), &repeat);
    }

    void screens_lookTheSameOnADarkDesktop_data()
    {
        QTest::addColumn<QString>("screen");
        for (const char *name : {"frmSplash", "frmMain", "frmSetup", "frmIngred", "frmRecipe", "frmShop", "frmCalendar",
                                 "frmAbout", "frmCredit", "frmFind", "frmImport", "frmPlan", "frmError"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void screens_lookTheSameOnADarkDesktop()
    {
        QFETCH(QString, screen);
        const QPalette dark(QColor(49, 54, 59), QColor(32, 35, 38)); // buttons and windows; text, boxes follow
        const QPalette desktop = QApplication::palette();
        QList<QImage> drawn;
        for (const QPalette &palette : {desktop, dark}) {
            QApplication::setPalette(palette);
            testing::ScreenFixture f;
            registerScreens();
            ScreenRegistry::add<frmError>();
            ScreenRegistry::show(screen);
            Screen *shown = ScreenRegistry::find(screen);
            if (auto *timer = shown->findChild<QTimer *>("tmrTaskTimer"))
                timer->stop(); // the splash's progress
            drawn << shown->grab().toImage();
        }
        QApplication::setPalette(desktop);
        QVERIFY(drawn.at(0) == drawn.at(1));
    }

    void keyboard_data()
    {
        // The screen and the control given the focus, then each key pressed ">" the control with the focus after it.
        testing::addRows({
            "Escape hides About; frmAbout - Left>frmAbout Esc>-",
            "Escape hides Credits; frmCredit - Left>frmCredit Esc>-",
            "Escape hides the calendar; frmCalendar MonthView1 Left>qt_calendar_calendarview Esc>-",
            "Tab reaches the calendar icon, Enter opens the calendar; "
            "frmShop lswHOpen Tab>imgHCal Return>qt_calendar_calendarview",
            "Space opens the calendar; frmShop imgHCal Space>qt_calendar_calendarview",
            "Tab passes over the boxes of the card; "
            "frmRecipe cboRCat Tab>lswRFile Tab>txtRDirec Tab>cmdRNew Tab>cmdRPrint Tab>cmdRMain Tab>cboRCat",
        });
    }
    void keyboard()
    {
        testing::ScreenFixture f;
        registerScreens();
        QStringList pressed = testing::cells<1>()[0].split(u' ');
        ScreenRegistry::show(pressed.constFirst());
        Screen *shown = ScreenRegistry::find(pressed.takeFirst());
        QVERIFY(QTest::qWaitForWindowActive(shown));
        QWidget *first = shown->findChild<QWidget *>(pressed.takeFirst());
        (first ? first : shown)->setFocus();
        for (const QString &step : pressed) {
            QTest::keySequence(QApplication::focusWidget(), step.section(u'>', 0, 0));
            QCoreApplication::processEvents(); // a screen shown or hidden passes the focus on
            const QWidget *focus = QApplication::focusWidget();
            QCOMPARE(focus ? focus->objectName() : u"-"_s, step.section(u'>', 1));
        }
    }

    // Damaged copies of the help file, cut short or with bytes changed, through the menu item: each shows
    // the help window or the failure box, and the program goes on.
    void help_damagedFiles_showTheWindowOrTheFailureBoxEachTime()
    {
        mdlHelp::SetViewerProgram(u"" LARDERON_HELP_VIEWER ""_s);
        QFile help(u"" LARDERON_HELP_FILE ""_s);
        QVERIFY(help.open(QIODevice::ReadOnly));
        const QByteArray good = help.readAll();
        testing::AppFolder app;
        testing::ScreenSession session;
        frmMain *menu = showMainMenu();
        QRandomGenerator random(17);
        for (int copy = 0; copy < 200; ++copy) {
            QByteArray damaged = good.first(copy % 2 ? good.size() : random.bounded(good.size()));
            for (int flips = copy % 2 ? random.bounded(1, 9) : 0; flips > 0; --flips)
                damaged[random.bounded(damaged.size())] ^= char(random.bounded(1, 256));
            app.write(u"Documentation/LDHelp.chm"_s, damaged);
            testing::MessageScript messages;
            messages.answer(1);
            item(menu, u"Help"_s)->click();
            const QList<QProcess *> shown = qApp->findChildren<QProcess *>();
            QCOMPARE(messages.boxes().size() + shown.size(), 1);
            qDeleteAll(shown);
        }
        mdlHelp::SetViewerProgram({});
    }

};

QTEST_MAIN(AppTest)
#include "app_test.moc"
