#include "screens/find.h"
#include "screens/shop.h"
#include "shell/messages.h"
#include "tests/support/rows.h"
#include "tests/support/screenfixture.h"

#include <QScopedValueRollback>
#include <QTreeView>

using shell::ScreenRegistry;

namespace {

// The find screen over the kitchen (Desserts, Soups and stews, one broken recipe). The key "found" reads the
// results as "recipe (found in)", "|" between them.
struct Find : testing::ScreenFixture
{
    Find()
    {
        use<frmFind>();
        folder.copyTree(QStringLiteral(LARDERON_TEST_DATA "/kitchen"), QStringLiteral("Category"));
        ownKeys = [this](const QString &key) {
            if (key != u"found")
                return QString();
            QString shown(""); // nothing found is not an unknown key
            const QAbstractItemModel *model = found()->model();
            for (int row = 0; row < model->rowCount(); ++row)
                shown += QString(row ? "|" : "") + model->index(row, 0).data().toString() + " (" +
                         model->index(row, 1).data().toString() + ")";
            return shown;
        };
        run("show");
    }
    QTreeView *found() const { return get<QTreeView>("lswFFound"); }
    // Finds `words` and makes the first of the `count` results current.
    void find(const QString &words, int count)
    {
        run("set txtFWhat= > type txtFWhat=" + words);
        QTRY_COMPARE(found()->model()->rowCount(), count);
        found()->setCurrentIndex(found()->model()->index(0, 0));
    }
    // Runs the steps on another screen and reads its keys.
    QString on(const char *name, const QString &steps, const QString &keys = "screen")
    {
        const QScopedValueRollback other(screen, ScreenRegistry::find(QLatin1String(name)));
        run(steps);
        return state(keys);
    }
};

} // namespace

class FindTest : public QObject
{
    Q_OBJECT

private slots:
    void find_anyCaseWithoutAccents_data()
    {
        // steps; the results
        testing::addRows({
            "a word of the name; type txtFWhat=LEEK; Soups — Leek Soup ()",
            "an ingredient without accents; type txtFWhat=fraiche; Soups — Leek Soup (Crème fraîche)",
            "the directions, two words; type txtFWhat=Chill Overnight; Desserts — Crème brûlée (Chill overnight.)",
            "the directions not looked in; click chkFDirec > type txtFWhat=overnight; ",
        });
    }
    void find_anyCaseWithoutAccents()
    {
        const auto [steps, found] = testing::cells<2>();
        Find f;
        f.run(steps);
        QTRY_COMPARE(f.state("found lblFUnread"), (found.isEmpty() ? "-" : found) + " / 1 recipe could not be read");
    }

    // A search that finds hundreds makes the rows of a screenful or so, counts them all, and makes more as
    // the list scrolls down.
    void find_manyRecipesShowAsTheListScrolls()
    {
        Find f;
        for (int i = 1; i <= 450; ++i)
            f.folder.write(QStringLiteral("Category/Soups/Barley %1").arg(i, 3, 10, QLatin1Char('0')),
                           "\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\","
                           "\"pearl barley\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"Rinse.\",\"\",\"4\",\"\",\"\"\r\n");
        f.run("show > type txtFWhat=pearl");
        QTRY_COMPARE(f.state("lblFFound"), "Recipes found: 450");
        const QAbstractItemModel *rows = f.found()->model();
        QVERIFY2(rows->rowCount() >= 20 && rows->rowCount() < 450, qPrintable(QString::number(rows->rowCount())));
        QCOMPARE(rows->index(rows->rowCount() - 1, 1).data().toString(), "pearl barley");
        for (int scroll = 0; scroll < 5 && rows->rowCount() < 450; ++scroll) {
            f.found()->scrollToBottom();
            QTest::qWait(20);
        }
        QCOMPARE(rows->rowCount(), 450);
        QCOMPARE(f.found()->model()->index(449, 0).data().toString(), "Soups — Barley 450");
        f.find("barley leek", 0);
        QCOMPARE(f.state("lblFFound"), "Recipes found: 0");
    }

