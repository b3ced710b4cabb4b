#include "store/ingredients.h"

#include "store/recipefile.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace store {

namespace {

// A line of `text` from `start`: where it ends, without a carriage return before the line feed.
qsizetype lineEnd(QStringView text, qsizetype start)
{
    qsizetype end = text.indexOf(u'\n', start);
    if (end < 0)
        end = text.size();
    return end > start && text[end - 1] == u'\r' ? end - 1 : end;
}

qsizetype nextLine(QStringView text, qsizetype start)
{
    const qsizetype end = text.indexOf(u'\n', start);
    return end < 0 ? text.size() : end + 1;
}

bool isAmountChar(QChar c)
{
    return (c >= u'0' && c <= u'9') || c == u'/' || c == u'.' || c == u',' || c == u' ' || c == u'-' ||
           c == u'\u2013' || (c >= u'\u00bc' && c <= u'\u00be') || (c >= u'\u2153' && c <= u'\u215e');
}

// The length of the amount at the start of `line`: the longest run of amount characters (and " to ")
// that reads as one, ending before a blank or a letter; its value in `quantity`. 0 when there is none.
qsizetype amountLength(QStringView line, std::optional<Quantity> &quantity)
{
    qsizetype end = 0;
    while (end < line.size()) {
        if (isAmountChar(line[end])) {
            ++end;
        } else if (line.mid(end).startsWith(u"to ") && end > 0 && line[end - 1] == u' ') {
            end += 3;
        } else {
            break;
        }
    }
    for (; end > 0; --end) {
        const bool boundary = end == line.size() || line[end] == u' ' || line[end].isLetter();
        if (boundary && line[end - 1] != u' ' && (quantity = parseQuantity(line.left(end))))
            return end;
    }
    return 0;
}

// A measure at the start of `text`: two words ("fl oz") before one. Sets `length` to what it spans.
const Unit *leadingUnit(QStringView text, qsizetype &length)
{
    const qsizetype first = text.indexOf(u' ');
    if (first > 0) {
        qsizetype second = text.indexOf(u' ', first + 1);
        if (second < 0)
            second = text.size();
        if (const Unit *unit = findUnit(text.left(second))) {
            length = second;
            return unit;
        }
    }
    const qsizetype word = first < 0 ? text.size() : first;
    const Unit *unit = findUnit(text.left(word));
    if (unit)
        length = word;
    return unit;
}

// The number of parts per whole that each measure is written in, as measuring cups and spoons come.
int partsOf(const Unit &unit)
{
    const QLatin1StringView name(unit.name);
    if (name == "tbsp"_L1)
        return 2;
    if (name == "oz"_L1)
        return 4;
    return 8;
}

// `value` to the nearest part (thirds too for quarters and eighths); at least one part above 0.
double snap(double value, int parts)
{
    double best = std::round(value * parts) / parts;
    if (parts == 8 || parts == 4) {
        const double thirds = std::round(value * 3) / 3;
        if (std::abs(thirds - value) < std::abs(best - value))
            best = thirds;
    }
    return value > 0 && best == 0 ? 1.0 / parts : best;
}

QString writeRange(double low, double high)
{
    return low == high ? writeAmount(low) : writeAmount(low) + u'-' + writeAmount(high);
}

QString measureFor(const Unit &unit, double high)
{
    return QString::fromUtf8(high > 1 ? unit.plural : unit.name);
}

// A US amount of `base` millilitres or grams in the largest of `ladder` that stays readable: a whole
// number of its parts within 5 % and at least `least` of it; the last one takes any amount.
struct Rung
{
    const char *unit;
    double least;
};

ShownAmount writeUs(const Quantity &base, std::initializer_list<Rung> ladder)
{
    for (const Rung &rung : ladder) {
        const Unit &unit = unitNamed(rung.unit);
        const double low = base.low / unit.base;
        // Below a cup, the cups that measuring sets hold: quarters and thirds (6 tbsp is no 3/8 cup).
        const int parts = QLatin1StringView(unit.name) == "cup"_L1 && low < 1 ? 4 : partsOf(unit);
        const double snapped = snap(low, parts);
        const bool last = &rung == ladder.end() - 1;
        if (!last && (low < rung.least * 0.99 || std::abs(snapped - low) > 0.05 * low))
            continue;
        const double high = base.isRange() ? snap(base.high / unit.base, parts) : snapped;
        return {writeRange(snapped, high), measureFor(unit, high)};
    }
    return {};
}

// A metric amount as a scale or a jug shows it: 5 steps below 100, 10 below 1,000, then the larger unit
// with one decimal.
double metricStep(double value)
{
    if (value < 5)
        return std::max(1.0, std::round(value));
    return std::round(value / (value < 100 ? 5 : 10)) * (value < 100 ? 5 : 10);
}

QString oneDecimal(double value)
{
    return QString::number(std::round(value * 10) / 10, 'f', 1).remove(QLatin1StringView(".0"));
}

ShownAmount writeMetric(const Quantity &base, const char *small, const char *large)
{
    const double low = metricStep(base.low);
    const double high = metricStep(base.high);
    if (low >= 1000) {
        const QString l = oneDecimal(low / 1000);
        const QString h = oneDecimal(high / 1000);
        return {l == h ? l : l + u'-' + h, QLatin1StringView(large).toString()};
    }
    const QString l = QString::number(qint64(low));
    return {low == high ? l : l + u'-' + QString::number(qint64(high)), QLatin1StringView(small).toString()};
}

// Whether As written keeps a measure as it is rather than writing it in its kitchen's readable measures.
bool keptAsWritten(const Unit &unit)
{
    static const QLatin1StringView ladders[] = {"tsp"_L1, "tbsp"_L1, "cup"_L1, "oz"_L1, "lb"_L1,
                                                "ml"_L1,  "l"_L1,    "g"_L1,   "kg"_L1};
    return std::find(std::begin(ladders), std::end(ladders), QLatin1StringView(unit.name)) == std::end(ladders);
}

} // namespace

