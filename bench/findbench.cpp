// Measures the find window's search on a collector's archive: 250,000 recipes in 50 categories, made by
// importing generated MealMaster files. Each figure against a floor measured in the same run, printed as
// rows of the table bench/run.sh prints.
//
//   findbench [--runs N] [--recipes N] [--import-only]     (the recipes are spread over 50 categories)
//   LARDERON_FINDBENCH_APP=folder findbench ...   keeps the recipes there, to measure the search again

#include "bench/benchsupport.h"
#include "bench/mealmastergen.h"
#include "store/appfolder.h"
#include "store/interchange/mapping.h"
#include "store/interchange/reader.h"
#include "store/interchange/recipeimport.h"
#include "store/io/textfile.h"
#include "store/recipefile.h"
#include "store/recipeindex.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstring>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <malloc.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kCategories = 50;
int g_runs = 5;

struct Figure
{
    QString what;
    double ours;
    double floor; ///< 0 when the figure has no floor
    double maxRatio;
    double maxMs; ///< 0 when there is no absolute limit
    QString floorName;
    QString unit = QStringLiteral("ms");
};
std::vector<Figure> g_figures;

// The time of one run, the middle of several, and ours against the floor in turns, as the other groups of
// figures measure them; each median takes --runs runs.
using bench::inTurns;
using bench::middle;
using bench::timed;

QString categoryName(int c)
{
    return QStringLiteral("Category %1").arg(c, 2, 10, QLatin1Char('0'));
}

/// An application folder with `kCategories` empty categories.
void layOut(const QString &app)
{
    QDir().mkpath(app + QStringLiteral("/Category"));
    QFile list(app + QStringLiteral("/Category/category.txt"));
    list.open(QIODevice::WriteOnly);
    for (int c = 0; c < kCategories; ++c) {
        QDir().mkpath(app + QStringLiteral("/Category/") + categoryName(c));
        list.write(categoryName(c).toUtf8() + "\r\n");
    }
}

/// Imports `perCategory` generated recipes into each category as the import window does, in slices of
/// 40 ms; the longest slice is the longest the window goes without handling its events.
void measureImport(const QString &app, const QString &floorApp, int perCategory)
{
    const QByteArray mealMaster = generateMealMaster(perCategory);
    QTemporaryDir sources;
    const QString source = sources.filePath(QStringLiteral("recipes.mmf"));
    QFile file(source);
    file.open(QIODevice::WriteOnly);
    file.write(mealMaster);
    file.close();
    layOut(app);
    store::setApplicationFolder(app);
    ::sync();
    qint64 longest = 0;
    QElapsedTimer whole;
    whole.start();
    for (int c = 0; c < kCategories; ++c) {
        store::RecipeImport import({source}, categoryName(c));
        for (bool more = true; more;) {
            QElapsedTimer slice;
            slice.start();
            more = import.run(40);
            longest = std::max(longest, slice.elapsed());
        }
        if (import.report().imported != perCategory)
            qFatal("findbench: imported %d recipes of %d", import.report().imported, perCategory);
    }
    const double ours = whole.nsecsElapsed() / 1e6;

    // The floor writes the same files, named and filled as the import names and fills them, each to a
    // sibling renamed into place, and syncs once.
    const bench::RecipeFiles files = bench::importedFiles(mealMaster);
    layOut(floorApp);
    ::sync();
    whole.restart();
    for (int c = 0; c < kCategories; ++c) {
        const QByteArray folder = QFile::encodeName(floorApp + QStringLiteral("/Category/") + categoryName(c)) + '/';
        bench::writeAndRename(folder, files);
    }
    const int dir = ::open(QFile::encodeName(floorApp).constData(), O_RDONLY | O_DIRECTORY);
    ::syncfs(dir);
    ::close(dir);
    const double floor = whole.nsecsElapsed() / 1e6;
    QDir(floorApp).removeRecursively();
    const QString count = QLocale(QLocale::English).toString(perCategory * kCategories);
    g_figures.push_back({QStringLiteral("import %1 MealMaster recipes into %2 categories (once)").arg(count).arg(kCategories),
                         ours, floor, 1.5, 0, QStringLiteral("write + rename, one sync")});
    g_figures.push_back({QStringLiteral("longest pause of the import window (slices of 40 ms)"), double(longest), 0, 0,
                         100, QStringLiteral("-")});
}

void removeCaches(const QString &app)
{
    const QDir work(app + QStringLiteral("/.larderon"));
    for (const QString &name : work.entryList({QStringLiteral("index-*")}, QDir::Files | QDir::Hidden))
        QFile::remove(work.filePath(name));
}

