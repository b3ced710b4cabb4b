// Writing MealMaster text as the format's classic files are, so that other programs read it: the
// characters of ISO-8859-1 only, amounts as digits and fractions, the unit codes of MealMaster's table
// in the unit column, a Servings or Yield line always, section lines only for headings, and long
// ingredient text on continuation lines.
#include "store/interchange/mapping.h"
#include "store/interchange/mealmaster.h"
#include "store/units.h"

#include <QHash>
#include <QRegularExpression>

namespace store::interchange {

namespace {

// The columns of an ingredient line, as the reader reads them (mealmaster.cpp).
constexpr qsizetype kAmountWidth = 7;
constexpr qsizetype kCodeWidth = 2;
constexpr qsizetype kTextColumn = kAmountWidth + 1 + kCodeWidth + 1;
// Ingredient lines stay within 40 characters: readers take a blank in column 41 for the start of a
// second column.
constexpr qsizetype kLineWidth = 40;
const QString kHeader = QStringLiteral("MMMMM----- Recipe via Meal-Master (tm) v8.05");

// The code of MealMaster's unit table for each unit of store/units that the table has, by the unit's name.
const QHash<QString, QString> &codesByUnit()
{
    static const QHash<QString, QString> codes{
        {"tsp", "ts"},    {"tbsp", "tb"},  {"cup", "c"},     {"fl oz", "fl"},  {"pint", "pt"},   {"quart", "qt"},
        {"gallon", "ga"}, {"oz", "oz"},    {"lb", "lb"},     {"ml", "ml"},     {"cl", "cl"},     {"dl", "dl"},
        {"l", "l"},       {"mg", "mg"},    {"cg", "cg"},     {"dg", "dg"},     {"g", "g"},       {"kg", "kg"},
        {"pinch", "pn"},  {"dash", "ds"},  {"drop", "dr"},   {"bunch", "bn"},  {"can", "cn"},    {"carton", "ct"},
        {"each", "ea"},   {"large", "lg"}, {"medium", "md"}, {"small", "sm"},  {"package", "pk"}, {"slice", "sl"},
    };
    return codes;
}

// The unit code for `measure`: the code the reader reads back as exactly this measure, else the code of
// the unit it spells (store::findUnit); empty for a measure outside MealMaster's table.
QString codeOf(const QString &measure)
{
    if (measure == u"per serving")
        return QStringLiteral("x");
    if (measure == u"cc")
        return QStringLiteral("cb");
    const Unit *unit = findUnit(measure);
    return unit ? codesByUnit().value(QString::fromUtf8(unit->name)) : QString();
}

// The fraction characters as digits: "½" is "1/2", "1½" is "1 1/2".
QString withoutFractionCharacters(const QString &text)
{
    static const QHash<char16_t, QString> fractions{
        {u'\u00bc', "1/4"}, {u'\u00bd', "1/2"}, {u'\u00be', "3/4"}, {u'\u2150', "1/7"}, {u'\u2151', "1/9"},
        {u'\u2152', "1/10"}, {u'\u2153', "1/3"}, {u'\u2154', "2/3"}, {u'\u2155', "1/5"}, {u'\u2156', "2/5"},
        {u'\u2157', "3/5"}, {u'\u2158', "4/5"}, {u'\u2159', "1/6"}, {u'\u215a', "5/6"}, {u'\u215b', "1/8"},
        {u'\u215c', "3/8"}, {u'\u215d', "5/8"}, {u'\u215e', "7/8"},
    };
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const auto found = fractions.constFind(c.unicode());
        if (found == fractions.cend()) {
            out += c;
            continue;
        }
        if (!out.isEmpty() && out.back().isDigit())
            out += u' ';
        out += *found;
    }
    return out;
}

// `text` in the characters of ISO-8859-1 that a reader takes: the fraction characters as digits, the
// typographic quotes, dashes and ellipsis as ASCII, a tab as blanks to the next stop of eight, and any
// other character as "?".
QString latin1(const QString &text)
{
    QString out;
    const QString plain = withoutFractionCharacters(text);
    out.reserve(plain.size());
    qsizetype column = 0; // in the line, for the tab stops
    for (const QChar c : plain) {
        const char16_t u = c.unicode();
        const qsizetype before = out.size();
        if (u == u'\n') {
            out += c;
            column = 0;
            continue;
        }
        if (u == u'\t')
            out += QString(8 - column % 8, u' ');
        else if (u == 0x2018 || u == 0x2019 || u == 0x201a || u == 0x201b || u == 0x2032)
            out += u'\'';
        else if (u == 0x201c || u == 0x201d || u == 0x201e || u == 0x2033)
            out += u'"';
        else if (u >= 0x2010 && u <= 0x2015)
            out += u'-';
        else if (u == 0x2026)
            out += QStringLiteral("...");
        else if (u == 0x2022)
            out += u'*';
        else if (u < 0x20 || (u >= 0x7f && u < 0xa0) || u > 0xff)
            out += u'?';
        else
            out += c;
        column += out.size() - before;
    }
    return out;
}

// Whether `amount` is one that readers of the format take in the amount column: a whole number, a
// decimal with a point, a fraction or a whole number and a fraction ("1 1/2").
bool isPlainAmount(const QString &amount)
{
    static const QRegularExpression shape(QStringLiteral("^(?:\\d+(?: \\d+/\\d+|/\\d+)?|\\d*\\.\\d+|\\d+\\.)$"));
    return amount.size() <= kAmountWidth && shape.match(amount).hasMatch();
}

QString ingredientLine(const QString &amount, const QString &code, const QString &text)
{
    return amount.rightJustified(kAmountWidth) + u' ' + code.leftJustified(kCodeWidth) + u' ' + text;
}

// `text` cut at single blanks into pieces of at most `first` characters, then of `rest`; whole when it has
// blanks that a reader would not give back (two together, at its ends).
QStringList wrapped(const QString &text, qsizetype first, qsizetype rest)
{
    if (text.size() <= first || text.contains(QStringLiteral("  ")) || text.trimmed() != text)
        return {text};
    QStringList pieces;
    QString piece;
    for (const QString &word : text.split(u' ')) {
        const qsizetype width = pieces.isEmpty() ? first : rest;
        if (!piece.isEmpty() && piece.size() + 1 + word.size() > width) {
            pieces.append(piece);
            piece.clear();
        }
        piece = piece.isEmpty() ? word : piece + u' ' + word;
    }
    pieces.append(piece);
    return pieces;
}

// A row that is a heading of the ingredients: no amount nor measure, and written as headings are, in
// capitals or ending with a colon ("SAUCE", "For the crust:").
bool isHeading(const Ingredient &row)
{
    const QString &text = row.text;
    if (!row.amount.isEmpty() || !row.measure.isEmpty() || text.isEmpty() || text.trimmed() != text ||
        text.startsWith(u'-') || text.endsWith(u'-'))
        return false;
    if (text.endsWith(u':'))
        return true;
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetter(); }) &&
           std::none_of(text.begin(), text.end(), [](QChar c) { return c.isLower(); });
}

