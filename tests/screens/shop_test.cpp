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
#include <QEnterEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QToolButton>

using shell::ScreenRegistry;

namespace {

// The shopping list screen as a test drives it, found by object name as a user finds it by caption.
struct Shop
{
    frmShop *screen = ScreenRegistry::show<frmShop>();

    template <class T>
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
    QStringList fileNames() const
    {
        QStringList names;
        for (int i = 0; i < files()->count(); ++i)
            names.append(files()->item(i)->text());
        names.sort();
        return names;
    }
    void click(const char *button) const { QTest::mouseClick(get<QPushButton>(button), Qt::LeftButton); }
    void menu(const char *key) const { get<shell::MenuBar>("SMXPH")->action(QLatin1String(key))->trigger(); }
    void clickFile(const QString &text) const
    {
        const auto found = files()->findItems(text, Qt::MatchExactly);
        if (found.isEmpty())
            qFatal("no list entry %s", qPrintable(text));
        QTest::mouseClick(files()->viewport(), Qt::LeftButton, {}, files()->visualItemRect(found.first()).center());
    }
    void clickBesideFiles() const
    {
        QTest::mouseClick(files()->viewport(), Qt::LeftButton, {}, files()->viewport()->rect().bottomRight() - QPoint(4, 4));
    }
    // Types a list as the user does; Return starts a new line.
    void typeList(const QStringList &lines) const
    {
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0)
                QTest::keyClick(list(), Qt::Key_Return);
            QTest::keyClicks(list(), lines.at(i));
        }
    }
    bool nameLocked() const
    {
        const bool locked = !name()->isEnabled();
        const QColor expected = shell::systemColor(locked ? 15 : 5);
        if (name()->palette().color(QPalette::Base) != expected || get<QLabel>("lblHName")->isEnabled() == locked)
            qFatal("the name box and its label disagree about the name state");
        return locked;
    }
};

// The error path: the code and number handed over, this screen hidden, the error report shown.
void verifyError(const QString &code, const QString &number)
{
    QCOMPARE(shell::errorHandOver().code, code);
    QCOMPARE(shell::errorHandOver().numberText, number);
    QVERIFY(!ScreenRegistry::find(QStringLiteral("frmShop"))->isVisible());
    const shell::Screen *report = ScreenRegistry::find(QStringLiteral("frmError"));
    QVERIFY(report && report->isVisible());
}

bool reported()
{
    return ScreenRegistry::find(QStringLiteral("frmError")) != nullptr;
}

} // namespace

class ShopTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void load_listsEveryFileAndLocksName();
    void load_missingFolder_reportsFL();
    void typing_opensName_newLocksIt_data();
    void typing_opensName_newLocksIt();
    void save_writesTextAndOneFinalLineBreak();
    void saveTwice_keepsSecondText();
    void saveAfterNew_writesDotTxt();
    void save_failures_reportCS_data();
    void save_failures_reportCS();
    void open_showsWholeTextUnchanged();
    void click_withoutSelection_reportsLF();
    void deleteThenClickDeletedEntry_reportsLF();
    void delete_emptyListBox_doesNothing();
    void delete_failures_reportCD_data();
    void delete_failures_reportCD();
    void print_selectedFileToPdf();
    void print_failures_areSilent_data();
    void print_failures_areSilent();
    void hoverHints_data();
    void hoverHints();
    void calendar_hidesOnMarginClick_keepsMonth();
    void main_hidesCalendarAndScreen();
};

void ShopTest::init()
{
    shell::errorHandOver() = {};
}

void ShopTest::cleanup()
{
    frmShop::setPrintDialog({});
}

