#include "screens/setup.h"
#include "shell/appearance.h"
#include "shell/errorpath.h"
#include "shell/messages.h"
#include "tests/support/appfolder.h"
#include "tests/support/messages.h"
#include "tests/support/screens.h"

#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using shell::ScreenRegistry;

namespace {

// What every test needs: its own application folder, scripted boxes, a screen registry, and a temporary
// folder of its own, so that a temporary file left anywhere by the program would show.
struct Session
{
    testing::AppFolder folder;
    testing::MessageScript script;
    testing::ScreenSession screens;
    QTemporaryDir systemTemp;
    QByteArray oldTemp = qgetenv("TMPDIR");

    explicit Session(testing::AppFolder::Layout layout = testing::AppFolder::Installed) : folder(layout)
    {
        qputenv("TMPDIR", systemTemp.path().toLocal8Bit());
        shell::errorHandOver() = {};
    }
    ~Session() { qputenv("TMPDIR", oldTemp); }

    void writeList(const QByteArray &bytes) const { folder.write(QStringLiteral("Category/category.txt"), bytes); }
    QByteArray list() const { return folder.read(QStringLiteral("Category/category.txt")); }
    bool systemTempEmpty() const
    {
        return QDir(systemTemp.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }
};

template <class T>
T *control(QWidget *screen, const char *name)
{
    return screen->findChild<T *>(QLatin1String(name));
}

QStringList items(QWidget *screen)
{
    QStringList texts;
    auto *list = control<QListWidget>(screen, "lswSetup");
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->item(i)->text());
    return texts;
}

QStringList lines(const QByteArray &bytes)
{
    QStringList result = QString::fromUtf8(bytes).split(QStringLiteral("\r\n"));
    result.removeLast();
    return result;
}

bool inDeleteMode(QWidget *screen)
{
    const bool createSide = control<QLabel>(screen, "lblSCreate")->isEnabled() &&
                            control<QLineEdit>(screen, "txtSCreate")->isEnabled() &&
                            control<QPushButton>(screen, "cmdSCreate")->isEnabled() &&
                            control<QPushButton>(screen, "cmdSCCancel")->isEnabled();
    const bool deleteSide = control<QLabel>(screen, "lblSDel")->isEnabled() &&
                            control<QLineEdit>(screen, "txtSDel")->isEnabled() &&
                            control<QPushButton>(screen, "cmdSDel")->isEnabled() &&
                            control<QPushButton>(screen, "cmdSDelCancel")->isEnabled();
    if (createSide == deleteSide)
        qWarning("both sides of the screen are %s", createSide ? "enabled" : "disabled");
    return deleteSide && !createSide;
}

bool inCreateMode(QWidget *screen)
{
    return !inDeleteMode(screen) && control<QLineEdit>(screen, "txtSCreate")->isEnabled();
}

void click(QWidget *screen, const char *button)
{
    QTest::mouseClick(control<QPushButton>(screen, button), Qt::LeftButton);
}

void create(QWidget *screen, const QString &name)
{
    QTest::keyClicks(control<QLineEdit>(screen, "txtSCreate"), name);
    click(screen, "cmdSCreate");
}

// Delete mode through the create side's Cancel, then the name typed.
void typeDelete(QWidget *screen, const QString &name)
{
    click(screen, "cmdSCCancel");
    QTest::keyClicks(control<QLineEdit>(screen, "txtSDel"), name);
    click(screen, "cmdSDel");
}

void clickItem(QWidget *screen, int row)
{
    auto *list = control<QListWidget>(screen, "lswSetup");
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

// Empty when the error report shows `code` with `number` and the setup screen is hidden.
QString reportProblem(QWidget *screen, const QString &code, int number)
{
    const shell::ErrorHandOver &report = shell::errorHandOver();
    if (report.code != code || report.numberText != shell::errorNumberText(number))
        return QStringLiteral("report \"%1%2\"").arg(report.code, report.numberText);
    if (screen->isVisible())
        return QStringLiteral("setup screen still visible");
    const QWidget *error = ScreenRegistry::find(QStringLiteral("frmError"));
    if (!error || !error->isVisible())
        return QStringLiteral("no error report shown");
    return {};
}

#define VERIFY_REPORT(screen, code, number)                                                                            \
    do {                                                                                                               \
        const QString problem = reportProblem(screen, code, number);                                                   \
        QVERIFY2(problem.isEmpty(), qPrintable(problem));                                                              \
    } while (false)

} // namespace

class SetupTest : public QObject
{
    Q_OBJECT

private slots:
    void load_showsEveryLineWholeInFileOrder();
    void load_withoutList_isQuietAndFirstCreateMakesIt();
    void load_withoutCategoryFolder_reportsFL();
    void create_makesFolderAppendsLineAndSorts();
    void create_emptyName_onlyFocusesTheBox();
    void create_existingFolderInOtherCase_isRefused();
    void create_invalidName_reportsCC_data();
    void create_invalidName_reportsCC();
    void delete_removesEqualLinesAndFolder_data();
    void delete_removesEqualLinesAndFolder();
    void delete_missingFolder_reportsCDAfterCount();
    void delete_readOnlyRecipe_reportsCD();
    void delete_emptyName_neverRemovesCategoryFolder();
    void delete_pickedLongLine_isDeletedWhole();
    void modes_followClicksAndCancels();
    void main_hidesAndComesBackAsLeft();
    void hoverHints_followTheMouse();
};

void SetupTest::load_showsEveryLineWholeInFileOrder()
{
    Session s;
    s.writeList("Soups\r\nPies\r\n\r\n  Stews, thick\r\n");
    auto *screen = ScreenRegistry::show<frmSetup>();

    QCOMPARE(items(screen), QStringList({"Soups", "Pies", "", "  Stews, thick"}));
    QVERIFY(screen->isVisible());
    QVERIFY(inCreateMode(screen));
    VERIFY_NO_UNEXPECTED_BOX(s.script);
}

void SetupTest::load_withoutList_isQuietAndFirstCreateMakesIt()
{
    Session s;
    QFile::remove(s.folder.file(QStringLiteral("Category/category.txt")));
    auto *screen = ScreenRegistry::show<frmSetup>();
    QVERIFY(screen->isVisible());
    QVERIFY(items(screen).isEmpty());
    QVERIFY(inCreateMode(screen));

    create(screen, QStringLiteral("Soups"));
    QCOMPARE(s.list(), QByteArray("Soups\r\n"));
    QVERIFY(QFileInfo(s.folder.file(QStringLiteral("Category/Soups"))).isDir());
    QCOMPARE(items(screen), QStringList({"Soups"}));
    QVERIFY(s.script.boxes().isEmpty());
}

void SetupTest::load_withoutCategoryFolder_reportsFL()
{
    Session s(testing::AppFolder::Empty);
    auto *screen = ScreenRegistry::show<frmSetup>();
    VERIFY_REPORT(screen, QStringLiteral("S - FL -"), 76);
    QVERIFY(s.script.boxes().isEmpty());
}

void SetupTest::create_makesFolderAppendsLineAndSorts()
{
    Session s;
    s.writeList("Soups\r\nPies\r\n");
    auto *screen = ScreenRegistry::show<frmSetup>();

    create(screen, QStringLiteral("breads"));
    create(screen, QStringLiteral("Apples"));

    QCOMPARE(s.list(), QByteArray("Soups\r\nPies\r\nbreads\r\nApples\r\n"));
    QCOMPARE(items(screen), QStringList({"Apples", "breads", "Pies", "Soups"}));
    QVERIFY(s.folder.entries(QStringLiteral("Category/breads")).isEmpty());
    QVERIFY(QFileInfo(s.folder.file(QStringLiteral("Category/Apples"))).isDir());
    QVERIFY(control<QLineEdit>(screen, "txtSCreate")->text().isEmpty());
    QCOMPARE(screen->focusWidget(), control<QLineEdit>(screen, "txtSCreate"));
    QVERIFY(inCreateMode(screen));
    QVERIFY(s.script.boxes().isEmpty());
}

void SetupTest::create_emptyName_onlyFocusesTheBox()
{
    Session s;
    s.writeList("Soups\r\n");
    auto *screen = ScreenRegistry::show<frmSetup>();
    control<QPushButton>(screen, "cmdSCreate")->setFocus();

    click(screen, "cmdSCreate");

    QCOMPARE(screen->focusWidget(), control<QLineEdit>(screen, "txtSCreate"));
    QCOMPARE(s.list(), QByteArray("Soups\r\n"));
    QCOMPARE(s.folder.entries(QStringLiteral("Category")), QStringList({"category.txt"}));
    QVERIFY(s.script.boxes().isEmpty());
}

void SetupTest::create_existingFolderInOtherCase_isRefused()
{
    Session s;
    s.writeList("soups\r\n");
    s.folder.makeFolder(QStringLiteral("Category/soups"));
    auto *screen = ScreenRegistry::show<frmSetup>();
    s.script.answer(shell::AnswerOk);

    create(screen, QStringLiteral("SOUPS"));

    QCOMPARE(s.script.boxes().size(), 1);
    const auto &box = s.script.boxes().first();
    QCOMPARE(box.prompt, QStringLiteral("This category already exists! You MUST\r"
                                        "delete it first and then re-enter the category."));
    QCOMPARE(box.flags, 4160);
    QCOMPARE(box.title, QStringLiteral("User error"));
    QVERIFY(control<QLineEdit>(screen, "txtSCreate")->text().isEmpty());
    QCOMPARE(s.list(), QByteArray("soups\r\n"));
    QCOMPARE(s.folder.entries(QStringLiteral("Category")), QStringList({"category.txt", "soups"}));
    QCOMPARE(items(screen), QStringList({"soups"}));
}

void SetupTest::create_invalidName_reportsCC_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("slash") << QStringLiteral("Soups/Stews");
    QTest::newRow("dot dot") << QStringLiteral("..");
    QTest::newRow("question mark") << QStringLiteral("What?");
}

