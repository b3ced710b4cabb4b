#pragma once

#include "store/formats/recipe.h"

#include <QByteArray>

#include <memory>
#include <optional>

class QIODevice;

/// Reading the recipes of an interchange file one by one, whatever its format.
namespace store::formats {

/// One recipe of a file: the recipe, or why it could not be read.
struct ReadItem
{
    qsizetype line = 0; ///< the line of the file where the recipe begins
    QString problem;    ///< empty when `recipe` was read
    Recipe recipe;
};

/// Gives the recipes of one file in file order. A recipe that cannot be read comes as an item with a
/// problem, and reading goes on after it.
class RecipeReader
{
public:
    virtual ~RecipeReader() = default;

    /// The next recipe, or nothing at the end of the file. 75 when the file cannot be read further.
    virtual std::optional<ReadItem> next() = 0;

    /// How far through the file the reader is, from 0 to 1.
    virtual double progress() const = 0;
};

/// The formats that files are read in.
enum class Format {
    MealMaster, ///< MealMaster text, "MMMMM" and "-----" styles
    MasterCook, ///< MasterCook XML (.mx2)
    JsonLd,     ///< a schema.org Recipe in JSON-LD (.json)
    WebPage,    ///< a web page (.html) with schema.org Recipes in JSON-LD script blocks
};

/// The format of a file that begins with `head`: told by what the file holds, not by its name.
Format detectFormat(const QByteArray &head);

/// A reader of the file open for reading on `device`, which the reader keeps. A MealMaster file is read
/// as it goes, a line at a time, so that a file of any size can be read; the others are read whole.
std::unique_ptr<RecipeReader> makeReader(std::unique_ptr<QIODevice> device);

/// A reader of `bytes`, as makeReader() of a device holding them.
std::unique_ptr<RecipeReader> makeReader(const QByteArray &bytes);

} // namespace store::formats
