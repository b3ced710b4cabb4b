#pragma once

#include <QString>
#include <QStringList>

/// The category list, Category/category.txt: one category name per line, in the order of creation.
///
/// The list has two readers. The setup screen takes every line whole; the recipe screens read delimited
/// fields, so there a name with a comma shows as two names and leading blanks are dropped.
namespace store {

/// Every line of the list, whole, in file order (an empty line gives an empty name).
/// 53 when the list is missing, 76 when the Category folder is missing.
QStringList readCategoryLines();

/// Every delimited field of the list, in file order. Failures as readCategoryLines().
QStringList readCategoryFields();

/// Adds `name` as the last line; makes the list when it is missing. 76 when the Category folder is missing.
/// Like the rewrite below, it holds the write lock from reading the list to replacing it, and the new
/// list is on the disk when it returns.
void appendCategoryLine(const QString &name);

/// What makeCategory() did.
struct MadeCategory
{
    QString name;        ///< the category as listed: `name` or the listed name that differs only in case
    bool listed = false; ///< the line was added
    bool made = false;   ///< the folder was made
};

/// Makes the category `name` unless the list has it in any letter case: its line at the end of the list,
/// then its folder. Reading the list, deciding and appending happen under the write lock, so that two
/// copies of the program making the same category list it once.
///
/// No interruption leaves a category folder without its line: the line is on the disk before the folder
/// is made, and a failure to make the folder takes the line away again. A kill between the two steps
/// (or a failure to take the line away) leaves a line without its folder, as a folder removed by hand
/// does; making the category again, here or on the setup screen, makes the folder without a second line.
/// Failures: 52 for a name categoryFolderPath() refuses; as appendCategoryLine() and createFolder().
MadeCategory makeCategory(const QString &name);

/// Rewrites the list without every line equal to `name` (letter case counts) and returns how many lines
/// were removed. The list is replaced in one step, so it is never absent. 53 when the list is missing.
qsizetype removeCategoryLines(const QString &name);

} // namespace store
