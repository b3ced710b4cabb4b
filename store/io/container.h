#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <exception>
#include <memory>

/// Zip and gzip containers, read with libzip and zlib, never unpacked onto the disk: an entry is read
/// into memory, up to a size the caller names, so that a small file that unpacks to gigabytes (a "zip
/// bomb") is refused instead of filling the memory.
namespace store {

/// Why a container could not be read, in words for the import report.
class ContainerError : public std::exception
{
public:
    explicit ContainerError(QString message) : m_message(std::move(message)) {}
    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return "container error"; }

private:
    QString m_message;
};

/// True when `head`, the first bytes of a file, begins a zip archive (an empty one too).
bool isZip(const QByteArray &head);
/// True when `head` begins gzip-compressed data.
bool isGzip(const QByteArray &head);

/// `bytes` unpacked from gzip. ContainerError when they are not gzip data, are cut short or damaged, or
/// unpack to more than `limit` bytes.
QByteArray gunzip(const QByteArray &bytes, qint64 limit);

/// A zip archive open for reading, from a file or from bytes in memory.
class ZipArchive
{
public:
    /// One file of the archive; folders are not listed.
    struct Entry
    {
        qint64 index = 0;
        QString name;    ///< the path inside the archive, "/" between folders
        qint64 size = 0; ///< the unpacked size the archive declares
    };

    /// The most entries an archive may list.
    static constexpr qint64 kMostEntries = 100000;

    /// Opens the zip archive at `path`. ContainerError when it is missing, cannot be read, is no zip
    /// archive or is damaged, or lists more than kMostEntries entries.
    static ZipArchive openFile(const QString &path);
    /// Opens the zip archive held in `bytes`, which it keeps. ContainerError as openFile().
    static ZipArchive fromBytes(QByteArray bytes);

    ZipArchive(ZipArchive &&) noexcept;
    ZipArchive &operator=(ZipArchive &&) noexcept;
    ~ZipArchive();

    /// The files of the archive in archive order. Entries whose names could lead out of a folder they
    /// were unpacked in ("../", an absolute path, a drive letter) are in `unsafe` instead.
    const QList<Entry> &entries() const { return m_entries; }
    const QStringList &unsafe() const { return m_unsafe; }

    /// The unpacked bytes of `entry`. ContainerError when it declares or unpacks to more than `limit`
    /// bytes, or is damaged (its checksum does not match) or encrypted; the message does not name the entry.
    QByteArray read(const Entry &entry, qint64 limit) const;

private:
    struct Handle;
    explicit ZipArchive(std::unique_ptr<Handle> handle);

    std::unique_ptr<Handle> m_handle;
    QList<Entry> m_entries;
    QStringList m_unsafe;
};

/// Whether an entry named `name` stays inside the folder it would be unpacked in.
bool isSafeEntryName(const QString &name);

} // namespace store
