#include "screens/cook.h"
#include "screens/plan.h"
#include "screens/planshop.h"
#include "screens/planweek.h"
#include "screens/shop.h"
#include "store/mealplan.h"
#include "store/recipefile.h"
#include "tests/support/printer.h"
#include "tests/support/rows.h"
#include "tests/support/screenfixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QListView>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QSettings>
#include <QSpinBox>
#include <QTreeWidget>

using namespace Qt::StringLiterals;
using shell::ScreenRegistry;

namespace {

// A week far from today, so that what the screen shows does not depend on the day the test runs.
const QDate kWeek(2030, 6, 5);

// The meal plan over three recipes of the category Mains.
struct Plan : testing::ScreenFixture
{
    Plan()
    {
        use<frmPlan>();
        folder.addCategory("Mains");
        store::saveRecipe("Mains", "Beef Stew",
                          testing::recipe({"2|lb|stewing beef", "2||onions", "1|cup|milk", "||salt"}, "Simmer.",
                                          {"", "4"}));
        store::saveRecipe("Mains", "Leek Soup",
                          testing::recipe({"2||leeks", "1||onion, chopped", "250|ml|milk", "||Salt, to taste"},
                                          "Boil.", {"", "2"}));
        store::saveRecipe("Mains", "Apple Pie", testing::recipe({"6||apples", "1|cup|flour"}, "Bake.", {"", "8"}));
        ownKeys = [this](const QString &key) { return key == u"week" ? week() : QString(); };
        run("show");
        plan()->showWeek(kWeek);
    }
    frmPlan *plan() const { return static_cast<frmPlan *>(screen); }
    WeekGrid *grid() const { return get<WeekGrid>("grdPWeek"); }
    PlanWeek *model() const { return static_cast<PlanWeek *>(grid()->model()); }
    QDate day(int column) const { return model()->firstDay().addDays(column); }
    // The cell of the meal's first dish on the day `column` of the week.
    QModelIndex cell(const QString &meal, int column) const
    {
        for (int row = 0; row < model()->rowCount(); ++row) {
            if (model()->headerData(row, Qt::Vertical, Qt::DisplayRole) == meal)
                return model()->index(row, column);
        }
        return {};
    }
    // What the week shows: "column meal: text" for each planned meal, "|" between them.
    QString week() const
    {
        QStringList shown;
        for (int column = 0; column < 7; ++column) {
            for (int row = 0; row < model()->rowCount(); ++row) {
                const QString text = model()->index(row, column).data().toString();
                if (!text.isEmpty())
                    shown << u"%1 %2: %3"_s.arg(column).arg(model()->mealAt(model()->index(row, column)),
                                                            QString(text).replace('\n', " / "));
            }
        }
        return shown.join('|');
    }
    // Finds `words` and chooses the first result.
    void find(const QString &words)
    {
        run("set txtPWhat= > type txtPWhat=" + words);
        QTRY_VERIFY(get<QListView>("lstPFound")->model()->rowCount() > 0 &&
                    get<QListView>("lstPFound")->model()->index(0, 0).data().toString().contains(words, Qt::CaseInsensitive));
        get<QListView>("lstPFound")->setCurrentIndex(get<QListView>("lstPFound")->model()->index(0, 0));
    }
    // Drops the data a drag from `from` carries on the week's cell, as the mouse does.
    void drop(QAbstractItemModel *from, const QModelIndex &dragged, const QModelIndex &onto)
    {
        std::unique_ptr<QMimeData> data(from->mimeData({dragged}));
        QVERIFY(model()->dropMimeData(data.get(), Qt::MoveAction, -1, -1, onto));
    }
    // Drags the data over the week's cell and drops it there, as the mouse does: the events the window
    // system delivers to the grid's viewport, at the middle of the cell. Whether the drop was taken.
    bool dragAndDrop(const QMimeData &data, const QModelIndex &onto, Qt::DropActions actions)
    {
        const QPoint at = grid()->visualRect(onto).center();
        QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(grid()->viewport(), &enter);
        QDragMoveEvent move(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(grid()->viewport(), &move);
        if (!enter.isAccepted() || !move.isAccepted())
            return false;
        QDropEvent drop(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
        drop.setDropAction(move.dropAction());
        QCoreApplication::sendEvent(grid()->viewport(), &drop);
        return drop.isAccepted();
    }
    // Runs the steps on another screen and reads its keys.
    QString on(const char *name, const QString &steps, const QString &keys)
    {
        const QScopedValueRollback other(screen, ScreenRegistry::find(QLatin1String(name)));
        run(steps);
        return state(keys);
    }
    QByteArray weekFile(int column) const { return folder.read("Meal Plan/" + store::weekFileName(day(column))); }
    // The plan's records of the shown week's days, as "column meal recipe servings cooked", "|" between them.
    QString records() const
    {
        QStringList all;
        for (int column = 0; column < 7; ++column) {
            for (const store::PlannedMeal &meal : model()->mealsOn(day(column)))
                all << u"%1 %2 %3/%4 %5 %6"_s.arg(column).arg(meal.meal, meal.category, meal.recipe, meal.servings,
                                                             meal.cooked.isEmpty() ? "-" : "cooked");
        }
        return all.join('|');
    }
    // The shopping list as shown: headings and their lines, "|" between them, a ticked line in brackets.
    QString shoppingList() const
    {
        QStringList shown;
        auto *list = get<QTreeWidget>("lstPSList");
        for (int group = 0; group < list->topLevelItemCount(); ++group) {
            QStringList lines;
            for (int line = 0; line < list->topLevelItem(group)->childCount(); ++line) {
                const QTreeWidgetItem *item = list->topLevelItem(group)->child(line);
                lines << (item->checkState(0) == Qt::Checked ? "[" + item->text(0) + "]" : item->text(0));
            }
            shown << list->topLevelItem(group)->text(0) + ": " + lines.join(", ");
        }
        return shown.join('|');
    }
};

} // namespace

class PlanTest : public QObject
{
    Q_OBJECT

private slots:
    void screen_namesEveryControl()
    {
        Plan f;
        QCOMPARE(f.screen->windowTitle(), "Meal plan");
        const QStringList names{"grdPWeek=Week",           "txtPWhat=Find",     "lstPFound=Recipes found",
                                "txtPServ=Servings",       "txtPHouse=Household size", "lstPSList=Shopping list",
                                "cboPSAisle=Aisle"};
        for (const QString &each : names)
            QCOMPARE(f.get(each.section('=', 0, 0))->accessibleName(), each.section('=', 1));
        for (QPushButton *button : f.screen->findChildren<QPushButton *>())
            QVERIFY2(!button->text().isEmpty(), qPrintable(button->objectName()));
        // The days from the locale's first day of the week, the meals of a day.
        QCOMPARE(f.day(0), PlanWeek::firstDayFor(kWeek));
        QCOMPARE(f.day(0).dayOfWeek(), int(QLocale().firstDayOfWeek()));
        QCOMPARE(f.model()->headerData(2, Qt::Vertical, Qt::DisplayRole).toString(), "Dinner");
    }

