#pragma once

#include "store/interchange/recipereader.h"

#include <QIODevice>

#include <memory>

/// MasterCook XML files (.mx2): an "mx2" element holding one "RcpE" element per recipe.
namespace store::interchange {

/// How the bytes of a file become its text.
enum class TextEncoding {
    Utf8OrWindows1252, ///< UTF-8 when the bytes are valid UTF-8 (store::decodeText), else Windows-1252
    Windows1252,       ///< Windows-1252, which also reads ISO-8859-1 and ASCII
};

/// The encoding of an .mx2 file of single bytes that begins with `head`: Windows-1252 when its XML
/// declaration names a single-byte encoding, else UTF-8 or Windows-1252 as the bytes are. (A file in UTF-16
/// is made UTF-8 before it is read: makeReader().)
TextEncoding masterCookEncoding(const QByteArray &head);

/// Reads the recipes of the file on `device`, in the encoding masterCookEncoding() gives, from the device:
/// only the recipe being read is held in memory. Each RcpE element is read on its own, so that one that is
/// not well-formed XML is reported and the others are still read. 75 when it cannot be read.
std::unique_ptr<RecipeReader> makeMasterCookReader(std::unique_ptr<QIODevice> device);

} // namespace store::interchange
