#include "screens/help.h"
#include "shell/appearance.h"
#include "shell/error.h"
#include "shell/errorpath.h"
#include "shell/explorerbar.h"
#include "shell/lineprinter.h"
#include "shell/mainmenu.h"
#include "shell/menubar.h"
#include "shell/mmain.h"
#include "shell/module1.h"
#include "shell/printjob.h"
#include "shell/registerscreens.h"
#include "shell/splash.h"
#include "shell/worker.h"
#include "store/failure.h"
#include "tests/support/appfolder.h"
#include "tests/support/messages.h"
#include "tests/support/screens.h"

#include <QtTest>
#include <QtWidgets>

#include <array>
#include <functional>
#include <numeric>

using namespace Qt::StringLiterals;
using shell::Screen;
using shell::ScreenRegistry;
using Action = std::function<void(frmMain *)>;
Q_DECLARE_METATYPE(Action)

namespace {

/// A screen that counts its loads, can hide itself during its load as a failed load does, and holds one
/// control of each kind the clear routine meets.
class TestScreen : public Screen
{
public:
    static inline int loads = 0;
    static inline bool hideWhileLoading = false;

    explicit TestScreen(const QString &name)
    {
        setObjectName(name);
        new QLineEdit(u"line"_s, this);
        new QPlainTextEdit(u"text"_s, this);
        auto *combo = new QComboBox(this);
        combo->setEditable(true);
        combo->addItem(u"Soups"_s);
        (new QListWidget(this))->addItem(u"Apple Pie"_s);
        findChild<QListWidget *>()->setObjectName(u"lswRFile"_s);
    }

protected:
    void load() override
    {
        ++loads;
        if (hideWhileLoading)
            ScreenRegistry::hide(this);
    }
};

frmMain *showMainMenu()
{
    ScreenRegistry::add<frmMain>();
    return ScreenRegistry::show<frmMain>();
}

QAbstractButton *item(frmMain *menu, const QString &key)
{
    return menu->findChild<shell::ExplorerBar *>()->item(key);
}

void installIcon(const testing::AppFolder &app, const QString &name)
{
    QFile::copy(QStringLiteral(LARDERON_TEST_DATA "/../../assets/images/%1.ico").arg(name),
                app.file(u"images/%1.ico"_s.arg(name)));
}

// Each box as "title flags: prompt [the windows shown while it asked]".
QString boxes(const testing::MessageScript &messages)
{
    QStringList described;
    for (const testing::MessageScript::Box &box : messages.boxes())
        described << u"%1 %2: %3 [%4]"_s.arg(box.title).arg(box.flags).arg(box.prompt, box.shown.join(','));
    return described.join('\n');
}

/// A printer that counts the lines and documents it ends, takes `pauseMs` for each line, fails at line
/// `failAt`, and notes whether it was destroyed in another thread than the test's.
class CountingPrinter : public shell::LinePrinter
{
public:
    struct Log
    {
        int lines = 0;
        int documents = 0;
        bool destroyedAside = false;
    };
    CountingPrinter(Log &log, int failAt, int pauseMs) : m_log(log), m_failAt(failAt), m_pauseMs(pauseMs) {}
    ~CountingPrinter() override { m_log.destroyedAside = QThread::currentThread() != qApp->thread(); }
    void setFontName(const QString &) override {}
    void setFontSize(double) override {}
    void setBold(bool) override {}
    double fontSize() const override { return 10; }
    void print(const QString &) override {}
    void endLine() override
    {
        if (m_log.lines + 1 == m_failAt)
            throw shell::PrintFailure();
        QThread::msleep(m_pauseMs);
        ++m_log.lines;
    }
    double textWidth(const QString &text) const override { return text.size(); }
    double currentX() const override { return 0; }
    double currentY() const override { return 0; }
    double pageWidth() const override { return 100; }
    double pageHeight() const override { return 100; }
    void newPage() override {}
    void endDocument() override { ++m_log.documents; }

private:
    Log &m_log;
    int m_failAt;
    int m_pauseMs;
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
        TestScreen::loads = 0;
        TestScreen::hideWhileLoading = false;
        for (const char *name : {"frmIngred", "frmRecipe", "frmSetup", "frmShop"})
            ScreenRegistry::add(QLatin1String(name), [name] { return new TestScreen(QLatin1String(name)); });
    }

