#include "print/lineprinter.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>
#include <QPrinter>
#include <QTextLayout>

#include <algorithm>
#include <deque>
#include <unordered_map>

namespace shell {

namespace {

// Words longer than this are shaped each time they are printed, and a font keeps this many words at most:
// a list repeats its words, a text of unique words must not fill the memory.
constexpr qsizetype kLongestKeptWord = 64;
constexpr size_t kKeptWords = 20000;

struct ViewHash
{
    size_t operator()(QStringView text) const { return qHash(text); }
};

// Where the painter puts a text's origin: QPainter cuts positions down to 1/64 of a device pixel.
double onGrid(double value)
{
    return static_cast<int>(value * 64.0) / 64.0;
}

} // namespace

/// A word's width and, once it is printed, its glyphs: each with its raw font (an index into the face's
/// list) and its place from the word's origin on the base line, in device pixels.
struct PainterLinePrinter::Shape
{
    struct Glyph
    {
        quint32 index;
        int font;
        QPointF at;
    };
    double width = 0;
    bool measured = false;
    bool shaped = false;
    bool asText = false; ///< the text breaks into lines when laid out: drawn with QPainter::drawText
    std::vector<Glyph> glyphs;
};

/// A font's metrics and the words measured and shaped in it.
struct PainterLinePrinter::Face
{
    Face(const QFont &f, QPrinter *printer)
        : font(f), metrics(f, printer), pointScale(printer->resolution() / 72.0), ascent(metrics.ascent()),
          lineHeight(metrics.lineSpacing() / pointScale)
    {}

    QFont font;
    QFontMetricsF metrics;
    double pointScale; ///< device pixels per point
    double ascent;     ///< device pixels
    double lineHeight; ///< points
    std::vector<QRawFont> rawFonts;
    std::unordered_map<QStringView, Shape, ViewHash> words; ///< keys view into `texts`
    std::deque<QString> texts;
    QString scratchText; ///< the last word too long to keep, and its shape
    Shape scratch;
    QStringView lastText; ///< the word looked up last (a view into `texts` or `scratchText`), and its shape
    Shape *last = nullptr;

    /// The word's shape, measured if it is new. Printing a word just measured finds it at once.
    Shape &lookUp(QStringView text)
    {
        if (last && text == lastText)
            return *last;
        if (text.size() > kLongestKeptWord) {
            scratchText = text.toString();
            scratch = Shape();
            return remember(scratchText, scratch);
        }
        if (const auto it = words.find(text); it != words.end())
            return remember(it->first, it->second);
        if (words.size() >= kKeptWords) {
            words.clear();
            texts.clear();
        }
        const QStringView kept = texts.emplace_back(text.toString());
        return remember(kept, words.emplace(kept, Shape()).first->second);
    }

private:
    Shape &remember(QStringView text, Shape &shape)
    {
        if (!shape.measured) {
            shape.width = metrics.horizontalAdvance(text.toString()) / pointScale;
            shape.measured = true;
        }
        lastText = text;
        last = &shape;
        return shape;
    }
};

PainterLinePrinter::PainterLinePrinter(QPrinter *printer) : m_printer(printer)
{
    m_font = QFont(QStringLiteral("Tahoma"));
    m_font.setPointSizeF(10);
}

PainterLinePrinter::~PainterLinePrinter()
{
    if (m_painter && m_painter->isActive()) {
        // A print that failed half-way keeps what it printed.
        flushLine();
        m_painter->end();
    }
}

void PainterLinePrinter::begin()
{
    if (m_painter)
        return;
    m_painter = std::make_unique<QPainter>();
    if (!m_painter->begin(m_printer))
        throw PrintFailure();
    m_scale = m_printer->resolution() / 72.0;
    m_painter->setFont(m_font);
}

PainterLinePrinter::Face &PainterLinePrinter::face() const
{
    if (m_face)
        return *m_face;
    for (const auto &known : m_faces) {
        if (known->font == m_font)
            return *(m_face = known.get());
    }
    m_faces.push_back(std::make_unique<Face>(m_font, m_printer));
    return *(m_face = m_faces.back().get());
}

void PainterLinePrinter::setFontName(const QString &name)
{
    m_font.setFamily(name);
    m_face = nullptr;
    if (m_painter)
        m_painter->setFont(m_font);
}

void PainterLinePrinter::setFontSize(double points)
{
    m_font.setPointSizeF(points);
    m_face = nullptr;
    if (m_painter)
        m_painter->setFont(m_font);
}

void PainterLinePrinter::setBold(bool bold)
{
    m_font.setBold(bold);
    m_face = nullptr;
    if (m_painter)
        m_painter->setFont(m_font);
}

double PainterLinePrinter::fontSize() const
{
    return m_font.pointSizeF();
}

void PainterLinePrinter::setNoShaping(bool noShaping)
{
    m_font.setStyleStrategy(noShaping ? QFont::PreferNoShaping : QFont::PreferDefault);
    m_face = nullptr;
    if (m_painter)
        m_painter->setFont(m_font);
}

const PainterLinePrinter::Shape &PainterLinePrinter::shape(QStringView text)
{
    Face &f = face();
    Shape &s = f.lookUp(text);
    if (s.shaped)
        return s;
    s.shaped = true;
    if (text.isEmpty())
        return s;
    // Laid out as QPainter::drawText lays out a text: one line in the painter's font and direction.
    QTextLayout layout(text.toString(), m_painter->font(), m_printer);
    QTextOption option(Qt::AlignLeft | Qt::AlignAbsolute);
    option.setTextDirection(m_painter->layoutDirection());
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(0);
    s.asText = layout.createLine().isValid();
    layout.endLayout();
    if (s.asText)
        return s;
    const double baseline = line.y() + line.ascent();
    for (const QGlyphRun &run : layout.glyphRuns()) {
        const QRawFont raw = run.rawFont();
        auto known = std::find(f.rawFonts.begin(), f.rawFonts.end(), raw);
        if (known == f.rawFonts.end())
            known = f.rawFonts.insert(known, raw);
        const int font = int(known - f.rawFonts.begin());
        const QList<quint32> indexes = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < indexes.size(); ++i)
            s.glyphs.push_back({indexes.at(i), font, positions.at(i) - QPointF(0, baseline)});
    }
    return s;
}

