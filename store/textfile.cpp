#include "store/textfile.h"

#include "store/failure.h"
#include "store/folderindex.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QStringDecoder>

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

namespace store {

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; its five unassigned bytes map to the C1 controls.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString decodeCp1252(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        *out++ = (c >= 0x80 && c < 0xA0) ? QChar(kCp1252High[c - 0x80]) : QChar(c);
    }
    return text;
}

bool isLineBreak(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QString withUnixLineBreaks(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QByteArray encodeForDisk(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text.toUtf8();
}

bool parentExists(const QString &path)
{
    return QFileInfo(QFileInfo(path).absolutePath()).isDir();
}

// The permissions a newly made file gets: everyone may read and write, less the process's umask.
QFileDevice::Permissions newFilePermissions()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    QFileDevice::Permissions permissions;
    const std::pair<mode_t, QFileDevice::Permissions> bits[] = {
        {S_IRUSR, QFileDevice::ReadOwner | QFileDevice::ReadUser},
        {S_IWUSR, QFileDevice::WriteOwner | QFileDevice::WriteUser},
        {S_IRGRP, QFileDevice::ReadGroup},
        {S_IWGRP, QFileDevice::WriteGroup},
        {S_IROTH, QFileDevice::ReadOther},
        {S_IWOTH, QFileDevice::WriteOther},
    };
    for (const auto &[bit, permission] : bits) {
        if (!(mask & bit))
            permissions |= permission;
    }
    return permissions;
}

} // namespace

QString decodeText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return decodeCp1252(bytes);
}

TextReader::TextReader(QString text)
    : m_text(std::move(text))
{
}

TextReader TextReader::open(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir())
        throw Failure(Failure::PathFileAccessError);
    if (!info.exists())
        throw Failure(parentExists(path) ? Failure::FileNotFound : Failure::PathNotFound);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(Failure::PathFileAccessError);
    return fromDevice(file);
}

TextReader TextReader::fromDevice(QIODevice &device)
{
    const QByteArray bytes = device.readAll();
    // readAll() returns what it got before a read failed; only the position tells that text is missing.
    if (!device.atEnd())
        throw Failure(Failure::PathFileAccessError);
    return TextReader(decodeText(bytes));
}

bool TextReader::atLineEnd(qsizetype pos) const
{
    return pos < m_text.size() && isLineBreak(m_text.at(pos));
}

void TextReader::skipLineEnd()
{
    if (m_pos < m_text.size() && m_text.at(m_pos) == QLatin1Char('\r'))
        ++m_pos;
    if (m_pos < m_text.size() && m_text.at(m_pos) == QLatin1Char('\n'))
        ++m_pos;
}

QString TextReader::readLine()
{
    if (atEnd())
        throw Failure(Failure::InputPastEndOfFile);
    const qsizetype start = m_pos;
    while (m_pos < m_text.size() && !isLineBreak(m_text.at(m_pos)))
        ++m_pos;
    const QString line = m_text.sliced(start, m_pos - start);
    skipLineEnd();
    return line;
}

QString TextReader::readField()
{
    const qsizetype size = m_text.size();
    while (m_pos < size && isBlank(m_text.at(m_pos)))
        ++m_pos;
    if (atEnd())
        throw Failure(Failure::InputPastEndOfFile);

    QString field;
    if (m_text.at(m_pos) == QLatin1Char('"')) {
        ++m_pos;
        while (m_pos < size) {
            const QChar c = m_text.at(m_pos++);
            if (c == QLatin1Char('"')) {
                if (m_pos < size && m_text.at(m_pos) == QLatin1Char('"')) {
                    field.append(c);
                    ++m_pos;
                    continue;
                }
                break;
            }
            if (c == QLatin1Char('\r')) {
                if (m_pos < size && m_text.at(m_pos) == QLatin1Char('\n'))
                    ++m_pos;
                field.append(QLatin1Char('\n'));
                continue;
            }
            field.append(c);
        }
        // Whatever follows the closing quote up to the delimiter is not part of the field.
        while (m_pos < size && m_text.at(m_pos) != QLatin1Char(',') && !isLineBreak(m_text.at(m_pos)))
            ++m_pos;
    } else {
        const qsizetype start = m_pos;
        while (m_pos < size && m_text.at(m_pos) != QLatin1Char(',') && !isLineBreak(m_text.at(m_pos)))
            ++m_pos;
        qsizetype end = m_pos;
        while (end > start && isBlank(m_text.at(end - 1)))
            --end;
        field = m_text.sliced(start, end - start);
    }

    if (m_pos < size && m_text.at(m_pos) == QLatin1Char(','))
        ++m_pos;
    else
        skipLineEnd();
    return field;
}

