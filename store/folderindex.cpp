#include "store/folderindex.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <ctime>
#include <dirent.h>
#include <sys/stat.h>

namespace store::folderindex {

namespace {

// File times advance in coarse steps (a few milliseconds): a folder changed in the same step as it was
// read keeps its time, so an index read that soon after a change is not trusted the next time.
constexpr qint64 kTimeStepNs = 50'000'000;

struct Index
{
    QString folder;
    timespec modified{};
    bool racy = true;
    QHash<QString, QString> byFoldedName;
};

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

Index &index()
{
    static Index i;
    return i;
}

bool modifiedAt(const QString &folder, timespec *modified)
{
    struct stat info;
    if (::stat(QFile::encodeName(folder).constData(), &info) != 0)
        return false;
    *modified = info.st_mtim;
    return true;
}

bool operator==(const timespec &a, const timespec &b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

void read(Index &i, const QString &folder, const timespec &modified)
{
    i.folder = folder;
    i.modified = modified;
    i.racy = isRecent(modified);
    i.byFoldedName.clear();
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return;
    while (const dirent *entry = ::readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (name == QLatin1String(".") || name == QLatin1String(".."))
            continue;
        // The first entry read keeps a folded name that several entries share.
        const QString folded = name.toCaseFolded();
        if (!i.byFoldedName.contains(folded))
            i.byFoldedName.insert(folded, name);
    }
    ::closedir(dir);
}

} // namespace

QString findIgnoringCase(const QString &folder, const QString &name)
{
    timespec modified;
    if (!modifiedAt(folder, &modified))
        return {};
    Index &i = index();
    if (i.folder != folder || !(i.modified == modified) || i.racy)
        read(i, folder, modified);
    return i.byFoldedName.value(name.toCaseFolded());
}

void added(const QString &path)
{
    const QFileInfo info(path);
    Index &i = index();
    if (i.folder != info.absolutePath())
        return;
    timespec modified;
    if (!modifiedAt(i.folder, &modified))
        return;
    const QString folded = info.fileName().toCaseFolded();
    if (!i.byFoldedName.contains(folded))
        i.byFoldedName.insert(folded, info.fileName());
    // The index was read or checked moments ago and now holds the program's own change as well.
    i.modified = modified;
    i.racy = false;
}

} // namespace store::folderindex