void ShopTest::load_listsEveryFileAndLocksName()
{
    testing::AppFolder folder;
    testing::MessageScript script;
    testing::ScreenSession session;
    folder.write(QStringLiteral("Shopping List/Weekly.txt"), "Milk\r\n");
    folder.write(QStringLiteral("Shopping List/Party.txt"), "Crisps\r\n");
    folder.write(QStringLiteral("Shopping List/notes.doc"), "x");
    folder.makeFolder(QStringLiteral("Shopping List/Old"));

    Shop shop;
    QVERIFY(shop.screen->isVisible());
    QCOMPARE(shop.fileNames(), QStringList({"Party.txt", "Weekly.txt", "notes.doc"}));
    QVERIFY(shop.nameLocked());
    QCOMPARE(shop.get<QLabel>("lblHMsg2")->text(),
             QStringLiteral("(2). enter the filename              (3). click the Save button."));
    QCOMPARE(shop.screen->size(), QSize(674, 371));
    VERIFY_NO_UNEXPECTED_BOX(script);
}

void ShopTest::load_missingFolder_reportsFL()
{
    testing::AppFolder folder;
    testing::MessageScript script;
    testing::ScreenSession session;
    QVERIFY(QDir(folder.file(QStringLiteral("Shopping List"))).removeRecursively());

    ScreenRegistry::show<frmShop>();
    verifyError(QStringLiteral("H - FL -"), QStringLiteral(" 76"));
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
    testing::AppFolder folder;
    testing::MessageScript script;
    testing::ScreenSession session;
    Shop shop;

    shop.list()->setPlainText(QStringLiteral("Tea"));
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(shop.list(), &press);
    QCOMPARE(shop.nameLocked(), !opens);
    if (!opens)
        return;
    QTest::keyClicks(shop.name(), QStringLiteral("Weekly"));
    shop.click("cmdHNew");
    QVERIFY(shop.nameLocked());
    QCOMPARE(shop.list()->toPlainText(), QString());
    QCOMPARE(shop.name()->text(), QString());
}

void ShopTest::save_writesTextAndOneFinalLineBreak()
{
    testing::AppFolder folder;
    testing::MessageScript script;
    testing::ScreenSession session;
    folder.write(QStringLiteral("Shopping List/Party.txt"), "Crisps\r\n");
    Shop shop;

    shop.typeList({"Milk, 2 pints", "", "\"Free range\" eggs"});
    QVERIFY(!shop.nameLocked());
    QTest::keyClicks(shop.name(), QStringLiteral("Weekly"));
    shop.click("cmdHSave");

    QCOMPARE(folder.read(QStringLiteral("Shopping List/Weekly.txt")), "Milk, 2 pints\r\n\r\n\"Free range\" eggs\r\n");
    // Nothing on the screen changes: the new list is not listed, the boxes and the name state stay.
    QCOMPARE(shop.fileNames(), QStringList({"Party.txt"}));
    QCOMPARE(shop.list()->toPlainText(), QStringLiteral("Milk, 2 pints\n\n\"Free range\" eggs"));
    QCOMPARE(shop.name()->text(), QStringLiteral("Weekly"));
    QVERIFY(!shop.nameLocked());
    QVERIFY(shop.screen->isVisible());
    VERIFY_NO_UNEXPECTED_BOX(script);
}

void ShopTest::saveTwice_keepsSecondText()
{
    testing::AppFolder folder;
    testing::MessageScript script;
    testing::ScreenSession session;
    Shop shop;

    shop.typeList({"Milk"});
    QTest::keyClicks(shop.name(), QStringLiteral("Weekly"));
    shop.click("cmdHSave");
    shop.list()->selectAll();
    shop.typeList({"Bread"});
    shop.menu("keySave");

    QCOMPARE(folder.entries(QStringLiteral("Shopping List")), QStringList({"Weekly.txt"}));
    QCOMPARE(folder.read(QStringLiteral("Shopping List/Weekly.txt")), "Bread\r\n");
    VERIFY_NO_UNEXPECTED_BOX(script);
}

void ShopTest::saveAfterNew_writesDotTxt()
{
    testing::AppFolder folder;
    testing::MessageScript script;
    testing::ScreenSession session;
    Shop shop;

    shop.typeList({"Milk"});
    QTest::keyClicks(shop.name(), QStringLiteral("Weekly"));
    shop.menu("keyNew");
    shop.click("cmdHSave");

    QCOMPARE(folder.entries(QStringLiteral("Shopping List")), QStringList({".txt"}));
    QCOMPARE(folder.read(QStringLiteral("Shopping List/.txt")), "\r\n");
    QVERIFY(shop.nameLocked());
}