    // The whole way through: three recipes on three days, servings, a move, a meal cooked, the list for two
    // days and the classic shopping list screen with it.
    void plan_threeRecipes_shopForTwoDays()
    {
        Plan f;
        // Beef Stew by Enter on Monday's dinner: it starts at the recipe's own 4 servings.
        f.find("stew");
        f.grid()->setCurrentIndex(f.cell("Dinner", 1));
        QTest::keyClick(f.grid(), Qt::Key_Return);
        // Leek Soup dragged onto Tuesday's lunch, with a household of 3 set.
        f.get<QSpinBox>("txtPHouse")->setValue(3);
        f.find("leek");
        f.drop(f.get<QListView>("lstPFound")->model(), f.get<QListView>("lstPFound")->currentIndex(),
               f.cell("Lunch", 2));
        // Apple Pie by Enter on Wednesday's dinner, then dragged to Thursday's.
        f.find("apple");
        f.grid()->setCurrentIndex(f.cell("Dinner", 3));
        QTest::keyClick(f.get<QListView>("lstPFound"), Qt::Key_Return);
        QCOMPARE(f.records(), "1 Dinner Mains/Beef Stew 4 -|2 Lunch Mains/Leek Soup 3 -|3 Dinner Mains/Apple Pie 3 -");
        f.drop(f.model(), f.cell("Dinner", 3), f.cell("Dinner", 4));
        QTRY_COMPARE(f.records(), "1 Dinner Mains/Beef Stew 4 -|2 Lunch Mains/Leek Soup 3 -|4 Dinner Mains/Apple Pie 3 -");
        // The stew for 8, the soup cooked.
        f.grid()->setCurrentIndex(f.cell("Dinner", 1));
        f.get<QSpinBox>("txtPServ")->setValue(8);
        f.grid()->setCurrentIndex(f.cell("Lunch", 2));
        f.run("click cmdPCooked");
        QCOMPARE(f.records(), "1 Dinner Mains/Beef Stew 8 -|2 Lunch Mains/Leek Soup 3 cooked|4 Dinner Mains/Apple Pie 3 -");
        QCOMPARE(f.state("week"), "1 Dinner: Beef Stew / 8 servings|2 Lunch: Leek Soup / 3 servings · cooked " +
                                      QLocale().toString(QDate::currentDate(), "d MMM") +
                                      "|4 Dinner: Apple Pie / 3 servings");
        // On the disk, as another copy of the program reads it.
        const QString file = QString::fromUtf8(f.weekFile(1) + f.weekFile(2) + f.weekFile(4));
        QVERIFY(file.contains("\"" + store::planDate(f.day(1)) + "\",\"Dinner\",\"Mains\",\"Beef Stew\",\"8\",\"\"\r\n"));
        QVERIFY(file.contains("\"Leek Soup\",\"3\",\"" + store::planDate(QDate::currentDate()) + "\"\r\n"));

        // Shopping for Monday and Tuesday: the stew for 8 (twice its amounts) and the soup for 3 (1 1/2 times).
        f.run("click cmdPShop");
        for (int column = 0; column < 7; ++column)
            f.get<QCheckBox>(u"chkPSDay%1"_s.arg(column + 1))->setChecked(column == 1 || column == 2);
        QCOMPARE(f.get<PlanShop>("fraPShop")->heading(),
                 u"Shopping for %1, %2: Beef Stew (8), Leek Soup (3)"_s.arg(
                     QLocale().toString(f.day(1), "ddd d MMM"), QLocale().toString(f.day(2), "ddd d MMM")));
        QCOMPARE(f.shoppingList(), "Produce: 5 1/2 onions, 3 leeks|Dairy: 3 5/8 cups milk|"
                                   "Meat and fish: 4 lb stewing beef|Check you have: salt");
        // Leeks moved to the frozen aisle, kept for next time; the onions ticked as bought.
        f.get<QTreeWidget>("lstPSList")->setCurrentItem(f.get<QTreeWidget>("lstPSList")->topLevelItem(0)->child(1));
        f.run("pick cboPSAisle=Frozen");
        QCOMPARE(f.folder.read("Kitchen/aisles.txt"), "\"leek\",\"Frozen\"\r\n");
        f.get<QTreeWidget>("lstPSList")->topLevelItem(0)->child(0)->setCheckState(0, Qt::Checked);
        QCOMPARE(f.shoppingList(), "Produce: [5 1/2 onions]|Dairy: 3 5/8 cups milk|Meat and fish: 4 lb stewing beef|"
                                   "Frozen: 3 leeks|Check you have: salt");

        // Printed: aisles as bold headings, what is not bought yet.
        const QString heading = f.get<PlanShop>("fraPShop")->heading();
        testing::Printout out;
        f.get<PlanShop>("fraPShop")->setPrinterSetup(
            [&out](QWidget *, const QString &) { return std::make_unique<testing::RecordingPrinter>(out); });
        f.run("click cmdPSPrint");
        QCOMPARE(out.documents, 1);
        QCOMPARE(out.lines.first(), "**Shopping list**");
        QCOMPARE(out.lines.mid(1).join('|'), heading + "||**Dairy**|□ 3 5/8 cups milk||**Meat and fish**|□ 4 lb stewing beef||"
                                             "**Frozen**|□ 3 leeks||**Check you have**|□ salt");
        // Milk made a staple: it leaves the list for "Check you have", and the staples are kept.
        PlanShop::setStaplesEditor([](QWidget *, const QString &staples) {
            return std::optional<QString>(staples + "\nmilk\n");
        });
        f.run("click cmdPSStaples");
        PlanShop::setStaplesEditor({});
        QCOMPARE(f.shoppingList(), "Produce: [5 1/2 onions]|Meat and fish: 4 lb stewing beef|Frozen: 3 leeks|"
                                   "Check you have: 3 5/8 cups milk, salt");
        QVERIFY(f.folder.read("Kitchen/staples.txt").endsWith("water\r\nmilk\r\n"));
        // Sent to the classic shopping list screen, ready to be saved there.
        f.run("click cmdPSSend");
        const QString sent = heading + "\n\nMeat and fish:\n4 lb stewing beef\n\nFrozen:\n3 leeks\n\n"
                                       "Check you have:\n3 5/8 cups milk\nsalt";
        QCOMPARE(f.on("frmShop", "", "screen txtHList"), "shown / " + sent);
        // Sent again, the list open there is added to only when the user says so.
        f.run("answer 6 > click cmdPSSend");
        QCOMPARE(f.state("boxes"), "36 Add to shopping list: The shopping list screen has a list open.\rAdd this list "
                                   "to it?\r\rNo starts a new list.");
        QCOMPARE(f.on("frmShop", "", "txtHList"), sent + '\n' + sent);
        f.run("answer 7 > click cmdPSSend");
        QCOMPARE(f.on("frmShop", "", "txtHList"), sent);
    }

