#include "screens/textprint.h"
#include "shell/lineprinter.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <limits>
#include <utility>

namespace {

/// A printer with known measures that keeps what is printed: every character is 6 points wide, a line
/// is 12 points high, the font is 10 points, the page 20 characters wide and 50 points high.
class RecordingPrinter : public shell::LinePrinter
{
public:
    QStringList lines;               ///< finished lines, "<page>" where a new page starts
    QString current;                 ///< the line being printed
    mutable qint64 charsHandled = 0; ///< characters measured or printed
    int documentsEnded = 0;
    bool keepText = true; ///< false: only count, so that timing measures the printing alone

    void setFontName(const QString &) override {}
    void setFontSize(double) override {}
    void setBold(bool) override {}
    double fontSize() const override { return 10; }
    void print(const QString &text) override
    {
        if (keepText)
            current += text;
        m_x += 6.0 * text.size();
        charsHandled += text.size();
    }
    void endLine() override
    {
        if (keepText)
            lines.append(std::exchange(current, QString()));
        m_x = 0;
        m_y += 12;
    }
    double textWidth(const QString &text) const override
    {
        charsHandled += text.size();
        return 6.0 * text.size();
    }
    double currentX() const override { return m_x; }
    double currentY() const override { return m_y; }
    double pageWidth() const override { return 120; }
    double pageHeight() const override { return 50; }
    void newPage() override
    {
        lines.append(QStringLiteral("<page>"));
        m_x = 0;
        m_y = 0;
    }
    void endDocument() override { ++documentsEnded; }

private:
    double m_x = 0;
    double m_y = 0;
};

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the test file");
    return path;
}

// A shopping list of about `size` bytes: one long paragraph of words, then many short lines, one of
// them a single word of 1000 letters.
QByteArray bigList(qsizetype size)
{
    QByteArray text;
    text.reserve(size + 64);
    while (text.size() < size / 2)
        text.append("milk eggs, \"free range\" bread ");
    text.append("\r\n");
    text.append(QByteArray(1000, 'x')).append("\r\n");
    while (text.size() < size)
        text.append("2 lb potatoes, washed\r\n\r\n");
    return text;
}

} // namespace

class TextPrintTest : public QObject
{
    Q_OBJECT

private slots:
    void wrap_data();
    void wrap();
    void wrappedParagraph_startsNewPageWhenLineWouldPassBottom();
    void printFile_readsLinesAndEndsDocument();
    void printLargeFile_takesLinearTime();
};

void TextPrintTest::wrap_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("printed"); // the printed lines joined by "|"

    QTest::newRow("lines that fit") << "Milk\nEggs, 12\n\"Free range\"\n"
                                    << "Milk|Eggs, 12|\"Free range\"";
    QTest::newRow("empty line prints, final break does not") << "Milk\n\nEggs\n"
                                                             << "Milk||Eggs";
    QTest::newRow("no final line break") << "Milk"
                                         << "Milk";
    QTest::newRow("only a line break") << "\n"
                                       << "";
    QTest::newRow("long line wraps between words") << "Apples, pears and plums and cherries\n"
                                                   << "Apples, pears and |plums and cherries";
    QTest::newRow("word that just fits stays") << "aaaaaaaaa bbbbbbbbb c"
                                               << "aaaaaaaaa bbbbbbbbb |c";
    QTest::newRow("trailing blank counts") << "aaaaaaaaa bbbbbbbbbb c"
                                           << "aaaaaaaaa |bbbbbbbbbb c";
    QTest::newRow("wide word begins a paragraph") << "Tea\nSupercalifragilisticexpialidocious jam\n"
                                                  << "Tea||Supercalifragilisticexpialidocious |jam";
    QTest::newRow("wide word begins the file") << "Supercalifragilisticexpialidocious"
                                               << "|Supercalifragilisticexpialidocious";
    QTest::newRow("wide word inside a line") << "Tea and Supercalifragilisticexpialidocious jam"
                                             << "Tea and |Supercalifragilisticexpialidocious |jam";
    QTest::newRow("blanks are kept") << "a  b \n"
                                     << "a  b ";
}

void TextPrintTest::wrap()
{
    QFETCH(QString, text);
    QFETCH(QString, printed);
    RecordingPrinter printer;
    shell::printWrappedText(printer, text);
    QCOMPARE(printer.current, QString());
    QCOMPARE(printer.lines.join(QLatin1Char('|')), printed);
}

void TextPrintTest::wrappedParagraph_startsNewPageWhenLineWouldPassBottom()
{
    // Two 10-letter words fill a line; the fifth line would start at 48 points, and 48 + 10 passes 50.
    QString paragraph;
    for (int i = 1; i <= 12; ++i)
        paragraph += QStringLiteral("word%1 ").arg(i, 5, 10, QLatin1Char('0'));
    RecordingPrinter printer;
    shell::printWrappedText(printer, paragraph);
    QCOMPARE(printer.lines,
             QStringList({"word00001 word00002 ", "word00003 word00004 ", "word00005 word00006 ",
                          "word00007 word00008 ", "<page>", "word00009 word00010 ", "word00011 word00012 "}));
}

void TextPrintTest::printFile_readsLinesAndEndsDocument()
{
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("Weekly.txt"), "Milk, 2 pints\r\n\r\n\"Good\" bread\r\n");
    RecordingPrinter printer;
    textprint::printTextFile(printer, path);
    QCOMPARE(printer.lines, QStringList({"Milk, 2 pints", "", "\"Good\" bread"}));
    QCOMPARE(printer.documentsEnded, 1);
}

void TextPrintTest::printLargeFile_takesLinearTime()
{
    QTemporaryDir dir;
    const qsizetype oneMegabyte = 1 << 20;
    const QString small = writeFile(dir, QStringLiteral("small.txt"), bigList(oneMegabyte));
    const QString large = writeFile(dir, QStringLiteral("large.txt"), bigList(4 * oneMegabyte));

    // Every character is measured once and printed once.
    RecordingPrinter counted;
    textprint::printTextFile(counted, large);
    QVERIFY2(counted.charsHandled <= 2 * 4 * oneMegabyte, qPrintable(QString::number(counted.charsHandled)));
    QVERIFY(counted.lines.contains(QString(1000, QLatin1Char('x'))));

    const auto bestTime = [](const QString &path) {
        qint64 best = std::numeric_limits<qint64>::max();
        for (int run = 0; run < 5; ++run) {
            RecordingPrinter printer;
            printer.keepText = false;
            QElapsedTimer timer;
            timer.start();
            textprint::printTextFile(printer, path);
            best = std::min(best, timer.nsecsElapsed());
        }
        return best;
    };
    const qint64 smallTime = bestTime(small);
    const qint64 largeTime = bestTime(large);
    // Four times the text takes about four times as long (a little more, as it no longer fits the
    // processor's caches); quadratic work would take sixteen times.
    QVERIFY2(largeTime < 10 * smallTime,
             qPrintable(QStringLiteral("1 MB: %1 ms, 4 MB: %2 ms").arg(smallTime / 1e6).arg(largeTime / 1e6)));
}

QTEST_GUILESS_MAIN(TextPrintTest)
#include "textprint_test.moc"
