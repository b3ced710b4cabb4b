#include "store/interchange/reader.h"

#include "store/interchange/appjson.h"
#include "store/interchange/archive.h"
#include "store/interchange/cooklang.h"
#include "store/interchange/jsonld.h"
#include "store/interchange/mastercook.h"
#include "store/interchange/mealmaster.h"
#include "store/io/container.h"
#include "store/interchange/webpage.h"
#include "store/io/failure.h"
#include "store/io/textcodec.h"
#include "store/io/textfile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <optional>

namespace store::interchange {

namespace {

// How much of a file tells its format, and the largest file of a format that is read whole: reading
// holds the file's text and what is parsed of it, a few times its size.
constexpr qint64 kHeadSize = 64 * 1024;
constexpr qint64 kWholeFileLimit = 64 * 1024 * 1024;

QString tooLarge()
{
    return QStringLiteral("the file is too large to be read (more than %1 MB)").arg(kWholeFileLimit / (1024 * 1024));
}

// A reader of one problem that stands for the whole file.
class ProblemReader : public RecipeReader
{
public:
    explicit ProblemReader(QString problem) : m_problem(std::move(problem)) {}

    std::optional<ReadItem> next() override
    {
        if (m_done)
            return std::nullopt;
        m_done = true;
        return ReadItem{1, m_problem, {}};
    }

    double progress() const override { return m_done ? 1.0 : 0.0; }

private:
    QString m_problem;
    bool m_done = false;
};

// The rest of `device` as text, read and decoded a megabyte at a time, so that a file's bytes are never
// whole in memory beside its text. 75 when reading fails.
QString readText(QIODevice &device, TextEncoding encoding)
{
    constexpr qint64 kSlice = 1024 * 1024;
    const qint64 start = device.pos();
    QString text;
    text.reserve(qsizetype(device.size() - start));
    QStringDecoder decoder(QStringDecoder::Utf8);
    while (!device.atEnd()) {
        const QByteArray slice = device.read(kSlice);
        if (slice.isEmpty())
            throw Failure(Failure::PathFileAccessError);
        if (encoding == TextEncoding::Windows1252) {
            text += decodeWindows1252(slice);
            continue;
        }
        text += decoder.decode(slice);
        if (decoder.hasError() && encoding == TextEncoding::Utf8OrWindows1252) {
            // Not UTF-8 after all: the whole file is Windows-1252, as decodeText() reads it.
            text.clear();
            if (!device.seek(start))
                throw Failure(Failure::PathFileAccessError);
            return readText(device, TextEncoding::Windows1252);
        }
    }
    return text;
}

// The rest of `device` as UTF-8, read a megabyte at a time: the bytes themselves when they are UTF-8 (less
// a byte-order mark), otherwise the bytes read as Windows-1252, as decodeText() reads them. 75 when
// reading fails.
QByteArray readUtf8(QIODevice &device)
{
    constexpr qint64 kSlice = 1024 * 1024;
    QByteArray bytes;
    bytes.reserve(qsizetype(device.size() - device.pos()));
    while (!device.atEnd()) {
        const QByteArray slice = device.read(kSlice);
        if (slice.isEmpty())
            throw Failure(Failure::PathFileAccessError);
        bytes += slice;
    }
    if (!bytes.isValidUtf8())
        return decodeWindows1252(bytes).toUtf8();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    return bytes;
}

// The byte order of a file in UTF-16: the one its byte-order mark gives or, without one, the one a NUL
// beside its first character gives (a file of single bytes has none there).
std::optional<QStringConverter::Encoding> utf16Order(const QByteArray &head)
{
    if (head.startsWith("\xFF\xFE"))
        return QStringConverter::Utf16LE;
    if (head.startsWith("\xFE\xFF"))
        return QStringConverter::Utf16BE;
    if (head.size() >= 2 && (head[0] == 0) != (head[1] == 0))
        return head[1] == 0 ? QStringConverter::Utf16LE : QStringConverter::Utf16BE;
    return std::nullopt;
}

// The rest of `device`, a file in UTF-16, as UTF-8 (without its byte-order mark), decoded a megabyte at a
// time. 75 when reading fails.
QByteArray utf8FromUtf16(QIODevice &device, QStringConverter::Encoding order)
{
    constexpr qint64 kSlice = 1024 * 1024;
    QStringDecoder decoder(order);
    QByteArray utf8;
    utf8.reserve(qsizetype((device.size() - device.pos()) / 2));
    while (!device.atEnd()) {
        const QByteArray slice = device.read(kSlice);
        if (slice.isEmpty())
            throw Failure(Failure::PathFileAccessError);
        utf8 += QString(decoder.decode(slice)).toUtf8();
    }
    return utf8;
}

// The picture beside a Nextcloud Cookbook recipe.json; empty when there is none or it is too large.
QByteArray pictureBeside(const QString &fileName)
{
    if (QFileInfo(fileName).fileName().compare(u"recipe.json", Qt::CaseInsensitive) != 0)
        return {};
    const QDir folder = QFileInfo(fileName).dir();
    for (const char *name : {"full.jpg", "full.jpeg", "full.png", "full.webp"}) {
        QFile picture(folder.filePath(QLatin1String(name)));
        if (picture.size() <= kPictureLimit && picture.open(QIODevice::ReadOnly))
            return picture.readAll();
    }
    return {};
}

// The reader of a zip archive: a file is opened by libzip itself, other devices are read into memory.
std::unique_ptr<RecipeReader> makeZipReader(QIODevice &device)
{
    try {
        if (const auto *file = qobject_cast<QFile *>(&device))
            return makeArchiveReader(ZipArchive::openFile(file->fileName()));
        return makeArchiveReader(ZipArchive::fromBytes(device.readAll()));
    } catch (const ContainerError &error) {
        return std::make_unique<ProblemReader>(QStringLiteral("the zip archive cannot be read: ") + error.message());
    }
}

std::unique_ptr<RecipeReader> makeGzipReader(QIODevice &device)
{
    try {
        return makeJsonReader(QString::fromUtf8(gunzip(device.readAll(), kWholeFileLimit)));
    } catch (const ContainerError &error) {
        return std::make_unique<ProblemReader>(QStringLiteral("the gzip file cannot be read: ") + error.message());
    }
}

} // namespace

Format detectFormat(const QByteArray &head)
{
    if (isZip(head))
        return Format::Zip;
    if (isGzip(head))
        return Format::Gzip;
    QByteArray text = head;
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);
    const QByteArray lower = text.toLower();
    if (lower.contains("<rcpe") || lower.contains("<mx2"))
        return Format::MasterCook;
    const QByteArray start = lower.trimmed().left(16);
    if (start.startsWith('{') || start.startsWith('['))
        return Format::JsonLd;
    if (lower.contains("application/ld+json") || start.startsWith("<!doctype html") || start.startsWith("<html") ||
        start.startsWith("<!-- saved from") || lower.contains("<html"))
        return Format::WebPage;
    if (!lower.contains("mmmmm") && !lower.contains("-----") && looksLikeCooklang(QString::fromUtf8(text)))
        return Format::Cooklang;
    return Format::MealMaster;
}

