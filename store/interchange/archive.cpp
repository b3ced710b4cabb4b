#include "store/interchange/archive.h"

#include "store/interchange/appjson.h"
#include "store/interchange/webpage.h"
#include "store/io/container.h"
#include "store/io/textcodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

#include <deque>

namespace store::interchange {

namespace {

// The files of an archive or a folder, by their path inside it.
class Files
{
public:
    virtual ~Files() = default;
    virtual QStringList names() const = 0;
    virtual QStringList unsafe() const { return {}; }
    /// The file's bytes; ContainerError when it cannot be read or holds more than `limit` bytes.
    virtual QByteArray read(const QString &name, qint64 limit) const = 0;
};

class ZipFiles : public Files
{
public:
    explicit ZipFiles(ZipArchive archive) : m_archive(std::move(archive))
    {
        for (const ZipArchive::Entry &entry : m_archive.entries())
            m_entries.insert(entry.name, entry);
    }
    QStringList names() const override
    {
        QStringList names;
        for (const ZipArchive::Entry &entry : m_archive.entries())
            names.append(entry.name);
        return names;
    }
    QStringList unsafe() const override { return m_archive.unsafe(); }
    QByteArray read(const QString &name, qint64 limit) const override
    {
        return m_archive.read(m_entries.value(name), limit);
    }

private:
    ZipArchive m_archive;
    QHash<QString, ZipArchive::Entry> m_entries;
};

class FolderFiles : public Files
{
public:
    explicit FolderFiles(const QString &path) : m_root(path)
    {
        // A folder of one recipe, or a folder of recipe folders.
        const QStringList folders =
            QStringList{QString()} + m_root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString &folder : folders) {
            const QDir dir(m_root.filePath(folder));
            if (!dir.exists(QStringLiteral("recipe.json")))
                continue;
            for (const QString &file : dir.entryList(QDir::Files, QDir::Name))
                m_names.append(folder.isEmpty() ? file : folder + u'/' + file);
        }
    }
    QStringList names() const override { return m_names; }
    QByteArray read(const QString &name, qint64 limit) const override
    {
        QFile file(m_root.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            throw ContainerError(QStringLiteral("%1 cannot be read").arg(name));
        if (file.size() > limit)
            throw ContainerError(QStringLiteral("%1 is too large").arg(name));
        return file.read(limit);
    }

private:
    QDir m_root;
    QStringList m_names;
};

QString folderOf(const QString &name)
{
    const qsizetype slash = name.lastIndexOf(u'/');
    return slash < 0 ? QString() : name.left(slash + 1);
}

QString stemOf(const QString &name)
{
    const QString file = name.mid(name.lastIndexOf(u'/') + 1);
    const qsizetype dot = file.lastIndexOf(u'.');
    return dot <= 0 ? file : file.left(dot);
}

class ArchiveReader : public RecipeReader
{
public:
    // A folder is read for its recipe.json files; an archive inside an archive (Tandoor's) for its JSON
    // only, so that archives never nest deeper than that.
    enum Mode { Archive, Inner, Folder };

    ArchiveReader(std::unique_ptr<Files> files, Mode mode) : m_files(std::move(files))
    {
        const bool folder = mode == Folder;
        for (const QString &name : m_files->unsafe())
            m_pending.push_back(
                problem(name, QStringLiteral("its name leads out of the archive's folder; it was left out")));
        // Recipe Keeper's recipes.html holds every recipe; the pages beside it, if any, hold them again.
        const QStringList names = m_files->names();
        const bool allInOne = std::any_of(names.cbegin(), names.cend(), [](const QString &name) {
            return name.compare(u"recipes.html", Qt::CaseInsensitive) == 0 ||
                   name.endsWith(u"/recipes.html", Qt::CaseInsensitive);
        });
        for (const QString &name : names) {
            const QString lower = name.toLower();
            m_names.insert(lower, name);
            for (const char *extension : {".jpg", ".jpeg", ".png", ".webp"}) {
                if (lower.endsWith(QLatin1String(extension)))
                    m_pictures.insert(lower.left(lower.lastIndexOf(u'.')), name);
            }
            if (folder ? lower.endsWith(QLatin1String("recipe.json")) : lower.endsWith(QLatin1String(".json")))
                m_units.append({Unit::Json, name});
            else if (!folder && lower.endsWith(QLatin1String(".paprikarecipe")))
                m_units.append({Unit::Paprika, name});
            else if (mode == Archive && lower.endsWith(QLatin1String(".zip")))
                m_units.append({Unit::Tandoor, name});
            else if (mode == Archive &&
                     (lower.endsWith(QLatin1String(".html")) || lower.endsWith(QLatin1String(".htm"))) &&
                     (!allInOne || lower == u"recipes.html" || lower.endsWith(QLatin1String("/recipes.html"))))
                m_units.append({Unit::Page, name});
        }
        if (m_units.isEmpty() && m_pending.empty()) {
            m_pending.push_back({0,
                                 QStringLiteral("no recipes of Paprika, Nextcloud Cookbook, Mealie, Tandoor or "
                                                "Recipe Keeper were found in this archive"),
                                 {}});
        }
    }

    std::optional<ReadItem> next() override
    {
        for (;;) {
            if (!m_pending.empty()) {
                ReadItem item = std::move(m_pending.front());
                m_pending.pop_front();
                return item;
            }
            if (m_page) {
                if (std::optional<ReadItem> item = m_page->next())
                    return pageItem(std::move(*item));
                m_page.reset();
            }
            if (m_next >= m_units.size())
                return std::nullopt;
            read(m_units.at(m_next++));
        }
    }

