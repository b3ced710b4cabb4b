// The meal plan: opening it on a week of 21 planned meals to its first paint, and moving to the next week.

#include "bench/benchsupport.h"
#include "screens/plan.h"
#include "shell/screen.h"
#include "store/appfolder.h"
#include "store/mealplan.h"
#include "store/recipefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QTableView>
#include <QTemporaryDir>
#include <QWidget>

namespace bench {
namespace {

constexpr int kWeeks = 80;

// 21 recipes in one category and `kWeeks` weeks from `first`, each with the three meals of every day
// planned, a recipe each, one of them marked cooked.
void planWeeks(const QTemporaryDir &app, QDate first)
{
    makeOneCategory(app, QStringLiteral("Mains"));
    QStringList names;
    for (int i = 0; i < 21; ++i) {
        names << QStringLiteral("Planned dish %1").arg(i + 1);
        store::saveRecipe(QStringLiteral("Mains"), names.last(), sampleRecipe());
    }
    for (int week = 0; week < kWeeks; ++week) {
        const QDate monday = store::weekStart(first).addDays(7 * week);
        QList<store::PlannedMeal> meals;
        for (int day = 0; day < 7; ++day) {
            for (int meal = 0; meal < 3; ++meal) {
                const QString date = store::planDate(monday.addDays(day));
                meals.append({date, store::kDayMeals.at(meal), QStringLiteral("Mains"), names.at(day * 3 + meal),
                              QStringLiteral("4"), day == 0 && meal == 2 ? date : QString(), {}});
            }
        }
        store::saveWeek(monday, meals);
    }
}

void measurePlan()
{
    QTemporaryDir app;
    const QDate first = QDate::currentDate();
    planWeeks(app, first);

    auto *plan = shell::ScreenRegistry::show<frmPlan>();
    plan->grab();
    // The floor of a first paint: a bare window of the same size shown and painted.
    QWidget bare;
    bare.resize(plan->size());
    const auto [opening, bareShowing] = inTurns(
        [plan, &bare] {
            shell::ScreenRegistry::hide(plan);
            bare.hide();
            QCoreApplication::processEvents();
        },
        [plan] {
            // Showing reads the week's files again and looks for each planned recipe's file.
            shell::ScreenRegistry::show<frmPlan>();
            plan->grab();
        },
        [&bare] {
            bare.show();
            bare.grab();
        });
    auto *grid = plan->findChild<QTableView *>(QStringLiteral("grdPWeek"));
    int planned = 0;
    for (int row = 0; row < grid->model()->rowCount(); ++row) {
        for (int column = 0; column < 7; ++column)
            planned += grid->model()->index(row, column).data().toString().isEmpty() ? 0 : 1;
    }
    if (planned != 21)
        qFatal("planbench: the week shows %d planned meals instead of 21", planned);
    addFigure({"open the meal plan on a week of 21 planned meals, to the first paint", opening, bareShowing, 0, 30,
               "a bare window shown and painted"});

    // Each move reads a week not read before; the floor draws the week shown again.
    int week = 0;
    const auto [moving, drawing] =
        inTurns([] {},
                [plan, &week, first] {
                    plan->showWeek(first.addDays(7 * (++week % (kWeeks - 1))));
                    plan->grab();
                },
                [plan] { plan->grab(); },
                std::min(std::max(defaultRuns(), 31), kWeeks - 2));
    addFigure({"move to the next week of 21 planned meals (its file read, the window drawn)", moving, drawing, 2, 16,
               "the window drawn again as it is"});
    shell::ScreenRegistry::hide(plan);
    store::setApplicationFolder(QString());
}

const Registration kPlan("plan", 115, measurePlan);

} // namespace
} // namespace bench
