#include "store/io/textfile.h"

#include "store/io/failure.h"
#include "store/io/filename.h"
#include "store/io/folderindex.h"
#include "store/io/textcodec.h"
#include "store/io/workfolder.h"
#include "store/io/writebatch.h"
#include "store/io/writelock.h"

#include <QDir>
#include <QFileInfo>
#include <QIODevice>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace store {

namespace {

// The most text a writer to a file holds before it writes it to the sibling.
constexpr qsizetype kHeldBytes = 1024 * 1024;

QByteArray encodeForDisk(QString text)
{
    if (text.contains(QLatin1Char('\r')))
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (text.contains(QLatin1Char('\n')))
        text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text.toUtf8();
}

// The folder of `path`, as the file system names it.
QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : path.left(slash);
}

// Makes a new, empty file with a unique name beginning with `prefix` and returns its descriptor, or -1
// with errno set. The file gets `mode` less the process's umask, as any new file does.
int createUnique(const QByteArray &prefix, mode_t mode, QByteArray *name)
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QByteArray candidate = prefix;
        quint64 random = QRandomGenerator::global()->generate64();
        for (int i = 0; i < 10; ++i, random /= sizeof kLetters - 1)
            candidate += kLetters[random % (sizeof kLetters - 1)];
        const int fd = ::open(candidate.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0) {
            *name = candidate;
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}

// The permissions of the file at `path` when there is one that may be replaced, none when there is no
// file. 75 for a folder, and for a read-only file: a rename would replace it without a word, where writing
// it in place would fail.
std::optional<mode_t> checkReplaceable(const QByteArray &path)
{
    struct stat existing;
    if (::stat(path.constData(), &existing) != 0)
        return std::nullopt;
    if (S_ISDIR(existing.st_mode) || !(existing.st_mode & S_IWUSR))
        throw Failure(Failure::PathFileAccessError);
    return existing.st_mode & 07777;
}

// Everything in the file open on `fd`, which is closed; 75 when it cannot be read.
QByteArray readAndClose(int fd)
{
    QByteArray bytes;
    struct stat info;
    bool failed = ::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode);
    if (!failed && info.st_size > 0)
        bytes.reserve(qsizetype(info.st_size));
    char buffer[65536];
    while (!failed) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        failed = got < 0;
        if (got <= 0)
            break;
        bytes.append(buffer, qsizetype(got));
    }
    ::close(fd);
    if (failed)
        throw Failure(Failure::PathFileAccessError);
    return bytes;
}

bool isFull(int error)
{
    return Failure::numberOf(error, Failure::PathFileAccessError) == Failure::DiskFull;
}

// Writes all of `bytes` to `fd`; false when that fails.
bool writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}

// Puts the entries of `folder` on the disk.
void syncFolderOf(const QByteArray &folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        const Failure::Number number = openFailure(errno, folder);
        throw Failure(number == Failure::FileNotFound ? Failure::PathNotFound : number);
    }
    const bool synced = ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    if (!synced)
        throw Failure(Failure::numberOf(error, Failure::PathFileAccessError));
}

// The failure of putting a written file in place.
Failure placeFailure(int error)
{
    if (error == EACCES || error == EPERM || error == EROFS)
        return Failure(Failure::PermissionDenied);
    // The folder went since the writer (or its batch) looked at it.
    if (error == ENOENT || error == ENOTDIR)
        return Failure(Failure::PathNotFound);
    return Failure(Failure::numberOf(error, Failure::PathFileAccessError));
}

// Whether an open file can be given a name through /proc, as a file made without one is.
bool canLinkOpenFiles()
{
    static const bool can = ::access("/proc/self/fd", X_OK) == 0;
    return can;
}

} // namespace

