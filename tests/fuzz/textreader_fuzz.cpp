// Feeds arbitrary bytes to the store's readers: the recipe reader, and the field, line and whole-file
// reading that the category list and the shopping lists use. A crash, a sanitizer report, a hang, a
// reader that stops making progress or a recipe that does not survive being written and read back is
// a finding.

#include "store/failure.h"
#include "store/recipefile.h"
#include "store/textfile.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

store::TextReader readerOver(const QByteArray &bytes)
{
    QBuffer device;
    device.setData(bytes);
    require(device.open(QIODevice::ReadOnly));
    return store::TextReader::fromDevice(device);
}

bool holdsLineBreak(const QString &text, bool countLf)
{
    return text.contains(QLatin1Char('\r')) || (countLf && text.contains(QLatin1Char('\n')));
}

// The recipe read from `bytes`, written back and read again, must be the same record.
void checkRecipe(const QByteArray &bytes)
{
    store::TextReader reader = readerOver(bytes);
    store::RecipeRecord record;
    try {
        record = store::readRecipe(reader);
    } catch (const store::Failure &failure) {
        require(failure.number() == store::Failure::InputPastEndOfFile);
        return;
    }
    for (const QString &field : record.fields)
        require(!holdsLineBreak(field, false));

    QBuffer written;
    require(written.open(QIODevice::WriteOnly));
    store::TextWriter writer(written);
    store::writeRecipe(writer, record);
    writer.commit();
    store::TextReader again = readerOver(written.data());
    require(store::readRecipe(again) == record);
}

// Reads `text` to its end with `next`; every call must consume at least one character.
template <typename Next>
void readToEnd(const QString &text, bool fieldsMayEndEarly, Next next)
{
    store::TextReader reader(text);
    qsizetype calls = 0;
    try {
        while (!reader.atEnd()) {
            require(++calls <= text.size());
            require(!holdsLineBreak(next(reader), !fieldsMayEndEarly));
        }
    } catch (const store::Failure &failure) {
        // Only blanks after the last field: there is no further field to read.
        require(fieldsMayEndEarly && failure.number() == store::Failure::InputPastEndOfFile);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    checkRecipe(bytes);

    const QString text = store::decodeText(bytes);
    readToEnd(text, true, [](store::TextReader &reader) { return reader.readField(); });
    readToEnd(text, false, [](store::TextReader &reader) { return reader.readLine(); });
    require(!store::TextReader(text).readAll().contains(QLatin1Char('\r')));
    return 0;
}
