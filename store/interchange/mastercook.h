#pragma once

#include "store/interchange/recipereader.h"

/// MasterCook XML files (.mx2): an "mx2" element holding one "RcpE" element per recipe.
namespace store::interchange {

/// The text of an .mx2 file, decoded by the encoding its XML declaration names (UTF-8 when it names
/// none; ISO-8859-1 is read as Windows-1252, which holds it).
QString decodeMasterCook(const QByteArray &bytes);

/// Reads the recipes of `text`. Each RcpE element is read on its own, so that one that is not
/// well-formed XML is reported and the others are still read.
std::unique_ptr<RecipeReader> makeMasterCookReader(const QString &text);

} // namespace store::interchange
