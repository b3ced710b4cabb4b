#include "screens/chmfile.h"
#include "screens/helpviewer.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>
#include <QTreeWidget>

namespace {

const QString kFixture = QStringLiteral(HELP_FIXTURE);

// The tree as text: one line per topic, indented by two blanks per level, "name -> page".
QString describe(const QList<HelpTopic> &topics, int level = 0)
{
    QString text;
    for (const HelpTopic &topic : topics) {
        text += QString(level * 2, QLatin1Char(' ')) + topic.name + QStringLiteral(" -> ") + topic.local +
                QLatin1Char('\n');
        text += describe(topic.children, level + 1);
    }
    return text;
}

QString describe(const QTreeWidgetItem *parent, int level = 0)
{
    QString text;
    for (int i = 0; i < parent->childCount(); ++i) {
        text += QString(level * 2, QLatin1Char(' ')) + parent->child(i)->text(0) + QLatin1Char('\n');
        text += describe(parent->child(i), level + 1);
    }
    return text;
}

QByteArray fixtureBytes()
{
    QFile file(kFixture);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class HelpViewerTest : public QObject
{
    Q_OBJECT

private slots:
    void parseContents_data();
    void parseContents();
    void helpPagePath_data();
    void helpPagePath();
    void open_showsContentsTreeAndFirstPage();
    void open_readsPicturesAndStylesOutOfTheFile();
    void choosingATopic_showsItsPage();
    void clickingALink_showsThePlaceAndSelectsItsTopic();
    void open_unusableFile_fails_data();
    void open_unusableFile_fails();
    void escapeOrCtrlW_closesTheWindow();

private:
    QTemporaryDir m_dir;
};

void HelpViewerTest::parseContents_data()
{
    QTest::addColumn<QString>("sitemap");
    QTest::addColumn<QString>("tree");

    const QString topic = QStringLiteral(R"(<LI><OBJECT type="text/sitemap"><param name="Name" value="%1">)"
                                         R"(<param name="Local" value="%2"></OBJECT>)");
    QTest::newRow("nested lists") << QStringLiteral("<UL>") + topic.arg(QStringLiteral("A"), QStringLiteral("a.htm")) +
                                         QStringLiteral("<UL>") +
                                         topic.arg(QStringLiteral("A1"), QStringLiteral("a.htm#one")) +
                                         QStringLiteral("<UL>") +
                                         topic.arg(QStringLiteral("A1x"), QStringLiteral("x.htm")) +
                                         QStringLiteral("</UL></UL>") +
                                         topic.arg(QStringLiteral("B"), QStringLiteral("b.htm")) +
                                         QStringLiteral("</UL>")
                                  << QStringLiteral("A -> a.htm\n  A1 -> a.htm#one\n    A1x -> x.htm\nB -> b.htm\n");
    QTest::newRow("character references and spacing")
        << QStringLiteral("<UL>") +
               topic.arg(QStringLiteral("Cr&#232;me &amp;  Br&#xFB;l&#233;e &lt;1&gt;"), QStringLiteral(" c.htm "))
        << QStringLiteral("Cr\u00e8me & Br\u00fbl\u00e9e <1> -> c.htm\n");
    QTest::newRow("site properties and comments are not topics")
        << QStringLiteral(R"(<!-- <OBJECT type="text/sitemap"><param name="Name" value="hidden"></OBJECT> -->)"
                          R"(<OBJECT type="text/site properties"><param name="Name" value="props"></OBJECT>)"
                          "<UL>") +
               topic.arg(QStringLiteral("Shown"), QStringLiteral("s.htm"))
        << QStringLiteral("Shown -> s.htm\n");
    QTest::newRow("lower case, single quotes, bare values, heading without a page")
        << QStringLiteral("<ul><li><object type='TEXT/SITEMAP'><param name=name value='Heading'></object>"
                          "<ul><li><object type=text/sitemap><param name=Name value=Leaf>"
                          "<param name=local value=leaf.htm></object></ul></ul>")
        << QStringLiteral("Heading -> \n  Leaf -> leaf.htm\n");
    QTest::newRow("the first name and page of a topic win")
        << QStringLiteral(R"(<UL><LI><OBJECT type="text/sitemap"><param name="Name" value="One">)"
                          R"(<param name="Local" value="1.htm"><param name="Name" value="Two">)"
                          R"(<param name="Local" value="2.htm"></OBJECT></UL>)")
        << QStringLiteral("One -> 1.htm\n");
    QTest::newRow("a deeper list without a topic before it")
        << QStringLiteral("<UL><UL>") + topic.arg(QStringLiteral("Deep"), QStringLiteral("d.htm")) +
               QStringLiteral("</UL>") + topic.arg(QStringLiteral("Top"), QStringLiteral("t.htm"))
        << QStringLiteral("Deep -> d.htm\nTop -> t.htm\n");
    QTest::newRow("no topics") << QStringLiteral("<HTML><BODY><UL></UL></BODY></HTML>") << QString();
}

void HelpViewerTest::parseContents()
{
    QFETCH(QString, sitemap);
    QFETCH(QString, tree);
    QCOMPARE(describe(::parseContents(sitemap)), tree);
}

void HelpViewerTest::helpPagePath_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("path");
    QTest::newRow("plain") << QStringLiteral("welcome.htm") << QStringLiteral("/welcome.htm");
    QTest::newRow("anchor") << QStringLiteral("categories.htm#delete") << QStringLiteral("/categories.htm");
    QTest::newRow("folder and dot") << QStringLiteral("./images\\a b.png?x") << QStringLiteral("/images/a b.png");
    QTest::newRow("archive prefix") << QStringLiteral("ms-its:LDHelp.chm::/pdf.htm") << QStringLiteral("/pdf.htm");
    QTest::newRow("absolute") << QStringLiteral("/about.htm") << QStringLiteral("/about.htm");
    QTest::newRow("anchor only") << QStringLiteral("#top") << QString();
}

void HelpViewerTest::helpPagePath()
{
    QFETCH(QString, link);
    QFETCH(QString, path);
    QCOMPARE(::helpPagePath(link), path);
}

void HelpViewerTest::open_showsContentsTreeAndFirstPage()
{
    HelpViewer viewer;
    QVERIFY2(viewer.open(kFixture), qPrintable(viewer.error()));
    viewer.show();

    auto *tree = viewer.findChild<QTreeWidget *>(QStringLiteral("contentsTree"));
    QVERIFY(tree);
    QCOMPARE(describe(tree->invisibleRootItem()),
             QStringLiteral("Getting started\n  First page\n  Cr\u00e8me br\u00fbl\u00e9e\n"
                            "  Second, at its end\nThird\n"));
    // The heading has no page, so the first page of the contents is the first topic below it.
    QVERIFY(tree->currentItem());
    QCOMPARE(tree->currentItem()->text(0), QStringLiteral("First page"));
    QCOMPARE(viewer.currentPage(), QUrl(QStringLiteral("chm:/first.htm")));
    auto *page = viewer.findChild<QTextBrowser *>(QStringLiteral("pageBrowser"));
    QVERIFY(page->toPlainText().contains(QStringLiteral("The first page")));
    QCOMPARE(viewer.windowTitle(), QStringLiteral("Fixture Help"));
}

void HelpViewerTest::open_readsPicturesAndStylesOutOfTheFile()
{
    HelpViewer viewer;
    QVERIFY(viewer.open(kFixture));
    auto *page = viewer.findChild<QTextBrowser *>(QStringLiteral("pageBrowser"));

    // Names are relative to the page shown, as the page's own <img> and <link> give them.
    const QVariant picture =
        page->loadResource(QTextDocument::ImageResource, QUrl(QStringLiteral("images/calendar.png")));
    QCOMPARE(QImage::fromData(picture.toByteArray()).size(), QSize(32, 32));
    const QVariant style = page->loadResource(QTextDocument::StyleSheetResource, QUrl(QStringLiteral("style.css")));
    QVERIFY(style.toString().contains(QStringLiteral("#8a2b1b")));
    QVERIFY(page->loadResource(QTextDocument::ImageResource, QUrl(QStringLiteral("images/none.png"))).isNull());

    // The page as laid out carries the picture and the style sheet's colour.
    QVERIFY(page->toHtml().contains(QStringLiteral("images/calendar.png")));
    QVERIFY(page->toHtml().contains(QStringLiteral("#8a2b1b")));
}

void HelpViewerTest::choosingATopic_showsItsPage()
{
    HelpViewer viewer;
    QVERIFY(viewer.open(kFixture));
    viewer.show();
    auto *tree = viewer.findChild<QTreeWidget *>(QStringLiteral("contentsTree"));
    auto *page = viewer.findChild<QTextBrowser *>(QStringLiteral("pageBrowser"));
    auto *home = viewer.findChild<QToolButton *>(QStringLiteral("homeButton"));

    const QList<QTreeWidgetItem *> third = tree->findItems(QStringLiteral("Third"), Qt::MatchExactly);
    QCOMPARE(third.size(), 1);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(third.first()).center());
    QCOMPARE(viewer.currentPage(), QUrl(QStringLiteral("chm:/third.htm")));
    QVERIFY(page->toPlainText().contains(QStringLiteral("The third page")));

