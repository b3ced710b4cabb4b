#include "screens/ingred.h"
#include "shell/appearance.h"
#include "shell/errorcodes.h"
#include "shell/errorpath.h"
#include "shell/menubar.h"
#include "shell/messages.h"
#include "tests/support/appfolder.h"
#include "tests/support/messages.h"
#include "tests/support/screens.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDirIterator>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using shell::ScreenRegistry;

namespace {

template <class T = QLineEdit>
T *child(QWidget *screen, const QString &name)
{
    T *widget = screen->findChild<T *>(name);
    if (!widget)
        qFatal("no control %s", qPrintable(name));
    return widget;
}

// Every file and folder below the application folder, relative to it.
QStringList tree(const testing::AppFolder &folder)
{
    QStringList paths;
    QDirIterator it(folder.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        paths.append(it.next().mid(folder.path().size()));
    paths.sort();
    return paths;
}

// One record line from its non-empty fields, numbered 1 to 35.
QByteArray recordLine(const QMap<int, QByteArray> &fields)
{
    QByteArrayList quoted;
    for (int n = 1; n <= 35; ++n)
        quoted.append('"' + fields.value(n) + '"');
    return quoted.join(',') + "\r\n";
}

void typeInto(QWidget *box, const QString &text)
{
    // The directions box starts a new line on Return.
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClicks(box, lines.at(i));
    }
}

frmIngred *showWithCategories(const testing::AppFolder &folder, const QStringList &categories)
{
    for (const QString &category : categories)
        folder.makeFolder(QStringLiteral("Category/") + category);
    folder.write(QStringLiteral("Category/category.txt"),
                 (categories.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
    return ScreenRegistry::show<frmIngred>();
}

void choose(QWidget *screen, const QString &category)
{
    auto *box = child<QComboBox>(screen, QStringLiteral("cboIng"));
    box->setCurrentIndex(box->findText(category));
}

bool isRed(QWidget *screen, const QString &hint)
{
    return shell::textColor(child<QLabel>(screen, hint)) == QColor(255, 0, 0);
}

} // namespace

class IngredTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { shell::errorHandOver() = {}; }

    void keyFilter_data();
    void keyFilter();
    void lengthLimits_data();
    void lengthLimits();
    void tab_visitsTheBoxesInOrder();

    void save_writesRecordByteForByte_data();
    void save_writesRecordByteForByte();
    void save_replacesInItsOwnCategoryOnly();
    void save_withoutCategory_refusedAndWritesNothing();
    void save_failure_raisesCS_data();
    void save_failure_raisesCS();

    void load_fillsCategoriesOnceInFileOrder();
    void load_missingCategoryList_asksForACategory();
    void load_failure_raisesFL_data();
    void load_failure_raisesFL();

    void new_emptiesOnlyThisScreenAndKeepsCategory();
    void menu_dispatchesByKey();
    void hoverHints_stayRedUntilBareScreen();
};

void IngredTest::keyFilter_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<bool>("digitsOnly");
    for (const char *box : {"txtIA1", "txtIA10", "txtICTemp", "txtICSize", "txtICHr", "txtICMin"})
        QTest::newRow(box) << QString::fromLatin1(box) << true;
    for (const char *box : {"txtIName", "txtIT3", "txtIN7"})
        QTest::newRow(box) << QString::fromLatin1(box) << false;
}

