// What a save leaves when the program dies in the middle of it. Copies of this program save a recipe and a
// large shopping list through the store, over and over, and are killed (SIGKILL) at random moments, 200
// times: every file must then hold one whole save, never older than one seen before, and no stray file may
// lie in a data folder. Two copies appending category lines at once must lose none. strace shows that every
// save syncs its file before the rename and its folder after it.
//
// A power cut cannot be made here: what the disk keeps of unsynced writes is not tested, only that the
// program leaves a consistent folder wherever it stops and syncs what it must.

#include "store/appfolder.h"
#include "store/categorylist.h"
#include "store/failure.h"
#include "store/fileops.h"
#include "store/recipefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <csignal>
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QString kCategory = QStringLiteral("Soups");
const QString kRecipe = QStringLiteral("Big");
const QString kList = QStringLiteral("Weekly.txt");

// Save number `n` of the recipe and of the list: each holds its number and is large enough to be cut.
store::RecipeRecord recipe(int n)
{
    store::RecipeRecord record;
    record.servingSize() = QString::number(n);
    record.directions() = QStringLiteral("Stir pot %1 slowly.\n").arg(n).repeated(2000);
    return record;
}

QString list(int n)
{
    return QStringLiteral("%1\n").arg(n) + QStringLiteral("%1 lbs potatoes, carrots, milk\n").arg(n).repeated(16000);
}

void saveBoth(int n)
{
    store::saveRecipe(kCategory, kRecipe, recipe(n));
    store::TextWriter writer(store::shoppingListPath(kList), store::TextWriter::Replace);
    writer.writeLine(list(n));
    writer.commit();
}

int fail(const QString &what)
{
    std::fprintf(stderr, "FAIL: %s\n", qPrintable(what));
    return 1;
}

// The save number of both files when each holds one whole save, else -1.
std::pair<int, int> savedNumbers()
{
    try {
        const store::RecipeRecord record = store::loadRecipe(kCategory, kRecipe);
        const QString text = store::TextReader::open(store::shoppingListPath(kList)).readAll();
        const int r = record.servingSize().toInt();
        const int l = text.left(text.indexOf(QLatin1Char('\n'))).toInt();
        return {record == recipe(r) ? r : -1, text == list(l) + QLatin1Char('\n') ? l : -1};
    } catch (const store::Failure &failure) {
        return {-1, -failure.number()};
    }
}

