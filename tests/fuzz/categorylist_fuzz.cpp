// Both readers of the category list on arbitrary bytes: whole lines and delimited fields. Every call must
// consume at least one character and give a name without a line break.

#include "store/failure.h"
#include "tests/fuzz/fuzzing.h"

using fuzzing::require;

namespace {

template <typename Next>
void readToEnd(const QString &text, bool fieldsMayEndEarly, Next next)
{
    store::TextReader reader(text);
    qsizetype calls = 0;
    try {
        while (!reader.atEnd()) {
            require(++calls <= text.size());
            require(!fuzzing::holdsLineBreak(next(reader), !fieldsMayEndEarly));
        }
    } catch (const store::Failure &failure) {
        // Only blanks after the last field: there is no further field to read.
        require(fieldsMayEndEarly && failure.number() == store::Failure::InputPastEndOfFile);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = store::decodeText(fuzzing::bytesOf(data, size));
    readToEnd(text, true, [](store::TextReader &reader) { return reader.readField(); });
    readToEnd(text, false, [](store::TextReader &reader) { return reader.readLine(); });
    return 0;
}
