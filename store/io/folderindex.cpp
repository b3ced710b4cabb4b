#include "store/io/folderindex.h"

#include "store/io/filename.h"

#include <QHash>
#include <QSet>

#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace store::folderindex {

namespace {

// File times advance in coarse steps (a few milliseconds): a folder changed in the same step as it was
// read keeps its time, so an index read that soon after a change is not trusted the next time.
constexpr qint64 kTimeStepNs = 50'000'000;

struct Index
{
    QString folder;
    QByteArray folderName; ///< the folder as the file system names it
    int folderHandle = -1; ///< open on the folder while it is indexed, to ask for its time cheaply
    timespec modified{};
    bool racy = true;
    QSet<QString> names;
    QHash<QString, QString> byFoldedName; ///< the first name read for each case-folded name as shown
    int batches = 0;                      ///< batches alive
    bool checkedInBatch = false;          ///< the folder was looked at on the disk during the batches alive
};

Index &index()
{
    static Index i;
    return i;
}

qint64 nanoseconds(const timespec &t)
{
    return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

bool isRecent(const timespec &modified)
{
    timespec now;
    ::clock_gettime(CLOCK_REALTIME, &now);
    return nanoseconds(now) - nanoseconds(modified) < kTimeStepNs;
}

bool operator==(const timespec &a, const timespec &b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// The modification time of the folder named `folder` by the file system; false when it is not a folder.
bool modifiedAt(const QByteArray &folder, timespec *modified)
{
    struct stat info;
    if (::stat(folder.constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        return false;
    *modified = info.st_mtim;
    return true;
}

void insert(Index &i, const QString &name)
{
    i.names.insert(name);
    // A name that is not UTF-8 is found by the name the user is shown for it.
    const QString folded = displayName(name).toCaseFolded();
    if (!i.byFoldedName.contains(folded))
        i.byFoldedName.insert(folded, name);
}

void read(Index &i, const QString &folder, const QByteArray &folderName, const timespec &modified)
{
    i.checkedInBatch = false;
    if (i.folderName != folderName && i.folderHandle >= 0) {
        ::close(i.folderHandle);
        i.folderHandle = -1;
    }
    if (i.folderHandle < 0)
        i.folderHandle = ::open(folderName.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    i.folder = folder;
    i.folderName = folderName;
    i.modified = modified;
    i.racy = isRecent(modified);
    i.names.clear();
    i.byFoldedName.clear();
    DIR *dir = ::opendir(folderName.constData());
    if (!dir)
        return;
    while (const dirent *entry = ::readdir(dir)) {
        const QString name = decodeFileName(QByteArray(entry->d_name));
        if (name != QLatin1String(".") && name != QLatin1String(".."))
            insert(i, name);
    }
    ::closedir(dir);
}

} // namespace

Entry find(const QString &folder, const QString &name, bool readFolder)
{
    Index &i = index();
    const bool held = i.folder == folder;
    if (!held || !i.checkedInBatch) {
        const QByteArray folderName = held ? i.folderName : encodeFileName(folder);
        timespec modified;
        if (!modifiedAt(folderName, &modified))
            return {Entry::FolderMissing, {}};
        if (!held || !(i.modified == modified) || i.racy) {
            if (!readFolder)
                return {Entry::Unknown, {}};
            read(i, folder, folderName, modified);
        }
        i.checkedInBatch = i.batches > 0;
    }
    if (i.names.contains(name))
        return {Entry::Present, name};
    const QString other = i.byFoldedName.value(name.toCaseFolded());
    return other.isEmpty() ? Entry{Entry::Absent, {}} : Entry{Entry::Present, other};
}

void added(const QString &path)
{
    Index &i = index();
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0 || QStringView(path).left(slash) != i.folder)
        return;
    struct stat info;
    if (i.folderHandle < 0 || ::fstat(i.folderHandle, &info) != 0)
        return;
    const timespec modified = info.st_mtim;
    insert(i, path.sliced(slash + 1));
    // The index was read or checked moments ago and now holds the program's own change as well.
    i.modified = modified;
    i.racy = false;
}

Batch::Batch()
{
    ++index().batches;
}

Batch::~Batch()
{
    Index &i = index();
    if (--i.batches == 0)
        i.checkedInBatch = false;
}

} // namespace store::folderindex
