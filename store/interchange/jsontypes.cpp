#include "store/interchange/jsontypes.h"

#include <QString>

#include <cstring>

namespace store::interchange {

namespace {

bool namesRecipeAt(QStringView text, qsizetype i, qsizetype n);
bool namesRecipeAt(const QByteArray &text, qsizetype i, qsizetype n);

// Where the JSON string that opens at `i` closes, or -1 when it does not.
template <typename Text>
qsizetype stringEnd(const Text &text, qsizetype i)
{
    for (++i; i < text.size(); ++i) {
        if (charAt(text, i) == u'\\')
            ++i;
        else if (charAt(text, i) == u'"')
            return i;
    }
    return -1;
}

bool namesRecipe(QStringView type)
{
    for (const char *prefix : {"http://schema.org/", "https://schema.org/", "schema:"}) {
        if (type.startsWith(QLatin1String(prefix)))
            return type.sliced(qsizetype(std::strlen(prefix))) == u"Recipe";
    }
    return type == u"Recipe";
}

bool namesRecipeAt(QStringView text, qsizetype i, qsizetype n)
{
    return namesRecipe(text.sliced(i, n));
}

bool namesRecipeAt(const QByteArray &text, qsizetype i, qsizetype n)
{
    return namesRecipe(QString::fromLatin1(text.constData() + i, n));
}

qsizetype indexOfType(QStringView text, qsizetype from)
{
    return text.indexOf(QLatin1String("\"@type\""), from);
}

qsizetype indexOfType(const QByteArray &text, qsizetype from)
{
    return text.indexOf("\"@type\"", from);
}

template <typename Text>
QList<qsizetype> typesOfRecipes(const Text &text)
{
    static const QLatin1String key("\"@type\"");
    QList<qsizetype> found;
    for (qsizetype at = indexOfType(text, 0); at >= 0; at = indexOfType(text, at + key.size())) {
        qsizetype i = skipBlanks(text, at + key.size());
        if (i >= text.size() || text.at(i) != u':')
            continue;
        i = skipBlanks(text, i + 1);
        const bool list = i < text.size() && text.at(i) == u'[';
        if (list)
            i = skipBlanks(text, i + 1);
        while (i < text.size() && text.at(i) == u'"') {
            const qsizetype end = stringEnd(text, i);
            if (end < 0)
                break;
            if (namesRecipeAt(text, i + 1, end - i - 1)) {
                found.append(at);
                break;
            }
            i = skipBlanks(text, end + 1);
            if (!list || i >= text.size() || text.at(i) != u',')
                break;
            i = skipBlanks(text, i + 1);
        }
    }
    return found;
}

} // namespace

QList<qsizetype> recipeTypes(QStringView text)
{
    return typesOfRecipes(text);
}

QList<qsizetype> recipeTypes(const QByteArray &text)
{
    return typesOfRecipes(text);
}

} // namespace store::interchange
