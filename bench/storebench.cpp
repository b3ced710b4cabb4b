// Measures the store at scale against the floor of the same work done by the operating system alone,
// and prints one table row per figure: ours, the floor, their ratio, the limit and whether it is met.
//
//   storebench [--runs N] [--only huge|find|display|save|delete|import|wrap|print|pause|setup]

#include "bench/mealmastergen.h"
#include "print/lineprinter.h"
#include "print/textprint.h"
#include "screens/find.h"
#include "screens/recipe.h"
#include "screens/setup.h"
#include "screens/shop.h"
#include "shell/appearance.h"
#include "shell/screen.h"
#include "store/appfolder.h"
#include "store/fileops.h"
#include "store/interchange/mapping.h"
#include "store/interchange/reader.h"
#include "store/interchange/recipeimport.h"
#include "store/io/textfile.h"
#include "store/recipefile.h"
#include "store/recipeindex.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QProgressDialog>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTextLayout>
#include <QThread>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <malloc.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

int g_runs = 11;

/// One figure of the table.
struct Figure
{
    const char *what;
    double ours;  ///< milliseconds
    double floor; ///< milliseconds, or 0 when the figure has no floor
    double maxRatio;
    double maxMs; ///< 0 when there is no absolute limit
    const char *floorName;
    const char *unit = "ms";
    double maxExtraMs = 0; ///< 0, or the most that ours may take beyond the floor
};

std::vector<Figure> g_figures;

double middle(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double timed(const std::function<void()> &prepare, const std::function<void()> &measure)
{
    prepare();
    QElapsedTimer timer;
    timer.start();
    measure();
    return timer.nsecsElapsed() / 1e6;
}

/// The median time in milliseconds of `runs` runs of `measure`, each preceded by `prepare`.
double median(const std::function<void()> &prepare, const std::function<void()> &measure, int runs = g_runs)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i)
        times.push_back(timed(prepare, measure));
    return middle(times);
}

/// The median times of Larderon's way and of the floor, run in turns so that both meet the same disk; each
/// run is preceded by its own preparation.
std::pair<double, double> inTurns(const std::function<void()> &prepareOurs, const std::function<void()> &ours,
                                  const std::function<void()> &prepareFloor, const std::function<void()> &floor,
                                  int runs = g_runs)
{
    std::vector<double> oursTimes;
    std::vector<double> floorTimes;
    for (int i = 0; i < runs; ++i) {
        if (i % 2 == 0) {
            oursTimes.push_back(timed(prepareOurs, ours));
            floorTimes.push_back(timed(prepareFloor, floor));
        } else {
            floorTimes.push_back(timed(prepareFloor, floor));
            oursTimes.push_back(timed(prepareOurs, ours));
        }
    }
    return {middle(oursTimes), middle(floorTimes)};
}

/// The same, both runs preceded by the same preparation.
std::pair<double, double> inTurns(const std::function<void()> &prepare, const std::function<void()> &ours,
                                  const std::function<void()> &floor, int runs = g_runs)
{
    return inTurns(prepare, ours, prepare, floor, runs);
}

store::RecipeRecord sampleRecipe()
{
    store::RecipeRecord record;
    for (int row = 1; row <= 10; ++row) {
        record.amount(row) = QString::number(row);
        record.type(row) = QStringLiteral("cups");
        record.ingredient(row) = QStringLiteral("ingredient number %1, chopped").arg(row);
    }
    record.directions() = QStringLiteral("Mix everything.\nBake for an hour.\nLet it cool before serving.");
    record.temperature() = QStringLiteral("350");
    record.servingSize() = QStringLiteral("8");
    record.hours() = QStringLiteral("1");
    record.minutes() = QStringLiteral("15");
    return record;
}

QByteArray recipeBytes(const store::RecipeRecord &record)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    store::TextWriter writer(buffer);
    store::writeRecipe(writer, record);
    return bytes;
}

void makeFiles(const QString &folder, int count, const QByteArray &bytes)
{
    QDir().mkpath(folder);
    for (int i = 0; i < count; ++i) {
        QFile file(folder + QStringLiteral("/Recipe %1").arg(i, 5, 10, QLatin1Char('0')));
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
    }
}

