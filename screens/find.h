#pragma once

#include "shell/screen.h"
#include "store/recipeindex.h"
#include "store/shoppinglist.h"
#include "store/slicedrefresh.h"


#include <memory>

class QLabel;

namespace Ui {
class frmFind;
}

class FoundRecipes;

/// The find screen: searches the recipes of every category as the user types, opens one in the recipe
/// window (to read or to edit), and turns the checked ones into lines of a shopping list. It reads
/// recipe files and never writes one.
class frmFind : public shell::Screen
{
    Q_OBJECT

public:
    explicit frmFind(QWidget *parent = nullptr);
    ~frmFind() override;

protected:
    void load() override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void search();
    void showProgress();
    void showResults();
    void openResult();
    void editResult();
    void addToShoppingList();
    void backToMain();

    void setUpHints();
    /// The category and name of the current result; false when there is none.
    bool currentResult(QString *category, QString *name) const;
    /// Tells the user that a recipe could not be read, and searches again.
    void recipeGone(const QString &category, const QString &name);

    const std::unique_ptr<Ui::frmFind> m_ui;
    FoundRecipes *m_found;
    QList<store::RecipeToShop> m_shopped; ///< the recipes of the list this window last made
    QString m_shoppedText;                ///< that list as the shopping-list box received it
    store::RecipeIndex m_index;
    store::SlicedRefresh m_refresh;
};