    // The keyboard moves through the contents as well.
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_Up);
    QCOMPARE(viewer.currentPage(), QUrl(QStringLiteral("chm:/second.htm#end")));

    QTest::mouseClick(home, Qt::LeftButton);
    QCOMPARE(viewer.currentPage(), QUrl(QStringLiteral("chm:/first.htm")));
    QCOMPARE(tree->currentItem()->text(0), QStringLiteral("First page"));
}

void HelpViewerTest::clickingALink_showsThePlaceAndSelectsItsTopic()
{
    HelpViewer viewer;
    QVERIFY(viewer.open(kFixture));
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    auto *tree = viewer.findChild<QTreeWidget *>(QStringLiteral("contentsTree"));
    auto *page = viewer.findChild<QTextBrowser *>(QStringLiteral("pageBrowser"));
    auto *back = viewer.findChild<QToolButton *>(QStringLiteral("backButton"));
    QVERIFY(!back->isEnabled());

    const QTextCursor link = page->document()->find(QStringLiteral("the end of the second page"));
    QVERIFY(!link.isNull());
    QTextCursor inside(page->document());
    inside.setPosition(link.selectionStart() + 3);
    QTest::mouseClick(page->viewport(), Qt::LeftButton, {}, page->cursorRect(inside).center());

    QCOMPARE(viewer.currentPage(), QUrl(QStringLiteral("chm:/second.htm#end")));
    QVERIFY(page->toPlainText().contains(QStringLiteral("The second page")));
    QCOMPARE(tree->currentItem()->text(0), QStringLiteral("Second, at its end"));
    QVERIFY(back->isEnabled());

    QTest::mouseClick(back, Qt::LeftButton);
    QCOMPARE(viewer.currentPage(), QUrl(QStringLiteral("chm:/first.htm")));
    QCOMPARE(tree->currentItem()->text(0), QStringLiteral("First page"));
}

