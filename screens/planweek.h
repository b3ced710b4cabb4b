#pragma once

#include "store/mealplan.h"

#include <QAbstractTableModel>
#include <QDate>
#include <QHash>
#include <QTableView>

#include <functional>

/// The MIME types a drag in the meal plan carries: a recipe of the results ("category\nname") and a planned
/// meal of the week ("monday\nindex").
inline const QString kRecipeMime = QStringLiteral("application/x-larderon-recipe");
inline const QString kPlannedMealMime = QStringLiteral("application/x-larderon-planned-meal");

/// A week of the meal plan as a table: a column per day from the locale's first day of the week, a row per
/// meal of a day (Breakfast, Lunch, Dinner, then any word of the user's own in that week). A meal that
/// has more than one dish on a day gets as many rows, so that each cell holds at most one planned meal.
/// A meal's row, once shown, stays while the week shows, even when its last dish is moved away.
class PlanWeek : public QAbstractTableModel
{
    Q_OBJECT

public:
    using Ref = store::MealPlan::Ref;
    explicit PlanWeek(QObject *parent = nullptr);

    /// The first day of the week that holds `date`, by the locale's first day of the week.
    static QDate firstDayFor(QDate date);

    /// Shows the week that holds `date`, reading its files when they are not read yet.
    void showWeek(QDate date);
    /// Reads every file again (another screen or another copy of the program may have changed them).
    void reread();
    QDate firstDay() const { return m_first; }
    /// Adds a row for a meal of the user's own word (such as Snack) to the week shown, kept while the week
    /// shows and written with the first meal planned in it; a word the week has already (letter case not
    /// counting) adds nothing. Returns the row of the meal's first dish.
    int addMeal(const QString &word);

    QDate dayAt(const QModelIndex &index) const { return m_first.addDays(index.column()); }
    QString mealAt(const QModelIndex &index) const;
    /// The planned meal in the cell; invalid for an empty cell.
    Ref refAt(const QModelIndex &index) const;
    QModelIndex indexOf(Ref ref) const;
    const store::PlannedMeal &meal(Ref ref) const { return m_plan.meal(ref); }
    /// The meals planned for `day` of the week shown, in file order.
    QList<store::PlannedMeal> mealsOn(QDate day) const;
    /// Whether a planned recipe's file is missing (deleted or renamed since it was planned).
    bool isMissing(const store::PlannedMeal &meal) const;
    /// The failure number of reading the week file that holds `day`; 0 when it was read.
    int failureOf(QDate day) const { return m_plan.failureOf(day); }

    /// Plans, changes and removes meals, written at once; store::Failure as for store::MealPlan.
    Ref add(const store::PlannedMeal &meal);
    Ref change(Ref ref, const store::PlannedMeal &changed);
    void remove(Ref ref);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    Qt::DropActions supportedDropActions() const override { return Qt::CopyAction | Qt::MoveAction; }
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;

signals:
    /// A recipe of the results was dropped on a cell.
    void recipeDropped(const QString &category, const QString &name, const QModelIndex &cell);
    /// A planned meal was dragged to another cell.
    void mealDropped(Ref ref, const QModelIndex &cell);

private:
    struct Row
    {
        QString meal;
        int dish = 0; ///< which of the meal's dishes of a day: 0 for the first
    };
    void layOut();

    store::MealPlan m_plan;
    QDate m_first;
    QList<Row> m_rows;
    QStringList m_shown; ///< the meals shown beyond those of every day, in the order they came
    QList<QList<Ref>> m_cells; ///< by row, then by day
    mutable QHash<QString, bool> m_missing;
};

/// The grid of a week: drags planned meals between cells and takes recipes dropped from the results; its
/// context menu adds a meal of the user's own word.
class WeekGrid : public QTableView
{
    Q_OBJECT

public:
    explicit WeekGrid(QWidget *parent = nullptr);

    /// Asks for the word of a meal; empty when the user cancels.
    using MealAsker = std::function<QString(QWidget *parent)>;
    /// Replaces the dialog that asks for a meal's word (tests answer it); an empty one puts the dialog back.
    static void setMealAsker(MealAsker asker);
    /// "Add meal...": asks for a meal of the user's own word, adds its row to the week (PlanWeek::addMeal())
    /// and chooses it on the day chosen, ready for a recipe.
    void addMeal();

signals:
    void enterPressed();
    void deletePressed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
