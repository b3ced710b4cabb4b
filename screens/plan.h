#pragma once

#include "screens/planweek.h"
#include "shell/screen.h"

#include <QSet>

class PlanFinder;
class PlanShop;
class QLabel;
class QPushButton;
class QSpinBox;
class QStackedWidget;

/// The meal plan: a week of days by meals, filled by dragging recipes found in the screen onto it (or
/// choosing a cell and pressing Enter), each planned meal with its servings; opens a planned recipe in the
/// recipe window scaled to its servings, marks it cooked, and makes one shopping list for chosen days.
/// Every change is written at once to the week's file in the Meal Plan folder. Resizable; its size and the
/// household size are kept in the work folder's settings.ini.
class frmPlan : public shell::Screen
{
    Q_OBJECT

public:
    explicit frmPlan(QWidget *parent = nullptr);
    ~frmPlan() override;

    /// Shows the week that holds `date`.
    void showWeek(QDate date);
    /// The "Shop for..." page, where the list is made and printed.
    PlanShop *shopPage() const { return m_shop; }

protected:
    void load() override;
    bool event(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void addChosenRecipe();
    void addRecipe(const QString &category, const QString &name, const QModelIndex &cell);
    void addText();
    void moveMeal(PlanWeek::Ref ref, const QModelIndex &cell);
    void removeMeal();
    void openMeal();
    void toggleCooked();
    void changeServings(int servings);
    void showCurrent();
    void startShopping();
    void backToMain();

    /// Plans or changes a meal and shows it chosen; false when its week cannot take it or the save fails.
    bool write(const std::function<PlanWeek::Ref()> &change, QList<QDate> days);
    /// The planned meal in the chosen cell; invalid when none.
    PlanWeek::Ref current() const;
    QString startingServings(const QString &category, const QString &name) const;
    void reportUnreadable();

    PlanWeek *m_week;
    QSet<QDate> m_reported; ///< the weeks whose unreadable file was reported
    QStackedWidget *m_pages;
    QLabel *m_weekLabel;
    QSpinBox *m_household;
    WeekGrid *m_grid;
    QSpinBox *m_servings;
    QPushButton *m_cooked;
    QPushButton *m_open;
    QPushButton *m_remove;
    PlanFinder *m_finder;
    PlanShop *m_shop;
};
