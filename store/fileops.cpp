#include "store/fileops.h"

#include "store/failure.h"
#include "store/folderindex.h"
#include "store/textfile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <cerrno>

namespace store {

namespace {

bool isReadOnly(const QFileInfo &info)
{
    return !info.isSymLink() && info.isFile() && !(info.permissions() & QFileDevice::WriteOwner);
}

bool holdsReadOnlyFile(const QString &folder)
{
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        if (isReadOnly(it.fileInfo()))
            return true;
    }
    return false;
}

bool parentExists(const QString &path)
{
    return QFileInfo(QFileInfo(path).absolutePath()).isDir();
}

// True when the trash in the user's data folder exists or can be made there. Qt 6.4 cannot tell when it
// fails to make it: QFile::moveToTrash() then moves the file into "files" below the working folder.
bool trashAvailable()
{
    const QFileInfo data(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    return QFileInfo(data.absoluteFilePath() + QStringLiteral("/Trash")).isDir() || (data.isDir() && data.isWritable());
}

// Moves `path` to the desktop trash; where no trash can take it, removes it for good.
bool discard(const QString &path, bool isFolder)
{
    // The trash lives in the user's data folder (~/.local/share/Trash), which a new account may not
    // have yet. Qt 6.4 then moves the file into the working folder instead of failing, so the data
    // folder is made first and Qt can make the trash in it.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    if (trashAvailable() && QFile::moveToTrash(path))
        return true;
    if (isFolder)
        return QDir(path).removeRecursively();
    return QFile::remove(path);
}

} // namespace

bool folderExists(const QString &path)
{
    return QFileInfo(path).isDir();
}

bool fileExists(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

void createFolder(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists() || info.isSymLink())
        throw Failure(Failure::FileAlreadyExists);
    if (!parentExists(path))
        throw Failure(Failure::PathNotFound);
    if (!QDir().mkdir(path))
        throw Failure(errno == EEXIST ? Failure::FileAlreadyExists : Failure::PermissionDenied);
    folderindex::added(path);
}

void deleteFolder(const QString &path)
{
    if (!folderExists(path))
        throw Failure(Failure::PathNotFound);
    if (holdsReadOnlyFile(path))
        throw Failure(Failure::PermissionDenied);
    if (!discard(path, true))
        throw Failure(Failure::PermissionDenied);
}

void deleteFile(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir())
        throw Failure(Failure::PathFileAccessError);
    if (!info.exists() && !info.isSymLink())
        throw Failure(Failure::FileNotFound);
    if (isReadOnly(info))
        throw Failure(Failure::PermissionDenied);
    if (!discard(path, false))
        throw Failure(Failure::PermissionDenied);
}

void moveFile(const QString &from, const QString &to)
{
    if (!fileExists(from))
        throw Failure(Failure::FileNotFound);
    if (QFileInfo::exists(to))
        throw Failure(Failure::FileAlreadyExists);
    if (!parentExists(to))
        throw Failure(Failure::PathNotFound);
    if (!QFile::rename(from, to))
        throw Failure(Failure::PathFileAccessError);
    folderindex::added(to);
}

void createTextFile(const QString &path)
{
    TextWriter writer(path, TextWriter::Replace);
    writer.commit();
}

QStringList listFiles(const QString &folder)
{
    if (!folderExists(folder))
        throw Failure(Failure::PathNotFound);
    QStringList names;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        names.append(it.fileName());
    }
    return names;
}

QString temporaryFolder()
{
    return QDir::tempPath();
}

QString temporaryFile(const QString &folder, const QString &prefix)
{
    if (!folderExists(folder))
        throw Failure(Failure::PathNotFound);
    QTemporaryFile file(folder + QLatin1Char('/') + prefix + QStringLiteral("XXXXXX.tmp"));
    file.setAutoRemove(false);
    if (!file.open())
        throw Failure(Failure::PermissionDenied);
    return file.fileName();
}

} // namespace store