void IngredTest::keyFilter()
{
    QFETCH(QString, box);
    QFETCH(bool, digitsOnly);
    testing::AppFolder folder;
    testing::MessageScript script;
    testing::ScreenSession session;
    auto *screen = ScreenRegistry::show<frmIngred>();
    QVERIFY(QTest::qWaitForWindowActive(screen));
    auto *edit = child(screen, box);
    edit->setFocus();

    const QString typed = QStringLiteral("1a.,/- 2");
    QString expected = digitsOnly ? QStringLiteral("12") : typed;
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), expected);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClick(edit, Qt::Key_Home);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClick(edit, Qt::Key_End);
    expected = expected.chopped(1).mid(1);
    QCOMPARE(edit->text(), expected);

    // Pasted and dropped text gets in only when it is all digits.
    QApplication::clipboard()->setText(QStringLiteral("7x"));
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    if (!digitsOnly)
        expected += QStringLiteral("7x");
    QCOMPARE(edit->text(), expected);
    QApplication::clipboard()->setText(QStringLiteral("78"));
    edit->paste();
    expected += QStringLiteral("78");
    QCOMPARE(edit->text(), expected);
    QTest::keyClick(edit, Qt::Key_Home);
    QMimeData dropped;
    dropped.setText(QStringLiteral("y5"));
    QDropEvent drop(QPointF(1, 5), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    // Without a drag in progress the application drops the event on its way, so it goes to the box itself.
    static_cast<QObject *>(edit)->event(&drop);
    if (!digitsOnly)
        expected.prepend(QStringLiteral("y5"));
    QCOMPARE(edit->text(), expected);

    QTest::keyClick(edit, Qt::Key_Tab);
    QVERIFY(QApplication::focusWidget() != edit);
    QCOMPARE(edit->text(), expected);
    VERIFY_NO_UNEXPECTED_BOX(script);
}

void IngredTest::lengthLimits_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("limit"); // -1: takes everything typed
    const std::pair<const char *, int> rows[] = {
        {"txtIName", 40}, {"txtIA1", 5},    {"txtIA2", -1}, {"txtIA10", -1}, {"txtIT1", -1},
        {"txtIT10", -1},  {"txtIN1", 39},   {"txtIN6", 39}, {"txtIN2", -1},  {"txtIN10", -1},
        {"txtICTemp", 3}, {"txtICSize", 3}, {"txtICHr", 2}, {"txtICMin", 3},
    };
    for (const auto &[box, limit] : rows)
        QTest::newRow(box) << QString::fromLatin1(box) << limit;
}

void IngredTest::lengthLimits()
{
    QFETCH(QString, box);
    QFETCH(int, limit);
    testing::AppFolder folder;
    testing::ScreenSession session;
    auto *edit = child(ScreenRegistry::show<frmIngred>(), box);
    const QString typed = QStringLiteral("1234567890").repeated(5);
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), limit < 0 ? typed : typed.left(limit));
}

void IngredTest::tab_visitsTheBoxesInOrder()
{
    testing::AppFolder folder;
    testing::ScreenSession session;
    auto *screen = ScreenRegistry::show<frmIngred>();
    QVERIFY(QTest::qWaitForWindowActive(screen));
    QStringList expected;
    for (int row = 1; row <= 10; ++row)
        expected << QStringLiteral("txtIA%1").arg(row) << QStringLiteral("txtIT%1").arg(row)
                 << QStringLiteral("txtIN%1").arg(row);
    expected << QStringLiteral("txtICTemp") << QStringLiteral("txtICSize") << QStringLiteral("txtICHr")
             << QStringLiteral("txtICMin") << QStringLiteral("cmdINew") << QStringLiteral("cmdISave")
             << QStringLiteral("cmdIMain") << QStringLiteral("txtIDirec") << QStringLiteral("cboIng")
             << QStringLiteral("txtIName");

    child(screen, QStringLiteral("txtIName"))->setFocus();
    QStringList visited;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.append(QApplication::focusWidget()->objectName());
    }
    QCOMPARE(visited, expected);
    QVERIFY(child<QPlainTextEdit>(screen, QStringLiteral("txtIDirec"))->toPlainText().isEmpty());
}

void IngredTest::save_writesRecordByteForByte_data()
{
    QTest::addColumn<QStringList>("input"); // box name, text, box name, text ...
    QTest::addColumn<QByteArray>("file");
    const QStringList example = {"txtIA1", "2",         "txtIT1", "cups",    "txtIN1", "flour",    "txtICTemp",
                                 "350",    "txtICSize", "4",      "txtICHr", "0",      "txtICMin", "45"};
    QTest::newRow("worked example")
        << example + QStringList{"txtIDirec", "Mix."}
        << QByteArray(
               R"("2","","","","","","","","","","cups","","","","","","","","","","flour","","","","","","","","","","Mix.","350","4","0","45")"
               "\r\n");
    QTest::newRow("two-line directions")
        << example + QStringList{"txtIDirec", "Mix.\nBake."}
        << QByteArray(
               R"("2","","","","","","","","","","cups","","","","","","","","","","flour","","","","","","","","","","Mix.)"
               "\r\n"
               R"(Bake.","350","4","0","45")"
               "\r\n");
    QTest::newRow("every box empty") << QStringList() << recordLine({});
    QTest::newRow("row 10, commas, a middle row left empty")
        << QStringList{"txtIA10", "3", "txtIT10", "tbsp, heaped", "txtIN10", "sugar", "txtIN4", "salt"}
        << recordLine({{10, "3"}, {20, "tbsp, heaped"}, {24, "salt"}, {30, "sugar"}});
    QTest::newRow("blanks and a non-breaking space kept")
        << QStringList{"txtIT2", " cup ", "txtIDirec", "Stir\u00a0well. "}
        << recordLine({{12, " cup "}, {31, "Stir\xc2\xa0well. "}});
}

