#include "print/recipeprint.h"

#include "print/lineprinter.h"

#include <QPrintDialog>
#include <QPrinter>

namespace recipeprint {

namespace {

using shell::LinePrinter;

// A printer that keeps the QPrinter it draws on; the base holding it is built first.
struct PrinterHolder
{
    std::unique_ptr<QPrinter> printer;
};

class OwningLinePrinter : private PrinterHolder, public shell::PainterLinePrinter
{
public:
    explicit OwningLinePrinter(std::unique_ptr<QPrinter> chosen)
        : PrinterHolder{std::move(chosen)}, shell::PainterLinePrinter(PrinterHolder::printer.get())
    {}
};

} // namespace

void printRecipeCard(LinePrinter &printer, const RecipeCard &card)
{
    const store::RecipeRecord &r = card.record;

    printer.endLine();
    printer.setFontName(QStringLiteral("Tahoma"));
    printer.setFontSize(10);
    printer.setBold(true);
    printer.print(card.name);
    printer.print(LinePrinter::blanks(5));
    printer.print(QStringLiteral("Size: "));
    printer.setBold(false);
    printer.print(r.servingSize());
    printer.print(LinePrinter::blanks(5));
    printer.print(card.date);
    printer.endLine();
    printer.setBold(true);
    printer.print(QString(125, QLatin1Char('-')));
    printer.endLine();
    printer.setBold(false);
    printer.endLine();

    for (int row = 1; row <= store::RecipeRecord::kRowCount; ++row) {
        printer.print(r.amount(row));
        printer.print(LinePrinter::blanks(3));
        printer.print(r.type(row));
        printer.print(LinePrinter::blanks(3));
        printer.print(r.ingredient(row));
        printer.endLine();
    }
    printer.endLine();

    // Every line of the directions is a printed line, the empty ones too: the wrapper prints no line for
    // an empty text or for the empty line after a final line break.
    const QString &directions = r.directions();
    shell::printWrappedText(printer, directions);
    if (directions.isEmpty() || directions.endsWith(QLatin1Char('\n')))
        printer.endLine();
    printer.endLine();
    printer.endLine();

    printer.print(r.temperature());
    printer.setBold(true);
    printer.print(QStringLiteral(" F"));
    printer.print(LinePrinter::blanks(5));
    printer.print(QStringLiteral("H: "));
    printer.setBold(false);
    printer.print(r.hours());
    printer.print(LinePrinter::blanks(5));
    printer.setBold(true);
    printer.print(QStringLiteral("M: "));
    printer.setBold(false);
    printer.print(r.minutes());
    printer.endLine();
    printer.endDocument();
}

qint64 printedSize(const RecipeCard &card)
{
    // The fixed texts, blanks and rule take about 200 characters.
    qint64 size = 200 + card.name.size() + card.date.size();
    for (const QString &field : card.record.fields)
        size += field.size();
    return size;
}

std::unique_ptr<LinePrinter> showPrinterSetup(QWidget *parent, const QString &docName)
{
    std::unique_ptr<QPrinter> printer = shell::makePrinter();
    // The dialog offers a PDF file named after the recipe when "Print to File" is chosen.
    shell::nameDocument(*printer, docName);
    QPrintDialog dialog(printer.get(), parent);
    dialog.setWindowTitle(QStringLiteral("Print"));
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (dialog.exec() != QDialog::Accepted)
        return nullptr;
    return std::make_unique<OwningLinePrinter>(std::move(printer));
}

} // namespace recipeprint