void ShopTest::save_failures_reportCS_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("number");
    QTest::newRow("read-only list") << "Weekly" << " 75";
    QTest::newRow("name that is no file name") << "Mon/Tue" << " 52";
    QTest::newRow("folder gone") << "Party" << " 76";
}

void ShopTest::save_failures_reportCS()
{
    QFETCH(QString, name);
    QFETCH(QString, number);
    testing::AppFolder folder;
    testing::MessageScript script;
    testing::ScreenSession session;
    folder.write(QStringLiteral("Shopping List/Weekly.txt"), "Milk\r\n");
    folder.setReadOnly(QStringLiteral("Shopping List/Weekly.txt"));
    Shop shop;
    if (number == u" 76")
        QVERIFY(QDir(folder.file(QStringLiteral("Shopping List"))).removeRecursively());

    shop.typeList({"Bread"});
    QTest::keyClicks(shop.name(), name);
    shop.click("cmdHSave");

    verifyError(QStringLiteral("H - CS -"), number);
    if (number == u" 75")
        QCOMPARE(folder.read(QStringLiteral("Shopping List/Weekly.txt")), "Milk\r\n");
}

void ShopTest::open_showsWholeTextUnchanged()
{
    testing::AppFolder folder;
    testing::MessageScript script;
    testing::ScreenSession session;
    folder.write(QStringLiteral("Shopping List/Weekly.txt"),
                 "Milk, 2 pints\r\n\"Free range\" eggs, 12\r\n\r\n  Tea, \"Earl Grey\"\r\n");
    Shop shop;
    shop.typeList({"Old list"});
    QTest::keyClicks(shop.name(), QStringLiteral("Kept"));

    shop.clickFile(QStringLiteral("Weekly.txt"));

    QCOMPARE(shop.list()->toPlainText(), QStringLiteral("Milk, 2 pints\n\"Free range\" eggs, 12\n\n  Tea, \"Earl Grey\"\n"));
    QCOMPARE(shop.name()->text(), QStringLiteral("Kept"));
    QVERIFY(shop.nameLocked());
    QVERIFY(!reported());
}

void ShopTest::click_withoutSelection_reportsLF()
{
    testing::AppFolder folder;
    testing::MessageScript script;
    testing::ScreenSession session;
    folder.write(QStringLiteral("Shopping List/Weekly.txt"), "Milk\r\n");
    Shop shop;

    shop.clickBesideFiles();

    verifyError(QStringLiteral("H - LF -"), QStringLiteral(" 91"));
}

void ShopTest::deleteThenClickDeletedEntry_reportsLF()
{
    testing::AppFolder folder;
    testing::MessageScript script;
    testing::ScreenSession session;
    folder.write(QStringLiteral("Shopping List/Weekly.txt"), "Milk\r\n");
    // A new account has no data folder for the trash yet; the delete makes it.
    const QString dataHome = folder.file(QStringLiteral("home/.local/share"));
    qputenv("XDG_DATA_HOME", dataHome.toLocal8Bit());
    Shop shop;
    shop.clickFile(QStringLiteral("Weekly.txt"));
    QTest::keyClicks(shop.list(), QStringLiteral("Tea"));
    QTest::keyClicks(shop.name(), QStringLiteral("Weekly"));

    shop.click("cmdHDel");

    QVERIFY(!folder.exists(QStringLiteral("Shopping List/Weekly.txt")));
    QVERIFY(QFileInfo::exists(dataHome + QStringLiteral("/Trash/files/Weekly.txt")));
    QCOMPARE(shop.list()->toPlainText(), QString());
    QCOMPARE(shop.name()->text(), QString());
    QVERIFY(shop.nameLocked());
    QCOMPARE(shop.fileNames(), QStringList({"Weekly.txt"}));
    QVERIFY(!reported());

    shop.clickFile(QStringLiteral("Weekly.txt"));
    verifyError(QStringLiteral("H - LF -"), QStringLiteral(" 53"));
}

