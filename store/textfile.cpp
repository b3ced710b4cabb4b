#include "store/textfile.h"

#include "store/failure.h"
#include "store/folderindex.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStringDecoder>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace store {

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; its five unassigned bytes map to the C1 controls.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString decodeCp1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        *out++ = (c >= 0x80 && c < 0xA0) ? QChar(kCp1252High[c - 0x80]) : QChar(c);
    }
    return text;
}

// The most bytes the read buffer of TextReader::open() keeps between two files.
constexpr qsizetype kKeptBuffer = 64 * 1024;

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
    if (text.contains(QLatin1Char('\r')))
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (text.contains(QLatin1Char('\n')))
        text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text.toUtf8();
}

bool parentExists(const QString &path)
{
    return QFileInfo(QFileInfo(path).absolutePath()).isDir();
}

// Makes a new, empty sibling of `target` with a unique name and returns its descriptor, or -1 with errno
// set. The file gets `mode` less the process's umask, as any new file does.
int createSibling(const QByteArray &target, mode_t mode, QByteArray *name)
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QByteArray candidate = target + '.';
        quint64 random = QRandomGenerator::global()->generate64();
        for (int i = 0; i < 6; ++i, random /= sizeof kLetters - 1)
            candidate += kLetters[random % (sizeof kLetters - 1)];
        const int fd = ::open(candidate.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0) {
            *name = candidate;
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}

// The permissions of the file at `path` when there is one that may be replaced, none when there is no
// file. 75 for a folder, and for a read-only file: a rename would replace it without a word, where writing
// it in place would fail.
std::optional<mode_t> checkReplaceable(const QByteArray &path)
{
    struct stat existing;
    if (::stat(path.constData(), &existing) != 0)
        return std::nullopt;
    if (S_ISDIR(existing.st_mode) || !(existing.st_mode & S_IWUSR))
        throw Failure(Failure::PathFileAccessError);
    return existing.st_mode & 07777;
}

} // namespace

QString decodeWindows1252(QByteArrayView bytes)
{
    return decodeCp1252(bytes);
}

QString decodeText(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return decodeWindows1252(bytes);
}

TextReader::TextReader(QString text) : m_text(std::move(text))
{}

TextReader TextReader::open(const QString &path)
{
    // One open and reads, as few calls as can be: a search reads thousands of files in a row.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            throw Failure(parentExists(path) ? Failure::FileNotFound : Failure::PathNotFound);
        throw Failure(errno == ENOTDIR ? Failure::PathNotFound : Failure::PathFileAccessError);
    }
    // The bytes are read into a buffer kept from file to file; only the text decoded from them is new.
    thread_local QByteArray bytes(4096, Qt::Uninitialized);
    qsizetype size = 0;
    ssize_t got;
    for (;;) {
        if (size == bytes.size())
            bytes.resize(size * 2);
        got = ::read(fd, bytes.data() + size, size_t(bytes.size() - size));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        size += got;
    }
    ::close(fd);
    // A folder opens, and fails at the first read.
    if (got < 0)
        throw Failure(Failure::PathFileAccessError);
    TextReader reader(decodeText(QByteArrayView(bytes).first(size)));
    // A long file does not keep its memory beyond its own reading.
    if (bytes.size() > kKeptBuffer)
        bytes = QByteArray(4096, Qt::Uninitialized);
    return reader;
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
    QString built;
    const QStringView field = passField(&built);
    return field.data() == built.constData() ? built : field.toString();
}

QStringView TextReader::readFieldView(QString &scratch)
{
    return passField(&scratch);
}

void TextReader::skipField()
{
    passField(nullptr);
}