QStringList entries(const QString &folder)
{
    return QDir(store::applicationFolder() + QLatin1Char('/') + folder)
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

int killWhileSaving(const QString &self)
{
    int lastRecipe = 0;
    int lastList = 0;
    int cut = 0;
    for (int round = 0; round < 200; ++round) {
        QProcess saver;
        saver.start(self, {QStringLiteral("save"), store::applicationFolder(),
                           QString::number(std::max(lastRecipe, lastList) + 1)});
        if (!saver.waitForReadyRead(5000))
            return fail(QStringLiteral("the saving copy did not start"));
        ::usleep(QRandomGenerator::global()->bounded(20000u));
        ::kill(pid_t(saver.processId()), SIGKILL);
        saver.waitForFinished();
        const auto [r, l] = savedNumbers();
        if (r < lastRecipe || l < lastList)
            return fail(QStringLiteral("kill %1: recipe save %2 after %3, list save %4 after %5")
                            .arg(round)
                            .arg(r)
                            .arg(lastRecipe)
                            .arg(l)
                            .arg(lastList));
        if (entries(QStringLiteral("Category/Soups")) != QStringList{kRecipe} ||
            entries(QStringLiteral("Shopping List")) != QStringList{kList})
            return fail(QStringLiteral("kill %1 left a stray file in a data folder").arg(round));
        cut += entries(store::kWorkFolder).size() > 1;
        lastRecipe = r;
        lastList = l;
    }
    store::cleanWorkFolder();
    std::printf("200 kills, %d inside a save, %d saves; nothing lost, no stray file\n", cut, lastRecipe);
    if (cut < 20)
        return fail(QStringLiteral("only %1 kills fell inside a save").arg(cut));
    QStringList left = entries(store::kWorkFolder);
    left.removeOne(QStringLiteral("lock"));
    return left.isEmpty() ? 0 : fail(QStringLiteral("start-up left %1 in the work folder").arg(left.join(u' ')));
}

int appendAtOnce(const QString &self)
{
    QProcess first;
    QProcess second;
    first.start(self, {QStringLiteral("append"), store::applicationFolder(), QStringLiteral("A")});
    second.start(self, {QStringLiteral("append"), store::applicationFolder(), QStringLiteral("B")});
    if (!first.waitForFinished(30000) || !second.waitForFinished(30000) || first.exitCode() || second.exitCode())
        return fail(QStringLiteral("the appending copies failed"));
    QStringList lines = store::readCategoryLines();
    lines.sort();
    QStringList expected;
    for (const char *copy : {"A", "B"}) {
        for (int i = 0; i < 40; ++i)
            expected.append(QStringLiteral("%1%2").arg(QLatin1String(copy)).arg(i, 2, 10, QLatin1Char('0')));
    }
    return lines == expected ? 0 : fail(QStringLiteral("%1 of 80 category lines kept").arg(lines.size()));
}

// Each save in order: the written file synced, renamed into place, its folder synced.
int syncsEverySave(const QString &self)
{
    QProcess strace;
    // The leak checker of a sanitizer build cannot run under strace.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    strace.setProcessEnvironment(environment);
    strace.start(QStringLiteral("strace"), {QStringLiteral("-f"), QStringLiteral("-y"), QStringLiteral("-e"),
                                            QStringLiteral("trace=fsync,rename,renameat2"), self,
                                            QStringLiteral("once"), store::applicationFolder()});
    if (!strace.waitForFinished(30000) || strace.exitCode() != 0)
        return fail(QStringLiteral("strace failed: ") + QString::fromLocal8Bit(strace.readAllStandardError()));
    const QString trace = QString::fromLocal8Bit(strace.readAllStandardError());
    const QString app = QRegularExpression::escape(store::applicationFolder());
    for (const QString &file : {QStringLiteral("Category/Soups/Big"), QStringLiteral("Shopping List/Weekly.txt")}) {
        const QString folder = QRegularExpression::escape(file.section(QLatin1Char('/'), 0, -2));
        const QRegularExpression steps(QStringLiteral("fsync\\(\\d+<%1/\\.larderon/(save-\\w+)>\\) = 0\n"
                                                      "(.*renameat2\\(.* = -1 EEXIST .*\n)?"
                                                      ".*rename\\w*\\(.*\\1\", .*%1/%2\".* = 0\n"
                                                      ".*fsync\\(\\d+<%1/%3>\\) = 0")
                                           .arg(app, QRegularExpression::escape(file), folder));
        if (!steps.match(trace).hasMatch())
            return fail(QStringLiteral("no fsync, rename, fsync of the folder for %1 in:\n%2").arg(file, trace));
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() >= 3) {
        store::setApplicationFolder(args.at(2));
        if (args.at(1) == QLatin1String("once")) {
            saveBoth(1);
        } else if (args.at(1) == QLatin1String("append")) {
            for (int i = 0; i < 40; ++i)
                store::appendCategoryLine(QStringLiteral("%1%2").arg(args.at(3)).arg(i, 2, 10, QLatin1Char('0')));
        } else {
            std::puts("saving");
            std::fflush(stdout);
            for (int n = args.at(3).toInt();; ++n)
                saveBoth(n);
        }
        return 0;
    }

    QTemporaryDir folder;
    QDir(folder.path()).mkpath(QStringLiteral("Category/Soups"));
    QDir(folder.path()).mkpath(QStringLiteral("Shopping List"));
    store::setApplicationFolder(folder.path());
    saveBoth(0);
    const QString self = QCoreApplication::applicationFilePath();
    return killWhileSaving(self) || appendAtOnce(self) || syncsEverySave(self);
}
