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
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;
using shell::ScreenRegistry;

namespace {

// One test's world: a fresh application folder, scripted message boxes and its own screen registry.
struct World
{
    testing::AppFolder folder;
    testing::MessageScript script;
    testing::ScreenSession session;
    frmIngred *screen = nullptr;

    // Shows the screen over a category list of `categories`, each with its folder.
    frmIngred *show(const QStringList &categories = {})
    {
        QByteArray list;
        for (const QString &category : categories) {
            folder.makeFolder(u"Category/"_s + category);
            list += category.toUtf8() + "\r\n";
        }
        folder.write(u"Category/category.txt"_s, list);
        return screen = ScreenRegistry::show<frmIngred>();
    }

    template <class T = QLineEdit>
    T *control(const QString &name) const
    {
        T *widget = screen->findChild<T *>(name);
        if (!widget)
            qFatal("no control %s", qPrintable(name));
        return widget;
    }
    void click(const QString &button) const { QTest::mouseClick(control<QPushButton>(button), Qt::LeftButton); }
    void choose(const QString &category) const
    {
        control<QComboBox>(u"cboIng"_s)->setCurrentIndex(control<QComboBox>(u"cboIng"_s)->findText(category));
    }
    // Types into a box; in the directions "\n" is a press of Return.
    void type(const QString &box, const QString &text) const
    {
        const QStringList lines = text.split(u'\n');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0)
                QTest::keyClick(control<QWidget>(box), Qt::Key_Return);
            QTest::keyClicks(control<QWidget>(box), lines.at(i));
        }
    }
    bool isRed(const QString &hint) const { return shell::textColor(control<QLabel>(hint)) == QColor(255, 0, 0); }

    // Every file and folder below the application folder.
    QStringList tree() const
    {
        QStringList paths;
        QDirIterator it(folder.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            // The program's work folder holds no data.
            if (const QString path = it.next(); !path.contains(QLatin1String("/.larderon")))
                paths.append(path);
        }
        paths.sort();
        return paths;
    }
};

// One record line from its non-empty fields, numbered 1 to 35.
QByteArray recordLine(const QMap<int, QByteArray> &fields)
{
    QByteArrayList quoted;
    for (int n = 1; n <= 35; ++n)
        quoted.append('"' + fields.value(n) + '"');
    return quoted.join(',') + "\r\n";
}

} // namespace

class IngredTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { shell::errorHandOver() = {}; }

    void textBoxes_filterDigitsAndLimitLength_data();
    void textBoxes_filterDigitsAndLimitLength();
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

void IngredTest::textBoxes_filterDigitsAndLimitLength_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<bool>("digitsOnly");
    QTest::addColumn<int>("limit"); // -1: no limit
    const std::tuple<const char *, bool, int> rows[] = {
        {"txtIName", false, 40}, {"txtIA1", true, 5},    {"txtIA2", true, -1},   {"txtIA10", true, -1},
        {"txtIT1", false, -1},   {"txtIT10", false, -1}, {"txtIN1", false, 39},  {"txtIN6", false, 39},
        {"txtIN2", false, -1},   {"txtIN10", false, -1}, {"txtICTemp", true, 3}, {"txtICSize", true, 3},
        {"txtICHr", true, 2},    {"txtICMin", true, 3},
    };
    for (const auto &[box, digitsOnly, limit] : rows)
        QTest::newRow(box) << QString::fromLatin1(box) << digitsOnly << limit;
}