void PainterLinePrinter::place(const Shape &shape, QStringView text)
{
    const Face &f = face();
    if (shape.asText) {
        flushLine();
        m_painter->drawText(QPointF(m_x * m_scale, m_y * m_scale + f.ascent), text.toString());
        return;
    }
    const QPointF origin(onGrid(m_x * m_scale), onGrid(m_y * m_scale + f.ascent));
    for (const Shape::Glyph &glyph : shape.glyphs) {
        const QRawFont &raw = f.rawFonts[size_t(glyph.font)];
        if (!m_lineGlyphs.isEmpty() && !(m_lineFont == raw))
            flushLine();
        if (m_lineGlyphs.isEmpty())
            m_lineFont = raw;
        m_lineGlyphs.append(glyph.index);
        m_linePositions.append(origin + glyph.at);
    }
}

void PainterLinePrinter::flushLine()
{
    if (m_lineGlyphs.isEmpty())
        return;
    QGlyphRun run;
    run.setRawFont(m_lineFont);
    run.setGlyphIndexes(m_lineGlyphs);
    run.setPositions(m_linePositions);
    m_painter->drawGlyphRun(QPointF(0, 0), run);
    m_lineGlyphs.clear();
    m_linePositions.clear();
}

void PainterLinePrinter::print(const QString &text)
{
    printWord(text);
}

void PainterLinePrinter::printWord(QStringView word)
{
    begin();
    if (m_y > 0 && m_y + face().lineHeight > pageHeight())
        newPage();
    const Shape &s = shape(word);
    place(s, word);
    m_x += s.width;
}

void PainterLinePrinter::endLine()
{
    begin();
    flushLine();
    m_x = 0;
    m_y += face().lineHeight;
}

double PainterLinePrinter::textWidth(const QString &text) const
{
    return wordWidth(text);
}

double PainterLinePrinter::wordWidth(QStringView word) const
{
    return face().lookUp(word).width;
}

double PainterLinePrinter::pageWidth() const
{
    return page().width();
}

double PainterLinePrinter::pageHeight() const
{
    return page().height();
}

QSizeF PainterLinePrinter::page() const
{
    // The printer's settings do not change while it prints.
    if (m_page.isEmpty())
        m_page = m_printer->pageLayout().paintRect(QPageLayout::Point).size();
    return m_page;
}

void PainterLinePrinter::newPage()
{
    begin();
    flushLine();
    if (!m_printer->newPage())
        throw PrintFailure();
    m_x = 0;
    m_y = 0;
}

void PainterLinePrinter::endDocument()
{
    begin();
    flushLine();
    if (!m_painter->end())
        throw PrintFailure();
}

std::unique_ptr<QPrinter> makePrinter()
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    // Left alone, a page printed to a PDF file has margins of 3.5 mm.
    printer->setPageMargins(QMarginsF(12.7, 12.7, 12.7, 12.7), QPageLayout::Millimeter);
    return printer;
}

void nameDocument(QPrinter &printer, const QString &name)
{
    printer.setDocName(name);
    const QString previous = printer.outputFileName();
    if (!previous.isEmpty() && !name.isEmpty())
        printer.setOutputFileName(
            QFileInfo(previous).dir().filePath(QFileInfo(name).completeBaseName() + QStringLiteral(".pdf")));
}

void printWrappedText(LinePrinter &printer, QStringView text)
{
    qsizetype pos = 0;
    const qsizetype size = text.size();
    while (pos < size) {
        qsizetype paragraphEnd = text.indexOf(u'\n', pos);
        if (paragraphEnd < 0)
            paragraphEnd = size;
        while (pos < paragraphEnd) {
            // Search the paragraph only, so that a text without blanks stays linear.
            const qsizetype blank = text.sliced(pos, paragraphEnd - pos).indexOf(u' ');
            const qsizetype wordEnd = blank < 0 ? paragraphEnd : pos + blank + 1;
            const QStringView word = text.sliced(pos, wordEnd - pos);
            if (printer.wordWidth(word) + printer.currentX() > printer.pageWidth()) {
                printer.endLine();
                if (printer.currentY() + printer.fontSize() > printer.pageHeight())
                    printer.newPage();
            }
            printer.printWord(word);
            pos = wordEnd;
        }
        printer.endLine();
        pos = paragraphEnd + 1;
    }
}

} // namespace shell