TextWriter::TextWriter(const QString &path, Mode mode, Durability durability)
    : m_target(QDir::isAbsolutePath(path) ? path : QFileInfo(path).absoluteFilePath()),
      m_path(encodeFileName(m_target)), m_mode(mode), m_durability(durability)
{
    m_lock = std::make_unique<WriteLock>();
    const QByteArray folder = folderOf(m_path);
    // Within a batch a folder found writable is taken as such until the batch ends: a change since then
    // still fails the write at its open or its rename.
    WriteBatch *const batch = WriteBatch::current();
    if (const auto known = batch ? batch->folder(folder) : std::nullopt; !known || !known->writable) {
        struct stat info;
        if (::stat(folder.constData(), &info) != 0)
            throw Failure(errno == ENOENT || errno == ENOTDIR ? Failure::PathNotFound : Failure::PermissionDenied);
        if (!S_ISDIR(info.st_mode))
            throw Failure(Failure::PathNotFound);
        if (::access(folder.constData(), W_OK | X_OK) != 0)
            throw Failure(Failure::PermissionDenied);
    }

    // Replacing, the file is looked at only when commit() finds it there; appending, its text is needed now.
    QByteArray kept;
    if (mode == Append) {
        m_replacedChecked = true;
        const std::optional<mode_t> existing = checkReplaceable(m_path);
        if (existing) {
            const int fd = ::open(m_path.constData(), O_RDONLY | O_CLOEXEC);
            if (fd < 0)
                throw Failure(Failure::PathFileAccessError);
            // A Windows-1252 file becomes UTF-8, so that the whole file stays in one encoding.
            kept = decodeText(readAndClose(fd)).toUtf8();
            // A hand-edited file may lack its last line break; what is appended still starts a line.
            if (!kept.isEmpty() && !kept.endsWith('\n') && !kept.endsWith('\r'))
                kept.append("\r\n");
        }
        m_permissions = existing;
    }
    openSibling(folder);
    m_text = kept;
}

TextWriter::TextWriter(QIODevice &device) : m_device(&device)
{}

void TextWriter::openSibling(const QByteArray &folder)
{
    // The sibling goes to the work folder when the rename from there stays on one file system, and so is
    // one step; otherwise it goes beside the file.
    // A new file is written without a name, in its own folder, and named when it is whole: a kill leaves
    // nothing to clean up, and its inode is found where the folder's files are (a sibling made in the work
    // folder gets one near the work folder's, where the file system may search long among files deleted
    // moments ago).
    if (m_mode == Create && canLinkOpenFiles()) {
        const int fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (fd >= 0) {
            m_sibling = fd;
            m_siblingName = "/proc/self/fd/" + QByteArray::number(fd);
            m_unnamed = true;
            return;
        }
    }
    const QByteArray work = encodeFileName(workFolderPath());
    WriteBatch *const batch = WriteBatch::current();
    std::optional<WriteBatch::Folder> known = batch ? batch->folder(folder) : std::nullopt;
    if (!known) {
        struct stat workInfo;
        struct stat folderInfo;
        if (::stat(work.constData(), &workInfo) != 0 && ::mkdir(work.constData(), 0777) != 0 && isFull(errno))
            throw Failure(Failure::DiskFull);
        known = WriteBatch::Folder{true, ::stat(work.constData(), &workInfo) == 0 &&
                                             ::stat(folder.constData(), &folderInfo) == 0 &&
                                             workInfo.st_dev == folderInfo.st_dev};
        if (batch)
            batch->setFolder(folder, *known);
    }
    const bool inWork = known->inWork;
    int fd = inWork ? createUnique(work + "/save-", 0666, &m_siblingName) : -1;
    // A work folder removed since the batch looked at it is made again, rather than the sibling left where
    // a listing would see it.
    if (fd < 0 && inWork && errno == ENOENT && ::mkdir(work.constData(), 0777) == 0)
        fd = createUnique(work + "/save-", 0666, &m_siblingName);
    if (fd < 0 && inWork && isFull(errno))
        throw Failure(Failure::DiskFull);
    if (fd < 0)
        fd = createUnique(m_path + '.', 0666, &m_siblingName);
    if (fd < 0) {
        const bool missing = errno == ENOENT || errno == ENOTDIR;
        throw Failure(Failure::numberOf(errno, missing ? Failure::PathNotFound : Failure::PermissionDenied));
    }
    m_sibling = fd;
}

void TextWriter::putInPlace()
{
    const auto failure = placeFailure;
    if (m_mode == Create || !m_replacedChecked) {
        // Most saves make a new file: the rename that must not replace anything tells whether one is there.
        if (::renameat2(AT_FDCWD, m_siblingName.constData(), AT_FDCWD, m_path.constData(), RENAME_NOREPLACE) == 0)
            return;
        const bool unsupported = errno == EINVAL || errno == ENOSYS;
        if (m_mode == Create) {
            // A new file never replaces anything, not even one made a moment ago by someone else. File
            // systems without that rename get a link instead, which fails the same way.
            if (unsupported && ::link(m_siblingName.constData(), m_path.constData()) == 0) {
                ::unlink(m_siblingName.constData());
                return;
            }
            throw errno == EEXIST ? Failure(Failure::FileAlreadyExists) : failure(errno);
        }
        if (errno != EEXIST && !unsupported)
            throw failure(errno);
        m_permissions = checkReplaceable(m_path);
    }
    // The replacement keeps the permissions of the file it replaces.
    if (m_permissions)
        ::chmod(m_siblingName.constData(), *m_permissions);
    if (std::rename(m_siblingName.constData(), m_path.constData()) != 0)
        throw failure(errno);
}

