#include "store/interchange/jsonld.h"

#include "store/interchange/html.h"
#include "store/interchange/jsontypes.h"
#include "store/interchange/mapping.h"
#include "store/recipedraft.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstring>

namespace store::interchange {

namespace {

// A script block of JSON-LD and the line of the file it begins on.
struct Block
{
    QString text;
    qsizetype line;
};

// Where the next "</script>" (blanks allowed before its ">") at or after `from` begins and ends.
std::pair<qsizetype, qsizetype> closingScript(QStringView page, qsizetype from)
{
    static const QLatin1String closing("</script");
    for (qsizetype at = page.indexOf(closing, from, Qt::CaseInsensitive); at >= 0;
         at = page.indexOf(closing, at + 1, Qt::CaseInsensitive)) {
        const qsizetype end = skipBlanks(page, at + closing.size());
        if (end < page.size() && page.at(end) == u'>')
            return {at, end + 1};
    }
    return {page.size(), page.size()};
}

// The JSON-LD script blocks of a page, found in one pass: a search that a regular expression starts anew
// for each block would check the whole page each time.
QList<Block> scriptBlocks(const QString &page)
{
    static const QLatin1String opening("<script");
    QList<Block> blocks;
    qsizetype counted = 0; // the lines are counted up to here
    qsizetype line = 1;
    for (qsizetype at = page.indexOf(opening, 0, Qt::CaseInsensitive); at >= 0;
         at = page.indexOf(opening, at + 1, Qt::CaseInsensitive)) {
        const qsizetype name = at + opening.size();
        if (name < page.size() && (page.at(name).isLetterOrNumber() || page.at(name) == u'_'))
            continue;
        const qsizetype tagEnd = page.indexOf(u'>', name);
        if (tagEnd < 0)
            break;
        const qsizetype begin = tagEnd + 1;
        const auto [stop, after] = closingScript(page, begin);
        const bool jsonLd =
            QStringView(page).sliced(name, tagEnd - name).contains(QLatin1String("ld+json"), Qt::CaseInsensitive);
        if (jsonLd) {
            QString text = page.sliced(begin, stop - begin);
            // Pages hide scripts from old browsers in comments or CDATA sections.
            for (const char *wrapper : {"<!--", "-->", "<![CDATA[", "]]>"})
                text.replace(QLatin1String(wrapper), QString());
            line += QStringView(page).sliced(counted, begin - counted).count(u'\n');
            counted = begin;
            blocks.append({text, line});
        }
        if (after >= page.size())
            break;
        at = after - 1;
    }
    return blocks;
}

bool isType(const QJsonValue &type, QLatin1String name)
{
    if (type.isArray()) {
        const QJsonArray types = type.toArray();
        return std::any_of(types.begin(), types.end(), [name](const QJsonValue &t) { return isType(t, name); });
    }
    QString text = type.toString();
    for (const char *prefix : {"http://schema.org/", "https://schema.org/", "schema:"}) {
        if (text.startsWith(QLatin1String(prefix)))
            text.remove(0, qsizetype(std::strlen(prefix)));
    }
    return text == name;
}

void findRecipes(const QJsonValue &value, QList<QJsonObject> &recipes)
{
    if (value.isArray()) {
        for (const QJsonValue &item : value.toArray())
            findRecipes(item, recipes);
    } else if (value.isObject()) {
        const QJsonObject object = value.toObject();
        if (isType(object.value(QLatin1String("@type")), QLatin1String("Recipe"))) {
            recipes.append(object);
            return;
        }
        for (const QJsonValue &item : object)
            findRecipes(item, recipes);
    }
}

class JsonLdParser
{
public:
    explicit JsonLdParser(JsonText texts) : m_texts(texts), m_webPage(texts != JsonText::Plain) {}

    // The text of a value: a string, a number, or the first of an array of them.
    QString text(const QJsonValue &value) const
    {
        if (value.isArray()) {
            for (const QJsonValue &item : value.toArray()) {
                const QString found = text(item);
                if (!found.isEmpty())
                    return found;
            }
            return {};
        }
        if (value.isDouble())
            return QString::number(value.toDouble(), 'g', 15);
        if (value.isObject())
            return text(value.toObject().value(QLatin1String("name")));
        return m_texts == JsonText::Html ? htmlToText(value.toString()) : value.toString();
    }

