#include "store/interchange/mapping.h"

#include "store/appfolder.h"
#include "store/ingredients.h"
#include "store/recipedraft.h"

#include <QRegularExpression>

namespace store::interchange {

namespace {

bool isDigits(const QString &text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// `text` cut to at most `length` characters without splitting a character of two code units, and
// without blanks at its end.
QString shortened(const QString &text, qsizetype length)
{
    if (text.size() <= length)
        return text;
    qsizetype end = length;
    if (text.at(end - 1).isHighSurrogate())
        --end;
    return text.left(end).trimmed();
}

bool breaksLine(QChar c)
{
    return c == u'\n' || c == u'\r' || c == u'\t';
}

// A field that the screens show on one line; nothing else is changed.
QString flat(QString text)
{
    // Most fields have nothing to change and stay shared.
    if (std::none_of(text.cbegin(), text.cend(), breaksLine))
        return text;
    for (QChar &c : text) {
        if (breaksLine(c))
            c = u' ';
    }
    return text;
}

// A title, a name or a category on one line.
QString oneLine(const QString &text)
{
    return flat(text).trimmed();
}

// Whether `c` may stand in a name (store::isValidName).
bool fitsName(QChar c)
{
    return c.unicode() >= 32 && !QStringView(u"\\/:*?\"<>|").contains(c);
}

// Whether a yield says no more than its number of servings: "4", "4 servings", "Serves 4".
bool isJustServings(const QString &yield, const QString &number)
{
    static const QRegularExpression plain(
        QStringLiteral("^(?:(?:serves|makes|yields?)\\s*:?\\s*)?#(?:\\s*(?:servings?|portions?|people|persons?))?$"),
        QRegularExpression::CaseInsensitiveOption);
    QString shape = yield;
    shape.replace(shape.indexOf(number), number.size(), QLatin1Char('#'));
    return plain.match(shape).hasMatch();
}

struct Fitted
{
    QString size;
    Duration time;
    QStringList notes;
};

Fitted fit(const Recipe &recipe)
{
    Fitted fitted;
    const QString yield = oneLine(recipe.yield);
    if (isDigits(yield) && yield.size() <= 3) {
        fitted.size = yield;
    } else if (!yield.isEmpty()) {
        static const QRegularExpression number(QStringLiteral("\\d+"));
        const QString first = number.match(yield).captured();
        if (!first.isEmpty() && first.size() <= 3)
            fitted.size = first;
        if (first.isEmpty() || first.size() > 3 || !isJustServings(yield, first))
            fitted.notes.append(QStringLiteral("Yield: ") + yield);
    }

    const Duration &time = recipe.time;
    const bool digits =
        (time.hours.isEmpty() || isDigits(time.hours)) && (time.minutes.isEmpty() || isDigits(time.minutes));
    if (!digits) {
        fitted.notes.append(QStringLiteral("Cooking time: %1 hours %2 minutes").arg(time.hours, time.minutes));
    } else if (time.hours.size() <= 2 && time.minutes.size() <= 3) {
        fitted.time = time;
    } else {
        const qint64 minutes = time.hours.left(12).toLongLong() * 60 + time.minutes.left(12).toLongLong();
        if (minutes / 60 <= 99 && time.hours.size() <= 12 && time.minutes.size() <= 12) {
            fitted.time = {QString::number(minutes / 60), QString::number(minutes % 60)};
        } else {
            fitted.notes.append(QStringLiteral("Cooking time: %1 hours %2 minutes")
                                    .arg(time.hours.isEmpty() ? QStringLiteral("0") : time.hours,
                                         time.minutes.isEmpty() ? QStringLiteral("0") : time.minutes));
        }
    }
    return fitted;
}

QString temperatureOf(const Recipe &recipe, QStringList &notes)
{
    if (recipe.temperature) {
        if (recipe.temperature->size() <= 3)
            return *recipe.temperature;
        notes.append(QStringLiteral("Oven temperature: %1 degrees F").arg(*recipe.temperature));
        return {};
    }
    const std::optional<int> found = findTemperature(recipe.directions);
    return found && *found <= 999 ? QString::number(*found) : QString();
}

QString joined(const QStringList &blocks, const QString &separator)
{
    QStringList kept;
    for (const QString &block : blocks) {
        if (!block.isEmpty())
            kept.append(block);
    }
    return kept.size() == 1 ? kept.first() : kept.join(separator);
}

// `name` as a name Windows takes too (store::isValidName): a final blank or dot, which Windows would drop,
// becomes "-", and so does the dot of a device name's extension ("aux.txt"); a device name alone
// ("con") gets a "-" after it.
QString portable(QString name)
{
    for (qsizetype i = name.size(); i > 0 && (name.at(i - 1) == u' ' || name.at(i - 1) == u'.'); --i)
        name[i - 1] = u'-';
    if (!name.isEmpty() && !isValidName(name)) {
        const qsizetype dot = name.indexOf(u'.');
        if (dot >= 0)
            name[dot] = u'-';
        else
            name.append(u'-');
    }
    return name;
}

} // namespace

QString fileNameFor(const QString &title)
{
    QString name = oneLine(title);
    if (!std::all_of(name.cbegin(), name.cend(), fitsName)) {
        for (QChar &c : name) {
            if (!fitsName(c))
                c = u'-';
        }
    }
    return portable(shortened(name, kNameLength));
}

QString categoryNameFor(const QString &name)
{
    // The recipe screens read the category list as fields: a comma would split the name in two there. A
    // zero-width no-break space at the start would be taken for a byte-order mark on the list's first line.
    QString category = fileNameFor(name);
    category.replace(QLatin1Char(','), QLatin1Char('-'));
    while (category.startsWith(kByteOrderMark))
        category = category.sliced(1).trimmed();
    category = portable(shortened(category, kCategoryLength));
    // The folder of a category lies beside the list and the work folder: its name may be neither.
    if (isReservedCategoryName(category))
        category.replace(category.indexOf(u'.'), 1, QLatin1Char('-'));
    return category;
}

QString numberedName(const QString &name, int n)
{
    if (n < 2)
        return name;
    const QString suffix = QStringLiteral(" (%1)").arg(n);
    return shortened(name, kNameLength - suffix.size()) + suffix;
}

MappedRecipe toRecord(const Recipe &recipe)
{
    MappedRecipe mapped;
    mapped.title = oneLine(recipe.title);
    mapped.name = fileNameFor(mapped.title);
    for (const QString &category : recipe.categories) {
        mapped.category = categoryNameFor(category);
        mapped.categoryAsRead = oneLine(category);
        if (!mapped.category.isEmpty())
            break;
    }

    RecipeRecord &record = mapped.record;
    QStringList more;
    for (qsizetype i = 0; i < recipe.ingredients.size(); ++i) {
        const Ingredient &row = recipe.ingredients.at(i);
        if (i < RecipeRecord::kRowCount) {
            record.amount(int(i) + 1) = flat(row.amount);
            record.type(int(i) + 1) = flat(row.measure);
            record.ingredient(int(i) + 1) = flat(row.text);
        } else if (!row.isEmpty()) {
            more.append(oneLine(row.line()));
        }
    }
    mapped.moreThanTenRows = !more.isEmpty();
    mapped.picture = recipe.picture;

    Fitted fitted = fit(recipe);
    record.temperature() = temperatureOf(recipe, fitted.notes);
    QStringList further;
    for (const QString &category : recipe.categories) {
        const QString name = oneLine(category);
        if (!name.isEmpty() && name.compare(mapped.categoryAsRead, Qt::CaseInsensitive) != 0 &&
            !further.contains(name, Qt::CaseInsensitive))
            further.append(name);
    }
    if (!further.isEmpty())
        fitted.notes.append(kCategoriesLabel + u' ' + further.join(QStringLiteral(", ")));
    record.servingSize() = fitted.size;
    record.hours() = fitted.time.hours;
    record.minutes() = fitted.time.minutes;

    const QString overflow =
        more.isEmpty() ? QString() : kMoreIngredientsLine.toString() + QLatin1Char('\n') + more.join(u'\n');
    // With a note or a source, the last paragraph is the recipe window's: "Note:" first (the note, then
    // the other lines), "Source:" last.
    QStringList tail = recipe.note.split(u'\n', Qt::SkipEmptyParts) + recipe.notes + fitted.notes;
    const QString source = oneLine(recipe.source);
    if (!source.isEmpty())
        tail.append(kSourceLabel.toString() + u' ' + source);
    if ((!source.isEmpty() || !recipe.note.trimmed().isEmpty()) && !tail.first().startsWith(kNoteLabel))
        tail.first().prepend(kNoteLabel.toString() + u' ');
    QString directions = joined({overflow, recipe.directions, tail.join(QLatin1Char('\n'))}, QStringLiteral("\n\n"));
    mapped.pictureAddress = recipe.pictureAddress.trimmed();
    if (mapped.title != mapped.name)
        directions = joined({mapped.title, directions}, QStringLiteral("\n"));
    record.directions() = directions;
    return mapped;
}

Recipe fromRecord(const QString &name, const QString &category, const RecipeRecord &record)
{
    Recipe recipe;
    recipe.title = name;
    if (!category.isEmpty())
        recipe.categories.append(category);

    QString text = record.directions();
    const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'));
    const QString first = lineEnd < 0 ? text : text.left(lineEnd);
    if (first != name && first == oneLine(first) && fileNameFor(first) == name) {
        recipe.title = first;
        text = lineEnd < 0 ? QString() : text.mid(lineEnd + 1);
    }

    QList<Ingredient> more;
    const TextSpan span = moreIngredients(text);
    // Only a heading on the first line that is left: below it a line of the directions would come first.
    const qsizetype headingEnd = kMoreIngredientsLine.size();
    if (!span.isEmpty() && text.startsWith(kMoreIngredientsLine) && text.indexOf(u'\n') == headingEnd) {
        for (const QStringView line : QStringView(text).sliced(span.start, span.end - span.start).tokenize(u'\n')) {
            // A line that would not read back as it stands stays whole in the ingredient's text.
            const IngredientLine read = readIngredientLine(line);
            Ingredient row{read.amount, read.measure, read.text};
            if (row.line() != line)
                row = {QString(), QString(), line.toString()};
            more.append(row);
        }
        // The directions begin after the empty line that ends the ingredients.
        const qsizetype lastLineEnd = text.indexOf(u'\n', span.end);
        const qsizetype rest = lastLineEnd < 0 ? -1 : text.indexOf(u'\n', lastLineEnd + 1);
        text = rest < 0 ? QString() : text.mid(rest + 1);
    }

    int rows = more.isEmpty() ? 0 : RecipeRecord::kRowCount;
    for (int row = 1; row <= RecipeRecord::kRowCount; ++row) {
        if (!record.amount(row).isEmpty() || !record.type(row).isEmpty() || !record.ingredient(row).isEmpty())
            rows = std::max(rows, row);
    }
    for (int row = 1; row <= rows; ++row)
        recipe.ingredients.append({record.amount(row), record.type(row), record.ingredient(row)});
    recipe.ingredients += more;

    recipe.directions = text;
    recipe.yield = record.servingSize();
    recipe.temperature = record.temperature();
    recipe.time = {record.hours(), record.minutes()};
    return recipe;
}

CookingInfo exportedCookingInfo(const Recipe &recipe, bool timeElsewhere)
{
    CookingInfo info;
    const QString temperature = recipe.temperature.value_or(QString());
    // An empty temperature is written only where the directions would give one otherwise.
    if (!temperature.isEmpty() || findTemperature(recipe.directions))
        info.temperature = temperature;
    if (!timeElsewhere)
        info.time = recipe.time;
    return info;
}

} // namespace store::interchange