/// The floor of one save: the file written beside its place, synced, renamed into place, its folder synced.
void bareSave(const QByteArray &path, int folder, const QByteArray &bytes)
{
    const QByteArray temp = path + ".tmp";
    const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (::write(fd, bytes.constData(), size_t(bytes.size())) != bytes.size() || ::fsync(fd) != 0)
        std::perror("write");
    ::close(fd);
    ::rename(temp.constData(), path.constData());
    ::fsync(folder);
}

/// Saving as the user does, one recipe per Save: each save synced, against the floor of the same syncs. The
/// two are timed save by save in turns, so that both meet the same disk, busy or not.
void measureSyncedSaving()
{
    const store::RecipeRecord record = sampleRecipe();
    const QByteArray bytes = recipeBytes(record);
    QTemporaryDir app;
    QDir(app.path()).mkpath(QStringLiteral("Category/Bench"));
    QDir(app.path()).mkpath(QStringLiteral("Floor"));
    store::setApplicationFolder(app.path());
    const int floorFolder = ::open(QFile::encodeName(app.path() + QStringLiteral("/Floor")).constData(),
                                   O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    std::vector<double> ours;
    std::vector<double> floor;
    for (int i = 0; i < 1000; ++i) {
        const QString name = QStringLiteral("Recipe %1").arg(i);
        const QByteArray floorPath = QFile::encodeName(app.path() + QStringLiteral("/Floor/") + name);
        const auto save = [&] { store::saveRecipe(QStringLiteral("Bench"), name, record); };
        const auto bare = [&] { bareSave(floorPath, floorFolder, bytes); };
        if (i % 2 == 0) {
            ours.push_back(timed([] {}, save));
            floor.push_back(timed([] {}, bare));
        } else {
            floor.push_back(timed([] {}, bare));
            ours.push_back(timed([] {}, save));
        }
    }
    ::close(floorFolder);
    store::setApplicationFolder(QString());
    g_figures.push_back({"save one recipe, synced (median of 1,000)", middle(ours), middle(floor), 1.2, 0,
                         "write, fsync, rename, fsync folder"});
}

void measureCategoryDelete()
{
    const QByteArray bytes = recipeBytes(sampleRecipe());
    std::unique_ptr<QTemporaryDir> app;
    std::unique_ptr<QTemporaryDir> dataHome;
    auto fresh = [&] {
        app = std::make_unique<QTemporaryDir>();
        dataHome = std::make_unique<QTemporaryDir>();
        qputenv("XDG_DATA_HOME", dataHome->path().toLocal8Bit());
        makeFiles(app->path() + QStringLiteral("/Category/Bench"), 10000, bytes);
    };
    const auto [ours, floor] = inTurns(
        fresh, [&app] { store::deleteFolder(app->path() + QStringLiteral("/Category/Bench")); },
        [&app] {
            QProcess::execute(QStringLiteral("rm"),
                              {QStringLiteral("-r"), app->path() + QStringLiteral("/Category/Bench")});
        });
    g_figures.push_back({"delete a category of 10,000", ours, floor, 1.5, 0, "rm -r"});
}

/// Importing 5,000 MealMaster recipes into one category, against writing the same 5,000 files with write
/// and rename; both put the files on the disk with one sync at the end. Then the same import against one
/// of half as many recipes, for the cost per recipe.
void measureImport()
{
    QTemporaryDir work;
    const auto writeRecipes = [&work](int count) {
        const QString path = work.filePath(QStringLiteral("recipes-%1.mmf").arg(count));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(generateMealMaster(count)) < 0)
            qFatal("storebench: cannot write %s", qPrintable(path));
        return path;
    };
    const QString full = writeRecipes(5000);
    const QString half = writeRecipes(2500);

    // The floor writes the files the import makes, named and filled as the import names and fills them.
    std::vector<std::pair<QByteArray, QByteArray>> files;
    QFile source(full);
    source.open(QIODevice::ReadOnly);
    const auto reader = store::interchange::makeReader(source.readAll());
    while (const auto item = reader->next()) {
        const store::interchange::MappedRecipe mapped = store::interchange::toRecord(item->recipe);
        files.emplace_back(QFile::encodeName(mapped.name), recipeBytes(mapped.record));
    }
    if (files.size() != 5000)
        qFatal("storebench: the generated file holds %zu recipes", files.size());

    std::unique_ptr<QTemporaryDir> app;
    auto fresh = [&app] {
        app.reset();
        app = std::make_unique<QTemporaryDir>();
        QDir(app->path()).mkpath(QStringLiteral("Category/Bench"));
        QFile list(app->path() + QStringLiteral("/Category/category.txt"));
        list.open(QIODevice::WriteOnly);
        list.write("Bench\r\n");
        list.close();
        store::setApplicationFolder(app->path());
        // What the runs before left to write out is not this run's to wait for.
        ::sync();
    };
    const auto import = [](const QString &file, qsizetype expected) {
        store::RecipeImport run({file}, QStringLiteral("Bench"));
        while (run.run(1000)) {
        }
        if (run.report().imported != expected)
            qFatal("storebench: imported %d recipes of %lld", run.report().imported, qlonglong(expected));
    };
    const auto [ours, floor] = inTurns(
        fresh, [&full, &import] { import(full, 5000); },
        [&app, &files] {
            const QByteArray folder = QFile::encodeName(app->path() + QStringLiteral("/Category/Bench/"));
            for (const auto &[name, bytes] : files) {
                const QByteArray path = folder + name;
                const QByteArray temp = path + ".tmp";
                const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
                if (::write(fd, bytes.constData(), size_t(bytes.size())) != bytes.size())
                    std::perror("write");
                ::close(fd);
                ::rename(temp.constData(), path.constData());
            }
            const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY);
            ::syncfs(dir);
            ::close(dir);
        });
    g_figures.push_back(
        {"import 5,000 MealMaster recipes (3.2 MB)", ours, floor, 1.5, 400, "write + rename, one sync"});
    const auto [whole, halved] = inTurns(
        fresh, [&full, &import] { import(full, 5000); }, [&half, &import] { import(half, 2500); });
    g_figures.push_back({"import 5,000 against 2,500 recipes", whole, halved, 2.2, 0, "importing 2,500"});
    store::setApplicationFolder(QString());
}

