#include "net/webimport.h"

#include "screens/cook.h"
#include "screens/import.h"
#include "screens/setup.h"
#include "store/recipefile.h"
#include "store/recipepicture.h"
#include "tests/net/testserver.h"
#include "tests/support/rows.h"
#include "tests/support/screenfixture.h"

#include <QDropEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

namespace {

QString fixture(const char *name)
{
    return QStringLiteral(LARDERON_TEST_DATA "/import/") + QLatin1String(name);
}

// The import screen over the category Desserts; the file dialogs answer from `answers`, in turn.
struct Import : testing::ScreenFixture
{
    QStringList answers;

    Import()
    {
        use<frmImport>();
        run("write Category/category.txt=Desserts\r\n > mkdir Category/Desserts");
        frmImport::setFileDialog([this](QWidget *, const frmImport::FileQuestion &) {
            return answers.isEmpty() ? QStringList() : QStringList{answers.takeFirst()};
        });
    }
    ~Import()
    {
        frmImport::setFileDialog({});
        frmImport::setAddressDialog({});
    }

    frmCook *cook() const { return shell::ScreenRegistry::load<frmCook>(); }
    QString cookText(const char *name) const
    {
        QWidget *control = cook()->findChild<QWidget *>(QLatin1String(name));
        if (auto *label = qobject_cast<QLabel *>(control))
            return label->text();
        if (auto *edit = qobject_cast<QLineEdit *>(control))
            return edit->text();
        return qobject_cast<QPlainTextEdit *>(control)->toPlainText();
    }

    void drop(const QStringList &files) const
    {
        QMimeData data;
        for (const QString &file : files)
            data.setUrls(
                data.urls() << (file.startsWith(QLatin1String("http")) ? QUrl(file) : QUrl::fromLocalFile(file)));
        QDragEnterEvent enter(QPoint(300, 60), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(screen, &enter);
        QDropEvent drop(QPointF(300, 60), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(screen, &drop);
    }
    // Starts the import and waits for its end; the longest the window stood still in between, in ms.
    qint64 import()
    {
        QElapsedTimer since;
        qint64 longest = 0;
        QTimer beat;
        QObject::connect(&beat, &QTimer::timeout, [&] { longest = std::max(longest, since.restart()); });
        run("click cmdMImport");
        since.start();
        beat.start(0);
        if (!QTest::qWaitFor([this] { return get("cmdMImport")->isEnabled() || !screen->isVisible(); }, 60000))
            qWarning("the import did not end");
        return longest;
    }
};

} // namespace

class ImportTest : public QObject
{
    Q_OBJECT

private slots:
    void import_theOtherScreensSeeTheRecipes()
    {
        Import f;
        f.run("show");
        f.drop({fixture("one-column.mmf"), fixture("multi.mx2"), fixture("one-column.mmf")});
        QCOMPARE(f.get<QListWidget>("lswMFiles")->count(), 2);
        f.import();
        QVERIFY2(f.state("txtMReport")
                     .startsWith("4 recipes imported from 2 files.\n  2 into Desserts\n  1 into Breads (a new "
                                 "category)\n  1 into Starters (a new category)"),
                 qPrintable(f.state("txtMReport")));
        QCOMPARE(f.state("lswMFiles cboMExpCat"), "- / Desserts|Breads|Starters");

        const QString json = f.folder.file("Starters.json");
        f.answers = {json};
        f.run("pick cboMExpCat=Starters > click cmdMExpJson");
        QCOMPARE(f.state("txtMReport"), QStringLiteral("1 recipe of Starters exported to %1.").arg(json));
        QVERIFY(f.folder.read("Starters.json").contains(QStringLiteral(u"\"name\": \"Pâté de campagne\"").toUtf8()));
        f.use<frmSetup>();
        f.run("show");
        QCOMPARE(f.state("lswSetup"), "Desserts|Breads|Starters");
    }

    void importAgain_reportsTheRecipesAlreadyThere()
    {
        Import f;
        f.run("show > pick cboMCat=Desserts");
        f.drop({fixture("one-column.mmf")});
        f.import();
        QVERIFY(f.state("txtMReport").startsWith("2 recipes imported from 1 file."));
        f.drop({fixture("one-column.mmf")});
        f.import();
        QCOMPARE(f.state("txtMReport"),
                 "0 recipes imported from 1 file.\n"
                 "2 recipes were already there, the same in every field, and not imported again:\n"
                 "  \"Apple Crumble\" in Desserts\n  \"Quick \"Best\" Bread\" in Desserts as \"Quick -Best- Bread\"");
        QCOMPARE(f.folder.entries("Category/Desserts"), (QStringList{"Apple Crumble", "Quick -Best- Bread"}));
    }

