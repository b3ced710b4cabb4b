#include "store/interchange/model.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace store::interchange {

namespace {

const QString kTemperatureLine = QStringLiteral("Oven temperature: ");
const QString kTimeLine = QStringLiteral("Cooking time: ");

// The measures of cooking as people write them, lower case, without a final point, sorted.
const std::vector<std::u16string> &measureWords()
{
    static const std::vector<std::u16string> words = [] {
        std::vector<std::u16string> list;
        for (const char *word :
             {"c",          "cup",         "cups",      "t",        "tsp",       "tsps",    "teaspoon",   "teaspoons",
              "tb",         "tbs",         "tbl",       "tbls",     "tbsp",      "tbsps",   "tablespoon", "tablespoons",
              "lb",         "lbs",         "pound",     "pounds",   "oz",        "ounce",   "ounces",     "pt",
              "pint",       "pints",       "qt",        "quart",    "quarts",    "gal",     "gallon",     "gallons",
              "l",          "liter",       "liters",    "litre",    "litres",    "ml",      "milliliter", "milliliters",
              "millilitre", "millilitres", "cl",        "dl",       "cc",        "g",       "gram",       "grams",
              "kg",         "kilogram",    "kilograms", "mg",       "pinch",     "pinches", "dash",       "dashes",
              "drop",       "drops",       "can",       "cans",     "pkg",       "pkgs",    "pk",         "package",
              "packages",   "packet",      "packets",   "envelope", "envelopes", "jar",     "jars",       "bottle",
              "bottles",    "box",         "boxes",     "bag",      "bags",      "carton",  "cartons",    "clove",
              "cloves",     "slice",       "slices",    "stick",    "sticks",    "bunch",   "bunches",    "head",
              "heads",      "sprig",       "sprigs",    "stalk",    "stalks",    "piece",   "pieces",     "handful",
              "handfuls",   "large",       "medium",    "small",    "lg",        "md",      "sm",         "each",
              "ea",         "whole"})
            list.emplace_back(word, word + std::strlen(word));
        std::sort(list.begin(), list.end());
        return list;
    }();
    return words;
}

bool isMeasureWord(QStringView word)
{
    if (word.endsWith(u'.'))
        word.chop(1);
    // Compared in lower case without making a string: every measure is short.
    char16_t lower[16];
    if (word.isEmpty() || word.size() > qsizetype(std::size(lower)))
        return false;
    for (qsizetype i = 0; i < word.size(); ++i) {
        const char16_t c = word[i].unicode();
        lower[i] = (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
    }
    const std::u16string_view key(lower, size_t(word.size()));
    const auto &words = measureWords();
    const auto found = std::lower_bound(words.begin(), words.end(), key,
                                        [](const std::u16string &a, std::u16string_view b) { return a < b; });
    return found != words.end() && *found == key;
}

bool isVulgarFraction(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x00BC && u <= 0x00BE) || (u >= 0x2150 && u <= 0x215E);
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

qsizetype skipDigits(QStringView s, qsizetype i)
{
    while (i < s.size() && isDigit(s[i]))
        ++i;
    return i;
}

// A number at `i`: "12", "1.5", "1,5", "1/2", "½", "1½". Returns the position after it, `i` when none.
qsizetype scanNumber(QStringView s, qsizetype i)
{
    const qsizetype start = i;
    i = skipDigits(s, i);
    if (i > start && i + 1 < s.size() && (s[i] == u'.' || s[i] == u',' || s[i] == u'/') && isDigit(s[i + 1]))
        i = skipDigits(s, i + 1);
    if (i < s.size() && isVulgarFraction(s[i]) && (i == start || s[i - 1] != u'/'))
        ++i;
    return i;
}

// A number with an optional fraction after one blank: "1 1/2", "1 ½".
qsizetype scanMixed(QStringView s, qsizetype i)
{
    const qsizetype end = scanNumber(s, i);
    if (end == i || end + 1 >= s.size() || s[end] != u' ')
        return end;
    const qsizetype fraction = scanNumber(s, end + 1);
    const QStringView part = s.sliced(end + 1, fraction - end - 1);
    if (fraction > end + 1 && (part.contains(u'/') || (part.size() == 1 && isVulgarFraction(part[0]))))
        return fraction;
    return end;
}

// The length of the amount `s` begins with, ranges included; 0 when it begins with none.
qsizetype scanAmount(QStringView s)
{
    qsizetype end = scanMixed(s, 0);
    if (end == 0)
        return 0;
    qsizetype k = end;
    while (k < s.size() && s[k] == u' ')
        ++k;
    qsizetype after = -1;
    if (k < s.size() && (s[k] == u'-' || s[k] == u'\u2013'))
        after = k + 1;
    else if (s.sliced(k).startsWith(u"to ") && k > end)
        after = k + 2;
    if (after >= 0) {
        while (after < s.size() && s[after] == u' ')
            ++after;
        const qsizetype second = scanMixed(s, after);
        if (second > after)
            end = second;
    }
    return end;
}

} // namespace

QString Ingredient::line() const
{
    QStringList parts;
    for (const QString *part : {&amount, &measure, &text}) {
        if (!part->isEmpty())
            parts.append(*part);
    }
    return parts.join(QLatin1Char(' '));
}

std::optional<MeasureSplit> splitMeasure(const QString &text)
{
    const qsizetype first = text.indexOf(QLatin1Char(' '));
    const QStringView word = QStringView(text).left(first < 0 ? text.size() : first);
    // "fl oz" and "fluid ounces" are the measures of two words.
    const auto startsPair = [&word] {
        return word.compare(u"fl", Qt::CaseInsensitive) == 0 || word.compare(u"fl.", Qt::CaseInsensitive) == 0 ||
               word.compare(u"fluid", Qt::CaseInsensitive) == 0;
    };
    if (first > 0 && startsPair()) {
        const qsizetype second = text.indexOf(QLatin1Char(' '), first + 1);
        const QString pair = text.left(second < 0 ? text.size() : second);
        const QString key = pair.toLower().remove(QLatin1Char('.'));
        if (key == u"fl oz" || key == u"fluid ounce" || key == u"fluid ounces")
            return MeasureSplit{pair, second < 0 ? QString() : text.mid(second + 1)};
    }
    if (!isMeasureWord(word))
        return std::nullopt;
    return MeasureSplit{word.toString(), first < 0 ? QString() : text.mid(first + 1)};
}

Ingredient splitIngredient(const QString &text)
{
    const QString line = text.trimmed();
    Ingredient result;
    result.text = line;
    const qsizetype length = scanAmount(line);
    if (length == 0)
        return result;
    QString rest = line.mid(length);
    if (!rest.isEmpty() && rest[0].isLetter()) {
        // A measure written against the amount: "200g flour".
        const qsizetype space = rest.indexOf(QLatin1Char(' '));
        if (!isMeasureWord(QStringView(rest).left(space < 0 ? rest.size() : space)))
            return result;
        result.amount = line.left(length);
        result.measure = rest.left(space < 0 ? rest.size() : space);
        result.text = space < 0 ? QString() : rest.mid(space + 1);
        return result;
    }
    if (!rest.isEmpty() && (rest[0] != u' ' || (rest.size() > 1 && rest[1] == u' ')))
        return result;
    result.amount = line.left(length);
    rest = rest.mid(1);
    result.text = rest;
    if (const std::optional<MeasureSplit> split = splitMeasure(rest); split && !split->rest.startsWith(u' ')) {
        result.measure = split->measure;
        result.text = split->rest;
    }
    return result;
}

bool isAmount(const QString &text)
{
    return !text.isEmpty() && scanAmount(text) == text.size();
}

std::optional<int> findTemperature(const QString &text)
{
    // The clauses of the text: split at a line break, and at a point or other stop before a blank or the end.
    static const QRegularExpression clauses(QStringLiteral("[.!?;:,](?=\\s|$)|\\n"));
    // Words that name an oven: the oven (not a Dutch oven, which is a pot, nor an ovenproof dish),
    // preheating, baking and roasting.
    static const QRegularExpression oven(
        QStringLiteral("\\b(?:(?<!dutch )oven(?![- ]?(?:proof|safe))|pre-?heat|bak(?:e|es|ed|ing)\\b|roast)"),
        QRegularExpression::CaseInsensitiveOption);
    // A number (or the first of a range) with "at" or "to" before it, then a degree sign or word ("a
    // 450-degree oven" too), or a scale.
    static const QRegularExpression pattern(
        QStringLiteral("(?:\\b(?i:(at|to))\\s+)?(?<![\\d.,])(\\d{2,4})(?:\\s*(?:-|\u2013|to)\\s*\\d{2,4})?"
                       "(?:\\s*(\u00B0|\u00BA|\u02DA|(?i:degrees?\\b|deg\\b\\.?))|-((?i:degrees?)\\b))?\\s*"
                       "((?i:fahrenheit|celsius|centigrade)|F|C)?(?![A-Za-z])"));
    // A thermometer's reading is the food's temperature, not the oven's.
    static const QRegularExpression food(QStringLiteral("\\b(?:thermometer|internal|inside|reads|registers)\\b"),
                                         QRegularExpression::CaseInsensitiveOption);
    // Each clause is looked at where it lies: a long text is not copied into a list of its clauses.
    QRegularExpressionMatchIterator stops = clauses.globalMatch(text);
    for (qsizetype begin = 0; begin <= text.size();) {
        const QRegularExpressionMatch stop = stops.hasNext() ? stops.next() : QRegularExpressionMatch();
        const qsizetype end = stop.hasMatch() ? stop.capturedStart() : text.size();
        const QStringView clause = QStringView(text).sliced(begin, end - begin);
        begin = stop.hasMatch() ? stop.capturedEnd() : text.size() + 1;
        if (!oven.match(clause).hasMatch() || food.match(clause).hasMatch())
            continue;
        QRegularExpressionMatchIterator it = pattern.globalMatch(clause);
        while (it.hasNext()) {
            const QRegularExpressionMatch match = it.next();
            const bool degree = match.capturedLength(3) > 0 || match.capturedLength(4) > 0;
            const QString scale = match.captured(5).toLower();
            const int value = match.captured(2).toInt();
            // A bare number counts after "at" or "to" when an oven reaches it in degrees Fahrenheit ("Heat
            // the oven to 350."); a bare F or C only after a number an oven can reach, so that "2 C flour"
            // is no temperature.
            const bool bare = match.capturedLength(1) > 0 && value >= 200 && value <= 550;
            if (!degree && (scale.isEmpty() ? !bare : scale.size() == 1 && value < 100))
                continue;
            if (scale.startsWith(u'c'))
                return int(std::lround((value * 9.0 / 5.0 + 32) / 5.0)) * 5;
            return value;
        }
    }
    return std::nullopt;
}

std::optional<Duration> parseIsoDuration(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^P(?:(\\d+)Y)?(?:(\\d+)M)?(?:(\\d+)W)?(?:(\\d+)D)?"
                       "(?:T(?:(\\d+(?:\\.\\d+)?)H)?(?:(\\d+(?:\\.\\d+)?)M)?(?:(\\d+(?:\\.\\d+)?)S)?)?$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch() || match.capturedLength() <= 2)
        return std::nullopt;
    const auto part = [&match](int n) { return match.captured(n); };
    // Whole hours and minutes alone are kept as written; anything else becomes hours and minutes.
    const bool plain = part(1).isEmpty() && part(2).isEmpty() && part(3).isEmpty() && part(4).isEmpty() &&
                       part(7).isEmpty() && !part(5).contains(QLatin1Char('.')) && !part(6).contains(QLatin1Char('.'));
    if (plain) {
        if (part(5).isEmpty() && part(6).isEmpty())
            return std::nullopt;
        return Duration{part(5), part(6)};
    }
    const double days =
        part(1).toDouble() * 365 + part(2).toDouble() * 30 + part(3).toDouble() * 7 + part(4).toDouble();
    const double minutes = (days * 24 + part(5).toDouble()) * 60 + part(6).toDouble() + part(7).toDouble() / 60;
    if (!std::isfinite(minutes) || minutes > 1e9)
        return std::nullopt;
    const qint64 total = std::llround(minutes);
    return Duration{QString::number(total / 60), QString::number(total % 60)};
}

QString isoDuration(const Duration &time)
{
    if (time.isEmpty())
        return {};
    QString text = QStringLiteral("PT");
    if (!time.hours.isEmpty())
        text += time.hours + QLatin1Char('H');
    if (!time.minutes.isEmpty())
        text += time.minutes + QLatin1Char('M');
    return text;
}

QString withCookingInfo(const QString &directions, const CookingInfo &info)
{
    QStringList lines;
    if (info.temperature)
        lines.append(kTemperatureLine +
                     (info.temperature->isEmpty() ? QStringLiteral("none") : *info.temperature + QStringLiteral(" F")));
    if (!info.time.isEmpty()) {
        QStringList parts;
        if (!info.time.hours.isEmpty())
            parts.append(info.time.hours + QStringLiteral(" hr"));
        if (!info.time.minutes.isEmpty())
            parts.append(info.time.minutes + QStringLiteral(" min"));
        lines.append(kTimeLine + parts.join(QLatin1Char(' ')));
    }
    if (lines.isEmpty())
        return directions;
    return directions.isEmpty() ? lines.join(QLatin1Char('\n'))
                                : directions + QStringLiteral("\n\n") + lines.join(QLatin1Char('\n'));
}

CookingInfo takeCookingInfo(QString &directions)
{
    static const QRegularExpression temperature(QStringLiteral("^Oven temperature: (?:(\\d+) F|none)$"));
    static const QRegularExpression time(QStringLiteral("^Cooking time: (?:(\\d+) hr(?: (\\d+) min)?|(\\d+) min)$"));
    if (!directions.contains(kTemperatureLine) && !directions.contains(kTimeLine))
        return {};
    const QStringList lines = directions.split(QLatin1Char('\n'));
    CookingInfo info;
    qsizetype first = lines.size();
    while (first > 0) {
        const QString &line = lines.at(first - 1);
        if (const QRegularExpressionMatch m = temperature.match(line); m.hasMatch() && !info.temperature) {
            info.temperature = m.captured(1);
        } else if (const QRegularExpressionMatch t = time.match(line); t.hasMatch() && info.time.isEmpty()) {
            info.time = {t.captured(1), t.captured(2) + t.captured(3)};
        } else {
            break;
        }
        --first;
    }
    if (first == lines.size())
        return {};
    // The lines stand apart from the directions, after an empty line.
    if (first == 0) {
        directions.clear();
    } else if (lines.at(first - 1).isEmpty()) {
        directions = lines.mid(0, first - 1).join(QLatin1Char('\n'));
    } else {
        return {};
    }
    return info;
}

} // namespace store::interchange