    // Opened in the recipe window at its planned servings; renamed since, it stays in the plan as missing.
    void open_scaledAndMissingWhenRenamed()
    {
        Plan f;
        f.find("stew");
        f.grid()->setCurrentIndex(f.cell("Dinner", 5));
        f.run("click cmdPAdd");
        f.get<QSpinBox>("txtPServ")->setValue(8);
        f.run("click cmdPOpen");
        auto *cook = ScreenRegistry::find<frmCook>();
        QVERIFY(cook && cook->isVisible());
        QCOMPARE(cook->findChild<QSpinBox *>("txtKServ")->value(), 8);
        QCOMPARE(cook->findChild<QListWidget *>("lstKIngred")->item(0)->text(), "4 lb stewing beef");
        ScreenRegistry::hide(cook);

        QVERIFY(QFile::rename(f.folder.file("Category/Mains/Beef Stew"), f.folder.file("Category/Mains/Stew")));
        ScreenRegistry::hide(f.screen);
        f.run("show");
        QCOMPARE(f.state("week"), "5 Dinner: Beef Stew / 8 servings · missing");
        QCOMPARE(f.records(), "5 Dinner Mains/Beef Stew 8 -");
        f.grid()->setCurrentIndex(f.cell("Dinner", 5));
        f.run("answer 1 > click cmdPOpen");
        QVERIFY(f.state("boxes").contains("The recipe Beef Stew in Mains\rcould not be read"));
        QVERIFY(!cook->isVisible());
    }

