// Saving when the disk fails, when the program is killed, names the file system gives back as bytes, folders
// that may not be read and a second copy of the program that holds the write lock. The test's own open,
// mkdir, write, fsync, rename, renameat2 and syncfs come before the C library's: on request one of them
// fails once, as a full disk would.
//
// The kill test starts copies of this program that save a recipe and a large shopping list over and over,
// and kills them (SIGKILL) at random moments, 200 times. A power cut cannot be made here: what the disk
// keeps of unsynced writes is not tested, only that the program leaves a consistent folder wherever it
// stops, and (seen with strace) syncs each file before its rename and its folder after it.

#include "store/appfolder.h"
#include "store/categorylist.h"
#include "store/fileops.h"
#include "store/io/filename.h"
#include "store/recipefile.h"
#include "tests/support/appfolder.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <dlfcn.h>
#include <fcntl.h>
#include <functional>
#include <linux/capability.h>
#include <sys/file.h>
#include <sys/syscall.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using testing::failureOf;
using Operation = std::function<void()>;
Q_DECLARE_METATYPE(Operation)

namespace {

// The calls that can fail, and the other faults: another copy of the program holding the write lock, and a
// folder that may not be read.
enum Call { None, Open, Mkdir, Write, Fsync, Rename, Syncfs, Locked, SoupsUnreadable, CategoryUnreadable };
struct Fault
{
    Call call = None;
    int nth = 0;
    int error = 0;
    QByteArray below; ///< only calls on paths below this count
} g_fault;

bool isBelow(const char *path)
{
    return path && !g_fault.below.isEmpty() && QByteArrayView(path).startsWith(g_fault.below);
}

bool fdIsBelow(int fd)
{
    char path[4096] = {};
    return ::readlink(("/proc/self/fd/" + QByteArray::number(fd)).constData(), path, sizeof path - 1) > 0 &&
           isBelow(path);
}

// True, with errno set, when this call is the one to fail.
template <typename Applies>
bool fails(Call call, Applies applies)
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
    ::syscall(SYS_capget, &header, data);
    const quint32 override = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);
    data[0].effective = use ? data[0].effective & ~override : data[0].effective | (data[0].permitted & override);
    ::syscall(SYS_capset, &header, data);
}

// A fresh application folder with Category/Soups/Pie, its directions "old", listed in category.txt.
struct Kitchen : testing::AppFolder
{
    Kitchen()
    {
        addCategory("Soups");
        store::saveRecipe("Soups", "Pie", testing::recipe({}, "old"));
    }
    QStringList work() const { return entries(".larderon"); }
};

const Operation kSave = [] { store::saveRecipe("Soups", "Pie", testing::recipe({}, "new")); };

// Save number `n` of a recipe and a shopping list, each large enough to be cut, as the kill test makes them.
std::pair<store::RecipeRecord, QString> bigSave(int n)
{
    store::RecipeRecord r = testing::recipe({}, u"Stir pot %1 slowly.\n"_s.arg(n).repeated(2000));
    r.servingSize() = QString::number(n);
    return {r, u"%1\n"_s.arg(n) + u"%1 lbs potatoes, carrots, milk\n"_s.arg(n).repeated(16000)};
}

void saveBig(int n)
{
    const auto [recipe, list] = bigSave(n);
    store::saveRecipe("Soups", "Big", recipe);
    store::TextWriter writer(store::shoppingListPath("Weekly.txt"), store::TextWriter::Replace);
    writer.writeLine(list);
    writer.commit();
}

// The numbers of the saves the big recipe and list hold, -1 for one that does not hold one whole save.
std::pair<int, int> bigSaved()
{
    const store::RecipeRecord recipe = store::loadRecipe("Soups", "Big");
    const QString list = store::TextReader::open(store::shoppingListPath("Weekly.txt")).readAll();
    const int r = recipe.servingSize().toInt();
    const int l = list.section(QLatin1Char('\n'), 0, 0).toInt();
    return {bigSave(r).first == recipe ? r : -1, bigSave(l).second + '\n' == list ? l : -1};
}

} // namespace

