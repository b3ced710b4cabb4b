#pragma once

#include "screens/plainpageoffer.h"
#include "shell/screen.h"

#include <QStringList>

#include <functional>
#include <memory>

class QTimer;

namespace Ui {
class frmImport;
}

namespace store {
class RecipeImport;
enum class ExportFormat;
} // namespace store

namespace net {
class WebImport;
} // namespace net

/// The import screen: imports the recipes of MealMaster, MasterCook and web-page files, other recipe apps'
/// exports (Paprika, Nextcloud Cookbook, Mealie, Tandoor, Recipe Keeper, Cooklang), or of a page at a web
/// address, into a category or into each recipe's own, reports what it did, offers the text of a page
/// without recipe data to the recipe window's editor, and exports a category to a MealMaster or JSON-LD
/// file.
class frmImport : public shell::Screen
{
    Q_OBJECT

public:
    explicit frmImport(QWidget *parent = nullptr);
    ~frmImport() override;

    /// What the screen asks the user for with a file dialog: files to open, or one file to save.
    struct FileQuestion
    {
        bool save;
        QString caption;
        QString name; ///< the name a saved file is offered under
        QString filter;
    };
    /// Shows the question and returns the files chosen; none when the user cancels.
    using FileDialog = std::function<QStringList(QWidget *parent, const FileQuestion &question)>;
    /// Replaces the dialog (tests answer it without a window); an empty function brings QFileDialog back.
    static void setFileDialog(FileDialog dialog);

    /// Asks for a web address; empty when the user cancels.
    using AddressDialog = std::function<QString(QWidget *parent)>;
    /// Replaces the question (tests answer it without a window); an empty function brings the dialog back.
    static void setAddressDialog(AddressDialog dialog);

    /// The destination that puts each recipe into its own category.
    static QString ownCategoryText();

protected:
    void load() override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void addFiles();
    void removeFiles();
    void startImport();
    void runImport(const QStringList &files);
    void importSlice();
    void askAddress();
    void fetchAddress(const QString &address);
    void addressFetched();
    /// Offers a page without recipe data to the recipe window's editor (screens/plainpageoffer.h), as a recipe
    /// of the category chosen, or of the first when each recipe goes to its own.
    PlainPageOffer offerPlainPage(const QString &shownAs, const QString &pageText, const QStringList &others);
    void cancelImport();
    void saveReport();
    void exportCategory(store::ExportFormat format);
    void showMainMenu();

    void addPaths(const QStringList &paths);
    void showCategories();
    void setImporting(bool importing);
    void setUpHints();

    const std::unique_ptr<Ui::frmImport> m_ui;
    std::unique_ptr<store::RecipeImport> m_import;
    std::unique_ptr<net::WebImport> m_web; ///< the page being fetched, then imported
    QTimer *const m_slices;
};
