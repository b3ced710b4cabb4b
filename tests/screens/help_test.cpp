#include "screens/help.h"
#include "shell/messages.h"
#include "tests/support/rows.h"
#include "tests/support/screenfixture.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

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
    if (kind == u"random") {
        QRandomGenerator generator(8);
        for (char &byte : bytes)
            byte = char(generator.bounded(256));
    } else if (kind == u"contents entry renamed") {
        bytes.replace(bytes.indexOf("/LDHelp.hhc") + 8, 3, "xyz");
    } else if (kind == u"bytes changed across it") {
        for (qsizetype at = bytes.size() / 9; at + 1 < bytes.size() * 8 / 9 + 2; at += bytes.size() / 9)
            bytes[at] = char(~bytes.at(at)), bytes[at + 1] = char(~bytes.at(at + 1));
    }
    return kind == u"empty"  ? QByteArray("")
           : kind == u"half" ? bytes.left(bytes.size() / 2)
           : kind == u"cut"  ? bytes.chopped(200)
                             : bytes;
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
            "selector -1; -1; good; real; invalid|error",
            "file removed; 1; removed; real; error",
            "empty file; 1; empty; real; error",
            "truncated to half; 1; half; real; error",
            "last bytes cut off; 1; cut; real; error",
            "random bytes; 1; random; real; error",
            "contents entry renamed; 1; contents entry renamed; real; error",
            "bytes changed across the file; 1; bytes changed across it; real; error",
            "help window missing; 1; good; none; error",
            "help window crashes; 1; good; kill -SEGV $$; error",
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
        const qint64 viewers[] = {mdlHelp::OpenHelp(selector.toInt()), boxes.isEmpty() ? mdlHelp::OpenHelp(1) : 0};
        for (qint64 pid : viewers)
            m_viewers << QList<qint64>(pid > 0, pid);
        QCOMPARE(f.state("boxes"), expected.isEmpty() ? "-" : expected.join(" + "));
        QCOMPARE(mdlHelp::HelpFilePath(1), f.folder.file("Documentation/LDHelp.chm"));
        // Each open is a window of its own, and the program goes on beside them.
        QVERIFY(boxes.isEmpty() ? viewers[0] > 0 && viewers[1] > 0 && viewers[0] != viewers[1] && !isGone(viewers[0]) &&
                                      !isGone(viewers[1])
                                : viewers[0] == 0);
        // After a failed open, the good help file opens.
        if (file == u"removed") {
            mdlHelp::SetViewerProgram(LARDERON_HELP_VIEWER);
            f.folder.write("Documentation/LDHelp.chm", helpFile("good"));
            m_viewers << mdlHelp::OpenHelp(1);
        }
    }

    void startViewer_stopsASilentWindowAfterTheTimeout()
    {
        QTemporaryDir dir;
        mdlHelp::SetViewerProgram(writeViewer(dir, "echo $$ > '" + dir.filePath("pid") + "'; exec sleep 60"));
        QCOMPARE(mdlHelp::StartViewer(dir.filePath("any.chm"), 500), 0);
        QFile file(dir.filePath("pid"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const qint64 pid = file.readAll().trimmed().toLongLong();
        QVERIFY(pid > 0);
        QTRY_VERIFY_WITH_TIMEOUT(isGone(pid), 5000);
    }

private:
    QList<qint64> m_viewers;
};

QTEST_MAIN(HelpTest)
#include "help_test.moc"
