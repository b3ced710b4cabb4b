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
    const QString other = folderindex::findIgnoringCase(folder, name);
    return other.isEmpty() ? exact : folder + QLatin1Char('/') + other;
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
        if (c.unicode() < 32 || QStringView(u"\\/:*?\"<>|").contains(c))
            return false;
    }
    return true;
}

QString dataPath(const QStringList &components)
{
    QString path = applicationFolder();
    for (const QString &component : components) {
        if (component.isEmpty())
            continue;
        path = resolveEntry(path, requireName(component));
    }
    return path;
}

QString categoryListPath()
{
    return dataPath({kCategoryFolder, kCategoryListFile});
}

QString categoryFolderPath(const QString &category)
{
    return dataPath({kCategoryFolder, requireName(category)});
}

QString recipePath(const QString &category, const QString &recipe)
{
    return dataPath({kCategoryFolder, requireName(category), recipe});
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
