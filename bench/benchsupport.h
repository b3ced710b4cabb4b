#pragma once

// What storebench's groups of figures share: the table of figures, the registry of groups, medians over
// interleaved runs, and the recipes, folders and lists the groups measure on.

#include "store/recipefile.h"

#include <QElapsedTimer>
#include <QString>
#include <QTimer>

#include <functional>
#include <utility>
#include <vector>

class QTemporaryDir;

namespace bench {

/// One figure of the table.
struct Figure
{
    const char *what;
    double ours;  ///< milliseconds
    double floor; ///< milliseconds, or 0 when the figure has no floor
    double maxRatio;
    double maxMs; ///< 0 when there is no absolute limit
    const char *floorName;
    const char *unit = "ms";
    double maxExtraMs = 0; ///< 0, or the most that ours may take beyond the floor
};

/// Adds a row to the table, below the rows added before it.
void addFigure(const Figure &figure);

/// Prints the table: ours, the floor, their ratio, the limit and whether it is met, one row per figure.
void printTable();

/// A group of figures that `storebench --only NAME` measures alone. The groups run in rising `place`, so
/// that the table keeps its order whichever file a group lives in.
struct Group
{
    const char *name;
    int place;
    void (*measure)();
};

/// Adds a group to the registry; a group file holds one at namespace scope for each of its groups.
struct Registration
{
    Registration(const char *name, int place, void (*measure)());
};

/// The registered groups in the order they run.
std::vector<Group> groups();

/// How many runs a median takes unless told otherwise (`storebench --runs N`).
int defaultRuns();
void setDefaultRuns(int runs);

/// The time in milliseconds of one run of `measure`, after `prepare`, which is not timed.
double timed(const std::function<void()> &prepare, const std::function<void()> &measure);

/// The middle one of `times`.
double middle(std::vector<double> times);

/// The median time in milliseconds of `runs` runs of `measure`, each preceded by `prepare`.
double median(const std::function<void()> &prepare, const std::function<void()> &measure, int runs = defaultRuns());

/// The median times of Larderon's way and of the floor, run in turns so that both meet the same disk; each
/// run is preceded by its own preparation.
std::pair<double, double> inTurns(const std::function<void()> &prepareOurs, const std::function<void()> &ours,
                                  const std::function<void()> &prepareFloor, const std::function<void()> &floor,
                                  int runs = defaultRuns());

/// The same, both runs preceded by the same preparation.
std::pair<double, double> inTurns(const std::function<void()> &prepare, const std::function<void()> &ours,
                                  const std::function<void()> &floor, int runs = defaultRuns());

/// A recipe of ten ingredient lines and three lines of directions.
store::RecipeRecord sampleRecipe();

/// `record` as its recipe file holds it.
QByteArray recipeBytes(const store::RecipeRecord &record);

/// Makes `folder` and fills it with `count` files named "Recipe 00000" on, each holding `bytes`.
void makeFiles(const QString &folder, int count, const QByteArray &bytes);

/// Makes `app` the application folder with the one category `name`, and returns its folder.
QString makeOneCategory(const QTemporaryDir &app, const QString &name);

/// The floor of listing a folder: its regular files' names read with readdir.
void readFolder(const QString &folder);

/// The recipe files an import of the MealMaster text `mealMaster` makes: each one's name as the file
/// system names it, and its bytes.
using RecipeFiles = std::vector<std::pair<QByteArray, QByteArray>>;
RecipeFiles importedFiles(const QByteArray &mealMaster);
/// The floor of an import's writing: `files` written into `folder` (as the file system names it, ending in
/// '/'), each to a file beside it and renamed into place, unsynced.
void writeAndRename(const QByteArray &folder, const RecipeFiles &files);

/// A shopping list of at least `bytes` characters, one line repeated, each line ended by '\n'.
QString shoppingList(qsizetype bytes);

/// The longest a window's event loop goes without turning: a timer that asks to run every millisecond
/// notes the gaps between its runs, from start() to stop(). `onTurn` runs at each turn too.
class PauseWatch
{
public:
    explicit PauseWatch(std::function<void()> onTurn = {});
    void start();
    qint64 stop();

private:
    void note();

    QElapsedTimer m_clock;
    QTimer m_tick;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

} // namespace bench
