#include "store/interchange/mealmaster.h"

#include "store/interchange/html.h"
#include "store/interchange/mapping.h"
#include "store/io/failure.h"
#include "store/io/textcodec.h"
#include "store/io/textfile.h"
#include "store/units.h"

#include <QHash>
#include <QIODevice>

#include <cstring>
#include <deque>

namespace store::interchange {

namespace {

struct Code
{
    const char *code;
    const char *measure;
};

// The codes as files write them. The first code of a measure is the one written.
constexpr Code kCodes[] = {
    {"x", "per serving"}, {"sm", "small"}, {"md", "medium"}, {"lg", "large"},  {"cn", "can"},   {"pk", "package"},
    {"pn", "pinch"},      {"dr", "drop"},  {"ds", "dash"},   {"ct", "carton"}, {"bn", "bunch"}, {"sl", "slice"},
    {"ea", "each"},       {"ts", "tsp"},   {"t", "tsp"},     {"tb", "tbsp"},   {"T", "tbsp"},   {"fl", "fl oz"},
    {"c", "cup"},         {"pt", "pint"},  {"qt", "quart"},  {"ga", "gallon"}, {"oz", "oz"},    {"lb", "lb"},
    {"ml", "ml"},         {"cb", "cc"},    {"cl", "cl"},     {"dl", "dl"},     {"l", "liter"},  {"mg", "mg"},
    {"cg", "cg"},         {"dg", "dg"},    {"g", "g"},       {"kg", "kg"},
};

// The columns of an ingredient line, counted from 0: "  1 1/2 c  flour" is the amount in columns 0 to 6,
// a blank, the measure code in columns 8 and 9, a blank, and the ingredient's text from column 11 on.
constexpr qsizetype kAmountWidth = 7;
constexpr qsizetype kCodeColumn = kAmountWidth + 1;
constexpr qsizetype kCodeWidth = 2;
constexpr qsizetype kTextColumn = kCodeColumn + kCodeWidth + 1;

// A code of one or two characters as a number, so that looking it up makes no string.
quint32 codeKey(QStringView code, bool lower)
{
    quint32 key = 0;
    for (const QChar c : code)
        key = (key << 16) | (lower ? c.toLower().unicode() : c.unicode());
    return key;
}

// The written-out measure of `code`, compared exactly, then (for two characters) in any letter case.
QString measureOf(QStringView code)
{
    static const auto table = [] {
        std::pair<QHash<quint32, QString>, QHash<quint32, QString>> maps;
        for (const Code &entry : kCodes) {
            const QString text = QLatin1String(entry.code);
            maps.first.insert(codeKey(text, false), QLatin1String(entry.measure));
            if (text.size() > 1)
                maps.second.insert(codeKey(text, true), QLatin1String(entry.measure));
        }
        return maps;
    }();
    if (code.isEmpty() || code.size() > 2)
        return {};
    const QString exact = table.first.value(codeKey(code, false));
    return exact.isEmpty() && code.size() == 2 ? table.second.value(codeKey(code, true)) : exact;
}

bool isAmountChar(QChar c)
{
    const char16_t u = c.unicode();
    // "½" and its kind stand in amounts of files written on Windows.
    const bool fraction = (u >= 0x00BC && u <= 0x00BE) || (u >= 0x2150 && u <= 0x215E);
    return c == u' ' || (c >= u'0' && c <= u'9') || c == u'.' || c == u'/' || c == u'-' || fraction;
}

bool startsMarker(QStringView line)
{
    return line.startsWith(u"MMMMM") || line.startsWith(u"-----");
}

// One column of ingredient lines: "  1 1/2 c  flour".
struct Column
{
    enum Kind { NotIngredient, Blank, Row, Continuation };
    Kind kind = NotIngredient;
    Ingredient row;
};

Column parseColumn(QStringView s)
{
    Column column;
    if (s.trimmed().isEmpty()) {
        column.kind = Column::Blank;
        return column;
    }
    const QStringView amount = s.left(kAmountWidth);
    if (!std::all_of(amount.begin(), amount.end(), isAmountChar))
        return column;
    if (s.size() > kAmountWidth && s[kAmountWidth] != u' ')
        return column;
    QStringView code = s.size() > kCodeColumn ? s.mid(kCodeColumn, kCodeWidth).trimmed() : QStringView();
    QString measure = measureOf(code);
    qsizetype textColumn = kTextColumn;
    if (!code.isEmpty() && (measure.isEmpty() || (s.size() > kTextColumn - 1 && s[kTextColumn - 1] != u' '))) {
        // A code outside MealMaster's table that some programs write, up to four letters and a dot ("EL",
        // "TL", "msk", "Essl."): a measure of store/units, in its name.
        const QStringView rest = s.sliced(kCodeColumn);
        const qsizetype blank = rest.indexOf(u' ');
        const QStringView word = rest.left(blank < 0 ? rest.size() : blank);
        const qsizetype letters = word.size() - (word.endsWith(u'.') ? 1 : 0);
        const Unit *unit = letters <= 4 ? findUnit(word) : nullptr;
        if (!unit)
            return column;
        code = word;
        measure = QString::fromUtf8(unit->name);
        textColumn = kCodeColumn + word.size() + 1;
    }
    const QString text = s.size() > textColumn ? s.mid(textColumn).trimmed().toString() : QString();
    column.row.amount = amount.trimmed().toString();
    column.row.measure = measure;
    column.row.text = text;
    if (column.row.amount.isEmpty() && code.isEmpty() && text.startsWith(u'-')) {
        column.kind = Column::Continuation;
        column.row.text = text.mid(1).trimmed();
        return column;
    }
    // Without a code, the text after an amount may begin with a measure that has none: "2       cloves
    // garlic". Without an amount the text is read whole ("Handful of basil").
    if (code.isEmpty() && !column.row.amount.isEmpty()) {
        if (const std::optional<MeasureSplit> split = splitMeasure(text); split && !split->rest.startsWith(u' ')) {
            column.row.measure = split->measure;
            column.row.text = split->rest;
        }
    }
    column.kind = Column::Row;
    return column;
}

// Where the right column of a two-column line may begin.
constexpr qsizetype kRightColumns[] = {41, 40, 39, 42};

// The heading of a section line, "MMMMM-----SAUCE-----" or "-----SAUCE-----".
QString sectionName(QStringView line)
{
    QStringView name = line.trimmed();
    if (name.startsWith(u"MMMMM"))
        name = name.sliced(5);
    while (!name.isEmpty() && name.front() == u'-')
        name = name.sliced(1);
    while (!name.isEmpty() && name.back() == u'-')
        name.chop(1);
    return name.trimmed().toString();
}

// The lines of a device, with CR LF, LF or CR alone as line ends, read in blocks.
class LineSource
{
public:
    explicit LineSource(std::unique_ptr<QIODevice> device) : m_device(std::move(device))
    {
        m_size = m_device->isSequential() ? 0 : m_device->size();
    }

