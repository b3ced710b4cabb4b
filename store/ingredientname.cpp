#include "store/ingredientname.h"

#include "store/units.h"

#include <QStringList>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace store {

namespace {

// Words of preparation and size that do not change what is bought, when they start or end the name.
constexpr QLatin1StringView kPreparation[] = {
    "chopped"_L1,     "diced"_L1,    "minced"_L1,   "sliced"_L1,  "grated"_L1, "shredded"_L1, "crushed"_L1,
    "melted"_L1,      "softened"_L1, "beaten"_L1,   "peeled"_L1,  "cubed"_L1,  "halved"_L1,   "quartered"_L1,
    "mashed"_L1,      "sifted"_L1,   "packed"_L1,   "drained"_L1, "rinsed"_L1, "thawed"_L1,   "trimmed"_L1,
    "seeded"_L1,      "pitted"_L1,   "zested"_L1,   "juiced"_L1,  "finely"_L1, "coarsely"_L1, "thinly"_L1,
    "roughly"_L1,     "freshly"_L1,  "fresh"_L1,    "lightly"_L1, "large"_L1,  "small"_L1,    "medium"_L1,
    "extra-large"_L1, "jumbo"_L1,    "optional"_L1, "and"_L1,     "or"_L1,
};

// Words that are an amount without a number before the ingredient ("a handful of basil").
constexpr QLatin1StringView kVagueMeasures[] = {"handful"_L1, "few"_L1,    "splash"_L1, "sprinkle"_L1,
                                                "knob"_L1,    "little"_L1, "sprig"_L1,  "couple"_L1};

// Words ending like plurals that are not.
constexpr QLatin1StringView kNotPlural[] = {"molasses"_L1, "hummus"_L1,  "couscous"_L1, "asparagus"_L1,
                                            "citrus"_L1,   "swiss"_L1,   "brussels"_L1, "grits"_L1,
                                            "series"_L1,   "species"_L1, "bass"_L1,     "haricots"_L1};

// Words whose plural is the word itself.
constexpr QLatin1StringView kSamePlural[] = {"zucchini"_L1, "broccoli"_L1, "spaghetti"_L1, "fish"_L1,
                                             "salmon"_L1,   "shrimp"_L1,   "tuna"_L1,      "cod"_L1,
                                             "garlic"_L1,   "celery"_L1,   "sheep"_L1,     "deer"_L1};

struct Irregular
{
    QLatin1StringView plural;
    QLatin1StringView singular;
};
constexpr Irregular kIrregular[] = {
    {"leaves"_L1, "leaf"_L1},    {"halves"_L1, "half"_L1},      {"loaves"_L1, "loaf"_L1}, {"knives"_L1, "knife"_L1},
    {"cookies"_L1, "cookie"_L1}, {"brownies"_L1, "brownie"_L1}, {"pies"_L1, "pie"_L1},    {"ties"_L1, "tie"_L1},
    {"veggies"_L1, "veggie"_L1}, {"mice"_L1, "mouse"_L1},       {"geese"_L1, "goose"_L1}, {"teeth"_L1, "tooth"_L1}};

// Whether `word` is one of `words` in any letter case; `words` are short, so the word is compared only
// with those of its length.
template <std::size_t N>
bool isOneOf(QStringView word, const QLatin1StringView (&words)[N])
{
    return std::any_of(std::begin(words), std::end(words), [&](QLatin1StringView w) {
        return w.size() == word.size() && word.compare(w, Qt::CaseInsensitive) == 0;
    });
}

// `text` without what lies in parentheses or brackets.
QString withoutBrackets(QStringView text)
{
    QString kept;
    kept.reserve(text.size());
    int depth = 0;
    for (const QChar c : text) {
        if (c == u'(' || c == u'[')
            ++depth;
        else if ((c == u')' || c == u']') && depth > 0)
            --depth;
        else if (depth == 0)
            kept.append(c);
    }
    return kept;
}

} // namespace

bool isPreparationWord(QStringView word)
{
    return isOneOf(word, kPreparation) && word.compare("and"_L1, Qt::CaseInsensitive) != 0 &&
           word.compare("or"_L1, Qt::CaseInsensitive) != 0;
}

