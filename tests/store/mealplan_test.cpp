#include "store/io/failure.h"
#include "store/mealplan.h"
#include "tests/support/appfolder.h"
#include "tests/support/rows.h"

#include <QTest>

using namespace Qt::StringLiterals;
using store::MealPlan;
using store::PlannedMeal;

namespace {

QDate day(const QString &iso)
{
    return QDate::fromString(iso, Qt::ISODate);
}

PlannedMeal dinner(const QString &date, const QString &recipe, const QString &cooked = {})
{
    return {date, u"Dinner"_s, u"Mains"_s, recipe, u"4"_s, cooked, {}};
}

// The meals of a day as "meal recipe servings", "|" between them.
QString shown(const MealPlan &plan, const QString &date)
{
    QStringList meals;
    for (const MealPlan::Ref ref : plan.mealsOn(day(date)))
        meals << plan.meal(ref).meal + ' ' + plan.meal(ref).recipe + ' ' + plan.meal(ref).servings;
    return meals.join('|');
}

} // namespace

class MealPlanTest : public QObject
{
    Q_OBJECT

private slots:
    // The week a day is filed under, by ISO 8601: weeks begin on Monday, and a week belongs to the year of its
    // Thursday, so the days around New Year may lie in the other year's first or last week.
    void weekFileName_data()
    {
        // date; its week's Monday; file name
        testing::addRows({
            "a week in December; 2026-12-07; 2026-12-07; 2026-W50.txt",
            "Sunday ends the week; 2026-12-13; 2026-12-07; 2026-W50.txt",
            "2026 begins on a Thursday: 53 weeks; 2026-12-31; 2026-12-28; 2026-W53.txt",
            "New Year's Day in the old year's week 53; 2027-01-01; 2026-12-28; 2026-W53.txt",
            "the first Sunday of 2027 too; 2027-01-03; 2026-12-28; 2026-W53.txt",
            "week 1 of 2027, two digits; 2027-01-04; 2027-01-04; 2027-W01.txt",
            "a December day in next year's week 1; 2024-12-30; 2024-12-30; 2025-W01.txt",
            "a leap year's 53rd week; 2020-12-31; 2020-12-28; 2020-W53.txt",
            "2021-01-03 in 2020's week 53; 2021-01-03; 2020-12-28; 2020-W53.txt",
            "29 February; 2028-02-29; 2028-02-28; 2028-W09.txt",
        });
    }
    void weekFileName()
    {
        const auto [date, monday, name] = testing::cells<3>();
        QCOMPARE(store::weekStart(day(date)), day(monday));
        QCOMPARE(store::weekFileName(day(date)), name);
    }

