#pragma once

#include <QByteArray>
#include <QList>
#include <QStringView>

/// Finding the schema.org Recipes of JSON-LD in its text, or in its UTF-8 bytes without decoding them.
namespace store::interchange {

/// The character at `i` of a text, or of UTF-8 bytes read as Latin-1: the marks and names looked for are
/// ASCII, and a byte's place is its place in the file.
inline QChar charAt(QStringView text, qsizetype i)
{
    return text.at(i);
}

inline QChar charAt(const QByteArray &text, qsizetype i)
{
    return QChar(uchar(text.at(i)));
}

template <typename Text>
qsizetype skipBlanks(const Text &text, qsizetype i)
{
    while (i < text.size() && charAt(text, i).isSpace())
        ++i;
    return i;
}

/// Where each "@type" that names Recipe, alone or in a list of types, begins. Each "@type" looks only at
/// its own value, so that the text is read once however deeply its lists nest.
QList<qsizetype> recipeTypes(QStringView text);
/// The same in UTF-8 bytes, by byte.
QList<qsizetype> recipeTypes(const QByteArray &text);

} // namespace store::interchange
