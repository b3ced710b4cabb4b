#pragma once

#include "store/interchange/recipereader.h"

#include <QIODevice>

#include <memory>

/// MasterCook XML files (.mx2): an "mx2" element holding one "RcpE" element per recipe.
namespace store::interchange {

/// How the bytes of a file become its text.
enum class TextEncoding {
    Utf8OrWindows1252, ///< UTF-8 when the bytes are valid UTF-8 (store::decodeText), else Windows-1252
    Utf16,             ///< UTF-16, in the order its byte-order mark gives (little-endian without one)
    Windows1252,       ///< Windows-1252, which also reads ISO-8859-1 and ASCII
};

/// The encoding of an .mx2 file that begins with `head`: the one its XML declaration names.
TextEncoding masterCookEncoding(const QByteArray &head);

/// Reads the recipes of `text`. Each RcpE element is read on its own, so that one that is not
/// well-formed XML is reported and the others are still read.
std::unique_ptr<RecipeReader> makeMasterCookReader(const QString &text);
/// The same for the file on `device`, in the encoding its XML declaration names, read from the device:
/// only the recipe being read is held in memory (but the whole text of a UTF-16 file). 75 when it
/// cannot be read.
std::unique_ptr<RecipeReader> makeMasterCookReader(std::unique_ptr<QIODevice> device);

} // namespace store::interchange
