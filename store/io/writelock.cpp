#include "store/io/writelock.h"

#include "store/io/failure.h"
#include "store/io/filename.h"
#include "store/io/workfolder.h"

#include <QByteArray>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace store {

namespace {

using Clock = std::chrono::steady_clock;

// Threads of this program meet at the mutex; copies of the program at the lock file.
struct Lock
{
    std::recursive_timed_mutex mutex;
    int depth = 0;       ///< how many WriteLocks hold it, on the thread that holds the mutex
    bool locked = false; ///< the lock file is locked
    int fd = -1;         ///< open on the lock file, kept for the next write
    QByteArray path;     ///< the lock file `fd` was opened on
};

// A copy that waits says so with the file "lock-wanted" beside the lock, made again at each look while it
// waits and removed once it holds the lock. A copy that lets the lock go while the file is there waits a
// little before it takes the lock again: it would otherwise take it back at once, before the other copy
// looked again, slice after slice of an import, until the other gave up.
constexpr auto kPoll = std::chrono::milliseconds(5);
constexpr auto kMostGiven = std::chrono::milliseconds(50);

QByteArray wantedPath(const QByteArray &lockPath)
{
    return lockPath + "-wanted";
}

Lock &lock()
{
    static Lock l;
    return l;
}

void closeLockFile(Lock &l)
{
    if (l.fd >= 0)
        ::close(l.fd);
    l.fd = -1;
    l.path.clear();
}

// True when `fd` is still the file named `path`: a lock file removed and made anew by someone else
// would leave two copies each holding a lock on a file of its own.
bool isStillNamed(int fd, const QByteArray &path)
{
    struct stat open;
    struct stat named;
    return ::fstat(fd, &open) == 0 && ::stat(path.constData(), &named) == 0 && open.st_dev == named.st_dev &&
           open.st_ino == named.st_ino;
}

void lockFile(Lock &l, Clock::time_point deadline)
{
    const QByteArray folder = encodeFileName(workFolderPath());
    const QByteArray path = folder + "/lock";
    for (;;) {
        if (l.path != path)
            closeLockFile(l);
        if (l.fd < 0) {
            ::mkdir(folder.constData(), 0777);
            l.fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
            if (l.fd < 0)
                return;
            l.path = path;
        }
        while (::flock(l.fd, LOCK_EX | LOCK_NB) != 0) {
            // A file system without locks leaves the writes unlocked, as before there was a lock.
            if (errno != EWOULDBLOCK && errno != EINTR)
                return;
            if (Clock::now() >= deadline) {
                ::unlink(wantedPath(path).constData()); // another copy that waits makes it again
                throw Failure(Failure::PathFileAccessError);
            }
            if (const int wanted = ::open(wantedPath(path).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666); wanted >= 0)
                ::close(wanted);
            std::this_thread::sleep_for(kPoll);
        }
        if (isStillNamed(l.fd, path)) {
            l.locked = true;
            ::unlink(wantedPath(path).constData());
            return;
        }
        closeLockFile(l);
    }
}

} // namespace

WriteLock::WriteLock(int timeoutMs)
{
    Lock &l = lock();
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    if (!l.mutex.try_lock_until(deadline))
        throw Failure(Failure::PathFileAccessError);
    if (l.depth == 0) {
        try {
            lockFile(l, deadline);
        } catch (...) {
            l.mutex.unlock();
            throw;
        }
    }
    ++l.depth;
}

WriteLock::~WriteLock()
{
    Lock &l = lock();
    if (--l.depth == 0 && l.locked) {
        ::flock(l.fd, LOCK_UN);
        l.locked = false;
        // Another copy waits: it has a turn before this thread may take the lock again. A file left by a copy
        // that ended while it waited costs one such turn.
        const QByteArray wanted = wantedPath(l.path);
        if (::access(wanted.constData(), F_OK) == 0) {
            for (const auto until = Clock::now() + kMostGiven;
                 ::access(wanted.constData(), F_OK) == 0 && Clock::now() < until;)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            ::unlink(wanted.constData());
        }
    }
    l.mutex.unlock();
}

} // namespace store
