// One of the store's readers on arbitrary bytes, the one LARDERON_FUZZ_READER names: the recipe reader
// (what it reads is written and read back unchanged), the category list's readers of fields and lines
// (each call consumes a character at least and gives a name without a line break), the shopping list
// reader (its text written and read again is the same). A crash, a sanitizer report, a hang or a failed require() is a
// finding.

#include "store/io/failure.h"
#include "store/io/textcodec.h"
#include "store/recipefile.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

namespace {

enum Reader { Recipe, CategoryList, ShoppingList };

void require(bool condition)
{
    if (!condition)
        std::abort();
}

// A reader over `bytes` as a file's content, read the way a file is.
store::TextReader readerOver(const QByteArray &bytes)
{
    QBuffer device;
    device.setData(bytes);
    require(device.open(QIODevice::ReadOnly));
    return store::TextReader::fromDevice(device);
}

// What `write` writes, as a file holds it.
template <typename Write>
QByteArray written(Write write)
{
    QBuffer device;
    require(device.open(QIODevice::WriteOnly));
    store::TextWriter writer(device);
    write(writer);
    writer.commit();
    return device.data();
}

template <typename Next>
void readToEnd(const QString &text, bool fields, Next next)
{
    store::TextReader reader(text);
    try {
        for (qsizetype calls = 1; !reader.atEnd(); ++calls) {
            const QString read = next(reader);
            require(calls <= text.size() && !read.contains(u'\r') && (fields || !read.contains(u'\n')));
        }
    } catch (const store::Failure &failure) {
        // Only blanks after the last field: there is no further field to read.
        require(fields && failure.number() == store::Failure::InputPastEndOfFile);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    if (LARDERON_FUZZ_READER == Recipe) {
        store::TextReader reader = readerOver(bytes);
        store::RecipeRecord record;
        try {
            record = store::readRecipe(reader);
        } catch (const store::Failure &failure) {
            require(failure.number() == store::Failure::InputPastEndOfFile);
            return 0;
        }
        for (const QString &field : record.fields)
            require(!field.contains(u'\r'));
        store::TextReader again = readerOver(written([&](store::TextWriter &w) { store::writeRecipe(w, record); }));
        require(store::readRecipe(again) == record);
    } else if (LARDERON_FUZZ_READER == CategoryList) {
        const QString text = store::decodeText(bytes);
        readToEnd(text, true, [](store::TextReader &reader) { return reader.readField(); });
        readToEnd(text, false, [](store::TextReader &reader) { return reader.readLine(); });
    } else {
        const QString text = readerOver(bytes).readAll();
        require(!text.contains(u'\r'));
        // A text that begins with U+FEFF begins its file with a byte-order mark, which reading drops.
        const QString kept = text.startsWith(QChar(0xFEFF)) ? text.sliced(1) : text;
        require(readerOver(written([&](store::TextWriter &w) { w.writeLine(text); })).readAll() == kept + u'\n');
    }
    return 0;
}
