#pragma once

#include "store/interchange/model.h"

#include <memory>
#include <optional>

/// Reading the recipes of an interchange file one by one, whatever its format.
namespace store::interchange {

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

} // namespace store::interchange
