// XML written by hand or by older programs, made into UTF-8 that XML reads as the same text, a block
// at a time.

#include "store/interchange/xmlrepair.h"

#include <QBuffer>
#include <QTest>

using store::interchange::RepairedXml;

namespace {

QByteArray readAll(const QByteArray &bytes, bool utf8, bool repair)
{
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(bytes);
    buffer->open(QIODevice::ReadOnly);
    RepairedXml repaired(std::move(buffer), utf8, repair);
    QByteArray all;
    char piece[1000];
    for (qint64 read; (read = repaired.read(piece, sizeof piece)) > 0;)
        all.append(piece, read);
    return all;
}

} // namespace

class XmlRepairTest : public QObject
{
    Q_OBJECT

private slots:
    void repair_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<bool>("utf8");
        QTest::addColumn<QByteArray>("repaired");
        QTest::newRow("XML's own references stay") << QByteArray("&amp;&lt;&gt;&quot;&apos;&#233;&#x20AC;&#X1f372;")
                                                   << true << QByteArray("&amp;&lt;&gt;&quot;&apos;&#233;&#x20AC;&#X1f372;");
        QTest::newRow("bare &") << QByteArray("Salt & pepper &&; &") << true
                                << QByteArray("Salt &amp; pepper &amp;&amp;; &amp;");
        QTest::newRow("HTML's names") << QByteArray("&frac12;&eacute;&nbsp;&Eacute;") << true
                                      << QByteArray("&#189;&#233;&#160;&#201;");
        QTest::newRow("names not closed or unknown") << QByteArray("&frac12 &nosuch; &amp &lt") << true
                                                     << QByteArray("&amp;frac12 &amp;nosuch; &amp;amp &amp;lt");
        QTest::newRow("numbers too long or without digits")
            << QByteArray("&#12345678; &#x1234567; &#; &#x; &#xg;") << true
            << QByteArray("&amp;#12345678; &amp;#x1234567; &amp;#; &amp;#x; &amp;#xg;");
        QTest::newRow("a name of 32 letters, and of 33")
            << "&" + QByteArray("a").repeated(32) + "; &" + QByteArray("b").repeated(33) + ";" << true
            << "&amp;" + QByteArray("a").repeated(32) + "; &amp;" + QByteArray("b").repeated(33) + ";";
        QTest::newRow("characters of several bytes around") << QByteArray("\xC3\xA8&\xC3\xA8&frac12;\xC3\xA8") << true
                                                            << QByteArray("\xC3\xA8&amp;\xC3\xA8&#189;\xC3\xA8");
        QTest::newRow("Windows-1252") << QByteArray("Caf\xE9 \x80 & \x93x\x94") << false
                                      << QByteArray("Caf\xC3\xA9 \xE2\x82\xAC &amp; \xE2\x80\x9Cx\xE2\x80\x9D");
        // Blocks are 64 kB: a reference across the edge of one is seen whole.
        for (const int back : {1, 2, 5, 8, 20, 34, 35}) {
            const QByteArray pad(65536 - back, 'x');
            QTest::addRow("a name %d bytes before a block ends", back)
                << pad + "&frac12; & &amp;" << true << pad + "&#189; &amp; &amp;";
            QTest::addRow("a bare & %d bytes before a block ends", back)
                << pad + "& " + QByteArray("a").repeated(40) << true << pad + "&amp; " + QByteArray("a").repeated(40);
        }
    }
    void repair()
    {
        QFETCH(QByteArray, xml);
        QFETCH(bool, utf8);
        QTEST(readAll(xml, utf8, true), "repaired");
        // Without repairs only the encoding changes.
        if (utf8)
            QCOMPARE(readAll(xml, utf8, false), xml);
    }
};

QTEST_GUILESS_MAIN(XmlRepairTest)
#include "xmlrepair_test.moc"
