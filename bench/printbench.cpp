// Word-wrapping and printing shopping lists of 1 MB and 4 MB, against a list of a quarter the size, Qt's own
// printing and the printer library alone, and the shopping list window's pause while it prints.

#include "bench/benchsupport.h"
#include "print/lineprinter.h"
#include "print/textprint.h"
#include "screens/shop.h"
#include "shell/screen.h"
#include "store/appfolder.h"
#include "store/io/textfile.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QListWidget>
#include <QPainter>
#include <QPrinter>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextLayout>

namespace bench {
namespace {

/// A printer that measures words with a real font but draws nothing, so that only the layout is timed.
class MeasuringPrinter : public shell::LinePrinter
{
public:
    MeasuringPrinter() : m_metrics(QFont(QStringLiteral("Tahoma"), 10)) {}
    void setFontName(const QString &) override {}
    void setFontSize(double) override {}
    void setBold(bool) override {}
    double fontSize() const override { return 10; }
    void print(const QString &text) override { m_x += textWidth(text); }
    void endLine() override
    {
        m_x = 0;
        m_y += 12;
    }
    double textWidth(const QString &text) const override { return m_metrics.horizontalAdvance(text); }
    double currentX() const override { return m_x; }
    double currentY() const override { return m_y; }
    double pageWidth() const override { return 540; }
    double pageHeight() const override { return 720; }
    void newPage() override { m_y = 0; }
    void endDocument() override {}

private:
    QFontMetricsF m_metrics;
    double m_x = 0;
    double m_y = 0;
};

/// Word-wrapping a shopping list of 4 MB against one of 1 MB, on a printer that measures and draws nothing.
void measureWordWrap()
{
    const QString oneMb = shoppingList(1 << 20);
    const QString fourMb = shoppingList(4 << 20);
    const double one = median([] {},
                              [&oneMb] {
                                  MeasuringPrinter printer;
                                  shell::printWrappedText(printer, oneMb);
                              });
    const double four = median([] {},
                               [&fourMb] {
                                   MeasuringPrinter printer;
                                   shell::printWrappedText(printer, fourMb);
                               });
    addFigure({"word-wrap a 4 MB list", four, one, 4.5, 0, "a 1 MB list"});
}

/// Printing a shopping list of 1 MB and of 4 MB to a PDF file, against Qt's own printing of the same text.
void measurePrinting()
{
    QTemporaryDir dir;
    const auto listFile = [&dir](const QString &name, qsizetype bytes) {
        const QString path = dir.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(shoppingList(bytes).replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toUtf8());
        return path;
    };
    const QString one = listFile(QStringLiteral("one.txt"), 1 << 20);
    const QString four = listFile(QStringLiteral("four.txt"), 4 << 20);
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    const auto ours = [&pdf](const QString &list) {
        return [&pdf, list] {
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            shell::PainterLinePrinter linePrinter(&printer);
            textprint::printTextFile(linePrinter, list);
        };
    };
    const auto [oneMb, qtOneMb] = inTurns([] {}, ours(one),
                                          [&pdf, &one] {
                                              QPrinter printer(QPrinter::HighResolution);
                                              printer.setOutputFormat(QPrinter::PdfFormat);
                                              printer.setOutputFileName(pdf);
                                              QTextDocument document;
                                              document.setDefaultFont(QFont(QStringLiteral("Tahoma"), 10));
                                              document.setPlainText(store::TextReader::open(one).readAll());
                                              document.print(&printer);
                                          });
    addFigure({"print a 1 MB list to PDF", oneMb, qtOneMb, 1.0 / 7, 300, "QTextDocument::print"});
    const auto [fourMb, oneAgain] = inTurns([] {}, ours(four), ours(one));
    addFigure({"print a 4 MB list to PDF", fourMb, oneAgain, 4.2, 0, "a 1 MB list"});

    // The printer library alone: the list's one line laid out once, its glyphs drawn for every line.
    const QString line = shoppingList(1).trimmed();
    const qsizetype lines = shoppingList(1 << 20).count(QLatin1Char('\n'));
    const auto [oneMbAgain, engine] =
        inTurns([] {}, ours(one),
                [&pdf, &line, lines] {
                    QPrinter printer(QPrinter::HighResolution);
                    printer.setOutputFormat(QPrinter::PdfFormat);
                    printer.setOutputFileName(pdf);
                    QPainter painter(&printer);
                    QFont font(QStringLiteral("Tahoma"));
                    font.setPointSizeF(10);
                    QTextLayout layout(line, font, &printer);
                    layout.beginLayout();
                    layout.createLine();
                    layout.endLayout();
                    const QList<QGlyphRun> runs = layout.glyphRuns();
                    const double step = QFontMetricsF(font, &printer).lineSpacing();
                    const double bottom = printer.pageLayout().paintRectPixels(printer.resolution()).height();
                    double y = 0;
                    for (qsizetype i = 0; i < lines; ++i) {
                        if (y + step > bottom) {
                            printer.newPage();
                            y = 0;
                        }
                        for (const QGlyphRun &run : runs)
                            painter.drawGlyphRun(QPointF(0, y), run);
                        y += step;
                    }
                });
    addFigure(
        {"print a 1 MB list to PDF", oneMbAgain, engine, 1.25, 0, "the printer library drawing its glyphs alone"});
}

/// The shopping list screen printing a list of 4 MB to a PDF file: the longest the window goes without
/// handling its events, from the click on Print to the end of the print, and whether the progress dialog
/// showed.
void measurePrintPause()
{
    QTemporaryDir app;
    store::setApplicationFolder(app.path());
    QDir(app.path()).mkpath(QStringLiteral("Shopping List"));
    QFile list(app.path() + QStringLiteral("/Shopping List/Big.txt"));
    list.open(QIODevice::WriteOnly);
    list.write(shoppingList(4 << 20).replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toUtf8());
    list.close();
    const QString pdf = app.path() + QStringLiteral("/Big.pdf");
    frmShop::setPrintDialog([&pdf](QPrinter &printer, QWidget *) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    auto *screen = shell::ScreenRegistry::show<frmShop>();
    screen->findChild<QListWidget *>(QStringLiteral("lswHOpen"))->setCurrentRow(0);

    bool progressShown = false;
    PauseWatch watch([&progressShown] {
        progressShown = progressShown || qobject_cast<QProgressDialog *>(QApplication::activeModalWidget());
    });
    watch.start();
    screen->findChild<QAbstractButton *>(QStringLiteral("cmdHPrint"))->click();
    const qint64 longest = watch.stop();
    if (!progressShown || QFileInfo(pdf).size() == 0)
        qFatal("storebench: the 4 MB list printed nothing or without its progress dialog");
    addFigure({"longest pause of the shopping list window while it prints 4 MB", double(longest), 0, 0, 100, "-"});
    frmShop::setPrintDialog({});
    shell::ScreenRegistry::unloadAll();
    store::setApplicationFolder(QString());
}

const Registration kWrap("wrap", 70, measureWordWrap);
const Registration kPrint("print", 80, measurePrinting);
const Registration kPause("pause", 90, measurePrintPause);

} // namespace
} // namespace bench
