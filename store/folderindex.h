#pragma once

#include <QString>

/// The names of the last folder a path was resolved in, by their case-folded form, so that finding a name
/// that differs only in letter case does not read the whole folder on every lookup. The index is read
/// anew whenever the folder's modification time changes, and when it was read so soon after a change that
/// a second change could share the time. The program's own changes, reported through added(), update the
/// index in place: saving many new recipes into one folder does not read the folder once per recipe.
namespace store::folderindex {

/// The entry of `folder` whose name equals `name` but for letter case; empty when there is none.
QString findIgnoringCase(const QString &folder, const QString &name);

/// Reports that the program itself has just made the file or folder `path`.
void added(const QString &path);

} // namespace store::folderindex