void SetupTest::create_invalidName_reportsCC()
{
    QFETCH(QString, name);
    Session s;
    s.writeList("Soups\r\n");
    auto *screen = ScreenRegistry::show<frmSetup>();

    create(screen, name);

    VERIFY_REPORT(screen, QStringLiteral("S - CC -"), 52);
    QCOMPARE(s.list(), QByteArray("Soups\r\n"));
    QCOMPARE(s.folder.entries(QStringLiteral("Category")), QStringList({"category.txt"}));
    QVERIFY(s.script.boxes().isEmpty());
}

void SetupTest::delete_removesEqualLinesAndFolder_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("count");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("one line, Pies kept") << QByteArray("Pies\r\nPie\r\nSoups\r\n") << "Pie"
                                         << "Pie" << 1 << QByteArray("Pies\r\nSoups\r\n");
    QTest::newRow("two lines") << QByteArray("Pie\r\nSoups\r\nPie\r\n") << "Pie"
                               << "Pie" << 2 << QByteArray("Soups\r\n");
    QTest::newRow("no line, folder still removed") << QByteArray("Soups\r\n") << "Pie"
                                                   << "Pie" << 0 << QByteArray("Soups\r\n");
    // The list compares letter case, the folder lookup does not.
    QTest::newRow("line in other case") << QByteArray("pie\r\nSoups\r\n") << "pie"
                                        << "Pie" << 0 << QByteArray("pie\r\nSoups\r\n");
}

