#include "screens/recipe.h"
#include "shell/appearance.h"
#include "shell/errorpath.h"
#include "store/recipefile.h"
#include "tests/support/appfolder.h"
#include "tests/support/messages.h"
#include "tests/support/screens.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using store::RecipeRecord;
Q_DECLARE_METATYPE(RecipeRecord)

namespace {

const QString kDesserts = QStringLiteral("Desserts");

RecipeRecord everyFieldFilled()
{
    RecipeRecord r;
    for (int row = 1; row <= 10; ++row) {
        r.amount(row) = QString::number(row);
        r.type(row) = QStringLiteral("cup, level %1").arg(row);
        r.ingredient(row) = QStringLiteral("ingredient %1, chopped").arg(row);
    }
    r.directions() = QStringLiteral("Mix, then rest.\nBake.\n\nServe warm.");
    r.temperature() = QStringLiteral("350");
    r.servingSize() = QStringLiteral("4");
    r.hours() = QStringLiteral("1");
    r.minutes() = QStringLiteral("45");
    return r;
}

QString today()
{
    return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
}

} // namespace

class RecipeTest : public QObject
{
    Q_OBJECT

private slots:
    void load_fillsTheCategoriesWithoutAChoice();
    void load_missingCategoryListAsksForACategory();
    void load_missingCategoryFolderReportsTheLoad();

    void category_listsTheFilesByName();
    void category_missingFolderReportsTheList();

    void pick_showsTheLastRecord_data();
    void pick_showsTheLastRecord();
    void pick_failureLeavesTheCard_data();
    void pick_failureLeavesTheCard();
    void pick_clickInAnEmptyListChangesNothing();

    void delete_removesOnlyThatFile();
    void delete_failureKeepsTheFile_data();
    void delete_failureKeepsTheFile();

    void new_restoresTheCaptions();
    void main_emptiesTheCardAndKeepsTheCategory();
    void activate_disablesTheDeleteBox();
    void hover_turnsTheHintsRed();

private:
    struct Fixture
    {
        testing::AppFolder app;
        testing::MessageScript script;
        testing::ScreenSession session;
    };

    static void writeCategories(const testing::AppFolder &app, const QByteArray &list, const QStringList &folders);
    static frmRecipe *show();
    /// The screen with the recipe Tart, every field filled, picked from the category Desserts.
    static frmRecipe *showPickedTart(Fixture &f);
    static void chooseCategory(frmRecipe *screen, const QString &category);
    static void clickFile(frmRecipe *screen, const QString &name);
    static void verifyReport(frmRecipe *screen, const QString &code, int number);
    static void verifyCard(frmRecipe *screen, const QString &name, const RecipeRecord &r);

