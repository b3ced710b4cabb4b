#include "shell/explorerbar.h"
#include "shell/mainmenu.h"
#include "shell/splash.h"
#include "tests/support/appfolder.h"
#include "tests/support/messages.h"
#include "tests/support/screens.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QProgressBar>
#include <QTest>
#include <QTimer>

using shell::ScreenRegistry;

class StartupTest : public QObject
{
    Q_OBJECT

private slots:
    void firstRun_asksForACategoryAndMakesTheMarker();
    void laterRun_goesStraightToTheMainMenu();
    void progress_fillsInTwentyFiveStepsOfFour();
    void mainMenu_hasBothGroupsAndAllItems();
    void mainMenu_itemsShowTheirScreenOnce_data();
    void mainMenu_itemsShowTheirScreenOnce();
    void mainMenu_exitAsksAndNoKeepsTheMenu();
    void mainMenu_helpWithoutViewer_saysSoAndGoesOn();
    void mainMenu_keyboardMovesAndClicks();

private:
    /// Runs the splash screen to its hand-over, ticking fast.
    static void runSplash(QList<int> *ticks = nullptr)
    {
        ScreenRegistry::add<frmSplash>();
        auto *splash = ScreenRegistry::show<frmSplash>();
        auto *timer = splash->findChild<QTimer *>(QStringLiteral("tmrTaskTimer"));
        auto *bar = splash->findChild<QProgressBar *>(QStringLiteral("pbTaskProgress"));
        QList<int> values;
        QObject::connect(timer, &QTimer::timeout, splash, [&values, bar] { values << bar->value(); });
        timer->setInterval(1);
        QTRY_VERIFY(!timer->isActive());
        if (ticks)
            *ticks = values;
    }

    static frmMain *showMainMenu()
    {
        ScreenRegistry::add<frmMain>();
        return ScreenRegistry::show<frmMain>();
    }

    static QAbstractButton *item(frmMain *menu, const char *key)
    {
        return menu->findChild<shell::ExplorerBar *>()->item(QLatin1String(key));
    }
};

void StartupTest::firstRun_asksForACategoryAndMakesTheMarker()
{
    testing::AppFolder app;
    testing::ScreenSession session;
    testing::MessageScript messages;
    messages.answer(1);
    runSplash();

    QCOMPARE(messages.boxes().size(), 1);
    QCOMPARE(messages.boxes().first().title, QStringLiteral("User error"));
    QCOMPARE(messages.boxes().first().flags, 4144);
    QVERIFY(app.exists(QStringLiteral("LD.ini")));
    QCOMPARE(app.read(QStringLiteral("LD.ini")), QByteArray());
    QVERIFY(!ScreenRegistry::find<frmSplash>()->isVisible());
    QVERIFY(ScreenRegistry::find(QStringLiteral("frmMain"))->isVisible());
}

void StartupTest::laterRun_goesStraightToTheMainMenu()
{
    testing::AppFolder app;
    app.write(QStringLiteral("LD.ini"), "[kept]\r\n");
    testing::ScreenSession session;
    testing::MessageScript messages;
    runSplash();

    VERIFY_NO_UNEXPECTED_BOX(messages);
    QCOMPARE(app.read(QStringLiteral("LD.ini")), QByteArray("[kept]\r\n"));
    QVERIFY(ScreenRegistry::find(QStringLiteral("frmMain"))->isVisible());
    // The splash is hidden, not destroyed.
    QVERIFY(ScreenRegistry::find<frmSplash>());
}

void StartupTest::progress_fillsInTwentyFiveStepsOfFour()
{
    testing::AppFolder app;
    app.write(QStringLiteral("LD.ini"), {});
    testing::ScreenSession session;
    ScreenRegistry::add<frmSplash>();
    auto *splash = ScreenRegistry::show<frmSplash>();
    QTRY_COMPARE(splash->cursor().shape(), Qt::WaitCursor);
    QCOMPARE(splash->findChild<QTimer *>(QStringLiteral("tmrTaskTimer"))->interval(), 100);

    QList<int> values;
    runSplash(&values);
    QCOMPARE(values.size(), 25);
    QCOMPARE(values.first(), 4);
    QCOMPARE(values.last(), 100);
    QCOMPARE(splash->cursor().shape(), Qt::ArrowCursor);
}

