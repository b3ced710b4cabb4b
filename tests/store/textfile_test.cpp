#include "store/textfile.h"

#include "tests/store/storetest.h"

#include <cstring>

using store::Failure;
using store::TextReader;
using store::TextWriter;

/// A device whose reads and writes fail once `limit` bytes have passed, like a failing drive or a full disk.
class FailingDevice : public QIODevice
{
public:
    explicit FailingDevice(qint64 limit, QByteArray content = {})
        : m_limit(limit), m_content(std::move(content))
    {
    }
    qint64 size() const override { return m_content.size(); }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (m_read == m_content.size())
            return 0;
        const qint64 n = qMin(maxSize, qMin<qint64>(m_limit, m_content.size()) - m_read);
        if (n <= 0)
            return -1;
        std::memcpy(data, m_content.constData() + m_read, static_cast<size_t>(n));
        m_read += n;
        return n;
    }
    qint64 writeData(const char *, qint64 size) override
    {
        if (m_written + size > m_limit)
            return -1;
        m_written += size;
        return size;
    }

private:
    qint64 m_limit;
    QByteArray m_content;
    qint64 m_read = 0;
    qint64 m_written = 0;
};

class TextFileTest : public QObject
{
    Q_OBJECT

private slots:
    void readField_splitsFields_data();
    void readField_splitsFields();
    void readLine_acceptsEveryLineEnd_data();
    void readLine_acceptsEveryLineEnd();
    void readPastEnd_failsWith62();
    void decodeText_takesInvalidUtf8AsWindows1252_data();
    void decodeText_takesInvalidUtf8AsWindows1252();
    void open_missingFileOrFolder_failsWith53Or76Or75();
    void fromDevice_failingDevice_failsWith75_data();
    void fromDevice_failingDevice_failsWith75();
    void writer_writesUtf8WithCrLfAndDoubledQuotes();
    void writerOnFailingDevice_failsWith61();
    void writerWithoutCommit_leavesOldFileWhole();
    void writerOpen_failures_data();
    void writerOpen_failures();
};

void TextFileTest::readField_splitsFields_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("comma inside quotes") << QStringLiteral("\"a,b\",c") << QStringList{"a,b", "c"};
    QTest::newRow("line breaks inside quotes") << QStringLiteral("\"a\r\nb\rc\nd\",e") << QStringList{"a\nb\nc\nd", "e"};
    QTest::newRow("doubled quote") << QStringLiteral("\"say \"\"hi\"\"\",x") << QStringList{"say \"hi\"", "x"};
    QTest::newRow("blanks before fields skipped") << QStringLiteral("  \"a\",\t \" b\"") << QStringList{"a", " b"};
    QTest::newRow("unquoted field trimmed") << QStringLiteral("  a b \t,c") << QStringList{"a b", "c"};
    QTest::newRow("text after closing quote skipped")
        << QStringLiteral("\"a\" junk,\"b\"x\r\nc") << QStringList{"a", "b", "c"};
    QTest::newRow("line end separates") << QStringLiteral("a\r\nb\nc\rd") << QStringList{"a", "b", "c", "d"};
    QTest::newRow("empty fields") << QStringLiteral("\"\",,\"\"\r\n") << QStringList{"", "", ""};
    QTest::newRow("unterminated quote") << QStringLiteral("\"a,b") << QStringList{"a,b"};
}

void TextFileTest::readField_splitsFields()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    TextReader reader(text);
    QStringList fields;
    while (!reader.atEnd())
        fields.append(reader.readField());
    QCOMPARE(fields, expected);
}

void TextFileTest::readLine_acceptsEveryLineEnd_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("CR LF") << QStringLiteral("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("LF") << QStringLiteral("a\nb\n") << QStringList{"a", "b"};
    QTest::newRow("CR") << QStringLiteral("a\rb\r") << QStringList{"a", "b"};
    QTest::newRow("no final line break") << QStringLiteral("a\r\nb") << QStringList{"a", "b"};
    QTest::newRow("empty line kept") << QStringLiteral("a\r\n\r\nb\r\n") << QStringList{"a", "", "b"};
    QTest::newRow("blanks and commas kept") << QStringLiteral(" a, \"b\" \r\n") << QStringList{" a, \"b\" "};
}

void TextFileTest::readLine_acceptsEveryLineEnd()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    TextReader reader(text);
    QStringList lines;
    while (!reader.atEnd())
        lines.append(reader.readLine());
    QCOMPARE(lines, expected);
    QCOMPARE(TextReader(text).readAll(), QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n"))
                                             .replace(QLatin1Char('\r'), QLatin1Char('\n')));
}

void TextFileTest::readPastEnd_failsWith62()
{
    TextReader empty(QString{});
    STORE_VERIFY_FAILURE(empty.readLine(), Failure::InputPastEndOfFile);
    STORE_VERIFY_FAILURE(empty.readField(), Failure::InputPastEndOfFile);
    TextReader blanks(QStringLiteral(" \t"));
    QVERIFY(!blanks.atEnd());
    STORE_VERIFY_FAILURE(blanks.readField(), Failure::InputPastEndOfFile);
}

