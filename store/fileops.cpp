#include "store/fileops.h"

#include "store/failure.h"
#include "store/folderindex.h"
#include "store/nameorder.h"
#include "store/textfile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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

void syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        throw Failure(errno == ENOENT || errno == ENOTDIR ? Failure::PathNotFound : Failure::PathFileAccessError);
    // syncfs() writes out the whole file system the folder is on: every file of the batch and the folder's
    // entries for them, in one call.
    const int synced = ::syncfs(fd);
    const int error = errno;
    ::close(fd);
    if (synced != 0)
        throw Failure(error == ENOSPC || error == EDQUOT ? Failure::DiskFull : Failure::PathFileAccessError);
}

QStringList listFiles(const QString &folder, FileOrder order)
{
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        throw Failure(errno == ENOTDIR || errno == ENOENT ? Failure::PathNotFound : Failure::PathFileAccessError);
    // The names go into one buffer, one after the other: a folder may hold many thousands of them.
    std::string buffer;
    std::vector<std::pair<size_t, size_t>> spans;
    while (const dirent *entry = ::readdir(dir)) {
        bool isFile = entry->d_type == DT_REG;
        // Where the file system does not tell the kind of an entry, or the entry is a link, ask for it.
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            struct stat info;
            isFile = ::fstatat(::dirfd(dir), entry->d_name, &info, 0) == 0 && S_ISREG(info.st_mode);
        }
        if (isFile) {
            const size_t length = std::strlen(entry->d_name);
            spans.emplace_back(buffer.size(), length);
            buffer.append(entry->d_name, length);
        }
    }
    ::closedir(dir);
    std::vector<std::string_view> names;
    names.reserve(spans.size());
    for (const auto &[start, length] : spans)
        names.emplace_back(buffer.data() + start, length);

    // Each name's key is made once, from the bytes the folder gave; equal names keep the folder's order.
    std::vector<size_t> places;
    if (order == FileOrder::ByName)
        places = orderByName(names);
    QStringList result;
    result.reserve(qsizetype(names.size()));
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string_view name = names[places.empty() ? i : places[i]];
        result.append(QString::fromUtf8(name.data(), qsizetype(name.size())));
    }
    return result;
}

qint64 folderModifiedTime(const QString &path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        return -1;
    return qint64(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
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
