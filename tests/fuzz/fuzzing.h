#pragma once

// What the fuzz targets share. A crash, a sanitizer report, a hang or a failed require() is a finding.

#include "store/textfile.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

namespace fuzzing {

inline void require(bool condition)
{
    if (!condition)
        std::abort();
}

inline QByteArray bytesOf(const std::uint8_t *data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
}

/// A reader over `bytes` as a file's content, read the way a file is.
inline store::TextReader readerOver(const QByteArray &bytes)
{
    QBuffer device;
    device.setData(bytes);
    require(device.open(QIODevice::ReadOnly));
    return store::TextReader::fromDevice(device);
}

inline bool holdsLineBreak(const QString &text, bool countLf)
{
    return text.contains(QLatin1Char('\r')) || (countLf && text.contains(QLatin1Char('\n')));
}

} // namespace fuzzing
