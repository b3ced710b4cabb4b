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

#include <algorithm>

using shell::ScreenRegistry;

namespace {

const QString kDuplicate = QStringLiteral("4160 User error: This category already exists! You MUST\r"
                                          "delete it first and then re-enter the category.");

// One test's world: an application folder holding `list` (null: no category.txt) and `folders`, each with
// a recipe in it, scripted boxes, and a temporary folder of its own, where a file left behind would show.
// The setup screen is shown through the registry, so its load runs as in the program.
struct Session
{
    testing::AppFolder folder;
    testing::MessageScript script;
    testing::ScreenSession screens;
    QTemporaryDir systemTemp;
    const QByteArray oldTemp = qgetenv("TMPDIR");
    frmSetup *screen = nullptr;

    explicit Session(const QByteArray &list, const QStringList &folders = {}, bool categoryFolder = true)
        : folder(categoryFolder ? testing::AppFolder::Installed : testing::AppFolder::Empty)
    {
        qputenv("TMPDIR", systemTemp.path().toLocal8Bit());
        shell::errorHandOver() = {};
        if (list.isNull())
            QFile::remove(folder.file(QStringLiteral("Category/category.txt")));
        else if (categoryFolder)
            folder.write(QStringLiteral("Category/category.txt"), list);
        for (const QString &name : folders) {
            folder.makeFolder(QStringLiteral("Category/") + name);
            folder.write(QStringLiteral("Category/%1/Apple crumble").arg(name), "\"1\",\"cup\"\r\n");
        }
        for (int i = 0; i < 3; ++i)
            script.answer(shell::AnswerOk);
        screen = ScreenRegistry::show<frmSetup>();
    }
    ~Session() { qputenv("TMPDIR", oldTemp); }

    template <class T = QWidget>
    T *get(const char *name) const
    {
        return screen->findChild<T *>(QLatin1String(name));
    }
    void click(const char *button) const { QTest::mouseClick(get<QPushButton>(button), Qt::LeftButton); }
    void type(const char *box, const QString &text) const { QTest::keyClicks(get<QLineEdit>(box), text); }
    void clickItem(int row) const
    {
        auto *list = get<QListWidget>("lswSetup");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
    }

    QByteArray list() const { return folder.read(QStringLiteral("Category/category.txt")); }
    QStringList items() const
    {
        QStringList texts;
        for (int i = 0; i < get<QListWidget>("lswSetup")->count(); ++i)
            texts.append(get<QListWidget>("lswSetup")->item(i)->text());
        return texts;
    }
    QStringList boxes() const
    {
        QStringList shown;
        for (const auto &box : script.boxes())
            shown.append(QStringLiteral("%1 %2: %3").arg(box.flags).arg(box.title, box.prompt));
        return shown;
    }
    // "create" or "delete" when exactly one side of the screen is usable.
    QString mode() const
    {
        const auto usable = [this](std::initializer_list<const char *> names) {
            return std::all_of(names.begin(), names.end(), [this](const char *n) { return get(n)->isEnabled(); });
        };
        const bool create = usable({"lblSCreate", "txtSCreate", "cmdSCreate", "cmdSCCancel"});
        const bool del = usable({"lblSDel", "txtSDel", "cmdSDel", "cmdSDelCancel"});
        return create == del ? QStringLiteral("both or none")
               : create      ? QStringLiteral("create")
                             : QStringLiteral("delete");
    }
    // The code and number the error report shows, once the setup screen gave way to it.
    QString report() const
    {
        const QWidget *error = ScreenRegistry::find(QStringLiteral("frmError"));
        if (!error || !error->isVisible() || screen->isVisible())
            return {};
        return shell::errorHandOver().code + shell::errorHandOver().numberText;
    }
    QStringList trashed() const { return QDir(folder.trashFiles()).entryList(QDir::Dirs | QDir::NoDotAndDotDot); }
    bool systemTempEmpty() const
    {
        return QDir(systemTemp.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden);
    }
};

QStringList lines(const QByteArray &bytes)
{
    QStringList result = QString::fromUtf8(bytes).split(QStringLiteral("\r\n"));
    result.removeLast();
    return result;
}

} // namespace

class SetupTest : public QObject
{
    Q_OBJECT

private slots:
    void load_data();
    void load();
    void create_data();
    void create();
    void deleteCategory_data();
    void deleteCategory();
    void modes_followClicksAndCancels();
    void main_hidesAndComesBackAsLeft();
    void hoverHints_followTheMouse();
};