void SetupTest::delete_removesEqualLinesAndFolder()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, folder);
    QFETCH(QString, name);
    QFETCH(int, count);
    QFETCH(QByteArray, after);
    Session s;
    s.writeList(before);
    for (const char *kept : {"Pies", "Soups"})
        s.folder.makeFolder(QStringLiteral("Category/") + QLatin1String(kept));
    s.folder.makeFolder(QStringLiteral("Category/") + folder);
    s.folder.write(QStringLiteral("Category/%1/Apple crumble").arg(folder), "\"1\",\"cup\"\r\n");
    auto *screen = ScreenRegistry::show<frmSetup>();
    s.script.answer(shell::AnswerOk);

    typeDelete(screen, name);

    QCOMPARE(s.script.boxes().size(), 1);
    QCOMPARE(s.script.boxes().first().prompt, QString::number(count) + QStringLiteral(" category is deleted."));
    QCOMPARE(s.script.boxes().first().flags, 0);
    QCOMPARE(s.script.boxes().first().title, QStringLiteral("Larderon"));
    QCOMPARE(s.list(), after);
    QCOMPARE(items(screen), lines(after));
    QCOMPARE(s.folder.entries(QStringLiteral("Category")), QStringList({"Pies", "Soups", "category.txt"}));
    QVERIFY(QFileInfo::exists(s.folder.trashFiles() + QLatin1Char('/') + folder + QStringLiteral("/Apple crumble")));
    QVERIFY(s.systemTempEmpty());
    QVERIFY(screen->isVisible());
    QVERIFY(inDeleteMode(screen));
    QCOMPARE(control<QLineEdit>(screen, "txtSDel")->text(), name);
    QCOMPARE(screen->cursor().shape(), Qt::ArrowCursor);
}

