// The setup screen on 10,000 categories against the same screen on one: opening it, and a later Create.

#include "bench/benchsupport.h"
#include "screens/setup.h"
#include "shell/screen.h"
#include "store/appfolder.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

namespace bench {
namespace {

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
    addFigure({"open the setup screen on 10,000 categories", many, one, 0, 0, "the same on one", "ms", 30});

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
    addFigure({"a later Create among 10,000 categories", later, laterOne, 0, 0, "the same among one", "ms", 16});
    shell::ScreenRegistry::unloadAll();
    store::setApplicationFolder(QString());
}

const Registration kSetup("setup", 100, measureSetup);

} // namespace
} // namespace bench
