#pragma once

#include <QFont>
#include <QPointF>
#include <QRawFont>
#include <QString>

#include <memory>
#include <vector>

class QPainter;
class QPrinter;

namespace shell {

/// The printer as printing uses it: a line printer with a current font and a current position.
/// Positions, widths and heights are in points (1/72 inch) from the top left of the printable area.
class LinePrinter
{
public:
    virtual ~LinePrinter() = default;

    virtual void setFontName(const QString &name) = 0;
    virtual void setFontSize(double points) = 0;
    virtual void setBold(bool bold) = 0;
    virtual double fontSize() const = 0;

    /// Prints `text` at the current position and leaves the position after it, on the same line.
    virtual void print(const QString &text) = 0;
    /// Moves to the left margin one line lower; on an empty line this prints an empty line.
    virtual void endLine() = 0;

    virtual double textWidth(const QString &text) const = 0;
    /// The word wrap measures and prints its words as views into the text it wraps. A printer that can
    /// measure a view as it is overrides these; by default the word is copied for textWidth() and print().
    virtual double wordWidth(QStringView word) const { return textWidth(word.toString()); }
    virtual void printWord(QStringView word) { print(word.toString()); }
    virtual double currentX() const = 0;
    virtual double currentY() const = 0;
    virtual double pageWidth() const = 0;
    virtual double pageHeight() const = 0;

    virtual void newPage() = 0;
    /// Ends the document, which sends it to the printer.
    virtual void endDocument() = 0;

    /// A run of `count` blanks.
    static QString blanks(int count) { return QString(count, QLatin1Char(' ')); }
};

/// A LinePrinter that draws with QPainter on a QPrinter. A line that would pass the bottom of the page
/// starts a new page. Throws PrintFailure when the printer cannot be opened or a page cannot be started.
///
/// Each font's metrics are made once, and each word is shaped once per font: its width and glyphs are kept
/// and a line's glyphs are drawn together, at the places where drawing each text on its own puts them.
class PainterLinePrinter : public LinePrinter
{
public:
    explicit PainterLinePrinter(QPrinter *printer);
    ~PainterLinePrinter() override;

    void setFontName(const QString &name) override;
    void setFontSize(double points) override;
    void setBold(bool bold) override;
    double fontSize() const override;
    void print(const QString &text) override;
    void endLine() override;
    double textWidth(const QString &text) const override;
    double wordWidth(QStringView word) const override;
    void printWord(QStringView word) override;
    double currentX() const override { return m_x; }
    double currentY() const override { return m_y; }
    double pageWidth() const override;
    double pageHeight() const override;
    void newPage() override;
    void endDocument() override;

    /// Draws text without ligatures, so that a PDF of the page reads back letter for letter.
    void setNoShaping(bool noShaping);

private:
    struct Face;
    struct Shape;

    void begin();
    Face &face() const;
    const Shape &shape(QStringView text);
    void place(const Shape &shape, QStringView text);
    void flushLine();
    QSizeF page() const;

    QPrinter *m_printer;
    std::unique_ptr<QPainter> m_painter;
    QFont m_font;
    double m_x = 0;
    double m_y = 0;
    double m_scale = 1;             ///< device pixels per point
    mutable QSizeF m_page;          ///< the printable area in points, taken once
    mutable Face *m_face = nullptr; ///< the current font's, null after a change of font
    mutable std::vector<std::unique_ptr<Face>> m_faces;

    /// The glyphs of the current line not drawn yet, all of one raw font.
    QRawFont m_lineFont;
    QList<quint32> m_lineGlyphs;
    QList<QPointF> m_linePositions;
};

/// A printing step that could not be done; printing ends silently when it meets one.
struct PrintFailure
{
};

/// A printer for the printer set-up dialog to set up: high resolution, with the page margins of a desk
/// printer (12.7 mm on every side) until the user chooses others, so that the printable area, and with it
/// the word wrap, is that of a real page.
std::unique_ptr<QPrinter> makePrinter();

/// Names the document `name` ("Weekly.txt"), after which the printer set-up dialog names the PDF file it
/// proposes ("Weekly.pdf"); a printer that printed to a PDF file before keeps that file's folder.
void nameDocument(QPrinter &printer, const QString &name);

/// Prints `text` word-wrapped: paragraphs end at line breaks, words at blanks (a word keeps its trailing
/// blank). A word that does not fit the rest of the line starts a new line, and a line that would pass the
/// page height starts a new page. A word wider than the page runs past its right edge. An empty paragraph
/// gives an empty line; a line break at the very end gives none. Runs in time linear in the text.
void printWrappedText(LinePrinter &printer, QStringView text);

} // namespace shell
