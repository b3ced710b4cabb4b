#include "screens/help.h"

#include "shell/messages.h"
#include "store/appfolder.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryFile>
#include <QThread>

#include <csignal>

namespace mdlHelp {

namespace {

QString &viewerProgram()
{
    static QString program;
    return program;
}

// True while the process lives. A process that ended stays a zombie until its parent reaps it, and the
// viewer is detached, so its parent is whatever reaps orphans here; a zombie counts as ended.
bool isRunning(qint64 pid)
{
    if (::kill(static_cast<pid_t>(pid), 0) != 0)
        return false;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray fields = stat.readAll();
    const qsizetype state = fields.lastIndexOf(')') + 2;
    return state < 2 || state >= fields.size() || (fields.at(state) != 'Z' && fields.at(state) != 'X');
}

bool reportedReady(const QString &reportFile)
{
    QFile file(reportFile);
    return file.open(QIODevice::ReadOnly) && file.readAll().split('\n').contains("ready");
}

} // namespace

QString HelpFilePath(int selector)
{
    if (selector == 1)
        return store::helpFilePath();
    shell::msgBox(QStringLiteral("Invalid Help file.\r\nHelp File #%1\r\nHelp File Path: ").arg(selector),
                  shell::MbCritical, QStringLiteral("Tansy Help File"));
    return {};
}

qint64 OpenHelp(int selector)
{
    const QString path = HelpFilePath(selector);
    const qint64 viewer = path.isEmpty() ? 0 : StartViewer(path);
    if (viewer == 0) {
        shell::msgBox(QStringLiteral("Error in opening Help file.\r\nHelp File #%1").arg(selector), shell::MbCritical,
                      QStringLiteral("Tansy Help File Contents"));
    }
    return viewer;
}

qint64 StartViewer(const QString &path, int timeoutMs)
{
    // The viewer writes "ready" to its standard output once its first page shows. Its output goes to a file,
    // not a pipe, because the viewer is detached and outlives this program.
    QTemporaryFile report;
    if (!report.open())
        return 0;
    report.close();

    QProcess viewer;
    const QString program = viewerProgram();
    viewer.setProgram(program.isEmpty() ? QCoreApplication::applicationDirPath() + QStringLiteral("/larderon-help")
                                        : program);
    viewer.setArguments({path});
    viewer.setStandardInputFile(QProcess::nullDevice());
    viewer.setStandardOutputFile(report.fileName());
    qint64 pid = 0;
    if (!viewer.startDetached(&pid) || pid <= 0)
        return 0;

    if (qApp)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    qint64 result = 0;
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        if (reportedReady(report.fileName())) {
            result = pid;
            break;
        }
        if (!isRunning(pid)) {
            // It may have reported just before it ended.
            result = reportedReady(report.fileName()) ? pid : 0;
            break;
        }
        if (deadline.hasExpired()) {
            ::kill(static_cast<pid_t>(pid), SIGKILL);
            break;
        }
        QThread::msleep(20);
    }
    if (qApp)
        QApplication::restoreOverrideCursor();
    return result;
}

void SetViewerProgram(const QString &program)
{
    viewerProgram() = program;
}

} // namespace mdlHelp
