#include "shell/worker.h"

#include <QEventLoop>
#include <QThread>

#include <exception>
#include <memory>

namespace shell {

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
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker->wait();
    if (error)
        std::rethrow_exception(error);
}

} // namespace shell
