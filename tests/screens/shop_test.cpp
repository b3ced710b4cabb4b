#include "screens/calendar.h"
#include "screens/shop.h"
#include "shell/appearance.h"
#include "shell/errorpath.h"
#include "shell/menubar.h"
#include "tests/support/appfolder.h"
#include "tests/support/messages.h"
#include "tests/support/screens.h"

#include <QCalendarWidget>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QToolButton>

using shell::ScreenRegistry;

namespace {

// One test's application folder, message boxes and screens, and the shopping list screen driven through
// its controls by object name.
struct Fixture
{
    testing::AppFolder folder;
    testing::MessageScript script;
    testing::ScreenSession session;
    frmShop *screen = nullptr;

    static QString inLists(const QString &file) { return QStringLiteral("Shopping List/") + file; }
    void writeList(const QString &file, const QByteArray &bytes) const { folder.write(inLists(file), bytes); }
    QByteArray readList(const QString &file) const { return folder.read(inLists(file)); }
    frmShop *show() { return screen = ScreenRegistry::show<frmShop>(); }

    template <class T = QWidget>
    T *get(const char *name) const
    {
        T *control = screen->findChild<T *>(QLatin1String(name));
        if (!control)
            qFatal("no control %s", name);
        return control;
    }
    QPlainTextEdit *list() const { return get<QPlainTextEdit>("txtHList"); }
    QLineEdit *name() const { return get<QLineEdit>("txtHName"); }
    QListWidget *files() const { return get<QListWidget>("lswHOpen"); }
    void click(const char *control) const { QTest::mouseClick(get(control), Qt::LeftButton); }
    void menu(const char *key) const { get<shell::MenuBar>("SMXPH")->action(QLatin1String(key))->trigger(); }
    // A click on the entry `file`, or beside the entries when `file` is empty.
    void clickFile(const QString &file) const
    {
        const auto found = files()->findItems(file, Qt::MatchExactly);
        const QPoint at = file.isEmpty() ? files()->viewport()->rect().bottomRight() - QPoint(4, 4)
                                         : files()->visualItemRect(found.value(0)).center();
        QTest::mouseClick(files()->viewport(), Qt::LeftButton, {}, at);
    }
    // Types as the user does: each "\n" is the Return key.
    void type(const QString &list, const QString &name = {}) const
    {
        const QStringList lines = list.split(QLatin1Char('\n'));
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0)
                QTest::keyClick(this->list(), Qt::Key_Return);
            QTest::keyClicks(this->list(), lines.at(i));
        }
        QTest::keyClicks(this->name(), name);
    }
    bool nameLocked() const
    {
        const bool locked = !name()->isEnabled();
        if (name()->palette().color(QPalette::Base) != shell::systemColor(locked ? 15 : 5) ||
            get("lblHName")->isEnabled() == locked)
            qFatal("the name box and its label disagree about the name state");
        return locked;
    }
    bool reported() const { return ScreenRegistry::find(QStringLiteral("frmError")) != nullptr; }
    // The error path: the code and number handed over, this screen hidden, the error report shown.
    void verifyError(const QString &code, const QString &number) const
    {
        QCOMPARE(shell::errorHandOver().code, code);
        QCOMPARE(shell::errorHandOver().numberText, number);
        QVERIFY(!screen->isVisible());
        QVERIFY(reported() && ScreenRegistry::find(QStringLiteral("frmError"))->isVisible());
    }
};

} // namespace

class ShopTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { shell::errorHandOver() = {}; }
    void cleanup() { frmShop::setPrintDialog({}); }

    void load_listsEveryFileAndLocksName();
    void typing_opensName_newLocksIt_data();
    void typing_opensName_newLocksIt();
    void save_writesTextAndOneFinalLineBreak();
    void saveTwice_keepsSecondText_saveAfterNew_writesDotTxt();
    void open_showsWholeTextUnchanged();
    void deleteThenClickDeletedEntry_reportsLF();
    void delete_emptyListBox_doesNothing();
    void faults_reportTheirCode_data();
    void faults_reportTheirCode();
    void print_selectedFileToPdf();
    void print_failures_areSilent_data();
    void print_failures_areSilent();
    void hoverHints_data();
    void hoverHints();
    void calendar_hidesOnMarginClick_keepsMonth();
    void main_hidesCalendarAndScreen();
};

void ShopTest::load_listsEveryFileAndLocksName()
{
    Fixture f;
    f.writeList(QStringLiteral("Weekly.txt"), "Milk\r\n");
    f.writeList(QStringLiteral("notes.doc"), "x");
    f.folder.makeFolder(QStringLiteral("Shopping List/Old"));
    f.show();

    QStringList shown;
    for (int i = 0; i < f.files()->count(); ++i)
        shown.append(f.files()->item(i)->text());
    shown.sort();
    QCOMPARE(shown, QStringList({"Weekly.txt", "notes.doc"}));
    QVERIFY(f.nameLocked());
    QCOMPARE(f.screen->focusWidget(), f.list());
    QCOMPARE(f.get<QLabel>("lblHMsg2")->text(),
             QStringLiteral("(2). enter the filename              (3). click the Save button."));
    VERIFY_NO_UNEXPECTED_BOX(f.script);
}

