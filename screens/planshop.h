#pragma once

#include "print/recipeprint.h"
#include "store/kitchen.h"
#include "store/shoppinglist.h"

#include <QDate>
#include <QList>
#include <QSet>
#include <QWidget>

#include <functional>
#include <optional>

class PlanWeek;
class QCheckBox;
class QComboBox;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

/// The meal plan's "Shop for..." page: the days to shop for (the rest of this week at first), one shopping
/// list for the recipes planned on them, each scaled to its servings and merged (store/shoppinglist.h),
/// under a heading with the days and recipes, grouped by aisle with what the household always has apart
/// under "Check you have". Lines are ticked as bought; a line moved to another aisle stays there next time
/// (store/kitchen.h). What is not ticked is printed or sent to the shopping list screen.
class PlanShop : public QWidget
{
    Q_OBJECT

public:
    explicit PlanShop(QWidget *parent = nullptr);

    /// Starts over with the days of the week `week` shows: from `today` to its end when it holds that day,
    /// else all of them.
    void start(const PlanWeek *week, QDate today = QDate::currentDate());
    /// Replaces the printer set-up dialog that Print shows first; an empty setup brings the dialog back.
    void setPrinterSetup(recipeprint::PrinterSetup setup);

    /// Asks for the staples, one a line, given the present ones; none when the user cancels.
    using StaplesEditor = std::function<std::optional<QString>(QWidget *parent, const QString &staples)>;
    /// Replaces the dialog "Staples..." shows (tests answer it without a window); empty brings it back.
    static void setStaplesEditor(StaplesEditor editor);

    /// The heading: the days and the recipes the list is for.
    QString heading() const;
    /// The list as printed and sent: the heading, an empty line, then the lines not ticked as the shopping
    /// list screen holds a list (store::shoppingListText()): each aisle's name above its lines, "Check you
    /// have:" last.
    QStringList lines() const;

signals:
    void backClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void makeList();
    void showList();
    void showAisle();
    void moveToAisle(int choice);
    void printList();
    void toShoppingList();
    void editStaples();
    QList<QDate> chosenDays() const;

    const PlanWeek *m_week = nullptr;
    store::Kitchen m_kitchen;
    store::MergedShoppingList m_merged;
    QStringList m_recipes;    ///< as the heading names them
    QSet<QString> m_bought;   ///< the lines ticked
    recipeprint::PrinterSetup m_printerSetup;

    QList<QCheckBox *> m_days;
    QLabel *m_heading;
    QTreeWidget *m_list;
    QComboBox *m_aisle;
};
