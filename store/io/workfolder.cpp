#include "store/io/workfolder.h"

#include <QCoreApplication>

namespace store {

namespace {

QString &folderOverride()
{
    static QString folder;
    return folder;
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

QString workFolderPath()
{
    return applicationFolder() + QLatin1Char('/') + kWorkFolder;
}

} // namespace store
