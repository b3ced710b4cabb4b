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

/// Deletes from the disk: mode 0 the file at `path`, mode 1 the folder at `path` with everything in it;
/// any other mode does nothing. Never forced: a read-only file makes it fail. Failures (store::Failure)
/// reach the caller.
void FileSystemDelete(const QString &path, int mode);

/// Empties every text box of the screen with that number (0, 1 or 3) when it is loaded; for screen 1
/// it also empties the recipe list `lswRFile`. Other controls keep their state; other numbers do nothing.
void ClearScreen(int screenNumber);

/// Fills `names` with the names of the files in `folder`, in `order` (as the file system lists them
/// unless told otherwise), and one empty element after the last name. Failures (store::Failure 76 for a
/// missing folder) reach the caller.
void ListFolderFiles(const QString &folder, QStringList &names, store::FileOrder order = store::FileOrder::Folder);

} // namespace Module1
