#pragma once

#include "store/recipefile.h"

#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace shell {
class LinePrinter;
}

/// Printing a recipe card: the page layout of a printed recipe and the printer set-up dialog before it.
namespace recipeprint {

/// What a printed recipe shows: the card's boxes at the moment of printing and the date to print.
struct RecipeCard
{
    QString name;
    QString date;
    store::RecipeRecord record; ///< the 35 fields; only the ones the page shows are printed
};

/// Prints `card` as one document: an empty line; the name and "Size: " in bold, the serving size and
/// the date; 125 minus signs in bold; an empty line; the ten ingredient rows (amount, type and ingredient
/// three blanks apart, empty rows too); an empty line; the directions, one printed line or more per line
/// of text; two empty lines; the temperature with " F", the hours after "H: " and the minutes after
/// "M: ". Ends the document. Throws shell::PrintFailure when the printer fails.
void printRecipeCard(shell::LinePrinter &printer, const RecipeCard &card);

/// About how many characters printing `card` prints, for the progress of a long print.
qint64 printedSize(const RecipeCard &card);

/// Chooses where a document goes, returning a printer ready to print, or null when the user cancels.
using PrinterSetup = std::function<std::unique_ptr<shell::LinePrinter>(QWidget *parent, const QString &docName)>;

/// The printer set-up dialog: the user picks a printer (or a PDF file) and its settings. Returns a
/// printer for the chosen settings, or null on Cancel.
std::unique_ptr<shell::LinePrinter> showPrinterSetup(QWidget *parent, const QString &docName);

} // namespace recipeprint