void SetupTest::load_data()
{
    QTest::addColumn<bool>("categoryFolder");
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QString>("report");
    QTest::newRow("every line whole, in file order") << true << QByteArray("Soups\r\nPies\r\n\r\n  Stews, thick\r\n")
                                                     << QStringList{"Soups", "Pies", "", "  Stews, thick"} << "";
    QTest::newRow("no list: quiet and empty") << true << QByteArray() << QStringList() << "";
    QTest::newRow("no Category folder") << false << QByteArray() << QStringList() << "S - FL - 76";
}

void SetupTest::load()
{
    QFETCH(bool, categoryFolder);
    QFETCH(QByteArray, list);
    Session s(list, {}, categoryFolder);
    QTEST(s.report(), "report");
    QTEST(s.items(), "items");
    QCOMPARE(s.boxes(), QStringList());
    QCOMPARE(s.mode(), QStringLiteral("create"));
}

void SetupTest::create_data()
{
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QByteArray>("listAfter");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QString>("report");

    QTest::newRow("appends, sorts the list ignoring case")
        << QByteArray("Soups\r\nPies\r\n") << QStringList{"Pies", "Soups"} << QStringList{"breads", "Apples"}
        << QByteArray("Soups\r\nPies\r\nbreads\r\nApples\r\n") << QStringList{"Apples", "breads", "Pies", "Soups"}
        << QStringList() << "";
    QTest::newRow("first create makes the list")
        << QByteArray() << QStringList() << QStringList{"Soups"} << QByteArray("Soups\r\n") << QStringList{"Soups"}
        << QStringList() << "";
    QTest::newRow("empty name") << QByteArray("Soups\r\n") << QStringList{"Soups"} << QStringList{""}
                                << QByteArray("Soups\r\n") << QStringList{"Soups"} << QStringList() << "";
    QTest::newRow("folder in other case")
        << QByteArray("soups\r\n") << QStringList{"soups"} << QStringList{"SOUPS"} << QByteArray("soups\r\n")
        << QStringList{"soups"} << QStringList{kDuplicate} << "";
    QTest::newRow("invalid name") << QByteArray("Soups\r\n") << QStringList{"Soups"} << QStringList{"Soups/Stews"}
                                  << QByteArray("Soups\r\n") << QStringList{"Soups"} << QStringList() << "S - CC - 52";
}

void SetupTest::create()
{
    QFETCH(QByteArray, list);
    QFETCH(QStringList, folders);
    QFETCH(QStringList, names);
    QFETCH(QString, report);
    Session s(list, folders);

    for (const QString &name : names) {
        s.type("txtSCreate", name);
        s.click("cmdSCreate");
        if (report.isEmpty())
            QCOMPARE(s.screen->focusWidget(), s.get("txtSCreate"));
    }

    QCOMPARE(s.report(), report);
    QTEST(s.boxes(), "boxes");
    QTEST(s.list(), "listAfter");
    QTEST(s.items(), "items");
    QStringList foldersAfter = lines(s.list()) << QStringLiteral("category.txt");
    foldersAfter.sort();
    QCOMPARE(s.folder.entries(QStringLiteral("Category")), foldersAfter);
    for (const QString &name : names) {
        if (!folders.contains(name, Qt::CaseInsensitive) && lines(s.list()).contains(name))
            QVERIFY(s.folder.entries(QStringLiteral("Category/") + name).isEmpty());
    }
    if (report.isEmpty()) {
        QVERIFY(s.get<QLineEdit>("txtSCreate")->text().isEmpty());
        QCOMPARE(s.mode(), QStringLiteral("create"));
    }
}

