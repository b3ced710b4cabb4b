#include "store/io/container.h"
#include "tests/support/zipmaker.h"

#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <vector>

using store::ContainerError;
using store::ZipArchive;
using testing::makeZip;

namespace {

// `zip` with the unpacked size of its first entry made `size` in the local header and the central
// directory, as a hand-made archive can claim anything.
QByteArray withDeclaredSize(QByteArray zip, quint32 size)
{
    const auto put = [&zip, size](qsizetype at) {
        for (int i = 0; i < 4; ++i)
            zip[at + i] = char((size >> (8 * i)) & 0xFF);
    };
    put(zip.indexOf("PK\x03\x04") + 22);
    put(zip.indexOf("PK\x01\x02") + 24);
    return zip;
}

// The message of the ContainerError that `operation` throws; empty when it throws none.
QString errorOf(const std::function<void()> &operation)
{
    try {
        operation();
    } catch (const ContainerError &error) {
        return error.message();
    }
    return {};
}

} // namespace

class ContainerTest : public QObject
{
    Q_OBJECT

private slots:
    void listAndRead_fromFileAndFromBytes()
    {
        const QByteArray zip = makeZip({{"Soups/", {}},
                                        {"Soups/borscht.json", "{\"name\": \"Borscht\"}"},
                                        {"../escape.txt", "out"},
                                        {"/etc/passwd", "root"},
                                        {"C:/x.txt", "x"},
                                        {"a/../../b.txt", "b"},
                                        {"photo.jpg", QByteArray(5000, 'z')}});
        QTemporaryDir dir;
        QFile file(dir.filePath("made.zip"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(zip);
        file.close();
        std::vector<ZipArchive> archives;
        archives.push_back(ZipArchive::openFile(file.fileName()));
        archives.push_back(ZipArchive::fromBytes(zip));
        for (const ZipArchive &archive : archives) {
            QStringList names;
            for (const ZipArchive::Entry &entry : archive.entries())
                names.append(QStringLiteral("%1 %2").arg(entry.name).arg(entry.size));
            QCOMPARE(names, (QStringList{"Soups/borscht.json 19", "photo.jpg 5000"}));
            QCOMPARE(archive.unsafe(), (QStringList{"../escape.txt", "/etc/passwd", "C:/x.txt", "a/../../b.txt"}));
            QCOMPARE(archive.read(archive.entries().at(0), 19), QByteArray("{\"name\": \"Borscht\"}"));
            QCOMPARE(archive.read(archive.entries().at(1), 5000), QByteArray(5000, 'z'));
        }
    }

    void hostile_data()
    {
        QTest::addColumn<QByteArray>("zip");
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<QString>("error"); // the start of the message; empty when the entry is read whole
        const QByteArray zeros(4 * 1024 * 1024, '\0');
        const QByteArray small = makeZip({{"recipe.json", zeros}});
        QTest::newRow("within the limit") << small << qint64(zeros.size()) << "";
        QTest::newRow("a gigabyte declared")
            << withDeclaredSize(small, 1u << 30) << qint64(1 << 20) << "it unpacks to more than 1 MB";
        QTest::newRow("ten bytes declared, four megabytes inside")
            << withDeclaredSize(small, 10) << qint64(1 << 20) << "it unpacks to more than 1 MB";
        QByteArray damaged = makeZip({{"recipe.json", QByteArray("Borscht with beets and dill. ").repeated(400)}});
        damaged[60] = char(damaged[60] ^ 0x55);
        damaged[70] = char(damaged[70] ^ 0x55);
        QTest::newRow("damaged data") << damaged << qint64(1 << 20) << "it is damaged";
    }
    void hostile()
    {
        QFETCH(QByteArray, zip);
        QFETCH(qint64, limit);
        QFETCH(QString, error);
        const ZipArchive archive = ZipArchive::fromBytes(zip);
        QCOMPARE(archive.entries().size(), 1);
        QByteArray read;
        const QString message = errorOf([&] { read = archive.read(archive.entries().first(), limit); });
        QVERIFY2(error.isEmpty() ? message.isEmpty() : message.startsWith(error), qPrintable(message));
        QVERIFY(read.size() <= limit);
    }

    void notAZip_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("text") << QByteArray("MMMMM----- Recipe via Meal-Master");
        QTest::newRow("a local header and nothing after") << QByteArray("PK\x03\x04garbage garbage garbage");
        QTest::newRow("cut in half") << makeZip({{"a.json", "{}"}, {"b.json", "[]"}}).left(60);
    }
    void notAZip()
    {
        QFETCH(QByteArray, bytes);
        const QString message = errorOf([&] { ZipArchive::fromBytes(bytes); });
        QVERIFY2(message.startsWith("it is no zip archive that can be read ("), qPrintable(message));
        QVERIFY(errorOf([] { ZipArchive::openFile("/nonexistent/x.zip"); }).startsWith("it is no zip archive"));
    }

    void gunzip_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<QString>("error");
        const QByteArray text = QByteArray("{\"name\": \"Pea soup\"}").repeated(50);
        const QByteArray packed = testing::gzip(text);
        QTest::newRow("whole") << packed << qint64(text.size()) << "";
        QTest::newRow("a bomb: ten megabytes of zeros")
            << testing::gzip(QByteArray(10 << 20, '\0')) << qint64(1 << 20) << "it unpacks to more than 1 MB";
        QTest::newRow("one byte over") << packed << qint64(text.size() - 1) << "it unpacks to more than 1 MB";
        QTest::newRow("cut short") << packed.left(packed.size() / 2) << qint64(1 << 20) << "the gzip data is cut short";
        QByteArray damaged = packed;
        damaged[damaged.size() - 6] = char(damaged[damaged.size() - 6] ^ 0x01); // the checksum
        QTest::newRow("checksum wrong") << damaged << qint64(1 << 20) << "the gzip data is damaged";
        QTest::newRow("not gzip") << text << qint64(1 << 20) << "it is not gzip-compressed";
    }
    void gunzip()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, limit);
        QFETCH(QString, error);
        QByteArray out;
        QCOMPARE(errorOf([&] { out = store::gunzip(bytes, limit); }), error);
        if (error.isEmpty())
            QCOMPARE(out, QByteArray("{\"name\": \"Pea soup\"}").repeated(50));
    }
};

QTEST_GUILESS_MAIN(ContainerTest)
#include "container_test.moc"
