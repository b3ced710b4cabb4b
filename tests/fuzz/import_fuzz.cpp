// Feeds arbitrary bytes to the import reader LARDERON_FUZZ_FORMAT names (0 MealMaster, 1 MasterCook,
// 2 JSON-LD, 3 web page, 4 other apps' exports: zip archives and gzip through makeReader(), with their entries'
// size limits, 5 Cooklang); the first byte, which names the format in the seeds, is left out of the file. A crash, a
// sanitizer report, a hang, a reader that gives more recipes than the file can hold, a recipe saved with a name or a
// box it may not have, or a recipe that does not come back the same through a JSON-LD export, is a finding.

#include "store/appfolder.h"
#include "store/interchange/cooklang.h"
#include "store/interchange/jsonld.h"
#include "store/interchange/mapping.h"
#include "store/interchange/mastercook.h"
#include "store/interchange/mealmaster.h"
#include "store/interchange/reader.h"
#include "store/interchange/webpage.h"
#include "store/io/failure.h"
#include "store/io/textcodec.h"
#include "store/io/textfile.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

using namespace store::interchange;

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

std::unique_ptr<RecipeReader> readerFor(int kind, const QByteArray &bytes)
{
    switch (kind) {
    case 4:
        return makeReader(bytes);
    case 5:
        return makeCooklangReader(store::decodeText(bytes), QStringLiteral("Fuzz"));
    case 0:
    case 1: {
        // Both are read from the file as the import reads them: MealMaster a line at a time, MasterCook a
        // megabyte at a time, each recipe from its part of the bytes.
        auto device = std::make_unique<QBuffer>();
        device->setData(bytes);
        require(device->open(QIODevice::ReadOnly));
        if (kind == 1)
            return makeMasterCookReader(std::move(device));
        return makeMealMasterReader(std::move(device));
    }
    case 2:
        return makeJsonLdReader(store::decodeText(bytes), false);
    default:
        return makeWebPageReader(store::decodeText(bytes));
    }
}

bool fits(const QString &field, qsizetype digits)
{
    return field.size() <= digits && std::all_of(field.begin(), field.end(), [](QChar c) { return c.isDigit(); });
}

void checkRecipe(const Recipe &recipe)
{
    const MappedRecipe mapped = toRecord(recipe);
    require(mapped.name.isEmpty() || (store::isValidName(mapped.name) && mapped.name.size() <= kNameLength));
    require(mapped.category.isEmpty() || (store::isValidName(mapped.category) && !mapped.category.contains(u',')));
    const store::RecipeRecord &record = mapped.record;
    require(fits(record.temperature(), 3) && fits(record.servingSize(), 3) && fits(record.hours(), 2) &&
            fits(record.minutes(), 3));
    if (mapped.name.isEmpty())
        return;

    // Exported to JSON-LD and read back, the recipe is the same record under the same name.
    const QByteArray json = writeJsonLd({fromRecord(mapped.name, mapped.category, record)});
    const std::optional<ReadItem> back = makeJsonLdReader(QString::fromUtf8(json), false)->next();
    require(back && back->problem.isEmpty());
    const MappedRecipe again = toRecord(back->recipe);
    require(again.name == mapped.name && again.record == record);

    // The MealMaster writer takes any record; what it cannot keep its export reports.
    const QString text = writeMealMaster(fromRecord(mapped.name, mapped.category, record));
    require(text.startsWith(QLatin1String("MMMMM")));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data) + 1, static_cast<qsizetype>(size - 1));
    const auto reader = readerFor(LARDERON_FUZZ_FORMAT, bytes);
    // A MealMaster recipe takes a line at least, a recipe of the other formats a character at least.
    const qsizetype most = LARDERON_FUZZ_FORMAT == 0 ? bytes.count('\n') + bytes.count('\r') + 2 : bytes.size() + 2;
    qsizetype items = 0;
    while (const std::optional<ReadItem> item = reader->next()) {
        require(++items <= most);
        require(reader->progress() >= 0.0 && reader->progress() <= 1.0);
        if (item->problem.isEmpty())
            checkRecipe(item->recipe);
    }
    return 0;
}