/// A printer that measures words with a real font but draws nothing, so that only the layout is timed.
class MeasuringPrinter : public shell::LinePrinter
{
public:
    MeasuringPrinter() : m_metrics(QFont(QStringLiteral("Tahoma"), 10)) {}
    void setFontName(const QString &) override {}
    void setFontSize(double) override {}
    void setBold(bool) override {}
    double fontSize() const override { return 10; }
    void print(const QString &text) override { m_x += textWidth(text); }
    void endLine() override
    {
        m_x = 0;
        m_y += 12;
    }
    double textWidth(const QString &text) const override { return m_metrics.horizontalAdvance(text); }
    double currentX() const override { return m_x; }
    double currentY() const override { return m_y; }
    double pageWidth() const override { return 540; }
    double pageHeight() const override { return 720; }
    void newPage() override { m_y = 0; }
    void endDocument() override {}

private:
    QFontMetricsF m_metrics;
    double m_x = 0;
    double m_y = 0;
};

QString shoppingList(qsizetype bytes)
{
    const QString line = QStringLiteral("2 lbs potatoes, 1 bag of carrots, milk, eggs (a dozen), bread, butter\n");
    QString text;
    text.reserve(bytes + line.size());
    while (text.size() < bytes)
        text += line;
    return text;
}

void measureWordWrap()
{
    const QString oneMb = shoppingList(1 << 20);
    const QString fourMb = shoppingList(4 << 20);
    const double one = median([] {},
                              [&oneMb] {
                                  MeasuringPrinter printer;
                                  shell::printWrappedText(printer, oneMb);
                              });
    const double four = median([] {},
                               [&fourMb] {
                                   MeasuringPrinter printer;
                                   shell::printWrappedText(printer, fourMb);
                               });
    g_figures.push_back({"word-wrap a 4 MB list", four, one, 4.5, 0, "a 1 MB list"});
}

/// The longest a window's event loop goes without turning: a timer that asks to run every millisecond
/// notes the gaps between its runs, from start() to stop(). `onTurn` runs at each turn too.
class PauseWatch
{
public:
    explicit PauseWatch(std::function<void()> onTurn = {})
    {
        m_tick.setInterval(1);
        QObject::connect(&m_tick, &QTimer::timeout, [this, onTurn] {
            note();
            if (onTurn)
                onTurn();
        });
    }
    void start()
    {
        m_clock.start();
        m_tick.start();
    }
    qint64 stop()
    {
        note();
        m_tick.stop();
        return m_longest;
    }

private:
    void note()
    {
        m_longest = std::max(m_longest, m_clock.elapsed() - m_last);
        m_last = m_clock.elapsed();
    }