    void failures_raiseTheScreensCodes_data()
    {
        // steps before the import (pies.mmf is the file the dialog adds); the error report
        testing::addRows({
            "no Category folder at load; remove Category > show; M - FL - 76",
            "a chosen file gone; show > click cmdMAdd > remove pies.mmf; M - FL - 53",
            "the category's folder gone; show > click cmdMAdd > pick cboMCat=Desserts > remove Category/Desserts; "
            "M - CS - 76",
        });
    }
    void failures_raiseTheScreensCodes()
    {
        const auto [steps, report] = testing::cells<2>();
        Import f;
        QFile::copy(fixture("one-column.mmf"), f.folder.file("pies.mmf"));
        f.answers = {f.folder.file("pies.mmf")};
        f.run(steps);
        if (f.screen->isVisible())
            f.import();
        QCOMPARE(f.state("report"), report);
    }

    void cancel_stopsALongImportThatKeepsTheWindowResponsive()
    {
        Import f;
        QByteArray many;
        for (int i = 0; i < 20000; ++i)
            many += "MMMMM----- Recipe via Meal-Master\n      Title: Soup " + QByteArray::number(i) +
                    "\n\n      1 c  Water\n\n  Boil it.\n\nMMMMM\n";
        f.folder.write("many.mmf", many);
        f.answers = {f.folder.file("many.mmf")};
        f.run("show > click cmdMAdd > pick cboMCat=Desserts");
        // Cancel once the first slice has shown progress.
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&f, &watch] {
            if (f.get<QProgressBar>("pbMProgress")->value() > 0 && f.get("cmdMCancel")->isEnabled()) {
                watch.stop();
                f.run("click cmdMCancel");
            }
        });
        watch.start(5);
        // The benchmark holds the pauses to their figure; a second would be an import that never yields.
        const qint64 longest = f.import();
        QVERIFY2(longest < 1000, qPrintable(QString::number(longest)));
        QVERIFY2(f.state("txtMReport").contains("The import was cancelled"), qPrintable(f.state("txtMReport")));
        const qsizetype saved = f.folder.entries("Category/Desserts").size();
        QVERIFY2(saved > 0 && saved < 20000, qPrintable(QString::number(saved)));
        QCOMPARE(f.get<QProgressBar>("pbMProgress")->value(), 1000);
    }

    // A recipe marked up in microdata is imported; the recipe window shows its description, author, the
    // time that is not in the time box and the yield as its note, and the page's address as its source.
    void microdataPage_comesInWithItsNoteAndSource()
    {
        Import f;
        f.run("show");
        f.drop({fixture("microdata-page.html")});
        f.run("pick cboMCat=Desserts");
        f.import();
        QCOMPARE(f.state("txtMReport"), "1 recipe imported from 1 file.\n  1 into Desserts");
        QVERIFY(f.cook()->openRecipe("Desserts", "Oat Soda Bread"));
        QCOMPARE(f.cookText("lblKNote"),
                 "Note: A quick loaf with no yeast & no waiting.\nAuthor: Ann Crumb\nPreparation time: 10 min\n"
                 "Yield: 1 loaf (8 slices)\nSource: https://crumb.example/breads/oat-soda-bread");
        QCOMPARE(f.cookText("lblKFacts"), "Serves 1\nTime: 40 min\nOven: 390 °F · 200 °C · gas mark 6");
    }

    // A page without recipe data is named so in the report, and its text, split, goes to the recipe
    // window's editor when the user wants it; Save makes it a recipe.
    void plainPage_isOfferedToTheEditor()
    {
        Import f;
        f.run("show");
        f.drop({fixture("plain-page.html")});
        f.run("pick cboMCat=Desserts > answer 6");
        f.import();
        QCOMPARE(f.state("txtMReport"), "0 recipes imported from 1 file.\n1 recipe could not be read:\n  " +
                                            fixture("plain-page.html") + ": no recipe data in this page");
        QCOMPARE(f.script.boxes().last().prompt, "There is no recipe data in this page:\r" +
                                                     fixture("plain-page.html") +
                                                     "\r\rOpen its text in the recipe window, to make a recipe of it?");
        QVERIFY(f.cook()->isVisible());
        QCOMPARE(f.cookText("txtKEName"), QStringLiteral(u"Grandma’s Flapjacks"));
        const auto *rows = f.cook()->findChild<QTableWidget *>("tblKERows");
        QCOMPARE(rows->item(2, 2)->text(), "oats");
        QCOMPARE(f.cookText("txtKEDirec"), "Chewy, and ready in half an hour.\nYou need\na pinch of salt\nThen\n"
                                           "Melt the butter with the syrup.\nStir in the oats, press into a tin and "
                                           "bake at 180°C for 20 minutes.");
        QTest::mouseClick(f.cook()->findChild<QWidget *>("cmdKESave"), Qt::LeftButton);
        const store::RecipeRecord saved = store::loadRecipe("Desserts", QStringLiteral(u"Grandma’s Flapjacks"));
        QCOMPARE(saved.amount(2) + '|' + saved.type(2) + '|' + saved.ingredient(2), "1/2|cup|golden syrup");
    }

