#include "store/interchange/mastercook.h"

#include "store/interchange/tidytext.h"
#include "store/interchange/xmlpieces.h"
#include "store/interchange/xmlrepair.h"
#include "store/io/failure.h"
#include "store/io/textfile.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QXmlStreamReader>

namespace store::interchange {

namespace {

QString attribute(const QXmlStreamAttributes &attributes, const char *name)
{
    return attributes.value(QLatin1String(name)).toString();
}

// "1:30" as hours and minutes.
std::optional<Duration> elapsed(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*(\\d{1,6}):(\\d{1,2})\\s*$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const int hours = match.captured(1).toInt();
    const int minutes = match.captured(2).toInt();
    if (hours == 0 && minutes == 0)
        return std::nullopt;
    return Duration{QString::number(hours), QString::number(minutes)};
}

class RecipeElement
{
public:
    // Reads from `device` a slice at a time, and a long text in pieces, so that the XML reader never
    // holds more than a piece of it beside the copy made here.
    explicit RecipeElement(QIODevice &device) : m_pieces(device), m_xml(&m_pieces) {}

    // The recipe, or the XML reader's complaint and the line of the element it was made at.
    QString read(Recipe &recipe, qsizetype &errorLine)
    {
        if (m_xml.readNextStartElement() && m_xml.name() == u"RcpE") {
            const QXmlStreamAttributes attributes = m_xml.attributes();
            recipe.title = attribute(attributes, "name").trimmed();
            if (const QString author = attribute(attributes, "author").trimmed(); !author.isEmpty())
                recipe.notes.append(QStringLiteral("Author: ") + author);
            readRecipeElement(recipe);
        }
        if (m_xml.hasError()) {
            errorLine = m_xml.lineNumber();
            return m_xml.errorString();
        }
        return {};
    }

private:
    void note(Recipe &recipe, const QString &label, const QString &text)
    {
        if (!text.trimmed().isEmpty())
            recipe.notes.append(label + QStringLiteral(": ") + text.trimmed());
    }

    // The text of the current element and of every element inside it, added to `into`, read in one
    // loop: Qt's readElementText() calls itself for each element inside, and a file that nests elements
    // a hundred thousand deep would overflow the stack.
    void appendText(QString &into)
    {
        for (qsizetype depth = 1; depth > 0;) {
            switch (m_xml.readNext()) {
            case QXmlStreamReader::StartElement:
                ++depth;
                break;
            case QXmlStreamReader::EndElement:
                --depth;
                break;
            case QXmlStreamReader::Characters:
            case QXmlStreamReader::EntityReference:
                into += m_xml.text();
                break;
            case QXmlStreamReader::Invalid:
                return;
            default:
                break;
            }
        }
    }

    QString text()
    {
        QString result;
        appendText(result);
        return result;
    }

    void readRecipeElement(Recipe &recipe)
    {
        // Every step, one after the other, with "\n" between them and for each line break in them.
        QString directions;
        qsizetype steps = 0;
        while (m_xml.readNextStartElement()) {
            const QStringView name = m_xml.name();
            const QXmlStreamAttributes attributes = m_xml.attributes();
            if (name == u"Serv") {
                recipe.yield = attribute(attributes, "qty").trimmed();
                m_xml.skipCurrentElement();
            } else if (name == u"TTim") {
                const QString time = attribute(attributes, "elapsed");
                if (const auto duration = elapsed(time))
                    recipe.time = *duration;
                m_xml.skipCurrentElement();
            } else if (name == u"PrpT") {
                if (elapsed(attribute(attributes, "elapsed")))
                    note(recipe, QStringLiteral("Preparation time"), attribute(attributes, "elapsed"));
                m_xml.skipCurrentElement();
            } else if (name == u"CatS") {
                while (m_xml.readNextStartElement()) {
                    const QString category = text().trimmed();
                    if (!category.isEmpty())
                        recipe.categories.append(category);
                }
            } else if (name == u"IngR") {
                readIngredient(recipe, attributes);
            } else if (name == u"DirS") {
                while (m_xml.readNextStartElement()) {
                    if (steps++ > 0)
                        directions += u'\n';
                    const qsizetype from = directions.size();
                    appendText(directions);
                    unifyLineBreaks(directions, from);
                }
            } else if (name == u"Yield") {
                note(recipe, QStringLiteral("Yield"),
                     attribute(attributes, "qty").trimmed() + QLatin1Char(' ') + attribute(attributes, "unit"));
                m_xml.skipCurrentElement();
            } else if (name == u"AltS") {
                note(recipe,
                     attribute(attributes, "label").trimmed().isEmpty() ? QStringLiteral("Source")
                                                                        : attribute(attributes, "label").trimmed(),
                     attribute(attributes, "source"));
                m_xml.skipCurrentElement();
            } else if (name == u"Desc" || name == u"Srce" || name == u"Natn" || name == u"CpyR" || name == u"Note") {
                static const QHash<QString, QString> labels{{QStringLiteral("Desc"), QStringLiteral("Description")},
                                                            {QStringLiteral("Srce"), QStringLiteral("Source")},
                                                            {QStringLiteral("Natn"), QStringLiteral("Cuisine")},
                                                            {QStringLiteral("CpyR"), QStringLiteral("Copyright")},
                                                            {QStringLiteral("Note"), QStringLiteral("Notes")}};
                const QString label = labels.value(name.toString());
                note(recipe, label, text());
            } else {
                // The recipe's whole text again (RTxt) and figures worked out from the rest (Nutr).
                m_xml.skipCurrentElement();
            }
        }
        // Tidied where it lies: the text is never held twice.
        recipe.directions = tidyText(std::move(directions));
    }

