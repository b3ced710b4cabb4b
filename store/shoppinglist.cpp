#include "store/shoppinglist.h"

#include "store/amount.h"
#include "store/ingredientname.h"
#include "store/ingredients.h"
#include "store/units.h"

#include <QHash>

#include <optional>

using namespace Qt::StringLiterals;

namespace store {

namespace {

// One amount of a line being added up: all of its rows' amounts of one kind (a volume, a mass, one other
// measure, or counted).
struct Part
{
    const Unit *unit = nullptr; ///< the first row's; null when counted or a measure outside the table
    QString measure;            ///< as the first row wrote it
    QString pluralMeasure;      ///< the first plural spelling a row wrote for a measure outside the table
    bool sameSpelling = true;   ///< every row wrote the measure as the first did (letter case aside)
    IngredientLine first;       ///< the first row, as written
    Quantity total;             ///< in millilitres or grams for a volume or a mass, else in the measure
    bool changed = false;       ///< scaled or added to, so that the total is written instead of the amount
};

// One line of the list being made.
struct Line
{
    IngredientName name;  ///< of the first row
    QString pluralName;   ///< the first plural name a row wrote ("onions")
    QString singularName; ///< the first singular one ("onion")
    QList<Part> parts;    ///< in order of first appearance
    QStringList vague;    ///< amounts that are no number, each once
};

bool isMeasured(const Unit *unit)
{
    return unit && unit->dimension != Dimension::Other;
}

// Whether the measure of `row` is a size or "each" ("2 large eggs"), which counts the ingredient.
bool isSize(const IngredientLine &row)
{
    if (row.unit)
        return row.unit->dimension == Dimension::Other &&
               (isPreparationWord(QString::fromLatin1(row.unit->name)) || qstrcmp(row.unit->name, "each") == 0);
    return isPreparationWord(row.measure);
}

// What the rows of one part share: a volume, a mass, a measure of the table (any spelling), one outside it
// (singular and plural alike), or none.
QString partKey(const IngredientLine &row)
{
    if (row.unit)
        return QString::fromUtf8(row.unit->name);
    return row.measure.isEmpty() ? QString() : u'\1' + singularOf(row.measure);
}

void add(Line &line, const IngredientLine &row, double factor)
{
    Quantity total = row.quantity->scaled(factor * (isMeasured(row.unit) ? row.unit->base : 1));
    const QString key = partKey(row);
    for (Part &part : line.parts) {
        const bool same = isMeasured(part.unit) && isMeasured(row.unit) ? part.unit->dimension == row.unit->dimension
                                                                        : partKey(part.first) == key;
        if (!same)
            continue;
        part.total = {part.total.low + total.low, part.total.high + total.high};
        part.changed = true;
        part.sameSpelling = part.sameSpelling && part.measure.compare(row.measure, Qt::CaseInsensitive) == 0;
        if (part.pluralMeasure.isEmpty() && !row.unit && singularOf(row.measure) != row.measure.toLower())
            part.pluralMeasure = row.measure;
        return;
    }
    Part part{row.unit, row.measure, QString(), true, row, total, factor != 1};
    if (!row.unit && singularOf(row.measure) != row.measure.toLower())
        part.pluralMeasure = row.measure;
    line.parts.append(part);
}

// A volume and a mass of an ingredient whose density is known, as one amount of the part that came first.
void addAcrossDimensions(Line &line)
{
    const auto isA = [](Dimension dimension) {
        return [dimension](const Part &part) { return isMeasured(part.unit) && part.unit->dimension == dimension; };
    };
    const auto volume = std::find_if(line.parts.begin(), line.parts.end(), isA(Dimension::Volume));
    const auto mass = std::find_if(line.parts.begin(), line.parts.end(), isA(Dimension::Mass));
    if (volume == line.parts.end() || mass == line.parts.end())
        return;
    // The density table names some things in the plural ("walnuts"), which the key is not.
    std::optional<Density> density = densityOf(line.name.shown);
    if (!density)
        density = densityOf(line.pluralName.isEmpty() ? line.name.key + u's' : line.pluralName);
    if (!density)
        return;
    auto kept = volume < mass ? volume : mass;
    auto added = volume < mass ? mass : volume;
    const double perBase = kept == volume ? 1 / density->gramsPerMl : density->gramsPerMl;
    kept->total = {kept->total.low + added->total.low * perBase, kept->total.high + added->total.high * perBase};
    kept->changed = true;
    kept->sameSpelling = false;
    line.parts.erase(added);
}

QString write(const Part &part, const IngredientName &name)
{
    if (!part.changed)
        return QStringList{part.first.amount, part.first.measure}.join(u' ').trimmed();
    const Unit *unit = part.unit;
    if (isMeasured(unit)) {
        // The measure as written only when every row spelled it so: "2 tb" and "1 tbsp" make "3 tbsp".
        const QString measure = part.sameSpelling ? part.measure : QString::fromUtf8(unit->name);
        const ShownAmount shown =
            showAmount(part.total.scaled(1 / unit->base), unit, measure, name.key, Units::AsWritten);
        return shown.amount + u' ' + shown.measure;
    }
    ShownAmount shown = showAmount(part.total, nullptr, part.measure, name.key, Units::AsWritten);
    const bool several = shown.amount != "1"_L1 && shown.amount != "1/2"_L1;
    if (unit && (part.measure.compare(QLatin1StringView(unit->name), Qt::CaseInsensitive) == 0 ||
                 part.measure.compare(QLatin1StringView(unit->plural), Qt::CaseInsensitive) == 0))
        shown.measure = QString::fromUtf8(several ? unit->plural : unit->name);
    else if (several && !part.pluralMeasure.isEmpty())
        shown.measure = part.pluralMeasure;
    return QStringList{shown.amount, shown.measure}.join(u' ').trimmed();
}

ShoppingItem itemOf(const Line &line, const Kitchen &kitchen)
{
    QStringList amounts;
    QString counted;             // last, next to the name it counts: "1 dozen + 2 eggs", never "2 + 1 dozen eggs"
    std::optional<bool> several; // of a counted amount: "3 onions", "1 onion"
    for (const Part &part : line.parts) {
        const QString written = write(part, line.name);
        if (part.unit || !part.measure.isEmpty()) {
            amounts.append(written);
        } else {
            counted = written;
            several = written != "1"_L1 && written != "1/2"_L1;
        }
    }
    if (several)
        amounts.append(counted);
    amounts.append(line.vague);
    QString shown = line.name.shown;
    if (several && *several)
        shown = line.pluralName.isEmpty() ? pluralOf(shown) : line.pluralName;
    else if (several && !*several && !line.singularName.isEmpty())
        shown = line.singularName;
    QString text = amounts.join(" + "_L1);
    if (!text.isEmpty())
        text += u' ';
    return {text + shown, line.name.key, kitchen.aisleOf(line.name.key)};
}

// Adds `row`, naming `name`, to the line of its key, made when it is the first.
void addRow(QList<Line> &lines, QHash<QString, qsizetype> &byKey, const IngredientName &name,
            const IngredientLine &row, double factor)
{
    if (name.key.isEmpty())
        return;
    qsizetype at = byKey.value(name.key, -1);
    if (at < 0) {
        at = lines.size();
        byKey.insert(name.key, at);
        lines.append(Line{name, {}, {}, {}, {}});
    }
    Line &line = lines[at];
    QString &spelling = name.plural ? line.pluralName : line.singularName;
    if (spelling.isEmpty())
        spelling = name.shown;
    QString vague = name.vague;
    if (row.quantity)
        add(line, row, factor);
    else if (!row.amount.isEmpty() || !row.measure.isEmpty())
        vague = QStringList{row.amount, row.measure}.join(u' ').trimmed();
    if (!vague.isEmpty() && !line.vague.contains(vague, Qt::CaseInsensitive))
        line.vague.append(vague);
}

// The ingredients a row names: one, or two for a row without an amount that names two staples joined by
// "and" ("Salt and pepper"), so that each is one line with the other rows of it.
QList<IngredientName> namesOf(const IngredientLine &row, const Kitchen &kitchen)
{
    IngredientName name = readIngredientName(row.text);
    if (row.quantity || !row.amount.isEmpty() || !row.measure.isEmpty() || !name.vague.isEmpty())
        return {name};
    for (const QLatin1StringView joint : {" and "_L1, " & "_L1}) {
        const qsizetype at = name.shown.indexOf(joint, 0, Qt::CaseInsensitive);
        if (at < 0)
            continue;
        IngredientName first = readIngredientName(QStringView(name.shown).left(at));
        IngredientName second = readIngredientName(QStringView(name.shown).mid(at + joint.size()));
        if (first.key.isEmpty() || second.key.isEmpty() || !kitchen.isStaple(first.key) ||
            !kitchen.isStaple(second.key))
            continue;
        if (first.shown.front().isUpper())
            second.shown.front() = second.shown.front().toUpper();
        return {first, second};
    }
    return {name};
}

} // namespace

double servingsFactor(QStringView servings, QStringView servingSize)
{
    const std::optional<double> wanted = parseAmount(servings);
    const std::optional<double> size = parseAmount(servingSize);
    return wanted && size && *wanted > 0 && *size > 0 ? *wanted / *size : 1;
}

QString ingredientKey(QStringView ingredientText)
{
    return readIngredientName(ingredientText).key;
}

MergedShoppingList mergeShoppingList(const QList<RecipeToShop> &recipes, const Kitchen &kitchen)
{
    QList<Line> lines;
    QHash<QString, qsizetype> byKey;
    for (const RecipeToShop &recipe : recipes) {
        for (IngredientLine row : ingredientsOf(recipe.record)) {
            if (isSize(row)) {
                row.unit = nullptr; // "2 | large | onions" counts onions
                row.measure.clear();
            }
            for (const IngredientName &name : namesOf(row, kitchen))
                addRow(lines, byKey, name, row, recipe.factor);
        }
    }

    MergedShoppingList list;
    QList<ShoppingItem> items;
    for (Line &line : lines) {
        addAcrossDimensions(line);
        ShoppingItem item = itemOf(line, kitchen);
        (kitchen.isStaple(line.name.key) ? list.checkYouHave : items).append(std::move(item));
    }
    for (const Aisle aisle : kAisles) {
        for (const ShoppingItem &item : std::as_const(items)) {
            if (item.aisle == aisle)
                list.items.append(item);
        }
    }
    return list;
}

QStringList shoppingListText(const MergedShoppingList &list)
{
    QStringList text;
    const auto group = [&text](const QString &heading) {
        if (!text.isEmpty())
            text.append(QString());
        text.append(heading);
    };
    for (qsizetype at = 0; at < list.items.size(); ++at) {
        const ShoppingItem &item = list.items.at(at);
        if (at == 0 || list.items.at(at - 1).aisle != item.aisle)
            group(aisleName(item.aisle) + u':');
        text.append(item.line);
    }
    if (!list.checkYouHave.isEmpty()) {
        group(kCheckYouHave.toString());
        for (const ShoppingItem &item : list.checkYouHave)
            text.append(item.line);
    }
    return text;
}

QStringList shoppingListLines(const QList<RecipeRecord> &recipes, const QString &servings)
{
    QList<RecipeToShop> shopped;
    shopped.reserve(recipes.size());
    for (const RecipeRecord &record : recipes)
        shopped.append({record, servingsFactor(servings, record.servingSize())});
    QStringList lines;
    for (const ShoppingItem &item : mergeShoppingList(shopped, Kitchen()).items)
        lines.append(item.line);
    return lines;
}

} // namespace store
