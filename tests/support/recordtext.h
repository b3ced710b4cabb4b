#pragma once

#include "store/recipefile.h"

#include <QString>

/// A recipe record as one line of text, for tests that compare what an import or a reader made.
namespace testing {

/// The record's filled rows, each "amount|measure|ingredient", joined by " / ".
QString filledRows(const store::RecipeRecord &record);

/// The record's cooking boxes: oven temperature, serving size, hours and minutes, joined by commas.
QString cookingBoxes(const store::RecipeRecord &record);

} // namespace testing