    QElapsedTimer m_clock;
    QTimer m_tick;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

/// Makes `app` the application folder with the one category `name`, and returns its folder.
QString makeOneCategory(const QTemporaryDir &app, const QString &name)
{
    store::setApplicationFolder(app.path());
    const QString folder = app.path() + QStringLiteral("/Category/") + name;
    QDir().mkpath(folder);
    QFile list(app.path() + QStringLiteral("/Category/category.txt"));
    list.open(QIODevice::WriteOnly);
    list.write(name.toUtf8() + "\r\n");
    return folder;
}

/// The floor of listing a folder: its regular files' names read with readdir.
void readFolder(const QString &folder)
{
    std::vector<std::string> names;
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    while (const dirent *entry = ::readdir(dir)) {
        if (entry->d_type == DT_REG)
            names.emplace_back(entry->d_name);
    }
    ::closedir(dir);
}

/// The recipe display screen on a category of 10,000 recipes: listing the category into its list, and
/// showing one recipe picked from it.
void measureDisplay()
{
    QTemporaryDir app;
    const QString folder = makeOneCategory(app, QStringLiteral("Big"));
    makeFiles(folder, 10000, recipeBytes(sampleRecipe()));

    auto *screen = shell::ScreenRegistry::show<frmRecipe>();
    auto *categories = screen->findChild<QComboBox *>(QStringLiteral("cboRCat"));
    auto *files = screen->findChild<QListWidget *>(QStringLiteral("lswRFile"));

    categories->setCurrentIndex(0);
    auto *newCard = screen->findChild<QAbstractButton *>(QStringLiteral("cmdRNew"));
    // Each listing starts from an empty list, as after New: emptying the list shown before is not part
    // of listing the category.
    const auto [listing, bare] = inTurns([newCard] { newCard->click(); },
                                         [categories, files] {
                                             emit categories->activated(0);
                                             files->doItemsLayout();
                                         },
                                         [&folder] { readFolder(folder); });
    g_figures.push_back({"list a category of 10,000", listing, bare, 3, 100, "readdir of the folder"});

    emit categories->activated(0);
    int row = 0;
    const double showing = median(
        [&] {
            files->setCurrentRow(row);
            files->scrollToItem(files->currentItem());
            row += 997;
        },
        [files] {
            const QRect entry = files->visualItemRect(files->currentItem());
            QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, entry.center());
        },
        9);
    auto *name = screen->findChild<QLineEdit *>(QStringLiteral("txtRName"));
    if (!name || name->text().isEmpty())
        qFatal("storebench: picking a recipe showed nothing");
    g_figures.push_back({"read and show one recipe", showing, 0, 0, 1, "-"});
    store::setApplicationFolder(QString());
}

/// A category of 100,000 recipes: listing it by name against the bare readdir of its folder, and the
/// longest the display screen goes without handling its events from the choice of the category until the
/// list is drawn, the first time in the screen's life.
void measureHugeCategory()
{
    QTemporaryDir app;
    const QString folder = makeOneCategory(app, QStringLiteral("Huge"));
    static const char *const kFoods[] = {"Onion", "carrot", "Leek",  "potato", "Beef",   "chicken",
                                         "Rice",  "flour",  "Apple", "pear",   "Éclair", "tomato"};
    QRandomGenerator random(7);
    for (int i = 0; i < 100000; ++i) {
        const QString name =
            QStringLiteral("%1 and %2 %3")
                .arg(QString::fromUtf8(kFoods[random.bounded(12)]), QString::fromUtf8(kFoods[random.bounded(12)]))
                .arg(i);
        ::close(::open(QFile::encodeName(folder + QLatin1Char('/') + name).constData(), O_WRONLY | O_CREAT, 0644));
    }
    const auto [listing, bare] = inTurns([] {}, [&folder] { store::listFiles(folder, store::FileOrder::ByName); },
                                         [&folder] { readFolder(folder); });
    g_figures.push_back({"list a category of 100,000 by name", listing, bare, 2, 0, "readdir of the folder"});

    shell::ScreenRegistry::setQuitFunction([] {});
    shell::ScreenRegistry::unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    auto *screen = shell::ScreenRegistry::show<frmRecipe>();
    auto *categories = screen->findChild<QComboBox *>(QStringLiteral("cboRCat"));
    auto *files = screen->findChild<QListWidget *>(QStringLiteral("lswRFile"));
    QTest::qWait(100);
    PauseWatch watch;
    watch.start();
    categories->setCurrentIndex(0);
    emit categories->activated(0);
    QTest::qWait(200);
    const qint64 longest = watch.stop();
    if (files->count() != 100000)
        qFatal("storebench: the display screen did not list the 100,000 recipes");
    g_figures.push_back(
        {"longest pause of the display screen while it lists 100,000", double(longest), 0, 0, 100, "-"});
    shell::ScreenRegistry::unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    store::setApplicationFolder(QString());
}

