#include "screens/help.h"
#include "shell/messages.h"
#include "tests/support/appfolder.h"
#include "tests/support/messages.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <csignal>

namespace {

const QString kHelpFile = QStringLiteral("Documentation/LDHelp.chm");
const QString kOpenError = QStringLiteral("Error in opening Help file.\r\nHelp File #1");

QByteArray realHelpFile()
{
    QFile file(QStringLiteral(LARDERON_HELP_FILE));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool isGone(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray fields = stat.readAll();
    const char state = fields.at(fields.lastIndexOf(')') + 2);
    return state == 'Z' || state == 'X';
}

// Stops a help window a test opened.
void stopViewer(qint64 pid)
{
    if (pid <= 0)
        return;
    ::kill(static_cast<pid_t>(pid), SIGTERM);
    const QDeadlineTimer deadline(5000);
    while (!isGone(pid) && !deadline.hasExpired())
        QThread::msleep(20);
}

// A stand-in for the help window: a shell script that does `body`.
QString writeViewer(const QTemporaryDir &dir, const QByteArray &body)
{
    const QString path = dir.filePath(QStringLiteral("viewer.sh"));
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly))
        return {};
    script.write("#!/bin/sh\n" + body + "\n");
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

} // namespace

class HelpTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void helpFilePath_selector1_isTheDocumentationFile();
    void helpFilePath_otherSelector_showsInvalidHelpFile_data();
    void helpFilePath_otherSelector_showsInvalidHelpFile();
    void openHelp_otherSelector_showsBothMessages();
    void openHelp_goodFile_opensTheViewerEachTime();
    void openHelp_unusableFile_showsErrorAndGoesOn_data();
    void openHelp_unusableFile_showsErrorAndGoesOn();
    void openHelp_viewerMissingOrCrashing_showsError_data();
    void openHelp_viewerMissingOrCrashing_showsError();
    void startViewer_silentViewer_isStoppedAfterTheTimeout();

private:
    QList<qint64> m_viewers;
};

void HelpTest::init()
{
    mdlHelp::SetViewerProgram(QStringLiteral(LARDERON_HELP_VIEWER));
}

void HelpTest::cleanup()
{
    for (qint64 pid : std::as_const(m_viewers))
        stopViewer(pid);
    m_viewers.clear();
    mdlHelp::SetViewerProgram(QString());
}

void HelpTest::helpFilePath_selector1_isTheDocumentationFile()
{
    testing::AppFolder folder;
    testing::MessageScript script;
    QCOMPARE(mdlHelp::HelpFilePath(1), folder.file(kHelpFile));
    QVERIFY(script.boxes().isEmpty());
}

void HelpTest::helpFilePath_otherSelector_showsInvalidHelpFile_data()
{
    QTest::addColumn<int>("selector");
    QTest::newRow("2") << 2;
    QTest::newRow("0") << 0;
    QTest::newRow("-1") << -1;
}

void HelpTest::helpFilePath_otherSelector_showsInvalidHelpFile()
{
    QFETCH(int, selector);
    testing::AppFolder folder;
    testing::MessageScript script;
    script.answer(shell::AnswerOk);

    QCOMPARE(mdlHelp::HelpFilePath(selector), QString());
    VERIFY_NO_UNEXPECTED_BOX(script);
    QCOMPARE(script.boxes().size(), 1);
    QCOMPARE(script.boxes().at(0).prompt,
             QStringLiteral("Invalid Help file.\r\nHelp File #%1\r\nHelp File Path: ").arg(selector));
    QCOMPARE(script.boxes().at(0).flags, 16);
    QCOMPARE(script.boxes().at(0).title, QStringLiteral("Tansy Help File"));
}

void HelpTest::openHelp_otherSelector_showsBothMessages()
{
    testing::AppFolder folder;
    folder.write(kHelpFile, realHelpFile());
    testing::MessageScript script;
    script.answer(shell::AnswerOk);
    script.answer(shell::AnswerOk);

    QCOMPARE(mdlHelp::OpenHelp(2), 0);
    VERIFY_NO_UNEXPECTED_BOX(script);
    QCOMPARE(script.boxes().size(), 2);
    QCOMPARE(script.boxes().at(0).title, QStringLiteral("Tansy Help File"));
    QCOMPARE(script.boxes().at(1).prompt, QStringLiteral("Error in opening Help file.\r\nHelp File #2"));
    QCOMPARE(script.boxes().at(1).flags, 16);
    QCOMPARE(script.boxes().at(1).title, QStringLiteral("Tansy Help File Contents"));
}