QString TextReader::readAll()
{
    QString rest = withUnixLineBreaks(m_text.sliced(m_pos));
    m_pos = m_text.size();
    return rest;
}

TextWriter::TextWriter(const QString &path, Mode mode)
{
    const QFileInfo info(path);
    if (info.isDir())
        throw Failure(Failure::PathFileAccessError);
    if (!parentExists(path))
        throw Failure(Failure::PathNotFound);
    if (info.exists() && !(info.permissions() & QFileDevice::WriteOwner))
        throw Failure(Failure::PathFileAccessError);

    QByteArray kept;
    if (mode == Append && info.exists()) {
        QFile old(path);
        if (!old.open(QIODevice::ReadOnly))
            throw Failure(Failure::PathFileAccessError);
        // A Windows-1252 file becomes UTF-8, so that the whole file stays in one encoding.
        kept = decodeText(old.readAll()).toUtf8();
        // A hand-edited file may lack its last line break; what is appended still starts a line.
        if (!kept.isEmpty() && !kept.endsWith('\n') && !kept.endsWith('\r'))
            kept.append("\r\n");
    }

    m_path = info.absoluteFilePath();
    m_file = std::make_unique<QTemporaryFile>(m_path + QStringLiteral(".XXXXXX"));
    if (!m_file->open())
        throw Failure(Failure::PermissionDenied);
    m_file->setPermissions(info.exists() ? info.permissions() : newFilePermissions());
    m_device = m_file.get();
    if (!kept.isEmpty() && m_device->write(kept) != kept.size())
        throw Failure(Failure::DiskFull);
}

TextWriter::TextWriter(QIODevice &device)
    : m_device(&device)
{
}

TextWriter::~TextWriter() = default;

void TextWriter::write(const QString &text)
{
    const QByteArray bytes = encodeForDisk(text);
    if (m_device->write(bytes) != bytes.size())
        throw Failure(Failure::DiskFull);
}

void TextWriter::writeLine(const QString &text)
{
    write(text + QLatin1Char('\n'));
}

void TextWriter::writeQuotedFields(const QStringList &fields)
{
    QString record;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            record.append(QLatin1Char(','));
        record.append(QLatin1Char('"'));
        record.append(QString(fields.at(i)).replace(QLatin1Char('"'), QLatin1String("\"\"")));
        record.append(QLatin1Char('"'));
    }
    writeLine(record);
}

void TextWriter::commit()
{
    if (!m_file)
        return;
    if (!m_file->flush())
        throw Failure(Failure::DiskFull);
    m_file->close();
    // A rename replaces the file in one step. The data is not forced to the disk first: a save is a
    // user's keystroke, and the file systems in use keep a renamed-over file's data in order.
    if (std::rename(QFile::encodeName(m_file->fileName()).constData(), QFile::encodeName(m_path).constData()) != 0)
        throw Failure(errno == ENOSPC ? Failure::DiskFull : Failure::PathFileAccessError);
    m_file->setAutoRemove(false);
    m_file.reset();
    folderindex::added(m_path);
}

} // namespace store
