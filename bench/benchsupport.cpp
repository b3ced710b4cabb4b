#include "bench/benchsupport.h"

#include "store/appfolder.h"
#include "store/interchange/mapping.h"
#include "store/interchange/reader.h"
#include "store/io/textfile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#include <string>

namespace bench {

namespace {

int g_runs = 11;

std::vector<Figure> &figures()
{
    static std::vector<Figure> table;
    return table;
}

// A function's own static, so that the registrations of every file find it made, whatever their order.
std::vector<Group> &registry()
{
    static std::vector<Group> all;
    return all;
}

} // namespace

void addFigure(const Figure &figure)
{
    figures().push_back(figure);
}

void printTable()
{
    std::printf("| figure | Larderon | measured against | floor | ratio | limit | met |\n");
    std::printf("|---|---|---|---|---|---|---|\n");
    for (const Figure &f : figures()) {
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

Registration::Registration(const char *name, int place, void (*measure)())
{
    registry().push_back({name, place, measure});
}

std::vector<Group> groups()
{
    std::vector<Group> ordered = registry();
    std::stable_sort(ordered.begin(), ordered.end(), [](const Group &a, const Group &b) { return a.place < b.place; });
    return ordered;
}

int defaultRuns()
{
    return g_runs;
}

void setDefaultRuns(int runs)
{
    g_runs = std::max(1, runs);
}

double timed(const std::function<void()> &prepare, const std::function<void()> &measure)
{
    prepare();
    QElapsedTimer timer;
    timer.start();
    measure();
    return timer.nsecsElapsed() / 1e6;
}

double middle(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double median(const std::function<void()> &prepare, const std::function<void()> &measure, int runs)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i)
        times.push_back(timed(prepare, measure));
    return middle(times);
}

std::pair<double, double> inTurns(const std::function<void()> &prepareOurs, const std::function<void()> &ours,
                                  const std::function<void()> &prepareFloor, const std::function<void()> &floor,
                                  int runs)
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

std::pair<double, double> inTurns(const std::function<void()> &prepare, const std::function<void()> &ours,
                                  const std::function<void()> &floor, int runs)
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

QString shoppingList(qsizetype bytes)
{
    const QString line = QStringLiteral("2 lbs potatoes, 1 bag of carrots, milk, eggs (a dozen), bread, butter\n");
    QString text;
    text.reserve(bytes + line.size());
    while (text.size() < bytes)
        text += line;
    return text;
}

PauseWatch::PauseWatch(std::function<void()> onTurn)
{
    m_tick.setInterval(1);
    QObject::connect(&m_tick, &QTimer::timeout, [this, onTurn] {
        note();
        if (onTurn)
            onTurn();
    });
}

void PauseWatch::start()
{
    m_clock.start();
    m_tick.start();
}

qint64 PauseWatch::stop()
{
    note();
    m_tick.stop();
    return m_longest;
}

void PauseWatch::note()
{
    m_longest = std::max(m_longest, m_clock.elapsed() - m_last);
    m_last = m_clock.elapsed();
}

RecipeFiles importedFiles(const QByteArray &mealMaster)
{
    RecipeFiles files;
    const auto reader = store::interchange::makeReader(mealMaster);
    while (const auto item = reader->next()) {
        const store::interchange::MappedRecipe mapped = store::interchange::toRecord(item->recipe);
        files.emplace_back(QFile::encodeName(mapped.name), recipeBytes(mapped.record));
    }
    return files;
}

void writeAndRename(const QByteArray &folder, const RecipeFiles &files)
{
    for (const auto &[name, bytes] : files) {
        const QByteArray path = folder + name;
        const QByteArray temp = path + ".tmp";
        const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (::write(fd, bytes.constData(), size_t(bytes.size())) != bytes.size())
            std::perror("write");
        ::close(fd);
        ::rename(temp.constData(), path.constData());
    }
}

} // namespace bench
