#pragma once

#include <QByteArray>
#include <QString>

/// The store's own encoding of file names. A file system names files by bytes; most names are UTF-8, but
/// a name copied from a Windows disk or archive may be in its single-byte code page. Qt's file classes
/// encode every name as UTF-8 and so cannot reach such a file: the store keeps each name's bytes in its
/// text instead and uses these functions, not Qt's file classes, wherever a path reaches the disk.
namespace store {

/// The bytes of `path` for the file system: UTF-8, except that a code unit U+DC80 to U+DCFF that is not
/// part of a surrogate pair stands for one byte 0x80 to 0xFF of a name that is not valid UTF-8.
QByteArray encodeFileName(const QString &path);

/// The text of one file name as the file system gives it: valid UTF-8 decoded; otherwise each byte from
/// 0x80 up becomes U+DC80 to U+DCFF, so that encodeFileName() gives back the same bytes.
QString decodeFileName(const QByteArray &name);

/// The name as the user reads it: a name whose bytes are not UTF-8 is read as Windows-1252, as the text
/// of a file is (store/textfile.h). Every other name is itself.
QString displayName(const QString &name);

} // namespace store
