#include "store/io/failure.h"
#include "store/io/filename.h"
#include "store/io/textcodec.h"
#include "store/io/textfile.h"

#include <QIODevice>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

// TextReader, declared in store/io/textfile.h beside TextWriter.
namespace store {

namespace {

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

} // namespace

TextReader::TextReader(QString text) : m_text(std::move(text))
{}

TextReader TextReader::open(const QString &path)
{
    // One open and reads, as few calls as can be: a search reads thousands of files in a row.
    const QByteArray name = encodeFileName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw Failure(openFailure(errno, name));
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

} // namespace store
