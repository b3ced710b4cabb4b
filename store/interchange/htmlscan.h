#pragma once

#include <QString>
#include <QStringView>

#include <vector>

/// A forgiving reader of the tags and text of a web page, in one pass over the page and without
/// recursion: a page of any shape is read in time linear in its size. It builds no tree; a reader of its
/// own keeps the open elements it cares for.
namespace store::interchange {

struct HtmlAttribute
{
    QString name;  ///< in lower case
    QString value; ///< character references replaced
};

struct HtmlToken
{
    enum Kind {
        StartTag, ///< `name` and `attributes`; `selfClosing` for "<x/>"
        EndTag,   ///< `name`
        Text,     ///< `text`, character references replaced; the text of script and style is skipped
        End,      ///< the end of the page
    };
    Kind kind = End;
    QString name; ///< the tag's name in lower case
    std::vector<HtmlAttribute> attributes;
    bool selfClosing = false;
    QString text;

    /// The value of the attribute `name` (lower case); nothing when the tag has none.
    const QString *attribute(QStringView attributeName) const;
};

class HtmlScanner
{
public:
    explicit HtmlScanner(QStringView page) : m_page(page) {}

    /// The next tag or piece of text. Comments, doctypes and processing instructions are passed over;
    /// a "<" that opens no tag is text.
    HtmlToken next();

    /// Where the scanner is in the page, from 0 to its size.
    qsizetype position() const { return m_at; }

private:
    HtmlToken tag(qsizetype open);
    void skipRawText(const QString &name);

    QStringView m_page;
    qsizetype m_at = 0;
    QString m_rawText; ///< the element whose text is skipped after the tag just given: script or style
};

/// True for the elements that have no end tag (br, img, meta, ...).
bool isVoidElement(QStringView name);

} // namespace store::interchange