void ShopTest::delete_emptyListBox_doesNothing()
{
    testing::AppFolder folder;
    testing::MessageScript script;
    testing::ScreenSession session;
    folder.write(QStringLiteral("Shopping List/Weekly.txt"), "Milk\r\n");
    Shop shop;
    shop.clickFile(QStringLiteral("Weekly.txt"));
    shop.click("cmdHNew");
    QCOMPARE(shop.files()->selectedItems().size(), 1);

    shop.menu("keyDelete");

    QCOMPARE(folder.read(QStringLiteral("Shopping List/Weekly.txt")), "Milk\r\n");
    QVERIFY(shop.screen->isVisible());
    QVERIFY(!reported());
}

void ShopTest::delete_failures_reportCD_data()
{
    QTest::addColumn<bool>("select");
    QTest::addColumn<QString>("number");
    QTest::newRow("read-only list") << true << " 70";
    QTest::newRow("nothing selected") << false << " 91";
}

void ShopTest::delete_failures_reportCD()
{
    QFETCH(bool, select);
    QFETCH(QString, number);
    testing::AppFolder folder;
    testing::MessageScript script;
    testing::ScreenSession session;
    folder.write(QStringLiteral("Shopping List/Weekly.txt"), "Milk\r\n");
    folder.setReadOnly(QStringLiteral("Shopping List/Weekly.txt"));
    Shop shop;
    if (select)
        shop.clickFile(QStringLiteral("Weekly.txt"));
    else
        shop.typeList({"Milk"});

    shop.click("cmdHDel");

    verifyError(QStringLiteral("H - CD -"), number);
    QCOMPARE(folder.read(QStringLiteral("Shopping List/Weekly.txt")), "Milk\r\n");
}

void ShopTest::print_selectedFileToPdf()
{
    testing::AppFolder folder;
    testing::MessageScript script;
    testing::ScreenSession session;
    QByteArray text;
    for (int i = 1; i <= 150; ++i)
        text.append(QStringLiteral("Item %1 bread and jam\r\n").arg(i, 3, 10, QLatin1Char('0')).toLatin1());
    folder.write(QStringLiteral("Shopping List/Weekly.txt"), text);
    const QString pdf = folder.file(QStringLiteral("printed.pdf"));
    int dialogs = 0;
    frmShop::setPrintDialog([&](QPrinter &printer, QWidget *) {
        ++dialogs;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    Shop shop;
    shop.clickFile(QStringLiteral("Weekly.txt"));
    shop.list()->setPlainText(QStringLiteral("What the box holds is not printed"));

    shop.click("cmdHPrint");

    QCOMPARE(dialogs, 1);
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.read(5) == "%PDF-");
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        QSKIP("pdftotext is not installed; the printed words are not checked");
    QProcess process;
    process.start(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(process.waitForFinished());
    const QString printed = QString::fromUtf8(process.readAllStandardOutput());
    QVERIFY(printed.contains(QStringLiteral("Item 001 bread and jam")));
    QVERIFY(printed.contains(QStringLiteral("Item 150 bread and jam")));
    QVERIFY(!printed.contains(QStringLiteral("What the box")));
    QVERIFY2(printed.count(QLatin1Char('\f')) >= 2, "150 lines fit on one page");
    VERIFY_NO_UNEXPECTED_BOX(script);
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
    testing::AppFolder folder;
    testing::MessageScript script;
    testing::ScreenSession session;
    folder.write(QStringLiteral("Shopping List/Weekly.txt"), "Milk\r\n");
    folder.write(QStringLiteral("Shopping List/Gone.txt"), "Tea\r\n");
    const QString pdf = folder.file(QStringLiteral("printed.pdf"));
    frmShop::setPrintDialog([&](QPrinter &printer, QWidget *) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return accept;
    });
    Shop shop;
    if (!select.isEmpty())
        shop.clickFile(select);
    QFile::remove(folder.file(QStringLiteral("Shopping List/Gone.txt")));

    shop.menu("keyPrint");

    QVERIFY(!QFileInfo::exists(pdf));
    QVERIFY(shop.screen->isVisible());
    QVERIFY(!reported());
    QVERIFY(script.boxes().isEmpty());
}

void ShopTest::hoverHints_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("hint");
    QTest::newRow("files") << "lswHOpen" << "lblHMsg";
    QTest::newRow("list") << "txtHList" << "lblHMsg1";
    QTest::newRow("locked name box") << "txtHName" << "lblHMsg2";
    QTest::newRow("name label") << "lblHName" << "lblHMsg2";
    QTest::newRow("calendar icon") << "imgHCal" << "lblHMsg3";
}

