#pragma once

#include <QDate>
#include <QHash>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

/// The meal plan: what is cooked on which day, kept as one text file per ISO week in the folder Meal Plan
/// of the application folder ("Meal Plan/2026-W50.txt"). A file holds one record per planned meal, six
/// quoted fields as the recipe file writes them: date (yyyy-MM-dd), meal, category, recipe, servings,
/// cooked (empty, or the date it was marked cooked). A meal that is no recipe ("Leftovers") has an empty
/// category and its text in the recipe field. Records keep the order of the file; what is read is written
/// back byte for byte.
namespace store {

inline const QString kMealPlanFolder = QStringLiteral("Meal Plan");

/// The meals every day has, in the order of a day.
inline const QStringList kDayMeals = {QStringLiteral("Breakfast"), QStringLiteral("Lunch"), QStringLiteral("Dinner")};

/// One planned meal, its fields as the file holds them.
struct PlannedMeal
{
    QString date;     ///< yyyy-MM-dd
    QString meal;     ///< "Breakfast", "Lunch", "Dinner" or the user's own word
    QString category; ///< the recipe's category; empty for a meal that is no recipe
    QString recipe;   ///< the recipe's name, or the text of a meal that is no recipe
    QString servings; ///< a whole number, or empty
    QString cooked;   ///< empty, or the date it was marked cooked (yyyy-MM-dd)
    QStringList more; ///< fields after the sixth, as a later version may write them: kept, never read

    /// The date as a date; invalid when the field holds no date.
    QDate day() const { return QDate::fromString(date, Qt::ISODate); }
    QDate cookedOn() const { return QDate::fromString(cooked, Qt::ISODate); }
    bool isRecipe() const { return !category.isEmpty(); }
    friend bool operator==(const PlannedMeal &, const PlannedMeal &) = default;
};

/// The date as the plan's fields write it: yyyy-MM-dd.
QString planDate(QDate date);

/// The Monday of the ISO week that holds `date`.
QDate weekStart(QDate date);
/// The name of the file of the ISO week that holds `date`: "<ISO year>-W<week, two digits>.txt". The ISO
/// year is that of the week's Thursday, so 2027-01-01 (a Friday) lies in "2026-W53.txt".
QString weekFileName(QDate date);
/// Meal Plan/<weekFileName(date)>.
QString weekPath(QDate date);

/// The records of the week file that holds `date`, in file order; none when the file or the Meal Plan
/// folder is missing. 62 when a record ends before its sixth field, 75 when the file cannot be read.
QList<PlannedMeal> loadWeek(QDate date);

/// Writes `meals` as the week file that holds `date`, synced and put in place whole (store/io/textfile.h);
/// the Meal Plan folder is made when missing. A file there that cannot be read (loadWeek() fails) is never
/// replaced, since it may hold more than `meals`: its failure is thrown and it stays as it is. Others as for
/// TextWriter.
void saveWeek(QDate date, const QList<PlannedMeal> &meals);

/// The key lastCooked() gives a recipe: category and name, letter case not counting.
QString recipeKey(const QString &category, const QString &name);
/// The latest date each recipe was marked cooked, across every week file of the Meal Plan folder, by
/// recipeKey(). A file that cannot be read is passed over.
QHash<QString, QDate> lastCooked();

/// The planned meals of a span of days, read from the week files that hold them and written back at each
/// change. A meal is known by its week (the Monday) and its place in that week's records.
class MealPlan
{
public:
    struct Ref
    {
        QDate week;
        int index = -1;
        bool isValid() const { return week.isValid() && index >= 0; }
        friend bool operator==(const Ref &, const Ref &) = default;
    };

    /// Reads the weeks that hold the `count` days from `first`, keeping those already read.
    /// A week that cannot be read is kept as unreadable: its days show nothing and take no change.
    void read(QDate first, int count);
    /// Forgets every week read, so that the next read() reads them again.
    void clear();

    /// The failure number of reading the week that holds `day`; 0 when it was read (or not asked for).
    int failureOf(QDate day) const;

    /// The meals planned for `day`, in file order.
    QList<Ref> mealsOn(QDate day) const;
    const PlannedMeal &meal(Ref ref) const;

    /// Plans `meal` (its date tells the week) and saves. Failures as for saveWeek(); a week that could not
    /// be read fails with its failure. Nothing changes when it fails.
    Ref add(const PlannedMeal &meal);
    /// Puts `changed` in place of the meal at `ref` and saves; a meal moved to a day of another week is
    /// written to that week first and taken out of its own second, so that a failure between the two loses
    /// nothing. Returns where the meal is now.
    Ref change(Ref ref, const PlannedMeal &changed);
    /// Takes the meal out of its week and saves. The refs after it in that week move up by one.
    void remove(Ref ref);

private:
    struct Week
    {
        QList<PlannedMeal> meals;
        int failure = 0;
    };
    Week &writable(QDate day);

    QMap<QDate, Week> m_weeks;
};

} // namespace store
