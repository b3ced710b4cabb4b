// The recipe reader on arbitrary bytes: a record read must be written and read back unchanged.

#include "store/failure.h"
#include "store/recipefile.h"
#include "tests/fuzz/fuzzing.h"

using fuzzing::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    store::TextReader reader = fuzzing::readerOver(fuzzing::bytesOf(data, size));
    store::RecipeRecord record;
    try {
        record = store::readRecipe(reader);
    } catch (const store::Failure &failure) {
        require(failure.number() == store::Failure::InputPastEndOfFile);
        return 0;
    }
    for (const QString &field : record.fields)
        require(!fuzzing::holdsLineBreak(field, false));

    QBuffer written;
    require(written.open(QIODevice::WriteOnly));
    store::TextWriter writer(written);
    store::writeRecipe(writer, record);
    writer.commit();
    store::TextReader again = fuzzing::readerOver(written.data());
    require(store::readRecipe(again) == record);
    return 0;
}
