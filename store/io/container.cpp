#include "store/io/container.h"

#include <QFile>

#include <algorithm>
#include <zip.h>
#include <zlib.h>

namespace store {

namespace {

// How much is unpacked at a time.
constexpr qint64 kSlice = 64 * 1024;

QString libzipError(zip_error_t *error)
{
    return QString::fromUtf8(zip_error_strerror(error));
}

QString tooLarge(qint64 limit)
{
    return QStringLiteral("it unpacks to more than %1 MB").arg(std::max<qint64>(1, limit / (1024 * 1024)));
}

} // namespace

bool isZip(const QByteArray &head)
{
    return head.startsWith("PK\x03\x04") || head.startsWith("PK\x05\x06");
}

bool isGzip(const QByteArray &head)
{
    return head.startsWith("\x1F\x8B");
}

QByteArray gunzip(const QByteArray &bytes, qint64 limit)
{
    if (!isGzip(bytes))
        throw ContainerError(QStringLiteral("it is not gzip-compressed"));
    z_stream stream{};
    // 16 added to the window size reads a gzip header and trailer, and checks the trailer's checksum.
    if (inflateInit2(&stream, MAX_WBITS + 16) != Z_OK)
        throw ContainerError(QStringLiteral("zlib cannot be started"));
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(bytes.constData()));
    stream.avail_in = uInt(bytes.size());
    QByteArray out;
    int result = Z_OK;
    while (result == Z_OK) {
        const qint64 used = out.size();
        if (used > limit) {
            inflateEnd(&stream);
            throw ContainerError(tooLarge(limit));
        }
        out.resize(used + kSlice);
        stream.next_out = reinterpret_cast<Bytef *>(out.data() + used);
        stream.avail_out = uInt(kSlice);
        result = inflate(&stream, Z_NO_FLUSH);
        out.resize(used + kSlice - qint64(stream.avail_out));
        if (result == Z_BUF_ERROR && stream.avail_in > 0)
            result = Z_OK; // room was short, input is left
    }
    inflateEnd(&stream);
    if (result == Z_BUF_ERROR)
        throw ContainerError(QStringLiteral("the gzip data is cut short"));
    if (result != Z_STREAM_END)
        throw ContainerError(QStringLiteral("the gzip data is damaged"));
    if (out.size() > limit)
        throw ContainerError(tooLarge(limit));
    return out;
}

bool isSafeEntryName(const QString &name)
{
    if (name.isEmpty() || name.startsWith(u'/') || name.startsWith(u'\\') || (name.size() >= 2 && name.at(1) == u':'))
        return false;
    const QStringList parts = QString(name).replace(u'\\', u'/').split(u'/');
    return std::none_of(parts.cbegin(), parts.cend(), [](const QString &part) { return part == u".."; });
}

struct ZipArchive::Handle
{
    zip_t *zip = nullptr;
    QByteArray bytes; // what a zip from memory reads; libzip does not copy it

    ~Handle()
    {
        if (zip)
            zip_discard(zip);
    }
};

ZipArchive::ZipArchive(std::unique_ptr<Handle> handle) : m_handle(std::move(handle))
{
    const zip_int64_t count = zip_get_num_entries(m_handle->zip, 0);
    if (count < 0 || count > kMostEntries)
        throw ContainerError(QStringLiteral("it lists more than %1 files").arg(kMostEntries));
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(m_handle->zip, zip_uint64_t(i), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_NAME))
            throw ContainerError(QStringLiteral("its list of files is damaged: ") +
                                 QString::fromUtf8(zip_strerror(m_handle->zip)));
        const QString name = QString::fromUtf8(stat.name);
        if (name.endsWith(u'/'))
            continue;
        if (!isSafeEntryName(name)) {
            m_unsafe.append(name);
            continue;
        }
        const qint64 size = (stat.valid & ZIP_STAT_SIZE) ? qint64(std::min<zip_uint64_t>(stat.size, INT64_MAX)) : 0;
        m_entries.append({qint64(i), name, size});
    }
}

ZipArchive::ZipArchive(ZipArchive &&) noexcept = default;
ZipArchive &ZipArchive::operator=(ZipArchive &&) noexcept = default;
ZipArchive::~ZipArchive() = default;

ZipArchive ZipArchive::openFile(const QString &path)
{
    auto handle = std::make_unique<Handle>();
    int code = 0;
    handle->zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!handle->zip) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        const QString message = libzipError(&error);
        zip_error_fini(&error);
        throw ContainerError(QStringLiteral("it is no zip archive that can be read (%1)").arg(message));
    }
    return ZipArchive(std::move(handle));
}

ZipArchive ZipArchive::fromBytes(QByteArray bytes)
{
    auto handle = std::make_unique<Handle>();
    handle->bytes = std::move(bytes);
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source =
        zip_source_buffer_create(handle->bytes.constData(), zip_uint64_t(handle->bytes.size()), 0, &error);
    if (source)
        handle->zip = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!handle->zip) {
        const QString message = libzipError(&error);
        if (source)
            zip_source_free(source);
        zip_error_fini(&error);
        throw ContainerError(QStringLiteral("it is no zip archive that can be read (%1)").arg(message));
    }
    zip_error_fini(&error);
    return ZipArchive(std::move(handle));
}

QByteArray ZipArchive::read(const Entry &entry, qint64 limit) const
{
    // The declared size may lie; the reading below stops at the limit whatever it says.
    if (entry.size > limit)
        throw ContainerError(tooLarge(limit));
    zip_file_t *file = zip_fopen_index(m_handle->zip, zip_uint64_t(entry.index), 0);
    if (!file)
        throw ContainerError(QStringLiteral("it cannot be read: ") + QString::fromUtf8(zip_strerror(m_handle->zip)));
    QByteArray bytes;
    for (;;) {
        const qint64 used = bytes.size();
        const qint64 room = std::min(kSlice, limit + 1 - used);
        bytes.resize(used + room);
        const zip_int64_t got = zip_fread(file, bytes.data() + used, zip_uint64_t(room));
        if (got < 0) {
            const QString message = QString::fromUtf8(zip_file_strerror(file));
            zip_fclose(file);
            throw ContainerError(QStringLiteral("it is damaged: ") + message);
        }
        bytes.resize(used + got);
        if (bytes.size() > limit) {
            zip_fclose(file);
            throw ContainerError(tooLarge(limit));
        }
        if (got == 0)
            break;
    }
    // A checksum that does not match shows only when the file is closed.
    if (const int closed = zip_fclose(file); closed != 0) {
        zip_error_t error;
        zip_error_init_with_code(&error, closed);
        const QString message = libzipError(&error);
        zip_error_fini(&error);
        throw ContainerError(QStringLiteral("it is damaged: ") + message);
    }
    return bytes;
}

} // namespace store