/// A kitchen of `categories` categories of `perCategory` recipes each, with ingredients and directions drawn
/// from a small vocabulary, so that a word is found in some recipes and not in others.
void makeKitchen(const QString &app, int categories, int perCategory)
{
    static const char *const kFoods[] = {"onion",  "carrot", "leek",  "potato", "beef",  "chicken", "rice",    "flour",
                                         "butter", "milk",   "egg",   "sugar",  "apple", "pear",    "lentils", "garlic",
                                         "tomato", "pepper", "cream", "cheese", "basil", "thyme",   "salmon",  "pasta"};
    static const char *const kDoings[] = {"chop", "simmer", "bake", "stir", "fry", "whisk", "season", "roast"};
    static const char *const kMeasures[] = {"cups", "tbsp", "tsp", "lbs", "oz", ""};
    QRandomGenerator random(13);
    const auto pick = [&random](const auto &words) {
        return QLatin1String(words[random.bounded(int(std::size(words)))]);
    };
    QStringList list;
    for (int c = 0; c < categories; ++c) {
        const QString category = QStringLiteral("Category %1").arg(c);
        list.append(category);
        const QString folder = app + QStringLiteral("/Category/") + category;
        QDir().mkpath(folder);
        for (int r = 0; r < perCategory; ++r) {
            store::RecipeRecord record;
            for (int row = 1; row <= 8; ++row) {
                record.amount(row) = QString::number(random.bounded(1, 5));
                record.type(row) = pick(kMeasures);
                record.ingredient(row) = QStringLiteral("%1, %2ped").arg(pick(kFoods), pick(kDoings));
            }
            record.directions() = QStringLiteral("%1 the %2 with the %3.\n%4 for %5 minutes, then %6 it.")
                                      .arg(pick(kDoings), pick(kFoods), pick(kFoods), pick(kDoings))
                                      .arg(random.bounded(5, 90))
                                      .arg(pick(kDoings));
            record.servingSize() = QString::number(random.bounded(1, 9));
            const QString path = folder + QStringLiteral("/%1 and %2 %3").arg(pick(kFoods), pick(kFoods)).arg(r);
            QFile file(path);
            file.open(QIODevice::WriteOnly);
            file.write(recipeBytes(record));
        }
    }
    QFile categoryList(app + QStringLiteral("/Category/category.txt"));
    categoryList.open(QIODevice::WriteOnly);
    categoryList.write(list.join(QStringLiteral("\r\n")).toUtf8() + "\r\n");
}

