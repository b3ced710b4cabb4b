#include "store/categorylist.h"

#include "store/appfolder.h"
#include "store/io/textfile.h"
#include "store/io/writelock.h"

namespace store {

QStringList readCategoryLines()
{
    TextReader reader = TextReader::open(categoryListPath());
    QStringList lines;
    while (!reader.atEnd())
        lines.append(reader.readLine());
    return lines;
}

QStringList readCategoryFields()
{
    TextReader reader = TextReader::open(categoryListPath());
    QStringList names;
    while (!reader.atEnd())
        names.append(reader.readField());
    return names;
}

void appendCategoryLine(const QString &name)
{
    TextWriter writer(categoryListPath(), TextWriter::Append);
    writer.writeLine(name);
    writer.commit();
}

qsizetype removeCategoryLines(const QString &name)
{
    // Another copy of the program may not append between the reading and the rewrite.
    const WriteLock lock;
    const QStringList lines = readCategoryLines();
    TextWriter writer(categoryListPath(), TextWriter::Replace);
    qsizetype removed = 0;
    for (const QString &line : lines) {
        if (line == name)
            ++removed;
        else
            writer.writeLine(line);
    }
    writer.commit();
    return removed;
}

} // namespace store