    // The address of a picture: an address, an ImageObject's, or the first of a list of them.
    static QString address(const QJsonValue &value)
    {
        if (value.isArray()) {
            for (const QJsonValue &item : value.toArray()) {
                if (const QString found = address(item); !found.isEmpty())
                    return found;
            }
            return {};
        }
        if (value.isObject()) {
            const QJsonObject object = value.toObject();
            const QString url = object.value(QLatin1String("url")).toString();
            return url.isEmpty() ? object.value(QLatin1String("contentUrl")).toString().trimmed() : url.trimmed();
        }
        return value.toString().trimmed();
    }

    // What the recipe says beyond its fields, as lines under labels at the end of its directions: the
    // description first, as the note the recipe window shows, then the authors and the times as written,
    // but for the one in the time box (`boxedTime`).
    void keepNotes(const QJsonObject &object, Recipe &recipe, const char *boxedTime) const
    {
        const auto line = [](const QString &text) { return text.simplified(); };
        if (const QString description = line(text(object.value(QLatin1String("description")))); !description.isEmpty())
            recipe.notes.append(kNoteLabel.toString() + u' ' + description);
        QStringList authors = texts(object.value(QLatin1String("author")));
        for (QString &author : authors)
            author = line(author);
        authors.removeAll(QString());
        if (!authors.isEmpty())
            recipe.notes.append(QStringLiteral("Author: ") + authors.join(QStringLiteral(", ")));
        const std::pair<const char *, const char *> times[] = {
            {"prepTime", "Preparation time: "}, {"cookTime", "Cook time: "}, {"totalTime", "Total time: "}};
        for (const auto &[key, label] : times) {
            if (boxedTime && std::strcmp(key, boxedTime) == 0)
                continue;
            const QString written = line(text(object.value(QLatin1String(key))));
            if (written.isEmpty())
                continue;
            const std::optional<Duration> time = parseIsoDuration(written);
            QStringList parts;
            if (time && time->hours.toLongLong() > 0)
                parts.append(time->hours + QStringLiteral(" hr"));
            if (time && (time->minutes.toLongLong() > 0 || parts.isEmpty()))
                parts.append((time->minutes.isEmpty() ? QStringLiteral("0") : time->minutes) + QStringLiteral(" min"));
            recipe.notes.append(QLatin1String(label) + (time ? parts.join(u' ') : written));
        }
        recipe.source = line(text(object.value(QLatin1String("url"))));
        recipe.pictureAddress = address(object.value(QLatin1String("image")));
    }

    QStringList texts(const QJsonValue &value) const
    {
        QStringList result;
        if (value.isArray()) {
            for (const QJsonValue &item : value.toArray())
                result.append(text(item));
        } else if (!value.isUndefined() && !value.isNull()) {
            result.append(text(value));
        }
        return result;
    }

    // Directions of text, HowToStep, HowToSection or ItemList, a line each.
    void steps(const QJsonValue &value, QStringList &lines) const
    {
        if (value.isArray()) {
            for (const QJsonValue &item : value.toArray())
                steps(item, lines);
            return;
        }
        if (!value.isObject()) {
            const QString line = text(value);
            if (!line.isEmpty() || !m_webPage)
                lines.append(line);
            return;
        }
        const QJsonObject step = value.toObject();
        const QJsonValue inner = step.value(QLatin1String("itemListElement"));
        if (!inner.isUndefined()) {
            const QString name = text(step.value(QLatin1String("name")));
            if (!name.isEmpty())
                lines.append(name + (name.endsWith(u':') ? QString() : QStringLiteral(":")));
            steps(inner, lines);
            return;
        }
        QString line = text(step.value(QLatin1String("text")));
        if (line.isEmpty())
            line = text(step.value(QLatin1String("name")));
        if (line.isEmpty())
            line = text(step.value(QLatin1String("description")));
        if (!line.isEmpty())
            lines.append(line);
    }

    // The rows of "supply" when it lists the same ingredients as recipeIngredient, split.
    static std::optional<QList<Ingredient>> supplies(const QJsonObject &recipe, qsizetype count)
    {
        const QJsonValue supply = recipe.value(QLatin1String("supply"));
        if (!supply.isArray() || (count >= 0 && supply.toArray().size() != count))
            return std::nullopt;
        QList<Ingredient> rows;
        for (const QJsonValue &item : supply.toArray()) {
            if (!item.isObject())
                return std::nullopt;
            const QJsonObject object = item.toObject();
            const QJsonValue quantity = object.value(QLatin1String("requiredQuantity"));
            Ingredient row;
            row.text = object.value(QLatin1String("name")).toString();
            if (quantity.isObject()) {
                const QJsonValue amount = quantity.toObject().value(QLatin1String("value"));
                row.amount = amount.isDouble() ? QString::number(amount.toDouble(), 'g', 15) : amount.toString();
                row.measure = quantity.toObject().value(QLatin1String("unitText")).toString();
            } else if (quantity.isString()) {
                row.amount = quantity.toString();
            }
            rows.append(row);
        }
        return rows;
    }

