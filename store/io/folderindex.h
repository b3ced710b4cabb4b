#pragma once

#include <QString>

/// The names in the last folder a path was resolved in, so that finding a name that differs only in
/// letter case does not read the whole folder on every lookup. The index is read anew whenever the
/// folder's modification time changes, and when it was read so soon after a change that a second change
/// could share the time. The program's own changes, reported through added(), update the index in place:
/// saving many new recipes into one folder does not read the folder once per recipe.
namespace store::folderindex {

/// What is known of a name in a folder.
struct Entry
{
    enum Kind {
        FolderMissing, ///< the folder is not there
        Unknown,       ///< the index does not hold the folder, and it was not to be read
        Absent,        ///< no entry has the name, in any letter case
        Present,       ///< `name` is the entry: the name itself, or else the first in another letter case
                       ///< or the one shown as the name looked up (store/filename.h)
    };
    Kind kind;
    QString name;
};

/// Looks `name` up in `folder`. When the index does not hold the folder, it reads the folder only if
/// `read` is true, and answers Unknown otherwise.
Entry find(const QString &folder, const QString &name, bool read);

/// Reports that the program itself has just made the file or folder `path`.
void added(const QString &path);

/// While a batch lives, the folder the index holds is looked at on the disk once, not at every lookup:
/// reading every recipe of a category looks up one name after another in the same moment. A change made
/// meanwhile by another program shows once the batch is over, as if the lookups had come a moment sooner.
class Batch
{
public:
    Batch();
    ~Batch();
    Batch(const Batch &) = delete;
    Batch &operator=(const Batch &) = delete;
};

} // namespace store::folderindex
