#pragma once

#include "store/interchange/recipereader.h"

#include <QByteArray>

#include <memory>
#include <optional>

class QIODevice;

/// Telling a file's format and making the reader for it.
namespace store::interchange {

/// The formats that files are read in.
enum class Format {
    MealMaster, ///< MealMaster text, "MMMMM" and "-----" styles
    MasterCook, ///< MasterCook XML (.mx2)
    JsonLd,     ///< a schema.org Recipe in JSON-LD (.json)
    WebPage,    ///< a web page (.html): schema.org Recipes in JSON-LD, microdata or RDFa
    Zip,        ///< a zip archive: another recipe app's export (store/interchange/archive.h)
    Gzip,       ///< gzip-compressed JSON: one Paprika recipe (.paprikarecipe)
    Cooklang,   ///< a Cooklang recipe (.cook)
};

/// The format of a file that begins with `head`: told by what the file holds, not by its name.
Format detectFormat(const QByteArray &head);

/// A reader of the file open for reading on `device`, which the reader keeps. A MealMaster file is read
/// as it goes, a line at a time, so that a file of any size can be read; a zip archive that is a file is
/// read an entry at a time; the others are read whole, and one of more than 64 MB gives a single problem
/// saying so instead of its recipes. A file in UTF-16 (told by its byte-order mark, or by a NUL beside its
/// first character) is read whole as its text in UTF-8, so no more than 64 MB of it. A file's name, when
/// `device` is a file, tells a Cooklang recipe (.cook) and its title, and finds the picture beside a
/// Nextcloud Cookbook recipe.json (full.jpg).
std::unique_ptr<RecipeReader> makeReader(std::unique_ptr<QIODevice> device);

/// A reader of `bytes`, as makeReader() of a device holding them.
std::unique_ptr<RecipeReader> makeReader(const QByteArray &bytes);

} // namespace store::interchange
