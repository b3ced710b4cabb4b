// Listing a category: the store and the recipe display screen on 100,000 and on 10,000 recipes, against the
// bare readdir of the folder; showing one recipe picked from the list.

#include "bench/benchsupport.h"
#include "screens/recipe.h"
#include "shell/screen.h"
#include "store/appfolder.h"
#include "store/fileops.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

namespace bench {
namespace {

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
    addFigure({"list a category of 100,000 by name", listing, bare, 2, 0, "readdir of the folder"});

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
    addFigure({"longest pause of the display screen while it lists 100,000", double(longest), 0, 0, 100, "-"});
    shell::ScreenRegistry::unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    store::setApplicationFolder(QString());
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
    addFigure({"list a category of 10,000", listing, bare, 3, 100, "readdir of the folder"});

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
    addFigure({"read and show one recipe", showing, 0, 0, 1, "-"});
    store::setApplicationFolder(QString());
}

const Registration kHuge("huge", 10, measureHugeCategory);
const Registration kDisplay("display", 30, measureDisplay);

} // namespace
} // namespace bench
