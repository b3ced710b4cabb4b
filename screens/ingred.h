#pragma once

#include "shell/screen.h"

#include <array>
#include <memory>

class QLabel;
class QLineEdit;

namespace Ui {
class frmIngred;
}

namespace store {
struct RecipeRecord;
}

/// The recipe entry screen: the user picks a category, types a recipe into its boxes and saves it as a
/// recipe file in that category's folder.
class frmIngred : public shell::Screen
{
    Q_OBJECT

public:
    explicit frmIngred(QWidget *parent = nullptr);
    ~frmIngred() override;

    /// Reads the recipe `name` of `category` and shows this screen with it to be changed and saved: the
    /// category chosen (added to the category box when it is missing there), the name in the name box and
    /// every box filled from the file. A box shorter than its text is widened to hold it whole, so that
    /// saving unchanged writes the same file, until New. Failures of the read (store::Failure) reach the
    /// caller before anything changes.
    void editRecipe(const QString &category, const QString &name);

protected:
    void load() override;

private:
    void menuItemClick(int id);
    void newRecipe();
    void saveRecipe();
    void showMainMenu();

    /// The 35 fields of the recipe, as the boxes hold them.
    store::RecipeRecord record() const;

    const std::unique_ptr<Ui::frmIngred> m_ui;
    std::array<QLineEdit *, 10> m_amounts{};
    std::array<QLineEdit *, 10> m_types{};
    std::array<QLineEdit *, 10> m_ingredients{};
    /// The most characters of each text box that has a limit, as the layout sets them.
    QList<QPair<QLineEdit *, int>> m_limits;
};
