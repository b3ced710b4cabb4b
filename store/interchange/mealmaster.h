#pragma once

#include "store/interchange/recipereader.h"

class QIODevice;

/// MealMaster text files: recipes between a header line ("MMMMM----- Recipe via Meal-Master" or
/// "---------- Recipe via Meal-Master") and a closing line ("MMMMM" or "-----"), with Title, Categories
/// and Servings or Yield, ingredients in one or two columns of amount, measure code and text, and the
/// directions as free text.
namespace store::interchange {

/// Reads the MealMaster recipes on `device` line by line; a line that is not valid UTF-8 is read as
/// Windows-1252. Measure codes are written out as people type them: "c" is "cup", "tb" and "T" are
/// "tbsp", "t" and "ts" are "tsp", "pn" is "pinch" and so on.
std::unique_ptr<RecipeReader> makeMealMasterReader(std::unique_ptr<QIODevice> device);

/// The yield an export writes for a recipe without a serving size ("Yield: 1 recipe"), which readers of
/// the format need and which reading gives back as no serving size.
inline const QString kNoServingSize = QStringLiteral("1 recipe");

/// One recipe as MealMaster text in the classic layout that other programs read, lines ended by "\n":
/// - only characters of ISO-8859-1 (the file is written in it): the fraction characters as "1/2", the
///   typographic quotes and dashes as ASCII, a tab as blanks, any other character as "?";
/// - a Servings line, or a Yield line (kNoServingSize when there is no serving size);
/// - the ingredients in one column: an amount of digits, a fraction or a decimal in the amount column
///   (any other amount, such as a range, at the start of the text), the code of MealMaster's unit table
///   for a measure it has (store::findUnit: "cups" and "Tbsp." are "c" and "tb"), any other measure at
///   the start of the text; a section line ("MMMMM-----SAUCE-----") only for a heading (no amount nor
///   measure, in capitals or ending with ":"); text beyond 40 columns on continuation lines ("-...").
/// What reading gives back otherwise than the recipe (a measure's spelling, a range) the export reports.
QString writeMealMaster(const Recipe &recipe);

} // namespace store::interchange
