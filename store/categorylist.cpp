#include "store/categorylist.h"

#include "store/appfolder.h"
#include "store/fileops.h"
#include "store/io/failure.h"
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

MadeCategory makeCategory(const QString &name)
{
    categoryFolderPath(name); // a name that may not be a category fails before anything is written
    const WriteLock lock;
    QStringList listed;
    try {
        listed = readCategoryFields();
    } catch (const Failure &failure) {
        // Without a list, the first category made makes it.
        if (failure.number() != Failure::FileNotFound)
            throw;
    }
    MadeCategory result{name, false, false};
    const auto same = std::find_if(listed.cbegin(), listed.cend(), [&name](const QString &line) {
        return line.compare(name, Qt::CaseInsensitive) == 0;
    });
    if (same != listed.cend()) {
        result.name = *same;
    } else {
        appendCategoryLine(name);
        result.listed = true;
    }
    // The folder of the name as listed, looked up now: another copy may have made it since.
    const QString folder = categoryFolderPath(result.name);
    if (folderExists(folder))
        return result;
    try {
        createFolder(folder);
    } catch (const Failure &) {
        if (result.listed) {
            try {
                removeCategoryLines(name);
            } catch (const Failure &) {
                // The line stays without its folder; making the category again makes the folder.
            }
        }
        throw;
    }
    result.made = true;
    return result;
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
