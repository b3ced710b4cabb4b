#pragma once

#include "store/interchange/mapping.h"
#include "store/interchange/recipereader.h"

#include <QJsonObject>

/// The recipe JSON of other recipe apps' exports: Paprika (one object per recipe, with its photo in
/// base64), Mealie and Tandoor. What a recipe file has no field for is kept at the end of its directions
/// under labels ("Rating:", "Categories:", "Preparation time:", ...), its note and source under "Note:" and
/// "Source:" where the recipe window reads them, its picture as the recipe window keeps one.
namespace store::interchange {

/// The label of a recipe's rating at the end of imported directions ("Rating: 4 of 5").
inline const QString kRatingLabel = QStringLiteral("Rating:");

/// The largest picture kept with a recipe; a larger one is left out with a line saying so.
constexpr qint64 kPictureLimit = 8 * 1024 * 1024;

enum class AppJson {
    None,    ///< not one of these apps' recipes (perhaps a schema.org Recipe)
    Paprika, ///< "ingredients" and "directions" as text, "photo_data"
    Mealie,  ///< "recipeIngredient" as objects with "note" and "food", "recipeInstructions" with "text"
    Tandoor, ///< "steps" with "instruction" and their own "ingredients"
};

/// Which app's recipe `object` is, by the keys it has.
AppJson appJsonOf(const QJsonObject &object);

/// The recipe of `object` as the app `app` writes it; a problem when it has no name.
ReadItem readAppJson(AppJson app, const QJsonObject &object);

/// A cooking time as people write it ("1 hr 30 mins", "45 minutes", "1h30m", "PT1H30M") as hours and
/// minutes; nothing when `text` says anything else.
std::optional<Duration> parseTimeText(const QString &text);

/// Reads a JSON document holding one app's recipe, or a list of them, or schema.org Recipes (as
/// makeJsonLdReader()); `picture` goes with the first recipe.
std::unique_ptr<RecipeReader> makeJsonReader(const QString &text, const QByteArray &picture = {});
/// The same for a file as UTF-8, which is let go as soon as it is parsed.
std::unique_ptr<RecipeReader> makeJsonReader(QByteArray utf8, const QByteArray &picture = {});

/// A reader that gives `items`, in order.
std::unique_ptr<RecipeReader> makeItemReader(QList<ReadItem> items);

} // namespace store::interchange
