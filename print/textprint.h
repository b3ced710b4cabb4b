#pragma once

#include <QString>

namespace shell {
class LinePrinter;
}

/// Printing a text file as it stands: the shopping lists are printed this way.
namespace textprint {

/// Prints the text file at `path` word-wrapped on `printer`, from the top left of the printable area in
/// the printer's current font, and ends the document. Each line of the file is a paragraph; an empty
/// line prints as an empty line and the line break that ends the file prints none. A word that does not
/// fit the rest of the line starts a new line, and a word wider than the page runs past its right edge.
/// Runs in time linear in the length of the file.
///
/// Throws store::Failure when the file cannot be read (53 missing, 76 folder missing, 75 not readable),
/// before anything is printed, and whatever the printer throws (shell::PrintFailure).
void printTextFile(shell::LinePrinter &printer, const QString &path);

} // namespace textprint