void HelpTest::openHelp_goodFile_opensTheViewerEachTime()
{
    testing::AppFolder folder;
    folder.write(kHelpFile, realHelpFile());
    testing::MessageScript script;

    const qint64 first = mdlHelp::OpenHelp(1);
    m_viewers.append(first);
    const qint64 second = mdlHelp::OpenHelp(1);
    m_viewers.append(second);

    VERIFY_NO_UNEXPECTED_BOX(script);
    QVERIFY(first > 0);
    QVERIFY(second > 0);
    QVERIFY(first != second);
    // The opener has returned while both windows stay open: the program goes on beside them.
    QVERIFY(!isGone(first));
    QVERIFY(!isGone(second));
}

void HelpTest::openHelp_unusableFile_showsErrorAndGoesOn_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("exists");

    const QByteArray good = realHelpFile();
    QVERIFY(good.size() > 4096);

    QByteArray random(good.size(), Qt::Uninitialized);
    QRandomGenerator generator(8);
    for (char &byte : random)
        byte = char(generator.bounded(256));

    // A few bytes changed: the directory entry of the contents file, or two bytes at eight places spread
    // over the file.
    QByteArray renamed = good;
    const qsizetype entry = renamed.indexOf("/LDHelp.hhc");
    QVERIFY(entry > 0);
    renamed.replace(entry + 8, 3, "xyz");
    QByteArray spread = good;
    for (int i = 1; i <= 8; ++i) {
        const qsizetype at = spread.size() * i / 9;
        spread[at] = char(~spread.at(at));
        spread[at + 1] = char(~spread.at(at + 1));
    }

    QTest::newRow("removed") << QByteArray() << false;
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("truncated to half") << good.left(good.size() / 2) << true;
    QTest::newRow("last bytes cut off") << good.left(good.size() - 200) << true;
    QTest::newRow("random bytes") << random << true;
    QTest::newRow("contents entry changed") << renamed << true;
    QTest::newRow("bytes changed across the file") << spread << true;
}

void HelpTest::openHelp_unusableFile_showsErrorAndGoesOn()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, exists);
    testing::AppFolder folder;
    if (exists)
        folder.write(kHelpFile, bytes);
    testing::MessageScript script;
    script.answer(shell::AnswerOk);

    QCOMPARE(mdlHelp::OpenHelp(1), 0);
    VERIFY_NO_UNEXPECTED_BOX(script);
    QCOMPARE(script.boxes().size(), 1);
    QCOMPARE(script.boxes().at(0).prompt, kOpenError);
    QCOMPARE(script.boxes().at(0).flags, 16);
    QCOMPARE(script.boxes().at(0).title, QStringLiteral("Tansy Help File Contents"));

    // The program goes on: a good help file put back opens.
    folder.write(kHelpFile, realHelpFile());
    const qint64 viewer = mdlHelp::OpenHelp(1);
    m_viewers.append(viewer);
    QVERIFY(viewer > 0);
    QCOMPARE(script.boxes().size(), 1);
}

void HelpTest::openHelp_viewerMissingOrCrashing_showsError_data()
{
    QTest::addColumn<QByteArray>("viewer");
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("crashes") << QByteArray("kill -SEGV $$");
    QTest::newRow("writes something else and ends") << QByteArray("echo not ready; exit 0");
}

void HelpTest::openHelp_viewerMissingOrCrashing_showsError()
{
    QFETCH(QByteArray, viewer);
    QTemporaryDir dir;
    mdlHelp::SetViewerProgram(viewer.isEmpty() ? dir.filePath(QStringLiteral("larderon-help"))
                                               : writeViewer(dir, viewer));
    testing::AppFolder folder;
    folder.write(kHelpFile, realHelpFile());
    testing::MessageScript script;
    script.answer(shell::AnswerOk);

    QCOMPARE(mdlHelp::OpenHelp(1), 0);
    VERIFY_NO_UNEXPECTED_BOX(script);
    QCOMPARE(script.boxes().size(), 1);
    QCOMPARE(script.boxes().at(0).prompt, kOpenError);
}

void HelpTest::startViewer_silentViewer_isStoppedAfterTheTimeout()
{
    QTemporaryDir dir;
    const QString pidFile = dir.filePath(QStringLiteral("pid"));
    mdlHelp::SetViewerProgram(writeViewer(dir, "echo $$ > '" + pidFile.toUtf8() + "'; exec sleep 60"));

    // The program's windows keep painting while the opener waits, three seconds at most.
    bool turned = false;
    QTimer::singleShot(100, [&turned] { turned = true; });
    const QDeadlineTimer limit(3500);
    QCOMPARE(mdlHelp::StartViewer(dir.filePath(QStringLiteral("any.chm"))), 0);
    QVERIFY(turned && !limit.hasExpired());
    QFile file(pidFile);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const qint64 pid = file.readAll().trimmed().toLongLong();
    QVERIFY(pid > 0);
    QTRY_VERIFY_WITH_TIMEOUT(isGone(pid), 5000);
}

QTEST_MAIN(HelpTest)
#include "help_test.moc"
