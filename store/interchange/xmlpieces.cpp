#include "store/interchange/xmlpieces.h"

#include <algorithm>
#include <cstring>

namespace store::interchange {

namespace {

constexpr qsizetype kBlock = 64 * 1024;
constexpr QByteArrayView kCdata{"CDATA["};

bool continuation(uchar byte)
{
    return (byte & 0xC0) == 0x80;
}

} // namespace

XmlPieces::XmlPieces(QIODevice &source, qsizetype piece) : m_source(source), m_piece(std::max<qsizetype>(piece, 1))
{
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

bool XmlPieces::atEnd() const
{
    return m_ended && m_at >= m_blockSize && m_insert.isEmpty();
}

qint64 XmlPieces::readData(char *data, qint64 most)
{
    qint64 written = 0;
    while (written < most) {
        if (!m_insert.isEmpty()) {
            const qsizetype n = qsizetype(std::min<qint64>(m_insert.size(), most - written));
            std::memcpy(data + written, m_insert.data(), size_t(n));
            m_insert = m_insert.sliced(n);
            written += n;
            continue;
        }
        if (m_at >= m_blockSize && !fill())
            break;
        const qsizetype from = m_at;
        if (const qsizetype plain = plainText(most - written); plain > 0) {
            std::memcpy(data + written, m_block.constData() + from, size_t(plain));
            written += plain;
            continue;
        }
        const uchar byte = uchar(m_block.at(m_at));
        if (m_run >= m_piece && canSplitBefore(byte)) {
            m_insert = m_state == State::Text ? QByteArrayView("<!---->") : QByteArrayView("]]><![CDATA[");
            m_run = 0;
            continue;
        }
        step(byte);
        data[written++] = char(byte);
        ++m_at;
    }
    return written;
}

// Passes over the bytes from the next one on that change nothing but the length of the run, up to `most`
// and never past where it may be split: text up to a "<" or "&", CDATA up to a "]" or ">". Returns how many.
qsizetype XmlPieces::plainText(qint64 most)
{
    const bool text = m_state == State::Text && !m_inReference;
    if (!text && m_state != State::Cdata)
        return 0;
    const char stop1 = text ? '<' : ']';
    const char stop2 = text ? '&' : '>';
    const char *bytes = m_block.constData() + m_at;
    const qsizetype limit = qsizetype(std::min<qint64>({most, m_blockSize - m_at, m_piece - m_run}));
    qsizetype n = 0;
    while (n < limit && bytes[n] != stop1 && bytes[n] != stop2)
        ++n;
    if (n > 0) {
        m_at += n;
        m_run += n;
        m_previous = uchar(bytes[n - 1]);
        m_matched = text ? m_matched : 0;
    }
    return n;
}

bool XmlPieces::fill()
{
    if (m_ended)
        return false;
    m_block.resize(kBlock);
    const qint64 read = m_source.read(m_block.data(), kBlock);
    m_blockSize = qsizetype(std::max<qint64>(read, 0));
    m_at = 0;
    m_ended = m_blockSize == 0;
    return !m_ended;
}

bool XmlPieces::canSplitBefore(uchar byte) const
{
    if (continuation(byte) || m_previous == '\r' || m_previous == ']')
        return false;
    return (m_state == State::Text && !m_inReference && byte != '<') || m_state == State::Cdata;
}

void XmlPieces::step(uchar byte)
{
    switch (m_state) {
    case State::Text:
        if (byte == '<') {
            m_state = State::Open;
            m_inReference = false;
        } else if (byte == '&') {
            m_inReference = true;
        } else if (byte == ';') {
            m_inReference = false;
        }
        ++m_run;
        break;
    case State::Open:
        m_run = 0;
        if (byte == '!') {
            m_state = State::Bang;
        } else if (byte == '?') {
            m_state = State::Instruction;
            m_matched = 0;
        } else {
            m_state = byte == '>' ? State::Text : State::Tag;
            m_quote = (byte == '"' || byte == '\'') ? char(byte) : 0;
        }
        break;
    case State::Bang:
        m_state = byte == '-' ? State::BangDash : byte == '[' ? State::CdataOpen : State::Other;
        m_matched = 0;
        break;
    case State::BangDash:
        m_state = byte == '-' ? State::Comment : State::Other;
        m_matched = 0;
        break;
    case State::CdataOpen:
        if (byte != uchar(kCdata.at(m_matched)))
            m_state = State::Other;
        else if (++m_matched == kCdata.size())
            m_state = State::Cdata, m_matched = 0;
        break;
    case State::Cdata:
        ++m_run;
        if (byte == ']') {
            ++m_matched;
            break;
        }
        if (byte == '>' && m_matched >= 2)
            m_state = State::Text, m_run = 0;
        m_matched = 0;
        break;
    case State::Comment:
        if (byte == '-') {
            ++m_matched;
            break;
        }
        if (byte == '>' && m_matched >= 2)
            m_state = State::Text;
        m_matched = 0;
        break;
    case State::Instruction:
        if (byte == '>' && m_matched > 0)
            m_state = State::Text;
        m_matched = byte == '?' ? 1 : 0;
        break;
    case State::Tag:
        if (m_quote != 0) {
            if (byte == uchar(m_quote))
                m_quote = 0;
        } else if (byte == '"' || byte == '\'') {
            m_quote = char(byte);
        } else if (byte == '>') {
            m_state = State::Text;
        }
        break;
    case State::Other:
        break;
    }
    m_previous = byte;
}

} // namespace store::interchange
