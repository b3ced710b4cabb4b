#pragma once

#include <QList>
#include <QString>
#include <QStringList>

/// A shopping list made from recipes: their ingredient rows, scaled to a number of servings and added
/// together.
namespace store {

struct RecipeRecord;

/// The lines of a shopping list for `recipes`, each "amount measure ingredient" with single blanks and
/// empty parts left out, in the order the rows first appear. The rows are every ingredient of each
/// recipe, those under "More ingredients:" too (store/ingredients.h); rows without an ingredient are left
/// out.
///
/// When `servings` is a number above 0 and a recipe's serving size is one too, every amount of that
/// recipe (both ends of a range) is multiplied by servings / serving size. Rows of the same ingredient
/// (letter case and blanks around it do not count) become one line with their amounts added when their
/// measures are both volumes ("2 tb" and "1 tbsp", "1 cup" and "250 ml"), both masses, or the same
/// other measure. A line scaled or added up is written readably in the first row's kind of measure
/// (showAmount(), as written); a row whose amount is not a number is a line of its own, as written.
QStringList shoppingListLines(const QList<RecipeRecord> &recipes, const QString &servings);

} // namespace store
