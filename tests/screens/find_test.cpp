#include "screens/find.h"
#include "screens/shop.h"
#include "tests/support/appfolder.h"
#include "tests/support/messages.h"
#include "tests/support/screens.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeView>

using shell::ScreenRegistry;

namespace {

// One test's application folder holding the kitchen fixture (Desserts, Soups and stews, one broken
// recipe), its message boxes and screens, and the find screen driven through its controls.
struct Fixture
{
    testing::AppFolder folder;
    testing::MessageScript script;
    testing::ScreenSession session;
    frmFind *screen;

    Fixture()
    {
        folder.copyTree(QStringLiteral(LARDERON_TEST_DATA "/kitchen"), QStringLiteral("Category"));
        screen = ScreenRegistry::show<frmFind>();
    }
    // The control `name` of the loaded screen `screen`.
    template <class T = QWidget>
    static T *get(const char *screen, const char *name)
    {
        T *control = ScreenRegistry::find(QLatin1String(screen))->findChild<T *>(QLatin1String(name));
        if (!control)
            qFatal("no control %s", name);
        return control;
    }
    QTreeView *found() const { return get<QTreeView>("frmFind", "lswFFound"); }
    // Each result as "recipe | found in".
    QStringList rows() const
    {
        QStringList shown;
        const QAbstractItemModel *model = found()->model();
        for (int row = 0; row < model->rowCount(); ++row)
            shown << model->index(row, 0).data().toString() + " | " + model->index(row, 1).data().toString();
        return shown;
    }
    // Types `words` and makes the first of the `count` results current.
    void findAndChoose(const QString &words, int count) const
    {
        get<QLineEdit>("frmFind", "txtFWhat")->clear();
        QTest::keyClicks(get("frmFind", "txtFWhat"), words);
        QTRY_COMPARE(rows().size(), count);
        found()->setCurrentIndex(found()->model()->index(0, 0));
    }
};

} // namespace

class FindTest : public QObject
{
    Q_OBJECT

private slots:
    void find_anyCaseWithoutAccents_data()
    {
        QTest::addColumn<QString>("words");
        QTest::addColumn<QString>("unchecked");
        QTest::addColumn<QStringList>("rows");
        const char *rows[][4] = {
            {"a word of the name", "LEEK", "", "Soups — Leek Soup | "},
            {"an ingredient without accents", "fraiche", "", "Soups — Leek Soup | Crème fraîche"},
            {"the directions, two words", "Chill Overnight", "", "Desserts — Crème brûlée | Chill overnight."},
            {"the directions not looked in", "overnight", "chkFDirec", nullptr},
        };
        for (const auto &row : rows)
            QTest::newRow(row[0]) << QString::fromUtf8(row[1]) << QString::fromUtf8(row[2])
                                  << (row[3] ? QStringList{QString::fromUtf8(row[3])} : QStringList{});
    }
    void find_anyCaseWithoutAccents()
    {
        QFETCH(QString, words);
        QFETCH(QString, unchecked);
        QFETCH(QStringList, rows);
        Fixture f;
        if (!unchecked.isEmpty())
            QTest::mouseClick(Fixture::get("frmFind", unchecked.toLatin1().constData()), Qt::LeftButton);
        QTest::keyClicks(Fixture::get("frmFind", "txtFWhat"), words);
        QTRY_COMPARE(f.rows(), rows);
        QCOMPARE(Fixture::get<QLabel>("frmFind", "lblFUnread")->text(), "1 recipe could not be read");
        VERIFY_NO_UNEXPECTED_BOX(f.script);
    }