void ShopTest::typing_opensName_newLocksIt_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("opens");
    QTest::newRow("letter") << int(Qt::Key_M) << "m" << true;
    QTest::newRow("Return") << int(Qt::Key_Return) << "\r" << true;
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << "\b" << true;
    QTest::newRow("arrow") << int(Qt::Key_Down) << "" << false;
    QTest::newRow("Tab moves on") << int(Qt::Key_Tab) << "\t" << false;
}

void ShopTest::typing_opensName_newLocksIt()
{
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(bool, opens);
    Fixture f;
    f.show();
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(f.list(), &press);
    QCOMPARE(f.nameLocked(), !opens);
    if (!opens)
        return;
    f.type(QStringLiteral("Tea"), QStringLiteral("Weekly"));
    f.click("cmdHNew");
    QVERIFY(f.nameLocked());
    QCOMPARE(f.list()->toPlainText() + f.name()->text(), QString());
}

void ShopTest::save_writesTextAndOneFinalLineBreak()
{
    Fixture f;
    f.writeList(QStringLiteral("Party.txt"), "Crisps\r\n");
    f.show();
    f.type(QStringLiteral("Milk, 2 pints\n\n\"Free range\" eggs"), QStringLiteral("Weekly"));
    f.click("cmdHSave");

    QCOMPARE(f.readList(QStringLiteral("Weekly.txt")), "Milk, 2 pints\r\n\r\n\"Free range\" eggs\r\n");
    // Nothing on the screen changes: the new list is not listed, the boxes and the name state stay.
    QCOMPARE(f.files()->count(), 1);
    QCOMPARE(f.list()->toPlainText(), QStringLiteral("Milk, 2 pints\n\n\"Free range\" eggs"));
    QCOMPARE(f.name()->text(), QStringLiteral("Weekly"));
    QVERIFY(!f.nameLocked() && f.screen->isVisible());
    VERIFY_NO_UNEXPECTED_BOX(f.script);
}

void ShopTest::saveTwice_keepsSecondText_saveAfterNew_writesDotTxt()
{
    Fixture f;
    f.show();
    f.type(QStringLiteral("Milk"), QStringLiteral("Weekly"));
    f.click("cmdHSave");
    f.list()->selectAll();
    f.type(QStringLiteral("Bread"));
    f.menu("keySave");
    QCOMPARE(f.readList(QStringLiteral("Weekly.txt")), "Bread\r\n");

    f.menu("keyNew");
    f.click("cmdHSave");
    QCOMPARE(f.folder.entries(QStringLiteral("Shopping List")), QStringList({".txt", "Weekly.txt"}));
    QCOMPARE(f.readList(QStringLiteral(".txt")), "\r\n");
    QVERIFY(f.nameLocked());
}

void ShopTest::faults_reportTheirCode_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("number");
    QTest::newRow("load, folder missing") << "folder missing at load"
                                          << ""
                                          << "H - FL -"
                                          << " 76";
    QTest::newRow("save, read-only list") << "read-only"
                                          << "save Weekly"
                                          << "H - CS -"
                                          << " 75";
    QTest::newRow("save, name no file name") << ""
                                             << "save Mon/Tue"
                                             << "H - CS -"
                                             << " 52";
    QTest::newRow("save, folder gone") << "folder gone"
                                       << "save Weekly"
                                       << "H - CS -"
                                       << " 76";
    QTest::newRow("click beside the entries") << ""
                                              << "click"
                                              << "H - LF -"
                                              << " 91";
    QTest::newRow("delete, read-only list") << "read-only"
                                            << "delete Weekly.txt"
                                            << "H - CD -"
                                            << " 70";
    QTest::newRow("delete, nothing selected") << ""
                                              << "delete"
                                              << "H - CD -"
                                              << " 91";
}

