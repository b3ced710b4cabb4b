#pragma once

#include <QString>
#include <QStringView>

/// How a shopping list reads the ingredient of a row: what to call it and the key its rows are merged by.
namespace store {

/// The ingredient of a row's text.
struct IngredientName
{
    QString vague;       ///< an amount at the start that is no number ("a pinch", "a handful of"): "a pinch"
    QString shown;       ///< the name as written, without preparation, size and "to taste": "Onions"
    QString key;         ///< `shown` in lower case, each word singular: "onion"
    bool plural = false; ///< `shown`'s last word is a plural ("onions")
};

/// Reads `text`: drops what follows a comma or semicolon, what is in parentheses, "to taste" and "optional",
/// and words of preparation or size at its start or end ("finely chopped", "large"); takes an amount that
/// is no number off its start.
IngredientName readIngredientName(QStringView text);

/// Whether `word` is one of preparation or size ("chopped", "large"), which a measure box may hold too
/// ("2 | large | onions").
bool isPreparationWord(QStringView word);

/// `word` in lower case as a singular: "tomatoes" gives "tomato", "berries" "berry", "leaves" "leaf"; a
/// word that is no plural ("hummus", "molasses", "glass") as it is.
QString singularOf(QStringView word);

/// `name` with its last word in the plural, for a count above one that only the singular was written for:
/// "lemon" gives "lemons", "tomato" "tomatoes", "berry" "berries", "peach" "peaches".
QString pluralOf(const QString &name);

} // namespace store