    void open_showsTheRecipeAsAPickDoes_data()
    {
        QTest::addColumn<bool>("doubleClick");
        QTest::newRow("Enter") << false;
        QTest::newRow("double-click") << true;
    }
    void open_showsTheRecipeAsAPickDoes()
    {
        QFETCH(bool, doubleClick);
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(f.screen)); // the user works on the find screen
        f.findAndChoose("leek", 1);
        const QPoint at = f.found()->visualRect(f.found()->currentIndex()).center();
        if (doubleClick) {
            QTest::mouseClick(f.found()->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(f.found()->viewport(), Qt::LeftButton, {}, at);
        } else {
            QTest::keyClick(f.found(), Qt::Key_Return);
        }
        QVERIFY(ScreenRegistry::find("frmRecipe")->isVisible());
        QCOMPARE(Fixture::get<QComboBox>("frmRecipe", "cboRCat")->currentText(), "Soups");
        QCOMPARE(Fixture::get<QLineEdit>("frmRecipe", "txtRName")->text(), "Leek Soup");
        QCOMPARE(Fixture::get<QLineEdit>("frmRecipe", "txtRI2")->text(), "Crème fraîche");
        QTest::qWait(20); // the screen's activation must not take the delete box away again
        QVERIFY(Fixture::get("frmRecipe", "chkRDel")->isEnabled());

        // Again while the display screen is open behind the find screen.
        f.screen->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.screen));
        f.findAndChoose("stew", 1);
        QTest::keyClick(f.found(), Qt::Key_Return);
        QCOMPARE(Fixture::get<QLineEdit>("frmRecipe", "txtRName")->text(), "Beef Stew");
        QTest::qWait(20);
        QVERIFY(Fixture::get("frmRecipe", "chkRDel")->isEnabled());
        VERIFY_NO_UNEXPECTED_BOX(f.script);
    }

    void edit_fillsEveryBoxAndSavesTheSameBytes_data()
    {
        QTest::addColumn<QString>("words");
        QTest::addColumn<QString>("file");
        QTest::newRow("a box too short for its text") << "stew"
                                                      << "stews/Beef Stew";
        QTest::newRow("a name with accents") << "brulee" << u"Desserts/Crème brûlée"_qs;
    }
    void edit_fillsEveryBoxAndSavesTheSameBytes()
    {
        QFETCH(QString, words);
        QFETCH(QString, file);
        Fixture f;
        const QString path = "Category/" + file;
        const QByteArray before = f.folder.read(path);
        f.findAndChoose(words, 1);
        QTest::keyClick(f.found(), Qt::Key_E, Qt::ControlModifier);

        QVERIFY(ScreenRegistry::find("frmIngred")->isVisible());
        QCOMPARE(Fixture::get<QComboBox>("frmIngred", "cboIng")->currentText(), file.section('/', 0, 0));
        QCOMPARE(Fixture::get<QLineEdit>("frmIngred", "txtIName")->text(), file.section('/', 1));
        // Save writes the boxes, all of them, whatever the file holds by then.
        f.folder.write(path, "changed on the disk meanwhile");
        QTest::mouseClick(Fixture::get("frmIngred", "cmdISave"), Qt::LeftButton);
        QCOMPARE(f.folder.read(path), before);
        // New brings back the limits of the boxes.
        QTest::mouseClick(Fixture::get("frmIngred", "cmdINew"), Qt::LeftButton);
        QTest::keyClicks(Fixture::get("frmIngred", "txtIN1"), QString(45, u'x'));
        QCOMPARE(Fixture::get<QLineEdit>("frmIngred", "txtIN1")->text().size(), 39);
        VERIFY_NO_UNEXPECTED_BOX(f.script);
    }

    void shop_threeRecipesAddedAndScaled()
    {
        Fixture f;
        f.findAndChoose("", 5);
        ScreenRegistry::show<frmShop>();
        Fixture::get<QPlainTextEdit>("frmShop", "txtHList")->setPlainText("milk");
        // Bell Pepper Soup serves 2, Leek Soup 4 and Beef Stew 6; each checked with the space bar.
        for (const int row : {2, 3, 4}) {
            f.found()->setCurrentIndex(f.found()->model()->index(row, 0));
            QTest::keyClick(f.found(), Qt::Key_Space);
        }
        QTest::keyClicks(Fixture::get("frmFind", "txtFServ"), "4x");
        QTest::mouseClick(Fixture::get("frmFind", "cmdFShop"), Qt::LeftButton);

        QCOMPARE(Fixture::get<QPlainTextEdit>("frmShop", "txtHList")->toPlainText(),
                 "milk\n6 red bell peppers\n9 cups Stock\n2 2/3 tsp salt\na pinch paprika\n2 lbs leeks, sliced\n"
                 "1 cup Crème fraîche\n1 1/3 lbs stewing beef, cut into cubes and patted dry\n2 carrots");
        QCOMPARE(ScreenRegistry::find("frmShop")->focusWidget(), Fixture::get("frmShop", "txtHName"));
        QVERIFY(Fixture::get("frmShop", "txtHName")->isEnabled());
        QCOMPARE(f.folder.entries("Shopping List"), QStringList{});

        // The checks went with the recipes into the list: adding again asks for recipes first.
        f.script.answer(1);
        QTest::mouseClick(Fixture::get("frmFind", "cmdFShop"), Qt::LeftButton);
        QCOMPARE(f.script.boxes().size(), 1);
        QCOMPARE(f.script.boxes().first().title, "User error");
    }
};

QTEST_MAIN(FindTest)
#include "find_test.moc"