    // The next line, false at the end. Each line is decoded on its own, so that a file made of recipes
    // from many places, in several encodings, reads right.
    bool read(QString &line)
    {
        for (;;) {
            const char *data = m_buffer.constData() + m_pos;
            const qsizetype left = m_buffer.size() - m_pos;
            qsizetype end = 0;
            while (end < left && data[end] != '\n' && data[end] != '\r')
                ++end;
            // A CR at the end of the block may be the first half of a CR LF.
            if (end < left && (data[end] == '\n' || end + 1 < left || m_atEnd)) {
                line = decode(QByteArray::fromRawData(data, end));
                qsizetype next = end + 1;
                if (data[end] == '\r' && next < left && data[next] == '\n')
                    ++next;
                m_pos += next;
                return true;
            }
            // A file without line ends (not text at all) is cut into long lines rather than held whole.
            if (m_atEnd || left >= kLongestLine) {
                if (left == 0)
                    return false;
                const qsizetype taken = std::min(left, kLongestLine);
                line = decode(QByteArray::fromRawData(data, taken));
                m_pos += taken;
                return true;
            }
            fill();
        }
    }

    double progress() const
    {
        if (m_size <= 0)
            return m_atEnd ? 1.0 : 0.0;
        return double(m_consumed - (m_buffer.size() - m_pos)) / double(m_size);
    }

private:
    static QString decode(const QByteArray &bytes)
    {
        const char *data = bytes.constData();
        const qsizetype size = bytes.size();
        bool ascii = true;
        for (qsizetype i = 0; i < size && ascii; ++i)
            ascii = static_cast<unsigned char>(data[i]) < 0x80;
        QString line = ascii ? QString::fromLatin1(data, size) : decodeText(bytes);
        // A DOS end-of-file mark is no text.
        if (line.endsWith(QChar(0x1A)))
            line.chop(1);
        return line;
    }

