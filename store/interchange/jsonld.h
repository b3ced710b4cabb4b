#pragma once

#include "store/interchange/recipereader.h"

/// schema.org Recipes in JSON-LD: a .json file, or the JSON-LD script blocks of a saved web page. A
/// Recipe may stand alone, in an array, in a "@graph", or inside another object.
namespace store::interchange {

/// Reads the Recipes of `text`: a JSON document when `webPage` is false, otherwise the
/// "application/ld+json" script blocks of a web page, whose text is read with HTML's character
/// references and tags taken out.
std::unique_ptr<RecipeReader> makeJsonLdReader(const QString &text, bool webPage);

/// A JSON-LD document of `recipes`, in a "@graph". Each ingredient is written twice: as the text
/// "amount measure ingredient" in recipeIngredient, and split in "supply", which reading prefers, so
/// that amount, measure and ingredient read back as they were.
QByteArray writeJsonLd(const QList<Recipe> &recipes);

} // namespace store::interchange