void IngredTest::save_writesRecordByteForByte()
{
    QFETCH(QStringList, input);
    QFETCH(QByteArray, file);
    testing::AppFolder folder;
    testing::MessageScript script;
    testing::ScreenSession session;
    auto *screen = showWithCategories(folder, {QStringLiteral("Desserts")});
    choose(screen, QStringLiteral("Desserts"));
    QTest::keyClicks(child(screen, QStringLiteral("txtIName")), QStringLiteral("Apple Pie"));
    for (qsizetype i = 0; i < input.size(); i += 2)
        typeInto(screen->findChild<QWidget *>(input.at(i)), input.at(i + 1));

    QTest::mouseClick(child<QPushButton>(screen, QStringLiteral("cmdISave")), Qt::LeftButton);
    QCOMPARE(folder.read(QStringLiteral("Category/Desserts/Apple Pie")), file);
    QCOMPARE(folder.entries(QStringLiteral("Category/Desserts")), QStringList{QStringLiteral("Apple Pie")});
    // Save shows nothing and leaves the boxes as they were.
    QVERIFY(script.boxes().isEmpty());
    QVERIFY(screen->isVisible());
    QCOMPARE(child(screen, QStringLiteral("txtIName"))->text(), QStringLiteral("Apple Pie"));
    for (qsizetype i = 0; i < input.size(); i += 2) {
        QWidget *box = screen->findChild<QWidget *>(input.at(i));
        if (auto *edit = qobject_cast<QLineEdit *>(box)) {
            QCOMPARE(edit->text(), input.at(i + 1));
        } else {
            const QString raw = qobject_cast<QPlainTextEdit *>(box)->document()->toRawText();
            QCOMPARE(QString(raw).replace(QChar::ParagraphSeparator, u'\n'), input.at(i + 1));
        }
    }
}

void IngredTest::save_replacesInItsOwnCategoryOnly()
{
    testing::AppFolder folder;
    testing::MessageScript script;
    testing::ScreenSession session;
    auto *screen = showWithCategories(folder, {QStringLiteral("Desserts"), QStringLiteral("Soups")});
    auto *save = child<QPushButton>(screen, QStringLiteral("cmdISave"));
    auto *minutes = child(screen, QStringLiteral("txtICMin"));
    QTest::keyClicks(child(screen, QStringLiteral("txtIName")), QStringLiteral("Stew"));
    choose(screen, QStringLiteral("Soups"));
    QTest::keyClicks(minutes, QStringLiteral("30"));
    QTest::mouseClick(save, Qt::LeftButton);
    choose(screen, QStringLiteral("Desserts"));
    QTest::mouseClick(save, Qt::LeftButton);
    QTest::keyClick(minutes, Qt::Key_Backspace);
    QTest::keyClicks(minutes, QStringLiteral("5"));
    QTest::mouseClick(save, Qt::LeftButton);

    QCOMPARE(folder.entries(QStringLiteral("Category/Desserts")), QStringList{QStringLiteral("Stew")});
    QCOMPARE(folder.read(QStringLiteral("Category/Desserts/Stew")), recordLine({{35, "35"}}));
    QCOMPARE(folder.read(QStringLiteral("Category/Soups/Stew")), recordLine({{35, "30"}}));
    QVERIFY(script.boxes().isEmpty());
}

