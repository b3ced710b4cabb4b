// Finding recipes in 10,000 files of 50 categories: the first search against the operating system reading
// the same files, a later keystroke's search, the memory the index keeps, and the find window's pause.

#include "bench/benchsupport.h"
#include "screens/find.h"
#include "shell/screen.h"
#include "store/appfolder.h"
#include "store/recipeindex.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

namespace bench {
namespace {

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
    // Folders changed within 2 s of a reading are read again by the next search; a user types later.
    QThread::msleep(2100);
    const store::RecipeIndex::Fields everywhere =
        store::RecipeIndex::Names | store::RecipeIndex::Ingredients | store::RecipeIndex::Directions;

    // The floor finds the files as the search must, listing each category's folder, and reads them.
    qint64 fileBytes = 0;
    const QString categories = app.path() + QStringLiteral("/Category/");
    std::unique_ptr<store::RecipeIndex> fresh;
    // Each run starts without the cache of the run before (bench/findbench.cpp measures the cache).
    const auto [first, loop] = inTurns([&fresh, &app] {
                                           fresh = std::make_unique<store::RecipeIndex>();
                                           QDir work(app.path() + QStringLiteral("/.larderon"));
                                           for (const QString &cache : work.entryList({QStringLiteral("index-*")}))
                                               work.remove(cache);
                                       },
                                       [&fresh, &everywhere] {
                                           fresh->refresh();
                                           if (fresh->find(QStringLiteral("onion"), everywhere).size() == 0)
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
    addFigure({"first search, 10,000 recipes in 50 categories", first, loop, 2, 1000,
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
                                               index->find(words, everywhere);
                                           }));
    }
    addFigure({"a later keystroke's search (slowest key of 11)", slowest, 0, 0, 16, "-"});
    addFigure({"memory kept for 10,000 recipes", kept / 1e6, fileBytes / 1e6, 2, 0, "the recipe files' size", "MB"});
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
    addFigure({"longest pause of the find window while it reads them", double(watch.stop()), 0, 0, 100, "-"});
    store::setApplicationFolder(QString());
}

const Registration kFind("find", 20, measureFind);

} // namespace
} // namespace bench
