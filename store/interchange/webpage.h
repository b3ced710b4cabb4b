#pragma once

#include "store/interchange/recipereader.h"
#include "store/recipedraft.h"

/// Web pages: the schema.org Recipes they hold, in JSON-LD script blocks or marked up in their HTML
/// (microdata or RDFa), and the text of a page that holds none, for the user to make a recipe of.
namespace store::interchange {

/// What a page with no recipe data is reported as.
inline const QString kNoRecipeData = QStringLiteral("no recipe data in this page");

/// The reader of the Recipes of `page`. The JSON-LD blocks come first: a page that gives its recipe
/// there is read from them alone, so that a page with both gives each recipe once; otherwise the
/// Recipes of its microdata or RDFa are read, after the problems of any JSON-LD block. A recipe without
/// a "url" gets the page's own address (pageAddress()) as its source, and its picture's address is
/// made whole against it. A page with neither gives one problem, kNoRecipeData, at line 0.
std::unique_ptr<RecipeReader> makeWebPageReader(const QString &page);

/// The address `page` was saved from: the "saved from url=(...)" comment browsers write at its top (the
/// web import writes it too), else its canonical link, else its "og:url"; empty when it gives none.
QString pageAddress(const QString &page);

/// A page without recipe data, split for the recipe window's editor: the name from its first heading
/// (or else its title), the list items that read as ingredients ("2 cups flour") as rows, and its
/// paragraphs, headings and other list items as the directions, a line each; the page's address as the
/// source. Navigation, header, footer, forms and scripts are left out.
struct PlainPage
{
    QString title;
    RecipeDraft draft;
};
PlainPage plainPage(const QString &page);

} // namespace store::interchange
