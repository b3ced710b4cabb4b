// A long text read through XmlPieces: the XML reader hands it over in pieces, and what it reads (the
// elements, their whole text, the lines of its errors) is what it reads from the XML as it was.

#include "store/interchange/xmlpieces.h"

#include <QBuffer>
#include <QTest>
#include <QXmlStreamReader>

using store::interchange::XmlPieces;

namespace {

struct Reading
{
    QString transcript; ///< elements and their text, comments left out; empty after an error
    QString error;      ///< the reader's complaint and its line
    qsizetype longestText = 0;
};

// Reads `xml` directly, or through XmlPieces of `piece` bytes when `piece` > 0.
Reading read(QByteArray xml, qsizetype piece)
{
    QBuffer buffer(&xml);
    buffer.open(QIODevice::ReadOnly);
    XmlPieces pieces(buffer, piece);
    QXmlStreamReader reader(piece > 0 ? static_cast<QIODevice *>(&pieces) : &buffer);
    Reading reading;
    QString text;
    const auto endText = [&] {
        if (!text.isEmpty())
            reading.transcript.append(u'[').append(text).append(u']');
        text.clear();
    };
    QString &out = reading.transcript;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            endText();
            out.append(u'<').append(reader.name());
            for (const QXmlStreamAttribute &attribute : reader.attributes())
                out.append(u' ').append(attribute.name()).append(u'=').append(attribute.value());
            out.append(u'>');
            break;
        case QXmlStreamReader::EndElement:
            endText();
            out.append(u"</").append(reader.name()).append(u'>');
            break;
        case QXmlStreamReader::Characters:
        case QXmlStreamReader::EntityReference:
            reading.longestText = std::max(reading.longestText, reader.text().size());
            text.append(reader.text());
            break;
        case QXmlStreamReader::ProcessingInstruction:
            endText();
            out.append(u"<?").append(reader.processingInstructionTarget()).append(u' ');
            out.append(reader.processingInstructionData()).append(u"?>");
            break;
        default:
            break;
        }
    }
    endText();
    if (reader.hasError()) {
        reading.error = QStringLiteral("%1: %2").arg(reader.lineNumber()).arg(reader.errorString());
        reading.transcript.clear(); // how much is reported before the error may differ
    }
    return reading;
}

} // namespace