/// Opens, reads and closes every file of the category folders (or of `only` below the work folder), and
/// returns the bytes read.
qint64 readEveryFile(const QString &app, bool caches)
{
    static char buffer[1 << 16];
    qint64 bytes = 0;
    QStringList folders;
    if (caches) {
        folders << app + QStringLiteral("/.larderon");
    } else {
        for (int c = 0; c < kCategories; ++c)
            folders << app + QStringLiteral("/Category/") + categoryName(c);
    }
    for (const QString &folder : folders) {
        const QByteArray path = QFile::encodeName(folder);
        DIR *dir = ::opendir(path.constData());
        while (const dirent *entry = ::readdir(dir)) {
            if (entry->d_type != DT_REG || (caches && std::strncmp(entry->d_name, "index-", 6) != 0))
                continue;
            const int fd = ::open((path + '/' + entry->d_name).constData(), O_RDONLY);
            ssize_t got;
            while ((got = ::read(fd, buffer, sizeof buffer)) > 0)
                bytes += got;
            ::close(fd);
        }
        ::closedir(dir);
    }
    return bytes;
}

/// Maps every cache file of the work folder whole, touches each of its pages once, and unmaps it: what
/// keeping the caches' bytes in the process costs before any of them is looked at.
void mapEveryCache(const QString &app)
{
    const QByteArray path = QFile::encodeName(app + QStringLiteral("/.larderon"));
    const long page = ::sysconf(_SC_PAGESIZE);
    volatile char touched = 0;
    DIR *dir = ::opendir(path.constData());
    while (const dirent *entry = ::readdir(dir)) {
        if (entry->d_type != DT_REG || std::strncmp(entry->d_name, "index-", 6) != 0)
            continue;
        const int fd = ::open((path + '/' + entry->d_name).constData(), O_RDONLY);
        struct stat info;
        if (::fstat(fd, &info) == 0 && info.st_size > 0) {
            const size_t size = size_t(info.st_size);
            void *mapped = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
            if (mapped != MAP_FAILED) {
                for (size_t at = 0; at < size; at += size_t(page))
                    touched = touched + static_cast<const char *>(mapped)[at];
                ::munmap(mapped, size);
            }
        }
        ::close(fd);
    }
    ::closedir(dir);
}

void measureSearch(const QString &app, int total)
{
    store::setApplicationFolder(app);
    // Every folder changed more than 2 s ago, as after an import a user comes to search later: a folder
    // changed within 2 s of a reading is read again at the next.
    QThread::msleep(2100);
    const auto everywhere = store::RecipeIndex::Names | store::RecipeIndex::Ingredients | store::RecipeIndex::Directions;
    const QString count = QLocale(QLocale::English).toString(total);
    std::unique_ptr<store::RecipeIndex> index;
    const auto firstSearch = [&index, &everywhere] {
        index->refresh();
        if (index->find(QStringLiteral("onion"), everywhere).size() == 0)
            qFatal("findbench: the first search found nothing");
    };
    qint64 fileBytes = 0;
    const auto [uncached, files] = inTurns(
        [&] {
            index = std::make_unique<store::RecipeIndex>();
            removeCaches(app);
        },
        firstSearch, [] {}, [&] { fileBytes = readEveryFile(app, false); });
    g_figures.push_back({QStringLiteral("first search without a cache, %1 recipes").arg(count), uncached, files, 1.5, 0,
                         QStringLiteral("list the folders, open, read, close each file")});

    // A start comes long after the caches were written: they are on the disk, not being written out while the
    // search reads them (the runs above wrote them afresh, and their writing out took the processor).
    ::sync();
    // Each run takes milliseconds, against seconds above: more of them, so that the middle one stands still on a
    // shared machine.
    const int cachedRuns = std::max(g_runs, 31);
    qint64 cacheBytes = 0;
    const auto [cached, caches] = inTurns([&] { index = std::make_unique<store::RecipeIndex>(); }, firstSearch, [] {},
                                          [&] { cacheBytes = readEveryFile(app, true); }, cachedRuns);
    g_figures.push_back({QStringLiteral("first search after a start, from the cache (%1 MB)").arg(cacheBytes / 1e6, 0, 'f', 0),
                         cached, caches, 2, 500, QStringLiteral("open, read, close the cache files")});
    // The same search against a floor that keeps the caches' bytes, as the index does, rather than copying
    // them through one small buffer: it shows what of the time above is the mapping of new pages.
    const auto [cachedAgain, mapped] = inTurns([&] { index = std::make_unique<store::RecipeIndex>(); }, firstSearch,
                                               [] {}, [&] { mapEveryCache(app); }, cachedRuns);
    g_figures.push_back({QStringLiteral("the same, against mapping the caches"), cachedAgain, mapped, 0, 0,
                         QStringLiteral("map the cache files, touch each page")});

    // What the index keeps: the memory the process holds with it, less that without it (resident pages,
    // so that blocks mapped on their own count as they are used, not as they are mapped).
    index.reset();
    const auto resident = [] {
        QFile statm(QStringLiteral("/proc/self/statm"));
        statm.open(QIODevice::ReadOnly);
        return statm.readAll().split(' ').value(1).toLongLong() * ::sysconf(_SC_PAGESIZE);
    };
    ::malloc_trim(0);
    const qint64 before = resident();
    index = std::make_unique<store::RecipeIndex>();
    index->refresh();
    const qint64 kept = resident() - before;
    g_figures.push_back({QStringLiteral("memory kept for %1 recipes").arg(count), kept / 1e6, fileBytes / 1e6, 1.5, 0,
                         QStringLiteral("the recipe files' size"), QStringLiteral("MB")});

    // The user types three words one letter at a time; each key refreshes (the folders' times) and searches.
    const QString typed = QStringLiteral("chicken onions bake");
    double slowest = 0;
    QString slowestKey;
    for (qsizetype length = 1; length <= typed.size(); ++length) {
        const QString words = typed.left(length);
        std::vector<double> times;
        for (int run = 0; run < std::max(g_runs, 5); ++run) {
            times.push_back(timed([] {}, [&] {
                index->refresh();
                index->find(words, everywhere);
            }));
        }
        if (const double key = middle(times); key > slowest) {
            slowest = key;
            slowestKey = words;
        }
    }
    g_figures.push_back({QStringLiteral("a keystroke's search, slowest key of \"%1\" (\"%2\")").arg(typed, slowestKey),
                         slowest, 0, 0, 16, QStringLiteral("-")});
}