void SetupTest::delete_missingFolder_reportsCDAfterCount()
{
    Session s;
    s.writeList("Pie\r\nSoups\r\n");
    s.folder.makeFolder(QStringLiteral("Category/Soups"));
    auto *screen = ScreenRegistry::show<frmSetup>();
    s.script.answer(shell::AnswerOk);

    clickItem(screen, 0);
    click(screen, "cmdSDel");

    QCOMPARE(s.script.boxes().size(), 1);
    QCOMPARE(s.script.boxes().first().prompt, QStringLiteral("1 category is deleted."));
    VERIFY_REPORT(screen, QStringLiteral("S - CD -"), 76);
    QCOMPARE(s.list(), QByteArray("Soups\r\n"));
    QCOMPARE(s.folder.entries(QStringLiteral("Category")), QStringList({"Soups", "category.txt"}));
    QVERIFY(s.systemTempEmpty());
}

void SetupTest::delete_readOnlyRecipe_reportsCD()
{
    Session s;
    s.writeList("Pie\r\nSoups\r\n");
    s.folder.makeFolder(QStringLiteral("Category/Pie"));
    s.folder.write(QStringLiteral("Category/Pie/Crust"), "\"2\",\"cups\"\r\n");
    s.folder.setReadOnly(QStringLiteral("Category/Pie/Crust"));
    auto *screen = ScreenRegistry::show<frmSetup>();
    s.script.answer(shell::AnswerOk);

    clickItem(screen, 0);
    click(screen, "cmdSDel");

    QCOMPARE(s.script.boxes().size(), 1);
    QCOMPARE(s.script.boxes().first().prompt, QStringLiteral("1 category is deleted."));
    VERIFY_REPORT(screen, QStringLiteral("S - CD -"), 70);
    QCOMPARE(s.list(), QByteArray("Soups\r\n"));
    QCOMPARE(s.folder.entries(QStringLiteral("Category/Pie")), QStringList({"Crust"}));
}

void SetupTest::delete_emptyName_neverRemovesCategoryFolder()
{
    Session s;
    s.writeList("Soups\r\n\r\nPies\r\n");
    s.folder.makeFolder(QStringLiteral("Category/Soups"));
    s.folder.makeFolder(QStringLiteral("Category/Pies"));
    auto *screen = ScreenRegistry::show<frmSetup>();
    s.script.answer(shell::AnswerOk);

    typeDelete(screen, QString());

    // The empty line equals the empty name; the folder of an empty name is refused as a bad name.
    QCOMPARE(s.script.boxes().size(), 1);
    QCOMPARE(s.script.boxes().first().prompt, QStringLiteral("1 category is deleted."));
    VERIFY_REPORT(screen, QStringLiteral("S - CD -"), 52);
    QCOMPARE(s.list(), QByteArray("Soups\r\nPies\r\n"));
    QCOMPARE(s.folder.entries(QStringLiteral("Category")), QStringList({"Pies", "Soups", "category.txt"}));
    QVERIFY(s.folder.entries(QStringLiteral(".")).contains(QStringLiteral("Category")));
    QVERIFY(!QFileInfo::exists(s.folder.trashFiles()) || QDir(s.folder.trashFiles()).isEmpty());
}

void SetupTest::delete_pickedLongLine_isDeletedWhole()
{
    Session s;
    const QString longName(40, QLatin1Char('x'));
    s.writeList(longName.toUtf8() + "\r\nSoups\r\n");
    s.folder.makeFolder(QStringLiteral("Category/") + longName);
    auto *screen = ScreenRegistry::show<frmSetup>();
    s.script.answer(shell::AnswerOk);

    clickItem(screen, 0);
    QCOMPARE(control<QLineEdit>(screen, "txtSDel")->text(), longName);
    click(screen, "cmdSDel");

    QCOMPARE(s.script.boxes().first().prompt, QStringLiteral("1 category is deleted."));
    QCOMPARE(s.list(), QByteArray("Soups\r\n"));
    QCOMPARE(s.folder.entries(QStringLiteral("Category")), QStringList({"category.txt"}));

    // Back on the create side the box takes no more than a typed name again.
    click(screen, "cmdSDelCancel");
    click(screen, "cmdSCCancel");
    QTest::keyClicks(control<QLineEdit>(screen, "txtSDel"), longName);
    QCOMPARE(control<QLineEdit>(screen, "txtSDel")->text().size(), 35);
}

