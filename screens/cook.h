#pragma once

#include "print/recipeprint.h"
#include "shell/screen.h"
#include "store/ingredients.h"
#include "store/recipedraft.h"
#include "store/recipeview.h"

class CookEditor;
class CookPicture;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;
class QStackedWidget;

/// The recipe window to cook and edit from: shows a recipe with every ingredient, scaled to the servings
/// asked for and in the units chosen, its picture, the directions as steps to tick off; prints it as shown;
/// edits and saves it as the same recipe file the classic screens read; keeps its picture. Resizable; its
/// size and type size are kept in the work folder's settings.ini.
class frmCook : public shell::Screen
{
    Q_OBJECT

public:
    explicit frmCook(QWidget *parent = nullptr);
    ~frmCook() override;

    /// Shows this window with the recipe `name` of `category`, scaled to `servings` when it is 0 or more (0
    /// shows the amounts as written), else at its own serving size. Returns false, with nothing shown, when
    /// the recipe cannot be read.
    bool openRecipe(const QString &category, const QString &name, int servings = -1);
    /// Shows the recipe as openRecipe() does, on the edit page.
    bool editRecipe(const QString &category, const QString &name);
    /// Shows the edit page with `draft`, a recipe not saved yet, named `name` in `category` for the user
    /// to check: Save writes it as a new recipe and refuses a name already taken in the category; Cancel
    /// closes the window.
    void editDraft(const QString &category, const QString &name, const store::RecipeDraft &draft);
    /// Whether the window is open on a draft from editDraft() that is not saved yet.
    bool holdsDraft() const { return m_unsaved && isVisible(); }

    /// Replaces the printer set-up dialog that Print shows first; an empty setup brings the dialog back.
    void setPrinterSetup(recipeprint::PrinterSetup setup);
    /// Takes the image file at `path` as the recipe's picture, as a drop of the file does.
    void takePicture(const QString &path);

protected:
    void load() override;
    void hideEvent(QHideEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void showRecipe();
    void showIngredients();
    void showFacts(const store::RecipeView &view);
    void changeTypeSize(int step);
    void applyTypeSize();
    void printRecipe();
    void startEditing();
    void saveEdits();
    void saveSettings() const;
    store::Units units() const;

    QString m_category;
    QString m_name;
    store::RecipeRecord m_record;
    store::RecipeDraft m_draft;
    bool m_unsaved = false; ///< the recipe is a draft that editDraft() gave, not saved yet
    QList<store::IngredientLine> m_rows;
    double m_typeSize = 0;
    recipeprint::PrinterSetup m_printerSetup;

    QStackedWidget *m_pages;
    QLabel *m_heading;
    CookPicture *m_picture;
    QLabel *m_facts;
    QSpinBox *m_servings;
    QComboBox *m_units;
    QListWidget *m_ingredients;
    QListWidget *m_steps;
    QLabel *m_note;
    CookEditor *m_editor;
};