    void registry_loadsAScreenOnceAndKeepsItUntilTheEnd_data()
    {
        QTest::addColumn<bool>("hideWhileLoading");
        QTest::newRow("loaded") << false;
        QTest::newRow("hidden during its load") << true;
    }
    void registry_loadsAScreenOnceAndKeepsItUntilTheEnd()
    {
        QFETCH(bool, hideWhileLoading);
        testing::ScreenSession session;
        TestScreen::hideWhileLoading = hideWhileLoading;
        ScreenRegistry::show("frmSetup");
        QPointer<Screen> screen = ScreenRegistry::find("frmSetup");
        QCOMPARE(screen->isVisible(), !hideWhileLoading);
        ScreenRegistry::hide("frmSetup");
        ScreenRegistry::show("frmSetup");
        ScreenRegistry::show("frmNowhere");
        ScreenRegistry::hide("frmNowhere");
        QVERIFY(screen->isVisible());
        QCOMPARE(TestScreen::loads, 1);
        QCOMPARE(ScreenRegistry::loaded(), QList<Screen *>{screen.data()});

        ScreenRegistry::hide(screen);
        ScreenRegistry::unloadAll();
        QCOMPARE(session.quitCount(), 1);
        QVERIFY(ScreenRegistry::loaded().isEmpty());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(screen.isNull());
    }