void SetupTest::modes_followClicksAndCancels()
{
    Session s;
    s.writeList("Soups\r\nPies\r\n");
    auto *screen = ScreenRegistry::show<frmSetup>();
    auto *txtSCreate = control<QLineEdit>(screen, "txtSCreate");
    auto *txtSDel = control<QLineEdit>(screen, "txtSDel");
    QVERIFY(inCreateMode(screen));

    QTest::keyClicks(txtSCreate, QStringLiteral("Bre"));
    clickItem(screen, 1);
    QVERIFY(inDeleteMode(screen));
    QCOMPARE(txtSDel->text(), QStringLiteral("Pies"));
    QCOMPARE(txtSCreate->text(), QStringLiteral("Bre"));

    click(screen, "cmdSDelCancel");
    QVERIFY(inCreateMode(screen));
    QVERIFY(txtSDel->text().isEmpty());
    QCOMPARE(txtSCreate->text(), QStringLiteral("Bre"));

    click(screen, "cmdSCCancel");
    QVERIFY(inDeleteMode(screen));
    QVERIFY(txtSCreate->text().isEmpty());

    // Enter on the current item picks it like a click.
    auto *list = control<QListWidget>(screen, "lswSetup");
    click(screen, "cmdSDelCancel");
    list->setCurrentRow(0);
    QTest::keyClick(list, Qt::Key_Return);
    QVERIFY(inDeleteMode(screen));
    QCOMPARE(txtSDel->text(), QStringLiteral("Soups"));
    QVERIFY(s.script.boxes().isEmpty());
}

void SetupTest::main_hidesAndComesBackAsLeft()
{
    Session s;
    s.writeList("Soups\r\nPies\r\n");
    auto *screen = ScreenRegistry::show<frmSetup>();
    create(screen, QStringLiteral("Breads"));
    clickItem(screen, 2);
    QCOMPARE(control<QLineEdit>(screen, "txtSDel")->text(), QStringLiteral("Soups"));

    click(screen, "cmdSMain");
    QVERIFY(!screen->isVisible());
    QVERIFY(ScreenRegistry::find(QStringLiteral("frmMain"))->isVisible());

    // Shown again, the screen is not loaded again: a list changed meanwhile does not show.
    s.writeList("Other\r\n");
    QCOMPARE(ScreenRegistry::show<frmSetup>(), screen);
    QVERIFY(screen->isVisible());
    QCOMPARE(items(screen), QStringList({"Breads", "Pies", "Soups"}));
    QVERIFY(inDeleteMode(screen));
    QCOMPARE(control<QLineEdit>(screen, "txtSDel")->text(), QStringLiteral("Soups"));
    QVERIFY(s.script.boxes().isEmpty());
}

void SetupTest::hoverHints_followTheMouse()
{
    Session s;
    auto *screen = ScreenRegistry::show<frmSetup>();
    QVERIFY(QTest::qWaitForWindowExposed(screen));
    auto *hint1 = control<QLabel>(screen, "lblSMsg1");
    auto *hint2 = control<QLabel>(screen, "lblSMsg2");
    auto *frame = control<QGroupBox>(screen, "fraSCategory");
    const QColor red(255, 0, 0);
    const QColor rest = shell::systemColor(2);
    QCOMPARE(shell::textColor(hint1), rest);
    QCOMPARE(shell::textColor(hint2), rest);

    auto moveOver = [&](const char *name) {
        auto *widget = screen->findChild<QWidget *>(QLatin1String(name));
        QTest::mouseMove(widget, widget->rect().center());
    };
    auto bareFrame = [&] { QTest::mouseMove(frame, QPoint(frame->width() / 2, frame->height() - 5)); };

    moveOver("txtSCreate");
    QCOMPARE(shell::textColor(hint1), red);
    QCOMPARE(shell::textColor(hint2), rest);
    moveOver("lswSetup");
    moveOver("lblSCreate");
    QCOMPARE(shell::textColor(hint1), red);
    bareFrame();
    QCOMPARE(shell::textColor(hint1), rest);

    moveOver("cmdSCreate");
    QCOMPARE(shell::textColor(hint1), red);
    // The decorations are part of the frame for the mouse.
    auto *picture = control<QLabel>(screen, "Picture2");
    QTest::mouseMove(picture, QPoint(picture->width() - 4, picture->height() - 4));
    QCOMPARE(shell::textColor(hint1), rest);

    // A disabled side still explains itself: its hint tells how to reach it.
    moveOver("txtSDel");
    QCOMPARE(shell::textColor(hint2), red);
    bareFrame();

    click(screen, "cmdSCCancel");
    moveOver("cmdSDel");
    QCOMPARE(shell::textColor(hint2), red);
    QCOMPARE(shell::textColor(hint1), rest);
    bareFrame();
    moveOver("txtSDel");
    QCOMPARE(shell::textColor(hint2), red);
    bareFrame();
    QCOMPARE(shell::textColor(hint2), rest);
}

QTEST_MAIN(SetupTest)
#include "setup_test.moc"