    ReadItem read(const QJsonObject &object) const
    {
        ReadItem item;
        Recipe &recipe = item.recipe;
        recipe.title = text(object.value(QLatin1String("name")));
        if (recipe.title.trimmed().isEmpty()) {
            item.problem = QStringLiteral("the recipe has no name");
            return item;
        }
        for (const QString &category : texts(object.value(QLatin1String("recipeCategory")))) {
            for (const QString &part : category.split(u',')) {
                if (!part.trimmed().isEmpty())
                    recipe.categories.append(part.trimmed());
            }
        }
        recipe.yield = text(object.value(QLatin1String("recipeYield")));

        QJsonValue listed = object.value(QLatin1String("recipeIngredient"));
        if (listed.isUndefined())
            listed = object.value(QLatin1String("ingredients"));
        QStringList lines = texts(listed);
        if (listed.isString())
            lines = lines.join(u'\n').split(u'\n');
        if (const auto rows = supplies(object, listed.isUndefined() ? -1 : lines.size())) {
            recipe.ingredients = *rows;
        } else {
            for (const QString &line : std::as_const(lines)) {
                if (m_webPage && line.trimmed().isEmpty())
                    continue;
                recipe.ingredients.append(splitIngredient(line));
            }
        }

        QStringList directions;
        steps(object.value(QLatin1String("recipeInstructions")), directions);
        recipe.directions = m_webPage ? tidyLines(directions) : directions.join(u'\n');
        const CookingInfo info = takeCookingInfo(recipe.directions);
        recipe.temperature = info.temperature;
        recipe.time = info.time;
        const char *boxed = nullptr; // the time that fills the time box, which needs no note
        for (const char *key : {"cookTime", "totalTime"}) {
            if (!recipe.time.isEmpty())
                break;
            if (const auto time = parseIsoDuration(text(object.value(QLatin1String(key))))) {
                recipe.time = *time;
                boxed = key;
            }
        }
        keepNotes(object, recipe, boxed);
        return item;
    }

private:
    JsonText m_texts;
    bool m_webPage;
};

class JsonLdReader : public RecipeReader
{
public:
    JsonLdReader(const QString &text, bool webPage) : m_parser(webPage ? JsonText::Html : JsonText::Plain)
    {
        const QList<Block> blocks = webPage ? scriptBlocks(text) : QList<Block>{{text, 1}};
        for (const Block &block : blocks)
            readBlock(block.text.toUtf8(), block.text, block.line);
        // A web page without one may mark its recipe up in its HTML (store/interchange/webpage.h).
        if (m_items.isEmpty() && !webPage)
            m_items.append({1, QStringLiteral("no schema.org Recipe was found in this file"), {}});
    }

    // A JSON-LD file as UTF-8, which is let go as soon as it is parsed.
    explicit JsonLdReader(QByteArray utf8) : m_parser(JsonText::Plain)
    {
        readBlock(std::move(utf8), QString(), 1);
        if (m_items.isEmpty())
            m_items.append({1, QStringLiteral("no schema.org Recipe was found in this file"), {}});
    }

    bool hasRecipe() const
    {
        return std::any_of(m_items.cbegin(), m_items.cend(), [](const Pending &p) { return p.problem.isEmpty(); });
    }

    // Each recipe is made when it is asked for, and its JSON let go: a large file is never held whole
    // both as JSON and as recipes.
    std::optional<ReadItem> next() override
    {
        if (m_next >= m_items.size())
            return std::nullopt;
        Pending pending = std::move(m_items[m_next++]);
        if (!pending.problem.isEmpty())
            return ReadItem{pending.line, pending.problem, {}};
        ReadItem item = m_parser.read(pending.object);
        item.line = pending.line;
        return item;
    }

    double progress() const override { return m_items.isEmpty() ? 1.0 : double(m_next) / double(m_items.size()); }

private:
    // Reads the JSON of `bytes`, the UTF-8 of `text` when there is one, beginning on line `first`.
    void readBlock(QByteArray bytes, const QString &text, qsizetype first)
    {
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
        if (error.error != QJsonParseError::NoError) {
            const qsizetype line = first + bytes.left(error.offset).count('\n');
            m_items.append({line, QStringLiteral("the JSON-LD cannot be read: ") + error.errorString(), {}});
            return;
        }
        QList<QJsonObject> recipes;
        findRecipes(document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object()), recipes);