    void readIngredient(Recipe &recipe, const QXmlStreamAttributes &attributes)
    {
        Ingredient row;
        row.amount = attribute(attributes, "qty").trimmed();
        row.measure = attribute(attributes, "unit").trimmed();
        row.text = attribute(attributes, "name").trimmed();
        // A subtitle and a line of text are rows of their text alone.
        const QString code = attribute(attributes, "code");
        if (code == u"S" || code == u"T") {
            row.amount.clear();
            row.measure.clear();
        }
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == u"IPrp") {
                const QString preparation = text().trimmed();
                if (!preparation.isEmpty())
                    row.text += (row.text.isEmpty() ? QString() : QStringLiteral(", ")) + preparation;
            } else {
                m_xml.skipCurrentElement();
            }
        }
        if (!row.isEmpty())
            recipe.ingredients.append(row);
    }

    XmlPieces m_pieces;
    QXmlStreamReader m_xml;
};

// A part of another device, read where it lies: a recipe's element read from the file itself.
class RangeDevice : public QIODevice
{
public:
    RangeDevice(QIODevice &source, qint64 begin, qint64 size) : m_source(source), m_begin(begin), m_size(size)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }

    bool isSequential() const override { return false; }
    qint64 size() const override { return m_size; }

protected:
    qint64 readData(char *data, qint64 most) override
    {
        const qint64 left = m_size - m_at;
        if (left <= 0)
            return 0;
        if (!m_source.seek(m_begin + m_at))
            return -1;
        const qint64 read = m_source.read(data, std::min(most, left));
        if (read > 0)
            m_at += read;
        return read;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QIODevice &m_source;
    qint64 m_begin;
    qint64 m_size;
    qint64 m_at = 0;
};

// Reads a file's recipes from the file: one pass over its bytes finds where each recipe begins and ends,
// then each is read from its place, so that only the recipe being read is ever in memory. The bytes are
// UTF-8 or Windows-1252, whose marks ("<RcpE", "</RcpE>", "&", line breaks) are the same bytes.
class MasterCookReader : public RecipeReader
{
public:
    MasterCookReader(std::unique_ptr<QIODevice> device, bool utf8, bool validate)
        : m_device(std::move(device)), m_utf8(utf8)
    {
        scan(validate);
    }

    std::optional<ReadItem> next() override
    {
        while (m_next < m_marks.size() && (!m_marks.at(m_next).start || m_marks.at(m_next).at < m_pos))
            ++m_next;
        if (m_next >= m_marks.size()) {
            m_pos = m_size;
            if (m_found)
                return std::nullopt;
            m_found = true;
            return ReadItem{1, QStringLiteral("no MasterCook recipe (RcpE) was found in this file"), {}};
        }
        m_found = true;
        const Mark begin = m_marks.at(m_next++);
        ReadItem item;
        item.line = begin.line;
        // A recipe ends at the first </RcpE> after it, unless another recipe begins first.
        if (m_next >= m_marks.size() || m_marks.at(m_next).start) {
            item.problem = QStringLiteral("the recipe has no closing </RcpE>");
            m_pos = m_next < m_marks.size() ? m_marks.at(m_next).at : m_size;
            return item;
        }
        const Mark end = m_marks.at(m_next++);
        m_pos = end.at + kClosing.size();

        // Bare "&"s and HTML's names are repaired, and Windows-1252 made into the UTF-8 the XML reader
        // takes without a declaration, a block at a time as the element is read from its place.
        const qint64 size = m_pos - begin.at;
        std::unique_ptr<QIODevice> device = std::make_unique<RangeDevice>(*m_device, begin.at, size);
        const bool repair = end.ampersands != begin.ampersands;
        if (!m_utf8 || repair)
            device = std::make_unique<RepairedXml>(std::move(device), m_utf8, repair);
        QString error;
        qsizetype errorLine = 0;
        {
            RecipeElement reader(*device);
            error = reader.read(item.recipe, errorLine);
        } // the XML reader's buffers go before the recipe is tidied
        if (!error.isEmpty()) {
            item.line += errorLine - 1;
            item.problem = QStringLiteral("the recipe is not well-formed XML: ") + error;
        } else if (item.recipe.title.isEmpty()) {
            item.problem = QStringLiteral("the recipe has no name");
        }
        return item;
    }

