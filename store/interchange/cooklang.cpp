#include "store/interchange/cooklang.h"

#include "store/interchange/appjson.h"
#include "store/interchange/html.h"

#include <QRegularExpression>

namespace store::interchange {

namespace {

bool isSign(QChar c)
{
    return c == u'@' || c == u'#' || c == u'~';
}

// A marked item of a step: its name, the text in its braces and the note in brackets after them.
struct Marked
{
    QString name;
    QString amount;
    QString note;
    qsizetype end = 0; // where the step's text goes on
};

// Reads the item whose sign is at `at`; nothing when the sign marks nothing ("a @ b").
std::optional<Marked> readMarked(const QString &line, qsizetype at)
{
    Marked item;
    const qsizetype start = at + 1;
    const qsizetype brace = line.indexOf(u'{', start);
    const qsizetype close = brace < 0 ? -1 : line.indexOf(u'}', brace);
    const QStringView between = brace < 0 ? QStringView() : QStringView(line).sliced(start, brace - start);
    if (close >= 0 && std::none_of(between.begin(), between.end(), [](QChar c) { return isSign(c) || c == u'}'; })) {
        item.name = between.trimmed().toString();
        item.amount = line.sliced(brace + 1, close - brace - 1).trimmed();
        item.end = close + 1;
    } else {
        qsizetype end = start;
        while (end < line.size() && !line.at(end).isSpace() && !line.at(end).isPunct())
            ++end;
        if (end == start)
            return std::nullopt;
        item.name = line.sliced(start, end - start);
        item.end = end;
    }
    if (item.end < line.size() && line.at(item.end) == u'(') {
        if (const qsizetype closing = line.indexOf(u')', item.end); closing > 0) {
            item.note = line.sliced(item.end + 1, closing - item.end - 1).trimmed();
            item.end = closing + 1;
        }
    }
    return item;
}

class CooklangParser
{
public:
    Recipe parse(const QString &text, const QString &title)
    {
        m_recipe.title = title;
        QStringList lines = uncommented(text).split(u'\n');
        qsizetype first = 0;
        if (!lines.isEmpty() && lines.first().trimmed() == u"---") {
            const qsizetype end = lines.indexOf(QStringLiteral("---"), 1);
            if (end > 0) {
                frontMatter(lines.mid(1, end - 1));
                first = end + 1;
            }
        }
        QStringList directions;
        for (qsizetype i = first; i < lines.size(); ++i) {
            const QString line = lines.at(i).trimmed();
            if (line.startsWith(QLatin1String(">>"))) {
                const QString entry = line.mid(2);
                const qsizetype colon = entry.indexOf(u':');
                if (colon > 0)
                    metadata(entry.left(colon).trimmed(), entry.mid(colon + 1).trimmed());
            } else if (line.startsWith(u'>')) {
                m_notes.append(line.mid(1).trimmed());
            } else if (line.startsWith(u'=')) {
                QString heading = line;
                heading.remove(QRegularExpression(QStringLiteral("^=+|=+$")));
                directions.append(heading.trimmed() + u':');
                m_recipe.ingredients.append({QString(), QString(), heading.trimmed()});
            } else {
                directions.append(step(line));
            }
        }
        m_recipe.directions = tidyLines(directions);
        m_recipe.note = m_notes.join(u'\n');
        m_recipe.categories = m_categories; // the first is the recipe's own, the others kept in a line (toRecord())
        return m_recipe;
    }

private:
    // The text without its comments: "-- " to the end of a line, "[- ... -]" anywhere.
    static QString uncommented(QString text)
    {
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        static const QRegularExpression block(QStringLiteral("\\[-.*?-\\]"),
                                              QRegularExpression::DotMatchesEverythingOption);
        static const QRegularExpression line(QStringLiteral("(^|\\s)--(\\s.*|)$"), QRegularExpression::MultilineOption);
        return text.remove(block).remove(line);
    }

