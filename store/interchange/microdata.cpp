#include "store/interchange/microdata.h"

#include "store/interchange/htmlscan.h"
#include "store/interchange/microdatatags.h"

#include <algorithm>

#include <QHash>
#include <QJsonArray>
#include <QStringTokenizer>
#include <QSet>

namespace store::interchange {

namespace {

using namespace markup;

// What keeps a hostile page's reading linear in its size. Elements deeper than kDeepestElement count as text
// of those around them; an item deeper than kDeepestItem is read as a property's text. A property element
// inside kMostCollectors others that collect text collects none: each of them holds the whole text inside it,
// so the page's text is copied at most that many times. Recipe pages nest a few at most.
constexpr qsizetype kDeepestElement = 2000;
constexpr qsizetype kDeepestItem = 32;
constexpr qsizetype kMostCollectors = 8;

// The lines of collected text without the blanks at their ends, without empty lines at either end, and
// with no two empty lines in a row; made in one pass, as an item's text holds the texts of all the items
// inside it and is tidied again for each. Text that is tidy already is not copied: the result then
// refers to the characters of `text`, and is good only as long as they are (a JSON value made of it is a
// copy).
QString tidied(QStringView text)
{
    // Text collected from a page is mostly tidy already (blanks are collapsed as it is collected).
    // Only the characters beside each line break are looked at.
    const char16_t *const c = text.utf16();
    const auto blank = [](char16_t d) { return d != u'\n' && QChar(d).isSpace(); };
    bool tidy = text.isEmpty() || !(text.front().isSpace() || text.back().isSpace());
    for (qsizetype i = text.indexOf(u'\n'); tidy && i > 0 && i + 1 < text.size(); i = text.indexOf(u'\n', i + 1))
        tidy = !blank(c[i - 1]) && !blank(c[i + 1]) && !(c[i - 1] == u'\n' && c[i + 1] == u'\n');
    if (tidy)
        return QString::fromRawData(text.data(), text.size());
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
    struct Name
    {
        qsizetype place; ///< where the open elements of the name are counted, in m_openCount
        quint32 bits;    ///< its elementBits()
    };
    struct Open
    {
        qsizetype name; ///< its Name::place
        quint32 bits;   ///< its elementBits()
        int items = 0;  ///< the items it opened: the fragment of its id, then its own
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

    // Each run of blanks is one space, none at the start of a line; the characters between are added a
    // run at a time.
    void addText(QStringView text)
    {
        if (m_collectors.empty())
            return;
        const qsizetype size = text.size();
        for (qsizetype i = 0; i < size;) {
            const qsizetype begin = i;
            while (i < size && !text[i].isSpace())
                ++i;
            m_text += text.sliced(begin, i - begin);
            if (i == size)
                break;
            while (i < size && text[i].isSpace())
                ++i;
            if (!m_text.isEmpty() && !m_text.endsWith(u' ') && !m_text.endsWith(u'\n'))
                m_text += u' ';
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

    // Closes what the start of an element closes without an end tag, as browsers do: a list item the one
    // before it, with the paragraph left open inside it; a row the one before it; a paragraph any block.
    void closeImplied(quint32 bits)
    {
        constexpr quint32 kParagraphStops = Td | Th | Li | Button | Table;
        constexpr quint32 kRowStops = Table | Thead | Tbody | Tfoot;
        if (bits & Li) {
            if (!closeOpen(Li, Ul | Ol | Menu))
                closeOpen(P, kParagraphStops);
        } else if (bits & (Dt | Dd)) {
            if (!closeOpen(Dt | Dd, Dl))
                closeOpen(P, kParagraphStops);
        } else if (bits & Tr) {
            if (!closeOpen(Tr, kRowStops))
                closeOpen(Td | Th, kRowStops);
        } else if (bits & (Td | Th)) {
            closeOpen(Td | Th, Tr | Table);
        } else if (bits & Option) {
            closeOpen(Option, Select);
        } else if (bits & (BreaksText | Pre | Form | Nav)) {
            closeOpen(P, kParagraphStops);
        }
    }

    // Closes the topmost open element of `targets`, with all opened inside it, unless an element of `stops`
    // lies above it; whether it closed one. Only the few elements on top are looked at.
    bool closeOpen(quint32 targets, quint32 stops)
    {
        constexpr qsizetype kLookedAt = 16;
        const qsizetype top = qsizetype(m_open.size());
        for (qsizetype i = top - 1; i >= 0 && i >= top - kLookedAt; --i) {
            const quint32 open = m_open[size_t(i)].bits;
            if (open & targets) {
                while (qsizetype(m_open.size()) > i)
                    close();
                return true;
            }
            if (open & stops)
                return false;
        }
        return false;
    }

    // What is known of the elements called `name`, worked out once for each name the page uses.
    Name nameOf(QStringView name)
    {
        const auto found = m_names.constFind(QString::fromRawData(name.data(), name.size()));
        if (found != m_names.cend())
            return *found;
        m_openCount.push_back(0);
        return *m_names.insert(name.toString(), {qsizetype(m_openCount.size()) - 1, elementBits(name)});
    }

    void start(const HtmlToken &tag, qsizetype position)
    {
        const Name name = nameOf(tag.name);
        const quint32 bits = name.bits;
        if (bits & (Br | BreaksText))
            breakLine();
        closeImplied(bits);
        const TagAttributes attributes(tag);
        // RDFa says what microdata says under other names.
        bool keeper = false;
        if ((bits & Div) && attributes.cls) {
            for (const QStringView word : qTokenize(*attributes.cls, u' ', Qt::SkipEmptyParts))
                keeper = keeper || word == u"recipe-details";
        }
        const bool scope = attributes.itemScope || attributes.typeOf || keeper;
        // The names of the properties the element gives a value of, made only where they are used.
        const auto properties = [&attributes] {
            QStringList names = words(attributes.itemProp);
            return names.isEmpty() ? words(attributes.property) : names;
        };
        const bool closes = (bits & Void) || tag.selfClosing;
        if (qsizetype(m_open.size()) >= kDeepestElement && !closes)
            return; // counted as text of the elements around it; its end tag finds nothing to close
        Open open{name.place, bits};
        // The first element of an id that an itemref names collects its properties apart (its own too),
        // for the items that name it; they are the item's around it as well.
        const QString id = attributes.id && !m_referenced.isEmpty()
                               ? QString::fromRawData(attributes.id->data(), attributes.id->size())
                               : QString();
        if (!id.isEmpty() && m_referenced.contains(id) && !m_fragments.contains(id) && !m_openFragments.contains(id) &&
            qsizetype(m_items.size()) < kDeepestItem) {
            Item fragment;
            fragment.fragment = attributes.id->toString();
            fragment.serial = ++m_serial;
            m_openFragments.insert(fragment.fragment);
            m_items.push_back(std::move(fragment));
            ++open.items;
        }
        Item *parent = m_items.empty() ? nullptr : &m_items.back();

        if (scope && qsizetype(m_items.size()) < kDeepestItem) {
            Item item;
            item.types = words(attributes.itemType);
            item.types += words(attributes.typeOf);
            if (keeper && !item.types.contains(u"Recipe"))
                item.types.append(QStringLiteral("Recipe"));
            item.recipeKeeper = keeper;
            item.serial = ++m_serial;
            if (attributes.itemRef) {
                item.references = attributes.itemRef->toString().simplified().split(u' ', Qt::SkipEmptyParts);
                item.references.removeDuplicates();
            }
            if (parent)
                item.properties = properties();
            item.line = lineAt(position);
            m_items.push_back(std::move(item));
            ++open.items;
        } else if (parent && (attributes.itemProp || attributes.property)) {
            // An element that has no value and can collect none gives nothing: its properties are not read.
            const QStringView *given = (bits & A) ? nullptr : attributeValue(tag, attributes);
            const bool collects = !closes && qsizetype(m_collectors.size()) < kMostCollectors;
            if (const QStringList names = (bits & A) || given || collects || closes ? properties() : QStringList();
                !names.isEmpty()) {
                // A link's address is the value of properties that are addresses; a link to the author's page
                // names the author by its text.
                const bool address = std::any_of(names.cbegin(), names.cend(), [](const QString &p) {
                    return p == u"url" || p == u"image" || p == u"sameAs" || p == u"mainEntityOfPage";
                });
                const QStringView *value =
                    (bits & A) ? (address ? attributeValue(tag, attributes) : attributes.content) : given;
                if (value) {
                    addValue(*parent, names, value->toString());
                } else if (collects) {
                    m_collectors.push_back({names, m_text.size()});
                    open.collector = true;
                } else if (closes) {
                    addValue(*parent, names, QString());
                }
            }
        }
        if (closes) {
            while (open.items-- > 0)
                closeItem();
            return;
        }
        ++m_openCount[size_t(open.name)];
        m_open.push_back(open);
    }

    void end(QStringView name)
    {
        const auto known = m_names.constFind(QString::fromRawData(name.data(), name.size()));
        if ((known != m_names.cend() ? known->bits : elementBits(name)) & BreaksText)
            breakLine();
        // An end tag closes the elements opened inside its own that never closed; one that opened
        // nothing is passed over.
        if (known == m_names.cend() || m_openCount[size_t(known->place)] == 0)
            return;
        while (!m_open.empty()) {
            const bool found = m_open.back().name == known->place;
            close();
            if (found)
                break;
        }
    }

    void close()
    {
        Open open = m_open.back();
        m_open.pop_back();
        --m_openCount[size_t(open.name)];
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
            if (const QStringView *references = token.attribute(u"itemref")) {
                for (const QString &id : references->toString().simplified().split(u' ', Qt::SkipEmptyParts))
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
    QHash<QString, Name> m_names;  ///< the names of the elements met
    std::vector<int> m_openCount; ///< by Name::place, how many of the open elements have that name
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
