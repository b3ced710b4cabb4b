#pragma once

#include <QString>
#include <QStringList>

/// The file and folder operations that every screen uses. Paths are absolute, as built by
/// store/appfolder.h. Every operation that fails throws store::Failure with the number given here.
///
/// A file is read-only when its owner may not write it; read-only files are never deleted or replaced,
/// whoever runs the program.
///
/// Deleting moves to the desktop trash; a trash that does not exist yet is made in the user's data
/// folder, and that folder with it.
///
/// Names on disk keep their bytes (store/filename.h): a listed name reaches its file, also when the
/// name is not UTF-8. No space left on the disk or in the user's quota is 61, wherever it is met.
namespace store {

/// True when `path` is an existing folder.
bool folderExists(const QString &path);

/// True when `path` is an existing file (not a folder).
bool fileExists(const QString &path);

/// Makes exactly one folder.
/// 58 when something of that name exists, 76 when the parent folder is missing, 70 when the parent
/// may not be written, 61 when the disk is full.
void createFolder(const QString &path);

/// Removes a folder with everything in it, to the desktop trash where there is one.
/// 76 when the folder is missing, 70 when a read-only file lies anywhere inside it (nothing is removed
/// then) or the removal is refused.
void deleteFolder(const QString &path);

/// Removes one file, to the desktop trash where there is one.
/// 53 when the file is missing, 75 when `path` is a folder, 70 when the file is read-only or the
/// removal is refused.
void deleteFile(const QString &path);

/// Renames or moves one file, also to another file system.
/// 53 when `from` is missing, 58 when `to` exists, 76 when the target folder is missing, 61 when the disk
/// is full, 75 otherwise.
void moveFile(const QString &from, const QString &to);

/// Makes an empty file, replacing any file of that name. Failures as for TextWriter.
void createTextFile(const QString &path);

/// The orders a folder's files can be listed in.
enum class FileOrder {
    Folder, ///< as the file system lists them
    ByName, ///< as a user expects to find names (store/nameorder.h)
};

/// The names of the files directly in `folder` (sub-folders left out, hidden files included), in `order`,
/// each as the user reads it (store/filename.h). The count is the list's size. 76 when the folder is
/// missing, 75 when it may not be read.
QStringList listFiles(const QString &folder, FileOrder order = FileOrder::Folder);

/// When the folder at `path` last changed (a file made, renamed or removed in it), in nanoseconds since
/// the epoch; -1 when `path` is not a folder.
qint64 folderModifiedTime(const QString &path);

/// The system's folder for temporary files, without a trailing separator.
QString temporaryFolder();

/// Makes a new empty file with a unique name beginning with `prefix` in `folder` and returns its path.
/// 76 when the folder is missing, 70 when it may not be written, 61 when the disk is full.
QString temporaryFile(const QString &folder, const QString &prefix);

/// Puts everything written into `folder` on the disk in one step: the data and names of its files and of
/// every other file on its file system. A bulk write that writes its files unsynced
/// (Durability::Deferred) calls it once at its end. 76 when the folder is missing, 61 when the disk is
/// full, 75 for any other failure.
void syncFolder(const QString &folder);

/// Removes what an interrupted save left in the work folder (store/appfolder.h); the windows' settings
/// (settings.ini) and the caches of the recipe index (`index-*`) stay. Called at start-up; does nothing while
/// another copy of the program is writing,
/// and never fails.
void cleanWorkFolder();

} // namespace store
