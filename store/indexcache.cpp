#include "store/indexcache.h"

#include "store/appfolder.h"
#include "store/failure.h"
#include "store/textfile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cstring>

namespace store::indexcache {

namespace {

// Change the version with any change of the layout of the file or of the index, or of what a word is.
constexpr char kMagic[8] = {'L', 'R', 'D', 'I', 'N', 'D', 'E', 'X'};
constexpr quint32 kVersion = 1;
const QString kPrefix = QStringLiteral("index-");

struct Header
{
    char magic[8];
    quint32 version;
    quint32 unreadable;
    qint64 modified;
    qint64 readAt;
    quint64 checksum; ///< of the folder's name and the index
    quint32 nameBytes;
    quint32 reserved;
    quint64 blobWords;
};

// A checksum of `size` bytes (a multiple of 8) in four lanes, a few bytes per cycle: damage shows, a file
// made on purpose to pass it is not looked for.
quint64 checksum(const void *data, size_t size, quint64 seed)
{
    constexpr quint64 kPrime = 0x9E3779B97F4A7C15ull;
    quint64 lanes[4] = {seed, seed ^ 1, seed ^ 2, seed ^ 3};
    const auto *bytes = static_cast<const unsigned char *>(data);
    size_t i = 0;
    for (; i + 32 <= size; i += 32) {
        for (int lane = 0; lane < 4; ++lane) {
            quint64 word;
            std::memcpy(&word, bytes + i + 8 * lane, 8);
            lanes[lane] = (lanes[lane] ^ word) * kPrime;
            lanes[lane] ^= lanes[lane] >> 31;
        }
    }
    for (; i < size; i += 8) {
        quint64 word = 0;
        std::memcpy(&word, bytes + i, std::min<size_t>(8, size - i));
        lanes[0] = ((lanes[0] ^ word) * kPrime) ^ (lanes[0] >> 31);
    }
    quint64 sum = size;
    for (const quint64 lane : lanes)
        sum = (sum ^ lane) * kPrime;
    return sum ^ (sum >> 29);
}

QByteArray paddedName(const QString &folderName)
{
    QByteArray name = folderName.toUtf8();
    name.append(QByteArray((8 - name.size() % 8) % 8, '\0'));
    return name;
}

quint64 checksumOf(const QByteArray &name, const std::vector<quint32> &blob)
{
    const quint64 seed = checksum(name.constData(), size_t(name.size()), kVersion);
    return checksum(blob.data(), blob.size() * sizeof(quint32), seed);
}

} // namespace

QString pathFor(const QString &folderName)
{
    const QByteArray hash = QCryptographicHash::hash(folderName.toUtf8(), QCryptographicHash::Md5).toHex();
    return workFolderPath() + QLatin1Char('/') + kPrefix + QString::fromLatin1(hash);
}

std::optional<Entry> read(const QString &folderName, qint64 modified)
{
    QFile file(pathFor(folderName));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    Header header;
    if (file.read(reinterpret_cast<char *>(&header), sizeof header) != qint64(sizeof header) ||
        std::memcmp(header.magic, kMagic, sizeof kMagic) != 0 || header.version != kVersion ||
        header.modified != modified || header.readAt - header.modified < kRacyNs || header.nameBytes > 4096)
        return std::nullopt;
    const QByteArray name = file.read(header.nameBytes);
    const QByteArray expected = paddedName(folderName);
    if (name != expected || header.blobWords != quint64(file.size() - file.pos()) / sizeof(quint32) ||
        (file.size() - file.pos()) % sizeof(quint32) != 0)
        return std::nullopt;
    std::vector<quint32> blob(header.blobWords);
    const qint64 bytes = qint64(blob.size() * sizeof(quint32));
    if (file.read(reinterpret_cast<char *>(blob.data()), bytes) != bytes || checksumOf(name, blob) != header.checksum)
        return std::nullopt;
    std::optional<WordIndex> index = WordIndex::fromBlob(std::move(blob));
    if (!index)
        return std::nullopt;
    return Entry{header.modified, header.readAt, int(header.unreadable), std::move(*index)};
}

bool write(const QString &folderName, const Entry &entry)
{
    const QString path = pathFor(folderName);
    if (entry.readAt - entry.modified < kRacyNs) {
        QFile::remove(path); // stale: the folder changed since it was written
        return false;
    }
    const QByteArray name = paddedName(folderName);
    const std::vector<quint32> &blob = entry.index.blob();
    Header header{};
    std::memcpy(header.magic, kMagic, sizeof kMagic);
    header.version = kVersion;
    header.unreadable = quint32(entry.unreadable);
    header.modified = entry.modified;
    header.readAt = entry.readAt;
    header.checksum = checksumOf(name, blob);
    header.nameBytes = quint32(name.size());
    header.blobWords = blob.size();
    QByteArray bytes;
    bytes.reserve(qsizetype(sizeof header) + name.size() + qsizetype(blob.size() * sizeof(quint32)));
    bytes.append(reinterpret_cast<const char *>(&header), sizeof header);
    bytes.append(name);
    bytes.append(reinterpret_cast<const char *>(blob.data()), qsizetype(blob.size() * sizeof(quint32)));
    try {
        QDir().mkpath(workFolderPath());
        // Not synced: a cache lost to a power cut is read again, and a damaged one fails its checksum.
        TextWriter writer(path, TextWriter::Replace, Durability::Deferred);
        writer.writeBytes(bytes);
        writer.commit();
        return true;
    } catch (const Failure &) {
        return false;
    }
}

void removeOthers(const QStringList &folderNames)
{
    QSet<QString> kept;
    for (const QString &folderName : folderNames)
        kept.insert(QFileInfo(pathFor(folderName)).fileName());
    const QDir work(workFolderPath());
    for (const QString &name : work.entryList({kPrefix + QLatin1Char('*')}, QDir::Files | QDir::Hidden)) {
        if (!kept.contains(name))
            QFile::remove(work.filePath(name));
    }
}

} // namespace store::indexcache
