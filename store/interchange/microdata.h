#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>

/// schema.org Recipes that a web page marks up in its HTML, with microdata (itemscope, itemtype, itemprop)
/// or RDFa (vocab, typeof, property), each turned into the JSON-LD object that says the same, so that one
/// reading of a Recipe (store/interchange/jsonld.h) serves every way a page gives one.
namespace store::interchange {

struct MarkedRecipe
{
    QJsonObject object; ///< "@type", then each property as an array of its values: texts or objects
    qsizetype line = 1; ///< the line of the page where the Recipe begins
    /// A <div class="recipe-details"> of a Recipe Keeper export (store/interchange/recipekeeper.h), which
    /// is a Recipe with or without itemscope and names its properties in its own way.
    bool recipeKeeper = false;
};

/// The Recipes marked up in `page`, in page order. The page is read once, without recursion (twice when
/// it uses itemref); an item nested more than 32 items deep, or an element more than 2000 elements deep,
/// counts as text of the one around it. An item's itemref adds the properties of the first element of
/// each id it names, after its own, as often as items name it; an id already being added further up is
/// passed over, and no more values are taken through itemref than the page has characters.
QList<MarkedRecipe> markedRecipes(const QString &page);

} // namespace store::interchange
