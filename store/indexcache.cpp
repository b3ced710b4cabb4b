#include "store/indexcache.h"

#include "store/appfolder.h"
#include "store/io/workfolder.h"
#include "store/io/failure.h"
#include "store/io/textfile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace store::indexcache {

namespace {

// Change the version with any change of the layout of the file or of the index, or of what a word is.
constexpr char kMagic[8] = {'L', 'R', 'D', 'I', 'N', 'D', 'E', 'X'};
constexpr quint32 kVersion = 3;
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

// A checksum of `size` bytes: sums of 64-bit words and sums of those sums in four lanes, kept as two vectors
// of two lanes each so that they stay in registers (a plain array of four was written back to memory at
// every step, which made the check several times slower than reading the bytes). Any change of one word,
// and most changes of more, show; a file made on purpose to pass it is not looked for.
quint64 checksum(const char *data, size_t size)
{
    using Lanes = quint64 __attribute__((vector_size(16)));
    Lanes sums01 = {1, 2}, sums23 = {3, 4}, sumsOfSums01 = {0, 0}, sumsOfSums23 = {0, 0};
    const auto add = [&](const char *block) {
        Lanes low, high;
        std::memcpy(&low, block, sizeof low);
        std::memcpy(&high, block + sizeof low, sizeof high);
        sums01 += low;
        sums23 += high;
        sumsOfSums01 += sums01;
        sumsOfSums23 += sums23;
    };
    size_t i = 0;
    for (; i + 32 <= size; i += 32)
        add(data + i);
    char last[32] = {};
    std::memcpy(last, data + i, size - i);
    add(last);
    const quint64 sums[4] = {sums01[0], sums01[1], sums23[0], sums23[1]};
    const quint64 sumsOfSums[4] = {sumsOfSums01[0], sumsOfSums01[1], sumsOfSums23[0], sumsOfSums23[1]};
    constexpr quint64 kPrime = 0x9E3779B97F4A7C15ull;
    quint64 sum = size;
    for (int lane = 0; lane < 4; ++lane)
        sum = (((sum ^ sums[lane]) * kPrime) ^ sumsOfSums[lane]) * kPrime;
    return sum ^ (sum >> 29);
}

QByteArray paddedName(const QString &folderName)
{
    QByteArray name = folderName.toUtf8();
    name.append(QByteArray((8 - name.size() % 8) % 8, '\0'));
    return name;
}

} // namespace

QString pathFor(const QString &folderName)
{
    const QByteArray hash = QCryptographicHash::hash(folderName.toUtf8(), QCryptographicHash::Md5).toHex();
    return workFolderPath() + QLatin1Char('/') + kPrefix + QString::fromLatin1(hash);
}

std::optional<Entry> read(const QString &folderName, qint64 modified)
{
    const int fd = ::open(QFile::encodeName(pathFor(folderName)).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    // The file is mapped, not copied: the index then reads the system's cache of it. A cache file is never
    // changed in place (write() puts a new file in its place), so the mapping stays whole while the index
    // keeps it, whatever happens to the file's name meanwhile.
    struct stat info;
    const size_t size = ::fstat(fd, &info) == 0 && info.st_size > 0 ? size_t(info.st_size) : 0;
    void *mapped = size >= sizeof(Header) ? ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0)
                                          : MAP_FAILED;
    ::close(fd);
    if (mapped == MAP_FAILED)
        return std::nullopt;
    std::shared_ptr<const void> kept(mapped, [size](const void *at) { ::munmap(const_cast<void *>(at), size); });
    Header header;
    std::memcpy(&header, mapped, sizeof header);
    const char *bytes = static_cast<const char *>(mapped) + sizeof header;
    const size_t rest = size - sizeof header;
    const QByteArray name = paddedName(folderName);
    if (rest <= size_t(name.size()) || rest % sizeof(quint32) != 0 ||
        std::memcmp(header.magic, kMagic, sizeof kMagic) != 0 || header.version != kVersion ||
        header.modified != modified || header.readAt - header.modified < kRacyNs ||
        header.nameBytes != quint32(name.size()) || std::memcmp(bytes, name.constData(), size_t(name.size())) != 0 ||
        header.blobWords != (rest - size_t(name.size())) / sizeof(quint32) || checksum(bytes, rest) != header.checksum)
        return std::nullopt;
    // The checksum shows the file to be the one written, which held a whole index: its layout is checked, not
    // each number again.
    const auto *blob = reinterpret_cast<const quint32 *>(bytes + name.size());
    std::optional<WordIndex> index = WordIndex::fromMemory(std::move(kept), blob, header.blobWords, WordIndex::Written);
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
    const std::span<const quint32> blob = entry.index.blob();
    Header header{};
    std::memcpy(header.magic, kMagic, sizeof kMagic);
    header.version = kVersion;
    header.unreadable = quint32(entry.unreadable);
    header.modified = entry.modified;
    header.readAt = entry.readAt;
    header.nameBytes = quint32(name.size());
    header.blobWords = blob.size();
    QByteArray bytes;
    bytes.reserve(qsizetype(sizeof header) + name.size() + qsizetype(blob.size() * sizeof(quint32)));
    bytes.append(reinterpret_cast<const char *>(&header), sizeof header);
    bytes.append(name);
    bytes.append(reinterpret_cast<const char *>(blob.data()), qsizetype(blob.size() * sizeof(quint32)));
    header.checksum = checksum(bytes.constData() + sizeof header, size_t(bytes.size()) - sizeof header);
    std::memcpy(bytes.data(), &header, sizeof header);
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