        // Where each Recipe begins, when the text names as many of them as were found; a line break is
        // one character in the text and one byte in its UTF-8.
        QList<qsizetype> lines;
        qsizetype counted = 0;
        qsizetype line = first;
        const auto lineOf = [&](const auto &within, qsizetype at) {
            for (; counted < at; ++counted)
                line += charAt(within, counted) == u'\n';
            return line;
        };
        const QList<qsizetype> types = text.isNull() ? recipeTypes(bytes) : recipeTypes(text);
        for (const qsizetype at : types)
            lines.append(text.isNull() ? lineOf(bytes, at) : lineOf(QStringView(text), at));
        bytes = QByteArray();
        for (qsizetype i = 0; i < recipes.size(); ++i)
            m_items.append({lines.size() == recipes.size() ? lines.at(i) : first, {}, recipes.at(i)});
    }

    // A recipe found in the file, or a problem of the file.
    struct Pending
    {
        qsizetype line = 0;
        QString problem;
        QJsonObject object;
    };

    const JsonLdParser m_parser;
    QList<Pending> m_items;
    qsizetype m_next = 0;
};

} // namespace

std::unique_ptr<RecipeReader> makeJsonLdReader(const QString &text, bool webPage)
{
    return std::make_unique<JsonLdReader>(text, webPage);
}

std::unique_ptr<RecipeReader> makeJsonLdReader(QByteArray utf8)
{
    return std::make_unique<JsonLdReader>(std::move(utf8));
}

PageJsonLd readPageJsonLd(const QString &page)
{
    auto reader = std::make_unique<JsonLdReader>(page, true);
    const bool found = reader->hasRecipe();
    return {std::move(reader), found};
}

ReadItem readRecipeObject(const QJsonObject &object, JsonText texts)
{
    return JsonLdParser(texts).read(object);
}

QByteArray writeJsonLd(const QList<Recipe> &recipes)
{
    QJsonArray graph;
    for (const Recipe &recipe : recipes) {
        QJsonObject object{{QStringLiteral("@type"), QStringLiteral("Recipe")}, {QStringLiteral("name"), recipe.title}};
        if (!recipe.categories.isEmpty())
            object.insert(QStringLiteral("recipeCategory"), recipe.categories.join(QStringLiteral(", ")));
        if (!recipe.yield.isEmpty())
            object.insert(QStringLiteral("recipeYield"), recipe.yield);
        // The time goes in cookTime when it is a duration; otherwise with the directions.
        const QString duration = isoDuration(recipe.time);
        const bool timeElsewhere = recipe.time.isEmpty() || parseIsoDuration(duration) == recipe.time;
        if (!duration.isEmpty() && timeElsewhere)
            object.insert(QStringLiteral("cookTime"), duration);
        QJsonArray listed;
        QJsonArray supply;
        for (const Ingredient &row : recipe.ingredients) {
            listed.append(row.line());
            QJsonObject item{{QStringLiteral("@type"), QStringLiteral("HowToSupply")},
                             {QStringLiteral("name"), row.text}};
            if (!row.amount.isEmpty() || !row.measure.isEmpty()) {
                item.insert(QStringLiteral("requiredQuantity"),
                            QJsonObject{{QStringLiteral("@type"), QStringLiteral("QuantitativeValue")},
                                        {QStringLiteral("value"), row.amount},
                                        {QStringLiteral("unitText"), row.measure}});
            }
            supply.append(item);
        }
        object.insert(QStringLiteral("recipeIngredient"), listed);
        object.insert(QStringLiteral("supply"), supply);
        object.insert(QStringLiteral("recipeInstructions"),
                      withCookingInfo(recipe.directions, exportedCookingInfo(recipe, timeElsewhere)));
        graph.append(object);
    }
    const QJsonObject document{{QStringLiteral("@context"), QStringLiteral("https://schema.org")},
                               {QStringLiteral("@graph"), graph}};
    // U+FEFF at the start of a string is taken for a byte-order mark and dropped by Qt's JSON reader (and
    // perhaps by others): written as an escape, it is read back as the character it is. Its three bytes can
    // stand only inside a string here.
    return QJsonDocument(document).toJson(QJsonDocument::Indented).replace("\xEF\xBB\xBF", "\\ufeff");
}

} // namespace store::interchange