void IngredTest::textBoxes_filterDigitsAndLimitLength()
{
    QFETCH(QString, box);
    QFETCH(bool, digitsOnly);
    QFETCH(int, limit);
    World world;
    world.show();
    QVERIFY(QTest::qWaitForWindowActive(world.screen));
    auto *edit = world.control(box);
    edit->setFocus();

    const QString digits = u"1234567890"_s.repeated(5);
    QTest::keyClicks(edit, digits);
    QCOMPARE(edit->text(), limit < 0 ? digits : digits.left(limit));
    edit->clear();

    const QString typed = u"1a.,/- 2"_s;
    QString expected = digitsOnly ? u"12"_s : typed;
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), expected);
    for (const Qt::Key key : {Qt::Key_Backspace, Qt::Key_Home, Qt::Key_Delete, Qt::Key_End})
        QTest::keyClick(edit, key);
    expected = expected.chopped(1).mid(1);
    QCOMPARE(edit->text(), expected);

    // Pasted and dropped text gets into a digit box only when it is all digits.
    QApplication::clipboard()->setText(u"7x"_s);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    if (!digitsOnly)
        expected += u"7x"_s;
    QCOMPARE(edit->text(), expected);
    QApplication::clipboard()->setText(u"78"_s);
    edit->paste();
    QCOMPARE(edit->text(), expected += u"78"_s);
    QTest::keyClick(edit, Qt::Key_Home);
    QMimeData dropped;
    dropped.setText(u"y5"_s);
    QDropEvent drop(QPointF(1, 5), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    // Without a drag in progress the application would not pass the drop on, so it goes to the box itself.
    static_cast<QObject *>(edit)->event(&drop);
    if (!digitsOnly)
        expected.prepend(u"y5"_s);
    QCOMPARE(edit->text(), expected);

    QTest::keyClick(edit, Qt::Key_Tab);
    QVERIFY(QApplication::focusWidget() != edit);
    QCOMPARE(edit->text(), expected);
}

void IngredTest::tab_visitsTheBoxesInOrder()
{
    World world;
    world.show();
    QVERIFY(QTest::qWaitForWindowActive(world.screen));
    QStringList expected;
    for (int row = 1; row <= 10; ++row)
        expected << u"txtIA%1"_s.arg(row) << u"txtIT%1"_s.arg(row) << u"txtIN%1"_s.arg(row);
    expected << u"txtICTemp"_s << u"txtICSize"_s << u"txtICHr"_s << u"txtICMin"_s << u"cmdINew"_s << u"cmdISave"_s
             << u"cmdIMain"_s << u"txtIDirec"_s << u"cboIng"_s << u"txtIName"_s;

    world.control(u"txtIName"_s)->setFocus();
    QStringList visited;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.append(QApplication::focusWidget()->objectName());
    }
    QCOMPARE(visited, expected);
    QVERIFY(world.control<QPlainTextEdit>(u"txtIDirec"_s)->toPlainText().isEmpty());
}

void IngredTest::save_writesRecordByteForByte_data()
{
    QTest::addColumn<QStringList>("input"); // box name, text, box name, text ...
    QTest::addColumn<QByteArray>("file");
    const QStringList example = {"txtIA1", "2",         "txtIT1", "cups",    "txtIN1", "flour",    "txtICTemp",
                                 "350",    "txtICSize", "4",      "txtICHr", "0",      "txtICMin", "45"};
    const QByteArray start = R"("2","","","","","","","","","","cups","","","","","","","","","",)"
                             R"("flour","","","","","","","","","",)";
    QTest::newRow("worked example") << example + QStringList{"txtIDirec", "Mix."}
                                    << start + R"("Mix.","350","4","0","45")"
                                               "\r\n";
    QTest::newRow("two-line directions") << example + QStringList{"txtIDirec", "Mix.\nBake."}
                                         << start + R"("Mix.)"
                                                    "\r\n"
                                                    R"(Bake.","350","4","0","45")"
                                                    "\r\n";
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
    World world;
    world.show({u"Desserts"_s});
    world.choose(u"Desserts"_s);
    world.type(u"txtIName"_s, u"Apple Pie"_s);
    for (qsizetype i = 0; i < input.size(); i += 2)
        world.type(input.at(i), input.at(i + 1));

    world.click(u"cmdISave"_s);
    QCOMPARE(world.folder.read(u"Category/Desserts/Apple Pie"_s), file);
    QCOMPARE(world.folder.entries(u"Category/Desserts"_s), QStringList{u"Apple Pie"_s});
    // Save shows nothing and leaves the boxes as they were.
    QVERIFY(world.script.boxes().isEmpty());
    QVERIFY(world.screen->isVisible());
    QCOMPARE(world.control(u"txtIName"_s)->text(), u"Apple Pie"_s);
    for (qsizetype i = 0; i < input.size(); i += 2) {
        if (auto *edit = world.screen->findChild<QLineEdit *>(input.at(i)))
            QCOMPARE(edit->text(), input.at(i + 1));
    }
    const QString directions = world.control<QPlainTextEdit>(u"txtIDirec"_s)->document()->toRawText();
    QCOMPARE(QString(directions).replace(QChar::ParagraphSeparator, u'\n'),
             input.contains(u"txtIDirec"_s) ? input.at(input.indexOf(u"txtIDirec"_s) + 1) : QString());
}

