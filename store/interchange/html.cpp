#include "store/interchange/html.h"

#include <QHash>
#include <QRegularExpression>

namespace store::interchange {

std::optional<QString> namedCharacter(QStringView name)
{
    static const QHash<QString, QString> names = [] {
        QHash<QString, QString> table;
        const std::pair<const char *, char16_t> entries[] = {
            {"amp", u'&'},      {"lt", u'<'},       {"gt", u'>'},       {"quot", u'"'},     {"apos", u'\''},
            {"nbsp", 0x00A0},   {"deg", 0x00B0},    {"frac12", 0x00BD}, {"frac14", 0x00BC}, {"frac34", 0x00BE},
            {"frac13", 0x2153}, {"frac23", 0x2154}, {"frac18", 0x215B}, {"ndash", 0x2013},  {"mdash", 0x2014},
            {"lsquo", 0x2018},  {"rsquo", 0x2019},  {"ldquo", 0x201C},  {"rdquo", 0x201D},  {"hellip", 0x2026},
            {"bull", 0x2022},   {"middot", 0x00B7}, {"times", 0x00D7},  {"copy", 0x00A9},   {"reg", 0x00AE},
            {"trade", 0x2122},  {"eacute", 0x00E9}, {"egrave", 0x00E8}, {"ecirc", 0x00EA},  {"euml", 0x00EB},
            {"aacute", 0x00E1}, {"agrave", 0x00E0}, {"acirc", 0x00E2},  {"auml", 0x00E4},   {"aring", 0x00E5},
            {"ccedil", 0x00E7}, {"iacute", 0x00ED}, {"icirc", 0x00EE},  {"iuml", 0x00EF},   {"ntilde", 0x00F1},
            {"oacute", 0x00F3}, {"ocirc", 0x00F4},  {"ouml", 0x00F6},   {"uacute", 0x00FA}, {"ucirc", 0x00FB},
            {"uuml", 0x00FC},   {"szlig", 0x00DF},  {"Eacute", 0x00C9}, {"Auml", 0x00C4},   {"Ouml", 0x00D6},
            {"Uuml", 0x00DC},   {"oslash", 0x00F8}, {"aelig", 0x00E6},  {"shy", 0x00AD},
        };
        for (const auto &[entity, character] : entries)
            table.insert(QLatin1String(entity), QString(QChar(character)));
        return table;
    }();
    const auto found = names.constFind(name.toString());
    if (found == names.constEnd())
        return std::nullopt;
    return *found;
}

QString decodeCharacterReferences(const QString &text)
{
    if (!text.contains(u'&'))
        return text;
    static const QRegularExpression reference(
        QStringLiteral("&(?:#(\\d{1,7})|#[xX]([0-9A-Fa-f]{1,6})|([A-Za-z][A-Za-z0-9]{1,31}));"));
    QString result;
    qsizetype last = 0;
    QRegularExpressionMatchIterator it = reference.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        QString replacement;
        if (match.capturedLength(3) > 0) {
            replacement = namedCharacter(match.capturedView(3)).value_or(match.captured());
        } else {
            bool ok = false;
            const uint code =
                match.capturedLength(1) > 0 ? match.captured(1).toUInt(&ok) : match.captured(2).toUInt(&ok, 16);
            const bool valid = ok && code > 0 && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
            replacement = valid ? QString::fromUcs4(reinterpret_cast<const char32_t *>(&code), 1) : match.captured();
        }
        result += QStringView(text).sliced(last, match.capturedStart() - last);
        result += replacement;
        last = match.capturedEnd();
    }
    result += QStringView(text).sliced(last);
    return result;
}

QString htmlToText(const QString &html)
{
    static const QRegularExpression breaks(QStringLiteral("<br\\s*/?>|</(?:p|li|div|h[1-6]|tr)\\s*>"),
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression tags(QStringLiteral("<[A-Za-z/!][^>]*>"));
    QString text = html;
    if (text.contains(u'<')) {
        text.replace(breaks, QStringLiteral("\n"));
        text.remove(tags);
    }
    text = decodeCharacterReferences(text);
    text.replace(QChar(0x00A0), QLatin1Char(' '));
    return tidyLines(text.split(QLatin1Char('\n')));
}

QString tidyLines(QStringList lines)
{
    // The lines are changed where they lie: a line given up by its caller is not copied.
    qsizetype indent = -1;
    for (QString &line : lines) {
        qsizetype end = line.size();
        while (end > 0 && line.at(end - 1).isSpace())
            --end;
        if (end < line.size())
            line.truncate(end);
        if (end == 0)
            continue;
        qsizetype blanks = 0;
        while (blanks < end && line.at(blanks) == u' ')
            ++blanks;
        indent = indent < 0 ? blanks : std::min(indent, blanks);
    }
    while (!lines.isEmpty() && lines.first().isEmpty())
        lines.removeFirst();
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    if (indent > 0) {
        for (QString &line : lines)
            line.remove(0, std::min(indent, line.size()));
    }
    // One line is the text as it was read, not a copy of it.
    return lines.size() == 1 ? lines.first() : lines.join(QLatin1Char('\n'));
}

} // namespace store::interchange
