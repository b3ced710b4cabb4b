#pragma once

#include "store/interchange/model.h"
#include "store/recipefile.h"

/// How a recipe of an interchange file becomes a recipe file of 35 fields, and back. Nothing the file
/// holds is dropped: what has no field of its own goes into the directions.
///
/// The directions of an imported recipe are, in this order: the title, when the file name is not the
/// title itself; "More ingredients:" and the ingredients beyond the tenth row, one per line; an empty
/// line and the recipe's own directions; an empty line and what did not fit anywhere else (a yield
/// that is more than a number, a cooking time too long for the boxes, a source, ...).
namespace store::interchange {

/// The longest recipe name and category name that the screens' boxes take.
constexpr qsizetype kNameLength = 40;
constexpr qsizetype kCategoryLength = 35;

/// The label of the line at the end of imported directions that keeps a recipe's categories beyond the
/// first, which it goes into ("Categories: Winter, Vegetarian").
inline const QString kCategoriesLabel = QStringLiteral("Categories:");

/// The file name of a recipe titled `title`: its blanks at the ends dropped, every character that may
/// not be in a name (store::isValidName) changed to "-", at most 40 characters. Empty for an empty title.
QString fileNameFor(const QString &title);

/// The category a file's category `name` becomes: a category name that the category list keeps as
/// one name, at most 35 characters. Empty when nothing is left.
QString categoryNameFor(const QString &name);

/// `name` as the `n`th recipe of that name: " (n)" added for n of 2 and more, the name shortened so
/// that the whole stays within 40 characters.
QString numberedName(const QString &name, int n);

/// A recipe ready to be saved.
struct MappedRecipe
{
    QString title;    ///< the title as the file gives it
    QString name;     ///< the file name made of the title
    QString category; ///< the recipe's first category, as a category name; empty when it has none
    QString categoryAsRead; ///< that category as the file gives it, on one line
    RecipeRecord record;
    bool moreThanTenRows = false;
    QByteArray picture; ///< the recipe's picture, to be kept once the recipe is saved
    QString pictureAddress; ///< the address of the recipe's picture, as the file gives it
};

/// The recipe file of `recipe`:
/// - rows 1 to 10 from the first ten ingredients;
/// - the oven temperature the file states, or else the first temperature in its directions, when it
///   has at most 3 digits;
/// - the serving size from the yield's number when it has at most 3 digits; a yield that says more
///   than how many servings goes into the directions as "Yield: ...";
/// - the cooking time in hours (at most 2 digits) and minutes (at most 3 digits), turned into hours
///   and minutes when the minutes do not fit; a time of 100 hours or more goes into the directions;
/// - the recipe's categories after the first (the one `category` names) on a line of the directions'
///   end, after kCategoriesLabel, each once;
/// - the lines of what did not fit at the end of the directions; with a note or a source, they are the
///   recipe window's last paragraph (store/recipedraft.h): "Note:" and the note (its empty lines left out),
///   the other lines, then "Source:" and the source.
MappedRecipe toRecord(const Recipe &recipe);

/// The recipe that toRecord() turns back into `record` saved as `name`: the reverse of the rules above.
/// The title comes back from the first line of the directions, and the ingredients beyond the tenth
/// from the lines under "More ingredients:" as store::moreIngredients() finds them, each read by
/// store::readIngredientLine(); the heading counts only right below the title (or at the very top when
/// there is no title line), as toRecord() writes it, and a heading with no lines stays in the directions.
Recipe fromRecord(const QString &name, const QString &category, const RecipeRecord &record);

/// The cooking information an export adds to the directions of `recipe` so that they read back as
/// the same record: the oven temperature, also an empty one when the directions hold a temperature,
/// and the cooking time unless `timeElsewhere` (the format has a place of its own for it).
CookingInfo exportedCookingInfo(const Recipe &recipe, bool timeElsewhere);

} // namespace store::interchange