QString singularOf(QStringView word)
{
    QString lower = word.toString().toLower();
    if (lower.size() <= 3 || !lower.endsWith(u's') || isOneOf(lower, kNotPlural))
        return lower;
    for (const Irregular &irregular : kIrregular) {
        if (lower == irregular.plural)
            return irregular.singular;
    }
    if (lower.endsWith("ss"_L1) || lower.endsWith("us"_L1) || lower.endsWith("is"_L1))
        return lower;
    if (lower.endsWith("ies"_L1) && lower.size() > 4)
        return lower.chopped(3) + u'y';
    if (lower.endsWith("oes"_L1) || lower.endsWith("ches"_L1) || lower.endsWith("shes"_L1) ||
        lower.endsWith("xes"_L1) || lower.endsWith("sses"_L1) || lower.endsWith("zes"_L1))
        return lower.chopped(2);
    return lower.chopped(1);
}

QString pluralOf(const QString &name)
{
    const QString lower = name.toLower();
    const auto endsWith = [&lower](QLatin1StringView end) { return lower.endsWith(end); };
    const QString last = lower.mid(lower.lastIndexOf(u' ') + 1);
    if (last.isEmpty() || singularOf(last) != last || isOneOf(last, kSamePlural))
        return name; // already a plural, or a word that is its own
    if (endsWith("s"_L1) || endsWith("x"_L1) || endsWith("z"_L1) || endsWith("ch"_L1) || endsWith("sh"_L1) ||
        endsWith("tomato"_L1) || endsWith("potato"_L1))
        return name + "es"_L1;
    if (lower.size() > 1 && lower.endsWith(u'y') && !QStringView(u"aeiou").contains(lower.at(lower.size() - 2)))
        return name.chopped(1) + "ies"_L1;
    return name + u's';
}

IngredientName readIngredientName(QStringView text)
{
    IngredientName name;
    QString whole = withoutBrackets(text);
    for (const QChar stop : {u',', u';'}) {
        if (const qsizetype at = whole.indexOf(stop); at >= 0)
            whole.truncate(at);
    }
    QStringList words = whole.split(u' ', Qt::SkipEmptyParts);
    // "to taste" and what follows it ("salt to taste", "pepper to taste and more").
    for (qsizetype i = 0; i + 1 < words.size(); ++i) {
        if (words[i].compare("to"_L1, Qt::CaseInsensitive) == 0 &&
            words[i + 1].compare("taste"_L1, Qt::CaseInsensitive) == 0) {
            words.resize(i);
            break;
        }
    }
    // An amount that is no number: "a pinch", "a handful of", "some".
    qsizetype vague = 0;
    if (words.size() > 2 &&
        (words[0].compare("a"_L1, Qt::CaseInsensitive) == 0 || words[0].compare("an"_L1, Qt::CaseInsensitive) == 0)) {
        const Unit *unit = findUnit(words[1]);
        if (unit || isOneOf(words[1], kVagueMeasures))
            vague = 2;
    } else if (words.size() > 1 && words[0].compare("some"_L1, Qt::CaseInsensitive) == 0) {
        vague = 1;
    }
    if (vague > 0) {
        name.vague = words.mid(0, vague).join(u' ');
        if (vague < words.size() - 1 && words[vague].compare("of"_L1, Qt::CaseInsensitive) == 0)
            ++vague;
        words.remove(0, vague);
    }
    // Preparation and size at either end; "freshly ground" pepper is pepper. A name written with a capital
    // keeps it: "Fresh dill" is "Dill".
    const bool capital = !words.isEmpty() && words.first().front().isUpper();
    const qsizetype before = words.size();
    while (!words.isEmpty() && isOneOf(words.first(), kPreparation)) {
        const bool freshly = words.first().compare("freshly"_L1, Qt::CaseInsensitive) == 0;
        words.removeFirst();
        if (freshly && !words.isEmpty() && words.first().compare("ground"_L1, Qt::CaseInsensitive) == 0)
            words.removeFirst();
    }
    if (capital && words.size() < before && !words.isEmpty() && words.first().front().isLower())
        words.first().front() = words.first().front().toUpper();
    while (!words.isEmpty() && isOneOf(words.last(), kPreparation))
        words.removeLast();
    name.shown = words.join(u' ');
    QStringList singular;
    singular.reserve(words.size());
    for (const QString &word : std::as_const(words))
        singular.append(singularOf(word));
    name.key = singular.join(u' ');
    name.plural = !words.isEmpty() && singular.last() != words.last().toLower();
    return name;
}

} // namespace store
