#include "store/appfolder.h"

#include "store/failure.h"
#include "store/folderindex.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace store {

namespace {

QString &folderOverride()
{
    static QString folder;
    return folder;
}

// The entry of `folder` that `name` stands for: the exact spelling when it exists, otherwise the first
// entry that differs only in letter case, otherwise `name` as given.
QString resolveEntry(const QString &folder, const QString &name)
{
    const QString exact = folder + QLatin1Char('/') + name;
    if (QFileInfo::exists(exact))
        return exact;
    const folderindex::Entry entry = folderindex::find(folder, name, true);
    return entry.kind == folderindex::Entry::Present ? folder + QLatin1Char('/') + entry.name : exact;
}

// dataPath() checks every name; an empty category would only be left out, and must fail instead.
QString requireCategory(const QString &category)
{
    if (category.isEmpty())
        throw Failure(Failure::BadFileName);
    return category;
}

QString requireName(const QString &name)
{
    if (!isValidName(name))
        throw Failure(Failure::BadFileName);
    return name;
}

} // namespace

QString applicationFolder()
{
    const QString &folder = folderOverride();
    return folder.isEmpty() ? QCoreApplication::applicationDirPath() : folder;
}

void setApplicationFolder(const QString &folder)
{
    QString cleaned = folder;
    while (cleaned.size() > 1 && cleaned.endsWith(QLatin1Char('/')))
        cleaned.chop(1);
    folderOverride() = cleaned;
}

bool isValidName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name) {
        switch (c.unicode()) {
        case u'\\':
        case u'/':
        case u':':
        case u'*':
        case u'?':
        case u'"':
        case u'<':
        case u'>':
        case u'|':
            return false;
        default:
            if (c.unicode() < 32)
                return false;
        }
    }
    return true;
}

QString dataPath(const QStringList &components)
{
    QStringList names;
    for (const QString &component : components) {
        if (!component.isEmpty())
            names.append(requireName(component));
    }
    const QString folder = applicationFolder();
    if (names.isEmpty())
        return folder;

    // Most paths are spelled as they are on disk: the last name is looked up in its folder as spelled,
    // and the names are resolved one by one only when that folder is not there.
    const QString exact = folder + QLatin1Char('/') + names.join(QLatin1Char('/'));
    if (names.size() > 1) {
        using folderindex::Entry;
        const QString exactFolder = exact.left(exact.size() - names.last().size() - 1);
        // A folder the index holds answers at once; otherwise a name that is there as spelled saves
        // reading the whole folder.
        Entry entry = folderindex::find(exactFolder, names.last(), false);
        if (entry.kind == Entry::Unknown) {
            if (QFileInfo::exists(exact))
                return exact;
            entry = folderindex::find(exactFolder, names.last(), true);
        }
        if (entry.kind == Entry::Present)
            return exactFolder + QLatin1Char('/') + entry.name;
        if (entry.kind == Entry::Absent)
            return exact;
    } else if (QFileInfo::exists(exact)) {
        return exact;
    }

    QString path = folder;
    for (const QString &name : std::as_const(names))
        path = resolveEntry(path, name);
    return path;
}

QString categoryListPath()
{
    return dataPath({kCategoryFolder, kCategoryListFile});
}

QString categoryFolderPath(const QString &category)
{
    return dataPath({kCategoryFolder, requireCategory(category)});
}

QString recipePath(const QString &category, const QString &recipe)
{
    return dataPath({kCategoryFolder, requireCategory(category), recipe});
}

QString shoppingListFolderPath()
{
    return dataPath({kShoppingListFolder});
}

QString shoppingListPath(const QString &fileName)
{
    return dataPath({kShoppingListFolder, fileName});
}

QString iconPath(const QString &name)
{
    return dataPath({kImagesFolder, name + QStringLiteral(".ico")});
}

QString helpFilePath()
{
    return dataPath({kDocumentationFolder, kHelpFile});
}

QString settingsPath()
{
    return dataPath({kSettingsFile});
}

} // namespace store
