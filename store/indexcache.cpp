#include "store/indexcache.h"

#include "store/appfolder.h"
#include "store/io/workfolder.h"
#include "store/io/failure.h"
#include "store/io/textfile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSet>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <memory>
#include <optional>

#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace store::indexcache {

namespace {

// Change the version with any change of the layout of the file or of the index, or of what a word is.
constexpr char kMagic[8] = {'L', 'R', 'D', 'I', 'N', 'D', 'E', 'X'};
constexpr quint32 kVersion = 7;
const QString kPrefix = QStringLiteral("index-");

struct Header
{
    char magic[8];
    quint32 version;
    quint32 unreadable;
    qint64 modified;
    qint64 readAt;
    quint64 checksum; ///< of the header, the folder's name, the late blocks' checksums and the index up to its
                      ///< late part
    quint32 nameBytes;
    quint32 lateBlocks;
    quint64 blobWords;
    quint64 lateFrom; ///< where the index's late part begins (WordIndex::lateFrom()), in numbers
};

// The late part of the index, what only some searches read, is checked a block at a time when a search first
// needs the block: a start then reads the rest of the file, not all of it.
constexpr size_t kLateBlockBytes = 1 << 16;

// A checksum of bytes added in turn: sums of 64-bit words and sums of those sums in four lanes, each mixed
// whole into the result. Any change of one word, and most changes of more, show; a file made on purpose to
// pass it is not looked for.
class Checksum
{
public:
    static constexpr size_t kBlock = 32;

    /// Adds `size` bytes, a multiple of kBlock.
    void add(const char *data, size_t size)
    {
        // The four lanes as two vectors of two, in locals so that they stay in registers: members would be
        // written back at every step, as `data` might be them.
        using Lanes = quint64 __attribute__((vector_size(16)));
        Lanes sums01 = {m_sums[0], m_sums[1]}, sums23 = {m_sums[2], m_sums[3]};
        Lanes sumsOfSums01 = {m_sumsOfSums[0], m_sumsOfSums[1]}, sumsOfSums23 = {m_sumsOfSums[2], m_sumsOfSums[3]};
        for (size_t i = 0; i + kBlock <= size; i += kBlock) {
            Lanes low, high;
            std::memcpy(&low, data + i, sizeof low);
            std::memcpy(&high, data + i + sizeof low, sizeof high);
            sums01 += low;
            sums23 += high;
            sumsOfSums01 += sums01;
            sumsOfSums23 += sums23;
        }
        m_sums[0] = sums01[0], m_sums[1] = sums01[1], m_sums[2] = sums23[0], m_sums[3] = sums23[1];
        m_sumsOfSums[0] = sumsOfSums01[0], m_sumsOfSums[1] = sumsOfSums01[1];
        m_sumsOfSums[2] = sumsOfSums23[0], m_sumsOfSums[3] = sumsOfSums23[1];
        m_size += size;
    }
    /// The sum of what was added and of `tail`, fewer than kBlock bytes.
    quint64 finish(const char *tail, size_t size)
    {
        char last[kBlock] = {};
        std::memcpy(last, tail, size);
        add(last, kBlock);
        // Each sum is mixed through all of its bits before it meets the next. A multiplication alone carries
        // a change only towards the higher bits: a change in a number's highest byte, which changes only the
        // highest byte of its sums, was then undone by its sum of sums' change for some values.
        quint64 sum = mixed(m_size - kBlock + size);
        for (int lane = 0; lane < 4; ++lane) {
            sum = mixed(sum ^ mixed(m_sums[lane]));
            sum = mixed(sum ^ mixed(m_sumsOfSums[lane]));
        }
        return sum;
    }

private:
    // Each bit of `x` changes about half of the result's, and no two `x` give one result (the finaliser of
    // MurmurHash3).
    static quint64 mixed(quint64 x)
    {
        x ^= x >> 33;
        x *= 0xFF51AFD7ED558CCDull;
        x ^= x >> 33;
        x *= 0xC4CEB9FE1A85EC53ull;
        return x ^ (x >> 33);
    }

