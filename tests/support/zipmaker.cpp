#include "tests/support/zipmaker.h"

#include "tests/support/appfolder.h"

#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

#include <zip.h>
#include <zlib.h>

namespace testing {

QByteArray makeZip(const QList<ZipItem> &items)
{
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("made.zip")));
    int code = 0;
    zip_t *zip = zip_open(path.constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!zip)
        qFatal("libzip cannot make %s (%d)", path.constData(), code);
    for (const ZipItem &item : items) {
        // libzip reads the bytes when the archive is closed; the items outlive that.
        zip_source_t *source = zip_source_buffer(zip, item.bytes.constData(), zip_uint64_t(item.bytes.size()), 0);
        if (!source || zip_file_add(zip, item.name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8) < 0)
            qFatal("libzip cannot add %s: %s", qPrintable(item.name), zip_strerror(zip));
    }
    if (zip_close(zip) != 0)
        qFatal("libzip cannot write %s: %s", path.constData(), zip_strerror(zip));
    QFile file(dir.filePath(QStringLiteral("made.zip")));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("the zip just made cannot be read");
    return file.readAll();
}

QList<ZipItem> folderItems(const QString &folder)
{
    const QDir root(QStringLiteral(LARDERON_TEST_DATA "/") + folder);
    QStringList names;
    QDirIterator it(root.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        names.append(root.relativeFilePath(it.next()));
    names.sort();
    QList<ZipItem> items;
    for (const QString &name : std::as_const(names))
        items.append({name, fixture(folder + u'/' + name)});
    return items;
}

QByteArray gzip(const QByteArray &bytes)
{
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, MAX_WBITS + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        qFatal("zlib cannot be started");
    QByteArray out(qsizetype(deflateBound(&stream, uLong(bytes.size()))) + 32, '\0');
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(bytes.constData()));
    stream.avail_in = uInt(bytes.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    if (deflate(&stream, Z_FINISH) != Z_STREAM_END)
        qFatal("zlib cannot compress");
    out.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return out;
}

} // namespace testing
