#include "store/interchange/microdata.h"

#include "store/interchange/htmlscan.h"

#include <algorithm>

#include <QHash>
#include <QJsonArray>
#include <QSet>

namespace store::interchange {

namespace {

constexpr qsizetype kDeepestElement = 2000;
constexpr qsizetype kDeepestItem = 32;
constexpr qsizetype kMostCollectors = 32;

// The elements whose start and end break a line of text.
bool breaksText(QStringView name)
{
    static constexpr QStringView tags[] = {u"p",  u"li", u"div", u"h1", u"h2",      u"h3",      u"h4", u"h5",         u"h6",
                                           u"tr", u"ol", u"ul",  u"section", u"article", u"dd", u"dt", u"blockquote", u"table"};
    return std::find(std::begin(tags), std::end(tags), name) != std::end(tags);
}

// "http://schema.org/Recipe", "schema:Recipe" and "Recipe" are all "Recipe".
QString shortName(QStringView name)
{
    const qsizetype cut = std::max(name.lastIndexOf(u'/'), std::max(name.lastIndexOf(u'#'), name.lastIndexOf(u':')));
    return name.sliced(cut + 1).toString();
}

QStringList words(const QString *value)
{
    QStringList result;
    if (!value)
        return result;
    // Most values are one short name, taken as they are.
    if (std::none_of(value->cbegin(), value->cend(), [](QChar c) {
            return c.isSpace() || c == u'/' || c == u'#' || c == u':';
        })) {
        if (!value->isEmpty())
            result.append(*value);
        return result;
    }
    for (const QString &word : value->simplified().split(u' ', Qt::SkipEmptyParts))
        result.append(shortName(word));
    return result;
}

// What a property element without an item of its own says, when an attribute says it.
const QString *attributeValue(const HtmlToken &tag)
{
    if (const QString *content = tag.attribute(u"content"))
        return content;
    static const std::pair<const char16_t *, const char16_t *> sources[] = {
        {u"a", u"href"},      {u"link", u"href"},  {u"area", u"href"},   {u"img", u"src"},      {u"audio", u"src"},
        {u"video", u"src"},   {u"source", u"src"}, {u"embed", u"src"},   {u"iframe", u"src"},   {u"track", u"src"},
        {u"object", u"data"}, {u"data", u"value"}, {u"meter", u"value"}, {u"time", u"datetime"}};
    for (const auto &[element, attribute] : sources) {
        if (tag.name == QStringView(element)) {
            if (const QString *value = tag.attribute(attribute))
                return value;
            if (tag.name != u"time")
                return tag.attribute(u"resource");
        }
    }
    return tag.attribute(u"resource");
}

// The lines of collected text without the blanks at their ends, without empty lines at either end, and
// with no two empty lines in a row; made in one pass, as an item's text holds the texts of all the items
// inside it and is tidied again for each.
QString tidied(QStringView text)
{
    // Text collected from a page is mostly tidy already (blanks are collapsed as it is collected), and
    // is then copied as it is.
    // Only the characters beside each line break are looked at.
    const char16_t *const c = text.utf16();
    const auto blank = [](char16_t d) { return d != u'\n' && QChar(d).isSpace(); };
    bool tidy = text.isEmpty() || !(text.front().isSpace() || text.back().isSpace());
    for (qsizetype i = text.indexOf(u'\n'); tidy && i > 0 && i + 1 < text.size(); i = text.indexOf(u'\n', i + 1))
        tidy = !blank(c[i - 1]) && !blank(c[i + 1]) && !(c[i - 1] == u'\n' && c[i + 1] == u'\n');
    if (tidy)
        return text.toString();
    QString result;
    result.reserve(text.size());
    bool gap = false; // an empty line after the last line kept
    for (qsizetype begin = 0; begin <= text.size();) {
        qsizetype end = text.indexOf(u'\n', begin);
        if (end < 0)
            end = text.size();
        const QStringView line = text.sliced(begin, end - begin).trimmed();
        begin = end + 1;
        if (line.isEmpty()) {
            gap = !result.isEmpty();
            continue;
        }
        if (!result.isEmpty())
            result += gap ? QStringView(u"\n\n") : QStringView(u"\n");
        result += line;
        gap = false;
    }
    return result;
}

class MarkupReader
{
public:
    explicit MarkupReader(const QString &page) : m_page(page) {}