    double progress() const override { return m_size <= 0 ? 1.0 : double(m_pos) / double(m_size); }

private:
    static constexpr QByteArrayView kStart{"<RcpE"};
    static constexpr QByteArrayView kClosing{"</RcpE>"};

    // Where a recipe begins ("<RcpE" and a blank, ">" or "/") or ends ("</RcpE>"), on which line, and
    // how many "&" come before it.
    struct Mark
    {
        qint64 at = 0;
        qsizetype line = 1;
        qint64 ampersands = 0;
        bool start = false;
    };

    // Finds every mark in one pass over the file, a megabyte at a time. When `validate`, bytes that are
    // not UTF-8 make the whole file Windows-1252.
    void scan(bool validate)
    {
        constexpr qint64 kSlice = 1024 * 1024;
        constexpr qsizetype kLongest = 7; // "</RcpE>", and "<RcpE" with the character after it
        m_size = m_device->size();
        QStringDecoder check(QStringDecoder::Utf8);
        QByteArray window;
        qint64 windowAt = 0;  // where the window begins in the file
        qsizetype from = 0;   // the first byte of the window not yet looked at
        qsizetype line = 1;
        qint64 ampersands = 0;
        for (bool last = false; !last;) {
            const QByteArray slice = m_device->read(kSlice);
            last = slice.isEmpty() || m_device->atEnd();
            if (slice.isEmpty() && !m_device->atEnd())
                throw Failure(Failure::PathFileAccessError);
            if (validate && m_utf8) {
                const QString decoded = check.decode(slice); // decoding happens in the conversion

                m_utf8 = !check.hasError();
            }
            // What was not looked at stays, with the slice after it.
            window.remove(0, from);
            windowAt += from;
            window += slice;
            from = 0;
            const qsizetype stop = last ? window.size() : window.size() - kLongest;
            const char *bytes = window.constData();
            for (qsizetype i = 0; i < stop; ++i) {
                switch (bytes[i]) {
                case '\n':
                    ++line;
                    break;
                case '&':
                    ++ampersands;
                    break;
                case '<':
                    if (const QByteArrayView rest(bytes + i, window.size() - i); rest.startsWith(kClosing)) {
                        m_marks.append({windowAt + i, line, ampersands, false});
                    } else if (rest.size() > kStart.size() && rest.startsWith(kStart)) {
                        const uchar after = uchar(rest.at(kStart.size()));
                        if (after == '>' || after == '/' || QChar(after).isSpace())
                            m_marks.append({windowAt + i, line, ampersands, true});
                    }
                    break;
                default:
                    break;
                }
            }
            from = std::max<qsizetype>(stop, 0);
        }
    }

    std::unique_ptr<QIODevice> m_device;
    bool m_utf8;
    qint64 m_size = 0;
    QList<Mark> m_marks;
    qsizetype m_next = 0; ///< the first mark not yet passed
    qint64 m_pos = 0;     ///< how far the file is read
    bool m_found = false;
};

} // namespace

TextEncoding masterCookEncoding(const QByteArray &head)
{
    static const QRegularExpression declaration(
        QStringLiteral("^\\s*<\\?xml[^>]*encoding\\s*=\\s*[\"']([^\"']+)[\"']"));
    const QString encoding = declaration.match(QString::fromLatin1(head.left(200))).captured(1).toLower();
    const bool singleByte = encoding.startsWith(u"iso-8859-1") || encoding.startsWith(u"latin") ||
                            encoding.startsWith(u"windows-1252") || encoding == u"cp1252" || encoding == u"us-ascii" ||
                            encoding == u"ascii";
    return singleByte ? TextEncoding::Windows1252 : TextEncoding::Utf8OrWindows1252;
}

std::unique_ptr<RecipeReader> makeMasterCookReader(std::unique_ptr<QIODevice> device)
{
    const bool utf8 = masterCookEncoding(device->peek(200)) == TextEncoding::Utf8OrWindows1252;
    return std::make_unique<MasterCookReader>(std::move(device), utf8, true);
}

} // namespace store::interchange
