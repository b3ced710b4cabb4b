#include "screens/help.h"

#include "shell/messages.h"
#include "store/appfolder.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryFile>
#include <QThread>

#include <csignal>

namespace mdlHelp {

namespace {

constexpr int kViewerStartMs = 15000;

bool isRunning(qint64 pid)
{
    return ::kill(static_cast<pid_t>(pid), 0) == 0;
}

bool reportedReady(const QString &reportFile)
{
    QFile file(reportFile);
    return file.open(QIODevice::ReadOnly) && file.readAll().contains("ready");
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

int OpenHelp(int selector)
{
    const QString path = HelpFilePath(selector);
    if (!path.isEmpty() && StartViewer(path))
        return 1;
    shell::msgBox(QStringLiteral("Error in opening Help file.\r\nHelp File #%1").arg(selector), shell::MbCritical,
                  QStringLiteral("Tansy Help File Contents"));
    return 0;
}

bool StartViewer(const QString &path)
{
    // The viewer writes "ready" to its standard output once the contents page shows; a file carries that
    // word back, because the viewer is detached and outlives this program.
    QTemporaryFile report;
    if (!report.open())
        return false;
    report.close();

    QProcess viewer;
    viewer.setProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/larderon-help"));
    viewer.setArguments({path});
    viewer.setStandardOutputFile(report.fileName());
    viewer.setStandardInputFile(QProcess::nullDevice());
    qint64 pid = 0;
    if (!viewer.startDetached(&pid))
        return false;

    const QDeadlineTimer deadline(kViewerStartMs);
    while (!deadline.hasExpired()) {
        if (reportedReady(report.fileName()))
            return true;
        if (!isRunning(pid))
            return reportedReady(report.fileName());
        QThread::msleep(20);
    }
    ::kill(static_cast<pid_t>(pid), SIGKILL);
    return false;
}

} // namespace mdlHelp