    void fill()
    {
        m_buffer.remove(0, m_pos);
        m_pos = 0;
        const qsizetype kept = m_buffer.size();
        m_buffer.resize(kept + kBlock);
        const qint64 got = m_device->read(m_buffer.data() + kept, kBlock);
        if (got < 0)
            throw Failure(Failure::PathFileAccessError);
        m_buffer.resize(kept + got);
        m_consumed += got;
        m_atEnd = got == 0;
    }

    static constexpr qsizetype kBlock = 256 * 1024;
    static constexpr qsizetype kLongestLine = 1024 * 1024;
    std::unique_ptr<QIODevice> m_device;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    qint64 m_size = 0;
    qint64 m_consumed = 0;
    bool m_atEnd = false;
};

class MealMasterReader : public RecipeReader
{
public:
    explicit MealMasterReader(std::unique_ptr<QIODevice> device) : m_lines(std::move(device)) {}

    std::optional<ReadItem> next() override
    {
        QString line;
        while (readLine(line)) {
            if (isHeader(line)) {
                m_found = true;
                return readRecipeFrom(line);
            }
        }
        // A file that is not MealMaster at all is worth a word in the report.
        if (m_found)
            return std::nullopt;
        m_found = true;
        return ReadItem{1, QStringLiteral("no MealMaster, MasterCook or schema.org recipe was found in this file"), {}};
    }

    double progress() const override { return m_lines.progress(); }

private:
    bool readLine(QString &line)
    {
        if (!m_ahead.empty()) {
            line = std::move(m_ahead.front());
            m_ahead.pop_front();
        } else if (!m_lines.read(line)) {
            return false;
        }
        ++m_lineNumber;
        return true;
    }

    void pushBack(QString line)
    {
        m_ahead.push_front(std::move(line));
        --m_lineNumber;
    }

    // The next line that is not blank, left to be read again.
    QString peekText()
    {
        for (const QString &line : m_ahead) {
            if (!line.trimmed().isEmpty())
                return line;
        }
        QString line;
        while (m_lines.read(line)) {
            m_ahead.push_back(line);
            if (!line.trimmed().isEmpty())
                return line;
        }
        return {};
    }

    static bool isTitleLine(QStringView line) { return line.trimmed().startsWith(u"Title:", Qt::CaseInsensitive); }

    // A header: "MMMMM----- Recipe via Meal-Master (tm) v8.05" or the same with ten dashes, or any line of
    // that shape that a Title line follows. A closing or a section line is no header.
    bool isHeader(const QString &line)
    {
        const QStringView text = QStringView(line).trimmed();
        if (!startsMarker(text) || text == u"MMMMM" || text == u"-----")
            return false;
        if (text.contains(u"Meal-Master", Qt::CaseInsensitive) || text.contains(u"Recipe via", Qt::CaseInsensitive))
            return true;
        return isTitleLine(peekText());
    }

