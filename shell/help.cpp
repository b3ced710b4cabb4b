#include "shell/help.h"

#include "shell/messages.h"
#include "store/appfolder.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryFile>
#include <QThread>
#include <QTimer>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace mdlHelp {

namespace {

QString &viewerProgram()
{
    static QString program;
    return program;
}

bool reportedReady(const QString &reportFile)
{
    QFile file(reportFile);
    return file.open(QIODevice::ReadOnly) && file.readAll().split('\n').contains("ready");
}

// Lets the windows paint and timers run for `ms`; clicks and keys wait until the opener has returned.
void pause(int ms)
{
    if (!QCoreApplication::instance()) {
        QThread::msleep(ms);
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

QString HelpFilePath(HelpFile selector)
{
    if (selector == ProgramHelp)
        return store::helpFilePath();
    shell::msgBox(QStringLiteral("Invalid Help file.\r\nHelp File #%1\r\nHelp File Path: ").arg(selector),
                  shell::MbCritical, QStringLiteral("Tansy Help File"));
    return {};
}

qint64 OpenHelp(HelpFile selector)
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
    // not a pipe, so that nothing has to go on reading it while the window runs.
    QTemporaryFile report;
    if (!report.open())
        return 0;
    report.close();

    // The window is a child of this program: it ends when the program ends, and the system ends it when
    // the program dies in any other way.
    auto *viewer = new QProcess(QCoreApplication::instance());
    const QString program = viewerProgram();
    viewer->setProgram(program.isEmpty() ? QCoreApplication::applicationDirPath() + QStringLiteral("/larderon-help")
                                         : program);
    viewer->setArguments({path});
    viewer->setStandardInputFile(QProcess::nullDevice());
    viewer->setStandardOutputFile(report.fileName());
    const pid_t parent = ::getpid();
    viewer->setChildProcessModifier([parent] {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent)
            ::_exit(1);
    });
    viewer->start();
    const QDeadlineTimer deadline(timeoutMs);
    if (!viewer->waitForStarted(int(qMax<qint64>(deadline.remainingTime(), 1)))) {
        delete viewer;
        return 0;
    }
    const qint64 pid = viewer->processId();

    if (qApp)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    bool ready = false;
    for (;;) {
        ready = reportedReady(report.fileName());
        // It may have reported just before it ended.
        if (ready || viewer->state() == QProcess::NotRunning || deadline.hasExpired()) {
            ready = ready || reportedReady(report.fileName());
            break;
        }
        pause(20);
    }
    if (qApp)
        QApplication::restoreOverrideCursor();
    if (!ready) {
        // Ended without showing the page, or too slow: stopped and gone.
        delete viewer;
        return 0;
    }
    if (viewer->state() == QProcess::NotRunning)
        viewer->deleteLater();
    else
        QObject::connect(viewer, &QProcess::finished, viewer, &QObject::deleteLater);
    return pid;
}

void SetViewerProgram(const QString &program)
{
    viewerProgram() = program;
}

} // namespace mdlHelp
