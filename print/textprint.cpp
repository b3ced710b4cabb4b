#include "print/textprint.h"

#include "print/lineprinter.h"
#include "store/io/textfile.h"

namespace textprint {

void printTextFile(shell::LinePrinter &printer, const QString &path)
{
    // The whole file is read and closed before the first word reaches the printer.
    const QString text = store::TextReader::open(path).readAll();
    shell::printWrappedText(printer, text);
    printer.endDocument();
}

} // namespace textprint