void TextFileTest::decodeText_takesInvalidUtf8AsWindows1252_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("UTF-8") << QByteArray("Cr\xC3\xA8me") << QStringLiteral(u"Crème");
    QTest::newRow("UTF-8 byte-order mark dropped") << QByteArray("\xEF\xBB\xBFPie") << QStringLiteral("Pie");
    QTest::newRow("Windows-1252 accents") << QByteArray("Cr\xE8me br\xFBl\xE9" "e") << QStringLiteral(u"Crème brûlée");
    QTest::newRow("Windows-1252 quote and euro") << QByteArray("Chef\x92s \x80") << QStringLiteral(u"Chef’s €");
    QTest::newRow("UTF-8 cut short") << QByteArray("Cr\xC3") << QStringLiteral(u"CrÃ");
    QTest::newRow("line breaks left alone") << QByteArray("a\r\nb\rc") << QStringLiteral("a\r\nb\rc");
}

void TextFileTest::decodeText_takesInvalidUtf8AsWindows1252()
{
    QFETCH(QByteArray, bytes);
    QTEST(store::decodeText(bytes), "expected");
}

void TextFileTest::open_missingFileOrFolder_failsWith53Or76Or75()
{
    storetest::AppFolder app;
    STORE_VERIFY_FAILURE(TextReader::open(app.path(QStringLiteral("Category/none.txt"))), Failure::FileNotFound);
    STORE_VERIFY_FAILURE(TextReader::open(app.path(QStringLiteral("Missing/none.txt"))), Failure::PathNotFound);
    STORE_VERIFY_FAILURE(TextReader::open(app.path(QStringLiteral("Category"))), Failure::PathFileAccessError);
}

void TextFileTest::fromDevice_failingDevice_failsWith75_data()
{
    QTest::addColumn<qint64>("limit");
    QTest::newRow("fails at once") << qint64(0);
    QTest::newRow("fails half-way") << qint64(10);
}

void TextFileTest::fromDevice_failingDevice_failsWith75()
{
    QFETCH(qint64, limit);
    FailingDevice device(limit, QByteArray(40, 'x'));
    QVERIFY(device.open(QIODevice::ReadOnly));
    STORE_VERIFY_FAILURE(TextReader::fromDevice(device), Failure::PathFileAccessError);
}

void TextFileTest::writer_writesUtf8WithCrLfAndDoubledQuotes()
{
    storetest::AppFolder app;
    const QString path = app.path(QStringLiteral("list.txt"));
    TextWriter writer(path, TextWriter::Replace);
    writer.writeLine(QStringLiteral(u"Crème\nbrûlée"));
    writer.writeQuotedFields({QStringLiteral("a \"b\""), QString(), QStringLiteral("x\r\ny\nz")});
    writer.commit();
    QCOMPARE(storetest::readBytes(path), QByteArray("Cr\xC3\xA8me\r\nbr\xC3\xBBl\xC3\xA9" "e\r\n"
                                                    "\"a \"\"b\"\"\",\"\",\"x\r\ny\r\nz\"\r\n"));
}

void TextFileTest::writerOnFailingDevice_failsWith61()
{
    FailingDevice device(8);
    QVERIFY(device.open(QIODevice::WriteOnly));
    TextWriter writer(device);
    writer.writeLine(QStringLiteral("1234"));
    STORE_VERIFY_FAILURE(writer.writeLine(QStringLiteral("5678")), Failure::DiskFull);
}

void TextFileTest::writerWithoutCommit_leavesOldFileWhole()
{
    storetest::AppFolder app;
    const QString path = app.path(QStringLiteral("Category/category.txt"));
    storetest::writeBytes(path, "Soups\r\nPies\r\n");
    for (const auto mode : {TextWriter::Replace, TextWriter::Append}) {
        TextWriter writer(path, mode);
        writer.writeLine(QStringLiteral("Stews"));
    }
    QCOMPARE(storetest::readBytes(path), QByteArray("Soups\r\nPies\r\n"));
    QCOMPARE(storetest::tree(app.path(QStringLiteral("Category"))), QStringList{"category.txt 13"});
}

void TextFileTest::writerOpen_failures_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("number");
    QTest::newRow("read-only file") << QStringLiteral("Category/locked.txt") << int(Failure::PathFileAccessError);
    QTest::newRow("folder") << QStringLiteral("Category") << int(Failure::PathFileAccessError);
    QTest::newRow("missing folder") << QStringLiteral("Missing/new.txt") << int(Failure::PathNotFound);
}

void TextFileTest::writerOpen_failures()
{
    QFETCH(QString, path);
    QFETCH(int, number);
    storetest::AppFolder app;
    storetest::writeBytes(app.path(QStringLiteral("Category/locked.txt")), "old\r\n");
    storetest::makeReadOnly(app.path(QStringLiteral("Category/locked.txt")));
    const QStringList before = storetest::tree(app.root());
    for (const auto mode : {TextWriter::Replace, TextWriter::Append})
        STORE_VERIFY_FAILURE(TextWriter(app.path(path), mode), number);
    QCOMPARE(storetest::tree(app.root()), before);
    QCOMPARE(storetest::readBytes(app.path(QStringLiteral("Category/locked.txt"))), QByteArray("old\r\n"));
}

QTEST_GUILESS_MAIN(TextFileTest)
#include "textfile_test.moc"
