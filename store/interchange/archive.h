#pragma once

#include "store/interchange/recipereader.h"

namespace store {
class ZipArchive;
}

/// The exports of other recipe apps that hold many files: a zip archive (Paprika's .paprikarecipes, a
/// Nextcloud Cookbook, Mealie, Tandoor or Recipe Keeper export) or a folder of Nextcloud Cookbook recipes.
/// Entries are read one at a time as the recipes are asked for, each up to a size limit; nothing is
/// unpacked onto the disk.
namespace store::interchange {

/// The largest recipe file read from an archive (a Paprika recipe holds its photo), and the largest
/// archive inside an archive (Tandoor's export holds a zip per recipe).
constexpr qint64 kEntryLimit = 32 * 1024 * 1024;

/// Reads the recipes of `archive`, whatever app made it, told by its entries:
/// - "*.paprikarecipe": Paprika, gzip-compressed JSON with the photo inside;
/// - "*.zip": Tandoor, an archive per recipe holding recipe.json and image.*;
/// - "*.json": a recipe each (Nextcloud Cookbook's recipe.json, schema.org; Mealie's and Tandoor's own
///   JSON), its picture found beside it: full.*, image.*, original.*, images/original.*, or
///   images/<name>.* and images/<name>/original.* at the top of the archive, JPEG, PNG or WebP;
/// - "*.html": Recipe Keeper's pages (store/interchange/recipekeeper.h), only recipes.html when the
///   archive has one, as it holds every recipe; a recipe's picture is the file its photo names, relative
///   to the page, found in any letter case.
/// An entry whose name leads out of its folder, or that cannot be read, is a problem of its own; an archive
/// with none of these gives a single problem saying so.
std::unique_ptr<RecipeReader> makeArchiveReader(ZipArchive archive);

/// Reads the recipes of a folder: recipe.json in it or in the folders in it (a Nextcloud Cookbook folder),
/// each with its picture beside it, as in an archive.
std::unique_ptr<RecipeReader> makeFolderReader(const QString &path);

/// Whether the folder at `path` holds a recipe.json, in it or in a folder in it.
bool isRecipeFolder(const QString &path);

} // namespace store::interchange