void IngredTest::save_replacesInItsOwnCategoryOnly()
{
    World world;
    world.show({u"Desserts"_s, u"Soups"_s});
    world.type(u"txtIName"_s, u"Stew"_s);
    world.choose(u"Soups"_s);
    world.type(u"txtICMin"_s, u"30"_s);
    world.click(u"cmdISave"_s);
    world.choose(u"Desserts"_s);
    world.click(u"cmdISave"_s);
    QTest::keyClick(world.control(u"txtICMin"_s), Qt::Key_Backspace);
    world.type(u"txtICMin"_s, u"5"_s);
    world.click(u"cmdISave"_s);

    QCOMPARE(world.folder.entries(u"Category/Desserts"_s), QStringList{u"Stew"_s});
    QCOMPARE(world.folder.read(u"Category/Desserts/Stew"_s), recordLine({{35, "35"}}));
    QCOMPARE(world.folder.read(u"Category/Soups/Stew"_s), recordLine({{35, "30"}}));
    QVERIFY(world.script.boxes().isEmpty());
}

void IngredTest::save_withoutCategory_refusedAndWritesNothing()
{
    World world;
    world.show({u"Desserts"_s});
    world.type(u"txtIName"_s, u"Apple Pie"_s);
    world.type(u"txtIA1"_s, u"2"_s);
    const QStringList before = world.tree();

    world.script.answer(shell::AnswerOk);
    world.click(u"cmdISave"_s);
    QCOMPARE(world.script.boxes().size(), 1);
    QCOMPARE(world.script.boxes().at(0).flags, 4144);
    QCOMPARE(world.script.boxes().at(0).title, u"User error"_s);
    QVERIFY(world.script.boxes().at(0).prompt.contains(u"category"_s));
    QCOMPARE(world.tree(), before);
    QVERIFY(world.screen->isVisible());
    QCOMPARE(world.control(u"txtIName"_s)->text(), u"Apple Pie"_s);
    QVERIFY(shell::errorHandOver().code.isEmpty());
}

void IngredTest::save_failure_raisesCS_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("numberText");
    QTest::newRow("empty name") << QString() << u"Desserts"_s << u" 75"_s;
    QTest::newRow("slash in name") << u"../Pie"_s << u"Desserts"_s << u" 52"_s;
    QTest::newRow("name ..") << u".."_s << u"Desserts"_s << u" 52"_s;
    QTest::newRow("colon in name") << u"Pie: best"_s << u"Desserts"_s << u" 52"_s;
    QTest::newRow("category folder missing") << u"Pie"_s << u"Soups"_s << u" 76"_s;
    QTest::newRow("read-only recipe") << u"Old"_s << u"Desserts"_s << u" 75"_s;
}

void IngredTest::save_failure_raisesCS()
{
    QFETCH(QString, name);
    QFETCH(QString, category);
    QFETCH(QString, numberText);
    World world;
    world.folder.makeFolder(u"Category/Desserts"_s);
    world.folder.write(u"Category/Desserts/Old"_s, "kept");
    world.folder.setReadOnly(u"Category/Desserts/Old"_s);
    world.folder.write(u"Category/category.txt"_s, "Desserts\r\nSoups\r\n"); // Soups has no folder
    world.screen = ScreenRegistry::show<frmIngred>();
    world.choose(category);
    world.type(u"txtIName"_s, name);
    world.type(u"txtIA1"_s, u"2"_s);
    const QStringList before = world.tree();

    world.click(u"cmdISave"_s);
    QCOMPARE(shell::errorHandOver().code, shell::codes::IngredSave);
    QCOMPARE(shell::errorHandOver().numberText, numberText);
    QVERIFY(!world.screen->isVisible());
    QVERIFY(ScreenRegistry::find(u"frmError"_s)->isVisible());
    QCOMPARE(world.tree(), before);
    QCOMPARE(world.folder.read(u"Category/Desserts/Old"_s), QByteArray("kept"));
    VERIFY_NO_UNEXPECTED_BOX(world.script);
}