// A stand-in for the C library's function `name`: it fails when the fault asks for it, else calls that function.
#define STAND_IN(Result, name, call, applies, Parameters, Arguments)                                                   \
    Result name Parameters                                                                                             \
    {                                                                                                                  \
        return fails(call, [=] { return applies; }) ? Result(-1) : next<Result(*) Parameters>(#name) Arguments;        \
    }

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
STAND_IN(int, mkdir, Mkdir, isBelow(path), (const char *path, mode_t mode), (path, mode))
STAND_IN(ssize_t, write, Write, fdIsBelow(fd), (int fd, const void *data, size_t size), (fd, data, size))
STAND_IN(int, fsync, Fsync, fdIsBelow(fd), (int fd), (fd))
STAND_IN(int, syncfs, Syncfs, fdIsBelow(fd), (int fd), (fd))
STAND_IN(int, rename, Rename, isBelow(to), (const char *from, const char *to), (from, to))
STAND_IN(int, renameat2, Rename, isBelow(to), (int fromAt, const char *from, int toAt, const char *to, unsigned flags),
         (fromAt, from, toAt, to, flags))
}

class DurabilityTest : public QObject
{
    Q_OBJECT

private slots:
    void failures_takeTheirNumberAndKeepTheOldFile_data()
    {
        QTest::addColumn<int>("call");
        QTest::addColumn<int>("nth");
        QTest::addColumn<int>("error");
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("left"); ///< the directions of Category/Soups/Pie afterwards
        const auto row = [](const char *what, Call call, int nth, int error, int number, Operation operation,
                            QString left = "old") {
            QTest::newRow(what) << int(call) << nth << error << operation << number << left;
        };
        row("making the sibling", Open, 1, ENOSPC, 61, kSave);
        row("writing", Write, 1, ENOSPC, 61, kSave);
        row("syncing the file", Fsync, 1, ENOSPC, 61, kSave);
        row("renaming", Rename, 1, EDQUOT, 61, kSave);
        row("syncing the folder: the new file is in place", Fsync, 2, ENOSPC, 61, kSave, "new");
        row("making a folder", Mkdir, 1, ENOSPC, 61, [] { store::createFolder(store::categoryFolderPath("Pies")); });
        row("appending a category line", Write, 1, EDQUOT, 61, [] { store::appendCategoryLine("Pies"); });
        row("syncing an import", Syncfs, 1, ENOSPC, 61, [] { store::syncFolder(store::categoryFolderPath("Soups")); });
        row("moving a file", Rename, 1, ENOSPC, 61,
            [] { store::moveFile(store::recipePath("Soups", "Pie"), store::recipePath("Soups", "Tart")); });
        row("saving, locked", Locked, 0, 0, 75, kSave);
        row("appending a category line, locked", Locked, 0, 0, 75, [] { store::appendCategoryLine("Pies"); });
        row("rewriting the category list, locked", Locked, 0, 0, 75, [] { store::removeCategoryLines("Soups"); });
        row("opening a recipe, unreadable", SoupsUnreadable, 0, 0, 75, [] { store::loadRecipe("Soups", "Pie"); });
        row("listing a category, unreadable", SoupsUnreadable, 0, 0, 75,
            [] { store::listFiles(store::categoryFolderPath("Soups")); });
        row("deleting a recipe, unreadable", SoupsUnreadable, 0, 0, 75,
            [] { store::deleteFile(store::recipePath("Soups", "Pie")); });
        row("reading the category list, unreadable", CategoryUnreadable, 0, 0, 75, [] { store::readCategoryLines(); });
    }
    void failures_takeTheirNumberAndKeepTheOldFile()
    {
        QFETCH(int, call);
        QFETCH(int, nth);
        QFETCH(int, error);
        QFETCH(Operation, operation);
        QFETCH(int, number);
        QFETCH(QString, left);
        Kitchen app;
        const QStringList before = app.tree();
        // Another open of the lock file stands for another copy of the program.
        const int other = ::open(QFile::encodeName(app.file(".larderon/lock")).constData(), O_RDWR | O_CLOEXEC);
        QCOMPARE(::flock(other, call == Locked ? LOCK_EX : LOCK_UN), 0);
        const QString unreadable = app.file(call == SoupsUnreadable ? "Category/Soups" : "Category");
        const bool readable = call != SoupsUnreadable && call != CategoryUnreadable;
        if (!readable)
            QFile::setPermissions(unreadable, {});
        useFolderPermissions(true);
        g_fault = {Call(call), nth, error, QFile::encodeName(app.path())};
        const int failure = failureOf(operation);
        useFolderPermissions(false);
        QFile::setPermissions(unreadable, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        ::close(other);
        QCOMPARE(failure, number);
        QVERIFY(g_fault.call == None || call >= Locked); // the call failed, if one was to
        QCOMPARE(store::loadRecipe("Soups", "Pie").directions(), left);
        QCOMPARE(app.tree(), before);
        QCOMPARE(app.work(), QStringList{"lock"});
    }

    void nameNotUtf8_isListedOpenedSavedMovedAndTrashed()
    {
        Kitchen app;
        const QByteArray folder = QFile::encodeName(app.file("Category/Soups/"));
        QCOMPARE(::rename(folder + "Pie", folder + "bad\xe8utf"), 0);
        const QString shown = u"badèutf"_s;
        QCOMPARE(store::listFiles(app.file("Category/Soups")), QStringList{shown});
        QCOMPARE(store::loadRecipe("Soups", shown).directions(), "old");
        store::saveRecipe("Soups", u"BADÈUTF"_s, testing::recipe({}, "new"));
        QCOMPARE(store::loadRecipe("Soups", shown).directions(), "new");
        const QString path = store::recipePath("Soups", shown); // the name's own bytes
        store::moveFile(path, path + "2");
        store::deleteFile(path + "2");
        QCOMPARE(store::listFiles(app.file("Category/Soups")), QStringList{});
        // In the trash with its own bytes; Qt could not remove the temporary folder with them in it.
        const QByteArray trash = QFile::encodeName(app.trashFiles()) + "/../";
        QCOMPARE(::unlink(trash + "info/bad\xe8utf2.trashinfo"), 0);
        QCOMPARE(::unlink(trash + "files/bad\xe8utf2"), 0);
    }

    void kills_leaveEachFileOldOrNewAndNoStrayFile()
    {
        Kitchen app;
        saveBig(0);
        std::pair<int, int> last{0, 0}; // the saves the recipe and the list hold
        int cut = 0;
        for (int round = 0; round < 200; ++round) {
            QProcess saver;
            saver.start(QCoreApplication::applicationFilePath(), {"save", app.path(), QString::number(last.first + 1)});
            QVERIFY(saver.waitForReadyRead(5000));
            ::usleep(QRandomGenerator::global()->bounded(20000u));
            ::kill(pid_t(saver.processId()), SIGKILL);
            saver.waitForFinished();
            const std::pair<int, int> now = bigSaved();
            QVERIFY2(now.first >= last.first && now.second >= last.second, qPrintable(QString::number(round)));
            QCOMPARE(app.entries("Category/Soups"), QStringList({"Big", "Pie"}));
            QCOMPARE(app.entries("Shopping List"), QStringList{"Weekly.txt"});
            cut += app.work().size() > 1;
            last = now;
        }
        store::cleanWorkFolder();
        QCOMPARE(app.work(), QStringList{"lock"});
        QVERIFY(cut >= 20);
    }

    void save_syncsTheFileRenamesItAndSyncsTheFolder()
    {
        Kitchen app;
        saveBig(0);
        QProcess strace;
        // The leak checker of a sanitizer build cannot run under strace.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("ASAN_OPTIONS", "detect_leaks=0");
        strace.setProcessEnvironment(environment);
        strace.start("strace", {"-f", "-y", "-e", "trace=fsync,rename,renameat2",
                                QCoreApplication::applicationFilePath(), "once", app.path(), "1"});
        QVERIFY(strace.waitForFinished(30000) && strace.exitCode() == 0);
        const QString trace = QString::fromLocal8Bit(strace.readAllStandardError());
        for (const QString &folder : {u"Category/Soups"_s, u"Shopping List"_s}) {
            const QRegularExpression steps(u"fsync\\(\\d+<%1/\\.larderon/(save-\\w+)>\\) = 0\n"
                                           "(.*renameat2\\(.* = -1 EEXIST .*\n)?"
                                           ".*rename\\w*\\(.*\\1\", .*%1/%2/.* = 0\n"
                                           ".*fsync\\(\\d+<%1/%2>\\) = 0"_s.arg(QRegularExpression::escape(app.path()),
                                                                                QRegularExpression::escape(folder)));
            QVERIFY2(steps.match(trace).hasMatch(), qPrintable(trace));
        }
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // A copy started by the kill test saves until it is killed; one started under strace saves once.
    if (const QStringList args = app.arguments(); args.size() == 4 && (args[1] == "save" || args[1] == "once")) {
        store::setApplicationFolder(args[2]);
        std::puts("saving");
        std::fflush(stdout);
        for (int n = args[3].toInt(); args[1] == "save" || n == 1; ++n)
            saveBig(n);
        return 0;
    }
    DurabilityTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "durability_test.moc"
