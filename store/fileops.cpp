#include "store/fileops.h"

#include "store/appfolder.h"
#include "store/io/failure.h"
#include "store/io/filename.h"
#include "store/io/folderindex.h"
#include "store/io/nameorder.h"
#include "store/io/textfile.h"
#include "store/io/writelock.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace store {

namespace {

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : path.left(slash);
}

bool isFolder(const QByteArray &path)
{
    struct stat info;
    return ::stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool isReadOnly(const struct stat &info)
{
    return S_ISREG(info.st_mode) && !(info.st_mode & S_IWUSR);
}

bool holdsReadOnlyFile(const QByteArray &folder)
{
    const auto check = [](const char *, const struct stat *info, int kind, FTW *) {
        return kind == FTW_F && isReadOnly(*info) ? 1 : 0;
    };
    return ::nftw(folder.constData(), check, 16, FTW_PHYS) == 1;
}

bool removeTree(const QByteArray &folder)
{
    const auto remove = [](const char *path, const struct stat *, int, FTW *) { return std::remove(path); };
    return ::nftw(folder.constData(), remove, 16, FTW_DEPTH | FTW_PHYS) == 0;
}

QByteArray dataFolder()
{
    return QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

// True when the trash in the user's data folder exists or can be made there. Qt 6.4 cannot tell when it
// fails to make it: QFile::moveToTrash() then moves the file into "files" below the working folder.
bool trashAvailable()
{
    const QByteArray data = dataFolder();
    return isFolder(data + "/Trash") || (isFolder(data) && ::access(data.constData(), W_OK) == 0);
}

// Moves `path` into the trash of the user's data folder, as the desktop's trash does: a note of where it
// came from in "info", then the file or folder itself into "files". For names that are not UTF-8, which
// Qt's trash cannot reach; only on the data folder's own file system.
bool moveToHomeTrash(const QByteArray &path)
{
    const QByteArray trash = dataFolder() + "/Trash";
    for (const QByteArray &folder : {trash, trash + "/files", trash + "/info"})
        ::mkdir(folder.constData(), 0700);
    struct stat item;
    struct stat files;
    if (::lstat(path.constData(), &item) != 0 || ::stat((trash + "/files").constData(), &files) != 0 ||
        item.st_dev != files.st_dev)
        return false;
    const QByteArray note = "[Trash Info]\nPath=" + path.toPercentEncoding("/") + "\nDeletionDate=" +
                            QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddThh:mm:ss")).toLatin1() +
                            "\n";
    const QByteArray base = path.mid(path.lastIndexOf('/') + 1);
    for (int n = 1; n < 1000; ++n) {
        const QByteArray name = n == 1 ? base : base + '.' + QByteArray::number(n);
        const QByteArray info = trash + "/info/" + name + ".trashinfo";
        const int fd = ::open(info.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return false;
        const bool noted = ::write(fd, note.constData(), size_t(note.size())) == note.size();
        ::close(fd);
        const QByteArray target = trash + "/files/" + name;
        if (noted && ::renameat2(AT_FDCWD, path.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
            return true;
        const int error = errno;
        ::unlink(info.constData());
        if (!noted || error != EEXIST)
            return false;
    }
    return false;
}

// Moves `path` to the desktop trash; where no trash can take it, removes it for good.
bool discard(const QString &path, bool folder)
{
    // The trash lives in the user's data folder (~/.local/share/Trash), which a new account may not
    // have yet. Qt 6.4 then moves the file into the working folder instead of failing, so the data
    // folder is made first and Qt can make the trash in it.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    const QByteArray name = encodeFileName(path);
    if (trashAvailable() && (name == path.toUtf8() ? QFile::moveToTrash(path) : moveToHomeTrash(name)))
        return true;
    return folder ? removeTree(name) : ::unlink(name.constData()) == 0;
}

// Copies the file `from` to the new file `to` and removes `from`; `to` is removed again on any failure.
void moveAcross(const QByteArray &from, const QByteArray &to)
{
    struct stat info;
    const int source = ::open(from.constData(), O_RDONLY | O_CLOEXEC);
    if (source < 0 || ::fstat(source, &info) != 0)
        throw Failure(Failure::PathFileAccessError);
    const int target = ::open(to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, info.st_mode & 07777);
    bool copied = target >= 0;
    char buffer[65536];
    for (ssize_t got = 1; copied && got > 0;) {
        got = ::read(source, buffer, sizeof buffer);
        copied = got == 0 || (got > 0 && ::write(target, buffer, size_t(got)) == got);
    }
    int error = errno;
    ::close(source);
    if (target >= 0 && ::close(target) != 0 && copied) {
        copied = false;
        error = errno;
    }
    if (!copied || ::unlink(from.constData()) != 0) {
        if (target >= 0)
            ::unlink(to.constData());
        throw Failure(Failure::numberOf(copied ? errno : error, Failure::PathFileAccessError));
    }
}

} // namespace

bool folderExists(const QString &path)
{
    return isFolder(encodeFileName(path));
}

bool fileExists(const QString &path)
{
    struct stat info;
    return ::stat(encodeFileName(path).constData(), &info) == 0 && !S_ISDIR(info.st_mode);
}

void createFolder(const QString &path)
{
    const QByteArray name = encodeFileName(path);
    struct stat info;
    if (::lstat(name.constData(), &info) == 0)
        throw Failure(Failure::FileAlreadyExists);
    if (!isFolder(folderOf(name)))
        throw Failure(Failure::PathNotFound);
    if (::mkdir(name.constData(), 0777) != 0)
        throw Failure(errno == EEXIST ? Failure::FileAlreadyExists
                                      : Failure::numberOf(errno, Failure::PermissionDenied));
    folderindex::added(path);
}

void deleteFolder(const QString &path)
{
    const QByteArray name = encodeFileName(path);
    if (!isFolder(name))
        throw Failure(Failure::PathNotFound);
    if (holdsReadOnlyFile(name))
        throw Failure(Failure::PermissionDenied);
    if (!discard(path, true))
        throw Failure(Failure::PermissionDenied);
}

void deleteFile(const QString &path)
{
    const QByteArray name = encodeFileName(path);
    struct stat entry;
    if (::lstat(name.constData(), &entry) != 0)
        throw Failure(errno == ENOENT || errno == ENOTDIR ? Failure::FileNotFound : Failure::PathFileAccessError);
    if (isFolder(name))
        throw Failure(Failure::PathFileAccessError);
    if (isReadOnly(entry))
        throw Failure(Failure::PermissionDenied);
    if (!discard(path, false))
        throw Failure(Failure::PermissionDenied);
}

void moveFile(const QString &from, const QString &to)
{
    const QByteArray source = encodeFileName(from);
    const QByteArray target = encodeFileName(to);
    struct stat info;
    if (::stat(source.constData(), &info) != 0 || S_ISDIR(info.st_mode))
        throw Failure(Failure::FileNotFound);
    if (::lstat(target.constData(), &info) == 0)
        throw Failure(Failure::FileAlreadyExists);
    if (!isFolder(folderOf(target)))
        throw Failure(Failure::PathNotFound);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) != 0) {
        if (errno == EINVAL || errno == ENOSYS) {
            if (std::rename(source.constData(), target.constData()) != 0)
                throw Failure(Failure::numberOf(errno, Failure::PathFileAccessError));
        } else if (errno == EXDEV) {
            moveAcross(source, target);
        } else {
            throw Failure(Failure::numberOf(errno, Failure::PathFileAccessError));
        }
    }
    folderindex::added(to);
}

void createTextFile(const QString &path)
{
    TextWriter writer(path, TextWriter::Replace);
    writer.commit();
}

QStringList listFiles(const QString &folder, FileOrder order)
{
    DIR *dir = ::opendir(encodeFileName(folder).constData());
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
        if (!isFile)
            continue;
        // The name the user reads: one that is not UTF-8 reads as Windows-1252, and reaches its file
        // through the path resolution all the same. UTF-8 names stay as they are.
        std::string_view name = entry->d_name;
        std::string decoded;
        const auto isAscii = [](char c) { return static_cast<unsigned char>(c) < 0x80; };
        if (const QByteArrayView bytes(name.data(), qsizetype(name.size()));
            !std::all_of(name.begin(), name.end(), isAscii) && !bytes.isValidUtf8()) {
            decoded = displayName(decodeFileName(bytes.toByteArray())).toStdString();
            name = decoded;
        }
        spans.emplace_back(buffer.size(), name.size());
        buffer.append(name);
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
    if (::stat(encodeFileName(path).constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        return -1;
    return qint64(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
}

QString temporaryFolder()
{
    return QDir::tempPath();
}

QString temporaryFile(const QString &folder, const QString &prefix)
{
    const QByteArray name = encodeFileName(folder);
    if (!isFolder(name))
        throw Failure(Failure::PathNotFound);
    QByteArray pattern = name + '/' + encodeFileName(prefix) + "XXXXXX.tmp";
    const int fd = ::mkstemps(pattern.data(), 4);
    if (fd < 0)
        throw Failure(Failure::numberOf(errno, Failure::PermissionDenied));
    ::close(fd);
    return folder + QLatin1Char('/') + prefix + QString::fromLatin1(pattern.right(10));
}

void syncFolder(const QString &folder)
{
    const int fd = ::open(encodeFileName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        throw Failure(errno == ENOENT || errno == ENOTDIR ? Failure::PathNotFound
                                                          : Failure::numberOf(errno, Failure::PathFileAccessError));
    // One sync of the whole file system costs about what syncing one file and its folder does, whatever
    // was written.
    const bool synced = ::syncfs(fd) == 0;
    const int error = errno;
    ::close(fd);
    if (!synced)
        throw Failure(Failure::numberOf(error, Failure::PathFileAccessError));
}

void cleanWorkFolder()
{
    const QByteArray work = encodeFileName(workFolderPath());
    if (!isFolder(work))
        return;
    try {
        // Every save holds the lock from making its file to renaming it: with the lock held, whatever
        // lies in the work folder was left by a save that was interrupted, but for the lock, the windows'
        // settings and the caches of the recipe index (store/indexcache.h), which are whole files or none.
        const WriteLock lock(0);
        DIR *dir = ::opendir(work.constData());
        if (!dir)
            return;
        while (const dirent *entry = ::readdir(dir)) {
            const std::string_view name = entry->d_name;
            const bool kept = name == "lock" || name == "settings.ini" || name.starts_with("index-");
            if (name != "." && name != ".." && !kept)
                ::unlinkat(::dirfd(dir), entry->d_name, 0);
        }
        ::closedir(dir);
    } catch (const Failure &) {
        // Another copy is writing: its files are not stale. They go at a later start.
    }
}

} // namespace store
