#pragma once

#include <QString>
#include <QStringView>

#include <span>
#include <vector>

/// A forgiving reader of the tags and text of a web page, in one pass over the page and without
/// recursion: a page of any shape is read in time linear in its size. It builds no tree; a reader of its
/// own keeps the open elements it cares for. Names, values and texts are views into the page where it
/// spells them as they are read, so that the common tag costs no copy; only a name in capitals or a text
/// with character references is written out, into a buffer that the scanner keeps from tag to tag.
namespace store::interchange {

struct HtmlAttribute
{
    QStringView name;  ///< in lower case
    QStringView value; ///< character references replaced
};

/// A tag or text of the page; its views stay valid until the scanner's next call of next().
struct HtmlToken
{
    enum Kind {
        StartTag, ///< `name` and `attributes`; `selfClosing` for "<x/>"
        EndTag,   ///< `name`
        Text,     ///< `text`, character references replaced; the text of script and style is skipped
        End,      ///< the end of the page
    };
    Kind kind = End;
    QStringView name; ///< the tag's name in lower case
    std::span<const HtmlAttribute> attributes;
    bool selfClosing = false;
    QStringView text;

    /// The value of the attribute `name` (lower case); nothing when the tag has none.
    const QStringView *attribute(QStringView attributeName) const;
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
    // A name, value or text: `size` characters at `at` of the page, or of m_written when `written`.
    struct Piece
    {
        qsizetype at = 0;
        qsizetype size = 0;
        bool written = false;
    };
    struct PendingAttribute
    {
        Piece name;
        Piece value;
    };

    HtmlToken tag(qsizetype open);
    void skipRawText();
    Piece lowerCase(qsizetype at, qsizetype size);
    Piece text(qsizetype at, qsizetype size);
    QStringView view(Piece piece) const;
    bool hasAttribute(QStringView name) const;

    QStringView m_page;
    qsizetype m_at = 0;
    QStringView m_rawText; ///< the element whose text is skipped after the tag just given: script or style
    QString m_written;     ///< the names and texts of the last token that are not as the page spells them
    std::vector<PendingAttribute> m_pending;
    std::vector<HtmlAttribute> m_attributes;
};

/// True for the elements that have no end tag (br, img, meta, ...).
bool isVoidElement(QStringView name);

} // namespace store::interchange
