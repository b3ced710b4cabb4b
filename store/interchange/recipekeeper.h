#pragma once

#include "store/interchange/recipereader.h"

#include <QJsonObject>

/// Recipe Keeper's export: a zip of web pages (recipes.html with every recipe, or a page per recipe) and an
/// images folder. Each recipe is a <div class="recipe-details"> marked with microdata under Recipe Keeper's
/// own names, which the microdata reader (store/interchange/microdata.h) gives as they are.
namespace store::interchange {

/// The recipe of one Recipe Keeper block, as markedRecipes() gives it. Its ingredients and directions
/// are the lines of "recipeIngredients" and "recipeDirections"; its categories those of "recipeCategory",
/// then its courses ("recipeCourse"); "recipeNotes" is the note, "recipeSource" the source; its rating,
/// favourite mark and nutrition are kept as lines at the end of the directions. The picture's address
/// ("photo", "photo0", ...) is the path of its file in the export, relative to the page.
ReadItem readRecipeKeeper(const QJsonObject &object);

} // namespace store::interchange
