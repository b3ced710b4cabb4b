// Saving when the disk fails, names the file system gives back as bytes, folders that may not be read and a
// second copy of the program that holds the write lock. The test's own open, mkdir, write, fsync, rename,
// renameat2 and syncfs come before the C library's: on request they fail once, as a full disk would.

#include "store/appfolder.h"
#include "store/categorylist.h"
#include "store/filename.h"
#include "store/fileops.h"
#include "store/recipefile.h"
#include "tests/support/appfolder.h"

#include <QElapsedTimer>
#include <QTest>

#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <functional>
#include <linux/capability.h>
#include <sys/file.h>
#include <sys/syscall.h>
#include <unistd.h>

using testing::failureOf;
using Operation = std::function<void()>;
Q_DECLARE_METATYPE(Operation)

namespace {

enum Call { None, Open, Mkdir, Write, Fsync, Rename, Syncfs };
struct Fault
{
    Call call = None;
    int nth = 0;
    int error = 0;
    QByteArray below; ///< only calls on paths below this fail
} g_fault;

bool isBelow(const char *path)
{
    return path && !g_fault.below.isEmpty() &&
           std::strncmp(path, g_fault.below.constData(), size_t(g_fault.below.size())) == 0;
}

bool fdIsBelow(int fd)
{
    char path[4096] = {};
    return ::readlink(QByteArray("/proc/self/fd/" + QByteArray::number(fd)).constData(), path, sizeof path - 1) > 0 &&
           isBelow(path);
}

// True when this call is the one to fail; errno is then set.
bool fails(Call call, const std::function<bool()> &applies)
{
    if (g_fault.call != call || !applies() || --g_fault.nth > 0)
        return false;
    g_fault.call = None;
    errno = g_fault.error;
    return true;
}

template <typename Function>
Function next(const char *name)
{
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

// Root reads and writes every folder whatever its permissions; a user does not.
void useFolderPermissions(bool use)
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2];
    if (::syscall(SYS_capget, &header, data) != 0)
        return;
    const quint32 override = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);
    data[0].effective = use ? data[0].effective & ~override : data[0].effective | (data[0].permitted & override);
    ::syscall(SYS_capset, &header, data);
}

} // namespace

extern "C" {
int open(const char *path, int flags, ...)
{
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = (flags & O_CREAT) ? va_arg(arguments, mode_t) : 0;
    va_end(arguments);
    if (fails(Open, [=] { return (flags & O_CREAT) && isBelow(path); }))
        return -1;
    return next<int (*)(const char *, int, ...)>("open")(path, flags, mode);
}
int mkdir(const char *path, mode_t mode)
{
    return fails(Mkdir, [=] { return isBelow(path); }) ? -1 : next<int (*)(const char *, mode_t)>("mkdir")(path, mode);
}
ssize_t write(int fd, const void *data, size_t size)
{
    if (fails(Write, [=] { return fdIsBelow(fd); }))
        return -1;
    return next<ssize_t (*)(int, const void *, size_t)>("write")(fd, data, size);
}
int fsync(int fd)
{
    return fails(Fsync, [=] { return fdIsBelow(fd); }) ? -1 : next<int (*)(int)>("fsync")(fd);
}
int syncfs(int fd)
{
    return fails(Syncfs, [=] { return fdIsBelow(fd); }) ? -1 : next<int (*)(int)>("syncfs")(fd);
}
int rename(const char *from, const char *to)
{
    return fails(Rename, [=] { return isBelow(to); }) ? -1
                                                      : next<int (*)(const char *, const char *)>("rename")(from, to);
}
int renameat2(int fromFolder, const char *from, int toFolder, const char *to, unsigned flags)
{
    if (fails(Rename, [=] { return isBelow(to); }))
        return -1;
    return next<int (*)(int, const char *, int, const char *, unsigned)>("renameat2")(fromFolder, from, toFolder, to,
                                                                                      flags);
}
}