/// Finding recipes in 10,000 files of 50 categories: the first search, which reads every file, against a
/// loop that opens, reads and closes the same files; each later keystroke's search; the memory kept.
void measureFind()
{
    QTemporaryDir app;
    store::setApplicationFolder(app.path());
    makeKitchen(app.path(), 50, 200);
    // Folders changed within the last moments are read again by the next search; a user types later.
    QThread::msleep(100);
    const store::RecipeIndex::Fields everywhere =
        store::RecipeIndex::Names | store::RecipeIndex::Ingredients | store::RecipeIndex::Directions;

    // The floor finds the files as the search must, listing each category's folder, and reads them.
    qint64 fileBytes = 0;
    const QString categories = app.path() + QStringLiteral("/Category/");
    std::unique_ptr<store::RecipeIndex> fresh;
    const auto [first, loop] = inTurns([&fresh] { fresh = std::make_unique<store::RecipeIndex>(); },
                                       [&fresh, &everywhere] {
                                           fresh->refresh();
                                           if (fresh->search(QStringLiteral("onion"), everywhere).isEmpty())
                                               qFatal("storebench: the first search found nothing");
                                       },
                                       [&categories, &fileBytes] {
                                           char buffer[4096];
                                           fileBytes = 0;
                                           for (int c = 0; c < 50; ++c) {
                                               const QByteArray folder =
                                                   QFile::encodeName(categories + QStringLiteral("Category %1").arg(c));
                                               DIR *dir = ::opendir(folder.constData());
                                               while (const dirent *entry = ::readdir(dir)) {
                                                   if (entry->d_type != DT_REG)
                                                       continue;
                                                   const QByteArray path = folder + '/' + entry->d_name;
                                                   const int fd = ::open(path.constData(), O_RDONLY);
                                                   ssize_t got;
                                                   while ((got = ::read(fd, buffer, sizeof buffer)) > 0)
                                                       fileBytes += got;
                                                   ::close(fd);
                                               }
                                               ::closedir(dir);
                                           }
                                       });
    fresh.reset();
    g_figures.push_back({"first search, 10,000 recipes in 50 categories", first, loop, 2, 1000,
                         "list the folders, open, read, close each file"});

    // What a search keeps: the heap in use with the index, less the heap in use without it.
    const size_t before = mallinfo2().uordblks;
    auto index = std::make_unique<store::RecipeIndex>();
    index->refresh();
    const size_t kept = mallinfo2().uordblks - before;

    // The user types "carrot bake" one letter at a time; the slowest keystroke counts.
    const QString typed = QStringLiteral("carrot bake");
    double slowest = 0;
    for (qsizetype length = 1; length <= typed.size(); ++length) {
        const QString words = typed.left(length);
        slowest = std::max(slowest, median([] {},
                                           [&index, &words, &everywhere] {
                                               index->refresh();
                                               index->search(words, everywhere);
                                           }));
    }
    g_figures.push_back({"a later keystroke's search (slowest key of 11)", slowest, 0, 0, 16, "-"});
    g_figures.push_back(
        {"memory kept for 10,000 recipes", kept / 1e6, fileBytes / 1e6, 2, 0, "the recipe files' size", "MB"});
    index.reset();

    // The find screen reading the same recipes for the first time: the longest the window goes without
    // handling its events, from the click that opens it to the results.
    // The window is made beforehand: making a window is not reading.
    auto *results = shell::ScreenRegistry::load<frmFind>()->findChild<QTreeView *>(QStringLiteral("lswFFound"));
    QTimer::singleShot(0, [] { shell::ScreenRegistry::show<frmFind>(); });
    PauseWatch watch;
    watch.start();
    if (!QTest::qWaitFor([results] { return results->model()->rowCount() > 0; }, 20000))
        qFatal("storebench: the find screen showed no recipe");
    g_figures.push_back({"longest pause of the find window while it reads them", double(watch.stop()), 0, 0, 100, "-"});
    store::setApplicationFolder(QString());
}

