#include "shell/worker.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QThread>

#include <exception>
#include <memory>

namespace shell {

namespace {

// How long this thread waits for the work before it goes back to painting the windows.
constexpr int kMomentMs = 20;

} // namespace

void runInWorker(const std::function<void()> &work)
{
    std::exception_ptr error;
    std::unique_ptr<QThread> worker(QThread::create([&work, &error] {
        try {
            work();
        } catch (...) {
            error = std::current_exception();
        }
    }));
    QEventLoop loop;
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    // Most work is over in a moment, and then nothing else runs in between.
    if (!worker->wait(QDeadlineTimer(kMomentMs))) {
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        worker->wait();
    }
    if (error)
        std::rethrow_exception(error);
}

} // namespace shell