    // A meal that is no recipe, typed; Delete takes it out again.
    void typedMeal_addedAndDeleted()
    {
        Plan f;
        f.grid()->setCurrentIndex(f.cell("Lunch", 0));
        f.run("type txtPWhat=Leftovers > click cmdPText");
        QCOMPARE(f.records(), "0 Lunch /Leftovers  -");
        QCOMPARE(f.weekFile(0), "\"" + store::planDate(f.day(0)).toUtf8() + "\",\"Lunch\",\"\",\"Leftovers\",\"\",\"\"\r\n");
        QVERIFY(!f.get<QSpinBox>("txtPServ")->isEnabled() && !f.get<QPushButton>("cmdPOpen")->isEnabled());
        // A second dish for the same meal gets a row of its own.
        f.run("set txtPWhat= > type txtPWhat=Salad > click cmdPText");
        QCOMPARE(f.state("week"), "0 Lunch: Leftovers|0 Lunch: Salad");
        f.grid()->setCurrentIndex(f.cell("Lunch", 0));
        QTest::keyClick(f.grid(), Qt::Key_Delete);
        QCOMPARE(f.state("week"), "0 Lunch: Salad");
        QCOMPARE(f.model()->rowCount(), 3);
    }

    // Dragged and dropped with the mouse: a recipe of the results onto a cell, a planned meal to another cell
    // (another meal of another day) and onto a cell that holds one; what is no meal is refused.
    void dragAndDrop_byTheMouse()
    {
        Plan f;
        auto *results = f.get<QListView>("lstPFound");
        f.find("leek");
        std::unique_ptr<QMimeData> recipe(results->model()->mimeData({results->currentIndex()}));
        QVERIFY(f.dragAndDrop(*recipe, f.cell("Lunch", 2), Qt::CopyAction | Qt::MoveAction));
        QCOMPARE(f.records(), "2 Lunch Mains/Leek Soup 2 -");
        QCOMPARE(f.grid()->currentIndex(), f.cell("Lunch", 2));
        f.find("stew");
        recipe.reset(results->model()->mimeData({results->currentIndex()}));
        QVERIFY(f.dragAndDrop(*recipe, f.cell("Dinner", 6), Qt::CopyAction));
        QCOMPARE(f.records(), "2 Lunch Mains/Leek Soup 2 -|6 Dinner Mains/Beef Stew 4 -");

        std::unique_ptr<QMimeData> planned(f.model()->mimeData({f.cell("Lunch", 2)}));
        QVERIFY(f.dragAndDrop(*planned, f.cell("Dinner", 0), Qt::CopyAction | Qt::MoveAction));
        QTRY_COMPARE(f.records(), "0 Dinner Mains/Leek Soup 2 -|6 Dinner Mains/Beef Stew 4 -");
        QCOMPARE(f.weekFile(2), "\"" + store::planDate(f.day(0)).toUtf8() +
                                    "\",\"Dinner\",\"Mains\",\"Leek Soup\",\"2\",\"\"\r\n\"" +
                                    store::planDate(f.day(6)).toUtf8() +
                                    "\",\"Dinner\",\"Mains\",\"Beef Stew\",\"4\",\"\"\r\n");
        // Onto a cell that holds a meal: the meal dropped becomes a second dish of that meal.
        planned.reset(f.model()->mimeData({f.cell("Dinner", 0)}));
        QVERIFY(f.dragAndDrop(*planned, f.cell("Dinner", 6), Qt::MoveAction));
        QTRY_COMPARE(f.state("week"), "6 Dinner: Leek Soup / 2 servings|6 Dinner: Beef Stew / 4 servings");
        QCOMPARE(f.model()->rowCount(), 4);
        // Text from elsewhere is no meal: the grid refuses it and nothing changes.
        QMimeData text;
        text.setText("Beef Stew");
        QVERIFY(!f.dragAndDrop(text, f.cell("Lunch", 3), Qt::CopyAction));
        QCOMPARE(f.records(), "6 Dinner Mains/Leek Soup 2 -|6 Dinner Mains/Beef Stew 4 -");
    }