void HelpViewerTest::open_unusableFile_fails_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("exists");

    const QByteArray good = fixtureBytes();
    QVERIFY(good.size() > 4096);
    QByteArray renamed = good;
    const qsizetype entry = renamed.indexOf("/Fixture.hhc");
    QVERIFY(entry > 0);
    renamed.replace(entry + 9, 3, "xyz");

    QTest::newRow("missing") << QByteArray() << false;
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("not a help file") << QByteArray("<html><body>Not compiled</body></html>\r\n") << true;
    QTest::newRow("truncated") << good.left(good.size() - 100) << true;
    QTest::newRow("contents entry renamed") << renamed << true;
}

void HelpViewerTest::open_unusableFile_fails()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, exists);
    const QString path = m_dir.filePath(QStringLiteral("Damaged.chm"));
    QFile::remove(path);
    if (exists) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    HelpViewer viewer;
    QVERIFY(!viewer.open(path));
    QVERIFY(!viewer.error().isEmpty());
    QCOMPARE(viewer.findChild<QTreeWidget *>(QStringLiteral("contentsTree"))->topLevelItemCount(), 0);
}

void HelpViewerTest::escapeOrCtrlW_closesTheWindow()
{
    for (const char *keys : {"Esc", "Ctrl+W"}) {
        HelpViewer viewer;
        QVERIFY(viewer.open(kFixture));
        viewer.show();
        QVERIFY(QTest::qWaitForWindowActive(&viewer));
        QTest::keySequence(QApplication::focusWidget(), QKeySequence::fromString(QLatin1String(keys)));
        QVERIFY2(!viewer.isVisible(), keys);
    }
}

QTEST_MAIN(HelpViewerTest)
#include "helpviewer_test.moc"
