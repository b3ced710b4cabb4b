// The shopping list reader on arbitrary bytes: the whole text with "\n" line breaks, which written back
// and read again is the same text.

#include "tests/fuzz/fuzzing.h"

using fuzzing::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = fuzzing::readerOver(fuzzing::bytesOf(data, size)).readAll();
    require(!text.contains(QLatin1Char('\r')));

    QBuffer written;
    require(written.open(QIODevice::WriteOnly));
    store::TextWriter writer(written);
    writer.writeLine(text);
    writer.commit();
    // A text that begins with U+FEFF begins its file with a byte-order mark, which reading drops.
    const QString kept = text.startsWith(QChar(0xFEFF)) ? text.sliced(1) : text;
    require(fuzzing::readerOver(written.data()).readAll() == kept + QLatin1Char('\n'));
    return 0;
}