void IngredTest::load_fillsCategoriesOnceInFileOrder()
{
    World world;
    world.folder.write(u"Category/category.txt"_s, "Soups\r\n  Bread, Cakes\r\nDesserts\r\n");
    world.screen = ScreenRegistry::show<frmIngred>();
    auto *box = world.control<QComboBox>(u"cboIng"_s);
    const auto items = [box] {
        QStringList texts;
        for (int i = 0; i < box->count(); ++i)
            texts.append(box->itemText(i));
        return texts;
    };
    const QStringList expected = {"Soups", "Bread", "Cakes", "Desserts"};
    QCOMPARE(items(), expected);
    QCOMPARE(box->currentIndex(), -1);
    QVERIFY(box->currentText().isEmpty());

    // Shown again after Main, the screen does not read the list again.
    world.folder.write(u"Category/category.txt"_s, "Other\r\n");
    world.click(u"cmdIMain"_s);
    ScreenRegistry::show<frmIngred>();
    QCOMPARE(items(), expected);
}

void IngredTest::load_missingCategoryList_asksForACategory()
{
    World world;
    QFile::remove(world.folder.file(u"Category/category.txt"_s));
    world.script.answer(shell::AnswerOk);
    world.screen = ScreenRegistry::show<frmIngred>();

    QCOMPARE(world.script.boxes().size(), 1);
    QCOMPARE(world.script.boxes().at(0).prompt,
             u"Please click on 'Prg. setup' in the Main menu\rand create at least 1 category."_s);
    QCOMPARE(world.script.boxes().at(0).flags, 4144);
    QCOMPARE(world.script.boxes().at(0).title, u"User error"_s);
    QVERIFY(ScreenRegistry::find(u"frmMain"_s)->isVisible());
    QVERIFY(world.screen->isVisible());
    QCOMPARE(world.control<QComboBox>(u"cboIng"_s)->count(), 0);
    QVERIFY(shell::errorHandOver().code.isEmpty());
    QVERIFY(!ScreenRegistry::find(u"frmError"_s));
    // The menu bar is built before the list is read.
    QVERIFY(world.control<shell::MenuBar>(u"SMXPI"_s)->action(u"keySave"_s));
}

void IngredTest::load_failure_raisesFL_data()
{
    QTest::addColumn<bool>("folderMissing"); // otherwise category.txt is a folder
    QTest::addColumn<QString>("numberText");
    QTest::newRow("Category folder missing") << true << u" 76"_s;
    QTest::newRow("category.txt is a folder") << false << u" 75"_s;
}

void IngredTest::load_failure_raisesFL()
{
    QFETCH(bool, folderMissing);
    QFETCH(QString, numberText);
    World world;
    if (folderMissing) {
        QDir(world.folder.file(u"Category"_s)).removeRecursively();
    } else {
        QFile::remove(world.folder.file(u"Category/category.txt"_s));
        world.folder.makeFolder(u"Category/category.txt"_s);
    }
    auto *screen = ScreenRegistry::show<frmIngred>();

    QCOMPARE(shell::errorHandOver().code, shell::codes::IngredLoad);
    QCOMPARE(shell::errorHandOver().numberText, numberText);
    QVERIFY(!screen->isVisible());
    QVERIFY(ScreenRegistry::find(u"frmError"_s)->isVisible());
    VERIFY_NO_UNEXPECTED_BOX(world.script);
}