void IngredTest::save_withoutCategory_refusedAndWritesNothing()
{
    testing::AppFolder folder;
    testing::MessageScript script;
    testing::ScreenSession session;
    auto *screen = showWithCategories(folder, {QStringLiteral("Desserts")});
    QTest::keyClicks(child(screen, QStringLiteral("txtIName")), QStringLiteral("Apple Pie"));
    QTest::keyClicks(child(screen, QStringLiteral("txtIA1")), QStringLiteral("2"));
    const QStringList before = tree(folder);

    script.answer(shell::AnswerOk);
    QTest::mouseClick(child<QPushButton>(screen, QStringLiteral("cmdISave")), Qt::LeftButton);
    QCOMPARE(script.boxes().size(), 1);
    QCOMPARE(script.boxes().at(0).flags, 4144);
    QCOMPARE(script.boxes().at(0).title, QStringLiteral("User error"));
    QVERIFY(script.boxes().at(0).prompt.contains(QStringLiteral("category")));
    QCOMPARE(tree(folder), before);
    QVERIFY(screen->isVisible());
    QCOMPARE(child(screen, QStringLiteral("txtIName"))->text(), QStringLiteral("Apple Pie"));
    QVERIFY(shell::errorHandOver().code.isEmpty());
}

void IngredTest::save_failure_raisesCS_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("numberText");
    QTest::newRow("empty name") << QString() << QStringLiteral("Desserts") << QStringLiteral(" 75");
    QTest::newRow("slash in name") << QStringLiteral("../Pie") << QStringLiteral("Desserts") << QStringLiteral(" 52");
    QTest::newRow("name ..") << QStringLiteral("..") << QStringLiteral("Desserts") << QStringLiteral(" 52");
    QTest::newRow("colon in name") << QStringLiteral("Pie: best") << QStringLiteral("Desserts")
                                   << QStringLiteral(" 52");
    QTest::newRow("category folder missing")
        << QStringLiteral("Pie") << QStringLiteral("Soups") << QStringLiteral(" 76");
    QTest::newRow("read-only recipe") << QStringLiteral("Old") << QStringLiteral("Desserts") << QStringLiteral(" 75");
}

void IngredTest::save_failure_raisesCS()
{
    QFETCH(QString, name);
    QFETCH(QString, category);
    QFETCH(QString, numberText);
    testing::AppFolder folder;
    testing::MessageScript script;
    testing::ScreenSession session;
    folder.write(QStringLiteral("Category/category.txt"), "Desserts\r\nSoups\r\n");
    folder.makeFolder(QStringLiteral("Category/Desserts"));
    folder.write(QStringLiteral("Category/Desserts/Old"), "kept");
    folder.setReadOnly(QStringLiteral("Category/Desserts/Old"));
    auto *screen = ScreenRegistry::show<frmIngred>();
    choose(screen, category);
    QTest::keyClicks(child(screen, QStringLiteral("txtIName")), name);
    QTest::keyClicks(child(screen, QStringLiteral("txtIA1")), QStringLiteral("2"));
    const QStringList before = tree(folder);

    QTest::mouseClick(child<QPushButton>(screen, QStringLiteral("cmdISave")), Qt::LeftButton);
    QCOMPARE(shell::errorHandOver().code, shell::codes::IngredSave);
    QCOMPARE(shell::errorHandOver().numberText, numberText);
    QVERIFY(!screen->isVisible());
    QVERIFY(ScreenRegistry::find(QStringLiteral("frmError"))->isVisible());
    QCOMPARE(tree(folder), before);
    QCOMPARE(folder.read(QStringLiteral("Category/Desserts/Old")), QByteArray("kept"));
    VERIFY_NO_UNEXPECTED_BOX(script);
}

void IngredTest::load_fillsCategoriesOnceInFileOrder()
{
    testing::AppFolder folder;
    testing::ScreenSession session;
    folder.write(QStringLiteral("Category/category.txt"), "Soups\r\n  Bread, Cakes\r\nDesserts\r\n");
    auto *screen = ScreenRegistry::show<frmIngred>();
    auto *box = child<QComboBox>(screen, QStringLiteral("cboIng"));
    const QStringList expected = {"Soups", "Bread", "Cakes", "Desserts"};
    const auto items = [box] {
        QStringList texts;
        for (int i = 0; i < box->count(); ++i)
            texts.append(box->itemText(i));
        return texts;
    };
    QCOMPARE(items(), expected);
    QCOMPARE(box->currentIndex(), -1);
    QVERIFY(box->currentText().isEmpty());

    // Shown again after Main, the screen does not read the list again.
    folder.write(QStringLiteral("Category/category.txt"), "Other\r\n");
    QTest::mouseClick(child<QPushButton>(screen, QStringLiteral("cmdIMain")), Qt::LeftButton);
    ScreenRegistry::show<frmIngred>();
    QCOMPARE(items(), expected);
}