void ShopTest::faults_reportTheirCode()
{
    QFETCH(QString, fault);
    QFETCH(QString, command);
    QFETCH(QString, code);
    QFETCH(QString, number);
    Fixture f;
    f.writeList(QStringLiteral("Weekly.txt"), "Milk\r\n");
    QDir lists(f.folder.file(QStringLiteral("Shopping List")));
    if (fault == u"read-only")
        f.folder.setReadOnly(Fixture::inLists(QStringLiteral("Weekly.txt")));
    if (fault == u"folder missing at load")
        QVERIFY(lists.removeRecursively());
    f.show();
    if (fault == u"folder gone")
        QVERIFY(lists.removeRecursively());

    const QString argument = command.section(QLatin1Char(' '), 1);
    if (command.startsWith(u"save")) {
        f.type(QStringLiteral("Bread"), argument);
        f.click("cmdHSave");
    } else if (command == u"click") {
        f.clickFile({});
    } else if (command.startsWith(u"delete")) {
        if (!argument.isEmpty())
            f.clickFile(argument);
        f.type(QStringLiteral("Bread"));
        f.click("cmdHDel");
    }

    f.verifyError(code, number);
    if (fault == u"read-only")
        QCOMPARE(f.readList(QStringLiteral("Weekly.txt")), "Milk\r\n");
}

void ShopTest::open_showsWholeTextUnchanged()
{
    Fixture f;
    f.writeList(QStringLiteral("Weekly.txt"),
                "Milk, 2 pints\r\n\"Free range\" eggs, 12\r\n\r\n  Tea, \"Earl Grey\"\r\n");
    f.show();
    f.type(QStringLiteral("Old list"), QStringLiteral("Kept"));

    f.clickFile(QStringLiteral("Weekly.txt"));

    QCOMPARE(f.list()->toPlainText(),
             QStringLiteral("Milk, 2 pints\n\"Free range\" eggs, 12\n\n  Tea, \"Earl Grey\"\n"));
    QCOMPARE(f.name()->text(), QStringLiteral("Kept"));
    QVERIFY(f.nameLocked());
    QVERIFY(!f.reported());
}

void ShopTest::deleteThenClickDeletedEntry_reportsLF()
{
    Fixture f;
    f.writeList(QStringLiteral("Weekly.txt"), "Milk\r\n");
    // A new account has no data folder for the trash yet; the delete makes it.
    const QString dataHome = f.folder.file(QStringLiteral("home/.local/share"));
    qputenv("XDG_DATA_HOME", dataHome.toLocal8Bit());
    f.show();
    f.clickFile(QStringLiteral("Weekly.txt"));
    f.type(QStringLiteral("Tea"), QStringLiteral("Weekly"));

    f.click("cmdHDel");

    QVERIFY(!f.folder.exists(Fixture::inLists(QStringLiteral("Weekly.txt"))));
    QVERIFY(QFileInfo::exists(dataHome + QStringLiteral("/Trash/files/Weekly.txt")));
    QCOMPARE(f.list()->toPlainText() + f.name()->text(), QString());
    QVERIFY(f.nameLocked());
    QCOMPARE(f.files()->count(), 1);
    QVERIFY(!f.reported());

    f.clickFile(QStringLiteral("Weekly.txt"));
    f.verifyError(QStringLiteral("H - LF -"), QStringLiteral(" 53"));
}

void ShopTest::delete_emptyListBox_doesNothing()
{
    Fixture f;
    f.writeList(QStringLiteral("Weekly.txt"), "Milk\r\n");
    f.show();
    f.clickFile(QStringLiteral("Weekly.txt"));
    f.click("cmdHNew");
    QCOMPARE(f.files()->selectedItems().size(), 1);

    f.menu("keyDelete");

    QCOMPARE(f.readList(QStringLiteral("Weekly.txt")), "Milk\r\n");
    QVERIFY(f.screen->isVisible() && !f.reported());
}

void ShopTest::print_selectedFileToPdf()
{
    Fixture f;
    QByteArray text;
    for (int i = 1; i <= 150; ++i)
        text.append(QStringLiteral("Item %1 bread and jam\r\n").arg(i, 3, 10, QLatin1Char('0')).toLatin1());
    f.writeList(QStringLiteral("Weekly.txt"), text);
    const QString pdf = f.folder.file(QStringLiteral("printed.pdf"));
    frmShop::setPrintDialog([&](QPrinter &printer, QWidget *) {
        printer.setOutputFileName(pdf);
        return true;
    });
    f.show();
    f.clickFile(QStringLiteral("Weekly.txt"));
    f.list()->setPlainText(QStringLiteral("What the box holds is not printed"));

    f.click("cmdHPrint");

    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly) && file.read(5) == "%PDF-");
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        QSKIP("pdftotext is not installed; the printed words are not checked");
    QProcess process;
    process.start(pdftotext, {pdf, QStringLiteral("-")});
    QVERIFY(process.waitForFinished());
    const QString printed = QString::fromUtf8(process.readAllStandardOutput());
    QVERIFY(printed.contains(QStringLiteral("Item 001 bread and jam")) && printed.contains(QStringLiteral("Item 150")));
    QVERIFY(!printed.contains(QStringLiteral("What the box")));
    QVERIFY2(printed.count(QLatin1Char('\f')) >= 2, "150 lines fit on one page");
    VERIFY_NO_UNEXPECTED_BOX(f.script);
}

