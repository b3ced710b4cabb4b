#pragma once

#include "store/io/workfolder.h"

#include <QString>
#include <QStringList>

/// Where Larderon's data lives: the application folder and the paths of everything below it.
///
/// Every path is built from components below the application folder. Each component is checked as a
/// file name and resolved against its folder's listing, so that a name typed in another letter case
/// reaches the same file or folder.
namespace store {

/// True when `name` may be a file or folder name on every platform Larderon's data may travel to:
/// not empty, no control character and none of \ / : * ? " < > |, not ending in a blank or a dot (so
/// neither "." nor ".." nor " "), and not a device name of Windows (CON, PRN, AUX, NUL, COM1 to COM9,
/// LPT1 to LPT9) in any letter case, alone or before a dot ("aux.txt").
bool isValidName(const QString &name);

/// A zero-width no-break space, which at the start of a file is its byte-order mark.
inline constexpr QChar kByteOrderMark = QChar(0xFEFF);

/// True for the names a category's folder may not have although they are valid names, in any letter
/// case: the category list's own file name and the work folder's, which lie in the same place.
bool isReservedCategoryName(const QString &name);

/// Absolute path of `components` below the application folder. An empty component adds nothing, so a
/// path whose last component is empty names the folder above it. Each component resolves against the
/// listing of its folder: an exact match first, then one that differs only in letter case or is the name
/// shown for a file whose name is not UTF-8 (store/filename.h); a component with no match keeps its
/// spelling. Throws Failure 52 for a component that is not a valid name.
QString dataPath(const QStringList &components);

// The fixed places of the folder tree.
inline const QString kCategoryFolder = QStringLiteral("Category");
inline const QString kCategoryListFile = QStringLiteral("category.txt");
inline const QString kShoppingListFolder = QStringLiteral("Shopping List");
inline const QString kImagesFolder = QStringLiteral("images");
inline const QString kDocumentationFolder = QStringLiteral("Documentation");
inline const QString kHelpFile = QStringLiteral("LDHelp.chm");
inline const QString kSettingsFile = QStringLiteral("LD.ini");

/// Category/category.txt
QString categoryListPath();
/// Category/<category>; Failure 52 for an empty or invalid category name, a reserved one
/// (isReservedCategoryName()) and one that begins with kByteOrderMark, which the list could not keep.
QString categoryFolderPath(const QString &category);
/// Category/<category>/<recipe>; Failure 52 for an empty or invalid category or an invalid recipe name.
/// An empty recipe name gives the category folder itself, which cannot be opened as a file.
QString recipePath(const QString &category, const QString &recipe);
/// Shopping List
QString shoppingListFolderPath();
/// Shopping List/<fileName>; Failure 52 for an invalid name. An empty name gives the folder itself.
QString shoppingListPath(const QString &fileName);
/// images/<name>.ico
QString iconPath(const QString &name);
/// Documentation/LDHelp.chm
QString helpFilePath();
/// LD.ini
QString settingsPath();

} // namespace store
