#include "store/interchange/appjson.h"

#include "store/interchange/html.h"
#include "store/interchange/jsonld.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

namespace store::interchange {

namespace {

// The text of a string or a number; empty for anything else.
QString textOf(const QJsonValue &value)
{
    if (value.isDouble())
        return QString::number(value.toDouble(), 'g', 15);
    return value.toString().trimmed();
}

QString textOf(const QJsonObject &object, const char *key)
{
    return textOf(object.value(QLatin1String(key)));
}

// The name of an object ({"name": ...}) or the text of a plain value.
QString nameOf(const QJsonValue &value)
{
    return value.isObject() ? textOf(value.toObject(), "name") : textOf(value);
}

QStringList namesOf(const QJsonValue &value)
{
    QStringList names;
    for (const QJsonValue &item : value.toArray()) {
        if (const QString name = nameOf(item); !name.isEmpty())
            names.append(name);
    }
    return names;
}

QStringList linesOf(const QString &text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    return text.split(lineBreak);
}

void keepLine(Recipe &recipe, const QString &label, const QString &text)
{
    const QString kept = linesOf(text).join(QStringLiteral("; ")).trimmed();
    if (!kept.isEmpty())
        recipe.notes.append(label + u' ' + kept);
}

// The first category is the recipe's own; the others are kept in a line (toRecord()).
void keepCategories(Recipe &recipe, const QStringList &names)
{
    recipe.categories.append(names);
}

void keepRating(Recipe &recipe, const QJsonValue &rating)
{
    if (rating.toDouble() > 0)
        keepLine(recipe, kRatingLabel, QStringLiteral("%1 of 5").arg(rating.toDouble()));
}

// The cooking time box takes the cooking time, or else the total time; every time that is not in the box is
// kept in a line as written.
void keepTimes(Recipe &recipe, const QString &preparation, const QString &cooking, const QString &total)
{
    const std::optional<Duration> cook = parseTimeText(cooking);
    const std::optional<Duration> whole = cook ? std::nullopt : parseTimeText(total);
    recipe.time = cook ? *cook : whole.value_or(Duration{});
    keepLine(recipe, QStringLiteral("Preparation time:"), preparation);
    if (!cook)
        keepLine(recipe, QStringLiteral("Cook time:"), cooking);
    if (!whole)
        keepLine(recipe, QStringLiteral("Total time:"), total);
}

void keepSource(Recipe &recipe, const QString &source, const QString &address)
{
    recipe.source = QStringList{source, address}.filter(QRegularExpression(QStringLiteral("\\S"))).join(u' ');
}

QString amountText(const QJsonValue &value)
{
    return value.toDouble() > 0 ? QString::number(value.toDouble(), 'g', 6) : textOf(value);
}

QString withNote(const QString &text, const QString &note)
{
    return note.isEmpty() ? text : text.isEmpty() ? note : text + QStringLiteral(", ") + note;
}

Recipe paprika(const QJsonObject &object)
{
    Recipe recipe;
    recipe.title = textOf(object, "name");
    for (const QString &line : linesOf(textOf(object, "ingredients"))) {
        if (!line.trimmed().isEmpty())
            recipe.ingredients.append(splitIngredient(line.trimmed()));
    }
    recipe.directions = tidyLines(linesOf(object.value(QLatin1String("directions")).toString()));
    recipe.yield = textOf(object, "servings");
    keepLine(recipe, QStringLiteral("Description:"), textOf(object, "description"));
    keepTimes(recipe, textOf(object, "prep_time"), textOf(object, "cook_time"), textOf(object, "total_time"));
    keepLine(recipe, QStringLiteral("Difficulty:"), textOf(object, "difficulty"));
    keepLine(recipe, QStringLiteral("Nutrition:"), textOf(object, "nutritional_info"));
    keepCategories(recipe, namesOf(object.value(QLatin1String("categories"))));
    keepRating(recipe, object.value(QLatin1String("rating")));
    recipe.note = object.value(QLatin1String("notes")).toString();
    keepSource(recipe, textOf(object, "source"), textOf(object, "source_url"));

    const QByteArray photo = object.value(QLatin1String("photo_data")).toString().toLatin1();
    if (photo.size() / 4 * 3 > kPictureLimit) {
        keepLine(recipe, QStringLiteral("Picture:"), QStringLiteral("left out, larger than 8 MB"));
    } else if (!photo.isEmpty()) {
        const auto decoded = QByteArray::fromBase64Encoding(photo, QByteArray::AbortOnBase64DecodingErrors);
        if (decoded)
            recipe.picture = *decoded;
        else
            keepLine(recipe, QStringLiteral("Picture:"), QStringLiteral("left out, its data cannot be read"));
    }
    return recipe;
}

Recipe mealie(const QJsonObject &object)
{
    Recipe recipe;
    recipe.title = textOf(object, "name");
    for (const QJsonValue &value : object.value(QLatin1String("recipeIngredient")).toArray()) {
        const QJsonObject row = value.toObject();
        if (const QString title = textOf(row, "title"); !title.isEmpty())
            recipe.ingredients.append({QString(), QString(), title});
        const QString food = nameOf(row.value(QLatin1String("food")));
        const QString note = textOf(row, "note");
        if (!food.isEmpty()) {
            recipe.ingredients.append({amountText(row.value(QLatin1String("quantity"))),
                                       nameOf(row.value(QLatin1String("unit"))), withNote(food, note)});
            continue;
        }
        // Without a food the amount and unit are in the text, as the user wrote it.
        QString line = value.isString() ? textOf(value) : note;
        if (line.isEmpty())
            line = textOf(row, "display");
        if (line.isEmpty())
            line = textOf(row, "originalText");
        if (!line.isEmpty())
            recipe.ingredients.append(splitIngredient(line));
    }
    QStringList directions;
    for (const QJsonValue &value : object.value(QLatin1String("recipeInstructions")).toArray()) {
        const QString title = textOf(value.toObject(), "title");
        if (!title.isEmpty())
            directions.append(title.endsWith(u':') ? title : title + u':');
        directions +=
            linesOf(value.isString() ? value.toString() : value.toObject().value(QLatin1String("text")).toString());
    }
    recipe.directions = tidyLines(directions);
    recipe.yield = textOf(object, "recipeYield");
    if (recipe.yield.isEmpty())
        recipe.yield = amountText(object.value(QLatin1String("recipeServings")));
    keepLine(recipe, QStringLiteral("Description:"), textOf(object, "description"));
    QString cooking = textOf(object, "performTime");
    if (cooking.isEmpty())
        cooking = textOf(object, "cookTime");
    keepTimes(recipe, textOf(object, "prepTime"), cooking, textOf(object, "totalTime"));
    keepCategories(recipe, namesOf(object.value(QLatin1String("recipeCategory"))));
    keepLine(recipe, QStringLiteral("Tags:"), namesOf(object.value(QLatin1String("tags"))).join(QStringLiteral(", ")));
    keepRating(recipe, object.value(QLatin1String("rating")));
    QStringList notes;
    for (const QJsonValue &value : object.value(QLatin1String("notes")).toArray()) {
        const QString title = textOf(value.toObject(), "title");
        const QString text = value.toObject().value(QLatin1String("text")).toString().trimmed();
        notes.append(title.isEmpty() ? text : text.isEmpty() ? title : title + QStringLiteral(": ") + text);
    }
    recipe.note = notes.join(u'\n');
    keepSource(recipe, QString(), textOf(object, "orgURL"));
    return recipe;
}

Recipe tandoor(const QJsonObject &object)
{
    Recipe recipe;
    recipe.title = textOf(object, "name");
    QStringList directions;
    for (const QJsonValue &value : object.value(QLatin1String("steps")).toArray()) {
        const QJsonObject step = value.toObject();
        if (const QString name = textOf(step, "name"); !name.isEmpty())
            directions.append(name.endsWith(u':') ? name : name + u':');
        directions += linesOf(step.value(QLatin1String("instruction")).toString());
        for (const QJsonValue &item : step.value(QLatin1String("ingredients")).toArray()) {
            const QJsonObject row = item.toObject();
            const QString food = nameOf(row.value(QLatin1String("food")));
            const QString note = textOf(row, "note");
            if (row.value(QLatin1String("is_header")).toBool()) {
                recipe.ingredients.append({QString(), QString(), withNote(food, note)});
                continue;
            }
            const bool noAmount = row.value(QLatin1String("no_amount")).toBool();
            recipe.ingredients.append({noAmount ? QString() : amountText(row.value(QLatin1String("amount"))),
                                       nameOf(row.value(QLatin1String("unit"))), withNote(food, note)});
        }
    }
    recipe.directions = tidyLines(directions);
    recipe.yield = QStringList{textOf(object, "servings"), textOf(object, "servings_text")}.join(u' ').trimmed();
    keepLine(recipe, QStringLiteral("Description:"), textOf(object, "description"));
    const int working = object.value(QLatin1String("working_time")).toInt();
    const int waiting = object.value(QLatin1String("waiting_time")).toInt();
    if (working > 0 || waiting > 0) {
        const int minutes = std::max(working, 0) + std::max(waiting, 0);
        recipe.time = {minutes >= 60 ? QString::number(minutes / 60) : QString(), QString::number(minutes % 60)};
    }
    if (working > 0 && waiting > 0) {
        keepLine(recipe, QStringLiteral("Working time:"), QStringLiteral("%1 min").arg(working));
        keepLine(recipe, QStringLiteral("Waiting time:"), QStringLiteral("%1 min").arg(waiting));
    }
    keepLine(recipe, QStringLiteral("Keywords:"),
             namesOf(object.value(QLatin1String("keywords"))).join(QStringLiteral(", ")));
    keepSource(recipe, QString(), textOf(object, "source_url"));
    return recipe;
}

class ItemReader : public RecipeReader
{
public:
    explicit ItemReader(QList<ReadItem> items) : m_items(std::move(items)) {}

