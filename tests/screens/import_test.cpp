#include "screens/import.h"
#include "screens/ingred.h"
#include "screens/recipe.h"
#include "screens/setup.h"
#include "shell/errorpath.h"
#include "tests/support/appfolder.h"
#include "tests/support/messages.h"
#include "tests/support/screens.h"

#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using shell::ScreenRegistry;

namespace {

QString fixture(const char *name)
{
    return QStringLiteral(LARDERON_TEST_DATA "/import/") + QLatin1String(name);
}

// One test's world: an application folder with the category Desserts, scripted boxes and file dialogs,
// and the import screen shown through the registry.
struct Session
{
    testing::AppFolder folder;
    testing::MessageScript script;
    testing::ScreenSession screens;
    QStringList answers; ///< what the file dialogs answer, in turn
    frmImport *screen = nullptr;

    explicit Session(bool categoryFolder = true)
        : folder(categoryFolder ? testing::AppFolder::Installed : testing::AppFolder::Empty)
    {
        shell::errorHandOver() = {};
        if (categoryFolder) {
            folder.write(QStringLiteral("Category/category.txt"), "Desserts\r\n");
            folder.makeFolder(QStringLiteral("Category/Desserts"));
        }
        frmImport::setFileDialog([this](QWidget *, const frmImport::FileQuestion &) {
            return answers.isEmpty() ? QStringList() : QStringList{answers.takeFirst()};
        });
        screen = ScreenRegistry::show<frmImport>();
    }
    ~Session() { frmImport::setFileDialog({}); }

    template <class T = QWidget>
    T *get(const char *name, QWidget *on = nullptr) const
    {
        T *found = (on ? on : screen)->findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    void click(const char *button) const { QTest::mouseClick(get<QPushButton>(button), Qt::LeftButton); }
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
    qint64 import() const
    {
        QElapsedTimer since;
        qint64 longest = 0;
        QTimer beat;
        QObject::connect(&beat, &QTimer::timeout, [&] { longest = std::max(longest, since.restart()); });
        click("cmdMImport");
        since.start();
        beat.start(0);
        if (!QTest::qWaitFor([this] { return get("cmdMImport")->isEnabled() || !screen->isVisible(); }, 60000))
            qWarning("the import did not end");
        return longest;
    }
    QString report() const { return get<QPlainTextEdit>("txtMReport")->toPlainText(); }
    QString errorReport() const
    {
        const QWidget *error = ScreenRegistry::find(QStringLiteral("frmError"));
        if (!error || !error->isVisible() || screen->isVisible())
            return {};
        return shell::errorHandOver().code + shell::errorHandOver().numberText;
    }
};

QStringList texts(const QComboBox *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items.append(box->itemText(i));
    return items;
}

} // namespace

class ImportTest : public QObject
{
    Q_OBJECT

private slots:
    void import_theOtherScreensSeeTheRecipes()
    {
        Session s;
        s.drop({fixture("one-column.mmf"), fixture("multi.mx2"), fixture("one-column.mmf")});
        QCOMPARE(s.get<QListWidget>("lswMFiles")->count(), 2);
        QCOMPARE(s.get<QComboBox>("cboMCat")->currentText(), frmImport::ownCategoryText());
        s.import();
        QVERIFY2(s.report().startsWith("4 recipes imported from 2 files.\n  2 into Desserts\n  1 into Breads (a new "
                                       "category)\n  1 into Starters (a new category)"),
                 qPrintable(s.report()));
        QCOMPARE(s.get<QListWidget>("lswMFiles")->count(), 0);
        QCOMPARE(texts(s.get<QComboBox>("cboMExpCat")), (QStringList{"Desserts", "Breads", "Starters"}));

        auto *setup = ScreenRegistry::show<frmSetup>();
        QStringList lines;
        for (int i = 0; i < s.get<QListWidget>("lswSetup", setup)->count(); ++i)
            lines.append(s.get<QListWidget>("lswSetup", setup)->item(i)->text());
        QCOMPARE(lines, (QStringList{"Desserts", "Breads", "Starters"}));
        QCOMPARE(texts(s.get<QComboBox>("cboIng", ScreenRegistry::show<frmIngred>())), lines);

        auto *recipe = ScreenRegistry::show<frmRecipe>();
        auto *category = s.get<QComboBox>("cboRCat", recipe);
        category->setCurrentIndex(2);
        emit category->activated(2);
        auto *files = s.get<QListWidget>("lswRFile", recipe);
        QCOMPARE(files->count(), 1);
        files->doItemsLayout();
        QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, files->visualItemRect(files->item(0)).center());
        QCOMPARE(s.get<QLineEdit>("txtRName", recipe)->text(), QStringLiteral(u"Pâté de campagne"));
        QCOMPARE(s.get<QLineEdit>("txtRTemp", recipe)->text(), QStringLiteral("350"));
        QCOMPARE(s.get<QLineEdit>("txtRI2", recipe)->text(), QStringLiteral("salt & pepper"));