    quint64 m_sums[4] = {1, 2, 3, 4};
    quint64 m_sumsOfSums[4] = {0, 0, 0, 0};
    size_t m_size = 0;
};

/// `sum` with the `size` bytes at `data` added, finished.
quint64 finished(Checksum sum, const char *data, size_t size)
{
    const size_t whole = size - size % Checksum::kBlock;
    sum.add(data, whole);
    return sum.finish(data + whole, size - whole);
}

/// The checksum of late block `block` of the file that `header` heads: of its place and its file's times as
/// well, so that a block of another place or file fails it.
quint64 lateBlockChecksum(const Header &header, quint64 block, const char *data, size_t size)
{
    const quint64 place[4] = {block, quint64(header.modified), quint64(header.readAt), header.blobWords};
    Checksum sum;
    sum.add(reinterpret_cast<const char *>(place), sizeof place);
    return finished(sum, data, size);
}

/// A checksum begun with `header`, but for its own checksum field: the bytes that follow are added to it.
Checksum begunWith(Header header)
{
    static_assert(sizeof(Header) % Checksum::kBlock == 0);
    header.checksum = 0;
    Checksum sum;
    sum.add(reinterpret_cast<const char *>(&header), sizeof header);
    return sum;
}

/// Reads `size` bytes of `fd` from where it is, or fewer at its end.
size_t readFully(int fd, char *into, size_t size)
{
    size_t got = 0;
    while (got < size) {
        const ssize_t part = ::read(fd, into + got, size - got);
        if (part < 0 && errno == EINTR)
            continue;
        if (part <= 0)
            break;
        got += size_t(part);
    }
    return got;
}

/// The checksum of the `size` bytes of `fd` from where it is, read through a small buffer: summing the bytes
/// while the buffer is in the processor's cache costs little more than reading them, where summing a mapping
/// of the file costs several times that on some machines (every page of it a miss of the address cache).
std::optional<quint64> checksumOfRest(int fd, size_t size, Checksum sum)
{
    constexpr size_t kBuffer = 1 << 16;
    static_assert(kBuffer % Checksum::kBlock == 0);
    std::unique_ptr<char[]> buffer(new char[kBuffer]);
    while (size >= kBuffer) {
        if (readFully(fd, buffer.get(), kBuffer) != kBuffer)
            return std::nullopt;
        sum.add(buffer.get(), kBuffer);
        size -= kBuffer;
    }
    if (readFully(fd, buffer.get(), size) != size)
        return std::nullopt;
    return finished(sum, buffer.get(), size);
}

/// The late blocks of a mapped cache file, each checked when first asked for: read through a buffer, as the
/// file was at its start, rather than from the mapping, whose pages are then touched only as a search reads
/// them. Used from any thread: a block checked twice at once is checked twice, to the same end.
class LateBlocks final : public WordIndex::LateCheck
{
public:
    LateBlocks(int fd, const Header &header, std::shared_ptr<const void> mapping, const quint64 *checksums,
               qint64 lateAt)
        : m_fd(fd), m_header(header), m_mapping(std::move(mapping)), m_checksums(checksums), m_lateAt(lateAt),
          m_states(std::make_unique<std::atomic<quint8>[]>(header.lateBlocks))
    {}
    ~LateBlocks() override { ::close(m_fd); }

    bool holds(size_t from, size_t to) const override
    {
        if (from >= to || to <= m_header.lateFrom)
            return true;
        from = std::max<size_t>(from, m_header.lateFrom);
        const size_t first = (from - m_header.lateFrom) * sizeof(quint32) / kLateBlockBytes;
        const size_t last = ((to - m_header.lateFrom) * sizeof(quint32) - 1) / kLateBlockBytes;
        for (size_t block = first; block <= last; ++block) {
            if (block >= m_header.lateBlocks)
                return false;
            quint8 state = m_states[block].load(std::memory_order_acquire);
            if (state == Unknown) {
                state = check(block) ? Whole : Damaged;
                m_states[block].store(state, std::memory_order_release);
            }
            if (state == Damaged)
                return false;
        }
        return true;
    }

private:
    enum State : quint8 { Unknown, Whole, Damaged };

    bool check(size_t block) const
    {
        const qint64 lateBytes = qint64(m_header.blobWords - m_header.lateFrom) * qint64(sizeof(quint32));
        const qint64 at = qint64(block * kLateBlockBytes);
        const size_t size = size_t(std::min<qint64>(qint64(kLateBlockBytes), lateBytes - at));
        std::unique_ptr<char[]> buffer(new char[kLateBlockBytes]);
        size_t got = 0;
        while (got < size) {
            const ssize_t part = ::pread(m_fd, buffer.get() + got, size - got, m_lateAt + at + qint64(got));
            if (part < 0 && errno == EINTR)
                continue;
            if (part <= 0)
                return false;
            got += size_t(part);
        }
        return lateBlockChecksum(m_header, block, buffer.get(), size) == m_checksums[block];
    }