TextWriter::~TextWriter()
{
    // Not committed: the file stays as it was and the sibling goes.
    if (m_sibling >= 0) {
        ::close(m_sibling);
        if (!m_unnamed)
            ::unlink(m_siblingName.constData());
    }
}

void TextWriter::write(const QString &text)
{
    writeBytes(encodeForDisk(text));
}

void TextWriter::writeBytes(const QByteArray &bytes)
{
    if (!m_device) {
        m_text += bytes;
        // A large text goes to the sibling as it comes, so that it is never held whole a second time.
        if (m_sibling >= 0 && m_text.size() >= kHeldBytes) {
            if (!writeAll(m_sibling, m_text))
                throw Failure(Failure::DiskFull);
            m_text.resize(0);
        }
        return;
    }
    if (m_device->write(bytes) != bytes.size())
        throw Failure(Failure::DiskFull);
}

void TextWriter::writeLine(const QString &text)
{
    write(text + QLatin1Char('\n'));
}

void TextWriter::writeQuotedFields(const QStringList &fields)
{
    // The record is laid out in a buffer, its line breaks as on disk, and encoded a slice at a time: a
    // recipe is saved with a keystroke, and thousands of them may be written in a row, but one of many
    // megabytes is not laid out whole beside its fields.
    constexpr qsizetype kSlice = 64 * 1024;
    QString slice(2 * kSlice + 3 * fields.size() + 8, Qt::Uninitialized);
    QChar *const begin = slice.data();
    QChar *out = begin;
    const auto flush = [&] {
        writeBytes(QStringView(begin, out - begin).toUtf8());
        out = begin;
    };
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            *out++ = QLatin1Char(',');
        *out++ = QLatin1Char('"');
        const QString &field = fields.at(i);
        const QChar *c = field.constData();
        const QChar *end = c + field.size();
        for (; c != end; ++c) {
            if (*c == u'"') {
                *out++ = *c;
            } else if (*c == u'\n') {
                *out++ = QLatin1Char('\r');
            } else if (*c == u'\r' && c + 1 != end && c[1] == u'\n') {
                continue;
            }
            *out++ = *c;
            // A surrogate pair is never cut in two.
            if (out - begin >= 2 * kSlice && !c->isHighSurrogate())
                flush();
        }
        *out++ = QLatin1Char('"');
    }
    *out++ = QLatin1Char('\r');
    *out++ = QLatin1Char('\n');
    flush();
}

void TextWriter::commit()
{
    if (m_sibling < 0)
        return;
    // The text goes to the sibling in one piece and, when synced, to the disk; then a rename puts it in
    // place of the file in one step, and syncing the folder puts the rename on the disk.
    const bool synced = m_durability == Durability::Synced;
    const bool written = writeAll(m_sibling, m_text) && (!synced || ::fsync(m_sibling) == 0);
    if (m_unnamed) {
        // The link, like the rename without replacing, fails when something of the name is there.
        const bool linked = written && ::linkat(AT_FDCWD, m_siblingName.constData(), AT_FDCWD, m_path.constData(),
                                                AT_SYMLINK_FOLLOW) == 0;
        const int error = errno;
        const bool closed = ::close(m_sibling) == 0;
        m_sibling = -1;
        if (!written || (linked && !closed))
            throw Failure(Failure::DiskFull);
        if (!linked)
            throw error == EEXIST ? Failure(Failure::FileAlreadyExists) : placeFailure(error);
        folderindex::added(m_target);
        if (synced)
            syncFolderOf(folderOf(m_path));
        m_lock.reset();
        return;
    }
    const int closed = ::close(m_sibling);
    m_sibling = -1;
    if (!written || closed != 0) {
        ::unlink(m_siblingName.constData());
        // Whatever keeps the text from the disk counts as a full disk.
        throw Failure(Failure::DiskFull);
    }
    try {
        putInPlace();
    } catch (const Failure &) {
        ::unlink(m_siblingName.constData());
        throw;
    }
    folderindex::added(m_target);
    if (synced)
        syncFolderOf(folderOf(m_path));
    m_lock.reset();
}

} // namespace store
