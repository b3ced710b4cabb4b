#pragma once

#include <QByteArrayView>
#include <QString>

/// Turning the bytes of Larderon's text files and file names into text: UTF-8, or Windows-1252 for what
/// older data files were written in.
namespace store {

/// Decodes the bytes of a text file: UTF-8 (a byte-order mark is dropped) when they are valid UTF-8,
/// Windows-1252 otherwise. Line breaks are left as they are.
QString decodeText(QByteArrayView bytes);

/// Decodes bytes as Windows-1252, which also reads ISO-8859-1 text: the two differ only in 0x80..0x9F,
/// where ISO-8859-1 has control characters that text files do not use.
QString decodeWindows1252(QByteArrayView bytes);

} // namespace store
