#include "store/interchange/recipeimport.h"

#include "store/appfolder.h"
#include "store/categorylist.h"
#include "store/fileops.h"
#include "store/interchange/jsonld.h"
#include "store/interchange/mapping.h"
#include "store/interchange/mealmaster.h"
#include "store/interchange/readahead.h"
#include "store/interchange/reader.h"
#include "store/io/failure.h"
#include "store/recipefile.h"
#include "store/recipepicture.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QScopeGuard>

#include <numeric>
#include <utility>

namespace store {

namespace {

// The most recipes of one name in one category, " (2)" up to this.
constexpr int kMostNumbered = 9999;

// Characters of a recipe above which it is saved on a thread of its own (a few milliseconds' writing).
constexpr qsizetype kLargeRecipe = 1 << 20;

QString count(qsizetype n, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

QString fieldName(int index)
{
    constexpr int rows = RecipeRecord::kRowCount;
    if (index < 3 * rows) {
        static const char *const groups[] = {"amount", "type", "ingredient"};
        return QStringLiteral("%1 %2").arg(QLatin1String(groups[index / rows])).arg(index % rows + 1);
    }
    static const char *const others[] = {"directions", "oven temperature", "serving size", "hours", "minutes"};
    return QLatin1String(others[index - 3 * rows]);
}

// The folder of Larderon's own data that `path` would be written into, or nothing: an export may not
// replace the category list, a recipe, a shopping list or a file being saved. Links are followed and
// letter case does not count, as the program itself finds its files in any case.
std::optional<QString> dataFolderOf(const QString &path)
{
    const QFileInfo target(path);
    QString resolved = target.exists() ? target.canonicalFilePath() : QString();
    if (resolved.isEmpty()) {
        const QString folder = QFileInfo(target.absolutePath()).canonicalFilePath();
        resolved = (folder.isEmpty() ? target.absolutePath() : folder) + QLatin1Char('/') + target.fileName();
    }
    const QString folders[] = {dataPath({kCategoryFolder}), shoppingListFolderPath(), workFolderPath()};
    for (const QString &folder : folders) {
        const QString canonical = QFileInfo(folder).canonicalFilePath();
        const QString inside = (canonical.isEmpty() ? folder : canonical) + QLatin1Char('/');
        if (resolved.startsWith(inside, Qt::CaseInsensitive))
            return QFileInfo(folder).fileName();
    }
    return std::nullopt;
}

// Whether the recipe `name` of `category` is `record`, field for field. A file that cannot be read is
// another recipe.
bool isSameRecipe(const QString &category, const QString &name, const RecipeRecord &record)
{
    try {
        return loadRecipe(category, name) == record;
    } catch (const Failure &) {
        return false;
    }
}

} // namespace

QString ImportReport::text() const
{
    QStringList lines;
    lines.append(QStringLiteral("%1 imported from %2.")
                     .arg(count(imported, "recipe", "recipes"), count(files, "file", "files")));
    for (const Category &category : categories) {
        lines.append(QStringLiteral("  %1 into %2%3")
                         .arg(category.recipes)
                         .arg(category.name, category.created ? QStringLiteral(" (a new category)") : QString()));
    }
    if (cancelled)
        lines.append(QStringLiteral("The import was cancelled; the recipes imported before stay."));
    if (moreThanTenRows > 0) {
        lines.append(QStringLiteral("%1 more than ten ingredients: the others are at the top of the directions, "
                                    "under \"More ingredients:\".")
                         .arg(count(moreThanTenRows, "recipe had", "recipes had")));
    }
    if (!renamedCategories.isEmpty()) {
        lines.append(QStringLiteral("%1:").arg(
            count(renamedCategories.size(), "category name was changed", "category names were changed")));
        for (const RenamedCategory &r : renamedCategories)
            lines.append(QStringLiteral("  \"%1\" is \"%2\"").arg(r.asRead, r.name));
    }
    if (!renamed.isEmpty()) {
        lines.append(QStringLiteral("%1:").arg(count(renamed.size(), "name was changed", "names were changed")));
        for (const Renamed &r : renamed)
            lines.append(QStringLiteral("  \"%1\" is \"%2\" in %3").arg(r.title, r.name, r.category));
    }
    if (!alreadyThere.isEmpty()) {
        lines.append(QStringLiteral("%1 already there, the same in every field, and not imported again:")
                         .arg(count(alreadyThere.size(), "recipe was", "recipes were")));
        for (const Renamed &r : alreadyThere) {
            lines.append(r.title == r.name ? QStringLiteral("  \"%1\" in %2").arg(r.title, r.category)
                                           : QStringLiteral("  \"%1\" in %2 as \"%3\"").arg(r.title, r.category, r.name));
        }
    }
    if (pictures > 0)
        lines.append(QStringLiteral("%1 kept with the recipes.").arg(count(pictures, "picture was", "pictures were")));
    if (!badPictures.isEmpty()) {
        lines.append(QStringLiteral("%1 no JPEG, PNG or WebP image and not kept:")
                         .arg(count(badPictures.size(), "picture was", "pictures were")));
        for (const QString &recipe : badPictures)
            lines.append(QStringLiteral("  ") + recipe);
    }
    if (!problems.isEmpty()) {
        lines.append(
            QStringLiteral("%1:").arg(count(problems.size(), "recipe could not be read", "recipes could not be read")));
        for (const Problem &p : problems)
            lines.append(p.line > 0 ? QStringLiteral("  %1, line %2: %3").arg(p.file).arg(p.line).arg(p.reason)
                                    : QStringLiteral("  %1: %2").arg(p.file, p.reason));
    }
    return lines.join(QLatin1Char('\n'));
}

RecipeImport::RecipeImport(const QStringList &files, const QString &category) : m_files(files), m_category(category)
{}

RecipeImport::~RecipeImport() = default;

double RecipeImport::progress() const
{
    if (m_done || m_sync.valid() || m_files.isEmpty())
        return 1.0;
    const double current = m_ahead ? m_ahead->progress() : 0.0;
    return (double(std::max<qsizetype>(m_fileIndex, 0)) + current) / double(m_files.size());
}

bool RecipeImport::run(int milliseconds)
{
    if (m_done)
        return false;
    QElapsedTimer timer;
    timer.start();
    // Another copy of the program waits for the write lock at most one slice.
    const auto release = qScopeGuard([this] { m_batch.reset(); });
    try {
        if (m_sync.valid()) {
            if (m_sync.wait_for(std::chrono::milliseconds(milliseconds)) != std::future_status::ready)
                return true;
            m_done = true;
            m_sync.get();
            return false;
        }
        do {
            if (!step(int(std::max<qint64>(0, milliseconds - timer.elapsed())))) {
                finish();
                return run(int(std::max<qint64>(0, milliseconds - timer.elapsed())));
            }
        } while (timer.elapsed() < milliseconds);
    } catch (const Failure &) {
        // What was saved before the failure stays, and is put on the disk as far as the disk lets it.
        m_ahead.reset();
        QStringList folders = m_pictureFolders.values();
        for (const Target &target : std::as_const(m_targets))
            folders.append(target.folder);
        for (const QString &folder : std::as_const(folders)) {
            try {
                syncFolder(folder);
            } catch (const Failure &) {
            }
        }
        m_done = true;
        throw;
    }
    return true;
}

bool RecipeImport::step(int milliseconds)
{
    if (m_saving.valid()) {
        if (m_saving.wait_for(std::chrono::milliseconds(milliseconds)) != std::future_status::ready)
            return true;
        std::exchange(m_saving, {}).get(); // a Failure of the save comes out here
    }
    if (m_cancelled) {
        m_report.cancelled = true;
        return false;
    }
    m_stage = Stage::Reading;
    if (!m_ahead)
        m_ahead = std::make_unique<interchange::ReadAhead>(m_files);
    std::optional<interchange::ReadAhead::Entry> entry = m_ahead->take(milliseconds);
    if (!entry)
        return true;
    switch (entry->kind) {
    case interchange::ReadAhead::Entry::Opened:
        m_fileIndex = entry->file;
        ++m_report.files;
        return true;
    case interchange::ReadAhead::Entry::Failed:
        throw Failure(Failure::Number(entry->failure));
    case interchange::ReadAhead::Entry::End:
        return false;
    case interchange::ReadAhead::Entry::Item:
        break;
    }
    const interchange::ReadItem &item = entry->item;
    if (!item.problem.isEmpty()) {
        const QString &file = m_files.at(entry->file);
        m_report.problems.append({m_fileNames.value(file, file), item.line, item.problem});
        return true;
    }
    m_stage = Stage::Saving;
    // Writing a recipe of many megabytes takes longer than a slice: it is saved on a thread of its own, while
    // the window goes on; nothing else of the import runs until it is saved.
    const qsizetype size = std::accumulate(entry->mapped.record.fields.cbegin(), entry->mapped.record.fields.cend(),
                                           qsizetype(0), [](qsizetype sum, const QString &field) { return sum + field.size(); });
    if (size > kLargeRecipe) {
        m_batch.reset();
        // The recipe is let go on that thread too: giving back its memory also takes a while.
        m_saving = std::async(std::launch::async, [this, mapped = std::move(entry->mapped)]() mutable {
            save(mapped);
            mapped = {};
        });
        return true;
    }
    if (!m_batch)
        m_batch.emplace();
    save(entry->mapped);
    return true;
}

QString RecipeImport::categoryFor(const QString &wanted)
{
    const QString key = wanted.toCaseFolded();
    if (const auto known = m_made.constFind(key); known != m_made.cend())
        return *known;
    // A listed category whose folder is gone gets its folder again, as on the setup screen.
    const MadeCategory made = makeCategory(wanted);
    if (made.listed || made.made)
        m_report.categories.append({made.name, 0, made.made});
    m_made.insert(key, made.name);
    return made.name;
}

RecipeImport::Target &RecipeImport::targetOf(const QString &category)
{
    auto target = m_targets.find(category);
    if (target == m_targets.end()) {
        Target fresh{categoryFolderPath(category), {}};
        // Names count as the same in any letter case, as in every lookup of the program.
        for (const QString &name : listFiles(fresh.folder))
            fresh.names.insert(name.toCaseFolded());
        target = m_targets.insert(category, fresh);
    }
    return *target;
}

void RecipeImport::save(const interchange::MappedRecipe &mapped)
{
    QString category = m_category;
    if (category.isEmpty()) {
        category = categoryFor(mapped.category.isEmpty() ? kImportedCategory : mapped.category);
        if (!mapped.category.isEmpty() && mapped.categoryAsRead != mapped.category &&
            std::none_of(
                m_report.renamedCategories.cbegin(), m_report.renamedCategories.cend(),
                [&mapped](const ImportReport::RenamedCategory &r) { return r.asRead == mapped.categoryAsRead; }))
            m_report.renamedCategories.append({mapped.categoryAsRead, category});
    }

    // The folder's names are known from its listing and the recipes saved since, so that a taken name is
    // passed over without a look at the disk; the write itself still never replaces a file.
    Target &target = targetOf(category);
    QString name;
    for (int n = 1;; ++n) {
        name = interchange::numberedName(mapped.name, n);
        const bool taken = target.names.contains(name.toCaseFolded());
        if (taken && isSameRecipe(category, name, mapped.record)) {
            m_report.alreadyThere.append({mapped.title, category, name});
            return;
        }
        if (!taken) {
            target.names.insert(name.toCaseFolded());
            try {
                TextWriter writer(target.folder + QLatin1Char('/') + name, TextWriter::Create, Durability::Deferred);
                writeRecipe(writer, mapped.record);
                writer.commit();
                break;
            } catch (const Failure &failure) {
                // Made by another program since the folder was listed.
                if (failure.number() != Failure::FileAlreadyExists)
                    throw;
            }
        }
        if (n >= kMostNumbered)
            throw Failure(Failure::FileAlreadyExists);
    }

    if (const auto picture = m_pictures.constFind(mapped.pictureAddress);
        !mapped.pictureAddress.isEmpty() && picture != m_pictures.cend()) {
        try {
            setPicture(category, name, *picture);
        } catch (const Failure &failure) {
            if (failure.number() != Failure::BadFileName)
                throw;
        }
    }

    ++m_report.imported;
    if (!mapped.picture.isEmpty()) {
        try {
            setPictureData(category, name, mapped.picture, Durability::Deferred);
            ++m_report.pictures;
            m_pictureFolders.insert(dataPath({kPicturesFolder, category}));
        } catch (const Failure &failure) {
            if (failure.number() != Failure::BadFileName)
                throw;
            m_report.badPictures.append(category + u'/' + name);
        }
    }
    auto entry = std::find_if(m_report.categories.begin(), m_report.categories.end(),
                              [&category](const ImportReport::Category &c) { return c.name == category; });
    if (entry == m_report.categories.end())
        entry = m_report.categories.insert(m_report.categories.end(), {category, 0, false});
    ++entry->recipes;
    if (mapped.moreThanTenRows)
        ++m_report.moreThanTenRows;
    if (name != mapped.title)
        m_report.renamed.append({mapped.title, category, name});
}

void RecipeImport::finish()
{
    m_stage = Stage::Saving;
    m_ahead.reset();
    // Putting thousands of new files on the disk can take longer than a screen may stand still.
    QStringList folders;
    for (const Target &target : std::as_const(m_targets))
        folders.append(target.folder);
    folders += m_pictureFolders.values();
    m_sync = std::async(std::launch::async, [folders] {
        for (const QString &folder : folders)
            syncFolder(folder);
    });
}

QString ExportReport::text() const
{
    QStringList lines;
    if (!refused.isEmpty())
        return QStringLiteral("Nothing was exported: %1").arg(refused);
    lines.append(QStringLiteral("%1 of %2 exported to %3.").arg(count(exported, "recipe", "recipes"), category, file));
    if (!unreadable.isEmpty()) {
        lines.append(QStringLiteral("%1:").arg(
            count(unreadable.size(), "recipe could not be read", "recipes could not be read")));
        for (const QString &line : unreadable)
            lines.append(QStringLiteral("  ") + line);
    }
    if (!inexact.isEmpty()) {
        lines.append(QStringLiteral("%1 not come back the same from this file; what would differ:")
                         .arg(count(inexact.size(), "recipe would", "recipes would")));
        for (const QString &line : inexact)
            lines.append(QStringLiteral("  ") + line);
    }
    return lines.join(QLatin1Char('\n'));
}

ExportReport exportCategory(const QString &category, ExportFormat format, const QString &path)
{
    ExportReport report;
    report.category = category;
    report.file = path;
    if (const std::optional<QString> folder = dataFolderOf(path)) {
        report.refused = QStringLiteral("%1 lies in the folder \"%2\" of Larderon's own files, which an export "
                                        "may not replace. Choose a file outside it.")
                             .arg(path, *folder);
        return report;
    }
    const QStringList names = listFiles(categoryFolderPath(category), FileOrder::ByName);

    QList<interchange::Recipe> recipes;
    QStringList texts;
    QSet<QString> taken; // the names an import into an empty category would give, in lower case
    for (const QString &name : names) {
        RecipeRecord record;
        try {
            record = loadRecipe(category, name);
        } catch (const Failure &failure) {
            // A file that is not a recipe is left out; a folder that is gone ends the export.
            if (failure.number() == Failure::PathNotFound)
                throw;
            report.unreadable.append(QStringLiteral("%1: %2").arg(name, failure.description()));
            continue;
        }
        const interchange::Recipe recipe = interchange::fromRecord(name, category, record);
        const QString text = format == ExportFormat::MealMaster ? interchange::writeMealMaster(recipe) : QString();
        // MealMaster is written in ISO-8859-1, which its readers expect; the writer keeps to its characters.
        const QByteArray written = format == ExportFormat::MealMaster ? text.toLatin1() : interchange::writeJsonLd({recipe});

        // The recipe as an import of what was written gives it.
        QStringList differences;
        std::optional<interchange::ReadItem> back = interchange::makeReader(written)->next();
        if (!back || !back->problem.isEmpty()) {
            differences.append(QStringLiteral("the whole recipe"));
        } else {
            const interchange::MappedRecipe mapped = interchange::toRecord(back->recipe);
            QString imported;
            for (int n = 1; imported.isEmpty() || taken.contains(imported.toLower()); ++n)
                imported = interchange::numberedName(mapped.name, n);
            taken.insert(imported.toLower());
            if (imported != name)
                differences.append(QStringLiteral("name (\"%1\")").arg(imported));
            for (int i = 0; i < RecipeRecord::kFieldCount; ++i) {
                if (mapped.record.fields.at(i) != record.fields.at(i))
                    differences.append(fieldName(i));
            }
        }
        if (!differences.isEmpty())
            report.inexact.append(QStringLiteral("%1: %2").arg(name, differences.join(QStringLiteral(", "))));
        recipes.append(recipe);
        texts.append(text);
    }

    TextWriter writer(path, TextWriter::Replace);
    QString content = format == ExportFormat::MealMaster ? texts.join(QLatin1Char('\n'))
                                                         : QString::fromUtf8(interchange::writeJsonLd(recipes));
    if (content.endsWith(QLatin1Char('\n')))
        content.chop(1);
    if (format == ExportFormat::MealMaster)
        writer.writeBytes((content + QLatin1Char('\n')).toLatin1().replace("\n", "\r\n"));
    else
        writer.writeLine(content);
    writer.commit();
    report.exported = int(recipes.size());
    return report;
}

} // namespace store