class XmlPiecesTest : public QObject
{
    Q_OBJECT

private slots:
    // Pieces of one byte put markup wherever it may go; of seven, at other places; of 64 kB, into these
    // texts of more than 64 kB, whose bytes are read from the source 64 kB at a time, across references,
    // characters of several bytes and line breaks.
    void readThroughPieces_readsTheSame_data()
    {
        QTest::addColumn<QByteArray>("xml");
        const QByteArray mixed = "Stir &amp; taste \xC3\xA8\xE2\x82\xAC\xF0\x9F\x8D\xB2 &#233;&#x1F372; &lt;&gt;&quot;"
                                 "&apos; ]] ] a]b \r\n\r\n\r x\n\t";
        const auto element = [](const QByteArray &inside) { return "<RcpE name=\"a &amp; b\">" + inside + "</RcpE>"; };
        QTest::newRow("text of every kind") << element("<DirS><DirT>" + mixed + "</DirT></DirS>");
        QTest::newRow("a long text of every kind") << element("<DirT>" + mixed.repeated(3000) + "</DirT>");
        QTest::newRow("a long text of one line") << element("<DirT>" + QByteArray("Stir the pot. ").repeated(20000) + "</DirT>");
        QTest::newRow("a long text of characters of two bytes")
            << element("<DirT>" + QByteArray("\xC3\xA8").repeated(100000) + "</DirT>");
        QTest::newRow("a long text of references") << element("<DirT>" + QByteArray("&amp;&#x20AC;").repeated(20000) + "</DirT>");
        QTest::newRow("CDATA") << element("<DirT>a<![CDATA[<b>&amp; ]] ]]]\r\n\r]]>c</DirT>");
        QTest::newRow("a long CDATA section")
            << element("<DirT><![CDATA[" + QByteArray("x]]] &amp; <tag> \xC3\xA8\r\n").repeated(8000) + "]]></DirT>");
        QTest::newRow("comments, instructions and tags with > in their values")
            << element("<DirT a='> x y --' b=\"> ]]> z\">t<!-- a > b -> c -->u<?pi x > y ?" "?>v<!---->w</DirT>");
        QTest::newRow("an empty element, text between elements")
            << element("<A/>text<B x=\"1\"/>more<C></C>\n\n");
        QTest::newRow("a character reference with leading zeros") << element("<DirT>&#0000065;&#x0042;</DirT>");

        QTest::newRow("]]> in text") << element("<DirT>" + QByteArray("ab\n").repeated(30) + "x]]>y</DirT>");
        QTest::newRow("a bare &") << element("<DirT>" + QByteArray("a & b\n").repeated(30) + "</DirT>");
        QTest::newRow("an unknown entity") << element("<DirT>\n\n&frac12;</DirT>");
        QTest::newRow("a reference to no character") << element("<DirT>\n&#0;</DirT>");
        QTest::newRow("a control character") << element("<DirT>a\nb\x01</DirT>");
        QTest::newRow("bytes that are not UTF-8") << element("<DirT>a\n\xC3(b\xA8\n</DirT>");
        QTest::newRow("a tag left open") << element("<DirT>a\nb</Dir>");
        QTest::newRow("the end missing") << QByteArray("<RcpE><DirT>") + QByteArray("text\n").repeated(20000);
        QTest::newRow("a declaration inside") << element("<DirT>a\n<!DOCTYPE x>b</DirT>");
        QTest::newRow("a comment with --") << element("<DirT>a\n<!-- x -- y -->b</DirT>");
    }
    void readThroughPieces_readsTheSame()
    {
        QFETCH(QByteArray, xml);
        const Reading direct = read(xml, 0);
        for (const qsizetype piece : {qsizetype(1), qsizetype(7), XmlPieces::kPiece}) {
            const Reading pieces = read(xml, piece);
            QCOMPARE(pieces.error, direct.error);
            QCOMPARE(pieces.transcript, direct.transcript);
        }
    }

    // A CDATA section that is never closed is still an error; split into pieces, it is reported where the
    // XML ends (line 4), not where the section began (line 2).
    void unclosedCdata_isReportedAtTheEnd()
    {
        const QByteArray xml = "<DirT>\n<![CDATA[a\nb\nc</DirT>";
        QCOMPARE(read(xml, 0).error, QStringLiteral("2: Premature end of document."));
        QCOMPARE(read(xml, 1).error, QStringLiteral("4: Premature end of document."));
    }

    // A text of 1 MB, or a CDATA section, comes in pieces of about 64 kB, not whole.
    void longText_comesInPieces_data()
    {
        QTest::addColumn<QByteArray>("xml");
        const QByteArray text = QByteArray("Stir the pot &amp; taste. ").repeated(40000);
        QTest::newRow("text") << "<DirT>" + text + "</DirT>";
        QTest::newRow("CDATA") << "<DirT><![CDATA[" + text + "]]></DirT>";
    }
    void longText_comesInPieces()
    {
        QFETCH(QByteArray, xml);
        const Reading direct = read(xml, 0);
        const Reading pieces = read(xml, XmlPieces::kPiece);
        QVERIFY(direct.longestText >= 40000 * 22);
        QVERIFY2(pieces.longestText <= XmlPieces::kPiece, qPrintable(QString::number(pieces.longestText)));
        QCOMPARE(pieces.transcript, direct.transcript);
    }
};

QTEST_GUILESS_MAIN(XmlPiecesTest)
#include "xmlpieces_test.moc"
