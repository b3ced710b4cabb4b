#pragma once

#include <QList>
#include <QString>
#include <QStringList>

/// A shopping list made from recipes: their ingredient rows, scaled to a number of servings and added
/// together.
namespace store {

struct RecipeRecord;

/// The lines of a shopping list for `recipes`, each "amount measure ingredient" with single blanks and
/// empty parts left out, in the order the rows first appear. Rows without an ingredient are left out.
///
/// When `servings` is a number above 0 and a recipe's serving size is one too, every amount of that
/// recipe is multiplied by servings / serving size. Rows with the same measure and the same ingredient
/// (letter case and blanks around them do not count) become one line with their amounts added
/// (store/amount.h). A row whose amount is not a number is a line of its own, as written.
QStringList shoppingListLines(const QList<RecipeRecord> &recipes, const QString &servings);

} // namespace store
