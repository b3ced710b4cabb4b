#include "store/interchange/microdatatags.h"

#include <algorithm>
#include <utility>

namespace store::interchange::markup {

namespace {

// The names of the attributes the reader looks at, of a length known without measuring them.
constexpr QStringView kId = u"id";
constexpr QStringView kClass = u"class";
constexpr QStringView kTypeOf = u"typeof";
constexpr QStringView kItemRef = u"itemref";
constexpr QStringView kContent = u"content";
constexpr QStringView kItemProp = u"itemprop";
constexpr QStringView kProperty = u"property";
constexpr QStringView kItemType = u"itemtype";
constexpr QStringView kResource = u"resource";
constexpr QStringView kItemScope = u"itemscope";

// "http://schema.org/Recipe", "schema:Recipe" and "Recipe" are all "Recipe".
QString shortName(QStringView name)
{
    const qsizetype cut = std::max(name.lastIndexOf(u'/'), std::max(name.lastIndexOf(u'#'), name.lastIndexOf(u':')));
    return name.sliced(cut + 1).toString();
}

} // namespace

quint32 elementBits(QStringView name)
{
    struct Known
    {
        QStringView name;
        quint32 bits;
    };
    static constexpr Known known[] = {
        {u"p", P | BreaksText},   {u"li", Li | BreaksText}, {u"div", Div | BreaksText}, {u"h1", BreaksText},
        {u"h2", BreaksText},      {u"h3", BreaksText},      {u"h4", BreaksText},        {u"h5", BreaksText},
        {u"h6", BreaksText},      {u"tr", Tr | BreaksText}, {u"ol", Ol | BreaksText},   {u"ul", Ul | BreaksText},
        {u"section", BreaksText}, {u"article", BreaksText}, {u"dd", Dd | BreaksText},   {u"dt", Dt | BreaksText},
        {u"blockquote", BreaksText}, {u"table", Table | BreaksText}, {u"menu", Menu},    {u"dl", Dl},
        {u"td", Td},              {u"th", Th},              {u"thead", Thead},          {u"tbody", Tbody},
        {u"tfoot", Tfoot},        {u"option", Option},      {u"select", Select},        {u"button", Button},
        {u"pre", Pre},            {u"form", Form},          {u"nav", Nav},              {u"a", A},
        {u"br", Br | Void},
    };
    quint32 bits = 0;
    const qsizetype size = name.size();
    for (const Known &k : known) {
        if (k.name.size() == size && k.name == name) {
            bits = k.bits;
            break;
        }
    }
    if (!(bits & Void) && size <= 6 && isVoidElement(name))
        bits |= Void;
    return bits;
}

TagAttributes::TagAttributes(const HtmlToken &tag)
{
    for (const HtmlAttribute &a : tag.attributes) {
        const QStringView *&slot = slotOf(a.name);
        if (&slot != &other)
            slot = &a.value;
    }
}

const QStringView *&TagAttributes::slotOf(QStringView name)
{
    switch (name.size()) {
    case 2:
        return name == kId ? id : other;
    case 5:
        return name == kClass ? cls : other;
    case 6:
        return name == kTypeOf ? typeOf : other;
    case 7:
        return name == kItemRef ? itemRef : name == kContent ? content : other;
    case 8:
        return name == kItemProp   ? itemProp
               : name == kProperty ? property
               : name == kItemType ? itemType
               : name == kResource ? resource
                                   : other;
    case 9:
        return name == kItemScope ? itemScope : other;
    default:
        return other;
    }
}

QStringList words(const QStringView *value)
{
    QStringList result;
    if (!value)
        return result;
    // Most values are one short name, taken as they are.
    const char16_t *c = value->utf16();
    const char16_t *const end = c + value->size();
    while (c < end && *c != u'/' && *c != u'#' && *c != u':' && !QChar::isSpace(*c))
        ++c;
    if (c == end) {
        if (!value->isEmpty())
            result.append(value->toString());
        return result;
    }
    const qsizetype size = value->size();
    for (qsizetype i = 0; i < size;) {
        while (i < size && value->at(i).isSpace())
            ++i;
        const qsizetype begin = i;
        while (i < size && !value->at(i).isSpace())
            ++i;
        if (i > begin)
            result.append(shortName(value->sliced(begin, i - begin)));
    }
    return result;
}

const QStringView *attributeValue(const HtmlToken &tag, const TagAttributes &attributes)
{
    if (attributes.content)
        return attributes.content;
    static constexpr std::pair<QStringView, QStringView> sources[] = {
        {u"a", u"href"},      {u"link", u"href"},  {u"area", u"href"},   {u"img", u"src"},      {u"audio", u"src"},
        {u"video", u"src"},   {u"source", u"src"}, {u"embed", u"src"},   {u"iframe", u"src"},   {u"track", u"src"},
        {u"object", u"data"}, {u"data", u"value"}, {u"meter", u"value"}, {u"time", u"datetime"}};
    for (const auto &[element, attribute] : sources) {
        if (tag.name == element) {
            if (const QStringView *value = tag.attribute(attribute))
                return value;
            if (tag.name != u"time")
                return attributes.resource;
        }
    }
    return attributes.resource;
}

} // namespace store::interchange::markup
