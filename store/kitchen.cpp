#include "store/kitchen.h"

#include "store/appfolder.h"
#include "store/fileops.h"
#include "store/ingredientname.h"
#include "store/io/failure.h"
#include "store/io/textfile.h"
#include "store/io/writelock.h"

namespace store {

namespace {

// The text of the file at `path`; none when it or its folder is missing.
std::optional<TextReader> openIfThere(const QString &path)
{
    try {
        return TextReader::open(path);
    } catch (const Failure &failure) {
        if (failure.number() == Failure::FileNotFound || failure.number() == Failure::PathNotFound)
            return std::nullopt;
        throw;
    }
}

QList<std::pair<QString, QString>> readAisleRecords()
{
    QList<std::pair<QString, QString>> records;
    std::optional<TextReader> reader = openIfThere(aislesPath());
    while (reader && !reader->atEnd()) {
        QString key = reader->readField();
        if (reader->atEnd() && key.isEmpty())
            break; // a last line without a record
        records.append({std::move(key), reader->readField()});
    }
    return records;
}

void makeKitchenFolder()
{
    const QString folder = dataPath({kKitchenFolder});
    if (!folderExists(folder))
        createFolder(folder);
}

} // namespace

QString staplesPath()
{
    return dataPath({kKitchenFolder, kStaplesFile});
}

QString aislesPath()
{
    return dataPath({kKitchenFolder, kAislesFile});
}

QStringList builtInStaples()
{
    return {QStringLiteral("salt"), QStringLiteral("pepper"), QStringLiteral("black pepper"),
            QStringLiteral("salt and pepper"), QStringLiteral("water")};
}

Kitchen Kitchen::builtIn()
{
    Kitchen kitchen;
    kitchen.useStaples(builtInStaples());
    return kitchen;
}

Kitchen Kitchen::load()
{
    Kitchen kitchen;
    if (std::optional<TextReader> reader = openIfThere(staplesPath())) {
        QStringList staples;
        while (!reader->atEnd()) {
            if (QString line = reader->readLine().simplified(); !line.isEmpty())
                staples.append(line);
        }
        kitchen.useStaples(staples);
    } else {
        kitchen.useStaples(builtInStaples());
    }
    kitchen.m_records = readAisleRecords();
    for (const auto &[key, name] : std::as_const(kitchen.m_records)) {
        if (const std::optional<Aisle> aisle = aisleNamed(name))
            kitchen.m_aisles.insert(key, *aisle);
    }
    return kitchen;
}

bool Kitchen::isStaple(QStringView ingredientKey) const
{
    return m_stapleKeys.contains(ingredientKey.toString());
}

Aisle Kitchen::aisleOf(QStringView ingredientKey) const
{
    const auto chosen = m_aisles.constFind(ingredientKey.toString());
    if (chosen != m_aisles.constEnd())
        return *chosen;
    return builtInAisle(ingredientKey).value_or(Aisle::Other);
}

QStringList Kitchen::staples() const
{
    return m_staples;
}

void Kitchen::setStaples(const QStringList &staples)
{
    QStringList kept;
    QSet<QString> keys;
    for (const QString &staple : staples) {
        const QString trimmed = staple.simplified();
        const QString key = readIngredientName(trimmed).key;
        if (key.isEmpty() || keys.contains(key))
            continue;
        keys.insert(key);
        kept.append(trimmed);
    }
    const WriteLock lock;
    makeKitchenFolder();
    TextWriter writer(staplesPath(), TextWriter::Replace);
    for (const QString &staple : std::as_const(kept))
        writer.writeLine(staple);
    writer.commit();
    useStaples(kept);
}

void Kitchen::setAisle(const QString &ingredientKey, Aisle aisle)
{
    const WriteLock lock;
    QList<std::pair<QString, QString>> records = readAisleRecords();
    const QString name = aisleName(aisle);
    const auto same =
        std::find_if(records.begin(), records.end(), [&](const auto &record) { return record.first == ingredientKey; });
    if (same != records.end())
        same->second = name;
    else
        records.append({ingredientKey, name});
    makeKitchenFolder();
    TextWriter writer(aislesPath(), TextWriter::Replace);
    for (const auto &[key, aisleText] : std::as_const(records))
        writer.writeQuotedFields({key, aisleText});
    writer.commit();

    m_records = std::move(records);
    m_aisles.clear();
    for (const auto &[key, aisleText] : std::as_const(m_records)) {
        if (const std::optional<Aisle> named = aisleNamed(aisleText))
            m_aisles.insert(key, *named);
    }
}

void Kitchen::useStaples(const QStringList &staples)
{
    m_staples = staples;
    m_stapleKeys.clear();
    for (const QString &staple : staples) {
        if (const QString key = readIngredientName(staple).key; !key.isEmpty())
            m_stapleKeys.insert(key);
    }
}

} // namespace store