void ShopTest::print_failures_areSilent_data()
{
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QString>("select");
    QTest::newRow("dialog cancelled") << false << "Weekly.txt";
    QTest::newRow("nothing selected") << true << "";
    QTest::newRow("file gone") << true << "Gone.txt";
}

void ShopTest::print_failures_areSilent()
{
    QFETCH(bool, accept);
    QFETCH(QString, select);
    Fixture f;
    f.writeList(QStringLiteral("Weekly.txt"), "Milk\r\n");
    f.writeList(QStringLiteral("Gone.txt"), "Tea\r\n");
    const QString pdf = f.folder.file(QStringLiteral("printed.pdf"));
    frmShop::setPrintDialog([&](QPrinter &printer, QWidget *) {
        printer.setOutputFileName(pdf);
        return accept;
    });
    f.show();
    if (!select.isEmpty())
        f.clickFile(select);
    QFile::remove(f.folder.file(Fixture::inLists(QStringLiteral("Gone.txt"))));

    f.menu("keyPrint");

    QVERIFY(!QFileInfo::exists(pdf));
    QVERIFY(f.screen->isVisible() && !f.reported());
    QVERIFY(f.script.boxes().isEmpty());
}

void ShopTest::hoverHints_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("hint");
    QTest::newRow("files") << "lswHOpen"
                           << "lblHMsg";
    QTest::newRow("list") << "txtHList"
                          << "lblHMsg1";
    QTest::newRow("locked name box") << "txtHName"
                                     << "lblHMsg2";
    QTest::newRow("name label") << "lblHName"
                                << "lblHMsg2";
    QTest::newRow("calendar icon") << "imgHCal"
                                   << "lblHMsg3";
}

void ShopTest::hoverHints()
{
    QFETCH(QString, control);
    QFETCH(QString, hint);
    Fixture f;
    f.show();
    const QList<QLabel *> hints = {f.get<QLabel>("lblHMsg"), f.get<QLabel>("lblHMsg1"), f.get<QLabel>("lblHMsg2"),
                                   f.get<QLabel>("lblHMsg3")};

    QTest::mouseMove(f.get(qPrintable(control)), QPoint(3, 3));
    for (QLabel *label : hints)
        QCOMPARE(shell::textColor(label), label->objectName() == hint ? QColor(255, 0, 0) : shell::systemColor(2));

    QTest::mouseMove(f.screen, QPoint(3, 300));
    for (QLabel *label : hints)
        QCOMPARE(shell::textColor(label), shell::systemColor(2));
}

void ShopTest::calendar_hidesOnMarginClick_keepsMonth()
{
    Fixture f;
    f.show();
    f.menu("keyCalendar");
    auto *calendar = ScreenRegistry::find<frmCalendar>();
    QVERIFY(calendar && calendar->isVisible() && f.screen->isVisible());
    auto *month = calendar->findChild<QCalendarWidget *>(QStringLiteral("MonthView1"));
    const int shownMonth = month->monthShown();
    QTest::mouseClick(month->findChild<QToolButton *>(QStringLiteral("qt_calendar_nextmonth")), Qt::LeftButton);
    const int nextMonth = month->monthShown();
    QCOMPARE(nextMonth, shownMonth % 12 + 1);

    // Clicks on the calendar's own parts do not hide the window; one on its margin does.
    QTest::mouseClick(month->findChild<QWidget *>(QStringLiteral("qt_calendar_navigationbar")), Qt::LeftButton, {},
                      QPoint(2, 2));
    QVERIFY(calendar->isVisible());
    QTest::mouseClick(calendar, Qt::LeftButton, {}, QPoint(1, 1));
    QVERIFY(!calendar->isVisible());

    f.click("imgHCal");
    QCOMPARE(ScreenRegistry::find<frmCalendar>(), calendar);
    QVERIFY(calendar->isVisible());
    QCOMPARE(month->monthShown(), nextMonth);
}

void ShopTest::main_hidesCalendarAndScreen()
{
    Fixture f;
    f.show();
    f.type(QStringLiteral("Milk"));
    f.click("imgHCal");
    QVERIFY(ScreenRegistry::find<frmCalendar>()->isVisible());

    f.click("cmdHMain");

    QVERIFY(!ScreenRegistry::find<frmCalendar>()->isVisible());
    QVERIFY(!f.screen->isVisible());
    QVERIFY(ScreenRegistry::find(QStringLiteral("frmMain"))->isVisible());
    // Shown again, the screen keeps what it held.
    ScreenRegistry::show<frmShop>();
    QCOMPARE(f.list()->toPlainText(), QStringLiteral("Milk"));
}

QTEST_MAIN(ShopTest)
#include "shop_test.moc"
