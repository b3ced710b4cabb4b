#include "store/interchange/htmlscan.h"

#include "store/interchange/html.h"

#include <algorithm>

namespace store::interchange {

namespace {

// The loops over characters read the page's code units through a pointer and compare them as numbers:
// a tag costs a few comparisons for each of its characters, in any build.
bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\n' || c == u'\t' || c == u'\r' || c == u'\f';
}

bool isAsciiLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Whether a name must be written out in lower case: it has a capital, or a character beyond ASCII.
bool needsLowerCase(const char16_t *c, qsizetype size)
{
    for (const char16_t *end = c + size; c < end; ++c) {
        if ((*c >= u'A' && *c <= u'Z') || *c >= 0x80)
            return true;
    }
    return false;
}

} // namespace

bool isVoidElement(QStringView name)
{
    // Views of a known length: a name is compared without measuring each tag's name again.
    static constexpr QStringView tags[] = {u"area",  u"base", u"br",   u"col",    u"embed", u"hr",    u"img",
                                           u"input", u"link", u"meta", u"param", u"source", u"track", u"wbr"};
    return std::find(std::begin(tags), std::end(tags), name) != std::end(tags);
}

const QStringView *HtmlToken::attribute(QStringView attributeName) const
{
    for (const HtmlAttribute &a : attributes) {
        if (a.name == attributeName)
            return &a.value;
    }
    return nullptr;
}

QStringView HtmlScanner::view(Piece piece) const
{
    return (piece.written ? QStringView(m_written) : m_page).sliced(piece.at, piece.size);
}

HtmlScanner::Piece HtmlScanner::lowerCase(qsizetype at, qsizetype size)
{
    if (!needsLowerCase(m_page.utf16() + at, size))
        return {at, size, false};
    const qsizetype written = m_written.size();
    m_written += m_page.sliced(at, size).toString().toLower();
    return {written, m_written.size() - written, true};
}

HtmlScanner::Piece HtmlScanner::text(qsizetype at, qsizetype size)
{
    const QStringView raw = m_page.sliced(at, size);
    if (!raw.contains(u'&'))
        return {at, size, false};
    const qsizetype written = m_written.size();
    m_written += decodeCharacterReferences(raw.toString());
    return {written, m_written.size() - written, true};
}

bool HtmlScanner::hasAttribute(QStringView name) const
{
    for (const PendingAttribute &a : m_pending) {
        if (view(a.name) == name)
            return true;
    }
    return false;
}

HtmlToken HtmlScanner::next()
{
    // The views of the token given last are let go: its buffers serve the next one.
    m_written.resize(0);
    if (!m_rawText.isEmpty()) {
        skipRawText();
        m_rawText = {};
    }
    const char16_t *const page = m_page.utf16();
    const qsizetype size = m_page.size();
    while (m_at < size) {
        const qsizetype open = m_page.indexOf(u'<', m_at);
        if (open != m_at) {
            // Text up to the next "<", or to the end.
            const qsizetype end = open < 0 ? size : open;
            HtmlToken token;
            token.kind = HtmlToken::Text;
            token.text = view(text(m_at, end - m_at));
            m_at = end;
            return token;
        }
        const char16_t second = open + 1 < size ? page[open + 1] : u'\0';
        if (second == u'!' && open + 3 < size && page[open + 2] == u'-' && page[open + 3] == u'-') {
            const qsizetype close = m_page.indexOf(u"-->", open + 4);
            m_at = close < 0 ? size : close + 3;
            continue;
        }
        if (second == u'!' || second == u'?') {
            const qsizetype close = m_page.indexOf(u'>', open);
            m_at = close < 0 ? size : close + 1;
            continue;
        }
        const qsizetype nameAt = open + (second == u'/' ? 2 : 1);
        if (nameAt < size && isAsciiLetter(page[nameAt]))
            return tag(open);
        // A "<" that opens no tag is text.
        HtmlToken token;
        token.kind = HtmlToken::Text;
        token.text = m_page.sliced(open, 1);
        m_at = open + 1;
        return token;
    }
    return {};
}

HtmlToken HtmlScanner::tag(qsizetype open)
{
    const char16_t *const page = m_page.utf16();
    const qsizetype size = m_page.size();
    HtmlToken token;
    qsizetype i = open + 1;
    token.kind = HtmlToken::StartTag;
    if (page[i] == u'/') {
        token.kind = HtmlToken::EndTag;
        ++i;
    }
    const qsizetype nameAt = i;
    while (i < size && !isBlank(page[i]) && page[i] != u'>' && page[i] != u'/')
        ++i;
    const Piece name = lowerCase(nameAt, i - nameAt);
    // The attributes: name, name=value, name="value", name='value'. Their places are kept until the tag
    // is read whole, as the buffer of written-out text may move while it grows.
    m_pending.clear();
    while (i < size) {
        while (i < size && (isBlank(page[i]) || page[i] == u'/')) {
            if (page[i] == u'/' && i + 1 < size && page[i + 1] == u'>')
                token.selfClosing = true;
            ++i;
        }
        if (i >= size || page[i] == u'>')
            break;
        const qsizetype attributeAt = i;
        while (i < size && !isBlank(page[i]) && page[i] != u'>' && page[i] != u'=' &&
               !(page[i] == u'/' && i > attributeAt))
            ++i;
        const qsizetype attributeEnd = i;
        qsizetype valueAt = i;
        qsizetype valueEnd = i;
        qsizetype j = i;
        while (j < size && isBlank(page[j]))
            ++j;
        if (j < size && page[j] == u'=') {
            i = j + 1;
            while (i < size && isBlank(page[i]))
                ++i;
            if (i < size && (page[i] == u'"' || page[i] == u'\'')) {
                const qsizetype close = m_page.indexOf(QChar(page[i]), i + 1);
                valueAt = i + 1;
                valueEnd = close < 0 ? size : close;
                i = close < 0 ? size : close + 1;
            } else {
                valueAt = i;
                while (i < size && !isBlank(page[i]) && page[i] != u'>')
                    ++i;
                valueEnd = i;
            }
        }
        // Only the first of an attribute counts; a tag of thousands of attributes is read whole but keeps
        // no more than a page's tags have. An end tag keeps none.
        if (token.kind != HtmlToken::StartTag || m_pending.size() >= 64)
            continue;
        const qsizetype mark = m_written.size();
        const Piece attributeName = lowerCase(attributeAt, attributeEnd - attributeAt);
        if (hasAttribute(view(attributeName))) {
            m_written.resize(mark);
            continue;
        }
        m_pending.push_back({attributeName, text(valueAt, valueEnd - valueAt)});
    }
    m_at = i < size ? i + 1 : size;
    token.name = view(name);
    m_attributes.clear();
    for (const PendingAttribute &a : m_pending)
        m_attributes.push_back({view(a.name), view(a.value)});
    token.attributes = m_attributes;
    if (token.kind == HtmlToken::StartTag && !token.selfClosing) {
        if (token.name == u"script")
            m_rawText = u"</script";
        else if (token.name == u"style")
            m_rawText = u"</style";
    }
    return token;
}

void HtmlScanner::skipRawText()
{
    // The text of a script or style is no text of the page: the scanner goes on at its closing tag.
    const qsizetype close = m_page.indexOf(m_rawText, m_at, Qt::CaseInsensitive);
    m_at = close < 0 ? m_page.size() : close;
}

} // namespace store::interchange
