#include "store/io/filename.h"

#include "store/io/textcodec.h"

#include <QStringDecoder>

namespace store {

namespace {

constexpr char16_t kFirstEscape = 0xDC80;
constexpr char16_t kLastEscape = 0xDCFF;

// The position of the first escaped byte in `text` at or after `from`, or -1. A low surrogate right after
// a high one is half of a character, not an escape.
qsizetype nextEscape(QStringView text, qsizetype from)
{
    for (qsizetype i = from; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c >= kFirstEscape && c <= kLastEscape && (i == 0 || !text.at(i - 1).isHighSurrogate()))
            return i;
    }
    return -1;
}

} // namespace

QByteArray encodeFileName(const QString &path)
{
    qsizetype escape = nextEscape(path, 0);
    if (escape < 0)
        return path.toUtf8();
    QByteArray bytes;
    qsizetype start = 0;
    while (escape >= 0) {
        bytes += QStringView(path).sliced(start, escape - start).toUtf8();
        bytes += char(path.at(escape).unicode() - 0xDC00);
        start = escape + 1;
        escape = nextEscape(path, start);
    }
    bytes += QStringView(path).sliced(start).toUtf8();
    return bytes;
}

QString decodeFileName(const QByteArray &name)
{
    // A byte-order mark at the start of a name is part of the name.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8.decode(name);
    if (!utf8.hasError())
        return text;
    text.resize(name.size());
    QChar *out = text.data();
    for (const char byte : name) {
        const auto c = static_cast<unsigned char>(byte);
        *out++ = c < 0x80 ? QChar(c) : QChar(char16_t(0xDC00 + c));
    }
    return text;
}

QString displayName(const QString &name)
{
    return nextEscape(name, 0) < 0 ? name : decodeText(encodeFileName(name));
}

} // namespace store