    template <class T>
    static T *control(frmRecipe *screen, const char *name)
    {
        T *found = screen->findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    static QString text(frmRecipe *screen, const char *name) { return control<QLineEdit>(screen, name)->text(); }
    static QStringList entries(frmRecipe *screen);
    static QCheckBox *deleteBox(frmRecipe *screen) { return control<QCheckBox>(screen, "chkRDel"); }
};

void RecipeTest::writeCategories(const testing::AppFolder &app, const QByteArray &list, const QStringList &folders)
{
    app.write(QStringLiteral("Category/category.txt"), list);
    for (const QString &folder : folders)
        app.makeFolder(QStringLiteral("Category/") + folder);
}

frmRecipe *RecipeTest::show()
{
    return shell::ScreenRegistry::show<frmRecipe>();
}

frmRecipe *RecipeTest::showPickedTart(Fixture &f)
{
    writeCategories(f.app, "Desserts\r\n", {kDesserts});
    store::saveRecipe(kDesserts, QStringLiteral("Tart"), everyFieldFilled());
    frmRecipe *screen = show();
    chooseCategory(screen, kDesserts);
    clickFile(screen, QStringLiteral("Tart"));
    return screen;
}

void RecipeTest::chooseCategory(frmRecipe *screen, const QString &category)
{
    auto *cbo = control<QComboBox>(screen, "cboRCat");
    const int index = cbo->findText(category);
    QVERIFY2(index >= 0, qPrintable(category));
    cbo->setCurrentIndex(index);
    emit cbo->activated(index);
}

void RecipeTest::clickFile(frmRecipe *screen, const QString &name)
{
    auto *list = control<QListWidget>(screen, "lswRFile");
    list->doItemsLayout();
    const QList<QListWidgetItem *> items = list->findItems(name, Qt::MatchExactly);
    QCOMPARE(items.size(), 1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(items.first()).center());
}

void RecipeTest::verifyReport(frmRecipe *screen, const QString &code, int number)
{
    QCOMPARE(shell::errorHandOver().code, code);
    QCOMPARE(shell::errorHandOver().numberText, QLatin1Char(' ') + QString::number(number));
    QVERIFY(!screen->isVisible());
    QVERIFY(shell::ScreenRegistry::find(QStringLiteral("frmError")));
    QVERIFY(shell::ScreenRegistry::find(QStringLiteral("frmError"))->isVisible());
}

QStringList RecipeTest::entries(frmRecipe *screen)
{
    auto *list = control<QListWidget>(screen, "lswRFile");
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}

void RecipeTest::load_fillsTheCategoriesWithoutAChoice()
{
    Fixture f;
    // The recipe screens read the list by fields: a comma splits a name, leading blanks go.
    writeCategories(f.app, "Soups, stews\r\n  Desserts\r\n", {});
    frmRecipe *screen = show();

    auto *cbo = control<QComboBox>(screen, "cboRCat");
    QStringList items;
    for (int i = 0; i < cbo->count(); ++i)
        items << cbo->itemText(i);
    QCOMPARE(items, (QStringList{QStringLiteral("Soups"), QStringLiteral("stews"), kDesserts}));
    QCOMPARE(cbo->currentIndex(), -1);
    QVERIFY(!deleteBox(screen)->isEnabled());
    QCOMPARE(text(screen, "txtRSrv"), QStringLiteral("Size:"));
    QCOMPARE(text(screen, "txtRDate"), QStringLiteral(" current date"));
    QCOMPARE(text(screen, "txtRHr"), QStringLiteral("H:"));
    QCOMPARE(text(screen, "txtRSlash"), QString(121, QLatin1Char('-')));
    QVERIFY(screen->isVisible());
    VERIFY_NO_UNEXPECTED_BOX(f.script);
}

void RecipeTest::load_missingCategoryListAsksForACategory()
{
    Fixture f;
    QFile::remove(f.app.file(QStringLiteral("Category/category.txt")));
    f.script.answer(1);
    shell::errorHandOver() = {};
    frmRecipe *screen = show();

    QCOMPARE(f.script.boxes().size(), 1);
    QCOMPARE(f.script.boxes().first().title, QStringLiteral("User error"));
    QCOMPARE(f.script.boxes().first().flags, 4144);
    QVERIFY(shell::errorHandOver().code.isEmpty());
    QVERIFY(shell::ScreenRegistry::find(QStringLiteral("frmMain"))->isVisible());
    QCOMPARE(control<QComboBox>(screen, "cboRCat")->count(), 0);
    VERIFY_NO_UNEXPECTED_BOX(f.script);
}

void RecipeTest::load_missingCategoryFolderReportsTheLoad()
{
    Fixture f;
    QDir(f.app.file(QStringLiteral("Category"))).removeRecursively();
    frmRecipe *screen = show();
    verifyReport(screen, QStringLiteral("R - FL -"), 76);
    VERIFY_NO_UNEXPECTED_BOX(f.script);
}

void RecipeTest::category_listsTheFilesByName()
{
    Fixture f;
    writeCategories(f.app, "Desserts\r\nSoups\r\n", {kDesserts, QStringLiteral("Soups")});
    for (const char *name : {"soup 10", "Soup 2", "apple pie", "Banana bread", "notes.txt"})
        f.app.write(QStringLiteral("Category/Soups/") + QLatin1String(name), {});
    f.app.makeFolder(QStringLiteral("Category/Soups/Old recipes"));
    store::saveRecipe(kDesserts, QStringLiteral("Tart"), everyFieldFilled());
    frmRecipe *screen = show();

    chooseCategory(screen, kDesserts);
    clickFile(screen, QStringLiteral("Tart"));
    QVERIFY(deleteBox(screen)->isEnabled());

    // Another category replaces the list, unchecks the box without disabling it, and keeps the card.
    chooseCategory(screen, QStringLiteral("Soups"));
    QCOMPARE(entries(screen),
             (QStringList{QStringLiteral("apple pie"), QStringLiteral("Banana bread"), QStringLiteral("notes.txt"),
                          QStringLiteral("Soup 2"), QStringLiteral("soup 10")}));
    QVERIFY(!deleteBox(screen)->isChecked());
    QVERIFY(deleteBox(screen)->isEnabled());
    QCOMPARE(text(screen, "txtRName"), QStringLiteral("Tart"));

    // The entries flow down in columns of the list's column width, without a gap between them.
    auto *list = control<QListWidget>(screen, "lswRFile");
    list->doItemsLayout();
    QCOMPARE(list->visualItemRect(list->item(0)).width(), 211);
    const int bottom = list->visualItemRect(list->item(2)).bottom();
    for (int y = 0; y <= bottom; ++y)
        QVERIFY2(list->itemAt(QPoint(60, y)), qPrintable(QString::number(y)));

    // A name with an extension is a recipe like any other; Enter on the current entry picks it.
    QTest::keyClick(list, Qt::Key_Home);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(text(screen, "txtRName"), QStringLiteral("notes.txt"));
    QCOMPARE(text(screen, "txtRA1"), QString());

    // A folder without files gives an empty list.
    for (const QString &name : f.app.entries(QStringLiteral("Category/Desserts")))
        QFile::remove(f.app.file(QStringLiteral("Category/Desserts/") + name));
    chooseCategory(screen, kDesserts);
    QVERIFY(entries(screen).isEmpty());
    QVERIFY(!deleteBox(screen)->isChecked());
    VERIFY_NO_UNEXPECTED_BOX(f.script);
}

void RecipeTest::category_missingFolderReportsTheList()
{
    Fixture f;
    writeCategories(f.app, "Desserts\r\nGone\r\n", {kDesserts});
    frmRecipe *screen = show();
    chooseCategory(screen, QStringLiteral("Gone"));
    verifyReport(screen, QStringLiteral("R - LF -"), 76);
    VERIFY_NO_UNEXPECTED_BOX(f.script);
}

void RecipeTest::verifyCard(frmRecipe *screen, const QString &name, const RecipeRecord &r)
{
    QCOMPARE(text(screen, "txtRName"), name);
    QCOMPARE(text(screen, "txtRDate"), today());
    for (int row = 1; row <= 10; ++row) {
        QCOMPARE(text(screen, qPrintable(QStringLiteral("txtRA%1").arg(row))), r.amount(row));
        QCOMPARE(text(screen, qPrintable(QStringLiteral("txtRT%1").arg(row))), r.type(row));
        QCOMPARE(text(screen, qPrintable(QStringLiteral("txtRI%1").arg(row))), r.ingredient(row));
    }
    QCOMPARE(control<QPlainTextEdit>(screen, "txtRDirec")->toPlainText(), r.directions());
    QCOMPARE(text(screen, "txtRTemp"), r.temperature());
    QCOMPARE(text(screen, "txtRSize"), r.servingSize());
    QCOMPARE(text(screen, "txtRHr1"), r.hours());
    QCOMPARE(text(screen, "txtRMin1"), r.minutes());
}

void RecipeTest::pick_showsTheLastRecord_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<RecipeRecord>("shown");

