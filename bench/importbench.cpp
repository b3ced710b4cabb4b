// Importing MealMaster recipes into a category, against writing the same files with the operating system
// alone, and against an import of half as many.

#include "bench/benchsupport.h"
#include "bench/mealmastergen.h"
#include "store/appfolder.h"
#include "store/interchange/mapping.h"
#include "store/interchange/reader.h"
#include "store/interchange/recipeimport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <vector>

namespace bench {
namespace {

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
    QFile source(full);
    source.open(QIODevice::ReadOnly);
    const RecipeFiles files = importedFiles(source.readAll());
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
            writeAndRename(folder, files);
            const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY);
            ::syncfs(dir);
            ::close(dir);
        });
    addFigure({"import 5,000 MealMaster recipes (3.2 MB)", ours, floor, 1.5, 400, "write + rename, one sync"});
    const auto [whole, halved] = inTurns(
        fresh, [&full, &import] { import(full, 5000); }, [&half, &import] { import(half, 2500); });
    addFigure({"import 5,000 against 2,500 recipes", whole, halved, 2.2, 0, "importing 2,500"});
    store::setApplicationFolder(QString());
}

const Registration kImport("import", 60, measureImport);

} // namespace
} // namespace bench
