#include "screens/chmfile.h"
#include "screens/helpviewer.h"
#include "tests/support/rows.h"

#include <QImage>
#include <QTextBrowser>
#include <QToolButton>
#include <QTreeWidget>

namespace {

// A tree as text: a line per topic, two blanks deeper per level; "name -> page" for contents topics.
QString describe(const QList<HelpTopic> &topics, int level = 0)
{
    QString text;
    for (const HelpTopic &topic : topics)
        text +=
            QString(level * 2, u' ') + topic.name + " -> " + topic.local + "\n" + describe(topic.children, level + 1);
    return text;
}

QString describe(const QTreeWidgetItem *parent, int level = 0)
{
    QString text;
    for (int i = 0; i < parent->childCount(); ++i)
        text += QString(level * 2, u' ') + parent->child(i)->text(0) + "\n" + describe(parent->child(i), level + 1);
    return text;
}

} // namespace

class HelpViewerTest : public QObject
{
    Q_OBJECT

private slots:
    void parseContents_data()
    {
        QTest::addColumn<QString>("sitemap");
        QTest::addColumn<QString>("tree");
        const QString topic = R"(<LI><OBJECT type="text/sitemap"><param name="Name" value="%1">)"
                              R"(<param name="Local" value="%2"></OBJECT>)";
        QTest::newRow("nested lists") << "<UL>" + topic.arg("A", "a.htm") + "<UL>" + topic.arg("A1", "a.htm#one") +
                                             "<UL>" + topic.arg("A1x", "x.htm") + "</UL></UL>" +
                                             topic.arg("B", "b.htm") + "</UL>"
                                      << "A -> a.htm\n  A1 -> a.htm#one\n    A1x -> x.htm\nB -> b.htm\n";
        QTest::newRow("character references and spacing")
            << "<UL>" + topic.arg("Cr&#232;me &amp;  Br&#xFB;l&#233;e &lt;1&gt;", " c.htm ")
            << "Cr\u00e8me & Br\u00fbl\u00e9e <1> -> c.htm\n";
        QTest::newRow("site properties and comments are not topics")
            << R"(<!-- <OBJECT type="text/sitemap"><param name="Name" value="hidden"></OBJECT> -->)"
               R"(<OBJECT type="text/site properties"><param name="Name" value="props"></OBJECT><UL>)" +
                   topic.arg("Shown", "s.htm")
            << "Shown -> s.htm\n";
        QTest::newRow("lower case, single quotes, bare values, heading without a page")
            << "<ul><li><object type='TEXT/SITEMAP'><param name=name value='Heading'></object><ul><li>"
               "<object type=text/sitemap><param name=Name value=Leaf><param name=local value=leaf.htm></object></ul>"
            << "Heading -> \n  Leaf -> leaf.htm\n";
        QTest::newRow("the first name and page of a topic win")
            << R"(<UL><LI><OBJECT type="text/sitemap"><param name="Name" value="One"><param name="Local" value="1.htm">)"
               R"(<param name="Name" value="Two"><param name="Local" value="2.htm"></OBJECT></UL>)"
            << "One -> 1.htm\n";
        QTest::newRow("a deeper list without a topic before it")
            << "<UL><UL>" + topic.arg("Deep", "d.htm") + "</UL>" + topic.arg("Top", "t.htm")
            << "Deep -> d.htm\nTop -> t.htm\n";
        QTest::newRow("no topics") << "<HTML><BODY><UL></UL></BODY></HTML>"
                                   << "";
    }
    void parseContents()
    {
        QFETCH(QString, sitemap);
        QTEST(describe(::parseContents(sitemap)), "tree");
    }

    void helpPagePath_data()
    {
        testing::addRows({"plain; welcome.htm; /welcome.htm", "anchor; categories.htm#delete; /categories.htm",
                          "folder and dot; ./images\\a b.png?x; /images/a b.png",
                          "archive prefix; ms-its:LDHelp.chm::/pdf.htm; /pdf.htm", "absolute; /about.htm; /about.htm",
                          "anchor only; #top; "});
    }
    void helpPagePath()
    {
        const auto [link, path] = testing::cells<2>();
        QCOMPARE(::helpPagePath(link), path);
    }

    void open_showsTheContentsAndTheFirstPage()
    {
        HelpViewer viewer;
        QVERIFY2(viewer.open(HELP_FIXTURE), qPrintable(viewer.error()));
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        auto *tree = viewer.findChild<QTreeWidget *>("contentsTree");
        auto *page = viewer.findChild<QTextBrowser *>("pageBrowser");
        QCOMPARE(describe(tree->invisibleRootItem()),
                 "Getting started\n  First page\n  Cr\u00e8me br\u00fbl\u00e9e\n  Second, at its end\nThird\n");
        QCOMPARE(viewer.windowTitle(), "Fixture Help");
        // The heading has no page: the first page is that of the first topic below it. Its picture and style
        // sheet come out of the file, by names relative to the page.
        const auto shown = [&] { return viewer.currentPage().toString() + " " + tree->currentItem()->text(0); };
        QCOMPARE(shown(), "chm:/first.htm First page");
        QVERIFY(page->toPlainText().contains("The first page"));
        const QVariant picture = page->loadResource(QTextDocument::ImageResource, QUrl("images/calendar.png"));
        QCOMPARE(QImage::fromData(picture.toByteArray()).size(), QSize(32, 32));
        QVERIFY(page->loadResource(QTextDocument::ImageResource, QUrl("images/none.png")).isNull());
        QVERIFY(page->toHtml().contains("images/calendar.png") && page->toHtml().contains("#8a2b1b"));

        // A topic clicked, the keyboard in the contents, Contents, a link into a page and Back.
        const QTextCursor link = page->document()->find("the end of the second page");
        QTextCursor inside(page->document());
        inside.setPosition(link.selectionStart() + 3);
        QTest::mouseClick(page->viewport(), Qt::LeftButton, {}, page->cursorRect(inside).center());
        QCOMPARE(shown(), "chm:/second.htm#end Second, at its end");
        QVERIFY(page->toPlainText().contains("The second page"));
        QTest::mouseClick(viewer.findChild<QToolButton *>("backButton"), Qt::LeftButton);
        QCOMPARE(shown(), "chm:/first.htm First page");
        const QTreeWidgetItem *third = tree->findItems("Third", Qt::MatchExactly).value(0);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(third).center());
        QCOMPARE(shown(), "chm:/third.htm Third");
        QVERIFY(page->toPlainText().contains("The third page"));
        QTest::keyClick(tree, Qt::Key_Up);
        QCOMPARE(shown(), "chm:/second.htm#end Second, at its end");
        QTest::mouseClick(viewer.findChild<QToolButton *>("homeButton"), Qt::LeftButton);
        QCOMPARE(shown(), "chm:/first.htm First page");
    }
};

QTEST_MAIN(HelpViewerTest)
#include "helpviewer_test.moc"