TextSpan moreIngredients(QStringView directions)
{
    qsizetype heading = 0;
    if (lineEnd(directions, 0) != kMoreIngredientsLine.size() || !directions.startsWith(kMoreIngredientsLine)) {
        heading = nextLine(directions, 0);
        if (lineEnd(directions, heading) - heading != kMoreIngredientsLine.size() ||
            !directions.mid(heading).startsWith(kMoreIngredientsLine))
            return {};
    }
    const qsizetype start = nextLine(directions, heading);
    qsizetype end = start;
    for (qsizetype line = start; line < directions.size(); line = nextLine(directions, line)) {
        const qsizetype stop = lineEnd(directions, line);
        if (stop == line)
            break;
        end = stop;
    }
    return {start, end};
}

int moreIngredientsLineCount(QStringView directions)
{
    const TextSpan span = moreIngredients(directions);
    return span.isEmpty() ? 0 : int(directions.left(span.end).count(u'\n')) + 1;
}

IngredientLine readIngredient(const QString &amount, const QString &measure, const QString &text)
{
    if (amount.trimmed().isEmpty() && measure.trimmed().isEmpty())
        return readIngredientLine(text);
    IngredientLine line{amount.trimmed(), measure.trimmed(), text.trimmed(), parseQuantity(amount)};
    if (!line.measure.isEmpty()) {
        line.unit = findUnit(line.measure);
    } else if (line.quantity) {
        qsizetype length = 0;
        if ((line.unit = leadingUnit(line.text, length))) {
            line.measure = line.text.left(length);
            line.text = line.text.mid(length).trimmed();
        }
    }
    return line;
}

