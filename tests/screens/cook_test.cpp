#include "screens/cook.h"
#include "screens/recipe.h"
#include "store/recipefile.h"
#include "tests/support/printer.h"
#include "tests/support/rows.h"
#include "tests/support/screenfixture.h"

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSettings>
#include <QSpinBox>
#include <QTableWidget>

using shell::ScreenRegistry;

namespace {

// A stew of 14 ingredients for 4, as the import writes it: ten rows in the fields, four under
// "More ingredients:", a note and a source at the end of the directions.
store::RecipeRecord stew()
{
    store::RecipeRecord record =
        testing::recipe({"2|lb|stewing beef", "1 1/2|cups|stock", "2||onions", "3||tablespoons soy sauce",
                         "1/2-1|tsp|salt", "a pinch||pepper", "2|T|flour", "1|cup|milk", "4||carrots", "1|tb|butter"},
                        "More ingredients:\n2 tsp paprika\n1 cup rice\n½ cup cream\n3 bay leaves\n\n"
                        "Brown the beef.\n\nSimmer for two hours.\n\nNote: better the next day\nSource: Gran",
                        {"350", "4", "2", "30"});
    return record;
}

struct Cook : testing::ScreenFixture
{
    Cook()
    {
        use<frmCook>();
        folder.addCategory("Stews");
        store::saveRecipe("Stews", "Beef Stew", stew());
        cook()->openRecipe("Stews", "Beef Stew");
        screen = cook();
    }
    frmCook *cook() const { return ScreenRegistry::load<frmCook>(); }
    QStringList ingredients() const { return entries("lstKIngred"); }
    QStringList entries(const QString &list) const
    {
        QStringList shown;
        for (int i = 0; i < get<QListWidget>(list)->count(); ++i)
            shown << get<QListWidget>(list)->item(i)->text();
        return shown;
    }
    // Runs the steps on another screen and reads its keys.
    QString on(const char *name, const QString &steps, const QString &keys)
    {
        const QScopedValueRollback other(screen, ScreenRegistry::load(QLatin1String(name)));
        run(steps);
        return state(keys);
    }
};

} // namespace

class CookTest : public QObject
{
    Q_OBJECT

private slots:
    void open_showsEveryPart()
    {
        Cook f;
        QCOMPARE(f.state("screen lblKName lblKFacts lblKNote"),
                 "shown / Beef Stew / Serves 4\nTime: 2 h 30 min\nOven: 350 °F · 175 °C · gas mark 4 / "
                 "Note: better the next day\nSource: Gran");
        QCOMPARE(f.screen->windowTitle(), "Beef Stew");
        QCOMPARE(f.ingredients().size(), 14);
        QCOMPARE(f.ingredients().mid(10), QStringList({"2 tsp paprika", "1 cup rice", "½ cup cream", "3 bay leaves"}));
        QCOMPARE(f.entries("lstKSteps"), QStringList({"1. Brown the beef.", "2. Simmer for two hours."}));
        for (const char *name : {"txtKServ", "cboKUnits", "lstKIngred", "lstKSteps", "lblKPicture"})
            QVERIFY(!f.get(name)->accessibleName().isEmpty());
    }