    QList<MarkedRecipe> read()
    {
        if (m_page.contains(QLatin1String("itemref"), Qt::CaseInsensitive))
            findReferences();
        HtmlScanner scanner(m_page);
        for (HtmlToken token = scanner.next(); token.kind != HtmlToken::End; token = scanner.next()) {
            if (token.kind == HtmlToken::Text)
                addText(token.text);
            else if (token.kind == HtmlToken::StartTag)
                start(token, scanner.position());
            else
                end(token.name);
        }
        while (!m_open.empty())
            close();
        if (!m_referenced.isEmpty()) {
            // Each value taken through itemref costs one of the page's characters: a page that names one
            // large block many times is read in time linear in its size all the same.
            qsizetype budget = m_page.size();
            for (MarkedRecipe &recipe : m_recipes)
                resolve(recipe.object, {}, 0, budget);
        }
        return m_recipes;
    }

private:
    struct Item
    {
        QStringList types;
        QStringList properties; ///< the properties of the item around it that this item is the value of
        QHash<QString, QJsonArray> values;
        QStringList order; ///< the properties in the order they first came
        qsizetype line = 1;
        bool recipeKeeper = false;
        qsizetype serial = 0;
        QStringList references; ///< the ids its itemref names
        QString fragment;       ///< for the element of a referenced id, the id; the item then stands for it
    };
    struct Collector
    {
        QStringList properties;
        qsizetype start; ///< where its text begins in m_text
    };
    struct Open
    {
        QString name;
        int items = 0; ///< the items it opened: the fragment of its id, then its own
        bool collector = false;
    };

    void addValue(Item &item, const QStringList &properties, const QJsonValue &value)
    {
        for (QString property : properties) {
            // The older name of the ingredients, which pages mix with the newer, in page order.
            if (property == u"ingredients")
                property = QStringLiteral("recipeIngredient");
            auto found = item.values.find(property);
            if (found == item.values.end()) {
                item.order.append(property);
                found = item.values.insert(property, {});
            }
            found->append(value);
        }
    }

    void addText(QStringView text)
    {
        if (m_collectors.empty())
            return;
        for (QChar c : text) {
            if (c.isSpace()) {
                if (!m_text.isEmpty() && !m_text.endsWith(u' ') && !m_text.endsWith(u'\n'))
                    m_text += u' ';
            } else {
                m_text += c;
            }
        }
    }

    void breakLine()
    {
        if (!m_collectors.empty() && !m_text.isEmpty() && !m_text.endsWith(u'\n'))
            m_text += u'\n';
    }

    qsizetype lineAt(qsizetype position)
    {
        m_line += QStringView(m_page).sliced(m_counted, position - m_counted).count(u'\n');
        m_counted = position;
        return m_line;
    }

    // Closes what the start of `name` closes without an end tag, as browsers do: a list item the one
    // before it, a paragraph any block. Only the few elements on top are looked at.
    void closeImplied(const QString &name)
    {
        using Names = std::vector<QStringView>;
        struct Rule
        {
            Names targets; ///< the open elements the start closes
            Names stops;   ///< the open elements it looks no further than
        };
        static const Rule item{{u"li", u"p"}, {u"ul", u"ol", u"menu"}};
        static const Rule term{{u"dt", u"dd", u"p"}, {u"dl"}};
        static const Rule row{{u"tr", u"td", u"th"}, {u"table", u"thead", u"tbody", u"tfoot"}};
        static const Rule cell{{u"td", u"th"}, {u"tr", u"table"}};
        static const Rule option{{u"option"}, {u"select"}};
        static const Rule block{{u"p"}, {u"td", u"th", u"li", u"button", u"table"}};
        const Rule *rule = nullptr;
        if (name == u"li")
            rule = &item;
        else if (name == u"dt" || name == u"dd")
            rule = &term;
        else if (name == u"tr")
            rule = &row;
        else if (name == u"td" || name == u"th")
            rule = &cell;
        else if (name == u"option")
            rule = &option;
        else if (breaksText(name) || name == u"pre" || name == u"form" || name == u"nav")
            rule = &block;
        if (!rule)
            return;
        const auto within = [](QStringView element, const Names &names) {
            return std::find(names.begin(), names.end(), element) != names.end();
        };
        constexpr qsizetype kLookedAt = 16;
        const qsizetype top = qsizetype(m_open.size());
        for (qsizetype i = top - 1; i >= 0 && i >= top - kLookedAt; --i) {
            const QString &open = m_open[size_t(i)].name;
            if (within(open, rule->targets)) {
                while (qsizetype(m_open.size()) > i)
                    close();
                return;
            }
            if (within(open, rule->stops))
                return;
        }
    }

