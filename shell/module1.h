#pragma once

#include "store/fileops.h"

#include <QString>
#include <QStringList>

class QWidget;

/// Routines that the screens share: window style, deleting from the disk, emptying a screen's boxes
/// and listing a folder's files.
namespace Module1 {

/// The screen numbers, as the clear routine takes them.
enum ScreenNumber {
    ScreenIngred = 0,
    ScreenRecipe = 1,
    ScreenSetup = 2,
    ScreenShop = 3,
    ScreenMain = 4,
};

/// Asks for the window's drop shadow. On Linux the window manager draws shadows; this only makes sure
/// the window does not opt out of one.
void DropShadow(QWidget *window);

/// What FileSystemDelete() deletes.
enum DeleteMode {
    DeleteFile = 0,   ///< the file at the path
    DeleteFolder = 1, ///< the folder at the path with everything in it
};

/// Deletes the file or the folder at `path`, as `mode` says. Never forced: a read-only file makes it fail.
/// Failures (store::Failure) reach the caller.
void FileSystemDelete(const QString &path, DeleteMode mode);

/// Empties every text box of that screen (the entry, recipe display or shopping list screen) when it is
/// loaded; for the recipe display it also empties the recipe list `lswRFile`. Other controls keep their
/// state; the other screens are left as they are.
void ClearScreen(ScreenNumber screen);

/// Fills `names` with the names of the files in `folder`, in `order` (as the file system lists them
/// unless told otherwise). Failures (store::Failure 76 for a
/// missing folder) reach the caller.
void ListFolderFiles(const QString &folder, QStringList &names, store::FileOrder order = store::FileOrder::Folder);

} // namespace Module1
