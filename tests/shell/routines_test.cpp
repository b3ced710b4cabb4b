#include "shell/messages.h"
#include "shell/mmain.h"
#include "shell/module1.h"
#include "shell/screen.h"
#include "store/failure.h"
#include "tests/support/appfolder.h"
#include "tests/support/messages.h"
#include "tests/support/screens.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>

using shell::ScreenRegistry;

namespace {

/// A screen with one control of each kind the clear routine meets.
shell::Screen *makeScreen(const QString &name)
{
    auto *screen = new shell::Screen;
    screen->setObjectName(name);
    (new QLineEdit(QStringLiteral("line"), screen))->setObjectName(QStringLiteral("txtLine"));
    (new QPlainTextEdit(QStringLiteral("text"), screen))->setObjectName(QStringLiteral("txtText"));
    auto *combo = new QComboBox(screen);
    combo->setEditable(true);
    combo->setObjectName(QStringLiteral("cboChoice"));
    combo->addItem(QStringLiteral("Soups"));
    auto *list = new QListWidget(screen);
    list->setObjectName(name == QLatin1String("frmRecipe") ? QStringLiteral("lswRFile") : QStringLiteral("lswOther"));
    list->addItem(QStringLiteral("Apple Pie"));
    return screen;
}

} // namespace

class RoutinesTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        for (const char *name : {"frmIngred", "frmRecipe", "frmShop"})
            ScreenRegistry::add(QLatin1String(name), [name] { return makeScreen(QLatin1String(name)); });
    }

    void clearScreen_emptiesOnlyThatScreensTextBoxes_data();
    void clearScreen_emptiesOnlyThatScreensTextBoxes();
    void clearScreen_ofAScreenNotLoaded_doesNothing();
    void fileSystemDelete_byMode();
    void fileSystemDelete_folderWithReadOnlyFile_failsAndKeepsEverything();
    void listFolderFiles_endsWithOneEmptyElement();
    void exit_no_showsTheMainMenuAgain();
    void exit_yes_unloadsEveryScreen();
    void categoryPresenceCheck_asksAndShowsTheMainMenu();
};

void RoutinesTest::clearScreen_emptiesOnlyThatScreensTextBoxes_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("name");
    QTest::newRow("recipe entry") << 0 << "frmIngred";
    QTest::newRow("recipe display") << 1 << "frmRecipe";
    QTest::newRow("shopping lists") << 3 << "frmShop";
}

void RoutinesTest::clearScreen_emptiesOnlyThatScreensTextBoxes()
{
    QFETCH(int, number);
    QFETCH(QString, name);
    testing::ScreenSession session;
    for (const char *screen : {"frmIngred", "frmRecipe", "frmShop"})
        ScreenRegistry::load(QLatin1String(screen));

    Module1::ClearScreen(number);

    for (shell::Screen *screen : ScreenRegistry::loaded()) {
        const bool cleared = screen->objectName() == name;
        QCOMPARE(screen->findChild<QLineEdit *>(QStringLiteral("txtLine"))->text().isEmpty(), cleared);
        QCOMPARE(screen->findChild<QPlainTextEdit *>(QStringLiteral("txtText"))->toPlainText().isEmpty(), cleared);
        // A combo box is not a text box, and only the recipe display's file list is emptied.
        QCOMPARE(screen->findChild<QComboBox *>()->currentText(), QStringLiteral("Soups"));
        QCOMPARE(screen->findChild<QListWidget *>()->count(), cleared && number == 1 ? 0 : 1);
    }
}

void RoutinesTest::clearScreen_ofAScreenNotLoaded_doesNothing()
{
    testing::ScreenSession session;
    Module1::ClearScreen(0);
    Module1::ClearScreen(2);
    QVERIFY(!ScreenRegistry::find(QStringLiteral("frmIngred")));
}

void RoutinesTest::fileSystemDelete_byMode()
{
    testing::AppFolder app;
    app.write(QStringLiteral("Category/Soups.txt"), "x");
    app.makeFolder(QStringLiteral("Category/Soups"));
    app.write(QStringLiteral("Category/Soups/Leek"), "x");

    Module1::FileSystemDelete(app.file(QStringLiteral("Category/Soups.txt")), 2);
    QVERIFY(app.exists(QStringLiteral("Category/Soups.txt")));
    Module1::FileSystemDelete(app.file(QStringLiteral("Category/Soups.txt")), 0);
    QVERIFY(!app.exists(QStringLiteral("Category/Soups.txt")));
    Module1::FileSystemDelete(app.file(QStringLiteral("Category/Soups")), 1);
    QVERIFY(!app.exists(QStringLiteral("Category/Soups")));

    try {
        Module1::FileSystemDelete(app.file(QStringLiteral("Category/Soups")), 1);
        QFAIL("deleting a missing folder must fail");
    } catch (const store::Failure &failure) {
        QCOMPARE(failure.number(), 76);
    }
}