void IngredTest::new_emptiesOnlyThisScreenAndKeepsCategory()
{
    World world;
    // A stand-in for the recipe display screen, loaded with a card of its own.
    ScreenRegistry::add(u"frmRecipe"_s, [] {
        auto *display = new shell::Screen;
        (new QLineEdit(u"Card"_s, display))->setObjectName(u"txtRName"_s);
        return display;
    });
    QWidget *display = ScreenRegistry::load(u"frmRecipe"_s);
    world.show({u"Desserts"_s});
    world.choose(u"Desserts"_s);
    const QList<QLineEdit *> boxes = world.screen->findChildren<QLineEdit *>(QRegularExpression(u"^txtI"_s));
    QCOMPARE(boxes.size(), 35);
    for (QLineEdit *box : boxes)
        QTest::keyClicks(box, u"1"_s);
    world.type(u"txtIDirec"_s, u"Mix.\nBake."_s);
    world.click(u"cmdISave"_s);

    world.click(u"cmdINew"_s);
    for (QLineEdit *box : boxes)
        QVERIFY2(box->text().isEmpty(), qPrintable(box->objectName()));
    QVERIFY(world.control<QPlainTextEdit>(u"txtIDirec"_s)->toPlainText().isEmpty());
    QCOMPARE(world.control<QComboBox>(u"cboIng"_s)->currentText(), u"Desserts"_s);
    QCOMPARE(display->findChild<QLineEdit *>(u"txtRName"_s)->text(), u"Card"_s);
    QVERIFY(world.folder.read(u"Category/Desserts/1"_s).startsWith("\"1\""));
    QVERIFY(world.script.boxes().isEmpty());
}

void IngredTest::menu_dispatchesByKey()
{
    World world;
    world.show({u"Desserts"_s});
    auto *bar = world.control<shell::MenuBar>(u"SMXPI"_s);
    world.choose(u"Desserts"_s);
    world.type(u"txtIName"_s, u"Pie"_s);

    // The File menu's own title runs nothing.
    bar->action(u"keyfile"_s)->trigger();
    QCOMPARE(world.folder.entries(u"Category/Desserts"_s), QStringList());
    bar->action(u"keySave"_s)->trigger();
    QCOMPARE(world.folder.entries(u"Category/Desserts"_s), QStringList{u"Pie"_s});
    bar->action(u"keyMain"_s)->trigger();
    QVERIFY(!world.screen->isVisible());
    QVERIFY(ScreenRegistry::find(u"frmMain"_s)->isVisible());

    // Shown again, the screen still holds what was typed, until New.
    ScreenRegistry::show<frmIngred>();
    QCOMPARE(world.control(u"txtIName"_s)->text(), u"Pie"_s);
    bar->action(u"keyNew"_s)->trigger();
    QVERIFY(world.control(u"txtIName"_s)->text().isEmpty());
    QVERIFY(world.script.boxes().isEmpty());
}

void IngredTest::hoverHints_stayRedUntilBareScreen()
{
    World world;
    world.show();
    QVERIFY(QTest::qWaitForWindowExposed(world.screen));
    for (const QString &hint : {u"lblIMsg1"_s, u"lblIMsg2"_s, u"lblIMsg3"_s})
        QCOMPARE(shell::textColor(world.control<QLabel>(hint)), shell::systemColor(2));

    struct Step
    {
        const char *over; // null: the bare screen
        QPoint at;        // null: the control's centre
        bool red1, red2, red3;
    };
    const Step steps[] = {
        {"txtIName", {}, true, false, false},  {"fraIn", {340, 100}, true, true, false}, // between the two columns
        {"txtIA1", {}, true, true, false},     {"lblINAmt1", {}, true, true, false},
        {"lblIMsg3", {}, true, true, false},   {nullptr, {60, 260}, false, false, false}, // on the hint panel
        {"lblICat", {}, true, false, false},   {"lblIDir", {}, true, false, true},
        {"cboIng", {}, true, false, true},     {nullptr, {400, 272}, false, false, false},
        {"txtIDirec", {}, false, false, true}, {"lblIRec", {}, true, false, true},
    };
    for (const Step &step : steps) {
        QTest::mouseMove(step.over ? world.control<QWidget>(QLatin1String(step.over)) : world.screen, step.at);
        const char *where = step.over ? step.over : "the bare screen";
        QVERIFY2(world.isRed(u"lblIMsg1"_s) == step.red1, where);
        QVERIFY2(world.isRed(u"lblIMsg2"_s) == step.red2, where);
        QVERIFY2(world.isRed(u"lblIMsg3"_s) == step.red3, where);
    }
}

QTEST_MAIN(IngredTest)
#include "ingred_test.moc"
