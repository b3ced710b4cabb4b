#include "store/textfile.h"
#include "tests/store/storetest.h"

#include <QBuffer>

using store::Failure;
using store::TextReader;
using store::TextWriter;
using storetest::failureOf;

/// A buffer whose reads and writes fail past `limit` bytes, like a failing drive or a full disk.
class FailingBuffer : public QBuffer
{
public:
    explicit FailingBuffer(qint64 limit) : m_limit(limit) { setData(QByteArray(2 * limit + 10, 'x')); }

protected:
    qint64 readData(char *data, qint64 size) override
    {
        return pos() >= m_limit ? -1 : QBuffer::readData(data, qMin(size, m_limit - pos()));
    }
    qint64 writeData(const char *data, qint64 size) override
    {
        return pos() + size > m_limit ? -1 : QBuffer::writeData(data, size);
    }

private:
    qint64 m_limit;
};

class TextFileTest : public QObject
{
    Q_OBJECT

private slots:
    void readField_splitsFields_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("comma inside quotes") << QStringLiteral("\"a,b\",c") << QStringList{"a,b", "c"};
        QTest::newRow("line breaks inside quotes")
            << QStringLiteral("\"a\r\nb\rc\nd\",e") << QStringList{"a\nb\nc\nd", "e"};
        QTest::newRow("doubled quote") << QStringLiteral("\"say \"\"hi\"\"\",x") << QStringList{"say \"hi\"", "x"};
        QTest::newRow("blanks before fields skipped") << QStringLiteral("  \"a\",\t \" b\"") << QStringList{"a", " b"};
        QTest::newRow("unquoted field trimmed") << QStringLiteral("  a b \t,c") << QStringList{"a b", "c"};
        QTest::newRow("text after closing quote skipped")
            << QStringLiteral("\"a\" junk,\"b\"x\r\nc") << QStringList{"a", "b", "c"};
        QTest::newRow("line end separates") << QStringLiteral("a\r\nb\nc\rd") << QStringList{"a", "b", "c", "d"};
        QTest::newRow("empty fields") << QStringLiteral("\"\",,\"\"\r\n") << QStringList{"", "", ""};
        QTest::newRow("unterminated quote") << QStringLiteral("\"a,b") << QStringList{"a,b"};
    }
    void readField_splitsFields()
    {
        QFETCH(QString, text);
        TextReader reader(text);
        QStringList fields;
        while (!reader.atEnd())
            fields.append(reader.readField());
        QTEST(fields, "expected");
    }

    void readLine_acceptsEveryLineEnd_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("CR LF") << QStringLiteral("a\r\nb\r\n") << QStringList{"a", "b"};
        QTest::newRow("LF") << QStringLiteral("a\nb\n") << QStringList{"a", "b"};
        QTest::newRow("CR") << QStringLiteral("a\rb\r") << QStringList{"a", "b"};
        QTest::newRow("no final line break") << QStringLiteral("a\r\nb") << QStringList{"a", "b"};
        QTest::newRow("empty line kept") << QStringLiteral("a\r\n\r\nb\r\n") << QStringList{"a", "", "b"};
        QTest::newRow("blanks, commas, quotes kept") << QStringLiteral(" a, \"b\" \r\n") << QStringList{" a, \"b\" "};
    }
    void readLine_acceptsEveryLineEnd()
    {
        QFETCH(QString, text);
        TextReader reader(text);
        QStringList lines;
        while (!reader.atEnd())
            lines.append(reader.readLine());
        QTEST(lines, "expected");
    }

    void readAll_givesTheRestWithLfBreaks()
    {
        TextReader reader(QStringLiteral("first\r\na\r\nb\rc\n"));
        reader.readLine();
        QCOMPARE(reader.readAll(), QStringLiteral("a\nb\nc\n"));
        QVERIFY(reader.atEnd());
    }

    void readPastEnd_failsWith62()
    {
        TextReader empty(QString{});
        QCOMPARE(failureOf([&] { empty.readLine(); }), Failure::InputPastEndOfFile);
        QCOMPARE(failureOf([&] { empty.readField(); }), Failure::InputPastEndOfFile);
        TextReader blanks(QStringLiteral(" \t"));
        QCOMPARE(failureOf([&] { blanks.readField(); }), Failure::InputPastEndOfFile);
    }

    void decodeText_takesInvalidUtf8AsWindows1252_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("UTF-8") << QByteArray("Cr\xC3\xA8me") << QStringLiteral(u"Crème");
        QTest::newRow("UTF-8 byte-order mark dropped") << QByteArray("\xEF\xBB\xBFPie") << QStringLiteral("Pie");
        QTest::newRow("Windows-1252") << QByteArray("Cr\xE8me br\xFBl\xE9\x65") << QStringLiteral(u"Crème brûlée");
        QTest::newRow("Windows-1252 quote and euro") << QByteArray("Chef\x92s \x80") << QStringLiteral(u"Chef’s €");
        QTest::newRow("UTF-8 cut short") << QByteArray("Cr\xC3") << QStringLiteral(u"CrÃ");
    }
    void decodeText_takesInvalidUtf8AsWindows1252()
    {
        QFETCH(QByteArray, bytes);
        QTEST(store::decodeText(bytes), "expected");
    }

    void fromFailingDevice_failsWith75()
    {
        for (const qint64 limit : {0, 10}) {
            FailingBuffer device(limit);
            QVERIFY(device.open(QIODevice::ReadOnly));
            QCOMPARE(failureOf([&] { TextReader::fromDevice(device); }), Failure::PathFileAccessError);
        }
    }

    void writer_writesUtf8WithCrLfAndDoubledQuotes()
    {
        storetest::AppFolder app;
        TextWriter writer(app.path("list.txt"), TextWriter::Replace);
        writer.writeLine(QStringLiteral(u"Crème\nbrûlée"));
        writer.writeQuotedFields({QStringLiteral("a \"b\""), QString(), QStringLiteral("x\r\ny\nz")});
        writer.commit();
        QCOMPARE(storetest::readBytes(app.path("list.txt")),
                 QByteArray("Cr\xC3\xA8me\r\nbr\xC3\xBBl\xC3\xA9\x65\r\n\"a \"\"b\"\"\",\"\",\"x\r\ny\r\nz\"\r\n"));
    }

    void writerOnFailingDevice_failsWith61()
    {
        FailingBuffer device(8);
        QVERIFY(device.open(QIODevice::WriteOnly));
        TextWriter writer(device);
        writer.writeLine(QStringLiteral("1234"));
        QCOMPARE(failureOf([&] { writer.writeLine(QStringLiteral("5678")); }), Failure::DiskFull);
    }

    void writerWithoutCommit_leavesOldFileWhole()
    {
        storetest::AppFolder app;
        storetest::writeBytes(app.path("Category/category.txt"), "Soups\r\nPies\r\n");
        for (const auto mode : {TextWriter::Replace, TextWriter::Append})
            TextWriter(app.path("Category/category.txt"), mode).writeLine(QStringLiteral("Stews"));
        QCOMPARE(storetest::tree(app.path("Category")), QStringList{"category.txt 13"});
        QCOMPARE(storetest::readBytes(app.path("Category/category.txt")), QByteArray("Soups\r\nPies\r\n"));
    }

    void open_missingFileFolderOrReadOnlyFile_failsWith53Or76Or75()
    {
        storetest::AppFolder app;
        storetest::writeBytes(app.path("Category/locked.txt"), "old\r\n");
        storetest::makeReadOnly(app.path("Category/locked.txt"));
        const QStringList before = storetest::tree(app.root());
        QCOMPARE(failureOf([&] { TextReader::open(app.path("Category/none.txt")); }), Failure::FileNotFound);
        QCOMPARE(failureOf([&] { TextReader::open(app.path("Missing/none.txt")); }), Failure::PathNotFound);
        QCOMPARE(failureOf([&] { TextReader::open(app.path("Category")); }), Failure::PathFileAccessError);
        // Replacing, a folder or a read-only file in the way is found when the text is put in place.
        const auto save = [](const QString &path, TextWriter::Mode mode) {
            TextWriter writer(path, mode);
            writer.writeLine(QStringLiteral("new"));
            writer.commit();
        };
        for (const auto mode : {TextWriter::Replace, TextWriter::Append}) {
            QCOMPARE(failureOf([&] { save(app.path("Category/locked.txt"), mode); }), Failure::PathFileAccessError);
            QCOMPARE(failureOf([&] { save(app.path("Category"), mode); }), Failure::PathFileAccessError);
            QCOMPARE(failureOf([&] { save(app.path("Missing/new.txt"), mode); }), Failure::PathNotFound);
        }
        QCOMPARE(storetest::tree(app.root()), before);
    }
};

QTEST_GUILESS_MAIN(TextFileTest)
#include "textfile_test.moc"