    // Commas inside fields and a multi-line direction, as the store writes them.
    RecipeRecord full = everyFieldFilled();
    QTest::newRow("every field") << QByteArray() << full;
    QTest::newRow("empty file") << QByteArray("") << RecipeRecord();
    QByteArray twice = "\"1\"";
    QByteArray second = "\"9\"";
    for (int field = 2; field <= 35; ++field) {
        twice += ",\"a\"";
        second += field == 33 ? ",\"12\"" : ",\"\"";
    }
    RecipeRecord last;
    last.amount(1) = QStringLiteral("9");
    last.servingSize() = QStringLiteral("12");
    QTest::newRow("two records") << twice + "\r\n" + second + "\r\n" << last;
}

void RecipeTest::pick_showsTheLastRecord()
{
    QFETCH(QByteArray, file);
    QFETCH(RecipeRecord, shown);
    Fixture f;
    writeCategories(f.app, "Desserts\r\n", {kDesserts});
    // The card shows the pick in full, whatever it showed before.
    store::saveRecipe(kDesserts, QStringLiteral("Before"), everyFieldFilled());
    if (file.isNull())
        store::saveRecipe(kDesserts, QStringLiteral("Picked"), shown);
    else
        f.app.write(QStringLiteral("Category/Desserts/Picked"), file);
    frmRecipe *screen = show();
    chooseCategory(screen, kDesserts);
    clickFile(screen, QStringLiteral("Before"));
    clickFile(screen, QStringLiteral("Picked"));

    verifyCard(screen, QStringLiteral("Picked"), shown);
    // The captions are not fields.
    QCOMPARE(text(screen, "txtRSrv"), QStringLiteral("Size:"));
    QCOMPARE(text(screen, "Text3"), QStringLiteral("Ingredients"));
    QVERIFY(deleteBox(screen)->isEnabled());
    QVERIFY(!deleteBox(screen)->isChecked());
    VERIFY_NO_UNEXPECTED_BOX(f.script);
}