void SetupTest::deleteCategory_data()
{
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QString>("readOnly");
    QTest::addColumn<int>("pick");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("count");
    QTest::addColumn<QByteArray>("listAfter");
    QTest::addColumn<QStringList>("trashed");
    QTest::addColumn<QString>("report");

    const QString longName(40, QLatin1Char('x'));
    // pick: the row clicked, or -1 to reach delete mode through Cancel and type the name; count -1: no message.
    QTest::newRow("one line, Pies kept") << QByteArray("Pies\r\nPie\r\nSoups\r\n")
                                         << QStringList{"Pie", "Pies", "Soups"} << "" << 1 << "Pie" << 1
                                         << QByteArray("Pies\r\nSoups\r\n") << QStringList{"Pie"} << "";
    QTest::newRow("two lines") << QByteArray("Pie\r\nSoups\r\nPie\r\n") << QStringList{"Pie", "Soups"} << "" << -1
                               << "Pie" << 2 << QByteArray("Soups\r\n") << QStringList{"Pie"} << "";
    QTest::newRow("no line, folder still removed") << QByteArray("Soups\r\n") << QStringList{"Pie", "Soups"} << "" << -1
                                                   << "Pie" << 0 << QByteArray("Soups\r\n") << QStringList{"Pie"} << "";
    QTest::newRow("line in other case stays, folder goes")
        << QByteArray("pie\r\nSoups\r\n") << QStringList{"pie", "Soups"} << "" << -1 << "Pie" << 0
        << QByteArray("pie\r\nSoups\r\n") << QStringList{"pie"} << "";
    QTest::newRow("hand-made line longer than a typed name")
        << (longName.toUtf8() + "\r\nSoups\r\n") << QStringList{longName, "Soups"} << "" << 0 << longName << 1
        << QByteArray("Soups\r\n") << QStringList{longName} << "";
    QTest::newRow("missing folder") << QByteArray("Pie\r\nSoups\r\n") << QStringList{"Soups"} << "" << 0 << "Pie" << 1
                                    << QByteArray("Soups\r\n") << QStringList() << "S - CD - 76";
    QTest::newRow("read-only recipe") << QByteArray("Pie\r\nSoups\r\n") << QStringList{"Pie", "Soups"}
                                      << "Category/Pie/Apple crumble" << 0 << "Pie" << 1 << QByteArray("Soups\r\n")
                                      << QStringList() << "S - CD - 70";
    QTest::newRow("read-only list") << QByteArray("Pie\r\nSoups\r\n") << QStringList{"Pie", "Soups"}
                                    << "Category/category.txt" << 0 << "Pie" << -1 << QByteArray("Pie\r\nSoups\r\n")
                                    << QStringList() << "S - CD - 75";
    // The empty line equals the empty name; the Category folder itself is never the folder of a name.
    QTest::newRow("empty name") << QByteArray("Soups\r\n\r\nPies\r\n") << QStringList{"Pies", "Soups"} << "" << -1 << ""
                                << 1 << QByteArray("Soups\r\nPies\r\n") << QStringList() << "S - CD - 52";
}

void SetupTest::deleteCategory()
{
    QFETCH(QByteArray, list);
    QFETCH(QStringList, folders);
    QFETCH(QString, readOnly);
    QFETCH(int, pick);
    QFETCH(QString, name);
    QFETCH(int, count);
    QFETCH(QStringList, trashed);
    QFETCH(QString, report);
    Session s(list, folders);
    if (!readOnly.isEmpty())
        s.folder.setReadOnly(readOnly);

    if (pick >= 0) {
        s.clickItem(pick);
    } else {
        s.click("cmdSCCancel");
        s.type("txtSDel", name);
    }
    QCOMPARE(s.get<QLineEdit>("txtSDel")->text(), name);
    s.click("cmdSDel");

    const QString box = QStringLiteral("0 Larderon: %1 category is deleted.").arg(count);
    QCOMPARE(s.boxes(), count < 0 ? QStringList() : QStringList{box});
    QCOMPARE(s.report(), report);
    QTEST(s.list(), "listAfter");
    QCOMPARE(s.trashed(), trashed);
    for (const QString &kept : folders) {
        if (!trashed.contains(kept))
            QVERIFY2(s.folder.exists(QStringLiteral("Category/%1/Apple crumble").arg(kept)), qPrintable(kept));
    }
    QVERIFY(s.systemTempEmpty());
    QCOMPARE(s.screen->cursor().shape(), Qt::ArrowCursor);
    if (report.isEmpty()) {
        QCOMPARE(s.items(), lines(s.list()));
        QCOMPARE(s.mode(), QStringLiteral("delete"));
        QCOMPARE(s.get<QLineEdit>("txtSDel")->text(), name);
    }
}