        const QString json = s.folder.file("Starters.json");
        s.answers = {json};
        s.get<QComboBox>("cboMExpCat")->setCurrentIndex(2);
        s.click("cmdMExpJson");
        QCOMPARE(s.report(), QStringLiteral("1 recipe of Starters exported to %1.").arg(json));
        QVERIFY(s.folder.read("Starters.json").contains(QStringLiteral(u"\"name\": \"Pâté de campagne\"").toUtf8()));
        VERIFY_NO_UNEXPECTED_BOX(s.script);
    }

    void failures_raiseTheScreensCodes_data()
    {
        QTest::addColumn<bool>("categoryFolder");
        QTest::addColumn<bool>("fileGone");
        QTest::addColumn<int>("destination");
        QTest::addColumn<QString>("report");
        QTest::newRow("no Category folder at load") << false << false << -1 << "M - FL - 76";
        QTest::newRow("a chosen file gone") << true << true << 0 << "M - FL - 53";
        QTest::newRow("the category's folder gone") << true << false << 1 << "M - CS - 76";
    }
    void failures_raiseTheScreensCodes()
    {
        QFETCH(bool, categoryFolder);
        QFETCH(bool, fileGone);
        QFETCH(int, destination);
        Session s(categoryFolder);
        if (destination >= 0) {
            const QString file = s.folder.file("pies.mmf");
            QFile::copy(fixture("one-column.mmf"), file);
            s.drop({file});
            if (fileGone)
                QFile::remove(file);
            s.get<QComboBox>("cboMCat")->setCurrentIndex(destination);
            QDir(s.folder.file("Category/Desserts")).removeRecursively();
            s.import();
        }
        QTEST(s.errorReport(), "report");
    }

    void cancel_stopsALongImportThatKeepsTheWindowResponsive()
    {
        Session s;
        QByteArray many;
        for (int i = 0; i < 20000; ++i)
            many += "MMMMM----- Recipe via Meal-Master\n      Title: Soup " + QByteArray::number(i) +
                    "\n\n      1 c  Water\n\n  Boil it.\n\nMMMMM\n";
        s.folder.write("many.mmf", many);
        s.drop({s.folder.file("many.mmf")});
        s.get<QComboBox>("cboMCat")->setCurrentIndex(1);
        // Cancel once the first slice has shown progress.
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&s, &watch] {
            if (s.get<QProgressBar>("pbMProgress")->value() > 0 && s.get("cmdMCancel")->isEnabled()) {
                watch.stop();
                s.click("cmdMCancel");
            }
        });
        watch.start(5);
        const qint64 longest = s.import();
        QVERIFY2(longest < 100, qPrintable(QString::number(longest)));
        QVERIFY2(s.report().contains("The import was cancelled"), qPrintable(s.report()));
        const qsizetype saved = s.folder.entries("Category/Desserts").size();
        QVERIFY2(saved > 0 && saved < 20000, qPrintable(QString::number(saved)));
        QCOMPARE(s.get<QProgressBar>("pbMProgress")->value(), 1000);
    }
};

QTEST_MAIN(ImportTest)
#include "import_test.moc"
