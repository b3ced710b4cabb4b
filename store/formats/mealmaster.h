#pragma once

#include "store/formats/reader.h"

/// MealMaster text files: recipes between a header line ("MMMMM----- Recipe via Meal-Master" or
/// "---------- Recipe via Meal-Master") and a closing line ("MMMMM" or "-----"), with Title, Categories
/// and Servings or Yield, ingredients in one or two columns of amount, measure code and text, and the
/// directions as free text.
namespace store::formats {

/// The written-out measure of a MealMaster measure code ("c" is "cup", "tb" and "T" are "tbsp"); empty
/// for a text that is not a code.
QString measureOfCode(const QString &code);

/// The MealMaster code whose written-out measure is exactly `measure`; empty when there is none.
QString codeOfMeasure(const QString &measure);

/// Reads the MealMaster recipes on `device` line by line; a line that is not valid UTF-8 is read as
/// Windows-1252.
std::unique_ptr<RecipeReader> makeMealMasterReader(std::unique_ptr<QIODevice> device);

/// One recipe as MealMaster text, lines ended by "\n". The ingredients are in one column; a measure
/// that has no code goes at the start of the ingredient's text, where reading finds it again.
QString writeMealMaster(const Recipe &recipe);

} // namespace store::formats
