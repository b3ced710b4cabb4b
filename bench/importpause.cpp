// How long an import of a large file keeps its thread from the window's events, and how much memory it
// takes, against a floor measured in the same run. Prints table rows in bench/run.sh's format.
//
//   importpause [--runs N]
//
// The import runs as the import window runs it: in slices of 20 ms. The pause is the longest slice; its
// floor is the longest slice of an import of a small file of the same format (a few recipes). Memory is the
// process's peak resident size while importing, above what it was before, against the file's size.

#include "store/appfolder.h"
#include "store/interchange/recipeimport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kSliceMs = 20;
constexpr qint64 kSize = 50 << 20;

// A MasterCook file of one recipe whose directions are one line of about `size` bytes.
QByteArray masterCookLine(qint64 size)
{
    QByteArray line = QByteArray("Stir the pot and taste. ").repeated(int(size / 24));
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<mx2>\n<RcpE name=\"Long\"><IngR name=\"water\"/>"
           "<DirS><DirT>" + line + "</DirT></DirS></RcpE>\n</mx2>\n";
}

// A JSON-LD file of recipes of about `size` bytes in all.
QByteArray jsonLd(qint64 size)
{
    // Recipes of about 10 KB, each of its own name (an import numbers at most 9,999 of one name).
    const QByteArray steps = QByteArray("Boil the water, add the carrots. ").repeated(300);
    QByteArray text = "[";
    for (int n = 1; text.size() < size; ++n) {
        text += "{\"@type\":\"Recipe\",\"name\":\"Stew " + QByteArray::number(n) +
                "\",\"recipeIngredient\":[\"1 cup water\",\"2 carrots\"],\"recipeInstructions\":\"" + steps +
                "\"},";
    }
    text.back() = ']';
    return text;
}

long peakKib()
{
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atol(line.c_str() + 6);
    }
    return 0;
}

long residentKib()
{
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    }
    return 0;
}

struct Measured
{
    double pauseMs = 0;
    double peakMib = 0; // above the resident size before
};

Measured importOnce(const QString &file)
{
    QTemporaryDir app;
    QDir(app.path()).mkpath(QStringLiteral("Category/Soups"));
    store::setApplicationFolder(app.path());
    // Peak resident size counts from here (Linux: writing 5 to clear_refs resets it).
    std::ofstream(("/proc/self/clear_refs")) << "5";
    const long before = residentKib();
    store::RecipeImport import({file}, QStringLiteral("Soups"));
    Measured m;
    for (bool more = true; more;) {
        QElapsedTimer slice;
        slice.start();
        more = import.run(kSliceMs);
        m.pauseMs = std::max(m.pauseMs, slice.nsecsElapsed() / 1e6);
    }
    if (import.report().imported < 1)
        qFatal("importpause: nothing imported from %s", qPrintable(file));
    m.peakMib = double(peakKib() - before) / 1024.0;
    store::setApplicationFolder(QString());
    return m;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void row(const char *what, double ours, const char *floorName, double floor, const char *unit, const char *limit,
         bool met)
{
    std::printf("| %s | %.1f %s | %s | %.1f %s | %.2fx | %s | %s |\n", what, ours, unit, floorName, floor, unit,
                floor > 0 ? ours / floor : 0.0, limit, met ? "yes" : "NO");
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    int runs = 1;
    if (const qsizetype i = app.arguments().indexOf(QStringLiteral("--runs")); i > 0 && i + 1 < app.arguments().size())
        runs = std::max(1, app.arguments().at(i + 1).toInt());

    QTemporaryDir files;
    struct Kind
    {
        const char *name;
        QByteArray (*make)(qint64);
    };
    const Kind kinds[] = {{"a MasterCook line", masterCookLine}, {"JSON-LD", jsonLd}};
    for (const Kind &kind : kinds) {
        const QString large = files.filePath(QStringLiteral("large"));
        const QString small = files.filePath(QStringLiteral("small"));
        qint64 size = 0;
        {
            const QByteArray bytes = kind.make(kSize);
            size = bytes.size();
            QFile out(large);
            if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != size)
                qFatal("importpause: cannot write %s", qPrintable(large));
            QFile smallOut(small);
            if (!smallOut.open(QIODevice::WriteOnly) || smallOut.write(kind.make(4096)) < 0)
                qFatal("importpause: cannot write %s", qPrintable(small));
        }
        // Large and small in turns; the medians of each.
        std::vector<double> pauses, floors, peaks;
        for (int run = 0; run < runs; ++run) {
            const Measured big = importOnce(large);
            pauses.push_back(big.pauseMs);
            peaks.push_back(big.peakMib);
            floors.push_back(importOnce(small).pauseMs);
        }
        const double mib = double(size) / (1 << 20);
        const std::string what = std::string("longest pause while importing a 50 MB file (") + kind.name + ")";
        const double pause = median(pauses);
        row(what.c_str(), pause, "the same for a 4 KB file", median(floors), "ms", "< 100 ms", pause < 100);
        const std::string memory = std::string("peak memory while importing a 50 MB file (") + kind.name + ")";
        const double peak = median(peaks);
        row(memory.c_str(), peak, "the file's size", mib, "MiB", "<= 3x", peak <= 3 * mib);
    }
    return 0;
}