    void open_showsTheRecipeInTheRecipeWindow_data() { testing::addRows({"Enter", "double-click"}); }
    void open_showsTheRecipeInTheRecipeWindow()
    {
        const bool doubleClick = QTest::currentDataTag() == QByteArray("double-click");
        Find f;
        QVERIFY(QTest::qWaitForWindowActive(f.screen)); // the user works on the find screen
        f.find("leek", 1);
        const QPoint at = f.found()->visualRect(f.found()->currentIndex()).center();
        if (doubleClick) {
            QTest::mouseClick(f.found()->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(f.found()->viewport(), Qt::LeftButton, {}, at);
        } else {
            f.run("key lswFFound=Return");
        }
        QCOMPARE(f.on("frmCook", "", "screen lblKName lstKIngred"),
                 "shown / Leek Soup / 2 lbs leeks, sliced|1 cup Crème fraîche|4 cups stock|1 tsp salt");
        // The classic display screen is not the way in from here any more.
        QVERIFY(!ScreenRegistry::find("frmRecipe"));

        // Again while the recipe window is open behind the find screen.
        f.screen->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.screen));
        f.find("stew", 1);
        f.run("key lswFFound=Return");
        QCOMPARE(f.on("frmCook", "", "lblKName"), "Beef Stew");
    }

    void edit_opensTheRecipeWindowToEdit_data()
    {
        // the words; the file found
        testing::addRows({"a box too short for its text; stew; stews/Beef Stew",
                          "a name with accents; brulee; Desserts/Crème brûlée"});
    }
    void edit_opensTheRecipeWindowToEdit()
    {
        const auto [words, file] = testing::cells<2>();
        Find f;
        const QString path = "Category/" + file;
        const QByteArray before = f.folder.read(path);
        f.find(words, 1);
        QTest::keyClick(f.found(), Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(f.on("frmCook", "", "screen txtKEName"), "shown / " + file.section('/', 1));
        QVERIFY(f.on("frmCook", "", "cboKECat").contains("*" + file.section('/', 0, 0)));
        QVERIFY(!ScreenRegistry::find("frmIngred"));
        // Saved untouched, the file keeps its bytes.
        f.on("frmCook", "click cmdKESave", "screen");
        QCOMPARE(f.folder.read(path), before);
    }

    void open_unreadableRecipe_saysSoAndSearchesAgain()
    {
        Find f;
        f.find("leek", 1);
        f.run("remove Category/Soups/Leek Soup > answer 1 > key lswFFound=Return");
        QVERIFY(f.state("boxes").contains("could not be read"));
        QTRY_COMPARE(f.found()->model()->rowCount(), 0);
    }

    void shop_threeRecipesMergedScaledAndGroupedByAisle_data()
    {
        // the answer to "add these recipes to the list open?"; the list box afterwards
        const QString list =
            "Produce:\n6 red bell peppers\n2 lbs leeks\n2 carrots\n\nDairy:\n1 cup Crème fraîche\n\n"
            "Meat and fish:\n1 1/3 lbs stewing beef\n\nDry goods:\n9 cups Stock\n\nSpices:\na pinch paprika\n\n"
            "Check you have:\n2 2/3 tsp salt";
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("text");
        QTest::newRow("added to the list open") << int(shell::AnswerYes) << "milk\n" + list;
        QTest::newRow("a new list in its place") << int(shell::AnswerNo) << list;
    }
    void shop_threeRecipesMergedScaledAndGroupedByAisle()
    {
        QFETCH(int, answer);
        QFETCH(QString, text);
        Find f;
        f.find("", 5);
        ScreenRegistry::show<frmShop>();
        f.on("frmShop", "set txtHList=milk");
        // Bell Pepper Soup serves 2, Leek Soup 4 and Beef Stew 6; each checked with the space bar.
        for (const int row : {2, 3, 4}) {
            f.found()->setCurrentIndex(f.found()->model()->index(row, 0));
            f.run("key lswFFound=Space");
        }
        f.run(QString("type txtFServ=4x > answer %1 > click cmdFShop").arg(answer));
        QVERIFY(f.state("boxes").contains("has a list open"));
        QCOMPARE(f.on("frmShop", "", "txtHList focus dir:Shopping_List"), text + " / txtHName / -");

        // The checks went with the recipes into the list: adding again asks for recipes first.
        f.run("answer 1 > click cmdFShop");
        QVERIFY(f.state("boxes").contains("User error"));
    }

    // A list this window made, unchanged since, is made again with the next recipes, their lines merged
    // with its lines; a list changed since gets the new lines at its end.
    void shop_listMadeHereMergesTheNextRecipes()
    {
        Find f;
        f.find("soup", 2);
        f.run("key lswFFound=Space > click cmdFShop"); // Bell Pepper Soup: the box was empty, nothing asked
        QCOMPARE(f.on("frmShop", "", "txtHList"),
                 "Produce:\n3 red bell peppers\n\nDry goods:\n1 1/2 cups Stock\n\nSpices:\na pinch paprika\n\n"
                 "Check you have:\n½ tsp salt");
        f.found()->setCurrentIndex(f.found()->model()->index(1, 0));
        f.run("key lswFFound=Space > answer 6 > click cmdFShop"); // Leek Soup
        QCOMPARE(f.on("frmShop", "", "txtHList"),
                 "Produce:\n3 red bell peppers\n2 lbs leeks\n\nDairy:\n1 cup Crème fraîche\n\nDry goods:\n"
                 "5 1/2 cups Stock\n\nSpices:\na pinch paprika\n\nCheck you have:\n1 1/2 tsp salt");

        f.on("frmShop", "type txtHList=x");
        f.run("key lswFFound=Space > answer 6 > click cmdFShop"); // Leek Soup again, after a change
        QVERIFY(f.on("frmShop", "", "txtHList").endsWith("1 1/2 tsp saltx\nProduce:\n2 lbs leeks\n\nDairy:\n"
                                                        "1 cup Crème fraîche\n\nDry goods:\n4 cups stock\n\n"
                                                        "Check you have:\n1 tsp salt"));
    }
};

QTEST_MAIN(FindTest)
#include "find_test.moc"