void RecipeTest::pick_failureLeavesTheCard_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("number");
    QTest::newRow("record too short") << QStringLiteral("short") << 62;
    QTest::newRow("file gone") << QStringLiteral("gone") << 53;
    QTest::newRow("a folder, not a file") << QStringLiteral("folder") << 75;
}

void RecipeTest::pick_failureLeavesTheCard()
{
    QFETCH(QString, fault);
    QFETCH(int, number);
    Fixture f;
    writeCategories(f.app, "Desserts\r\n", {kDesserts});
    store::saveRecipe(kDesserts, QStringLiteral("Layer Cake"), everyFieldFilled());
    const QString bad = QStringLiteral("Category/Desserts/Bad");
    f.app.write(bad, "\"2\",\"cups\",\"flour\"\r\n");
    frmRecipe *screen = show();
    chooseCategory(screen, kDesserts);
    clickFile(screen, QStringLiteral("Layer Cake"));
    // Only the check box may change before the read fails.
    deleteBox(screen)->setEnabled(false);
    // The listed file is removed or replaced behind the screen's back.
    if (fault != u"short")
        QFile::remove(f.app.file(bad));
    if (fault == u"folder")
        f.app.makeFolder(bad);
    clickFile(screen, QStringLiteral("Bad"));

    verifyReport(screen, QStringLiteral("R - LF -"), number);
    QCOMPARE(text(screen, "txtRName"), QStringLiteral("Layer Cake"));
    QCOMPARE(text(screen, "txtRA1"), QStringLiteral("1"));
    QCOMPARE(control<QPlainTextEdit>(screen, "txtRDirec")->toPlainText(), everyFieldFilled().directions());
    QVERIFY(deleteBox(screen)->isEnabled());
    VERIFY_NO_UNEXPECTED_BOX(f.script);
}

void RecipeTest::pick_clickInAnEmptyListChangesNothing()
{
    Fixture f;
    writeCategories(f.app, "Desserts\r\n", {kDesserts});
    frmRecipe *screen = show();
    chooseCategory(screen, kDesserts);
    auto *list = control<QListWidget>(screen, "lswRFile");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(20, 20));

    QCOMPARE(text(screen, "txtRName"), QString());
    QCOMPARE(text(screen, "txtRDate"), QStringLiteral(" current date"));
    QVERIFY(!deleteBox(screen)->isEnabled());
    QVERIFY(screen->isVisible());
    VERIFY_NO_UNEXPECTED_BOX(f.script);
}

void RecipeTest::delete_removesOnlyThatFile()
{
    Fixture f;
    writeCategories(f.app, "Desserts\r\n", {kDesserts});
    store::saveRecipe(kDesserts, QStringLiteral("Layer Cake"), everyFieldFilled());
    store::saveRecipe(kDesserts, QStringLiteral("Tart"), everyFieldFilled());
    frmRecipe *screen = show();
    chooseCategory(screen, kDesserts);
    clickFile(screen, QStringLiteral("Tart"));
    QTest::mouseClick(deleteBox(screen), Qt::LeftButton);

    QCOMPARE(f.app.entries(QStringLiteral("Category/Desserts")), QStringList{QStringLiteral("Layer Cake")});
    QVERIFY(QDir(f.app.trashFiles()).entryList(QDir::Files).contains(QStringLiteral("Tart")));
    QVERIFY(entries(screen).isEmpty());
    QCOMPARE(control<QComboBox>(screen, "cboRCat")->currentText(), kDesserts);
    QVERIFY(!deleteBox(screen)->isChecked());
    QVERIFY(!deleteBox(screen)->isEnabled());
    QCOMPARE(text(screen, "txtRName"), QString());
    QCOMPARE(text(screen, "txtRSrv"), QStringLiteral("Srv:"));
    QCOMPARE(text(screen, "txtRHr"), QStringLiteral("H"));
    QVERIFY(screen->isVisible());
    // Checking the box is the confirmation: no question is asked.
    QVERIFY(f.script.boxes().isEmpty());
}