    // Every amount changes at once; what is no number, and a measure of no kitchen's, stay as written.
    void servingsAndUnits_data()
    {
        testing::addRows({
            "as written for 4; 4; As written; 2 lb stewing beef|1 1/2 cups stock|2 onions|3 tablespoons soy sauce|"
            "1/2-1 tsp salt|a pinch pepper|2 T flour|1 cup milk|4 carrots|1 tb butter|2 tsp paprika|1 cup rice|"
            "½ cup cream|3 bay leaves",
            "for 8; 8; As written; 4 lb stewing beef|3 cups stock|4 onions|6 tablespoons soy sauce|1-2 tsp salt|"
            "a pinch pepper|1/4 cup flour|2 cups milk|8 carrots|2 tb butter|4 tsp paprika|2 cups rice|1 cup cream|"
            "6 bay leaves",
            "for 3, metric; 3; Metric; 680 g stewing beef|270 ml stock|1 1/2 onions|35 ml soy sauce|2-4 ml salt|"
            "a pinch pepper|20 ml flour|180 ml milk|3 carrots|10 ml butter|5 ml paprika|140 g rice|90 ml cream|"
            "2 1/2 bay leaves",
            "US for 4; 4; US; 2 lb stewing beef|1 1/2 cups stock|2 onions|3 tablespoons soy sauce|1/2-1 tsp salt|"
            "a pinch pepper|2 T flour|1 cup milk|4 carrots|1 tb butter|2 tsp paprika|1 cup rice|1/2 cup cream|"
            "3 bay leaves",
        });
    }
    void servingsAndUnits()
    {
        const auto [servings, units, shown] = testing::cells<3>();
        Cook f;
        f.get<QListWidget>("lstKIngred")->item(0)->setCheckState(Qt::Checked);
        f.get<QSpinBox>("txtKServ")->setValue(servings.toInt());
        f.run("pick cboKUnits=" + units);
        QCOMPARE(f.ingredients().join(u'|'), shown);
        QVERIFY(f.state("lblKFacts").startsWith("Serves " + servings + "\n"));
        // A row ticked off stays ticked.
        QCOMPARE(f.get<QListWidget>("lstKIngred")->item(0)->checkState(), Qt::Checked);
    }

