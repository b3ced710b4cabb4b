// Measures the store at scale against the floor of the same work done by the operating system alone,
// and prints one table row per figure: ours, the floor, their ratio, the limit and whether it is met.
// The figures come in groups, each in its file beside this one; bench/CMakeLists.txt says how to add one.
//
//   storebench [--runs N] [--only huge|find|display|save|delete|import|wrap|print|pause|setup|cook|plan]

#include "bench/benchsupport.h"
#include "shell/appearance.h"

#include <QApplication>
#include <QStringList>

#include <cstdio>
#include <vector>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (const qsizetype i = args.indexOf(QStringLiteral("--runs")); i > 0 && i + 1 < args.size())
        bench::setDefaultRuns(args.at(i + 1).toInt());

    // --only NAME measures one group.
    const std::vector<bench::Group> groups = bench::groups();
    QStringList names;
    for (const bench::Group &group : groups)
        names << QLatin1String(group.name);
    const qsizetype only = args.indexOf(QStringLiteral("--only"));
    const QString chosen = only > 0 && only + 1 < args.size() ? args.at(only + 1) : QString();
    if (!chosen.isEmpty() && !names.contains(chosen)) {
        std::fprintf(stderr, "storebench: there is no group %s; the groups are %s\n", qPrintable(chosen),
                     qPrintable(names.join(QStringLiteral(", "))));
        return 2;
    }

    shell::registerTahoma();
    for (const bench::Group &group : groups) {
        if (chosen.isEmpty() || chosen == QLatin1String(group.name))
            group.measure();
    }
    bench::printTable();
    return 0;
}