void IngredTest::load_missingCategoryList_asksForACategory()
{
    testing::AppFolder folder;
    testing::MessageScript script;
    testing::ScreenSession session;
    QFile::remove(folder.file(QStringLiteral("Category/category.txt")));
    script.answer(shell::AnswerOk);
    auto *screen = ScreenRegistry::show<frmIngred>();

    QCOMPARE(script.boxes().size(), 1);
    QCOMPARE(script.boxes().at(0).prompt,
             QStringLiteral("Please click on 'Prg. setup' in the Main menu\rand create at least 1 category."));
    QCOMPARE(script.boxes().at(0).flags, 4144);
    QCOMPARE(script.boxes().at(0).title, QStringLiteral("User error"));
    QVERIFY(ScreenRegistry::find(QStringLiteral("frmMain"))->isVisible());
    QVERIFY(screen->isVisible());
    QCOMPARE(child<QComboBox>(screen, QStringLiteral("cboIng"))->count(), 0);
    QVERIFY(shell::errorHandOver().code.isEmpty());
    QVERIFY(!ScreenRegistry::find(QStringLiteral("frmError")));
    // The menu bar is built before the list is read.
    QVERIFY(child<shell::MenuBar>(screen, QStringLiteral("SMXPI"))->action(QStringLiteral("keySave")));
}

void IngredTest::load_failure_raisesFL_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("numberText");
    QTest::newRow("Category folder missing") << QStringLiteral("folder") << QStringLiteral(" 76");
    QTest::newRow("category.txt is a folder") << QStringLiteral("list") << QStringLiteral(" 75");
}

void IngredTest::load_failure_raisesFL()
{
    QFETCH(QString, fault);
    QFETCH(QString, numberText);
    testing::AppFolder folder;
    testing::MessageScript script;
    testing::ScreenSession session;
    if (fault == u"folder") {
        QDir(folder.file(QStringLiteral("Category"))).removeRecursively();
    } else {
        QFile::remove(folder.file(QStringLiteral("Category/category.txt")));
        folder.makeFolder(QStringLiteral("Category/category.txt"));
    }
    auto *screen = ScreenRegistry::show<frmIngred>();

    QCOMPARE(shell::errorHandOver().code, shell::codes::IngredLoad);
    QCOMPARE(shell::errorHandOver().numberText, numberText);
    QVERIFY(!screen->isVisible());
    QVERIFY(ScreenRegistry::find(QStringLiteral("frmError"))->isVisible());
    VERIFY_NO_UNEXPECTED_BOX(script);
}

void IngredTest::new_emptiesOnlyThisScreenAndKeepsCategory()
{
    testing::AppFolder folder;
    testing::MessageScript script;
    testing::ScreenSession session;
    // A stand-in for the recipe display screen, loaded with a card of its own.
    ScreenRegistry::add(QStringLiteral("frmRecipe"), [] {
        auto *display = new shell::Screen;
        (new QLineEdit(QStringLiteral("Card"), display))->setObjectName(QStringLiteral("txtRName"));
        return display;
    });
    QWidget *display = ScreenRegistry::load(QStringLiteral("frmRecipe"));
    auto *screen = showWithCategories(folder, {QStringLiteral("Desserts")});
    choose(screen, QStringLiteral("Desserts"));
    const QList<QLineEdit *> boxes = screen->findChildren<QLineEdit *>(QRegularExpression(QStringLiteral("^txtI")));
    QCOMPARE(boxes.size(), 35);
    for (QLineEdit *box : boxes)
        QTest::keyClicks(box, QStringLiteral("1"));
    typeInto(child<QPlainTextEdit>(screen, QStringLiteral("txtIDirec")), QStringLiteral("Mix.\nBake."));
    QTest::mouseClick(child<QPushButton>(screen, QStringLiteral("cmdISave")), Qt::LeftButton);

    QTest::mouseClick(child<QPushButton>(screen, QStringLiteral("cmdINew")), Qt::LeftButton);
    for (QLineEdit *box : boxes)
        QVERIFY2(box->text().isEmpty(), qPrintable(box->objectName()));
    QVERIFY(child<QPlainTextEdit>(screen, QStringLiteral("txtIDirec"))->toPlainText().isEmpty());
    QCOMPARE(child<QComboBox>(screen, QStringLiteral("cboIng"))->currentText(), QStringLiteral("Desserts"));
    QCOMPARE(child(display, QStringLiteral("txtRName"))->text(), QStringLiteral("Card"));
    QVERIFY(folder.read(QStringLiteral("Category/Desserts/1")).startsWith("\"1\""));
    QVERIFY(script.boxes().isEmpty());
}