    void errorReport_showsTheCodesTextsAndEndsTheProgram_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("source");
        const QString open = u"This program has failed to open the needed folder or file"_s;
        const QString save = u"This program has failed to save the screen data"_s;
        const QString del = u"This program has failed to delete the screen data"_s;
        QTest::newRow("I - FL -") << u" 53"_s << open << u"(form) Ingredient - Form_Load section"_s;
        QTest::newRow("I - CS -") << u" 75"_s << save << u"(form) Ingredient - cmdISave section"_s;
        QTest::newRow("R - CD -") << u" 70"_s << del << u"(form) Recipe - chkRDel section"_s;
        QTest::newRow("R - FL -") << u" 76"_s << open << u"(form) Recipe - Form_Load section"_s;
        QTest::newRow("R - LF -") << u" 62"_s << open << u"(form) Recipe - lswRFile section"_s;
        QTest::newRow("S - CC -") << u" 58"_s << u"This program has failed to create the needed folder"_s
                                  << u"(form) Setup - cmdSCreate section"_s;
        QTest::newRow("S - CD -") << u" 70"_s << del << u"(form) Setup - cmdSDel section"_s;
        QTest::newRow("S - FL -") << u" 0"_s << open << u"(form) Setup - Form_Load section"_s;
        QTest::newRow("H - CD -") << u"-5"_s << del << u"(form) Shop - cmdHDel section"_s;
        QTest::newRow("H - CS -") << u" 61"_s << save << u"(form) Shop - cmdHSave section"_s;
        QTest::newRow("H - FL -") << u" 76"_s << open << u"(form) Shop - Form_Load section"_s;
        QTest::newRow("H - LF -") << u" 53"_s << open << u"(form) Shop - lswHOpen section"_s;
        QTest::newRow("M - FL -") << u" 53"_s << open << u"(form) Import - Form_Load section"_s;
        QTest::newRow("M - CS -") << u" 61"_s << save << u"(form) Import - cmdMImport section"_s;
        // An unknown code leaves the report's placeholders, and the failure's own description.
        QTest::newRow("X - ZZ -") << u" 76"_s << QString() << u"section"_s;
    }
    void errorReport_showsTheCodesTextsAndEndsTheProgram()
    {
        QFETCH(QString, number);
        QFETCH(QString, description);
        const QString code = QLatin1String(QTest::currentDataTag());
        const bool known = !description.isEmpty();
        testing::ScreenSession session;
        ScreenRegistry::show("frmShop");

        // A failure of the store brings its own description; the report shows the code's texts instead.
        if (const int failure = number.trimmed().toInt(); failure > 0)
            shell::raiseError(ScreenRegistry::find("frmShop"), code, store::Failure(store::Failure::Number(failure)));
        else
            shell::raiseError(ScreenRegistry::find("frmShop"), code, failure, u"Path not found"_s);

        QVERIFY(!ScreenRegistry::find("frmShop")->isVisible() && ScreenRegistry::find<frmError>()->isVisible());
        const auto label = [](const char *name) {
            return ScreenRegistry::find<frmError>()->findChild<QLabel *>(name)->text();
        };
        QCOMPARE(label("lblENumMsg"), known ? code + number : u"2"_s);
        QCOMPARE(label("lblEDescMsg"), known ? description + u"\ncorrectly."_s : u"error"_s);
        QCOMPARE(shell::errorHandOver().description, known ? description + u"\rcorrectly."_s : u"Path not found"_s);
        QTEST(label("lblESourceMsg"), "source");
        QCOMPARE(label("lblEFixMsg"),
                 known ? u"Please contact the author with the error number above.\nThis program will now end!"_s
                       : u"22"_s);
        QTest::mouseClick(ScreenRegistry::find<frmError>()->findChild<QPushButton *>("cmdEBack"), Qt::LeftButton);
        QCOMPARE(session.quitCount(), 1);
        QVERIFY(ScreenRegistry::loaded().isEmpty());
    }

    void clearScreen_emptiesThatScreensTextBoxesOnly_data()
    {
        QTest::addColumn<int>("number");
        QTest::newRow("frmIngred") << 0;
        QTest::newRow("frmRecipe") << 1;
        QTest::newRow("none") << 2;
        QTest::newRow("frmShop") << 3;
    }
    void clearScreen_emptiesThatScreensTextBoxesOnly()
    {
        QFETCH(int, number);
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

    void sharedRoutines_deleteByModeAndList_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("failure");
        QTest::addColumn<QStringList>("gone");
        QTest::newRow("a file") << u"Pies/Apple"_s << 0 << 0 << QStringList{"Pies/Apple 1"};
        QTest::newRow("a folder") << u"Soups"_s << 1 << 0 << QStringList{"Soups/", "Soups/Leek 1"};
        QTest::newRow("another mode") << u"Pies/Apple"_s << 2 << 0 << QStringList();
        QTest::newRow("a missing folder") << u"Old"_s << 1 << 76 << QStringList();
        QTest::newRow("a folder with a read-only file") << u"Fish"_s << 1 << 70 << QStringList();
    }
    void sharedRoutines_deleteByModeAndList()
    {
        QFETCH(QString, path);
        QFETCH(int, mode);
        QFETCH(QStringList, gone);
        testing::AppFolder app(testing::AppFolder::Empty);
        for (const char *file : {"Pies/Apple", "Soups/Leek", "Fish/Stock"})
            app.write(QLatin1String(file), "x");
        app.setReadOnly("Fish/Stock");
        QStringList left = app.tree();
        for (const QString &entry : gone)
            left.removeOne(entry);

        QTEST(testing::failureOf([&] { Module1::FileSystemDelete(app.file(path), mode); }), "failure");
        QCOMPARE(app.tree(), left);
        // The listing of a folder's files ends with one empty element.
        QStringList names{u"stale"_s};
        Module1::ListFolderFiles(app.file("Fish"), names);
        QCOMPARE(names, QStringList({"Stock", ""}));
    }

    void menuBar_showsEachScreensCommands_data()
    {
        QTest::addColumn<int>("table");
        QTest::addColumn<QStringList>("expected"); // a menu: its items (and icon), "-" for a separator
        QTest::newRow("recipe entry") << 0 << QStringList{"&File: New (New), -, Save (Save), -, Main (Main)"};
        QTest::newRow("recipe display") << 1 << QStringList{"&File: New (New), -, Print (Print), -, Main (Main)"};
        QTest::newRow("shopping lists") << 2
                                        << QStringList{"&File: New (New), Save (Save), Print (Print), Main (Main)",
                                                       "&Edit: Del (Exit)", "&Tools: Calendar (Calendar)"};
    }
    void menuBar_showsEachScreensCommands()
    {
        QFETCH(int, table);
        testing::AppFolder app;
        const QStringList icons{"New", "Save", "Main", "Print", "Exit", "Calendar"};
        for (const QString &icon : icons)
            installIcon(app, icon);
        shell::MenuBar bar;
        shell::BuildMenuBar(&bar, std::array{shell::ingredMenu(), shell::recipeMenu(), shell::shopMenu()}[table]);

        QStringList menus;
        for (QAction *menu : bar.actions()) {
            QStringList items;
            for (QAction *item : menu->menu()->actions()) {
                QString icon = u"none"_s;
                for (const QString &name : icons) {
                    if (shell::LoadMenuIcon(name).pixmap(16).toImage() == item->icon().pixmap(16).toImage())
                        icon = name;
                }
                items << (item->isSeparator() ? u"-"_s : u"%1 (%2)"_s.arg(item->text(), icon));
            }
            menus << menu->text() + u": "_s + items.join(u", "_s);
            QCOMPARE(menu->menu()->font().family() + QString::number(menu->menu()->font().pointSize()), u"Tahoma8"_s);
        }
        QTEST(menus, "expected");
        QCOMPARE(bar.font().family() + QString::number(bar.font().pointSize()), u"Tahoma8"_s);
    }

    void menuBar_reportsTheClickedItemAndReadsIconsAnew()
    {
        testing::AppFolder app;
        installIcon(app, u"New"_s);
        app.write("images/Save.ico", "not an icon");
        shell::MenuBar bar;
        shell::BuildMenuBar(&bar, shell::shopMenu());
        QVERIFY(!bar.action("keyNew")->icon().isNull() && bar.action("keySave")->icon().isNull());
        QVERIFY(shell::LoadMenuIcon("Print").isNull());
        installIcon(app, u"Print"_s);
        QVERIFY(!shell::LoadMenuIcon("Print").isNull());

        QSignalSpy clicks(&bar, &shell::MenuBar::itemClick);
        bar.action("keyDelete")->trigger();
        bar.action("keyCalendar")->trigger();
        bar.action("keyfile")->trigger(); // a menu title is not an item
        QCOMPARE(clicks.size(), 2);
        QCOMPARE(bar.keyOf(clicks.at(0).at(0).toInt()) + bar.keyOf(clicks.at(1).at(0).toInt()) + bar.keyOf(-1),
                 u"keyDeletekeyCalendar"_s);
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
        testing::AppFolder app;
        if (fails)
            app.makeFolder("ld.ini");
        else if (marker != "<none>")
            app.write("LD.ini", marker);
        testing::ScreenSession session;
        testing::MessageScript messages;
        messages.answer(1);
        messages.answer(1);
        QPointer<frmSplash> splash = ScreenRegistry::show<frmSplash>();
        QTRY_COMPARE(splash->cursor().shape(), Qt::WaitCursor);
        auto *timer = splash->findChild<QTimer *>("tmrTaskTimer");
        auto *bar = splash->findChild<QProgressBar *>("pbTaskProgress");
        QCOMPARE(timer->interval(), 100);
        QList<int> values;
        QObject::connect(timer, &QTimer::timeout, splash, [&values, bar] { values << bar->value(); });
        timer->setInterval(1);
        QTRY_VERIFY(!splash || !timer->isActive());

        QCOMPARE(values, QList<int>({4,  8,  12, 16, 20, 24, 28, 32, 36, 40, 44, 48, 52,
                                     56, 60, 64, 68, 72, 76, 80, 84, 88, 92, 96, 100}));
        QTEST(boxes(messages), "expectedBoxes");
        QTEST(app.exists("LD.ini") ? app.read("LD.ini") : QByteArray("<none>"), "markerAfter");
        QCOMPARE(session.quitCount(), fails ? 1 : 0);
        QCOMPARE(ScreenRegistry::find("frmMain") && ScreenRegistry::find("frmMain")->isVisible(), !fails);
        // The splash is hidden, not destroyed, and without its hourglass.
        QCOMPARE(ScreenRegistry::find<frmSplash>() && !splash->isVisible(), !fails);
        QVERIFY(!splash || splash->cursor().shape() == Qt::ArrowCursor);
    }

    void mainMenu_itemsShowTheirScreenOnce_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("screen");
        QTest::newRow("Setup") << u"Prg setup"_s << u"frmSetup"_s;
        QTest::newRow("Ingredients") << u"Ingredients"_s << u"frmIngred"_s;
        QTest::newRow("Recipes") << u"Display recipes"_s << u"frmRecipe"_s;
        QTest::newRow("Shopping List") << u"Create a shopping list"_s << u"frmShop"_s;
        QTest::newRow("Exit") << u"Exit this program"_s << QString();
        QTest::newRow("Help") << u"View the help file"_s << QString();
        QTest::newRow("About") << u"About screen"_s << u"frmAbout"_s;
        QTest::newRow("Credits") << u"Credits"_s << u"frmCredit"_s;
        QTest::newRow("Find") << u"Find a recipe"_s << u"frmFind"_s;
        QTest::newRow("Import") << u"Import recipes"_s << u"frmImport"_s;
    }
    void mainMenu_itemsShowTheirScreenOnce()
    {
        QFETCH(QString, caption);
        QFETCH(QString, screen);
        testing::ScreenSession session;
        ScreenRegistry::add(screen, [] { return new Screen; });
        frmMain *menu = showMainMenu();
        auto *bar = menu->findChild<shell::ExplorerBar *>("vbalExplorerBarCtl1");
        QCOMPARE(bar->groupCaption("SPECIAL") + '|' + bar->groupCaption("Others") + '|' + bar->groupCaption("Kitchen"),
                 u"Prg. Selections|Misc|Kitchen"_s);
        // Every item shows at its full height, none squeezed or cut off.
        QVERIFY(bar->sizeHint().height() <= menu->height());
        QAbstractButton *button = item(menu, QLatin1String(QTest::currentDataTag()));
        QCOMPARE(button->text() + '|' + button->accessibleName(), caption + '|' + caption);
        QVERIFY(!button->icon().isNull() && button->toolTip().isEmpty());
        if (screen.isEmpty())
            return;
        button->click();
        QPointer<Screen> shown = ScreenRegistry::find(screen);
        QVERIFY(shown && shown->isVisible() && menu->isVisible());
        shown->hide();
        button->click();
        QVERIFY(shown->isVisible());
    }

    void boxes_askAndGoOnByTheAnswer_data()
    {
        QTest::addColumn<Action>("action");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("box");
        const Action exit = [](frmMain *menu) { item(menu, "Exit")->click(); };
        QTest::newRow("Exit, No") << exit << 7 << kQuit;
        QTest::newRow("Exit, Yes") << exit << 6 << kQuit;
        QTest::newRow("closing the main menu, No") << Action([](frmMain *menu) { menu->close(); }) << 7 << kQuit;
        QTest::newRow("no category") << Action([](frmMain *menu) {
            menu->hide();
            mMain::CategoryPresenceCheck();
        }) << 1 << kNoCategory;
        QTest::newRow("help without its viewer")
            << Action([](frmMain *menu) { item(menu, "Help")->click(); }) << 1
            << u"Tansy Help File Contents 16: Error in opening Help file.\r\nHelp File #1 [frmMain]"_s;
    }
    void boxes_askAndGoOnByTheAnswer()
    {
        QFETCH(Action, action);
        QFETCH(int, answer);
        testing::AppFolder app;
        testing::ScreenSession session;
        testing::MessageScript messages;
        messages.answer(answer);
        ScreenRegistry::load("frmShop");
        frmMain *menu = showMainMenu();

        action(menu);
        QTEST(boxes(messages), "box");
        QCOMPARE(session.quitCount(), answer == 6 ? 1 : 0);
        QCOMPARE(ScreenRegistry::loaded().isEmpty(), answer == 6);
        QCOMPARE(menu->isVisible(), answer != 6);
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
        CountingPrinter::Log log;
        // A slow print shows its progress dialog, and the window's events run meanwhile.
        int ticks = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&ticks, cancel] {
            ++ticks;
            if (auto *progress = qobject_cast<QProgressDialog *>(QApplication::activeModalWidget()); progress && cancel)
                progress->findChild<QPushButton *>()->click();
        });
        tick.start(10);
        QString outcome;
        try {
            outcome = shell::runPrintJob(&window, std::make_unique<CountingPrinter>(log, failAt, cancel ? 20 : 0), 200,
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
        const bool some = log.lines > 0 && log.lines < 100;
        QTEST(u"%1, %2 lines, %3 document"_s.arg(outcome, cancel && some ? u"some"_s : QString::number(log.lines))
                  .arg(log.documents),
              "outcome");
        QVERIFY(log.destroyedAside);
        QVERIFY(!cancel || ticks > 10);
    }

    void worker_runsAsideWhileTheWindowsGoOn()
    {
        int ticks = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&ticks] { ++ticks; });
        tick.start(5);
        bool aside = false;
        shell::runInWorker([&aside] {
            aside = QThread::currentThread() != qApp->thread();
            QThread::msleep(200);
        });
        QVERIFY(aside && ticks > 5);
        QVERIFY_THROWS_EXCEPTION(store::Failure,
                                 shell::runInWorker([] { throw store::Failure(store::Failure::PathNotFound); }));
    }

    void mainMenu_keyboardMovesAndOpensOnce()
    {
        testing::ScreenSession session;
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
        testing::MessageScript messages;
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(item(menu, "Exit"), &repeat);
        VERIFY_NO_UNEXPECTED_BOX(messages);
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
            testing::AppFolder app;
            testing::ScreenSession session;
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
        QTest::addColumn<QString>("keys");
        QTest::newRow("Escape hides About") << u"frmAbout - Left>frmAbout Esc>-"_s;
        QTest::newRow("Escape hides Credits") << u"frmCredit - Left>frmCredit Esc>-"_s;
        QTest::newRow("Escape hides the calendar") << u"frmCalendar MonthView1 Left>qt_calendar_calendarview Esc>-"_s;
        QTest::newRow("Tab reaches the calendar icon, Enter opens the calendar")
            << u"frmShop lswHOpen Tab>imgHCal Return>qt_calendar_calendarview"_s;
        QTest::newRow("Space opens the calendar") << u"frmShop imgHCal Space>qt_calendar_calendarview"_s;
        QTest::newRow("Tab passes over the boxes of the card")
            << u"frmRecipe cboRCat Tab>lswRFile Tab>txtRDirec Tab>cmdRNew Tab>cmdRPrint Tab>cmdRMain Tab>cboRCat"_s;
    }
    void keyboard()
    {
        QFETCH(QString, keys);
        testing::AppFolder app;
        testing::ScreenSession session;
        registerScreens();
        QStringList pressed = keys.split(u' ');
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
