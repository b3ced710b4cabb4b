// Saving and deleting: one recipe saved, synced, against the same system calls alone, and a category of
// 10,000 recipes deleted against rm -r.

#include "bench/benchsupport.h"
#include "store/appfolder.h"
#include "store/fileops.h"
#include "store/recipefile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace bench {
namespace {

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
    addFigure({"save one recipe, synced (median of 1,000)", middle(ours), middle(floor), 1.2, 0,
               "write, fsync, rename, fsync folder"});
}

/// Deleting a category of 10,000 recipes, against rm -r of its folder.
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
    addFigure({"delete a category of 10,000", ours, floor, 1.5, 0, "rm -r"});
}

const Registration kSave("save", 40, measureSyncedSaving);
const Registration kDelete("delete", 50, measureCategoryDelete);

} // namespace
} // namespace bench