/// Printing a shopping list of 1 MB and of 4 MB to a PDF file, against Qt's own printing of the same text.
void measurePrinting()
{
    QTemporaryDir dir;
    const auto listFile = [&dir](const QString &name, qsizetype bytes) {
        const QString path = dir.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(shoppingList(bytes).replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toUtf8());
        return path;
    };
    const QString one = listFile(QStringLiteral("one.txt"), 1 << 20);
    const QString four = listFile(QStringLiteral("four.txt"), 4 << 20);
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    const auto ours = [&pdf](const QString &list) {
        return [&pdf, list] {
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            shell::PainterLinePrinter linePrinter(&printer);
            textprint::printTextFile(linePrinter, list);
        };
    };
    const auto [oneMb, qtOneMb] = inTurns([] {}, ours(one),
                                          [&pdf, &one] {
                                              QPrinter printer(QPrinter::HighResolution);
                                              printer.setOutputFormat(QPrinter::PdfFormat);
                                              printer.setOutputFileName(pdf);
                                              QTextDocument document;
                                              document.setDefaultFont(QFont(QStringLiteral("Tahoma"), 10));
                                              document.setPlainText(store::TextReader::open(one).readAll());
                                              document.print(&printer);
                                          });
    g_figures.push_back({"print a 1 MB list to PDF", oneMb, qtOneMb, 1.0 / 7, 300, "QTextDocument::print"});
    const auto [fourMb, oneAgain] = inTurns([] {}, ours(four), ours(one));
    g_figures.push_back({"print a 4 MB list to PDF", fourMb, oneAgain, 4.2, 0, "a 1 MB list"});

    // The printer library alone: the list's one line laid out once, its glyphs drawn for every line.
    const QString line = shoppingList(1).trimmed();
    const qsizetype lines = shoppingList(1 << 20).count(QLatin1Char('\n'));
    const auto [oneMbAgain, engine] =
        inTurns([] {}, ours(one),
                [&pdf, &line, lines] {
                    QPrinter printer(QPrinter::HighResolution);
                    printer.setOutputFormat(QPrinter::PdfFormat);
                    printer.setOutputFileName(pdf);
                    QPainter painter(&printer);
                    QFont font(QStringLiteral("Tahoma"));
                    font.setPointSizeF(10);
                    QTextLayout layout(line, font, &printer);
                    layout.beginLayout();
                    layout.createLine();
                    layout.endLayout();
                    const QList<QGlyphRun> runs = layout.glyphRuns();
                    const double step = QFontMetricsF(font, &printer).lineSpacing();
                    const double bottom = printer.pageLayout().paintRectPixels(printer.resolution()).height();
                    double y = 0;
                    for (qsizetype i = 0; i < lines; ++i) {
                        if (y + step > bottom) {
                            printer.newPage();
                            y = 0;
                        }
                        for (const QGlyphRun &run : runs)
                            painter.drawGlyphRun(QPointF(0, y), run);
                        y += step;
                    }
                });
    g_figures.push_back(
        {"print a 1 MB list to PDF", oneMbAgain, engine, 1.25, 0, "the printer library drawing its glyphs alone"});
}

