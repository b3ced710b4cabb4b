#include "helpviewer/chmfile.h"
#include "helpviewer/helpviewer.h"
#include "shell/help.h"
#include "shell/messages.h"
#include "tests/support/rows.h"
#include "tests/support/screenfixture.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <csignal>

namespace {

bool isGone(qint64 pid)
{
    QFile stat(QString("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray fields = stat.readAll();
    const char state = fields.at(fields.lastIndexOf(')') + 2);
    return state == 'Z' || state == 'X';
}

// The program's help file, or one damaged in the way `kind` names.
QByteArray helpFile(const QString &kind)
{
    QFile file(LARDERON_HELP_FILE);
    QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    if (kind == u"contents entry renamed") {
        bytes.replace(bytes.indexOf("/LDHelp.hhc") + 8, 3, "xyz");
    } else if (kind == u"bytes changed across it") {
        for (qsizetype at = bytes.size() / 9; at + 1 < bytes.size() * 8 / 9 + 2; at += bytes.size() / 9)
            bytes[at] = char(~bytes.at(at)), bytes[at + 1] = char(~bytes.at(at + 1));
    }
    return kind == u"empty" ? QByteArray("") : kind == u"half" ? bytes.left(bytes.size() / 2) : bytes;
}

// A stand-in for the help window: a shell script that runs `body`.
QString writeViewer(const QTemporaryDir &dir, const QString &body)
{
    QFile script(dir.filePath("viewer.sh"));
    if (!script.open(QIODevice::WriteOnly) || !script.write("#!/bin/sh\n" + body.toUtf8() + "\n"))
        qFatal("cannot write the help window's stand-in");
    script.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    return script.fileName();
}

// A tree as text: a line per topic, two blanks deeper per level; "name -> page" for contents topics.
QString describe(const QList<HelpTopic> &topics, int level = 0)
{
    QString text;
    for (const HelpTopic &topic : topics)
        text +=
            QString(level * 2, u' ') + topic.name + " -> " + topic.local + "\n" + describe(topic.children, level + 1);
    return text;
}

} // namespace

class HelpTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { mdlHelp::SetViewerProgram(LARDERON_HELP_VIEWER); }
    void cleanup()
    {
        for (qint64 pid : std::as_const(m_viewers)) {
            QVERIFY(pid > 0);
            ::kill(pid_t(pid), SIGTERM);
            QTRY_VERIFY_WITH_TIMEOUT(isGone(pid), 5000);
        }
        m_viewers.clear();
        mdlHelp::SetViewerProgram({});
    }

    void openHelp_data()
    {
        // selector; help file (good, removed, or how it is damaged); help window (the real one, none, or a shell
        // script in its place); boxes shown: "invalid" for an invalid selector, "error" for an open that fails
        testing::addRows({
            "the help file, opened each time; 1; good; real;",
            "selector 2; 2; good; real; invalid|error",
            "selector 0; 0; good; real; invalid|error",
            "file removed; 1; removed; real; error",
            "empty file; 1; empty; real; error",
            "truncated to half; 1; half; real; error",
            "contents entry renamed; 1; contents entry renamed; real; error",
            "bytes changed across the file; 1; bytes changed across it; real; error",
            "help window missing; 1; good; none; error",
            "help window ends saying something else; 1; good; echo not ready && exit 0; error",
        });
    }
    void openHelp()
    {
        const auto [selector, file, viewer, boxes] = testing::cells<4>();
        testing::ScreenFixture f;
        f.folder.write("Documentation/LDHelp.chm", helpFile(file));
        if (file == u"removed")
            QFile::remove(f.folder.file("Documentation/LDHelp.chm"));
        QTemporaryDir dir;
        if (viewer != u"real")
            mdlHelp::SetViewerProgram(viewer == u"none" ? dir.filePath("larderon-help") : writeViewer(dir, viewer));
        QStringList expected;
        for (const QString &box : boxes.split(u'|', Qt::SkipEmptyParts)) {
            f.script.answer(shell::AnswerOk);
            expected << QString(box == u"invalid"
                                    ? "16 Tansy Help File: Invalid Help file.\r\nHelp File #%1\r\nHelp File Path: "
                                    : "16 Tansy Help File Contents: Error in opening Help file.\r\nHelp File #%1")
                            .arg(selector);
        }
        const qint64 viewers[] = {mdlHelp::OpenHelp(mdlHelp::HelpFile(selector.toInt())), boxes.isEmpty() ? mdlHelp::OpenHelp(mdlHelp::ProgramHelp) : 0};
        for (qint64 pid : viewers)
            m_viewers << QList<qint64>(pid > 0, pid);
        QCOMPARE(f.state("boxes"), expected.isEmpty() ? "-" : expected.join(" + "));
        QCOMPARE(mdlHelp::HelpFilePath(mdlHelp::ProgramHelp), f.folder.file("Documentation/LDHelp.chm"));
        // Each open is a window of its own, and the program goes on beside them.
        QVERIFY(boxes.isEmpty() ? viewers[0] > 0 && viewers[1] > 0 && viewers[0] != viewers[1] && !isGone(viewers[0]) &&
                                      !isGone(viewers[1])
                                : viewers[0] == 0);
        // After a failed open, the good help file opens.
        if (file == u"removed") { // with the real help window, set by init()
            f.folder.write("Documentation/LDHelp.chm", helpFile("good"));
            m_viewers << mdlHelp::OpenHelp(mdlHelp::ProgramHelp);
        }
    }

    void startViewer_stopsASilentWindowAfterTheTimeout()
    {
        QTemporaryDir dir;
        mdlHelp::SetViewerProgram(writeViewer(dir, "echo $$ > '" + dir.filePath("pid") + "'; exec sleep 60"));
        // The program's windows keep painting while the opener waits, three seconds at most.
        bool turned = false;
        QTimer::singleShot(100, [&turned] { turned = true; });
        const QDeadlineTimer limit(3500);
        QCOMPARE(mdlHelp::StartViewer(dir.filePath("any.chm")), 0);
        QVERIFY(turned && !limit.hasExpired());
        QFile file(dir.filePath("pid"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const qint64 pid = file.readAll().trimmed().toLongLong();
        QVERIFY(pid > 0);
        QTRY_VERIFY_WITH_TIMEOUT(isGone(pid), 5000);
    }

    void parseContents_data()
    {
        // Each file of tests/data/helpcontents: a contents file, then "-- topics --" and the tree read from it.
        QTest::addColumn<QStringList>("parts");
        for (const QString &file : QDir(LARDERON_TEST_DATA "/helpcontents").entryList(QDir::Files))
            QTest::newRow(qPrintable(file.chopped(4)))
                << QString::fromUtf8(testing::fixture("helpcontents/" + file)).split("\n-- topics --\n");
    }
    void parseContents()
    {
        QFETCH(QStringList, parts);
        QCOMPARE(describe(::parseContents(parts.value(0))), parts.value(1));
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
        QStringList topics; // two blanks before a topic inside another
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            topics << QString((*it)->parent() ? "  " : "") + (*it)->text(0);
        QCOMPARE(topics.join('|'),
                 "Getting started|  First page|  Cr\u00e8me br\u00fbl\u00e9e|  Second, at its end|Third");
        QCOMPARE(viewer.windowTitle(), "Fixture Help");
        // The heading has no page: the first page is that of the first topic below it. Its picture and style
        // sheet come out of the file, by names relative to the page.
        const auto shown = [&] {
            return viewer.currentPage().toString() + " " + tree->currentItem()->text(0) + ": " +
                   page->toPlainText().section(u'\n', 0, 0);
        };
        QCOMPARE(shown(), "chm:/first.htm First page: The first page");
        const QVariant picture = page->loadResource(QTextDocument::ImageResource, QUrl("images/calendar.png"));
        QCOMPARE(QImage::fromData(picture.toByteArray()).size(), QSize(32, 32));
        QVERIFY(page->loadResource(QTextDocument::ImageResource, QUrl("images/none.png")).isNull());
        QVERIFY(page->toHtml().contains("images/calendar.png") && page->toHtml().contains("#8a2b1b"));

        // A topic clicked, the keyboard in the contents, Contents, a link into a page and Back.
        const QTextCursor link = page->document()->find("the end of the second page");
        QTextCursor inside(page->document());
        inside.setPosition(link.selectionStart() + 3);
        QTest::mouseClick(page->viewport(), Qt::LeftButton, {}, page->cursorRect(inside).center());
        QCOMPARE(shown(), "chm:/second.htm#end Second, at its end: The second page");
        QTest::mouseClick(viewer.findChild<QToolButton *>("backButton"), Qt::LeftButton);
        QCOMPARE(shown(), "chm:/first.htm First page: The first page");
        const QTreeWidgetItem *third = tree->findItems("Third", Qt::MatchExactly).value(0);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(third).center());
        QCOMPARE(shown(), "chm:/third.htm Third: The third page");
        QTest::keyClick(tree, Qt::Key_Up);
        QCOMPARE(shown(), "chm:/second.htm#end Second, at its end: The second page");
        QTest::mouseClick(viewer.findChild<QToolButton *>("homeButton"), Qt::LeftButton);
        QCOMPARE(shown(), "chm:/first.htm First page: The first page");

        // Escape or Ctrl+W closes the window.
        for (const char *keys : {"Esc", "Ctrl+W"}) {
            viewer.show();
            QVERIFY(QTest::qWaitForWindowActive(&viewer));
            QTest::keySequence(QApplication::focusWidget(), QKeySequence::fromString(QLatin1String(keys)));
            QVERIFY2(!viewer.isVisible(), keys);
        }
    }

private:
    QList<qint64> m_viewers;
};

QTEST_MAIN(HelpTest)
#include "help_test.moc"