QStringView TextReader::passField(QString *built)
{
    const qsizetype size = m_text.size();
    const QChar *text = m_text.constData();
    while (m_pos < size && isBlank(text[m_pos]))
        ++m_pos;
    if (atEnd())
        throw Failure(Failure::InputPastEndOfFile);

    QStringView field;
    if (text[m_pos] == QLatin1Char('"')) {
        ++m_pos;
        qsizetype end = m_pos;
        while (end < size && text[end] != QLatin1Char('"') && text[end] != QLatin1Char('\r'))
            ++end;
        if (end < size && text[end] == QLatin1Char('"') && (end + 1 >= size || text[end + 1] != QLatin1Char('"'))) {
            // Most fields hold neither a doubled quote nor a carriage return: they read as they are written.
            field = QStringView(text + m_pos, end - m_pos);
            m_pos = end + 1;
        } else {
            // Runs of plain characters go over whole; a doubled quote stands for one, a line break reads as
            // "\n", and a single quote ends the field.
            if (built)
                built->clear();
            qsizetype run = m_pos;
            const auto takeRun = [&] {
                if (built)
                    built->append(text + run, m_pos - run);
            };
            while (m_pos < size) {
                const QChar c = text[m_pos];
                if (c != QLatin1Char('"') && c != QLatin1Char('\r')) {
                    ++m_pos;
                    continue;
                }
                takeRun();
                ++m_pos;
                if (c == QLatin1Char('"')) {
                    if (m_pos >= size || text[m_pos] != QLatin1Char('"')) {
                        run = m_pos;
                        break;
                    }
                    run = m_pos++; // the second quote starts the next run
                    continue;
                }
                if (m_pos < size && text[m_pos] == QLatin1Char('\n'))
                    ++m_pos;
                if (built)
                    built->append(QLatin1Char('\n'));
                run = m_pos;
            }
            if (run < m_pos)
                takeRun();
            if (built)
                field = *built;
        }
        // Whatever follows the closing quote up to the delimiter is not part of the field.
        while (m_pos < size && text[m_pos] != QLatin1Char(',') && !isLineBreak(text[m_pos]))
            ++m_pos;
    } else {
        const qsizetype start = m_pos;
        while (m_pos < size && text[m_pos] != QLatin1Char(',') && !isLineBreak(text[m_pos]))
            ++m_pos;
        qsizetype end = m_pos;
        while (end > start && isBlank(text[end - 1]))
            --end;
        field = QStringView(text + start, end - start);
    }

    if (m_pos < size && text[m_pos] == QLatin1Char(','))
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

TextWriter::TextWriter(const QString &path, Mode mode, Durability)
    : m_path(QFile::encodeName(QDir::isAbsolutePath(path) ? path : QFileInfo(path).absoluteFilePath())), m_mode(mode)
{
    // Replacing, the file is looked at only when commit() finds it there; appending, its text is needed now.
    QByteArray kept;
    if (mode == Append) {
        m_replacedChecked = true;
        const std::optional<mode_t> existing = checkReplaceable(m_path);
        if (existing) {
            QFile old(path);
            if (!old.open(QIODevice::ReadOnly))
                throw Failure(Failure::PathFileAccessError);
            // A Windows-1252 file becomes UTF-8, so that the whole file stays in one encoding.
            kept = decodeText(old.readAll()).toUtf8();
            // A hand-edited file may lack its last line break; what is appended still starts a line.
            if (!kept.isEmpty() && !kept.endsWith('\n') && !kept.endsWith('\r'))
                kept.append("\r\n");
        }
        m_permissions = existing;
    }

    const int fd = createSibling(m_path, 0666, &m_siblingName);
    if (fd < 0)
        throw Failure(errno == ENOENT || errno == ENOTDIR ? Failure::PathNotFound : Failure::PermissionDenied);
    m_sibling = fd;
    m_text = kept;
}

TextWriter::TextWriter(QIODevice &device) : m_device(&device)
{}

void TextWriter::putInPlace()
{
    if (m_mode == Create) {
        // The rename fails when anything has the name, so an existing file is never replaced, not even
        // one made a moment ago by someone else. File systems without that rename get a link instead,
        // which fails the same way.
        if (::renameat2(AT_FDCWD, m_siblingName.constData(), AT_FDCWD, m_path.constData(), RENAME_NOREPLACE) == 0)
            return;
        if (errno == EINVAL || errno == ENOSYS) {
            if (::link(m_siblingName.constData(), m_path.constData()) == 0) {
                ::unlink(m_siblingName.constData());
                return;
            }
        }
        if (errno == EEXIST)
            throw Failure(Failure::FileAlreadyExists);
        throw Failure(errno == ENOSPC ? Failure::DiskFull : Failure::PathFileAccessError);
    }
    if (!m_replacedChecked) {
        // Most saves make a new file: the rename that must not replace anything tells whether one is there.
        if (::renameat2(AT_FDCWD, m_siblingName.constData(), AT_FDCWD, m_path.constData(), RENAME_NOREPLACE) == 0)
            return;
        if (errno != EEXIST && errno != EINVAL && errno != ENOSYS)
            throw Failure(errno == ENOSPC ? Failure::DiskFull : Failure::PathFileAccessError);
        m_permissions = checkReplaceable(m_path);
    }
    // The replacement keeps the permissions of the file it replaces.
    if (m_permissions)
        ::chmod(m_siblingName.constData(), *m_permissions);
    if (std::rename(m_siblingName.constData(), m_path.constData()) != 0)
        throw Failure(errno == ENOSPC ? Failure::DiskFull : Failure::PathFileAccessError);
}

TextWriter::~TextWriter()
{
    // Not committed: the file stays as it was and the sibling goes.
    if (m_sibling >= 0) {
        ::close(m_sibling);
        ::unlink(m_siblingName.constData());
    }
}

void TextWriter::write(const QString &text)
{
    writeBytes(encodeForDisk(text));
}

void TextWriter::writeBytes(const QByteArray &bytes)
{
    if (!m_device) {
        m_text += bytes;
        return;
    }
    if (m_device->write(bytes) != bytes.size())
        throw Failure(Failure::DiskFull);
}

void TextWriter::writeLine(const QString &text)
{
    write(text + QLatin1Char('\n'));
}

void TextWriter::writeQuotedFields(const QStringList &fields)
{
    // The record is laid out in one buffer, its line breaks as on disk: a recipe is saved with a
    // keystroke, and thousands of them may be written in a row.
    qsizetype length = 2;
    for (const QString &field : fields)
        length += 3 + 2 * field.size();
    QString record(length, Qt::Uninitialized);
    QChar *out = record.data();
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            *out++ = QLatin1Char(',');
        *out++ = QLatin1Char('"');
        const QString &field = fields.at(i);
        const QChar *c = field.constData();
        const QChar *end = c + field.size();
        for (; c != end; ++c) {
            if (*c == u'"') {
                *out++ = *c;
            } else if (*c == u'\n') {
                *out++ = QLatin1Char('\r');
            } else if (*c == u'\r' && c + 1 != end && c[1] == u'\n') {
                continue;
            }
            *out++ = *c;
        }
        *out++ = QLatin1Char('"');
    }
    *out++ = QLatin1Char('\r');
    *out++ = QLatin1Char('\n');
    record.truncate(out - record.constData());
    writeBytes(record.toUtf8());
}

void TextWriter::commit()
{
    if (m_sibling < 0)
        return;
    // The text goes to the sibling in one piece, then a rename puts it in place of the file in one step.
    // The data is not forced to the disk first: a save is a user's keystroke, and the file systems in use
    // keep a renamed-over file's data in order.
    const char *data = m_text.constData();
    qsizetype left = m_text.size();
    while (left > 0) {
        const ssize_t written = ::write(m_sibling, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            throw Failure(Failure::DiskFull);
        data += written;
        left -= written;
    }
    const int closed = ::close(m_sibling);
    m_sibling = -1;
    if (closed != 0) {
        ::unlink(m_siblingName.constData());
        throw Failure(Failure::DiskFull);
    }
    try {
        putInPlace();
    } catch (const Failure &) {
        ::unlink(m_siblingName.constData());
        throw;
    }
    folderindex::added(QFile::decodeName(m_path));
}

} // namespace store
