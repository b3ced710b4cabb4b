#include "store/interchange/htmlscan.h"

#include "store/interchange/html.h"

#include <algorithm>

namespace store::interchange {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\n' || c == u'\t' || c == u'\r' || c == u'\f';
}

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

QString text(QStringView raw)
{
    return raw.contains(u'&') ? decodeCharacterReferences(raw.toString()) : raw.toString();
}

} // namespace

bool isVoidElement(QStringView name)
{
    // Views of a known length: a name is compared without measuring each tag's name again.
    static constexpr QStringView tags[] = {u"area",  u"base", u"br",   u"col",    u"embed", u"hr",    u"img",
                                           u"input", u"link", u"meta", u"param", u"source", u"track", u"wbr"};
    return std::find(std::begin(tags), std::end(tags), name) != std::end(tags);
}

const QString *HtmlToken::attribute(QStringView attributeName) const
{
    for (const HtmlAttribute &a : attributes) {
        if (a.name == attributeName)
            return &a.value;
    }
    return nullptr;
}

HtmlToken HtmlScanner::next()
{
    if (!m_rawText.isEmpty()) {
        skipRawText(m_rawText);
        m_rawText.clear();
    }
    while (m_at < m_page.size()) {
        const qsizetype open = m_page.indexOf(u'<', m_at);
        if (open != m_at) {
            // Text up to the next "<", or to the end.
            const qsizetype end = open < 0 ? m_page.size() : open;
            HtmlToken token;
            token.kind = HtmlToken::Text;
            token.text = text(m_page.sliced(m_at, end - m_at));
            m_at = end;
            return token;
        }
        const QStringView rest = m_page.sliced(open);
        if (rest.startsWith(u"<!--")) {
            const qsizetype close = m_page.indexOf(u"-->", open + 4);
            m_at = close < 0 ? m_page.size() : close + 3;
            continue;
        }
        if (rest.startsWith(u"<!") || rest.startsWith(u"<?")) {
            const qsizetype close = m_page.indexOf(u'>', open);
            m_at = close < 0 ? m_page.size() : close + 1;
            continue;
        }
        const bool end = rest.startsWith(u"</");
        const qsizetype nameAt = open + (end ? 2 : 1);
        if (nameAt < m_page.size() && isAsciiLetter(m_page.at(nameAt)))
            return tag(open);
        // A "<" that opens no tag is text.
        HtmlToken token;
        token.kind = HtmlToken::Text;
        token.text = QStringLiteral("<");
        m_at = open + 1;
        return token;
    }
    return {};
}

HtmlToken HtmlScanner::tag(qsizetype open)
{
    HtmlToken token;
    qsizetype i = open + 1;
    token.kind = HtmlToken::StartTag;
    if (m_page.at(i) == u'/') {
        token.kind = HtmlToken::EndTag;
        ++i;
    }
    const qsizetype nameAt = i;
    while (i < m_page.size() && !isBlank(m_page.at(i)) && m_page.at(i) != u'>' && m_page.at(i) != u'/')
        ++i;
    token.name = m_page.sliced(nameAt, i - nameAt).toString().toLower();
    // The attributes: name, name=value, name="value", name='value'.
    while (i < m_page.size()) {
        while (i < m_page.size() && (isBlank(m_page.at(i)) || m_page.at(i) == u'/')) {
            if (m_page.at(i) == u'/' && i + 1 < m_page.size() && m_page.at(i + 1) == u'>')
                token.selfClosing = true;
            ++i;
        }
        if (i >= m_page.size() || m_page.at(i) == u'>')
            break;
        const qsizetype attributeAt = i;
        while (i < m_page.size() && !isBlank(m_page.at(i)) && m_page.at(i) != u'>' && m_page.at(i) != u'=' &&
               !(m_page.at(i) == u'/' && i > attributeAt))
            ++i;
        HtmlAttribute attribute{m_page.sliced(attributeAt, i - attributeAt).toString().toLower(), {}};
        qsizetype j = i;
        while (j < m_page.size() && isBlank(m_page.at(j)))
            ++j;
        if (j < m_page.size() && m_page.at(j) == u'=') {
            i = j + 1;
            while (i < m_page.size() && isBlank(m_page.at(i)))
                ++i;
            if (i < m_page.size() && (m_page.at(i) == u'"' || m_page.at(i) == u'\'')) {
                const QChar quote = m_page.at(i);
                const qsizetype close = m_page.indexOf(quote, i + 1);
                const qsizetype stop = close < 0 ? m_page.size() : close;
                attribute.value = text(m_page.sliced(i + 1, stop - i - 1));
                i = close < 0 ? m_page.size() : close + 1;
            } else {
                const qsizetype valueAt = i;
                while (i < m_page.size() && !isBlank(m_page.at(i)) && m_page.at(i) != u'>')
                    ++i;
                attribute.value = text(m_page.sliced(valueAt, i - valueAt));
            }
        }
        if (token.kind == HtmlToken::StartTag && !token.attribute(attribute.name)) {
            // Only the first of an attribute counts; a tag of thousands of attributes is read whole but
            // keeps no more than a page's tags have.
            if (token.attributes.size() < 64)
                token.attributes.push_back(std::move(attribute));
        }
    }
    m_at = i < m_page.size() ? i + 1 : m_page.size();
    if (token.kind == HtmlToken::StartTag && !token.selfClosing && (token.name == u"script" || token.name == u"style"))
        m_rawText = token.name;
    return token;
}

void HtmlScanner::skipRawText(const QString &name)
{
    // The text of a script or style is no text of the page: the scanner goes on at its closing tag.
    const qsizetype close = m_page.indexOf(QString(QStringLiteral("</") + name), m_at, Qt::CaseInsensitive);
    m_at = close < 0 ? m_page.size() : close;
}

} // namespace store::interchange