IngredientLine readIngredientLine(QStringView line)
{
    line = line.trimmed();
    IngredientLine read;
    const qsizetype length = amountLength(line, read.quantity);
    if (length == 0) {
        read.text = line.toString();
        return read;
    }
    read.amount = line.left(length).toString();
    QStringView rest = line.mid(length).trimmed();
    qsizetype measure = 0;
    if ((read.unit = leadingUnit(rest, measure))) {
        read.measure = rest.left(measure).toString();
        rest = rest.mid(measure).trimmed();
    } else if (length < line.size() && line[length].isLetter()) {
        // Letters against the digits that spell no measure: part of a name ("7up").
        return {QString(), QString(), line.toString(), std::nullopt, nullptr};
    }
    read.text = rest.toString();
    return read;
}

QList<IngredientLine> ingredientsOf(const RecipeRecord &record)
{
    QList<IngredientLine> lines;
    for (int row = 1; row <= RecipeRecord::kRowCount; ++row) {
        IngredientLine line = readIngredient(record.amount(row), record.type(row), record.ingredient(row));
        if (!line.isEmpty())
            lines.append(std::move(line));
    }
    const QStringView directions = record.directions();
    const TextSpan more = moreIngredients(directions);
    for (qsizetype at = more.start; at < more.end; at = nextLine(directions, at)) {
        IngredientLine line = readIngredientLine(directions.mid(at, lineEnd(directions, at) - at));
        if (!line.isEmpty())
            lines.append(std::move(line));
    }
    return lines;
}

ShownAmount showAmount(const Quantity &quantity, const Unit *unit, const QString &measure, QStringView ingredient,
                       Units units)
{
    if (!unit || unit->dimension == Dimension::Other) {
        // Counted: to the nearest half, at least a half.
        const auto half = [](double v) { return v > 0 ? std::max(0.5, std::round(v * 2) / 2) : 0.0; };
        return {writeRange(half(quantity.low), half(quantity.high)), measure};
    }
    if (units == Units::AsWritten && keptAsWritten(*unit)) {
        if (unit->system == System::Metric)
            return {quantity.isRange() ? oneDecimal(quantity.low) + u'-' + oneDecimal(quantity.high)
                                       : oneDecimal(quantity.low),
                    measure};
        return {writeRange(snap(quantity.low, 8), snap(quantity.high, 8)), measure};
    }

    const System target = units == Units::Metric ? System::Metric : units == Units::US ? System::US : unit->system;
    Quantity base = quantity.scaled(unit->base);
    Dimension dimension = unit->dimension;
    // The density table is looked through only where a volume may become a mass or the other way.
    const bool toMass = units == Units::Metric && dimension == Dimension::Volume && base.low >= 30;
    const bool toVolume = units == Units::US && dimension == Dimension::Mass;
    if (toMass || toVolume) {
        const std::optional<Density> density = densityOf(ingredient);
        if (density && toMass && density->weighed) {
            base = base.scaled(density->gramsPerMl);
            dimension = Dimension::Mass;
        } else if (density && toVolume) {
            base = base.scaled(1 / density->gramsPerMl);
            dimension = Dimension::Volume;
        }
    }

    ShownAmount shown;
    if (target == System::Metric)
        shown = dimension == Dimension::Volume ? writeMetric(base, "ml", "l") : writeMetric(base, "g", "kg");
    else if (dimension == Dimension::Volume)
        shown = writeUs(base, {{"cup", 0.25}, {"tbsp", 1}, {"tsp", 0}});
    else
        shown = writeUs(base, {{"lb", 1}, {"oz", 0}});

    // The measure as written when it is the one shown and spelled otherwise than the table ("T", "Tbsp.").
    const QLatin1StringView name(unit->name);
    const QLatin1StringView plural(unit->plural);
    if ((shown.measure == name || shown.measure == plural) && measure.compare(name, Qt::CaseInsensitive) != 0 &&
        measure.compare(plural, Qt::CaseInsensitive) != 0)
        shown.measure = measure;
    return shown;
}

ShownAmount showLine(const IngredientLine &line, double factor, Units units)
{
    if (!line.quantity || (factor == 1 && (units == Units::AsWritten || !line.unit)))
        return {line.amount, line.measure};
    return showAmount(line.quantity->scaled(factor), line.unit, line.measure, line.text, units);
}

} // namespace store
