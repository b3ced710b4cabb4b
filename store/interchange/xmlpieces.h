#pragma once

#include <QByteArray>
#include <QIODevice>

namespace store::interchange {

/// The bytes of UTF-8 XML read from another device, with markup put into every long run of text so that
/// QXmlStreamReader hands the text over in pieces: it gathers each piece of text whole, in two bytes a
/// character, and would otherwise hold a text of 50 million characters twice over, beside the copy made
/// of it. An empty comment ("<!---->") is put into text, a CDATA section is closed and opened again
/// ("]]><![CDATA["), each at least `piece` bytes after the last, never inside a character or a reference,
/// after a carriage return (which reads with a line feed after it as one line break) or after "]". The
/// text a reader gathers from the pieces, its lines and its errors are those of the XML as it was, but for
/// one: a CDATA section longer than a piece that is never closed is reported where the XML ends, not
/// where the section began.
class XmlPieces : public QIODevice
{
public:
    static constexpr qsizetype kPiece = 64 * 1024;

    explicit XmlPieces(QIODevice &source, qsizetype piece = kPiece);

    bool isSequential() const override { return true; }
    bool atEnd() const override;

protected:
    qint64 readData(char *data, qint64 most) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    // Where the byte being read lies. A "<!" that begins neither a comment nor a CDATA section, such as a
    // declaration, is Other: nothing is put in after it.
    enum class State : quint8 { Text, Open, Bang, BangDash, CdataOpen, Cdata, Comment, Instruction, Tag, Other };

    bool fill();
    qsizetype plainText(qint64 most);
    bool canSplitBefore(uchar byte) const;
    void step(uchar byte);

    QIODevice &m_source;
    const qsizetype m_piece;
    QByteArray m_block; ///< bytes read from the source, a block at a time
    qsizetype m_blockSize = 0;
    qsizetype m_at = 0; ///< the next byte of the block
    bool m_ended = false;
    QByteArrayView m_insert; ///< markup being put in, not yet read
    State m_state = State::Text;
    char m_quote = 0;   ///< in a tag: the quote that closes the value being read
    int m_matched = 0;  ///< how much of "CDATA[" was read; "]" or "-" in a row; a "?" just before
    bool m_inReference = false;
    qsizetype m_run = 0; ///< bytes of text or CDATA since it began or was last split
    uchar m_previous = 0;
};

} // namespace store::interchange
