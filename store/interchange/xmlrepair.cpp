#include "store/interchange/xmlrepair.h"

#include "store/interchange/html.h"
#include "store/io/textcodec.h"

#include <cstring>

namespace store::interchange {

namespace {

constexpr qint64 kBlock = 64 * 1024;
// The longest reference looked at: "&", a name of 32 letters and digits, ";".
constexpr qsizetype kLongest = 34;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isHex(char c)
{
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The characters after "&" at the start of `text` that belong to its reference: "#" and up to 7 digits,
// "#x" and up to 6 hexadecimal digits, or a letter and up to 31 letters and digits.
qsizetype referenceAfter(QByteArrayView text)
{
    qsizetype at = 1;
    if (at < text.size() && text.at(at) == '#') {
        if (at + 1 < text.size() && isDigit(text.at(at + 1))) {
            qsizetype end = at + 1;
            while (end < text.size() && end - at <= 7 && isDigit(text.at(end)))
                ++end;
            return end;
        }
        if (at + 2 < text.size() && (text.at(at + 1) == 'x' || text.at(at + 1) == 'X') && isHex(text.at(at + 2))) {
            qsizetype end = at + 2;
            while (end < text.size() && end - at - 1 <= 6 && isHex(text.at(end)))
                ++end;
            return end;
        }
        return at;
    }
    if (at < text.size() && isLetter(text.at(at))) {
        qsizetype end = at + 1;
        while (end < text.size() && end - at < 32 && (isLetter(text.at(end)) || isDigit(text.at(end))))
            ++end;
        return end;
    }
    return at;
}

} // namespace

RepairedXml::RepairedXml(std::unique_ptr<QIODevice> source, bool utf8, bool repair)
    : m_source(std::move(source)), m_utf8(utf8), m_repair(repair)
{
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

bool RepairedXml::atEnd() const
{
    return m_ended && m_text.isEmpty() && m_outAt >= m_out.size();
}

qint64 RepairedXml::readData(char *data, qint64 most)
{
    qint64 written = 0;
    while (written < most) {
        if (m_outAt >= m_out.size()) {
            m_out.clear();
            m_outAt = 0;
            if (!fill())
                break;
            continue;
        }
        const qsizetype n = qsizetype(std::min<qint64>(m_out.size() - m_outAt, most - written));
        std::memcpy(data + written, m_out.constData() + m_outAt, size_t(n));
        m_outAt += n;
        written += n;
    }
    return written;
}

// Reads a block and repairs what can be: all of it at the end, else up to a "&" too near its end to be
// seen whole.
bool RepairedXml::fill()
{
    if (!m_ended) {
        QByteArray block(kBlock, Qt::Uninitialized);
        const qint64 read = m_source->read(block.data(), kBlock);
        block.resize(qsizetype(std::max<qint64>(read, 0)));
        m_ended = block.isEmpty();
        m_text += m_utf8 ? block : decodeWindows1252(block).toUtf8();
    }
    if (m_text.isEmpty())
        return false;
    qsizetype end = m_text.size();
    if (!m_ended && m_repair) {
        const qsizetype near = m_text.lastIndexOf('&');
        if (near >= 0 && near > end - kLongest)
            end = near;
    }
    repairUpTo(end);
    m_text.remove(0, end);
    return true;
}

void RepairedXml::repairUpTo(qsizetype end)
{
    if (!m_repair) {
        m_out += QByteArrayView(m_text).first(end);
        return;
    }
    for (qsizetype at = 0; at < end;) {
        const qsizetype amp = m_text.indexOf('&', at);
        if (amp < 0 || amp >= end) {
            m_out += QByteArrayView(m_text).sliced(at, end - at);
            break;
        }
        m_out += QByteArrayView(m_text).sliced(at, amp - at);
        const QByteArrayView rest = QByteArrayView(m_text).sliced(amp);
        const qsizetype named = referenceAfter(rest);
        const bool closed = named < rest.size() && rest.at(named) == ';';
        const QByteArrayView name = rest.sliced(1, named - 1);
        const qsizetype length = named + (closed ? 1 : 0);
        const bool known = name == "amp" || name == "lt" || name == "gt" || name == "quot" || name == "apos";
        if (closed && ((!name.isEmpty() && name.front() == '#') || known)) {
            m_out += rest.first(length);
        } else if (const std::optional<QString> character =
                       closed && !name.isEmpty() ? namedCharacter(QString::fromLatin1(name)) : std::nullopt) {
            m_out += "&#" + QByteArray::number(character->at(0).unicode()) + ';';
        } else {
            m_out += "&amp;";
            m_out += rest.sliced(1, length - 1);
        }
        at = amp + length;
    }
}

} // namespace store::interchange
