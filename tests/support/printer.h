#pragma once

#include "print/lineprinter.h"

#include <QStringList>

#include <utility>

namespace testing {

/// What a RecordingPrinter printed: the finished lines with bold runs between "**" and "<page>" where a
/// page starts, each font change with the number of lines finished before it, the documents ended and the
/// characters measured or printed.
struct Printout
{
    QStringList lines;
    QStringList fonts;
    int documents = 0;
    qint64 handled = 0;
};

/// A line printer that draws nothing and records into a Printout: every character is 6 points wide and a
/// line 1.2 times the font size high (12 points at the 10 points it starts with).
class RecordingPrinter : public shell::LinePrinter
{
public:
    explicit RecordingPrinter(Printout &out, double pageWidth = 600, double pageHeight = 10000)
        : m_out(out), m_pageWidth(pageWidth), m_pageHeight(pageHeight)
    {}

    void setFontName(const QString &name) override { m_out.fonts << name + after(); }
    void setFontSize(double points) override { m_out.fonts << QString::number(m_size = points) + after(); }
    void setBold(bool bold) override { m_bold = bold; }
    double fontSize() const override { return m_size; }
    void print(const QString &text) override
    {
        m_out.handled += text.size();
        m_x += 6.0 * text.size();
        if (!text.isEmpty())
            m_line += (std::exchange(m_lineBold, m_bold) != m_bold ? QStringLiteral("**") : QString()) + text;
    }
    void endLine() override
    {
        m_out.lines << std::exchange(m_line, QString()) + (std::exchange(m_lineBold, false) ? "**" : "");
        m_x = 0;
        m_y += 1.2 * m_size;
    }
    double textWidth(const QString &text) const override
    {
        m_out.handled += text.size();
        return 6.0 * text.size();
    }
    double currentX() const override { return m_x; }
    double currentY() const override { return m_y; }
    double pageWidth() const override { return m_pageWidth; }
    double pageHeight() const override { return m_pageHeight; }
    void newPage() override
    {
        m_out.lines << QStringLiteral("<page>");
        m_x = m_y = 0;
    }
    void endDocument() override { ++m_out.documents; }

private:
    QString after() const { return QStringLiteral(" after line %1").arg(m_out.lines.size()); }

    Printout &m_out;
    double m_pageWidth;
    double m_pageHeight;
    double m_size = 10;
    double m_x = 0;
    double m_y = 0;
    bool m_bold = false;
    bool m_lineBold = false; ///< whether the line's last text is bold
    QString m_line;
};

} // namespace testing
