#pragma once

#include "print/recipeprint.h"
#include "shell/screen.h"

#include <array>
#include <memory>

namespace Ui {
class frmRecipe;
}

namespace shell {
class HoverHints;
}

class QLineEdit;
class QWindow;

/// The recipe display: lists the recipes of a category, shows one on a card, prints it and deletes its
/// file. It never writes a recipe.
class frmRecipe : public shell::Screen
{
    Q_OBJECT

public:
    explicit frmRecipe(QWidget *parent = nullptr);
    ~frmRecipe() override;

    /// Replaces the printer set-up dialog that Print shows first (tests print to a file or a recorder,
    /// or answer Cancel). An empty setup brings the dialog back.
    void setPrinterSetup(recipeprint::PrinterSetup setup);

    /// Shows this screen with the recipe `name` of `category` on the card, as the user's choice of the
    /// category and click on the name would: the recipe list filled, the name picked, the delete box
    /// enabled. A category missing from the category box (made since the screen loaded) is added to it.
    /// Returns false, with the screen shown, when the category's folder does not hold the recipe. Failures
    /// take the screen's error path, as for the user's own choice and click.
    bool openRecipe(const QString &category, const QString &name);

protected:
    void load() override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void chooseCategory();
    void pickRecipe();
    void deleteRecipe();
    void newCard();
    void printCard();
    void backToMain();
    void menuClick(int id);

    void restoreCaptions();
    void setUpLooks();
    void setUpHints();
    void noteFocusWindow(const QWindow *window);

    const std::unique_ptr<Ui::frmRecipe> m_ui;
    /// The amount, type and ingredient boxes of rows 1 to 10.
    std::array<QLineEdit *, 10> m_amounts{};
    std::array<QLineEdit *, 10> m_types{};
    std::array<QLineEdit *, 10> m_ingredients{};
    shell::HoverHints *m_hints;
    recipeprint::PrinterSetup m_printerSetup;
    /// Set when another screen of the program became the active window, so that this screen's next
    /// activation is a return to it, not the end of one of its own dialogs or a visit to another program.
    bool m_otherWindowActive = false;
};
