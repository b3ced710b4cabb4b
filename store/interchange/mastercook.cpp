#include "store/interchange/mastercook.h"

#include "store/interchange/html.h"
#include "store/io/textcodec.h"
#include "store/io/textfile.h"

#include <QBuffer>
#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QXmlStreamReader>

namespace store::interchange {

namespace {

// Files written by hand or by older programs hold a bare "&" and HTML's named references, which XML
// does not know: both are made into what XML reads as the same text.
QString repairReferences(const QString &xml)
{
    static const QRegularExpression ampersand(
        QStringLiteral("&(?:(#\\d{1,7}|#[xX][0-9A-Fa-f]{1,6})|([A-Za-z][A-Za-z0-9]{0,31}))?(;?)"));
    if (!xml.contains(u'&'))
        return xml;
    QString result;
    qsizetype last = 0;
    QRegularExpressionMatchIterator it = ampersand.globalMatch(xml);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        result += QStringView(xml).sliced(last, match.capturedStart() - last);
        last = match.capturedEnd();
        const bool closed = match.capturedLength(3) > 0;
        if (closed && match.capturedLength(1) > 0) {
            result += match.captured();
            continue;
        }
        const QString name = match.captured(2);
        const bool known = name == u"amp" || name == u"lt" || name == u"gt" || name == u"quot" || name == u"apos";
        if (closed && known) {
            result += match.captured();
        } else if (const std::optional<QString> character = closed ? namedCharacter(name) : std::nullopt) {
            result += QStringLiteral("&#%1;").arg(character->at(0).unicode());
        } else {
            result += QStringLiteral("&amp;") + match.captured().mid(1);
        }
    }
    result += QStringView(xml).sliced(last);
    return result;
}

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
    // Reads from `device` a slice at a time, so that the element's text is not held twice more.
    explicit RecipeElement(QIODevice *device) : m_xml(device) {}

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

    // The text of the current element and of every element inside it, read in one loop: Qt's
    // readElementText() calls itself for each element inside, and a file that nests elements a hundred
    // thousand deep would overflow the stack.
    QString text()
    {
        QString result;
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
                // Most elements hold one piece of text, which is copied once at its size.
                if (result.isEmpty())
                    result = m_xml.text().toString();
                else
                    result += m_xml.text();
                break;
            case QXmlStreamReader::Invalid:
                return result;
            default:
                break;
            }
        }
        return result;
    }

    void readRecipeElement(Recipe &recipe)
    {
        QStringList directions;
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
                while (m_xml.readNextStartElement())
                    directions.append(text());
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
        static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
        QStringList lines;
        for (const QString &step : std::as_const(directions)) {
            if (step.contains(u'\n') || step.contains(u'\r'))
                lines += step.split(lineBreak);
            else
                lines.append(step); // shared, not copied
        }
        recipe.directions = tidyLines(lines);
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

    QXmlStreamReader m_xml;
};

class MasterCookReader : public RecipeReader
{
public:
    explicit MasterCookReader(const QString &text) : m_text(text) {}

    std::optional<ReadItem> next() override
    {
        const qsizetype begin = findStart(m_pos);
        if (begin < 0) {
            m_pos = m_text.size();
            if (m_found)
                return std::nullopt;
            m_found = true;
            return ReadItem{1, QStringLiteral("no MasterCook recipe (RcpE) was found in this file"), {}};
        }
        m_found = true;
        ReadItem item;
        m_line += QStringView(m_text).sliced(m_pos, begin - m_pos).count(u'\n');
        m_pos = begin;
        item.line = m_line;

        // The first closing tag at or after the recipe: looked for again only once the reading has passed
        // the one found before, so that a file of many recipes that never close is read in one pass.
        static const QLatin1String closing("</RcpE>");
        if (m_closing != kNone && m_closing < m_pos)
            m_closing = m_text.indexOf(closing, m_pos);
        const qsizetype end = m_closing;
        const qsizetype following = findStart(begin + kStart.size());
        if (end < 0 || (following >= 0 && following < end)) {
            item.problem = QStringLiteral("the recipe has no closing </RcpE>");
            const qsizetype stop = following >= 0 ? following : m_text.size();
            m_line += QStringView(m_text).sliced(m_pos, stop - m_pos).count(u'\n');
            m_pos = stop;
            return item;
        }
        const qsizetype stop = end + closing.size();
        const QStringView element = QStringView(m_text).sliced(m_pos, stop - m_pos);
        m_line += element.count(u'\n');
        m_pos = stop;

        // The element as UTF-8, which the XML reader takes without a declaration.
        QByteArray xml = element.contains(u'&') ? repairReferences(element.toString()).toUtf8() : element.toUtf8();
        QBuffer device(&xml);
        device.open(QIODevice::ReadOnly);
        RecipeElement reader(&device);
        qsizetype errorLine = 0;
        const QString error = reader.read(item.recipe, errorLine);
        if (!error.isEmpty()) {
            item.line += errorLine - 1;
            item.problem = QStringLiteral("the recipe is not well-formed XML: ") + error;
        } else if (item.recipe.title.isEmpty()) {
            item.problem = QStringLiteral("the recipe has no name");
        }
        return item;
    }

    double progress() const override { return m_text.isEmpty() ? 1.0 : double(m_pos) / double(m_text.size()); }

private:
    static constexpr qsizetype kNone = -1;
    static constexpr QLatin1String kStart{"<RcpE"};

    // Where the next recipe begins at or after `from`: "<RcpE" and a blank, ">" or "/"; -1 when none does.
    // (A regular expression would check the whole text before each search, over and over.)
    qsizetype findStart(qsizetype from) const
    {
        for (qsizetype at = m_text.indexOf(kStart, from); at >= 0; at = m_text.indexOf(kStart, at + 1)) {
            const qsizetype after = at + kStart.size();
            if (after < m_text.size() &&
                (m_text.at(after).isSpace() || m_text.at(after) == u'>' || m_text.at(after) == u'/'))
                return at;
        }
        return -1;
    }

    QString m_text;
    qsizetype m_closing = -2; ///< where the next </RcpE> begins; kNone when the text has no more
    qsizetype m_pos = 0;
    qsizetype m_line = 1;
    bool m_found = false;
};

} // namespace

TextEncoding masterCookEncoding(const QByteArray &head)
{
    static const QRegularExpression declaration(
        QStringLiteral("^\\s*<\\?xml[^>]*encoding\\s*=\\s*[\"']([^\"']+)[\"']"));
    const QString encoding = declaration.match(QString::fromLatin1(head.left(200))).captured(1).toLower();
    if (encoding.startsWith(u"utf-16"))
        return TextEncoding::Utf16;
    const bool singleByte = encoding.startsWith(u"iso-8859-1") || encoding.startsWith(u"latin") ||
                            encoding.startsWith(u"windows-1252") || encoding == u"cp1252" || encoding == u"us-ascii" ||
                            encoding == u"ascii";
    return singleByte ? TextEncoding::Windows1252 : TextEncoding::Utf8OrWindows1252;
}

QString decodeMasterCook(const QByteArray &bytes)
{
    switch (masterCookEncoding(bytes)) {
    case TextEncoding::Utf16: {
        QStringDecoder utf16(QStringDecoder::Utf16);
        return utf16.decode(bytes);
    }
    case TextEncoding::Windows1252:
        return decodeWindows1252(bytes);
    case TextEncoding::Utf8OrWindows1252:
        break;
    }
    return decodeText(bytes);
}

std::unique_ptr<RecipeReader> makeMasterCookReader(const QString &text)
{
    return std::make_unique<MasterCookReader>(text);
}

} // namespace store::interchange
