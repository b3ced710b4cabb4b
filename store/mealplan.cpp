#include "store/mealplan.h"

#include "store/appfolder.h"
#include "store/fileops.h"
#include "store/io/failure.h"
#include "store/io/textfile.h"

namespace store {

namespace {

// The records of the file at `path`: one a line, blank lines passed over. 62 for a line short of six fields.
QList<PlannedMeal> readMeals(const QString &path)
{
    QList<PlannedMeal> meals;
    TextReader reader = TextReader::open(path);
    while (!reader.atEnd()) {
        const QString line = reader.readLine();
        if (line.trimmed().isEmpty())
            continue;
        TextReader fields(line);
        PlannedMeal meal;
        for (QString *field : {&meal.date, &meal.meal, &meal.category, &meal.recipe, &meal.servings, &meal.cooked})
            *field = fields.readField();
        while (!fields.atEnd())
            meal.more.append(fields.readField());
        meals.append(meal);
    }
    return meals;
}

} // namespace

QString planDate(QDate date)
{
    return date.toString(Qt::ISODate);
}

QDate weekStart(QDate date)
{
    return date.addDays(1 - date.dayOfWeek());
}

QString weekFileName(QDate date)
{
    int year = 0;
    const int week = date.weekNumber(&year);
    return QStringLiteral("%1-W%2.txt").arg(year).arg(week, 2, 10, QLatin1Char('0'));
}

QString weekPath(QDate date)
{
    return dataPath({kMealPlanFolder, weekFileName(date)});
}

QList<PlannedMeal> loadWeek(QDate date)
{
    try {
        return readMeals(weekPath(date));
    } catch (const Failure &failure) {
        if (failure.number() == Failure::FileNotFound || failure.number() == Failure::PathNotFound)
            return {};
        throw;
    }
}

void saveWeek(QDate date, const QList<PlannedMeal> &meals)
{
    const QString folder = dataPath({kMealPlanFolder});
    if (!folderExists(folder)) {
        try {
            createFolder(folder);
        } catch (const Failure &failure) {
            // Another copy of the program may have made it a moment ago.
            if (failure.number() != Failure::FileAlreadyExists || !folderExists(folder))
                throw;
        }
    }
    const QString path = weekPath(date);
    // The writer holds the write lock, so the file looked at is the file replaced.
    TextWriter writer(path, TextWriter::Replace);
    if (fileExists(path))
        readMeals(path);
    for (const PlannedMeal &meal : meals)
        writer.writeQuotedFields(QStringList{meal.date, meal.meal, meal.category, meal.recipe, meal.servings,
                                             meal.cooked} +
                                 meal.more);
    writer.commit();
}

QString recipeKey(const QString &category, const QString &name)
{
    return category.toCaseFolded() + QLatin1Char('/') + name.toCaseFolded();
}

QHash<QString, QDate> lastCooked()
{
    QHash<QString, QDate> cooked;
    QStringList files;
    QString folder;
    try {
        folder = dataPath({kMealPlanFolder});
        files = listFiles(folder);
    } catch (const Failure &) {
        return cooked;
    }
    for (const QString &file : files) {
        if (!file.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive))
            continue;
        try {
            for (const PlannedMeal &meal : readMeals(folder + QLatin1Char('/') + file)) {
                const QDate on = meal.cookedOn();
                if (!meal.isRecipe() || !on.isValid())
                    continue;
                QDate &latest = cooked[recipeKey(meal.category, meal.recipe)];
                if (!latest.isValid() || latest < on)
                    latest = on;
            }
        } catch (const Failure &) {
            // A week that cannot be read tells nothing.
        }
    }
    return cooked;
}

void MealPlan::read(QDate first, int count)
{
    for (int day = 0; day < count; ++day) {
        const QDate week = weekStart(first.addDays(day));
        if (m_weeks.contains(week))
            continue;
        Week &read = m_weeks[week];
        try {
            read.meals = loadWeek(week);
        } catch (const Failure &failure) {
            read.failure = failure.number();
        }
    }
}

void MealPlan::clear()
{
    m_weeks.clear();
}

int MealPlan::failureOf(QDate day) const
{
    return m_weeks.value(weekStart(day)).failure;
}

QList<MealPlan::Ref> MealPlan::mealsOn(QDate day) const
{
    QList<Ref> refs;
    const QDate week = weekStart(day);
    const auto found = m_weeks.constFind(week);
    if (found == m_weeks.constEnd())
        return refs;
    const QString date = planDate(day);
    for (int i = 0; i < found->meals.size(); ++i) {
        if (found->meals.at(i).date == date)
            refs.append({week, i});
    }
    return refs;
}

const PlannedMeal &MealPlan::meal(Ref ref) const
{
    return m_weeks.find(ref.week)->meals.at(ref.index);
}

MealPlan::Week &MealPlan::writable(QDate day)
{
    read(day, 1);
    Week &week = m_weeks[weekStart(day)];
    if (week.failure != 0)
        throw Failure(Failure::Number(week.failure));
    return week;
}

MealPlan::Ref MealPlan::add(const PlannedMeal &meal)
{
    const QDate day = meal.day();
    if (!day.isValid())
        throw Failure(Failure::BadFileName);
    Week &week = writable(day);
    QList<PlannedMeal> meals = week.meals;
    meals.append(meal);
    saveWeek(day, meals);
    week.meals = meals;
    return {weekStart(day), int(meals.size() - 1)};
}

MealPlan::Ref MealPlan::change(Ref ref, const PlannedMeal &changed)
{
    const QDate day = changed.day();
    if (!day.isValid())
        throw Failure(Failure::BadFileName);
    if (weekStart(day) != ref.week) {
        const Ref moved = add(changed);
        remove(ref);
        return moved;
    }
    Week &week = writable(ref.week);
    QList<PlannedMeal> meals = week.meals;
    meals[ref.index] = changed;
    saveWeek(day, meals);
    week.meals = meals;
    return ref;
}

void MealPlan::remove(Ref ref)
{
    Week &week = writable(ref.week);
    QList<PlannedMeal> meals = week.meals;
    meals.removeAt(ref.index);
    saveWeek(ref.week, meals);
    week.meals = meals;
}

} // namespace store
