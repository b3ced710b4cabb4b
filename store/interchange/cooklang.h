#pragma once

#include "store/interchange/recipereader.h"

/// Cooklang recipes (.cook): one recipe a file, its ingredients marked in its steps ("@flour{125%g}",
/// "@salt", "@black pepper{}(ground)"), cookware ("#pot", "#frying pan{}") and timers ("~{10%minutes}")
/// read as the words they stand for; metadata lines (">> servings: 4") or a front matter between "---"
/// lines; comments ("-- ...", "[- ... -]"); notes ("> ..."); section headings ("= Dough", "== Dough ==").
namespace store::interchange {

/// Reads the recipe of `text`; `title` is its title when its metadata gives none (the file's name).
std::unique_ptr<RecipeReader> makeCooklangReader(const QString &text, const QString &title);

/// Whether `text` looks like Cooklang: a metadata line, or an ingredient with braces.
bool looksLikeCooklang(const QString &text);

} // namespace store::interchange
