#include "store/interchange/readahead.h"

#include "store/interchange/archive.h"
#include "store/interchange/reader.h"
#include "store/io/failure.h"

#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <new>
#include <thread>

namespace store::interchange {

namespace {

// How many recipes the reading thread may be ahead of the import, which bounds the memory they hold.
constexpr size_t kMostAhead = 64;

std::unique_ptr<QIODevice> openFile(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir())
        throw Failure(Failure::PathFileAccessError);
    if (!info.exists())
        throw Failure(QFileInfo(info.absolutePath()).isDir() ? Failure::FileNotFound : Failure::PathNotFound);
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly))
        throw Failure(Failure::PathFileAccessError);
    return file;
}

} // namespace

struct ReadAhead::State
{
    QStringList files;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Entry> entries;
    bool stopped = false;
    std::atomic<double> progress{0.0};

    // Adds an entry, waiting while the import is far behind; false once the import is gone.
    bool put(Entry entry)
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [this] { return stopped || entries.size() < kMostAhead; });
        if (stopped)
            return false;
        entries.push_back(std::move(entry));
        changed.notify_all();
        return true;
    }

    void read()
    {
        for (qsizetype file = 0; file < files.size(); ++file) {
            try {
                progress = 0.0;
                // A folder of recipe.json files is a Nextcloud Cookbook's; another folder cannot be read.
                const std::unique_ptr<RecipeReader> reader = isRecipeFolder(files.at(file))
                                                                 ? makeFolderReader(files.at(file))
                                                                 : makeReader(openFile(files.at(file)));
                if (!put({Entry::Opened, file, 0, {}, {}}))
                    return;
                while (std::optional<ReadItem> item = reader->next()) {
                    progress = reader->progress();
                    Entry entry{Entry::Item, file, 0, std::move(*item), {}};
                    if (entry.item.problem.isEmpty()) {
                        entry.mapped = toRecord(entry.item.recipe);
                        entry.item.recipe = {};
                    }
                    if (!put(std::move(entry)))
                        return;
                }
            } catch (const Failure &failure) {
                put({Entry::Failed, file, failure.number(), {}, {}});
                return;
            } catch (const std::bad_alloc &) {
                put({Entry::Failed, file, Failure::PathFileAccessError, {}, {}});
                return;
            }
        }
        put({Entry::End, 0, 0, {}, {}});
    }
};

ReadAhead::ReadAhead(const QStringList &files) : m_state(std::make_shared<State>())
{
    m_state->files = files;
    // The thread holds the state as long as it runs, so that the import need not wait for it to end.
    std::thread([state = m_state] { state->read(); }).detach();
}

ReadAhead::~ReadAhead()
{
    const std::lock_guard lock(m_state->mutex);
    m_state->stopped = true;
    m_state->entries.clear();
    m_state->changed.notify_all();
}

std::optional<ReadAhead::Entry> ReadAhead::take(int milliseconds)
{
    std::unique_lock lock(m_state->mutex);
    if (!m_state->changed.wait_for(lock, std::chrono::milliseconds(std::max(milliseconds, 0)),
                                   [this] { return !m_state->entries.empty(); }))
        return std::nullopt;
    Entry entry = std::move(m_state->entries.front());
    m_state->entries.pop_front();
    m_state->changed.notify_all();
    return entry;
}

double ReadAhead::progress() const
{
    return m_state->progress;
}

} // namespace store::interchange