    double progress() const override { return m_units.isEmpty() ? 1.0 : double(m_next) / double(m_units.size()); }

private:
    struct Unit
    {
        enum Kind { Json, Paprika, Tandoor, Page };
        Kind kind;
        QString name;
    };

    static ReadItem problem(const QString &name, const QString &reason)
    {
        return {0, QStringLiteral("%1: %2").arg(name, reason), {}};
    }

    // The picture of the recipe in the entry `name`, as the apps place it.
    QString pictureOf(const QString &name) const
    {
        const QString folder = folderOf(name).toLower();
        const QString stem = stemOf(name).toLower();
        for (const QString &candidate :
             {folder + QLatin1String("full"), folder + QLatin1String("image"), folder + QLatin1String("original"),
              folder + QLatin1String("images/original"), folder + stem, QLatin1String("images/") + stem,
              QLatin1String("images/") + stem + QLatin1String("/original")}) {
            if (const auto found = m_pictures.constFind(candidate); found != m_pictures.cend())
                return *found;
        }
        return {};
    }

    void take(const QString &name, RecipeReader &reader)
    {
        while (std::optional<ReadItem> item = reader.next()) {
            if (!item->problem.isEmpty())
                item->problem = QStringLiteral("%1: %2").arg(name, item->problem);
            item->line = 0;
            m_pending.push_back(std::move(*item));
        }
    }

    void read(const Unit &unit)
    {
        try {
            QByteArray bytes = m_files->read(unit.name, kEntryLimit);
            if (unit.kind == Unit::Paprika) {
                if (isGzip(bytes))
                    bytes = gunzip(bytes, kEntryLimit);
                take(unit.name, *makeJsonReader(QString::fromUtf8(bytes)));
            } else if (unit.kind == Unit::Page) {
                readPage(unit.name, bytes);
            } else if (unit.kind == Unit::Tandoor) {
                ArchiveReader inner(std::make_unique<ZipFiles>(ZipArchive::fromBytes(std::move(bytes))), Inner);
                take(unit.name, inner);
            } else {
                QByteArray picture;
                QString left;
                if (const QString name = pictureOf(unit.name); !name.isEmpty()) {
                    try {
                        picture = m_files->read(name, kPictureLimit);
                    } catch (const ContainerError &error) {
                        left = error.message();
                    }
                }
                const qsizetype before = qsizetype(m_pending.size());
                take(unit.name, *makeJsonReader(QString::fromUtf8(bytes), picture));
                if (!left.isEmpty() && qsizetype(m_pending.size()) > before)
                    m_pending.at(size_t(before)).recipe.notes.append(QStringLiteral("Picture: left out, ") + left);
            }
        } catch (const ContainerError &error) {
            m_pending.push_back(problem(unit.name, error.message()));
        }
    }

    // A web page of the archive (Recipe Keeper's): its recipes are read one at a time as they are asked
    // for, each with its picture, so that only one recipe's picture is held at once.
    void readPage(const QString &name, const QByteArray &bytes)
    {
        m_page = makeWebPageReader(decodeText(bytes));
        m_pageName = name;
    }

    // A recipe of the page being read, with the picture its photo names, relative to the page; the last
    // picture read is kept, for the recipes that name it again.
    ReadItem pageItem(ReadItem item)
    {
        if (!item.problem.isEmpty())
            item.problem = QStringLiteral("%1: %2").arg(m_pageName, item.problem);
        item.line = 0;
        Recipe &recipe = item.recipe;
        if (!item.problem.isEmpty() || recipe.pictureAddress.isEmpty() || !QUrl(recipe.pictureAddress).isRelative())
            return item;
        const QString path =
            QDir::cleanPath(folderOf(m_pageName) + QUrl::fromPercentEncoding(recipe.pictureAddress.toUtf8()));
        const QString found = m_names.value(path.toLower());
        recipe.pictureAddress.clear();
        if (found.isEmpty() || !isSafeEntryName(path)) {
            recipe.notes.append(QStringLiteral("Picture: left out, %1 is not in the archive").arg(path));
            return item;
        }
        if (found != m_lastPicture.name) {
            m_lastPicture = {found, {}, {}};
            try {
                m_lastPicture.bytes = m_files->read(found, kPictureLimit);
            } catch (const ContainerError &error) {
                m_lastPicture.problem = error.message();
            }
        }
        recipe.picture = m_lastPicture.bytes;
        if (!m_lastPicture.problem.isEmpty())
            recipe.notes.append(QStringLiteral("Picture: left out, ") + m_lastPicture.problem);
        return item;
    }

    std::unique_ptr<Files> m_files;
    std::unique_ptr<RecipeReader> m_page; // the page whose recipes are being given
    QString m_pageName;
    struct Picture
    {
        QString name;
        QByteArray bytes;
        QString problem; ///< why it was left out
    };
    Picture m_lastPicture;           // the last picture a page's recipe named
    QHash<QString, QString> m_names; // every file, by its lower-case path
    QList<Unit> m_units;
    QHash<QString, QString> m_pictures; // by the lower-case path without its extension
    qsizetype m_next = 0;
    std::deque<ReadItem> m_pending;
};

} // namespace

std::unique_ptr<RecipeReader> makeArchiveReader(ZipArchive archive)
{
    return std::make_unique<ArchiveReader>(std::make_unique<ZipFiles>(std::move(archive)), ArchiveReader::Archive);
}

bool isRecipeFolder(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isDir() && !FolderFiles(path).names().isEmpty();
}

std::unique_ptr<RecipeReader> makeFolderReader(const QString &path)
{
    return std::make_unique<ArchiveReader>(std::make_unique<FolderFiles>(path), ArchiveReader::Folder);
}

} // namespace store::interchange
