#include "store/interchange/recipekeeper.h"

#include "store/interchange/appjson.h"
#include "store/interchange/jsonld.h"

#include <QJsonArray>

namespace store::interchange {

namespace {

QStringList textsOf(const QJsonValue &value)
{
    QStringList texts;
    for (const QJsonValue &item : value.toArray()) {
        if (item.isString() && !item.toString().trimmed().isEmpty())
            texts.append(item.toString().trimmed());
    }
    return texts;
}

// The lines of every value of `property`, as one array of texts: a block of paragraphs is a line each.
QJsonArray linesOf(const QJsonObject &object, const char *property)
{
    QJsonArray lines;
    for (const QString &text : textsOf(object.value(QLatin1String(property)))) {
        for (const QString &line : text.split(u'\n')) {
            if (!line.trimmed().isEmpty())
                lines.append(line.trimmed());
        }
    }
    return lines;
}

// "recipeNutTotalFat" is "Total fat".
QString nutrientName(QStringView property)
{
    QString name;
    for (const QChar c : property.sliced(9)) {
        if (c.isUpper() && !name.isEmpty())
            name += u' ';
        name += name.isEmpty() ? c : c.toLower();
    }
    return name;
}

} // namespace

ReadItem readRecipeKeeper(const QJsonObject &object)
{
    // Recipe Keeper's names of the properties schema.org names otherwise.
    QJsonObject schema = object;
    schema.remove(QStringLiteral("recipeIngredients"));
    schema.remove(QStringLiteral("recipeDirections"));
    if (!schema.contains(QLatin1String("recipeIngredient")))
        schema.insert(QStringLiteral("recipeIngredient"), linesOf(object, "recipeIngredients"));
    if (!schema.contains(QLatin1String("recipeInstructions")))
        schema.insert(QStringLiteral("recipeInstructions"), linesOf(object, "recipeDirections"));
    ReadItem item = readRecipeObject(schema, JsonText::PageText);
    if (!item.problem.isEmpty())
        return item;
    Recipe &recipe = item.recipe;

    for (const QString &course : textsOf(object.value(QLatin1String("recipeCourse")))) {
        if (!recipe.categories.contains(course, Qt::CaseInsensitive))
            recipe.categories.append(course);
    }
    QStringList note;
    for (const QJsonValue &line : linesOf(object, "recipeNotes"))
        note.append(line.toString());
    recipe.note = note.join(u'\n');
    if (recipe.source.isEmpty())
        recipe.source = textsOf(object.value(QLatin1String("recipeSource"))).join(u' ');

    const double rating = textsOf(object.value(QLatin1String("recipeRating"))).value(0).toDouble();
    if (rating > 0)
        recipe.notes.append(kRatingLabel + QStringLiteral(" %1 of 5").arg(rating));
    const QString favourite = textsOf(object.value(QLatin1String("recipeIsFavourite"))).value(0);
    if (favourite.compare(u"true", Qt::CaseInsensitive) == 0)
        recipe.notes.append(QStringLiteral("Favourite: yes"));
    QStringList nutrition;
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (it.key().startsWith(QLatin1String("recipeNut")) && it.key().size() > 9) {
            if (const QString value = textsOf(it.value()).value(0); !value.isEmpty())
                nutrition.append(nutrientName(it.key()) + u' ' + value);
        }
    }
    if (!nutrition.isEmpty())
        recipe.notes.append(QStringLiteral("Nutrition: ") + nutrition.join(QStringLiteral("; ")));

    // The first photo: "photo", else "photo0", else "photo1".
    for (const QString &key : {QStringLiteral("photo"), QStringLiteral("photo0"), QStringLiteral("photo1")}) {
        if (const QString path = textsOf(object.value(key)).value(0); !path.isEmpty()) {
            recipe.pictureAddress = path;
            break;
        }
    }
    return item;
}

} // namespace store::interchange
