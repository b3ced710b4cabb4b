#pragma once

#include "store/io/writelock.h"

#include <QByteArray>
#include <QHash>

#include <optional>

#include <sys/types.h>

/// Many new files written in a row, as an import writes them, without paying for each file what only
/// needs doing once: while a WriteBatch lives on a thread, the TextWriters made on that thread take the
/// write lock (held by the batch) without a look at the lock file, and look at a folder and at the work
/// folder once, not once per file. A batch is meant to live for one slice of work (tens of milliseconds):
/// what it learnt is forgotten with it, so that a change made by another program meanwhile counts again
/// at the next batch; a folder removed or made read-only within a batch still fails the write that needs
/// it, at its open or its rename.
namespace store {

class WriteBatch
{
public:
    /// Takes the write lock as WriteLock does: 75 when another copy of the program holds it too long.
    explicit WriteBatch(int timeoutMs = kWriteLockTimeoutMs);
    ~WriteBatch();
    WriteBatch(const WriteBatch &) = delete;
    WriteBatch &operator=(const WriteBatch &) = delete;

    /// The batch living on this thread, if any.
    static WriteBatch *current();

    /// What the batch knows of a folder a file is written into, as the file system names it.
    struct Folder
    {
        bool writable = false; ///< a folder that may be written
        bool inWork = false;   ///< on the file system of the work folder, so that the sibling goes there
    };
    std::optional<Folder> folder(const QByteArray &path) const;
    void setFolder(const QByteArray &path, Folder folder);

private:
    WriteLock m_lock;
    QHash<QByteArray, Folder> m_folders;
    WriteBatch *m_outer = nullptr;
};

} // namespace store
