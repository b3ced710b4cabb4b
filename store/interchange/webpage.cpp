#include "store/interchange/webpage.h"

#include "store/ingredients.h"
#include "store/interchange/htmlscan.h"
#include "store/interchange/jsonld.h"
#include "store/interchange/microdata.h"
#include "store/interchange/recipekeeper.h"

#include <QUrl>

using namespace Qt::StringLiterals;

namespace store::interchange {

namespace {

// `address` made whole against the page's address `base`, when it is not whole already.
QString resolved(const QString &address, const QString &base)
{
    if (address.isEmpty() || base.isEmpty())
        return address;
    const QUrl url(address);
    if (!url.isValid() || !url.isRelative())
        return address;
    return QUrl(base).resolved(url).toString();
}

class WebPageReader : public RecipeReader
{
public:
    explicit WebPageReader(const QString &page) : m_address(pageAddress(page))
    {
        PageJsonLd json = readPageJsonLd(page);
        m_json = std::move(json.reader);
        if (!json.hasRecipe)
            m_marked = markedRecipes(page);
    }

    std::optional<ReadItem> next() override
    {
        std::optional<ReadItem> item;
        if (m_json) {
            item = m_json->next();
            if (!item)
                m_json.reset();
        }
        if (!item && m_next < m_marked.size()) {
            MarkedRecipe marked = std::move(m_marked[m_next++]);
            item = marked.recipeKeeper ? readRecipeKeeper(marked.object)
                                       : readRecipeObject(marked.object, JsonText::PageText);
            item->line = marked.line;
        }
        if (!item) {
            if (m_given)
                return std::nullopt;
            item = ReadItem{0, kNoRecipeData, {}};
        }
        m_given = true;
        Recipe &recipe = item->recipe;
        recipe.source = resolved(recipe.source.isEmpty() ? m_address : recipe.source, m_address);
        recipe.pictureAddress = resolved(recipe.pictureAddress, m_address);
        return item;
    }

    double progress() const override
    {
        if (m_json)
            return m_json->progress() / 2;
        return m_marked.isEmpty() ? 1.0 : 0.5 + double(m_next) / double(m_marked.size()) / 2;
    }

private:
    QString m_address;
    std::unique_ptr<RecipeReader> m_json;
    QList<MarkedRecipe> m_marked;
    qsizetype m_next = 0;
    bool m_given = false;
};

bool isBlock(QStringView name)
{
    for (const char16_t *tag : {u"p", u"li", u"h1", u"h2", u"h3", u"h4", u"h5", u"h6", u"dt", u"dd", u"td"}) {
        if (name == QStringView(tag))
            return true;
    }
    return false;
}

// The elements that end a line of text outside a paragraph or list item.
bool breaksText(QStringView name)
{
    for (const char16_t *tag : {u"div", u"section", u"article", u"main", u"body", u"table", u"tr", u"ul", u"ol", u"dl",
                                u"blockquote", u"figure"}) {
        if (name == QStringView(tag))
            return true;
    }
    return false;
}

bool isLeftOut(QStringView name)
{
    for (const char16_t *tag : {u"nav", u"header", u"footer", u"aside", u"form", u"select", u"button", u"noscript",
                                u"template", u"svg", u"head"}) {
        if (name == QStringView(tag))
            return true;
    }
    return false;
}

// Whether a list item reads as an ingredient: an amount that is a number, then more.
bool readsAsIngredient(const QString &line)
{
    if (line.size() > 120)
        return false;
    const IngredientLine read = readIngredientLine(line);
    return read.quantity.has_value() && !read.text.isEmpty();
}

} // namespace

std::unique_ptr<RecipeReader> makeWebPageReader(const QString &page)
{
    return std::make_unique<WebPageReader>(page);
}

QString pageAddress(const QString &page)
{
    static const QLatin1String saved("saved from url=(");
    const QStringView head = QStringView(page).left(4096);
    if (const qsizetype at = head.indexOf(saved); at >= 0) {
        const qsizetype close = head.indexOf(u')', at);
        const qsizetype end = head.indexOf(QLatin1String("-->"), at);
        if (close > 0 && end > close)
            return head.sliced(close + 1, end - close - 1).trimmed().toString();
    }
    QString canonical;
    QString openGraph;
    HtmlScanner scanner(page);
    // The address is told in the page's head: the first element that belongs to a body ends the search, so
    // that a page without a head is not read through a second time.
    static const QStringList headElements = {u"html"_s, u"head"_s, u"title"_s, u"meta"_s, u"link"_s,
                                              u"base"_s, u"script"_s, u"style"_s, u"noscript"_s, u"template"_s};
    for (HtmlToken token = scanner.next(); token.kind != HtmlToken::End; token = scanner.next()) {
        if (token.kind != HtmlToken::StartTag)
            continue;
        if (!headElements.contains(token.name))
            break;
        const QStringView *rel = token.attribute(u"rel");
        const QStringView *href = token.attribute(u"href");
        if (token.name == u"link" && rel && href && rel->compare(u"canonical", Qt::CaseInsensitive) == 0 &&
            canonical.isEmpty())
            canonical = href->trimmed().toString();
        const QStringView *property = token.attribute(u"property");
        const QStringView *content = token.attribute(u"content");
        if (token.name == u"meta" && property && content && *property == u"og:url" && openGraph.isEmpty())
            openGraph = content->trimmed().toString();
    }
    return canonical.isEmpty() ? openGraph : canonical;
}

PlainPage plainPage(const QString &page)
{
    PlainPage plain;
    QString title;
    QString heading;
    QStringList directions;
    QString block;
    QString blockName;
    bool inTitle = false;
    QHash<QString, int> leftOut;
    int leftOutDepth = 0;
    const auto flush = [&] {
        const QString line = block.simplified();
        block.clear();
        if (line.isEmpty())
            return;
        if (blockName == u"h1" && heading.isEmpty()) {
            heading = line;
        } else if (blockName == u"li" && readsAsIngredient(line)) {
            const IngredientLine read = readIngredientLine(line);
            plain.draft.rows.append({read.amount, read.measure, read.text});
        } else {
            directions.append(line);
        }
    };
    HtmlScanner scanner(page);
    for (HtmlToken token = scanner.next(); token.kind != HtmlToken::End; token = scanner.next()) {
        if (token.kind == HtmlToken::Text) {
            if (inTitle)
                title += token.text;
            else if (leftOutDepth == 0)
                (block += token.text) += u' ';
            continue;
        }
        const bool start = token.kind == HtmlToken::StartTag;
        if (token.name == u"title") {
            inTitle = start;
        } else if (isLeftOut(token.name)) {
            int &open = leftOut[token.name.toString()];
            if (start && !token.selfClosing) {
                ++open;
                ++leftOutDepth;
            } else if (!start && open > 0) {
                --open;
                --leftOutDepth;
            }
        } else if (isBlock(token.name)) {
            flush();
            blockName = start ? token.name.toString() : QString();
        } else if (breaksText(token.name)) {
            flush();
            blockName.clear();
        } else if (token.name == u"br") {
            block += u' ';
        }
    }
    flush();
    plain.title = heading.isEmpty() ? title.simplified() : heading;
    plain.draft.directions = directions.join(u'\n');
    plain.draft.source = pageAddress(page);
    return plain;
}

} // namespace store::interchange
