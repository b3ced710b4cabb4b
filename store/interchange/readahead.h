#pragma once

#include "store/interchange/mapping.h"
#include "store/interchange/recipereader.h"

#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

/// Reading the recipes of files on a thread of its own, and fitting each into a record (toRecord()), ahead
/// of an import that saves them on its own thread: however long a file takes to be read or one recipe to be parsed, the import's thread only ever
/// waits for as long as it chooses.
namespace store::interchange {

class ReadAhead
{
public:
    /// What the reading thread met, in file order.
    struct Entry
    {
        enum Kind {
            Opened, ///< the file `file` was opened; its recipes follow
            Item,   ///< a recipe of the file `file`, or its problem
            Failed, ///< the file `file` could not be opened or read, with the failure's number; nothing follows
            End,    ///< every file was read
        };
        Kind kind = End;
        qsizetype file = 0;
        int failure = 0;
        ReadItem item;
        MappedRecipe mapped; ///< the item's recipe as it is saved, when it has no problem
    };

    /// Starts reading `files` at once. A file is opened as RecipeImport documents (53, 75, 76) and read
    /// by the reader of its format (store/interchange/reader.h).
    explicit ReadAhead(const QStringList &files);
    /// Stops the reading thread before its next recipe; it is not waited for.
    ~ReadAhead();
    ReadAhead(const ReadAhead &) = delete;
    ReadAhead &operator=(const ReadAhead &) = delete;

    /// The next entry, waiting at most `milliseconds` for it; nothing when none came in that time.
    std::optional<Entry> take(int milliseconds);

    /// How far the reading thread is through the file it reads, from 0 to 1.
    double progress() const;

private:
    struct State;
    std::shared_ptr<State> m_state;
    std::vector<Entry> m_taken; ///< entries taken from the reading thread, given up to m_next
    size_t m_next = 0;
};

} // namespace store::interchange
