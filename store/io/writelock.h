#pragma once

/// The application folder's write lock, so that two copies of the program on one folder never interleave
/// their writes: one copy's read of the category list and its rewrite cannot enclose the other's append.
namespace store {

/// How long a write waits for another copy of the program to finish its own.
constexpr int kWriteLockTimeoutMs = 1000;

/// Holds the write lock for as long as it lives. Every save and every rewrite of the category list holds
/// it; a thread may take it again while it holds it. The lock is the file "lock" in the work folder
/// (store/appfolder.h), locked with flock(2): the system frees it when a copy of the program ends in any
/// way, so a killed copy never leaves it held. Where the lock file cannot be made (an application folder
/// that may not be written), writes go on without it.
class WriteLock
{
public:
    /// Waits at most `timeoutMs` for the lock. 75 when another copy of the program holds it that long.
    explicit WriteLock(int timeoutMs = kWriteLockTimeoutMs);
    ~WriteLock();
    WriteLock(const WriteLock &) = delete;
    WriteLock &operator=(const WriteLock &) = delete;
};

} // namespace store
