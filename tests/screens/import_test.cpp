#include "screens/import.h"
#include "screens/setup.h"
#include "tests/support/rows.h"
#include "tests/support/screenfixture.h"

#include <QDropEvent>
#include <QElapsedTimer>
#include <QListWidget>
#include <QMimeData>
#include <QProgressBar>
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
    ~Import() { frmImport::setFileDialog({}); }

    void drop(const QStringList &files) const
    {
        QMimeData data;
        for (const QString &file : files)
            data.setUrls(data.urls() << QUrl::fromLocalFile(file));
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
};

QTEST_MAIN(ImportTest)
#include "import_test.moc"