class DurabilityTest : public QObject
{
    Q_OBJECT

private slots:
    void fullDisk_is61AndKeepsTheOldFile_data()
    {
        QTest::addColumn<int>("call");
        QTest::addColumn<int>("nth");
        QTest::addColumn<int>("error");
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<QByteArray>("left"); ///< Category/Soups/Pie afterwards
        const auto save = [] { store::saveRecipe("Soups", "Pie", record("new")); };
        const QByteArray old = "old";
        QTest::newRow("making the sibling") << int(Open) << 1 << ENOSPC << Operation(save) << old;
        QTest::newRow("making the sibling, quota") << int(Open) << 1 << EDQUOT << Operation(save) << old;
        QTest::newRow("writing") << int(Write) << 1 << ENOSPC << Operation(save) << old;
        QTest::newRow("syncing the file") << int(Fsync) << 1 << ENOSPC << Operation(save) << old;
        QTest::newRow("renaming") << int(Rename) << 1 << EDQUOT << Operation(save) << old;
        QTest::newRow("syncing the folder, file in place")
            << int(Fsync) << 2 << ENOSPC << Operation(save) << QByteArray("new");
        QTest::newRow("making a folder") << int(Mkdir) << 1 << ENOSPC
                                         << Operation([] { store::createFolder(store::categoryFolderPath("Pies")); })
                                         << old;
        QTest::newRow("appending a category line")
            << int(Write) << 1 << EDQUOT << Operation([] { store::appendCategoryLine("Pies"); }) << old;
        QTest::newRow("making an empty file")
            << int(Open) << 1 << ENOSPC << Operation([] { store::createTextFile(store::settingsPath()); }) << old;
        QTest::newRow("syncing in bulk") << int(Syncfs) << 1 << ENOSPC
                                         << Operation([] { store::syncFolder(store::categoryFolderPath("Soups")); })
                                         << old;
        QTest::newRow("moving a file") << int(Rename) << 1 << ENOSPC << Operation([] {
            store::moveFile(store::recipePath("Soups", "Pie"), store::recipePath("Soups", "Tart"));
        }) << old;
    }
    void fullDisk_is61AndKeepsTheOldFile()
    {
        QFETCH(int, call);
        QFETCH(int, nth);
        QFETCH(int, error);
        QFETCH(Operation, operation);
        QFETCH(QByteArray, left);
        testing::AppFolder app;
        saveOld(app);
        g_fault = {Call(call), nth, error, QFile::encodeName(app.path())};
        const QStringList before = app.tree();

        QCOMPARE(failureOf(operation), 61);
        QCOMPARE(store::loadRecipe("Soups", "Pie").directions().toUtf8(), left);
        QCOMPARE(app.tree(), before);
        QCOMPARE(QDir(app.file(".larderon")).entryList(QDir::Files | QDir::Hidden), QStringList{"lock"});
        QCOMPARE(int(g_fault.call), int(None));
    }

    void save_writesWhereNoListingLooksAndStartUpClearsIt()
    {
        testing::AppFolder app;
        saveOld(app);
        store::TextWriter writer(store::recipePath("Soups", "Pie"), store::TextWriter::Replace);
        writer.writeLine("half");
        QCOMPARE(store::listFiles(app.file("Category/Soups")), QStringList{"Pie"});
        QCOMPARE(QDir(app.file(".larderon")).entryList(QDir::Files).size(), 2);
        // A save cut off leaves its file in the work folder, which the next start clears.
        app.write(".larderon/save-stale", "half");
        writer.commit();
        QCOMPARE(store::listFiles(app.file("Category/Soups")), QStringList{"Pie"});
        store::cleanWorkFolder();
        QCOMPARE(QDir(app.file(".larderon")).entryList(QDir::Files | QDir::Hidden), QStringList{"lock"});
    }