    void frontMatter(const QStringList &lines)
    {
        QString key;
        for (const QString &line : lines) {
            const QString trimmed = line.trimmed();
            if (trimmed.startsWith(QLatin1String("- ")) && !key.isEmpty()) {
                metadata(key, trimmed.mid(2).trimmed());
                continue;
            }
            const qsizetype colon = trimmed.indexOf(u':');
            if (colon <= 0)
                continue;
            key = trimmed.left(colon).trimmed();
            QString value = trimmed.mid(colon + 1).trimmed();
            if (value.startsWith(u'[') && value.endsWith(u']'))
                value = value.sliced(1, value.size() - 2);
            if (!value.isEmpty())
                metadata(key, value);
        }
    }

    void metadata(const QString &key, QString value)
    {
        if (value.size() >= 2 && (value.startsWith(u'"') || value.startsWith(u'\'')) && value.endsWith(value.at(0)))
            value = value.sliced(1, value.size() - 2);
        const QString name = key.toLower();
        if (name == u"title") {
            m_recipe.title = value;
        } else if (name == u"servings" || name == u"serves" || name == u"yield") {
            m_recipe.yield = value;
        } else if (name == u"source" || name == u"source.url" || name == u"source.name") {
            m_recipe.source = m_recipe.source.isEmpty() ? value : m_recipe.source + u' ' + value;
        } else if (name == u"category" || name == u"categories" || name == u"course") {
            for (const QString &part : value.split(u',', Qt::SkipEmptyParts))
                m_categories.append(part.trimmed());
        } else if ((name == u"time" || name == u"cook time" || name == u"time required" || name == u"duration") &&
                   m_recipe.time.isEmpty() && parseTimeText(value)) {
            m_recipe.time = *parseTimeText(value);
        } else if (key.isEmpty()) {
            // ">> : value" names nothing: its value is kept as a line of its own.
            if (!value.isEmpty())
                m_recipe.notes.append(value);
        } else {
            QString label = key;
            label[0] = label.at(0).toUpper();
            // A list (tags) comes a value at a time: its line grows.
            const QString start = label + QStringLiteral(": ");
            for (QString &line : m_recipe.notes) {
                if (line.startsWith(start)) {
                    line += QStringLiteral(", ") + value;
                    return;
                }
            }
            m_recipe.notes.append(start + value);
        }
    }

    // The step's text with its marks read; its ingredients are added to the recipe's.
    QString step(const QString &line)
    {
        QString text;
        for (qsizetype i = 0; i < line.size();) {
            const QChar c = line.at(i);
            const std::optional<Marked> item = isSign(c) ? readMarked(line, i) : std::nullopt;
            if (!item) {
                text += c;
                ++i;
                continue;
            }
            const qsizetype percent = item->amount.indexOf(u'%');
            QString amount = percent < 0 ? item->amount : item->amount.left(percent).trimmed();
            const QString unit = percent < 0 ? QString() : item->amount.mid(percent + 1).trimmed();
            if (amount.startsWith(u'='))
                amount = amount.mid(1).trimmed(); // a fixed amount that scaling leaves alone
            if (c == u'@') {
                m_recipe.ingredients.append(
                    {amount, unit, item->note.isEmpty() ? item->name : item->name + QStringLiteral(", ") + item->note});
                text += item->name;
            } else if (c == u'#') {
                text += item->name;
            } else {
                text += QStringList{amount, unit}.join(u' ').trimmed();
                if (!item->name.isEmpty())
                    text += QStringLiteral(" (%1)").arg(item->name);
            }
            i = item->end;
        }
        return text;
    }

    Recipe m_recipe;
    QStringList m_notes;
    QStringList m_categories;
};

} // namespace

std::unique_ptr<RecipeReader> makeCooklangReader(const QString &text, const QString &title)
{
    ReadItem item;
    item.line = 1;
    item.recipe = CooklangParser().parse(text, title);
    if (item.recipe.title.trimmed().isEmpty()) {
        item.problem = QStringLiteral("the recipe has no name");
        item.recipe = {};
    }
    return makeItemReader({item});
}

bool looksLikeCooklang(const QString &text)
{
    static const QRegularExpression marks(QStringLiteral("(^>>\\s*\\w[^:\\n]*:)|(@\\w[^@#~{}\\n]*\\{[^}\\n]*\\})"),
                                          QRegularExpression::MultilineOption);
    return marks.match(text).hasMatch();
}

} // namespace store::interchange
