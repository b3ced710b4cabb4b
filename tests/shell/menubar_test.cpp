#include "shell/menubar.h"
#include "tests/support/appfolder.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

using shell::MenuBar;

namespace {

// One line per table row: parent|key|kind|caption|icon.
QStringList describe(std::span<const shell::MenuRow> rows)
{
    QStringList lines;
    for (const shell::MenuRow &row : rows) {
        lines << QStringLiteral("%1|%2|%3|%4|%5")
                     .arg(QLatin1String(row.parent ? row.parent : "-"), QLatin1String(row.key))
                     .arg(row.kind)
                     .arg(QLatin1String(row.caption), QLatin1String(row.icon ? row.icon : "-"));
    }
    return lines;
}

void installIcons(const testing::AppFolder &app, const QStringList &names)
{
    for (const QString &name : names) {
        QFile::copy(QStringLiteral(LARDERON_TEST_DATA "/../../assets/images/%1.ico").arg(name),
                    app.file(QStringLiteral("images/%1.ico").arg(name)));
    }
}

} // namespace

class MenuBarTest : public QObject
{
    Q_OBJECT

private slots:
    void tables_holdEachScreensCommands_data();
    void tables_holdEachScreensCommands();
    void build_makesMenusItemsAndSeparators_data();
    void build_makesMenusItemsAndSeparators();
    void click_reportsTheItemWhoseKeyIsLookedUp();
    void missingIconFile_showsTheItemWithoutIcon();
};

void MenuBarTest::tables_holdEachScreensCommands_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("recipe entry") << describe(shell::ingredMenu())
                                  << QStringList{"-|keyfile|0|&File|-", "keyfile|keyNew|0|New|New",
                                                 "keyfile||3||-",       "keyfile|keySave|0|Save|Save",
                                                 "keyfile||3||-",       "keyfile|keyMain|0|Main|Main"};
    QTest::newRow("recipe display") << describe(shell::recipeMenu())
                                    << QStringList{"-|keyfile|0|&File|-", "keyfile|keyNew|0|New|New",
                                                   "keyfile||3||-",       "keyfile|keyPrint|0|Print|Print",
                                                   "keyfile||3||-",       "keyfile|keyMain|0|Main|Main"};
    QTest::newRow("shopping lists") << describe(shell::shopMenu())
                                    << QStringList{"-|keyfile|0|&File|-",
                                                   "keyfile|keyNew|0|New|New",
                                                   "keyfile|keySave|0|Save|Save",
                                                   "keyfile|keyPrint|0|Print|Print",
                                                   "keyfile|keyMain|0|Main|Main",
                                                   "-|keyEdit|0|&Edit|-",
                                                   "keyEdit|keyDelete|0|Del|Exit",
                                                   "-|keyTool|0|&Tools|-",
                                                   "keyTool|keyCalendar|0|Calendar|Calendar"};
}

void MenuBarTest::tables_holdEachScreensCommands()
{
    QFETCH(QStringList, rows);
    QFETCH(QStringList, expected);
    QCOMPARE(rows, expected);
}

void MenuBarTest::build_makesMenusItemsAndSeparators_data()
{
    QTest::addColumn<int>("table");
    QTest::addColumn<QStringList>("menus");
    QTest::addColumn<int>("separators");
    QTest::newRow("recipe entry") << 0 << QStringList{"&File"} << 2;
    QTest::newRow("recipe display") << 1 << QStringList{"&File"} << 2;
    QTest::newRow("shopping lists") << 2 << QStringList{"&File", "&Edit", "&Tools"} << 0;
}

void MenuBarTest::build_makesMenusItemsAndSeparators()
{
    QFETCH(int, table);
    QFETCH(QStringList, menus);
    QFETCH(int, separators);
    testing::AppFolder app;
    installIcons(app, {"New", "Save", "Main", "Print", "Exit", "Calendar"});
    const std::span<const shell::MenuRow> rows[] = {shell::ingredMenu(), shell::recipeMenu(), shell::shopMenu()};

    MenuBar bar;
    shell::BuildMenuBar(&bar, rows[table]);

    QStringList shownMenus;
    int shownSeparators = 0;
    for (QAction *top : bar.actions()) {
        shownMenus << top->text();
        for (QAction *item : top->menu()->actions()) {
            if (item->isSeparator()) {
                ++shownSeparators;
                continue;
            }
            QVERIFY2(!item->icon().isNull(), qPrintable(item->text()));
            QVERIFY(item->isEnabled() && item->isVisible() && !item->isCheckable());
        }
    }
    QCOMPARE(shownMenus, menus);
    QCOMPARE(shownSeparators, separators);
    QCOMPARE(bar.font().family(), QStringLiteral("Tahoma"));
    QCOMPARE(bar.font().pointSize(), 8);
}

void MenuBarTest::click_reportsTheItemWhoseKeyIsLookedUp()
{
    testing::AppFolder app;
    MenuBar bar;
    shell::BuildMenuBar(&bar, shell::shopMenu());
    QSignalSpy clicks(&bar, &MenuBar::itemClick);

    bar.action(QStringLiteral("keyDelete"))->trigger();
    bar.action(QStringLiteral("keyCalendar"))->trigger();
    QCOMPARE(clicks.size(), 2);
    QCOMPARE(bar.keyOf(clicks.at(0).at(0).toInt()), QStringLiteral("keyDelete"));
    QCOMPARE(bar.action(QStringLiteral("keyDelete"))->text(), QStringLiteral("Del"));
    QCOMPARE(bar.keyOf(clicks.at(1).at(0).toInt()), QStringLiteral("keyCalendar"));
    // A menu title is not an item: choosing it reports nothing.
    bar.action(QStringLiteral("keyfile"))->trigger();
    QCOMPARE(clicks.size(), 2);
    QCOMPARE(bar.keyOf(-1), QString());
}

void MenuBarTest::missingIconFile_showsTheItemWithoutIcon()
{
    testing::AppFolder app;
    installIcons(app, {"New", "Main"});
    app.write(QStringLiteral("images/Save.ico"), "not an icon");
    MenuBar bar;
    shell::BuildMenuBar(&bar, shell::ingredMenu());

    QVERIFY(!bar.action(QStringLiteral("keyNew"))->icon().isNull());
    QVERIFY(bar.action(QStringLiteral("keySave"))->icon().isNull());
    QCOMPARE(bar.action(QStringLiteral("keySave"))->text(), QStringLiteral("Save"));
    QVERIFY(shell::LoadMenuIcon(QStringLiteral("Print")).isNull());

    // Each call reads the file anew: an icon put in place later shows.
    installIcons(app, {"Print"});
    QVERIFY(!shell::LoadMenuIcon(QStringLiteral("Print")).isNull());
}

QTEST_MAIN(MenuBarTest)
#include "menubar_test.moc"