    std::optional<ReadItem> next() override
    {
        if (m_next >= m_items.size())
            return std::nullopt;
        return std::move(m_items[m_next++]);
    }

    double progress() const override { return m_items.isEmpty() ? 1.0 : double(m_next) / double(m_items.size()); }

private:
    QList<ReadItem> m_items;
    qsizetype m_next = 0;
};

// Gives the first recipe that another reader reads the picture.
class PictureReader : public RecipeReader
{
public:
    PictureReader(std::unique_ptr<RecipeReader> inner, QByteArray picture)
        : m_inner(std::move(inner)), m_picture(std::move(picture))
    {}

    std::optional<ReadItem> next() override
    {
        std::optional<ReadItem> item = m_inner->next();
        if (item && item->problem.isEmpty() && !m_picture.isEmpty()) {
            item->recipe.picture = std::exchange(m_picture, QByteArray());
        }
        return item;
    }

    double progress() const override { return m_inner->progress(); }

private:
    std::unique_ptr<RecipeReader> m_inner;
    QByteArray m_picture;
};

} // namespace

AppJson appJsonOf(const QJsonObject &object)
{
    if (object.contains(QLatin1String("@type")))
        return AppJson::None;
    if (object.value(QLatin1String("steps")).isArray())
        return AppJson::Tandoor;
    if (object.value(QLatin1String("recipeIngredient")).isArray() || object.contains(QLatin1String("orgURL")))
        return AppJson::Mealie;
    if (object.value(QLatin1String("ingredients")).isString() || object.contains(QLatin1String("photo_data")) ||
        object.value(QLatin1String("directions")).isString())
        return AppJson::Paprika;
    return AppJson::None;
}

ReadItem readAppJson(AppJson app, const QJsonObject &object)
{
    ReadItem item;
    item.line = 1;
    item.recipe = app == AppJson::Paprika ? paprika(object) : app == AppJson::Mealie ? mealie(object) : tandoor(object);
    if (item.recipe.title.isEmpty()) {
        item.problem = QStringLiteral("the recipe has no name");
        item.recipe = {};
    }
    return item;
}

std::optional<Duration> parseTimeText(const QString &text)
{
    const QString time = text.trimmed();
    if (time.isEmpty())
        return std::nullopt;
    if (const auto iso = parseIsoDuration(time))
        return iso;
    static const QRegularExpression part(
        QStringLiteral(
            "(\\d{1,6})\\s*(hours|hour|hrs|hr|h|minutes|minute|mins|min|m)(?![a-z])\\.?\\s*,?\\s*(?:and\\s+)?"),
        QRegularExpression::CaseInsensitiveOption);
    Duration duration;
    for (qsizetype at = 0; at < time.size();) {
        const QRegularExpressionMatch match =
            part.match(time, at, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
        if (!match.hasMatch())
            return std::nullopt;
        QString &kept = match.captured(2).startsWith(u'h', Qt::CaseInsensitive) ? duration.hours : duration.minutes;
        if (!kept.isEmpty())
            return std::nullopt;
        kept = QString::number(match.captured(1).toInt());
        at = match.capturedEnd();
    }
    return duration;
}

std::unique_ptr<RecipeReader> makeItemReader(QList<ReadItem> items)
{
    return std::make_unique<ItemReader>(std::move(items));
}

std::unique_ptr<RecipeReader> makeJsonReader(const QString &text, const QByteArray &picture)
{
    return makeJsonReader(text.toUtf8(), picture);
}

std::unique_ptr<RecipeReader> makeJsonReader(QByteArray utf8, const QByteArray &picture)
{
    // A schema.org Recipe names its type; the apps' own JSON does not.
    if (utf8.contains("\"@type\""))
        return std::make_unique<PictureReader>(makeJsonLdReader(std::move(utf8)), picture);
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(utf8, &error);
    if (error.error != QJsonParseError::NoError)
        return makeJsonLdReader(std::move(utf8)); // which says where
    const QJsonArray objects = document.isArray() ? document.array() : QJsonArray{document.object()};
    QList<ReadItem> items;
    for (const QJsonValue &value : objects) {
        const AppJson app = appJsonOf(value.toObject());
        if (app == AppJson::None)
            return std::make_unique<PictureReader>(makeJsonLdReader(std::move(utf8)), picture);
        items.append(readAppJson(app, value.toObject()));
        if (items.size() == 1 && items.first().problem.isEmpty() && !picture.isEmpty())
            items.first().recipe.picture = picture;
    }
    if (items.isEmpty())
        items.append({1, QStringLiteral("no recipe was found in this file"), {}});
    return makeItemReader(std::move(items));
}

} // namespace store::interchange