void SetupTest::modes_followClicksAndCancels()
{
    Session s("Soups\r\nPies\r\n");
    auto *txtSCreate = s.get<QLineEdit>("txtSCreate");
    auto *txtSDel = s.get<QLineEdit>("txtSDel");

    s.type("txtSCreate", QStringLiteral("Bre"));
    s.clickItem(1);
    QCOMPARE(s.mode(), QStringLiteral("delete"));
    QCOMPARE(txtSDel->text(), QStringLiteral("Pies"));
    QCOMPARE(txtSCreate->text(), QStringLiteral("Bre"));

    s.click("cmdSDelCancel");
    QCOMPARE(s.mode(), QStringLiteral("create"));
    QCOMPARE(txtSDel->text(), QString());
    QCOMPARE(txtSCreate->text(), QStringLiteral("Bre"));

    s.click("cmdSCCancel");
    QCOMPARE(s.mode(), QStringLiteral("delete"));
    QCOMPARE(txtSCreate->text(), QString());

    // From the keyboard, Enter on the current item picks it as a click does.
    s.click("cmdSDelCancel");
    s.get<QListWidget>("lswSetup")->setCurrentRow(0);
    QTest::keyClick(s.get("lswSetup"), Qt::Key_Return);
    QCOMPARE(s.mode(), QStringLiteral("delete"));
    QCOMPARE(txtSDel->text(), QStringLiteral("Soups"));
    QCOMPARE(s.boxes(), QStringList());
}

void SetupTest::main_hidesAndComesBackAsLeft()
{
    Session s("Soups\r\nPies\r\n");
    s.type("txtSCreate", QStringLiteral("Breads"));
    s.click("cmdSCreate");
    s.clickItem(2);

    s.click("cmdSMain");
    QVERIFY(!s.screen->isVisible());
    QVERIFY(ScreenRegistry::find(QStringLiteral("frmMain"))->isVisible());

    // Shown again, the screen is not loaded again: a list changed meanwhile does not show.
    s.folder.write(QStringLiteral("Category/category.txt"), "Other\r\n");
    QCOMPARE(ScreenRegistry::show<frmSetup>(), s.screen);
    QVERIFY(s.screen->isVisible());
    QCOMPARE(s.items(), QStringList({"Breads", "Pies", "Soups"}));
    QCOMPARE(s.mode(), QStringLiteral("delete"));
    QCOMPARE(s.get<QLineEdit>("txtSDel")->text(), QStringLiteral("Soups"));
    QCOMPARE(s.boxes(), QStringList());
}

void SetupTest::hoverHints_followTheMouse()
{
    Session s("Soups\r\n");
    QVERIFY(QTest::qWaitForWindowExposed(s.screen));
    const auto hints = [&s] {
        const auto look = [](const QWidget *hint) {
            return shell::textColor(hint) == QColor(255, 0, 0)       ? 'R'
                   : shell::textColor(hint) == shell::systemColor(2) ? 'n'
                                                                     : '?';
        };
        const char shown[] = {look(s.get("lblSMsg1")), look(s.get("lblSMsg2")), '\0'};
        return QString::fromLatin1(shown);
    };
    const auto over = [&](const char *name, QPoint at = {}) {
        QWidget *widget = s.get(name);
        QTest::mouseMove(widget, at.isNull() ? widget->rect().center() : at);
        return hints();
    };
    const auto bareFrame = [&] {
        return over("fraSCategory", {s.get("fraSCategory")->width() / 2, s.get("fraSCategory")->height() - 5});
    };
    const QPoint pictureCorner(s.get("Picture1")->width() - 4, s.get("Picture1")->height() - 4);

    QCOMPARE(hints(), QStringLiteral("nn"));
    QCOMPARE(over("txtSCreate"), QStringLiteral("Rn"));
    // Other controls leave the hints as they are; the bare frame and its decorations put them back.
    QCOMPARE(over("lswSetup"), QStringLiteral("Rn"));
    QCOMPARE(over("lblSCreate"), QStringLiteral("Rn"));
    QCOMPARE(bareFrame(), QStringLiteral("nn"));
    QCOMPARE(over("cmdSCreate"), QStringLiteral("Rn"));
    QCOMPARE(over("Picture1", pictureCorner), QStringLiteral("nn"));
    // The disabled side still explains how to reach it.
    QCOMPARE(over("txtSDel"), QStringLiteral("nR"));
    QCOMPARE(over("Shape1", {2, 2}), QStringLiteral("nn"));
    s.click("cmdSCCancel");
    QCOMPARE(over("cmdSDel"), QStringLiteral("nR"));
    QCOMPARE(bareFrame(), QStringLiteral("nn"));
}

QTEST_MAIN(SetupTest)
#include "setup_test.moc"
