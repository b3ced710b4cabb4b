#include "screens/help.h"
#include "shell/appearance.h"
#include "shell/error.h"
#include "shell/errorpath.h"
#include "shell/explorerbar.h"
#include "shell/mainmenu.h"
#include "shell/menubar.h"
#include "shell/module1.h"
#include "shell/printjob.h"
#include "shell/registerscreens.h"
#include "shell/splash.h"
#include "shell/worker.h"
#include "store/failure.h"
#include "tests/support/printer.h"
#include "tests/support/rows.h"
#include "tests/support/screenfixture.h"

#include <QtTest>
#include <QtWidgets>

#include <numeric>

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

/// A recording printer that takes `pauseMs` for each line, fails at line `failAt`, and notes in `aside` whether
/// it was destroyed in another thread than the test's.
struct SlowPrinter : testing::RecordingPrinter
{
    SlowPrinter(testing::Printout &printout, bool &destroyedAside, int failingLine, int pause)
        : RecordingPrinter(printout), out(printout), aside(destroyedAside), failAt(failingLine), pauseMs(pause)
    {}
    ~SlowPrinter() override { aside = QThread::currentThread() != qApp->thread(); }
    void endLine() override
    {
        if (out.lines.size() + 1 == failAt)
            throw shell::PrintFailure();
        QThread::msleep(pauseMs);
        RecordingPrinter::endLine();
    }
    testing::Printout &out;
    bool &aside;
    const int failAt, pauseMs;
};

const QString kQuit = u"Quit? 4132: You have indicated you wish to exit\rthis program. Is this correct? []"_s;
const QString kNoCategory =
    u"User error 4144: Please click on 'Prg. setup' in the Main menu\rand create at least 1 category. []"_s;

} // namespace

class ShellTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        // Screens that hold one control of each kind the clear routine meets.
        for (const char *name : {"frmIngred", "frmRecipe", "frmSetup", "frmShop"})
            ScreenRegistry::add(QLatin1String(name), [name] {
                auto *screen = new Screen;
                screen->setObjectName(QLatin1String(name));
                new QLineEdit(u"line"_s, screen);
                new QPlainTextEdit(u"text"_s, screen);
                auto *combo = new QComboBox(screen);
                combo->setEditable(true);
                combo->addItem(u"Soups"_s);
                (new QListWidget(screen))->addItem(u"Apple Pie"_s);
                screen->findChild<QListWidget *>()->setObjectName(u"lswRFile"_s);
                return screen;
            });
    }

    void errorReport_showsTheCodesTextsAndEndsTheProgram_data()
    {
        // the code (the row name); its number; what failed; the source "(form) ... section". One code of each
        // kind of failure, and the numbers as the report writes them, with a blank before a positive one.
        testing::addRows({"I - FL -; 53; open; Ingredient - Form_Load", "I - CS -; 75; save; Ingredient - cmdISave",
                          "R - CD -; 70; delete; Recipe - chkRDel", "S - CC -; 58; create; Setup - cmdSCreate",
                          "S - FL -; 0; open; Setup - Form_Load", "H - CD -; -5; delete; Shop - cmdHDel",
                          "M - CS -; 61; save; Import - cmdMImport",
                          // An unknown code leaves the report's placeholders, and the failure's own description.
                          "X - ZZ -; 76; ; "});
    }
    void errorReport_showsTheCodesTextsAndEndsTheProgram()
    {
        const auto [number, failed, form] = testing::cells<3>();
        const QString code = QLatin1String(QTest::currentDataTag());
        const bool known = !failed.isEmpty();
        const QString description =
            failed == u"create" ? u"This program has failed to create the needed folder"_s
                                : u"This program has failed to %1 "_s.arg(failed) +
                                      (failed == u"open" ? u"the needed folder or file"_s : u"the screen data"_s);
        testing::ScreenSession session;
        ScreenRegistry::show("frmShop");
        const QPointer<Screen> shop = ScreenRegistry::find("frmShop");

        // A failure of the store brings its own description; the report shows the code's texts instead.
        if (const int failure = number.toInt(); failure > 0)
            shell::raiseError(ScreenRegistry::find("frmShop"), code, store::Failure(store::Failure::Number(failure)));
        else
            shell::raiseError(ScreenRegistry::find("frmShop"), code, failure, u"Path not found"_s);

        QVERIFY(!ScreenRegistry::find("frmShop")->isVisible() && ScreenRegistry::find<frmError>()->isVisible());
        const auto label = [](const char *name) {
            return ScreenRegistry::find<frmError>()->findChild<QLabel *>(name)->text();
        };
        QCOMPARE(label("lblENumMsg"), known ? code + (number.startsWith(u'-') ? "" : " ") + number : u"2"_s);
        QCOMPARE(label("lblEDescMsg"), known ? description + u"\ncorrectly."_s : u"error"_s);
        QCOMPARE(shell::errorHandOver().description, known ? description + u"\rcorrectly."_s : u"Path not found"_s);
        QCOMPARE(label("lblESourceMsg"), known ? u"(form) %1 section"_s.arg(form) : u"section"_s);
        QCOMPARE(label("lblEFixMsg"),
                 known ? u"Please contact the author with the error number above.\nThis program will now end!"_s
                       : u"22"_s);
        QTest::mouseClick(ScreenRegistry::find<frmError>()->findChild<QPushButton *>("cmdEBack"), Qt::LeftButton);
        // The program ends: every screen unloaded and destroyed.
        QCOMPARE(session.quitCount(), 1);
        QVERIFY(ScreenRegistry::loaded().isEmpty());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(shop.isNull());
    }

    void clearScreen_emptiesThatScreensTextBoxesOnly_data()
    {
        testing::addRows({"frmIngred; 0", "frmRecipe; 1", "none; 2", "frmShop; 3"});
    }
    void clearScreen_emptiesThatScreensTextBoxesOnly()
    {
        const int number = testing::cells<1>()[0].toInt();
        testing::ScreenSession session;
        Module1::ClearScreen(number); // a screen that is not loaded stays so
        QVERIFY(ScreenRegistry::loaded().isEmpty());
        for (const char *name : {"frmIngred", "frmRecipe", "frmShop"})
            ScreenRegistry::load(QLatin1String(name));

        Module1::ClearScreen(number);

        for (Screen *screen : ScreenRegistry::loaded()) {
            const bool cleared = screen->objectName() == QLatin1String(QTest::currentDataTag());
            QCOMPARE(screen->findChild<QLineEdit *>()->text().isEmpty(), cleared);
            QCOMPARE(screen->findChild<QPlainTextEdit *>()->toPlainText().isEmpty(), cleared);
            // A combo box is not a text box, and only the recipe display's file list is emptied.
            QCOMPARE(screen->findChild<QComboBox *>()->currentText(), u"Soups"_s);
            QCOMPARE(screen->findChild<QListWidget *>()->count(), cleared && number == 1 ? 0 : 1);
        }
    }

    void menuBar_readsIconsAnewAndDrawsInTahoma()
    {
        testing::AppFolder app;
        const auto installIcon = [&app](const char *name) {
            QFile::copy(QStringLiteral(LARDERON_TEST_DATA "/../../assets/images/%1.ico").arg(name),
                        app.file(u"images/%1.ico"_s.arg(name)));
        };
        installIcon("New");
        app.write("images/Save.ico", "not an icon");
        shell::MenuBar bar;
        shell::BuildMenuBar(&bar, shell::shopMenu());
        QVERIFY(!bar.action("keyNew")->icon().isNull() && bar.action("keySave")->icon().isNull());
        QVERIFY(shell::LoadMenuIcon("Print").isNull());
        installIcon("Print");
        QVERIFY(!shell::LoadMenuIcon("Print").isNull());

        // A separator row is a separator; the drop-down menus, windows of their own, take the bar's Tahoma 8.
        shell::BuildMenuBar(&bar, shell::recipeMenu());
        const QMenu *file = bar.actions().constLast()->menu();
        QCOMPARE(file->actions().at(1)->isSeparator(), true);
        QCOMPARE(file->font().family() + QString::number(file->font().pointSize()), u"Tahoma8"_s);
    }

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
        QCOMPARE(ScreenRegistry::find("frmMain") && ScreenRegistry::find("frmMain")->isVisible(), !fails);
        // The splash is hidden, not destroyed, and without its hourglass.
        QCOMPARE(ScreenRegistry::find<frmSplash>() && !splash->isVisible(), !fails);
        QVERIFY(!splash || splash->cursor().shape() == Qt::ArrowCursor);
    }

    void mainMenu_itemsShowTheirScreenOnce()
    {
        // Each item's key and the screen it shows; Exit and Help show none of their own.
        const QStringList items{
            "Setup=frmSetup", "Ingredients=frmIngred", "Recipes=frmRecipe", "Shopping List=frmShop", "Exit", "Help",
            "About=frmAbout", "Credits=frmCredit",     "Find=frmFind",      "Import=frmImport"};
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
                                     "View the help file|About screen|Credits|Find a recipe|Import recipes"_s);
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

    void printJob_endsAsThePrinterOrTheUserEndsIt_data()
    {
        QTest::addColumn<int>("failAt");  // the line the printer fails at; -1: the text to print cannot be read
        QTest::addColumn<bool>("cancel"); // Cancel in the progress dialog as soon as it shows
        QTest::addColumn<QString>("outcome");
        QTest::newRow("to its end") << 0 << false << u"printed, 100 lines, 1 document"_s;
        QTest::newRow("the printer fails") << 3 << false << u"not printed, 2 lines, 0 document"_s;
        QTest::newRow("cancelled") << 0 << true << u"not printed, some lines, 0 document"_s;
        QTest::newRow("the text cannot be read") << -1 << false << u"53, 0 lines, 0 document"_s;
    }
    void printJob_endsAsThePrinterOrTheUserEndsIt()
    {
        QFETCH(int, failAt);
        QFETCH(bool, cancel);
        QWidget window;
        window.show();
        testing::Printout out;
        bool destroyedAside = false;
        // A slow print shows its progress dialog; how long the window waits meanwhile is the bench's figure.
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [cancel] {
            if (auto *progress = qobject_cast<QProgressDialog *>(QApplication::activeModalWidget()); progress && cancel)
                progress->findChild<QPushButton *>()->click();
        });
        tick.start(10);
        QString outcome;
        try {
            outcome = shell::runPrintJob(
                          &window, std::make_unique<SlowPrinter>(out, destroyedAside, failAt, cancel ? 20 : 0), 200,
                          [failAt](shell::LinePrinter &printer) {
                              if (failAt < 0)
                                  throw store::Failure(store::Failure::FileNotFound);
                              for (int line = 0; line < 100; ++line) {
                                  printer.print(u"line"_s);
                                  printer.endLine();
                              }
                              printer.endDocument();
                          })
                          ? u"printed"_s
                          : u"not printed"_s;
        } catch (const store::Failure &failure) {
            outcome = QString::number(failure.number());
        }
        const qsizetype lines = out.lines.size();
        QTEST(u"%1, %2 lines, %3 document"_s
                  .arg(outcome, cancel && lines > 0 && lines < 100 ? u"some"_s : QString::number(lines))
                  .arg(out.documents),
              "outcome");
        QVERIFY(destroyedAside);
    }

    void worker_runsAside()
    {
        // How long the windows wait meanwhile is the bench's figure for the recipe display's list.
        bool aside = false;
        shell::runInWorker([&aside] { aside = QThread::currentThread() != qApp->thread(); });
        QVERIFY(aside);
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
        QVERIFY(item(menu, "Import")->hasFocus());
        // A held Enter key opens nothing beyond its first press.
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(item(menu, "Exit"), &repeat);
    }

    void screens_lookTheSameOnADarkDesktop_data()
    {
        QTest::addColumn<QString>("screen");
        for (const char *name : {"frmSplash", "frmMain", "frmSetup", "frmIngred", "frmRecipe", "frmShop", "frmCalendar",
                                 "frmAbout", "frmCredit", "frmFind", "frmImport", "frmError"})
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

    void boldText_isClearlyHeavier()
    {
        if (!shell::registerTahoma())
            QSKIP("no Tahoma face to draw with");
        // The ink of a bold caption against the same caption in regular type.
        const auto ink = [](QFont::Weight weight) {
            QImage caption(160, 20, QImage::Format_Alpha8); // the coverage of each pixel
            caption.fill(Qt::transparent);
            QPainter painter(&caption);
            painter.setFont(QFont(u"Tahoma"_s, 9, weight));
            painter.drawText(caption.rect(), Qt::AlignCenter, u"Err. Description:"_s);
            return std::accumulate(caption.constBits(), caption.constBits() + caption.sizeInBytes(), 0LL);
        };
        const qint64 bold = ink(QFont::Bold), regular = ink(QFont::Normal);
        QVERIFY2(bold > 1.3 * regular, qPrintable(u"%1 against %2"_s.arg(bold).arg(regular)));
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

QTEST_MAIN(ShellTest)
#include "shell_test.moc"