    const int m_fd;
    const Header m_header;
    const std::shared_ptr<const void> m_mapping;
    const quint64 *const m_checksums; ///< in the mapping
    const qint64 m_lateAt;            ///< where the late part begins in the file
    const std::unique_ptr<std::atomic<quint8>[]> m_states;
};

quint64 lateBlocksFor(quint64 lateWords)
{
    return (lateWords * sizeof(quint32) + kLateBlockBytes - 1) / kLateBlockBytes;
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
    int fd = ::open(QFile::encodeName(pathFor(folderName)).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    auto closed = qScopeGuard([fd] { ::close(fd); });
    struct stat info;
    const size_t size = ::fstat(fd, &info) == 0 && info.st_size > 0 ? size_t(info.st_size) : 0;
    Header header;
    if (size < sizeof header || readFully(fd, reinterpret_cast<char *>(&header), sizeof header) != sizeof header)
        return std::nullopt;
    const QByteArray name = paddedName(folderName);
    const size_t tables = size_t(name.size()) + size_t(header.lateBlocks) * sizeof(quint64);
    if (std::memcmp(header.magic, kMagic, sizeof kMagic) != 0 || header.version != kVersion ||
        header.modified != modified || header.readAt - header.modified < kRacyNs ||
        header.nameBytes != quint32(name.size()) || header.blobWords > size / sizeof(quint32) ||
        header.lateFrom > header.blobWords || header.lateBlocks != lateBlocksFor(header.blobWords - header.lateFrom) ||
        size != sizeof header + tables + header.blobWords * sizeof(quint32))
        return std::nullopt;
    // What every search reads is checked now, through a small buffer: summing the bytes while the buffer is in
    // the processor's cache costs little more than reading them, where summing a mapping of the file costs
    // several times that on some machines (every page of it new to the process). The late part is checked a
    // block at a time, by LateBlocks, as searches need it.
    if (checksumOfRest(fd, tables + header.lateFrom * sizeof(quint32), begunWith(header)) != header.checksum)
        return std::nullopt;
    // The file is then mapped, not copied: the index reads the system's cache of it, and a search touches only
    // the pages it needs. It stays the file just summed: a cache file is never changed in place (write() puts
    // a new file in its place), so the mapping stays whole while the index keeps it, whatever happens to the
    // file's name meanwhile.
    void *mapped = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (mapped == MAP_FAILED)
        return std::nullopt;
    std::shared_ptr<const void> kept(mapped, [size](const void *at) { ::munmap(const_cast<void *>(at), size); });
    const char *bytes = static_cast<const char *>(mapped) + sizeof header;
    if (std::memcmp(bytes, name.constData(), size_t(name.size())) != 0)
        return std::nullopt;
    closed.dismiss(); // the late blocks read it
    const auto *checksums = reinterpret_cast<const quint64 *>(bytes + name.size());
    auto late = std::make_shared<const LateBlocks>(fd, header, kept, checksums,
                                                   qint64(sizeof header + tables + header.lateFrom * sizeof(quint32)));
    // The checksum shows the file to be the one written, which held a whole index: its layout is checked, not
    // each number again.
    const auto *blob = reinterpret_cast<const quint32 *>(bytes + tables);
    std::optional<WordIndex> index =
        WordIndex::fromMemory(std::move(kept), blob, header.blobWords, WordIndex::Written, std::move(late));
    if (!index || index->lateFrom() != header.lateFrom)
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
    header.lateFrom = entry.index.lateFrom();
    header.lateBlocks = quint32(lateBlocksFor(header.blobWords - header.lateFrom));
    std::vector<quint64> checksums(header.lateBlocks);
    const char *late = reinterpret_cast<const char *>(blob.data() + header.lateFrom);
    const size_t lateBytes = (header.blobWords - header.lateFrom) * sizeof(quint32);
    for (size_t block = 0; block < checksums.size(); ++block) {
        const size_t at = block * kLateBlockBytes;
        checksums[block] = lateBlockChecksum(header, block, late + at, std::min(kLateBlockBytes, lateBytes - at));
    }
    QByteArray bytes;
    const qsizetype tables = name.size() + qsizetype(checksums.size() * sizeof(quint64));
    bytes.reserve(qsizetype(sizeof header) + tables + qsizetype(blob.size() * sizeof(quint32)));
    bytes.append(reinterpret_cast<const char *>(&header), sizeof header);
    bytes.append(name);
    bytes.append(reinterpret_cast<const char *>(checksums.data()), qsizetype(checksums.size() * sizeof(quint64)));
    bytes.append(reinterpret_cast<const char *>(blob.data()), qsizetype(blob.size() * sizeof(quint32)));
    header.checksum = finished(begunWith(header), bytes.constData() + sizeof header,
                               size_t(tables) + header.lateFrom * sizeof(quint32));
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
