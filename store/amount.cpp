#include "store/amount.h"

#include <cmath>

namespace store {

namespace {

// The fraction characters and their values.
struct Vulgar
{
    char16_t c;
    double value;
};
constexpr Vulgar kVulgar[] = {
    {u'½', 1.0 / 2}, {u'¼', 1.0 / 4}, {u'¾', 3.0 / 4}, {u'⅓', 1.0 / 3}, {u'⅔', 2.0 / 3},
    {u'⅛', 1.0 / 8}, {u'⅜', 3.0 / 8}, {u'⅝', 5.0 / 8}, {u'⅞', 7.0 / 8},
};

// Longer runs of digits than this are not taken as an amount: nobody buys 10^10 of anything, and the
// value stays exact in a double.
constexpr qsizetype kMaxDigits = 9;

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Reads a run of digits at `pos`; none when there is none or it is too long.
std::optional<double> readDigits(QStringView text, qsizetype &pos)
{
    const qsizetype start = pos;
    double value = 0;
    while (pos < text.size() && isDigit(text[pos]))
        value = value * 10 + (text[pos++].unicode() - u'0');
    if (pos == start || pos - start > kMaxDigits)
        return std::nullopt;
    return value;
}

std::optional<double> vulgarValue(QChar c)
{
    for (const Vulgar &v : kVulgar) {
        if (c == v.c)
            return v.value;
    }
    return std::nullopt;
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

} // namespace

std::optional<double> parseAmount(QStringView text)
{
    text = text.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    if (text.size() == 1 && vulgarValue(text[0]))
        return vulgarValue(text[0]);

    qsizetype pos = 0;
    const std::optional<double> whole = readDigits(text, pos);
    if (!whole)
        return std::nullopt;
    if (pos == text.size())
        return whole;

    const QChar next = text[pos];
    if (next == u'.' || next == u',') {
        const qsizetype start = ++pos;
        const std::optional<double> decimals = readDigits(text, pos);
        if (!decimals || pos != text.size())
            return std::nullopt;
        return *whole + *decimals / std::pow(10.0, double(pos - start));
    }
    if (next == u'/') {
        ++pos;
        const std::optional<double> below = readDigits(text, pos);
        if (!below || *below == 0 || pos != text.size())
            return std::nullopt;
        return *whole / *below;
    }

    // A mixed number: the whole part, blanks (which a fraction character may go without), a fraction.
    const qsizetype blanks = pos;
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    if (pos + 1 == text.size() && vulgarValue(text[pos]))
        return *whole + *vulgarValue(text[pos]);
    if (pos == blanks)
        return std::nullopt;
    const std::optional<double> above = readDigits(text, pos);
    if (!above || pos == text.size() || text[pos] != u'/')
        return std::nullopt;
    ++pos;
    const std::optional<double> below = readDigits(text, pos);
    if (!below || *below == 0 || pos != text.size() || *above >= *below)
        return std::nullopt;
    return *whole + *above / *below;
}

std::optional<Quantity> parseQuantity(QStringView text)
{
    text = text.trimmed();
    // Most amounts are one number; the separators are looked for only when the whole is not one.
    if (const std::optional<double> single = parseAmount(text))
        return Quantity{*single, *single};
    for (const QStringView separator : {u"-", u"\u2013", u" to "}) {
        const qsizetype at = text.indexOf(separator, 1);
        if (at < 0)
            continue;
        const std::optional<double> low = parseAmount(text.left(at));
        const std::optional<double> high = parseAmount(text.mid(at + separator.size()));
        if (low && high && *high >= *low)
            return Quantity{*low, *high};
        return std::nullopt;
    }
    return std::nullopt;
}

QString writeAmount(double value)
{
    // The smallest of these parts that the value is a whole number of, so that the fraction comes out
    // reduced: 0.75 is three quarters, not six eighths.
    for (const int parts : {1, 2, 3, 4, 8}) {
        const double scaled = value * parts;
        const double rounded = std::round(scaled);
        if (std::abs(scaled - rounded) > 1e-9 * std::max(1.0, scaled))
            continue;
        const auto count = qint64(rounded);
        const qint64 whole = count / parts;
        const qint64 rest = count % parts;
        if (rest == 0)
            return QString::number(whole);
        const QString fraction = QStringLiteral("%1/%2").arg(rest).arg(parts);
        return whole == 0 ? fraction : QStringLiteral("%1 %2").arg(whole).arg(fraction);
    }
    QString text = QString::number(value, 'f', 2);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text;
}

} // namespace store