    void start(const HtmlToken &tag, qsizetype position)
    {
        if (tag.name == u"br" || breaksText(tag.name))
            breakLine();
        closeImplied(tag.name);
        // RDFa says what microdata says under other names.
        const bool keeper = tag.name == u"div" && tag.attribute(u"class") &&
                            tag.attribute(u"class")->split(u' ', Qt::SkipEmptyParts).contains(u"recipe-details");
        const bool scope = tag.attribute(u"itemscope") || tag.attribute(u"typeof") || keeper;
        QStringList properties = words(tag.attribute(u"itemprop"));
        if (properties.isEmpty())
            properties = words(tag.attribute(u"property"));
        const bool closes = isVoidElement(tag.name) || tag.selfClosing;
        if (qsizetype(m_open.size()) >= kDeepestElement && !closes)
            return; // counted as text of the elements around it; its end tag finds nothing to close
        Open open{tag.name};
        // The first element of an id that an itemref names collects its properties apart (its own too),
        // for the items that name it; they are the item's around it as well.
        const QString *id = tag.attribute(u"id");
        if (id && m_referenced.contains(*id) && !m_fragments.contains(*id) && !m_openFragments.contains(*id) &&
            qsizetype(m_items.size()) < kDeepestItem) {
            Item fragment;
            fragment.fragment = *id;
            fragment.serial = ++m_serial;
            m_openFragments.insert(*id);
            m_items.push_back(std::move(fragment));
            ++open.items;
        }
        Item *parent = m_items.empty() ? nullptr : &m_items.back();

        if (scope && qsizetype(m_items.size()) < kDeepestItem) {
            Item item;
            item.types = words(tag.attribute(u"itemtype"));
            item.types += words(tag.attribute(u"typeof"));
            if (keeper && !item.types.contains(u"Recipe"))
                item.types.append(QStringLiteral("Recipe"));
            item.recipeKeeper = keeper;
            item.serial = ++m_serial;
            if (const QString *references = tag.attribute(u"itemref")) {
                item.references = references->simplified().split(u' ', Qt::SkipEmptyParts);
                item.references.removeDuplicates();
            }
            if (parent)
                item.properties = properties;
            item.line = lineAt(position);
            m_items.push_back(std::move(item));
            ++open.items;
        } else if (parent && !properties.isEmpty()) {
            // A link's address is the value of properties that are addresses; a link to the author's page
            // names the author by its text.
            const bool address = std::any_of(properties.cbegin(), properties.cend(), [](const QString &p) {
                return p == u"url" || p == u"image" || p == u"sameAs" || p == u"mainEntityOfPage";
            });
            const QString *value = tag.name == u"a" && !address ? tag.attribute(u"content") : attributeValue(tag);
            if (value) {
                addValue(*parent, properties, *value);
            } else if (!closes && qsizetype(m_collectors.size()) < kMostCollectors) {
                m_collectors.push_back({properties, m_text.size()});
                open.collector = true;
            } else if (closes) {
                addValue(*parent, properties, QString());
            }
        }
        if (closes) {
            while (open.items-- > 0)
                closeItem();
            return;
        }
        m_open.push_back(std::move(open));
        ++m_openCount[tag.name];
    }

    void end(const QString &name)
    {
        if (breaksText(name))
            breakLine();
        // An end tag closes the elements opened inside its own that never closed; one that opened
        // nothing is passed over.
        if (m_openCount.value(name) == 0)
            return;
        while (!m_open.empty()) {
            const bool found = m_open.back().name == name;
            close();
            if (found)
                break;
        }
    }

    void close()
    {
        Open open = std::move(m_open.back());
        m_open.pop_back();
        --m_openCount[open.name];
        if (open.collector) {
            const Collector collector = std::move(m_collectors.back());
            m_collectors.pop_back();
            addValue(m_items.back(), collector.properties, tidied(QStringView(m_text).sliced(collector.start)));
            if (m_collectors.empty())
                m_text.clear();
        }
        while (open.items-- > 0)
            closeItem();
    }