    // A week file read and written again is the same file, byte for byte: quotes doubled inside fields, letters
    // beyond ASCII, a meal that is no recipe, a meal of the user's own word, fields a later version added.
    void roundTrip_byteForByte_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("count");
        QTest::newRow("a week") << QByteArray("\"2026-12-07\",\"Dinner\",\"Stews\",\"Beef Stew\",\"4\",\"\"\r\n"
                                              "\"2026-12-08\",\"Lunch\",\"\",\"Leftovers\",\"\",\"\"\r\n"
                                              "\"2026-12-09\",\"Breakfast\",\"Desserts\",\"Crème brûlée\",\"2\","
                                              "\"2026-12-09\"\r\n")
                                << 3;
        QTest::newRow("quotes, commas, own words and later fields")
            << QByteArray("\"2026-12-10\",\"Elevenses\",\"\",\"Tea \"\"and\"\" cake, warm\",\"\",\"\"\r\n"
                          "\"2026-12-11\",\"Dinner\",\"Pies\",\"Apple Pie\",\"6\",\"\",\"later\",\"\"\r\n")
            << 2;
        QTest::newRow("empty week") << QByteArray() << 0;
    }
    void roundTrip_byteForByte()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, count);
        testing::AppFolder folder;
        folder.write("Meal Plan/2026-W50.txt", bytes);
        const QList<PlannedMeal> meals = store::loadWeek(day("2026-12-09"));
        QCOMPARE(meals.size(), qsizetype(count));
        store::saveWeek(day("2026-12-13"), meals);
        QCOMPARE(folder.read("Meal Plan/2026-W50.txt"), bytes);
        QCOMPARE(store::loadWeek(day("2026-12-07")), meals);
    }

    void save_writesTheFieldsAsTheRecipeFileDoes()
    {
        testing::AppFolder folder(testing::AppFolder::Empty);
        // The folder is made on the first save; a day of 2027's first days goes to 2026's last week.
        store::saveWeek(day("2027-01-01"), {dinner("2027-01-01", "Fish \"Pie\""),
                                            {"2027-01-02", "Lunch", "", "Eating out", "", "", {}}});
        QCOMPARE(folder.entries("Meal Plan"), QStringList{"2026-W53.txt"});
        QCOMPARE(folder.read("Meal Plan/2026-W53.txt"),
                 QByteArray("\"2027-01-01\",\"Dinner\",\"Mains\",\"Fish \"\"Pie\"\"\",\"4\",\"\"\r\n"
                            "\"2027-01-02\",\"Lunch\",\"\",\"Eating out\",\"\",\"\"\r\n"));
    }

    // A week file that cannot be read is reported and never written over: it may hold more than the plan shown.
    void unreadableWeek_isNeverOverwritten_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("failure");
        QTest::newRow("a record short of its cooked field")
            << QByteArray("\"2026-12-07\",\"Dinner\",\"Stews\",\"Beef Stew\",\"4\",\"\"\r\n"
                          "\"2026-12-08\",\"Dinner\",\"Stews\",\"Leek Soup\",\"4\"\r\n")
            << 62;
        QTest::newRow("a line of one field") << QByteArray("\"2026-12-07\"\r\n") << 62;
    }
    void unreadableWeek_isNeverOverwritten()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, failure);
        testing::AppFolder folder;
        folder.write("Meal Plan/2026-W50.txt", bytes);
        QCOMPARE(testing::failureOf([] { store::loadWeek(day("2026-12-07")); }), failure);
        QCOMPARE(testing::failureOf([] { store::saveWeek(day("2026-12-07"), {dinner("2026-12-07", "Pie")}); }),
                 failure);
        MealPlan plan;
        plan.read(day("2026-12-06"), 7); // Sunday to Saturday: two weeks
        QCOMPARE(plan.failureOf(day("2026-12-08")), failure);
        QCOMPARE(plan.failureOf(day("2026-12-06")), 0);
        QVERIFY(plan.mealsOn(day("2026-12-07")).isEmpty());
        QCOMPARE(testing::failureOf([&plan] { plan.add(dinner("2026-12-09", "Pie")); }), failure);
        QCOMPARE(folder.read("Meal Plan/2026-W50.txt"), bytes);
        // The readable week beside it takes its meals.
        plan.add(dinner("2026-12-06", "Pie"));
        QCOMPARE(shown(plan, "2026-12-06"), "Dinner Pie 4");
        QCOMPARE(folder.entries("Meal Plan"), QStringList({"2026-W49.txt", "2026-W50.txt"}));
    }

    // Adding, changing, moving across a week's end and removing, each written at once.
    void plan_changesAreWrittenAtOnce()
    {
        testing::AppFolder folder;
        MealPlan plan;
        plan.read(day("2026-12-13"), 7);
        const MealPlan::Ref stew = plan.add(dinner("2026-12-13", "Beef Stew"));
        const MealPlan::Ref soup = plan.add(dinner("2026-12-14", "Leek Soup"));
        PlannedMeal changed = plan.meal(soup);
        changed.servings = "6";
        plan.change(soup, changed);
        QCOMPARE(shown(plan, "2026-12-14"), "Dinner Leek Soup 6");
        // Sunday's stew moves to Tuesday, into the next week's file.
        changed = plan.meal(stew);
        changed.date = "2026-12-15";
        changed.meal = "Lunch";
        const MealPlan::Ref moved = plan.change(stew, changed);
        QCOMPARE(moved.week, day("2026-12-14"));
        QCOMPARE(shown(plan, "2026-12-13"), "");
        QCOMPARE(shown(plan, "2026-12-15"), "Lunch Beef Stew 4");
        QCOMPARE(folder.read("Meal Plan/2026-W50.txt"), QByteArray());
        QCOMPARE(store::loadWeek(day("2026-12-14")).size(), 2);
        // What another MealPlan reads is what this one shows.
        MealPlan again;
        again.read(day("2026-12-14"), 1);
        QCOMPARE(shown(again, "2026-12-15"), "Lunch Beef Stew 4");
        plan.remove(plan.mealsOn(day("2026-12-14")).first());
        QCOMPARE(shown(plan, "2026-12-15"), "Lunch Beef Stew 4");
        QCOMPARE(store::loadWeek(day("2026-12-14")).size(), 1);
    }

    void lastCooked_theLatestMarkOfEachRecipe()
    {
        testing::AppFolder folder;
        store::saveWeek(day("2026-12-07"), {dinner("2026-12-07", "Beef Stew", "2026-12-07"),
                                            dinner("2026-12-08", "Leek Soup"),
                                            {"2026-12-09", "Dinner", "", "Beef Stew", "", "2026-12-09", {}}});
        store::saveWeek(day("2026-11-30"), {dinner("2026-11-30", "beef stew", "2026-12-30")});
        store::saveWeek(day("2026-12-14"), {dinner("2026-12-14", "Beef Stew", "2026-12-14")});
        folder.write("Meal Plan/2026-W52.txt", "\"2026-12-21\",\"Dinner\",\"Mains\",\"Beef Stew\"\r\n");
        const QHash<QString, QDate> cooked = store::lastCooked();
        // Letter case does not count; a meal that is no recipe and an unmarked one count for nothing.
        QCOMPARE(cooked.size(), 1);
        QCOMPARE(cooked.value(store::recipeKey("MAINS", "Beef Stew")), day("2026-12-30"));
    }
};

QTEST_GUILESS_MAIN(MealPlanTest)
#include "mealplan_test.moc"