    ReadItem readRecipeFrom(const QString &header)
    {
        ReadItem item;
        item.line = m_lineNumber;
        const QString closing =
            QStringView(header).trimmed().startsWith(u"MMMMM") ? QStringLiteral("MMMMM") : QStringLiteral("-----");
        Recipe &recipe = item.recipe;
        bool titled = false;
        QString line;
        bool body = false;
        while (!body && readLine(line)) {
            const QStringView text = QStringView(line).trimmed();
            const qsizetype colon = text.indexOf(u':');
            const QStringView field = text.left(std::max<qsizetype>(colon, 0));
            const QString value = text.sliced(colon + 1).trimmed().toString();
            const auto is = [&field](QStringView name) { return field.compare(name, Qt::CaseInsensitive) == 0; };
            if (text.isEmpty()) {
                continue;
            } else if (is(u"title")) {
                recipe.title = value;
                titled = true;
            } else if (is(u"categories")) {
                for (const QString &category : value.split(u',')) {
                    const QString name = category.trimmed();
                    if (!name.isEmpty() && name.compare(u"None", Qt::CaseInsensitive) != 0)
                        recipe.categories.append(name);
                }
            } else if (is(u"servings") || is(u"yield")) {
                if (value == kNoServingSize)
                    continue;
                if (recipe.yield.isEmpty())
                    recipe.yield = value;
                else
                    recipe.notes.append(text.toString());
            } else {
                pushBack(line);
                body = true;
            }
        }

        QStringList directions;
        // Ingredients come first; the first line that is none begins the directions.
        bool ingredients = true;
        qsizetype left = -1;
        qsizetype right = -1;
        for (;;) {
            if (!readLine(line)) {
                item.problem = QStringLiteral("the file ends before the recipe's closing line \"%1\"").arg(closing);
                return item;
            }
            const QStringView text = QStringView(line).trimmed();
            if (text == closing)
                break;
            if (startsMarker(text) && isHeader(line)) {
                pushBack(line);
                item.problem =
                    QStringLiteral("the next recipe begins before this one's closing line \"%1\"").arg(closing);
                return item;
            }
            if (ingredients && readIngredients(line, recipe.ingredients, left, right))
                continue;
            ingredients = false;
            directions.append(line);
        }
        if (!titled || recipe.title.isEmpty()) {
            item.problem = QStringLiteral("the recipe has no title");
            return item;
        }
        recipe.directions = tidyLines(directions);
        const CookingInfo info = takeCookingInfo(recipe.directions);
        recipe.temperature = info.temperature;
        recipe.time = info.time;
        return item;
    }

    // Adds the ingredients of `line`; false when it is not an ingredient line. `left` and `right` are the
    // rows the two columns added last, which continuation lines go on.
    static bool readIngredients(const QString &line, QList<Ingredient> &rows, qsizetype &left, qsizetype &right)
    {
        const QStringView text = QStringView(line).trimmed();
        if (startsMarker(text)) {
            const QString name = sectionName(text);
            if (!name.isEmpty()) {
                rows.append({QString(), QString(), name});
                left = right = -1;
            }
            return true;
        }
        const auto add = [&rows](const Column &column, qsizetype &last) {
            if (column.kind == Column::Row) {
                rows.append(column.row);
                last = rows.size() - 1;
            } else if (column.kind == Column::Continuation && last >= 0 && !column.row.text.isEmpty()) {
                QString &joined = rows[last].text;
                joined = joined.isEmpty() ? column.row.text : joined + QLatin1Char(' ') + column.row.text;
            }
        };
        const QStringView view(line);
        for (const qsizetype at : kRightColumns) {
            if (view.size() <= at || view[at - 1] != u' ')
                continue;
            const Column first = parseColumn(view.left(at));
            const Column second = parseColumn(view.sliced(at));
            if (first.kind == Column::NotIngredient || second.kind == Column::NotIngredient ||
                second.kind == Column::Blank)
                continue;
            add(first, left);
            add(second, right);
            return true;
        }
        const Column only = parseColumn(view);
        if (only.kind == Column::NotIngredient)
            return false;
        add(only, left);
        right = -1;
        return true;
    }

    LineSource m_lines;
    std::deque<QString> m_ahead;
    qsizetype m_lineNumber = 0;
    bool m_found = false;
};

} // namespace

std::unique_ptr<RecipeReader> makeMealMasterReader(std::unique_ptr<QIODevice> device)
{
    return std::make_unique<MealMasterReader>(std::move(device));
}

} // namespace store::interchange