void ShopTest::hoverHints()
{
    QFETCH(QString, control);
    QFETCH(QString, hint);
    testing::AppFolder folder;
    testing::MessageScript script;
    testing::ScreenSession session;
    Shop shop;
    const QList<QLabel *> hints = {shop.get<QLabel>("lblHMsg"), shop.get<QLabel>("lblHMsg1"),
                                   shop.get<QLabel>("lblHMsg2"), shop.get<QLabel>("lblHMsg3")};
    const auto hover = [](QWidget *widget) { QTest::mouseMove(widget, QPoint(3, 3)); };

    hover(shop.screen->findChild<QWidget *>(control));
    for (QLabel *label : hints)
        QCOMPARE(shell::textColor(label), label->objectName() == hint ? QColor(255, 0, 0) : shell::systemColor(2));

    hover(shop.screen);
    for (QLabel *label : hints)
        QCOMPARE(shell::textColor(label), shell::systemColor(2));
}

void ShopTest::calendar_hidesOnMarginClick_keepsMonth()
{
    testing::AppFolder folder;
    testing::MessageScript script;
    testing::ScreenSession session;
    Shop shop;

    shop.menu("keyCalendar");
    auto *calendar = ScreenRegistry::find<frmCalendar>();
    QVERIFY(calendar && calendar->isVisible());
    QCOMPARE(calendar->windowTitle(), QStringLiteral("Calendar"));
    QVERIFY(shop.screen->isVisible());
    auto *month = calendar->findChild<QCalendarWidget *>(QStringLiteral("MonthView1"));
    const int shownMonth = month->monthShown();
    QTest::mouseClick(month->findChild<QToolButton *>(QStringLiteral("qt_calendar_nextmonth")), Qt::LeftButton);
    const int nextMonth = month->monthShown();
    QCOMPARE(nextMonth, shownMonth % 12 + 1);

    // The calendar's own parts do not hide the window; its margin does.
    QTest::mouseClick(month->findChild<QWidget *>(QStringLiteral("qt_calendar_navigationbar")), Qt::LeftButton, {},
                      QPoint(2, 2));
    QVERIFY(calendar->isVisible());
    QTest::mouseClick(calendar, Qt::LeftButton, {}, QPoint(1, 1));
    QVERIFY(!calendar->isVisible());

    QTest::mouseClick(shop.get<QLabel>("imgHCal"), Qt::LeftButton);
    QCOMPARE(ScreenRegistry::find<frmCalendar>(), calendar);
    QVERIFY(calendar->isVisible());
    QCOMPARE(month->monthShown(), nextMonth);
}

void ShopTest::main_hidesCalendarAndScreen()
{
    testing::AppFolder folder;
    testing::MessageScript script;
    testing::ScreenSession session;
    Shop shop;
    shop.typeList({"Milk"});
    QTest::mouseClick(shop.get<QLabel>("imgHCal"), Qt::LeftButton);
    QVERIFY(ScreenRegistry::find<frmCalendar>()->isVisible());

    shop.click("cmdHMain");

    QVERIFY(!ScreenRegistry::find<frmCalendar>()->isVisible());
    QVERIFY(!shop.screen->isVisible());
    QVERIFY(ScreenRegistry::find(QStringLiteral("frmMain"))->isVisible());
    // Shown again, the screen keeps what it held and does not load again.
    ScreenRegistry::show<frmShop>();
    QCOMPARE(shop.list()->toPlainText(), QStringLiteral("Milk"));
}

QTEST_MAIN(ShopTest)
#include "shop_test.moc"