    void writeLockHeldByAnotherCopy_is75_data()
    {
        QTest::addColumn<Operation>("operation");
        QTest::newRow("save") << Operation([] { store::saveRecipe("Soups", "Pie", record("new")); });
        QTest::newRow("append a category line") << Operation([] { store::appendCategoryLine("Pies"); });
        QTest::newRow("rewrite the category list") << Operation([] { store::removeCategoryLines("Soups"); });
    }
    void writeLockHeldByAnotherCopy_is75()
    {
        QFETCH(Operation, operation);
        testing::AppFolder app;
        app.write("Category/category.txt", "Soups\r\n");
        saveOld(app);
        const QStringList before = app.tree();
        // Another open of the lock file stands for another copy of the program.
        const int other = ::open(QFile::encodeName(app.file(".larderon/lock")).constData(), O_RDWR | O_CLOEXEC);
        QCOMPARE(::flock(other, LOCK_EX), 0);
        QElapsedTimer waited;
        waited.start();
        QCOMPARE(failureOf(operation), 75);
        QVERIFY(waited.elapsed() >= 900);
        QCOMPARE(app.tree(), before);
        ::close(other);
        QCOMPARE(failureOf(operation), 0);
    }

    void nameNotUtf8_isListedOpenedSavedMovedAndTrashed()
    {
        testing::AppFolder app;
        saveOld(app);
        const QByteArray folder = QFile::encodeName(app.file("Category/Soups/"));
        QCOMPARE(::rename((folder + "Pie").constData(), (folder + "bad\xe8utf").constData()), 0);
        const QString shown = QStringLiteral(u"badèutf");

        QCOMPARE(store::listFiles(app.file("Category/Soups")), QStringList{shown});
        QCOMPARE(store::loadRecipe("Soups", shown).directions(), "old");
        store::saveRecipe("Soups", QStringLiteral(u"BADÈUTF"), record("new"));
        QCOMPARE(store::loadRecipe("Soups", shown).directions(), "new");
        const QString path = store::recipePath("Soups", shown);
        store::moveFile(path, app.file("Category/Moved"));
        store::moveFile(app.file("Category/Moved"), path + "2");
        QCOMPARE(store::listFiles(app.file("Category/Soups")), QStringList{shown + "2"});
        store::deleteFile(store::recipePath("Soups", shown + "2"));
        QCOMPARE(store::listFiles(app.file("Category/Soups")), QStringList{});
        const QByteArray trash = QFile::encodeName(app.trashFiles()) + "/../";
        const QByteArray info = trash + "info/bad\xe8utf2.trashinfo";
        QCOMPARE(store::TextReader::open(store::decodeFileName(info)).readLine(), "[Trash Info]");
        QVERIFY(store::TextReader::open(store::decodeFileName(info))
                    .readAll()
                    .contains(folder.toPercentEncoding("/") + "bad%E8utf2"));
        // Qt cannot remove the temporary folder with these names in it.
        ::unlink(info.constData());
        ::unlink((trash + "files/bad\xe8utf2").constData());
    }

    void folderNotReadable_is75_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<Operation>("operation");
        QTest::newRow("open a recipe") << "Category/Soups" << Operation([] { store::loadRecipe("Soups", "Pie"); });
        QTest::newRow("list a category") << "Category/Soups"
                                         << Operation([] { store::listFiles(store::categoryFolderPath("Soups")); });
        QTest::newRow("delete a recipe") << "Category/Soups"
                                         << Operation([] { store::deleteFile(store::recipePath("Soups", "Pie")); });
        QTest::newRow("read the category list") << "Category" << Operation([] { store::readCategoryLines(); });
    }
    void folderNotReadable_is75()
    {
        QFETCH(QString, folder);
        QFETCH(Operation, operation);
        testing::AppFolder app;
        app.write("Category/category.txt", "Soups\r\n");
        saveOld(app);
        QFile::setPermissions(app.file(folder), {});
        useFolderPermissions(true);
        const int number = failureOf(operation);
        useFolderPermissions(false);
        QFile::setPermissions(app.file(folder), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(number, 75);
    }

private:
    // Category/Soups/Pie with the directions "old".
    static void saveOld(const testing::AppFolder &app)
    {
        app.makeFolder("Category/Soups");
        store::saveRecipe("Soups", "Pie", record("old"));
    }
    static store::RecipeRecord record(const QString &directions)
    {
        store::RecipeRecord r;
        r.directions() = directions;
        return r;
    }
};

QTEST_GUILESS_MAIN(DurabilityTest)
#include "durability_test.moc"