void RoutinesTest::fileSystemDelete_folderWithReadOnlyFile_failsAndKeepsEverything()
{
    testing::AppFolder app;
    app.makeFolder(QStringLiteral("Category/Pies"));
    app.write(QStringLiteral("Category/Pies/Apple"), "x");
    app.write(QStringLiteral("Category/Pies/Cherry"), "x");
    app.setReadOnly(QStringLiteral("Category/Pies/Cherry"));
    try {
        Module1::FileSystemDelete(app.file(QStringLiteral("Category/Pies")), 1);
        QFAIL("a read-only file must stop the delete");
    } catch (const store::Failure &failure) {
        QCOMPARE(failure.number(), 70);
    }
    QCOMPARE(app.entries(QStringLiteral("Category/Pies")), QStringList({"Apple", "Cherry"}));
}

void RoutinesTest::listFolderFiles_endsWithOneEmptyElement()
{
    testing::AppFolder app;
    app.makeFolder(QStringLiteral("Category/Pies/Crusts"));
    app.write(QStringLiteral("Category/Pies/Apple"), "x");
    QStringList names{QStringLiteral("stale")};
    Module1::ListFolderFiles(app.file(QStringLiteral("Category/Pies")), names);
    QCOMPARE(names, QStringList({"Apple", ""}));
}

void RoutinesTest::exit_no_showsTheMainMenuAgain()
{
    testing::ScreenSession session;
    ScreenRegistry::show(QStringLiteral("frmMain"));
    ScreenRegistry::show(QStringLiteral("frmIngred"));
    shell::Screen *menu = ScreenRegistry::find(QStringLiteral("frmMain"));
    bool menuHiddenWhileAsking = false;
    QString prompt;
    int flags = 0;
    QString title;
    shell::setMessageResponder([&](const QString &p, int f, const QString &t) {
        menuHiddenWhileAsking = !menu->isVisible();
        prompt = p;
        flags = f;
        title = t;
        return 7;
    });

    mMain::ExitConfirmation();
    shell::setMessageResponder({});
    QCOMPARE(prompt, QStringLiteral("You have indicated you wish to exit\rthis program. Is this correct?"));
    QCOMPARE(flags, 4132);
    QCOMPARE(title, QStringLiteral("Quit?"));
    QVERIFY(menuHiddenWhileAsking);
    QVERIFY(menu->isVisible());
    QCOMPARE(session.quitCount(), 0);
    QCOMPARE(ScreenRegistry::find(QStringLiteral("frmIngred"))->findChild<QLineEdit *>()->text(),
             QStringLiteral("line"));
}

void RoutinesTest::exit_yes_unloadsEveryScreen()
{
    testing::ScreenSession session;
    testing::MessageScript messages;
    messages.answer(6);
    ScreenRegistry::show(QStringLiteral("frmMain"));
    ScreenRegistry::show(QStringLiteral("frmShop"));
    ScreenRegistry::load(QStringLiteral("frmRecipe"));

    mMain::ExitConfirmation();
    QCOMPARE(session.quitCount(), 1);
    QVERIFY(ScreenRegistry::loaded().isEmpty());
    VERIFY_NO_UNEXPECTED_BOX(messages);
}

void RoutinesTest::categoryPresenceCheck_asksAndShowsTheMainMenu()
{
    testing::ScreenSession session;
    testing::MessageScript messages;
    messages.answer(1);
    mMain::CategoryPresenceCheck();
    QCOMPARE(messages.boxes().size(), 1);
    QCOMPARE(messages.boxes().first().prompt,
             QStringLiteral("Please click on 'Prg. setup' in the Main menu\rand create at least 1 category."));
    QCOMPARE(messages.boxes().first().flags, 4144);
    QCOMPARE(messages.boxes().first().title, QStringLiteral("User error"));
    QVERIFY(ScreenRegistry::find(QStringLiteral("frmMain"))->isVisible());
}

QTEST_MAIN(RoutinesTest)
#include "routines_test.moc"