void IngredTest::menu_dispatchesByKey()
{
    testing::AppFolder folder;
    testing::MessageScript script;
    testing::ScreenSession session;
    auto *screen = showWithCategories(folder, {QStringLiteral("Desserts")});
    auto *bar = child<shell::MenuBar>(screen, QStringLiteral("SMXPI"));
    auto *name = child(screen, QStringLiteral("txtIName"));
    choose(screen, QStringLiteral("Desserts"));
    QTest::keyClicks(name, QStringLiteral("Pie"));

    // The File menu's own title runs nothing.
    bar->action(QStringLiteral("keyfile"))->trigger();
    QCOMPARE(folder.entries(QStringLiteral("Category/Desserts")), QStringList());
    bar->action(QStringLiteral("keySave"))->trigger();
    QCOMPARE(folder.entries(QStringLiteral("Category/Desserts")), QStringList{QStringLiteral("Pie")});
    bar->action(QStringLiteral("keyMain"))->trigger();
    QVERIFY(!screen->isVisible());
    QVERIFY(ScreenRegistry::find(QStringLiteral("frmMain"))->isVisible());

    // Shown again, the screen still holds what was typed, until New.
    ScreenRegistry::show<frmIngred>();
    QCOMPARE(name->text(), QStringLiteral("Pie"));
    bar->action(QStringLiteral("keyNew"))->trigger();
    QVERIFY(name->text().isEmpty());
    QVERIFY(script.boxes().isEmpty());
}

void IngredTest::hoverHints_stayRedUntilBareScreen()
{
    testing::AppFolder folder;
    testing::ScreenSession session;
    auto *screen = ScreenRegistry::show<frmIngred>();
    QVERIFY(QTest::qWaitForWindowExposed(screen));
    for (const char *hint : {"lblIMsg1", "lblIMsg2", "lblIMsg3"})
        QCOMPARE(shell::textColor(child<QLabel>(screen, QLatin1String(hint))), shell::systemColor(2));

    struct Step
    {
        const char *over;
        QPoint at; // null: the control's centre
        bool red1, red2, red3;
    };
    const Step steps[] = {
        {"txtIName", {}, true, false, false},
        {"fraIn", {340, 100}, true, true, false}, // between the two columns
        {"txtIA1", {}, true, true, false},
        {"lblINAmt1", {}, true, true, false},
        {"lblIMsg3", {}, true, true, false},
        {"frmIngred", {60, 260}, false, false, false}, // the hint panel is bare screen
        {"lblICat", {}, true, false, false},
        {"lblIDir", {}, true, false, true},
        {"cboIng", {}, true, false, true},
        {"frmIngred", {400, 272}, false, false, false},
        {"txtIDirec", {}, false, false, true},
        {"lblIRec", {}, true, false, true},
    };
    for (const Step &step : steps) {
        QWidget *over =
            step.over == QLatin1String("frmIngred") ? screen : child<QWidget>(screen, QLatin1String(step.over));
        QTest::mouseMove(over, step.at);
        const QByteArray where = QByteArray("over ") + step.over;
        QVERIFY2(isRed(screen, QStringLiteral("lblIMsg1")) == step.red1, where);
        QVERIFY2(isRed(screen, QStringLiteral("lblIMsg2")) == step.red2, where);
        QVERIFY2(isRed(screen, QStringLiteral("lblIMsg3")) == step.red3, where);
    }
}

QTEST_MAIN(IngredTest)
#include "ingred_test.moc"