void StartupTest::mainMenu_hasBothGroupsAndAllItems()
{
    testing::ScreenSession session;
    frmMain *menu = showMainMenu();
    QCOMPARE(menu->windowTitle(), QStringLiteral("Main Menu:"));
    auto *bar = menu->findChild<shell::ExplorerBar *>(QStringLiteral("vbalExplorerBarCtl1"));
    QCOMPARE(bar->groupCaption(QStringLiteral("SPECIAL")), QStringLiteral("Prg. Selections"));
    QCOMPARE(bar->groupCaption(QStringLiteral("Others")), QStringLiteral("Misc"));
    QCOMPARE(bar->groupCaption(QStringLiteral("Kitchen")), QStringLiteral("Kitchen"));

    const QList<QPair<const char *, const char *>> items = {
        {"Setup", "Prg setup"},         {"Ingredients", "Ingredients"},
        {"Recipes", "Display recipes"}, {"Shopping List", "Create a shopping list"},
        {"Exit", "Exit this program"},  {"Help", "View the help file"},
        {"About", "About screen"},      {"Credits", "Credits"},
        {"Find", "Find a recipe"}};
    for (const auto &[key, caption] : items) {
        QAbstractButton *button = item(menu, key);
        QVERIFY2(button, key);
        QCOMPARE(button->text(), QLatin1String(caption));
        QCOMPARE(button->accessibleName(), QLatin1String(caption));
        QVERIFY2(!button->icon().isNull(), key);
        QVERIFY(button->toolTip().isEmpty());
    }
}

void StartupTest::mainMenu_itemsShowTheirScreenOnce_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("screen");
    QTest::newRow("Setup") << "Setup"
                           << "frmSetup";
    QTest::newRow("Ingredients") << "Ingredients"
                                 << "frmIngred";
    QTest::newRow("Recipes") << "Recipes"
                             << "frmRecipe";
    QTest::newRow("Shopping List") << "Shopping List"
                                   << "frmShop";
    QTest::newRow("About") << "About"
                           << "frmAbout";
    QTest::newRow("Credits") << "Credits"
                             << "frmCredit";
    QTest::newRow("Find") << "Find"
                          << "frmFind";
}

void StartupTest::mainMenu_itemsShowTheirScreenOnce()
{
    QFETCH(QString, key);
    QFETCH(QString, screen);
    testing::ScreenSession session;
    int made = 0;
    ScreenRegistry::add(screen, [&made] {
        ++made;
        return new shell::Screen;
    });
    frmMain *menu = showMainMenu();

    item(menu, key.toLatin1().constData())->click();
    shell::Screen *shown = ScreenRegistry::find(screen);
    QVERIFY(shown && shown->isVisible());
    QVERIFY(menu->isVisible());
    shown->hide();
    item(menu, key.toLatin1().constData())->click();
    QCOMPARE(ScreenRegistry::find(screen), shown);
    QVERIFY(shown->isVisible());
    QCOMPARE(made, 1);
}

void StartupTest::mainMenu_exitAsksAndNoKeepsTheMenu()
{
    testing::ScreenSession session;
    testing::MessageScript messages;
    messages.answer(7);
    messages.answer(6);
    frmMain *menu = showMainMenu();

    item(menu, "Exit")->click();
    QCOMPARE(messages.boxes().size(), 1);
    QCOMPARE(messages.boxes().first().title, QStringLiteral("Quit?"));
    QVERIFY(menu->isVisible());
    QCOMPARE(session.quitCount(), 0);

    item(menu, "Exit")->click();
    QCOMPARE(session.quitCount(), 1);
    QVERIFY(ScreenRegistry::loaded().isEmpty());
}

void StartupTest::mainMenu_helpWithoutViewer_saysSoAndGoesOn()
{
    testing::AppFolder app;
    testing::ScreenSession session;
    testing::MessageScript messages;
    messages.answer(1);
    frmMain *menu = showMainMenu();

    item(menu, "Help")->click();
    QCOMPARE(messages.boxes().size(), 1);
    QCOMPARE(messages.boxes().first().title, QStringLiteral("Tansy Help File Contents"));
    QCOMPARE(messages.boxes().first().prompt, QStringLiteral("Error in opening Help file.\r\nHelp File #1"));
    QCOMPARE(messages.boxes().first().flags, 16);
    QVERIFY(menu->isVisible());
}

void StartupTest::mainMenu_keyboardMovesAndClicks()
{
    testing::ScreenSession session;
    int made = 0;
    ScreenRegistry::add(QStringLiteral("frmIngred"), [&made] {
        ++made;
        return new shell::Screen;
    });
    frmMain *menu = showMainMenu();
    QApplication::setActiveWindow(menu);
    item(menu, "Setup")->setFocus();

    QTest::keyClick(item(menu, "Setup"), Qt::Key_Down);
    QVERIFY(item(menu, "Ingredients")->hasFocus());
    QTest::keyClick(item(menu, "Ingredients"), Qt::Key_Return);
    QCOMPARE(made, 1);
    QTest::keyClick(item(menu, "Ingredients"), Qt::Key_Up);
    QTest::keyClick(item(menu, "Setup"), Qt::Key_Up);
    QVERIFY(item(menu, "Find")->hasFocus());

    // A held Enter key opens nothing beyond its first press.
    testing::MessageScript messages;
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(item(menu, "Exit"), &repeat);
    QVERIFY(messages.boxes().isEmpty());
}

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