    // An edit of the 14 rows with a fraction, read back by the classic display screen.
    void edit_savesWhatTheClassicDisplayShows()
    {
        Cook f;
        f.screen->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.screen)); // the user works in the window
        f.run("click cmdKEdit");
        auto *rows = f.get<QTableWidget>("tblKERows");
        QCOMPARE(rows->rowCount(), 15); // the 14 and an empty one to type into
        // The first amount typed as a user types it: a cell chosen, its text replaced.
        rows->setCurrentCell(0, 0);
        QTest::keyClick(rows, Qt::Key_F2);
        auto *cell = rows->viewport()->findChild<QLineEdit *>();
        QVERIFY(cell);
        QTest::keyClick(cell, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(cell, "1 ½");
        rows->item(11, 2)->setText("brown rice");
        rows->setItem(14, 0, new QTableWidgetItem("1/3"));
        rows->setItem(14, 1, new QTableWidgetItem("cup"));
        rows->setItem(14, 2, new QTableWidgetItem("parsley"));
        QCOMPARE(rows->rowCount(), 16);
        // Saved while the first cell is still being typed into, as Ctrl+S does it: the focus stays in the cell.
        f.run("set txtKENote=freezes well");
        f.get<QPushButton>("cmdKESave")->click();
        QCOMPARE(f.ingredients().first(), "1 ½ lb stewing beef");
        QCOMPARE(f.ingredients().last(), "1/3 cup parsley");

        const store::RecipeRecord saved = store::loadRecipe("Stews", "Beef Stew");
        QCOMPARE(saved.amount(1), "1 ½");
        QCOMPARE(saved.directions(), "More ingredients:\n2 tsp paprika\n1 cup brown rice\n½ cup cream\n3 bay leaves\n"
                                     "1/3 cup parsley\n\nBrown the beef.\n\nSimmer for two hours.\n\n"
                                     "Note: freezes well\nSource: Gran");
        QVERIFY(ScreenRegistry::load<frmRecipe>()->openRecipe("Stews", "Beef Stew"));
        QCOMPARE(f.on("frmRecipe", "", "txtRA1 txtRT1 txtRI1 txtRI10"), "1 ½ / lb / stewing beef / butter");
        QVERIFY(f.on("frmRecipe", "", "txtRDirec").startsWith("More ingredients:\n2 tsp paprika\n1 cup brown rice"));
    }

    void edit_unchangedSave_isByteForByte()
    {
        Cook f;
        // What a rewrite would change: blanks around a field, Windows line breaks in the directions.
        store::RecipeRecord odd = stew();
        odd.amount(2) = " 1 1/2 ";
        odd.directions().replace("\n\nSimmer", "\r\n\r\nSimmer");
        store::saveRecipe("Stews", "Odd", odd);
        const QByteArray before = f.folder.read("Category/Stews/Odd");
        QVERIFY(f.cook()->editRecipe("Stews", "Odd"));
        f.run("click cmdKESave");
        QCOMPARE(f.folder.read("Category/Stews/Odd"), before);
        // Saved under another name, it is a recipe of its own, with the same bytes.
        f.run("click cmdKEdit > set txtKEName=Odd Two > click cmdKESave");
        QCOMPARE(f.folder.read("Category/Stews/Odd Two"), before);
        QCOMPARE(f.state("lblKName"), "Odd Two");
    }

    void edit_badName_asksAndSavesNothing()
    {
        Cook f;
        const QStringList before = f.folder.tree("Category");
        f.run("click cmdKEdit > set txtKEName=a/b > answer 1 > click cmdKESave");
        QVERIFY(f.state("boxes").contains("User error"));
        QCOMPARE(f.folder.tree("Category"), before);
    }

    void picture_keptShownAndRemoved()
    {
        Cook f;
        QImage image(400, 300, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(f.folder.file("photo.png")));
        // Dropped on the window as a file from the desktop.
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(f.folder.file("photo.png"))});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(f.screen, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(f.screen, &drop);
        QCOMPARE(f.folder.read("Pictures/Stews/Beef Stew.png"), f.folder.read("photo.png"));
        QTRY_VERIFY(!f.get<QLabel>("lblKPicture")->pixmap().isNull()); // read in a worker
        QCOMPARE(f.get<QLabel>("lblKPicture")->pixmap().toImage().pixelColor(10, 10), QColor(Qt::red));

        // A file that is no picture is refused and the picture stays.
        f.folder.write("notes.png", "hello");
        f.run("answer 1");
        f.cook()->takePicture(f.folder.file("notes.png"));
        QVERIFY(f.state("boxes").contains("JPEG, PNG or WebP"));
        QVERIFY(f.folder.exists("Pictures/Stews/Beef Stew.png"));

        f.run("click cmdKRemove");
        QCOMPARE(f.state("dir:Pictures/Stews trash"), "- / Beef Stew.png");
        QVERIFY(f.get<QLabel>("lblKPicture")->pixmap().isNull());
    }

    void typeSizeAndWindowSize_kept()
    {
        Cook f;
        const double before = f.get("lstKIngred")->font().pointSizeF();
        f.run("click cmdKLarger > click cmdKLarger > click cmdKSmaller");
        QCOMPARE(f.get("lstKIngred")->font().pointSizeF(), before + 1);
        f.screen->resize(1000, 700);
        ScreenRegistry::hide(f.screen);
        const QSettings kept(f.folder.file(".larderon/settings.ini"), QSettings::IniFormat);
        QCOMPARE(kept.value("frmCook/typeSize").toDouble(), before + 1);
        QCOMPARE(kept.value("frmCook/size").toSize(), QSize(1000, 700));
        QCOMPARE(f.folder.read("LD.ini"), QByteArray());
    }

    void print_theRecipeAsShown()
    {
        Cook f;
        testing::Printout out;
        f.cook()->setPrinterSetup(
            [&out](QWidget *, const QString &) { return std::make_unique<testing::RecordingPrinter>(out); });
        f.get<QSpinBox>("txtKServ")->setValue(8);
        f.run("click cmdKPrint");
        QCOMPARE(out.documents, 1);
        QCOMPARE(out.lines.first(), "**Beef Stew**");
        QVERIFY(out.lines.contains("Serves 8   Time: 2 h 30 min   Oven: 350 °F · 175 °C · gas mark 4"));
        QVERIFY(out.lines.contains("4 lb stewing beef"));
        QVERIFY(out.lines.contains("6 bay leaves"));
        QVERIFY(out.lines.contains("2. Simmer for two hours."));
        QCOMPARE(out.lines.last(), "Source: Gran");
    }
};

QTEST_MAIN(CookTest)
#include "cook_test.moc"