    void closeItem()
    {
        Item item = std::move(m_items.back());
        m_items.pop_back();
        if (!item.fragment.isEmpty()) {
            closeFragment(item);
            return;
        }
        QJsonObject object;
        if (!item.types.isEmpty())
            object.insert(QStringLiteral("@type"), QJsonArray::fromStringList(item.types));
        for (const QString &property : std::as_const(item.order))
            object.insert(property, item.values.value(property));
        if (!item.references.isEmpty()) {
            object.insert(kReferences, QJsonObject{{QStringLiteral("ids"), QJsonArray::fromStringList(item.references)},
                                                   {QStringLiteral("serial"), double(item.serial)}});
        }
        if (item.types.contains(u"Recipe"))
            m_recipes.append({object, item.line, item.recipeKeeper});
        else if (!m_items.empty() && !item.properties.isEmpty())
            addValue(m_items.back(), item.properties, object);
    }

    void closeFragment(const Item &item)
    {
        m_openFragments.remove(item.fragment);
        Fragment &fragment = m_fragments[item.fragment];
        fragment.owner = m_items.empty() ? 0 : m_items.back().serial;
        for (const QString &property : item.order) {
            const QJsonArray values = item.values.value(property);
            fragment.object.insert(property, values);
            if (!m_items.empty()) {
                for (const QJsonValue &value : values)
                    addValue(m_items.back(), {property}, value);
            }
        }
    }

    // The ids that itemref attributes name, before the page is read: an element may come before the item
    // that names it.
    void findReferences()
    {
        HtmlScanner scanner(m_page);
        for (HtmlToken token = scanner.next(); token.kind != HtmlToken::End; token = scanner.next()) {
            if (token.kind != HtmlToken::StartTag)
                continue;
            if (const QString *references = token.attribute(u"itemref")) {
                for (const QString &id : references->simplified().split(u' ', Qt::SkipEmptyParts))
                    m_referenced.insert(id);
            }
        }
    }

    // Adds to `object`, and to the items in its values, the properties of the elements their itemref names,
    // after their own. An id already being added further up is passed over, so that items that name each
    // other end; each value taken costs one of `budget`, and none is taken once it is spent.
    void resolve(QJsonObject &object, QStringList path, int depth, qsizetype &budget)
    {
        if (depth > kDeepestItem || budget <= 0)
            return;
        const QJsonObject references = object.take(kReferences).toObject();
        const qsizetype serial = qsizetype(references.value(QLatin1String("serial")).toDouble());
        for (const QJsonValue &idValue : references.value(QLatin1String("ids")).toArray()) {
            const QString id = idValue.toString();
            const auto found = m_fragments.constFind(id);
            // A fragment inside the item itself gave it its properties already.
            if (found == m_fragments.cend() || path.contains(id) || found->owner == serial)
                continue;
            path.append(id);
            for (auto property = found->object.begin(); property != found->object.end(); ++property) {
                QJsonArray values = object.value(property.key()).toArray();
                for (const QJsonValue &value : property.value().toArray()) {
                    if (--budget < 0)
                        break;
                    if (value.isObject()) {
                        QJsonObject inner = value.toObject();
                        resolve(inner, path, depth + 1, budget);
                        values.append(inner);
                    } else {
                        values.append(value);
                    }
                }
                object.insert(property.key(), values);
            }
            path.removeLast();
        }
        // The items among its own values may name elements too.
        for (auto property = object.begin(); property != object.end(); ++property) {
            QJsonArray values = property.value().toArray();
            bool changed = false;
            for (qsizetype i = 0; i < values.size() && budget > 0; ++i) {
                if (!values.at(i).isObject())
                    continue;
                QJsonObject inner = values.at(i).toObject();
                resolve(inner, path, depth + 1, --budget);
                values.replace(i, inner);
                changed = true;
            }
            if (changed)
                property.value() = values;
        }
    }

    struct Fragment
    {
        QJsonObject object;  ///< the properties of the element of an id, each an array of its values
        qsizetype owner = 0; ///< the serial of the item it lies in; 0 for none
    };
    static inline const QString kReferences = QStringLiteral("@itemref");

    const QString &m_page;
    QSet<QString> m_referenced;
    QSet<QString> m_openFragments;
    QHash<QString, Fragment> m_fragments;
    qsizetype m_serial = 0;
    std::vector<Open> m_open;
    QHash<QString, int> m_openCount;
    std::vector<Item> m_items;
    std::vector<Collector> m_collectors;
    QString m_text;
    QList<MarkedRecipe> m_recipes;
    qsizetype m_line = 1;
    qsizetype m_counted = 0;
};

} // namespace

QList<MarkedRecipe> markedRecipes(const QString &page)
{
    return MarkupReader(page).read();
}

} // namespace store::interchange
