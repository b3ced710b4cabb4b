#pragma once

#include "store/interchange/recipereader.h"

#include <QJsonObject>

/// schema.org Recipes in JSON-LD: a .json file, or the JSON-LD script blocks of a saved web page. A
/// Recipe may stand alone, in an array, in a "@graph", or inside another object.
namespace store::interchange {

/// Reads the Recipes of `text`: a JSON document when `webPage` is false, otherwise the
/// "application/ld+json" script blocks of a web page, whose text is read with HTML's character
/// references and tags taken out.
/// A web page's script blocks that hold no Recipe give no item: the page may mark it up in its HTML.
std::unique_ptr<RecipeReader> makeJsonLdReader(const QString &text, bool webPage);
/// The same for a JSON-LD file as UTF-8, which is let go once it is parsed: a large file is never held
/// as text beside its parsed JSON.
std::unique_ptr<RecipeReader> makeJsonLdReader(QByteArray utf8);

/// The reader of a web page's JSON-LD, and whether its blocks hold a Recipe.
struct PageJsonLd
{
    std::unique_ptr<RecipeReader> reader;
    bool hasRecipe = false;
};
PageJsonLd readPageJsonLd(const QString &page);

/// How the texts of a Recipe object are written: as the text of a .json file, as HTML (the JSON-LD of a
/// web page), or as the text of a page's markup (store/interchange/microdata.h); the texts of a page lose
/// their empty lines.
enum class JsonText { Plain, Html, PageText };

/// The recipe of one schema.org Recipe object. Besides the fields of a recipe, its description, authors,
/// preparation, cooking and total times are kept as lines of `notes` ("Note: ...", "Author: ...",
/// "Preparation time: 20 min"), its "url" as the source and its "image" as the picture's address.
ReadItem readRecipeObject(const QJsonObject &object, JsonText texts);

/// A JSON-LD document of `recipes`, in a "@graph". Each ingredient is written twice: as the text
/// "amount measure ingredient" in recipeIngredient, and split in "supply", which reading prefers, so
/// that amount, measure and ingredient read back as they were.
QByteArray writeJsonLd(const QList<Recipe> &recipes);

} // namespace store::interchange