/// The shopping list screen printing a list of 4 MB to a PDF file: the longest the window goes without
/// handling its events, from the click on Print to the end of the print, and whether the progress dialog
/// showed.
void measurePrintPause()
{
    QTemporaryDir app;
    store::setApplicationFolder(app.path());
    QDir(app.path()).mkpath(QStringLiteral("Shopping List"));
    QFile list(app.path() + QStringLiteral("/Shopping List/Big.txt"));
    list.open(QIODevice::WriteOnly);
    list.write(shoppingList(4 << 20).replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toUtf8());
    list.close();
    const QString pdf = app.path() + QStringLiteral("/Big.pdf");
    frmShop::setPrintDialog([&pdf](QPrinter &printer, QWidget *) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    auto *screen = shell::ScreenRegistry::show<frmShop>();
    screen->findChild<QListWidget *>(QStringLiteral("lswHOpen"))->setCurrentRow(0);

    bool progressShown = false;
    PauseWatch watch([&progressShown] {
        progressShown = progressShown || qobject_cast<QProgressDialog *>(QApplication::activeModalWidget());
    });
    watch.start();
    screen->findChild<QAbstractButton *>(QStringLiteral("cmdHPrint"))->click();
    const qint64 longest = watch.stop();
    if (!progressShown || QFileInfo(pdf).size() == 0)
        qFatal("storebench: the 4 MB list printed nothing or without its progress dialog");
    g_figures.push_back(
        {"longest pause of the shopping list window while it prints 4 MB", double(longest), 0, 0, 100, "-"});
    frmShop::setPrintDialog({});
    shell::ScreenRegistry::unloadAll();
    store::setApplicationFolder(QString());
}

/// The setup screen opened on 10,000 categories against the same screen on one: from the show to the
/// first drawing of the window.
void measureSetup()
{
    QTemporaryDir app;
    store::setApplicationFolder(app.path());
    QDir(app.path()).mkpath(QStringLiteral("Category"));
    const auto writeList = [&app](int count) {
        QFile list(app.path() + QStringLiteral("/Category/category.txt"));
        list.open(QIODevice::WriteOnly);
        for (int i = 0; i < count; ++i)
            list.write(QStringLiteral("Category %1\r\n").arg(i, 5, 10, QLatin1Char('0')).toUtf8());
    };
    shell::ScreenRegistry::setQuitFunction([] {});
    const auto open = [] {
        QWidget *screen = shell::ScreenRegistry::show<frmSetup>();
        screen->grab();
    };
    const auto [many, one] = inTurns(
        [&writeList] {
            shell::ScreenRegistry::unloadAll();
            writeList(10000);
        },
        open,
        [&writeList] {
            shell::ScreenRegistry::unloadAll();
            writeList(1);
        },
        open);
    g_figures.push_back({"open the setup screen on 10,000 categories", many, one, 0, 0, "the same on one", "ms", 30});

    // A Create after the first, which sorted the list: the new name goes to its place.
    int created = 0;
    const auto create = [&created] {
        auto *screen = shell::ScreenRegistry::find<frmSetup>();
        screen->findChild<QLineEdit *>(QStringLiteral("txtSCreate"))->setText(QStringLiteral("New %1").arg(++created));
        screen->findChild<QAbstractButton *>(QStringLiteral("cmdSCreate"))->click();
    };
    const auto openAndSort = [&writeList, &create](int count) {
        return [&writeList, &create, count] {
            shell::ScreenRegistry::unloadAll();
            writeList(count);
            shell::ScreenRegistry::show<frmSetup>()->grab();
            create();
        };
    };
    const auto [later, laterOne] = inTurns(openAndSort(10000), create, openAndSort(1), create);
    g_figures.push_back(
        {"a later Create among 10,000 categories", later, laterOne, 0, 0, "the same among one", "ms", 16});
    shell::ScreenRegistry::unloadAll();
    store::setApplicationFolder(QString());
}

void printTable()
{
    std::printf("| figure | Larderon | measured against | floor | ratio | limit | met |\n");
    std::printf("|---|---|---|---|---|---|---|\n");
    for (const Figure &f : g_figures) {
        const double ratio = f.floor > 0 ? f.ours / f.floor : 0;
        const bool met = (f.floor <= 0 || f.maxRatio <= 0 || ratio <= f.maxRatio) &&
                         (f.maxMs <= 0 || f.ours < f.maxMs) && (f.maxExtraMs <= 0 || f.ours - f.floor < f.maxExtraMs);
        QStringList limits;
        if (f.floor > 0 && f.maxRatio >= 1)
            limits << QStringLiteral("<= %1x").arg(f.maxRatio);
        else if (f.floor > 0 && f.maxRatio > 0)
            limits << QStringLiteral("<= 1/%1x").arg(qRound(1 / f.maxRatio));
        if (f.maxMs > 0)
            limits << QStringLiteral("< %1 ms").arg(f.maxMs);
        if (f.maxExtraMs > 0)
            limits << QStringLiteral("< floor + %1 ms").arg(f.maxExtraMs);
        std::printf("| %s | %.2f %s | %s | %s | %s | %s | %s |\n", f.what, f.ours, f.unit, f.floorName,
                    f.floor > 0 ? qPrintable(QStringLiteral("%1 %2").arg(f.floor, 0, 'f', 2).arg(QLatin1String(f.unit)))
                                : "-",
                    f.floor > 0 ? qPrintable(QStringLiteral("%1x").arg(ratio, 0, 'f', 2)) : "-",
                    qPrintable(limits.join(QStringLiteral(", "))), met ? "yes" : "NO");
    }
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (const qsizetype i = args.indexOf(QStringLiteral("--runs")); i > 0 && i + 1 < args.size())
        g_runs = std::max(1, args.at(i + 1).toInt());

    shell::registerTahoma();
    // --only NAME measures one group: huge, find, display, save, delete, import, wrap, print, pause or setup.
    const qsizetype only = args.indexOf(QStringLiteral("--only"));
    const QString group = only > 0 && only + 1 < args.size() ? args.at(only + 1) : QString();
    const std::pair<const char *, void (*)()> groups[] = {
        {"huge", measureHugeCategory},     {"find", measureFind},
        {"display", measureDisplay},       {"save", measureSyncedSaving},
        {"delete", measureCategoryDelete}, {"import", measureImport},
        {"wrap", measureWordWrap},         {"print", measurePrinting},
        {"pause", measurePrintPause},      {"setup", measureSetup}};
    for (const auto &[name, measure] : groups) {
        if (group.isEmpty() || group == QLatin1String(name))
            measure();
    }
    printTable();
    return 0;
}