void RecipeTest::delete_failureKeepsTheFile_data()
{
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<int>("number");
    QTest::newRow("read-only file") << true << 70;
    QTest::newRow("no entry selected") << false << 91;
}

void RecipeTest::delete_failureKeepsTheFile()
{
    QFETCH(bool, readOnly);
    QFETCH(int, number);
    Fixture f;
    writeCategories(f.app, "Desserts\r\n", {kDesserts});
    store::saveRecipe(kDesserts, QStringLiteral("Tart"), everyFieldFilled());
    f.app.setReadOnly(QStringLiteral("Category/Desserts/Tart"), readOnly);
    frmRecipe *screen = show();
    chooseCategory(screen, kDesserts);
    clickFile(screen, QStringLiteral("Tart"));
    if (!readOnly) {
        // A click on blank space unselects the entry but still reads it.
        auto *list = control<QListWidget>(screen, "lswRFile");
        control<QLineEdit>(screen, "txtRName")->clear();
        const QPoint blank(list->viewport()->width() - 5, list->viewport()->height() - 5);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, blank);
        QVERIFY(list->selectedItems().isEmpty());
        QCOMPARE(text(screen, "txtRName"), QStringLiteral("Tart"));
    }
    QTest::mouseClick(deleteBox(screen), Qt::LeftButton);

    verifyReport(screen, QStringLiteral("R - CD -"), number);
    QVERIFY(f.app.exists(QStringLiteral("Category/Desserts/Tart")));
    QVERIFY(deleteBox(screen)->isChecked());
    QCOMPARE(text(screen, "txtRName"), QStringLiteral("Tart"));
    VERIFY_NO_UNEXPECTED_BOX(f.script);
}

void RecipeTest::new_restoresTheCaptions()
{
    Fixture f;
    frmRecipe *screen = showPickedTart(f);
    control<QLineEdit>(screen, "Text1")->setText(QStringLiteral("typed over"));
    QTest::mouseClick(control<QPushButton>(screen, "cmdRNew"), Qt::LeftButton);

    const QList<std::pair<const char *, QString>> captions{
        {"txtRSrv", QStringLiteral("Srv:")},
        {"txtRTemp1", QStringLiteral("F")},
        {"txtRSlash", QString(121, QLatin1Char('-'))},
        {"Text1", QStringLiteral("Amt")},
        {"Text2", QStringLiteral("Type")},
        {"Text3", QStringLiteral("Ingredients")},
        {"Text4", QStringLiteral("Amt")},
        {"Text5", QStringLiteral("Type")},
        {"Text6", QStringLiteral("Ingredients")},
        {"txtRHr", QStringLiteral("H")},
        {"txtRMin", QStringLiteral("M")},
        {"txtRDate", QString()},
        {"txtRName", QString()},
        {"txtRA1", QString()},
        {"txtRI10", QString()},
        {"txtRMin1", QString()},
    };
    for (const auto &[box, caption] : captions)
        QCOMPARE(text(screen, box), caption);
    QCOMPARE(control<QPlainTextEdit>(screen, "txtRDirec")->toPlainText(), QString());
    QVERIFY(entries(screen).isEmpty());
    QVERIFY(!deleteBox(screen)->isEnabled());
    QCOMPARE(control<QComboBox>(screen, "cboRCat")->currentText(), kDesserts);

    // The menu's New does the same.
    chooseCategory(screen, kDesserts);
    clickFile(screen, QStringLiteral("Tart"));
    screen->findChild<QAction *>(QStringLiteral("keyNew"))->trigger();
    QCOMPARE(text(screen, "txtRName"), QString());
    QVERIFY(entries(screen).isEmpty());
    QVERIFY(!deleteBox(screen)->isEnabled());
    VERIFY_NO_UNEXPECTED_BOX(f.script);
}