    // A meal of the user's own word: its row added from the screen, a recipe planned in it and written with
    // that word; the row stays while the week shows, and one that holds nothing is gone in another week.
    void ownMeal_rowAddedAndPlanned()
    {
        Plan f;
        QStringList answers{"  Snack ", "dinner", "", "Brunch"};
        WeekGrid::setMealAsker([&answers](QWidget *) { return answers.takeFirst(); });
        const auto restore = qScopeGuard([] { WeekGrid::setMealAsker({}); });
        f.grid()->setCurrentIndex(f.cell("Lunch", 2));
        f.run("click cmdPMeal");
        QCOMPARE(f.model()->rowCount(), 4);
        QCOMPARE(f.model()->headerData(3, Qt::Vertical, Qt::DisplayRole).toString(), "Snack");
        QCOMPARE(f.grid()->currentIndex(), f.cell("Snack", 2));
        QCOMPARE(f.folder.read("Meal Plan/" + store::weekFileName(f.day(2))), QByteArray());
        // Shown again, the screen still has the row.
        ScreenRegistry::hide(f.screen);
        f.run("show");
        QCOMPARE(f.model()->headerData(3, Qt::Vertical, Qt::DisplayRole).toString(), "Snack");
        f.find("stew");
        f.grid()->setCurrentIndex(f.cell("Snack", 2));
        QTest::keyClick(f.grid(), Qt::Key_Return);
        QCOMPARE(f.records(), "2 Snack Mains/Beef Stew 4 -");
        QCOMPARE(f.weekFile(2),
                 "\"" + store::planDate(f.day(2)).toUtf8() + "\",\"Snack\",\"Mains\",\"Beef Stew\",\"4\",\"\"\r\n");
        // From the grid's menu, a word the week has already chooses its row; no word adds nothing.
        QAction *menuItem = f.grid()->actions().value(0);
        QVERIFY(menuItem && menuItem->text() == "Add meal..." && !menuItem->toolTip().isEmpty());
        QCOMPARE(f.grid()->contextMenuPolicy(), Qt::ActionsContextMenu);
        menuItem->trigger();
        QCOMPARE(f.grid()->currentIndex(), f.cell("Dinner", 2));
        menuItem->trigger();
        QCOMPARE(f.model()->rowCount(), 4);
        // Moved away, the snack's row stays while the week shows.
        f.drop(f.model(), f.cell("Snack", 2), f.cell("Dinner", 4));
        QTRY_COMPARE(f.records(), "4 Dinner Mains/Beef Stew 4 -");
        QCOMPARE(f.model()->headerData(3, Qt::Vertical, Qt::DisplayRole).toString(), "Snack");
        // Another week and back: only the meals planned make rows.
        f.run("click cmdPMeal");
        QCOMPARE(f.model()->rowCount(), 5);
        f.run("click cmdPNext > click cmdPPrev");
        QCOMPARE(f.model()->rowCount(), 3);
    }