    // Several pages without recipe data: one question names them all and opens the first; the others stay in
    // the list of files, and importing them again offers the next.
    void severalPlainPages_areOfferedOneAfterAnother()
    {
        QTemporaryDir folder;
        const QString second = folder.filePath("toast.html");
        QFile file(second);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<html><body><h1>Toast</h1><ul><li>2 slices bread</li></ul><p>Toast them.</p></body></html>");
        file.close();
        Import f;
        f.run("show");
        f.drop({fixture("plain-page.html"), second});
        f.run("pick cboMCat=Desserts > answer 6");
        f.import();
        QCOMPARE(f.script.boxes().last().prompt,
                 "There is no recipe data in these 2 pages:\r" + fixture("plain-page.html") + "\r" + second +
                     "\r\rOpen the text of the first in the recipe window, to make a recipe of it? The others stay "
                     "in the list of files: import them again to open the next.");
        QCOMPARE(f.cookText("txtKEName"), QStringLiteral(u"Grandma’s Flapjacks"));
        const auto *files = f.screen->findChild<QListWidget *>("lswMFiles");
        QCOMPARE(files->count(), 1);
        QCOMPARE(files->item(0)->text(), second);

        // The draft not saved yet is never replaced: the page waits in the list.
        f.run("answer 1");
        f.import();
        QCOMPARE(f.script.boxes().last().prompt,
                 "There is no recipe data in " + second +
                     ". The recipe window still holds a recipe made from a page, not saved yet: save it or cancel "
                     "it, then import the page again to open its text.");
        QCOMPARE(f.cookText("txtKEName"), QStringLiteral(u"Grandma’s Flapjacks"));
        QCOMPARE(files->count(), 1);

        QTest::mouseClick(f.cook()->findChild<QWidget *>("cmdKESave"), Qt::LeftButton);
        f.run("answer 6");
        f.import();
        QCOMPARE(f.script.boxes().last().prompt, "There is no recipe data in this page:\r" + second +
                                                     "\r\rOpen its text in the recipe window, to make a recipe of it?");
        QCOMPARE(f.cookText("txtKEName"), "Toast");
        QCOMPARE(files->count(), 0);
    }

    // Answered no, the pages are not kept in the list; a long list of them is cut short in the box.
    void plainPages_declined_leaveTheListEmpty()
    {
        QTemporaryDir folder;
        QStringList pages{fixture("plain-page.html")};
        for (int i = 1; i <= 11; ++i) {
            QFile file(folder.filePath(QStringLiteral("notes %1.html").arg(i)));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("<html><body><p>Shopping on Friday.</p></body></html>");
            pages.append(file.fileName());
        }
        Import f;
        f.run("show");
        f.drop(pages);
        f.run("pick cboMCat=Desserts > answer 7");
        f.import();
        const QString prompt = f.script.boxes().last().prompt;
        QVERIFY2(prompt.startsWith("There is no recipe data in these 12 pages:\r" + pages.first() + "\r" + pages.at(1)),
                 qPrintable(prompt));
        QVERIFY2(prompt.contains(pages.at(8) + "\rand 3 more\r\r") && !prompt.contains(pages.at(9)),
                 qPrintable(prompt));
        QCOMPARE(f.screen->findChild<QListWidget *>("lswMFiles")->count(), 0);
        QVERIFY(!f.cook()->isVisible());
    }

    // The button asks for an address; the page fetched from it comes in with its picture, and a page that
    // is not there is named in a box and the report.
    void webAddress_isFetchedWithItsPicture()
    {
        net::WebImport::setLimits({5000, 1 << 20, 3});
        testing::TestServer server;
        QByteArray page;
        QFile file(fixture("microdata-page.html"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        page = file.readAll().replace("https://crumb.example", server.address({}).toUtf8());
        server.page("/bread", page);
        const QByteArray png = QByteArray("\x89PNG\r\n\x1A\n", 8) + "picture";
        server.page("/pics/oat-soda-bread.jpg", png, "image/png");
        Import f;
        frmImport::setAddressDialog([&server](QWidget *) { return server.address("/bread"); });
        f.run("show > pick cboMCat=Desserts > click cmdMWeb");
        QVERIFY(QTest::qWaitFor([&f] { return f.get("cmdMImport")->isEnabled(); }, 20000));
        QCOMPARE(f.state("txtMReport"), "1 recipe imported from 1 file.\n  1 into Desserts");
        QCOMPARE(f.folder.read("Pictures/Desserts/Oat Soda Bread.png"), png);

        // A web address dropped on the window is fetched as one typed.
        server.status("/missing", "404 Not Found");
        f.run("answer 1");
        f.drop({server.address("/missing")});
        QVERIFY(QTest::qWaitFor([&f] { return f.get("cmdMImport")->isEnabled(); }, 20000));
        const QString missing = QStringLiteral("There is no page at %1 (the server answers 404: not found).")
                                    .arg(server.address("/missing"));
        QCOMPARE(f.state("txtMReport"), missing);
        QCOMPARE(f.script.boxes().last().prompt, missing);
    }
};

QTEST_MAIN(ImportTest)
#include "import_test.moc"