void appendRow(QStringList &lines, Ingredient row)
{
    row.amount = latin1(row.amount);
    row.measure = latin1(row.measure);
    row.text = latin1(row.text);
    if (isHeading(row)) {
        lines.append(QStringLiteral("MMMMM-----") + row.text + QStringLiteral("-----"));
        return;
    }
    // An amount readers would not take (a range, a decimal comma, words) stays in the text.
    if (!row.amount.isEmpty() && !isPlainAmount(row.amount))
        row = {QString(), QString(), row.line()};
    const QString code = codeOf(row.measure);
    QString text = row.text;
    if (code.isEmpty() && !row.measure.isEmpty())
        text = row.text.isEmpty() ? row.measure : row.measure + u' ' + row.text;
    // A text that the reader would split into a measure and the rest goes on a continuation line after
    // its amount, where it is read whole.
    const bool misread = row.measure.isEmpty() && !row.amount.isEmpty() && splitMeasure(text).has_value();
    QStringList pieces = misread ? QStringList{QString()} + wrapped(text, kLineWidth - kTextColumn - 1,
                                                                     kLineWidth - kTextColumn - 1)
                                 : wrapped(text, kLineWidth - kTextColumn, kLineWidth - kTextColumn - 1);
    lines.append(ingredientLine(row.amount, code, pieces.takeFirst()));
    for (const QString &piece : std::as_const(pieces))
        lines.append(QString(kTextColumn, u' ') + u'-' + piece);
}

// The Servings line, or a Yield line for a yield that is more than a number; "Yield: 1 recipe" when there
// is none, which the reader reads as no serving size.
QString servingsLine(const QString &yield)
{
    if (yield.isEmpty())
        return QStringLiteral("      Yield: ") + kNoServingSize;
    if (std::all_of(yield.begin(), yield.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return QStringLiteral("   Servings: ") + yield;
    return QStringLiteral("      Yield: ") + (yield.front().isDigit() ? yield : QStringLiteral("1 ") + yield);
}

} // namespace

QString writeMealMaster(const Recipe &recipe)
{
    QStringList lines{kHeader, QString()};
    lines.append(QStringLiteral("      Title: ") + latin1(recipe.title));
    lines.append(QStringLiteral(" Categories: ") +
                 (recipe.categories.isEmpty() ? QStringLiteral("None") : latin1(recipe.categories.join(u", "))));
    lines.append(servingsLine(latin1(recipe.yield)));
    lines.append(QString());

    for (const Ingredient &row : recipe.ingredients)
        appendRow(lines, row);
    lines.append(QString());

    const QString directions = withCookingInfo(recipe.directions, exportedCookingInfo(recipe, false));
    if (!directions.isEmpty()) {
        lines += latin1(directions).split(u'\n');
        lines.append(QString());
    }
    lines.append(QStringLiteral("MMMMM"));
    return lines.join(u'\n') + u'\n';
}

} // namespace store::interchange
