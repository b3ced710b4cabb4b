#include "shell/lineprinter.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

namespace shell {

PainterLinePrinter::PainterLinePrinter(QPrinter *printer) : m_printer(printer)
{
    m_font = QFont(QStringLiteral("Tahoma"));
    m_font.setPointSizeF(10);
}

PainterLinePrinter::~PainterLinePrinter()
{
    if (m_painter && m_painter->isActive())
        m_painter->end();
}

void PainterLinePrinter::begin()
{
    if (m_painter)
        return;
    m_painter = std::make_unique<QPainter>();
    if (!m_painter->begin(m_printer))
        throw PrintFailure();
    m_scale = m_printer->resolution() / 72.0;
    applyFont();
}

void PainterLinePrinter::applyFont()
{
    if (m_painter)
        m_painter->setFont(m_font);
}

void PainterLinePrinter::setFontName(const QString &name)
{
    m_font.setFamily(name);
    applyFont();
}

void PainterLinePrinter::setFontSize(double points)
{
    m_font.setPointSizeF(points);
    applyFont();
}

void PainterLinePrinter::setBold(bool bold)
{
    m_font.setBold(bold);
    applyFont();
}

double PainterLinePrinter::fontSize() const
{
    return m_font.pointSizeF();
}

void PainterLinePrinter::setNoShaping(bool noShaping)
{
    m_font.setStyleStrategy(noShaping ? QFont::PreferNoShaping : QFont::PreferDefault);
    applyFont();
}

double PainterLinePrinter::lineHeight() const
{
    return QFontMetricsF(m_font, m_printer).lineSpacing() / (m_printer->resolution() / 72.0);
}

void PainterLinePrinter::print(const QString &text)
{
    begin();
    if (m_y > 0 && m_y + lineHeight() > pageHeight())
        newPage();
    const QFontMetricsF metrics(m_font, m_printer);
    m_painter->drawText(QPointF(m_x * m_scale, m_y * m_scale + metrics.ascent()), text);
    m_x += textWidth(text);
}

void PainterLinePrinter::endLine()
{
    begin();
    m_x = 0;
    m_y += lineHeight();
}

double PainterLinePrinter::textWidth(const QString &text) const
{
    return QFontMetricsF(m_font, m_printer).horizontalAdvance(text) / (m_printer->resolution() / 72.0);
}

double PainterLinePrinter::pageWidth() const
{
    return m_printer->pageLayout().paintRect(QPageLayout::Point).width();
}

double PainterLinePrinter::pageHeight() const
{
    return m_printer->pageLayout().paintRect(QPageLayout::Point).height();
}

void PainterLinePrinter::newPage()
{
    begin();
    if (!m_printer->newPage())
        throw PrintFailure();
    m_x = 0;
    m_y = 0;
}

void PainterLinePrinter::endDocument()
{
    begin();
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
            const QString word = text.sliced(pos, wordEnd - pos).toString();
            if (printer.textWidth(word) + printer.currentX() > printer.pageWidth()) {
                printer.endLine();
                if (printer.currentY() + printer.fontSize() > printer.pageHeight())
                    printer.newPage();
            }
            printer.print(word);
            pos = wordEnd;
        }
        printer.endLine();
        pos = paragraphEnd + 1;
    }
}

} // namespace shell
