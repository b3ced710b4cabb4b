#pragma once

#include "store/interchange/htmlscan.h"

#include <QStringList>
#include <QStringView>

/// What the microdata reader (store/interchange/microdata.h) knows of a tag: its element by name, the
/// attributes it looks at and the names and values they give, each found in one pass over the tag.
namespace store::interchange::markup {

/// What the reader knows of an element by its name, a bit for each: the elements whose start closes another
/// without an end tag, those that stop it, those whose start and end break a line of text. A tag's name
/// is looked up once, and the open elements carry their bits.
enum ElementBit : quint32 {
    Li = 1u << 0, P = 1u << 1, Ul = 1u << 2, Ol = 1u << 3, Menu = 1u << 4, Dt = 1u << 5, Dd = 1u << 6,
    Dl = 1u << 7, Tr = 1u << 8, Td = 1u << 9, Th = 1u << 10, Table = 1u << 11, Thead = 1u << 12,
    Tbody = 1u << 13, Tfoot = 1u << 14, Option = 1u << 15, Select = 1u << 16, Button = 1u << 17,
    Pre = 1u << 18, Form = 1u << 19, Nav = 1u << 20, Br = 1u << 21, Div = 1u << 22, A = 1u << 23,
    BreaksText = 1u << 30,
    Void = 1u << 31,
};

/// The bits of the element named `name` (lower case); none for an element the reader has no rule for.
quint32 elementBits(QStringView name);

/// The attributes of a tag that the reader looks at, found in one pass over its attributes.
struct TagAttributes
{
    explicit TagAttributes(const HtmlToken &tag);

    const QStringView *id = nullptr;
    const QStringView *cls = nullptr;
    const QStringView *typeOf = nullptr;
    const QStringView *itemRef = nullptr;
    const QStringView *content = nullptr;
    const QStringView *itemProp = nullptr;
    const QStringView *property = nullptr;
    const QStringView *itemType = nullptr;
    const QStringView *resource = nullptr;
    const QStringView *itemScope = nullptr;

private:
    const QStringView *&slotOf(QStringView name);
    const QStringView *other = nullptr;
};

/// The short names a value lists ("http://schema.org/Recipe" is "Recipe"), or nothing for no value.
QStringList words(const QStringView *value);

/// What a property element without an item of its own says, when an attribute says it.
const QStringView *attributeValue(const HtmlToken &tag, const TagAttributes &attributes);

} // namespace store::interchange::markup