void RecipeTest::main_emptiesTheCardAndKeepsTheCategory()
{
    Fixture f;
    frmRecipe *screen = showPickedTart(f);
    screen->findChild<QAction *>(QStringLiteral("keyMain"))->trigger();

    QVERIFY(!screen->isVisible());
    QVERIFY(shell::ScreenRegistry::find(QStringLiteral("frmMain"))->isVisible());
    QVERIFY(deleteBox(screen)->isEnabled()); // Main only unchecks; showing the screen disables it

    show();
    QVERIFY(screen->isVisible());
    QVERIFY(!deleteBox(screen)->isEnabled());
    QVERIFY(!deleteBox(screen)->isChecked());
    QVERIFY(entries(screen).isEmpty());
    QCOMPARE(text(screen, "txtRName"), QString());
    QCOMPARE(text(screen, "txtRSrv"), QStringLiteral("Srv:"));
    QCOMPARE(text(screen, "txtRMin"), QStringLiteral("M"));
    QCOMPARE(control<QComboBox>(screen, "cboRCat")->currentText(), kDesserts);

    // The category list is not read again; the same category lists its files again.
    f.app.write(QStringLiteral("Category/category.txt"), "Other\r\n");
    chooseCategory(screen, kDesserts);
    QCOMPARE(entries(screen), QStringList{QStringLiteral("Tart")});
    VERIFY_NO_UNEXPECTED_BOX(f.script);
}

void RecipeTest::activate_disablesTheDeleteBox()
{
    Fixture f;
    writeCategories(f.app, "Desserts\r\n", {kDesserts});
    store::saveRecipe(kDesserts, QStringLiteral("Tart"), everyFieldFilled());
    shell::ScreenRegistry::show(QStringLiteral("frmMain"));
    frmRecipe *screen = show();
    QVERIFY(QTest::qWaitForWindowActive(screen));
    chooseCategory(screen, kDesserts);
    clickFile(screen, QStringLiteral("Tart"));
    QVERIFY(deleteBox(screen)->isEnabled());

    // Another screen of the program in between: coming back is an activation.
    QWidget *menu = shell::ScreenRegistry::find(QStringLiteral("frmMain"));
    menu->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(menu));
    screen->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(screen));
    QVERIFY(!deleteBox(screen)->isEnabled());
    VERIFY_NO_UNEXPECTED_BOX(f.script);
}

void RecipeTest::hover_turnsTheHintsRed()
{
    Fixture f;
    frmRecipe *screen = show();
    QVERIFY(QTest::qWaitForWindowExposed(screen));
    auto *cat = control<QLabel>(screen, "lblRMsg");
    auto *files = control<QLabel>(screen, "lblRMsg1");
    auto *del = control<QLabel>(screen, "lblRMsg2");
    auto *directions = control<QLabel>(screen, "lblRmsg3");
    const QColor red(255, 0, 0);
    const QColor normal = shell::systemColor(2);
    QCOMPARE(shell::textColor(directions), QColor(0, 0, 255));
    QCOMPARE(shell::textColor(cat), normal);

    const auto hover = [&](const char *name, QPoint at = QPoint(3, 3)) {
        QTest::mouseMove(control<QWidget>(screen, name), at);
    };
    hover("lblRCat");
    QCOMPARE(shell::textColor(cat), red);
    hover("lswRFile");
    QCOMPARE(shell::textColor(cat), red);
    hover("chkRDel");
    QCOMPARE(shell::textColor(cat), red);
    QCOMPARE(shell::textColor(files), red);
    QCOMPARE(shell::textColor(del), red);
    hover("cboRCat");
    QCOMPARE(shell::textColor(cat), red);
    hover("fraRWhich", QPoint(500, 120));
    QCOMPARE(shell::textColor(cat), normal);
    QCOMPARE(shell::textColor(files), normal);
    QCOMPARE(shell::textColor(del), normal);

    hover("cmdRMain");
    QCOMPARE(shell::textColor(directions), red);
    hover("clientArea", QPoint(4, 500));
    QCOMPARE(shell::textColor(directions), normal);
    hover("txtRDirec", QPoint(20, 20));
    QCOMPARE(shell::textColor(directions), red);
    VERIFY_NO_UNEXPECTED_BOX(f.script);
}

QTEST_MAIN(RecipeTest)
#include "recipe_test.moc"