void printTable()
{
    std::printf("| figure | Larderon | measured against | floor | ratio | limit | met |\n");
    std::printf("|---|---|---|---|---|---|---|\n");
    for (const Figure &f : g_figures) {
        const double ratio = f.floor > 0 ? f.ours / f.floor : 0;
        // A row with a floor but no limit explains another row: it has no verdict of its own.
        const bool explains = f.floor > 0 && f.maxRatio <= 0 && f.maxMs <= 0;
        const bool met = (f.floor <= 0 || ratio <= f.maxRatio) && (f.maxMs <= 0 || f.ours < f.maxMs);
        QStringList limits;
        if (f.floor > 0 && f.maxRatio > 0)
            limits << QStringLiteral("<= %1x").arg(f.maxRatio);
        if (f.maxMs > 0)
            limits << QStringLiteral("< %1 ms").arg(f.maxMs);
        std::printf("| %s | %.2f %s | %s | %s | %s | %s | %s |\n", qPrintable(f.what), f.ours, qPrintable(f.unit),
                    qPrintable(f.floorName),
                    f.floor > 0 ? qPrintable(QStringLiteral("%1 %2").arg(f.floor, 0, 'f', 2).arg(f.unit)) : "-",
                    f.floor > 0 ? qPrintable(QStringLiteral("%1x").arg(ratio, 0, 'f', 2)) : "-",
                    explains ? "-" : qPrintable(limits.join(QStringLiteral(", "))), explains ? "-" : met ? "yes" : "NO");
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (const qsizetype i = args.indexOf(QStringLiteral("--runs")); i > 0 && i + 1 < args.size())
        g_runs = std::max(1, args.at(i + 1).toInt());
    bench::setDefaultRuns(g_runs);
    int total = 250000;
    if (const qsizetype i = args.indexOf(QStringLiteral("--recipes")); i > 0 && i + 1 < args.size())
        total = std::max(kCategories, args.at(i + 1).toInt());

    // The recipes take about 1 GB of the disk (small files): TMPDIR should lie on a real disk with room.
    QTemporaryDir work;
    QString app = work.filePath(QStringLiteral("app"));
    // LARDERON_FINDBENCH_APP names a folder to keep the recipes in between runs: they are imported (and
    // the import measured) only when it is missing.
    if (const QString kept = qEnvironmentVariable("LARDERON_FINDBENCH_APP"); !kept.isEmpty()) {
        app = kept;
        work.setAutoRemove(QDir(app).exists());
    }
    if (!QDir(app).exists())
        measureImport(app, work.filePath(QStringLiteral("floor")), total / kCategories);
    if (!args.contains(QStringLiteral("--import-only")))
        measureSearch(app, total / kCategories * kCategories);
    store::setApplicationFolder(QString());
    printTable();
    return 0;
}
