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

/// One recipe as MealMaster text, lines ended by "\n". The ingredients are in one column; a measure is
/// written as its code when reading gives it back exactly, otherwise at the start of the ingredient's
/// text, where reading finds it again.
QString writeMealMaster(const Recipe &recipe);

} // namespace store::interchange
