#include "store/recipefile.h"

#include "store/appfolder.h"
#include "store/io/textfile.h"

namespace store {

void writeRecipe(TextWriter &writer, const RecipeRecord &record)
{
    writer.writeQuotedFields(record.toList());
}

RecipeRecord readRecipe(TextReader &reader)
{
    RecipeRecord record;
    while (!reader.atEnd()) {
        for (QString &field : record.fields)
            field = reader.readField();
    }
    return record;
}

void saveRecipe(const QString &category, const QString &name, const RecipeRecord &record)
{
    TextWriter writer(recipePath(category, name), TextWriter::Replace);
    writeRecipe(writer, record);
    writer.commit();
}

RecipeRecord loadRecipe(const QString &category, const QString &name)
{
    TextReader reader = TextReader::open(recipePath(category, name));
    return readRecipe(reader);
}

} // namespace store