namespace {

std::unique_ptr<QIODevice> bufferOf(const QByteArray &bytes)
{
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(bytes);
    buffer->open(QIODevice::ReadOnly);
    return buffer;
}

// The reader of `device`, whose bytes are single bytes or UTF-8; `fileName` is the name of the file read,
// if it is one.
std::unique_ptr<RecipeReader> readerOf(std::unique_ptr<QIODevice> device, const QString &fileName)
{
    Format format = detectFormat(device->peek(kHeadSize));
    if (fileName.endsWith(QLatin1String(".cook"), Qt::CaseInsensitive) &&
        (format == Format::MealMaster || format == Format::JsonLd))
        format = Format::Cooklang;
    if (format == Format::MealMaster)
        return makeMealMasterReader(std::move(device));
    if (format == Format::Zip)
        return makeZipReader(*device);
    if (device->size() > kWholeFileLimit)
        return std::make_unique<ProblemReader>(tooLarge());
    switch (format) {
    case Format::MasterCook:
        return makeMasterCookReader(std::move(device));
    case Format::JsonLd:
        return makeJsonReader(readUtf8(*device), pictureBeside(fileName));
    case Format::Gzip:
        return makeGzipReader(*device);
    case Format::Cooklang:
        return makeCooklangReader(readText(*device, TextEncoding::Utf8OrWindows1252),
                                  fileName.isEmpty() ? QString() : QFileInfo(fileName).completeBaseName());
    case Format::WebPage:
    case Format::MealMaster:
    case Format::Zip:
        break;
    }
    return makeWebPageReader(readText(*device, TextEncoding::Utf8OrWindows1252));
}

} // namespace

std::unique_ptr<RecipeReader> makeReader(std::unique_ptr<QIODevice> device)
{
    const auto *file = qobject_cast<QFile *>(device.get());
    const QString fileName = file ? file->fileName() : QString();
    // The readers take single bytes: a file in UTF-16 is read as its text in UTF-8.
    if (const auto order = utf16Order(device->peek(2))) {
        if (device->size() > kWholeFileLimit)
            return std::make_unique<ProblemReader>(tooLarge());
        return readerOf(bufferOf(utf8FromUtf16(*device, *order)), fileName);
    }
    return readerOf(std::move(device), fileName);
}

std::unique_ptr<RecipeReader> makeReader(const QByteArray &bytes)
{
    return makeReader(bufferOf(bytes));
}

} // namespace store::interchange