    // A week file that cannot be read is reported once, shows nothing, takes no meal and stays as it was.
    void unreadableWeek_reportedAndKept()
    {
        Plan f;
        const QDate later = kWeek.addDays(14);
        const QString name = "Meal Plan/" + store::weekFileName(PlanWeek::firstDayFor(later).addDays(3));
        const QByteArray broken = "\"2030-06-20\",\"Dinner\",\"Mains\",\"Beef Stew\"\r\n";
        f.folder.write(name, broken);
        f.run("answer 1");
        f.plan()->showWeek(later);
        QCOMPARE(f.state("boxes"), "4144 Larderon: The meal plan file " + name.mid(10) +
                                       " could not be read (Input past end of file).\rIts days show nothing and "
                                       "take no meals; the file is kept as it is.");
        f.find("stew");
        f.grid()->setCurrentIndex(f.cell("Dinner", 3));
        f.run("answer 1 > click cmdPAdd");
        QVERIFY(f.state("boxes").contains("so its days take no changes"));
        QCOMPARE(f.folder.read(name), broken);
        f.plan()->showWeek(kWeek);
        f.plan()->showWeek(later); // reported once
        QCOMPARE(f.state("boxes").count("could not be read"), 2);
    }

    void householdAndSize_kept()
    {
        Plan f;
        f.get<QSpinBox>("txtPHouse")->setValue(5);
        f.screen->resize(1200, 700);
        ScreenRegistry::hide(f.screen);
        const QSettings kept(f.folder.file(".larderon/settings.ini"), QSettings::IniFormat);
        QCOMPARE(kept.value("frmPlan/household").toInt(), 5);
        QCOMPARE(kept.value("frmPlan/size").toSize(), QSize(1200, 700));
        QCOMPARE(f.folder.read("LD.ini"), QByteArray());
    }

    // "Shop for..." starts with the days from today to the end of this week, and with every day of another.
    void shopFor_startsWithTheRestOfThisWeek()
    {
        Plan f;
        f.run("click cmdPThis > click cmdPShop");
        const QDate today = QDate::currentDate();
        for (int column = 0; column < 7; ++column)
            QCOMPARE(f.get<QCheckBox>(u"chkPSDay%1"_s.arg(column + 1))->isChecked(), f.day(column) >= today);
        // Whatever day the test runs on: as on the week's fourth day.
        f.plan()->shopPage()->start(f.model(), f.day(3));
        for (int column = 0; column < 7; ++column)
            QCOMPARE(f.get<QCheckBox>(u"chkPSDay%1"_s.arg(column + 1))->isChecked(), column >= 3);
        f.run("click cmdPSBack > click cmdPNext > click cmdPShop");
        for (int column = 0; column < 7; ++column)
            QVERIFY(f.get<QCheckBox>(u"chkPSDay%1"_s.arg(column + 1))->isChecked());
        QCOMPARE(f.state("lblPSHeading").section(':', -1), " no recipes planned");
    }
};

QTEST_MAIN(PlanTest)
#include "plan_test.moc"
