#pragma once

#include "store/io/writebatch.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <future>
#include <memory>
#include <optional>

namespace store {

namespace interchange {
class ReadAhead;
struct MappedRecipe;
} // namespace interchange

/// What an import did, for the report the user reads and may save.
struct ImportReport
{
    struct Problem
    {
        QString file;
        qsizetype line; ///< 0 for a recipe of a file without lines (an archive's entry names it in `reason`)
        QString reason;
    };
    struct Renamed
    {
        QString title;
        QString category;
        QString name;
    };
    struct Category
    {
        QString name;
        int recipes;
        bool created;
    };
    struct RenamedCategory
    {
        QString asRead; ///< as the file names it
        QString name;   ///< the category it became
    };

    int files = 0;              ///< the files read, whole or in part
    int imported = 0;           ///< the recipes saved
    QList<Category> categories; ///< the categories recipes went to, in the order they first got one
    int moreThanTenRows = 0;    ///< the recipes with ingredients beyond the tenth row
    QList<Renamed> renamed;     ///< the recipes saved under another name than their title
    QList<Renamed> alreadyThere; ///< the recipes skipped: the same recipe is in the category as `name`
    QList<RenamedCategory> renamedCategories; ///< categories made under another name than the file's
    QList<Problem> problems;    ///< the recipes that could not be read
    int pictures = 0;           ///< the pictures kept with their recipes (Pictures/<category>/<recipe>)
    QStringList badPictures;    ///< "category/recipe" of the recipes whose picture is no JPEG, PNG or WebP image
    bool cancelled = false;

    /// The report as lines of text.
    QString text() const;
};

/// The category a recipe goes to, when an import puts each recipe in its own category and the file
/// names none for it.
inline const QString kImportedCategory = QStringLiteral("Imported");

/// Imports the recipes of MealMaster, MasterCook and JSON-LD files (store/interchange) into the category
/// list, a few at a time, so that a screen can run it in slices and stay responsive: the files are read
/// and parsed on a thread of their own (store/interchange/readahead.h), so that a slice never waits longer
/// than it was given for a large file. A file read whole (all but MealMaster) of more than 64 MB is
/// refused with a line in the report.
///
/// Every recipe becomes a new recipe file; an import never replaces one: a name that is taken in the
/// category gets " (2)", " (3)", ... unless the recipe of that name (or of one of its numbered names) is
/// the same record, in which case the recipe is already there: it is skipped and reported. Only the files
/// of the recipe's own name are read for that, never the whole category. A recipe that cannot be read is
/// reported and skipped. A file that
/// cannot be read, or a recipe that cannot be saved, stops the import with a Failure; everything saved
/// before stays, each file whole. A recipe's picture is kept once the recipe is saved, as the recipe window
/// keeps one (store/recipepicture.h). The files are put on the disk together at the end.
class RecipeImport
{
public:
    /// What the import was doing when a Failure stopped it.
    enum class Stage { Reading, Saving };

    /// Imports `files` into `category`, or each recipe into its own (first) category when `category` is
    /// empty: a category missing from the list is made as the setup screen makes one (store::makeCategory),
    /// its name made fit for the list (interchange::categoryNameFor) and reported when that changed it;
    /// a recipe without a category goes to "Imported".
    RecipeImport(const QStringList &files, const QString &category);
    ~RecipeImport();
    RecipeImport(const RecipeImport &) = delete;
    RecipeImport &operator=(const RecipeImport &) = delete;

    /// Imports recipes for about `milliseconds` (always at least one step) and returns true while work is
    /// left. At the end, and after cancel(), puts what was saved on the disk: on a thread of its own,
    /// which run() waits for at most `milliseconds` at a time.
    /// Throws Failure: when a file cannot be opened or read (53, 75, 76) with stage() Reading; when a
    /// recipe or a category cannot be saved, or the disk fails at the end, with stage() Saving.
    bool run(int milliseconds);

    /// Pictures to keep with the recipes, by the address a recipe gives for its picture: the image file
    /// copied as its picture (store/recipepicture.h) once it is saved. A file that is no picture is passed
    /// over. Before the first run().
    void setPictures(const QHash<QString, QString> &pictures) { m_pictures = pictures; }
    /// The name the report gives a file instead of its path (a web address for a fetched page).
    void setFileNames(const QHash<QString, QString> &names) { m_fileNames = names; }

    /// Stops before the next recipe; the next run() ends the import.
    void cancel() { m_cancelled = true; }

    /// How much of the work is done, from 0 to 1.
    double progress() const;
    Stage stage() const { return m_stage; }
    const ImportReport &report() const { return m_report; }

private:
    bool step(int milliseconds);
    void save(const interchange::MappedRecipe &mapped);
    /// A category recipes are saved in: its folder and the names in it, case-folded.
    struct Target
    {
        QString folder;
        QSet<QString> names;
    };

    QString categoryFor(const QString &wanted);
    Target &targetOf(const QString &category);
    void finish();

    QStringList m_files;
    QString m_category;
    qsizetype m_fileIndex = -1;
    std::unique_ptr<interchange::ReadAhead> m_ahead;
    QHash<QString, QString> m_made; ///< the categories made or found, by the name asked for, case-folded
    QHash<QString, Target> m_targets; ///< by category
    QSet<QString> m_pictureFolders;   ///< the folders pictures were saved in, synced at the end
    QHash<QString, QString> m_pictures;
    QHash<QString, QString> m_fileNames;
    std::future<void> m_sync;
    ImportReport m_report;
    Stage m_stage = Stage::Reading;
    bool m_cancelled = false;
    bool m_done = false;
    /// A recipe too large to be saved within a slice, being saved on a thread of its own; declared last, so
    /// that it ends before anything it uses goes.
    std::future<void> m_saving;
    /// Held while a slice saves recipes on the window's thread: the write lock and the folders looked at
    /// once a slice rather than once a recipe. Let go at the end of each slice and before a save on a thread.
    std::optional<WriteBatch> m_batch;
};

/// The formats a category can be exported to.
enum class ExportFormat { MealMaster, JsonLd };

/// What an export did.
struct ExportReport
{
    QString category;
    QString file;
    int exported = 0;
    QString refused;        ///< why nothing was written, when the file lies among Larderon's own data
    QStringList unreadable; ///< recipe files that could not be read, with the reason
    QStringList inexact;    ///< recipes the format cannot hold exactly, with the fields that would differ

    QString text() const;
};

/// Writes every recipe of `category` to the file `path` in `format`, in name order, so that importing
/// the file into an empty category gives the same records under the same names. Each recipe is read
/// back from what was written; those that would not come back the same are reported with the fields
/// that differ. A recipe file that cannot be read is reported and left out.
/// A file inside the application folder's Category or Shopping List folder or its work folder is refused:
/// nothing is written and `refused` says why. The file is written as every save is (TextWriter).
/// Failures: as listFiles() for the category's folder, as TextWriter for the file.
ExportReport exportCategory(const QString &category, ExportFormat format, const QString &path);

} // namespace store
