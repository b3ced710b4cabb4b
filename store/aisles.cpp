#include "store/aisles.h"

#include <QHash>
#include <QVarLengthArray>

namespace store {

namespace {

// Common ingredients by their keys' words (singular, lower case), and the aisle each is bought in. A key
// takes the row of the most words that it holds as whole words in that order; of rows of as many words,
// the one it holds last, since the last word names the thing ("chicken stock" is stock, "chicken breast"
// chicken). The rows of two or three words are the exceptions: "pepper" is a spice, "bell pepper" produce;
// "milk" dairy, "coconut milk" dry goods. A key with the word "frozen" is frozen.
struct AisleRow
{
    const char16_t *words;
    Aisle aisle;
};

constexpr AisleRow kTable[] = {
    // Frozen
    {u"ice cream", Aisle::Frozen},
    {u"puff pastry", Aisle::Frozen},
    {u"phyllo", Aisle::Frozen},
    {u"filo", Aisle::Frozen},
    {u"ice", Aisle::Frozen},
    // Produce
    {u"onion", Aisle::Produce},
    {u"shallot", Aisle::Produce},
    {u"garlic", Aisle::Produce},
    {u"leek", Aisle::Produce},
    {u"scallion", Aisle::Produce},
    {u"potato", Aisle::Produce},
    {u"carrot", Aisle::Produce},
    {u"celery", Aisle::Produce},
    {u"tomato", Aisle::Produce},
    {u"bell pepper", Aisle::Produce},
    {u"green pepper", Aisle::Produce},
    {u"red pepper", Aisle::Produce},
    {u"jalapeno", Aisle::Produce},
    {u"chili", Aisle::Produce},
    {u"chile", Aisle::Produce},
    {u"cucumber", Aisle::Produce},
    {u"zucchini", Aisle::Produce},
    {u"courgette", Aisle::Produce},
    {u"eggplant", Aisle::Produce},
    {u"aubergine", Aisle::Produce},
    {u"squash", Aisle::Produce},
    {u"pumpkin", Aisle::Produce},
    {u"lettuce", Aisle::Produce},
    {u"spinach", Aisle::Produce},
    {u"kale", Aisle::Produce},
    {u"cabbage", Aisle::Produce},
    {u"broccoli", Aisle::Produce},
    {u"cauliflower", Aisle::Produce},
    {u"mushroom", Aisle::Produce},
    {u"asparagus", Aisle::Produce},
    {u"green bean", Aisle::Produce},
    {u"pea", Aisle::Produce},
    {u"corn", Aisle::Produce},
    {u"avocado", Aisle::Produce},
    {u"ginger", Aisle::Produce},
    {u"parsley", Aisle::Produce},
    {u"cilantro", Aisle::Produce},
    {u"coriander leaf", Aisle::Produce},
    {u"basil", Aisle::Produce},
    {u"mint", Aisle::Produce},
    {u"dill", Aisle::Produce},
    {u"chive", Aisle::Produce},
    {u"lemon", Aisle::Produce},
    {u"lime", Aisle::Produce},
    {u"orange", Aisle::Produce},
    {u"apple", Aisle::Produce},
    {u"banana", Aisle::Produce},
    {u"pear", Aisle::Produce},
    {u"peach", Aisle::Produce},
    {u"strawberry", Aisle::Produce},
    {u"blueberry", Aisle::Produce},
    {u"raspberry", Aisle::Produce},
    {u"grape", Aisle::Produce},
    {u"cherry", Aisle::Produce},
    {u"mango", Aisle::Produce},
    {u"pineapple", Aisle::Produce},
    {u"sweet potato", Aisle::Produce},
    {u"beet", Aisle::Produce},
    {u"radish", Aisle::Produce},
    // Dairy and eggs
    {u"milk", Aisle::Dairy},
    {u"buttermilk", Aisle::Dairy},
    {u"cream", Aisle::Dairy},
    {u"sour cream", Aisle::Dairy},
    {u"butter", Aisle::Dairy},
    {u"cheese", Aisle::Dairy},
    {u"cheddar", Aisle::Dairy},
    {u"mozzarella", Aisle::Dairy},
    {u"parmesan", Aisle::Dairy},
    {u"feta", Aisle::Dairy},
    {u"ricotta", Aisle::Dairy},
    {u"crème fraîche", Aisle::Dairy},
    {u"creme fraiche", Aisle::Dairy},
    {u"quark", Aisle::Dairy},
    {u"yogurt", Aisle::Dairy},
    {u"yoghurt", Aisle::Dairy},
    {u"egg", Aisle::Dairy},
    {u"margarine", Aisle::Dairy},
    // Meat and fish
    {u"chicken", Aisle::MeatAndFish},
    {u"beef", Aisle::MeatAndFish},
    {u"pork", Aisle::MeatAndFish},
    {u"lamb", Aisle::MeatAndFish},
    {u"turkey", Aisle::MeatAndFish},
    {u"bacon", Aisle::MeatAndFish},
    {u"ham", Aisle::MeatAndFish},
    {u"sausage", Aisle::MeatAndFish},
    {u"steak", Aisle::MeatAndFish},
    {u"mince", Aisle::MeatAndFish},
    {u"salmon", Aisle::MeatAndFish},
    {u"tuna", Aisle::MeatAndFish},
    {u"cod", Aisle::MeatAndFish},
    {u"fish", Aisle::MeatAndFish},
    {u"shrimp", Aisle::MeatAndFish},
    {u"prawn", Aisle::MeatAndFish},
    {u"anchovy", Aisle::MeatAndFish},
    // Bakery
    {u"bread", Aisle::Bakery},
    {u"baguette", Aisle::Bakery},
    {u"roll", Aisle::Bakery},
    {u"bun", Aisle::Bakery},
    {u"tortilla", Aisle::Bakery},
    {u"pita", Aisle::Bakery},
    {u"croissant", Aisle::Bakery},
    // Dry goods: the pantry's shelves, cans and jars
    {u"flour", Aisle::DryGoods},
    {u"sugar", Aisle::DryGoods},
    {u"brown sugar", Aisle::DryGoods},
    {u"rice", Aisle::DryGoods},
    {u"pasta", Aisle::DryGoods},
    {u"spaghetti", Aisle::DryGoods},
    {u"noodle", Aisle::DryGoods},
    {u"oat", Aisle::DryGoods},
    {u"lentil", Aisle::DryGoods},
    {u"bean", Aisle::DryGoods},
    {u"chickpea", Aisle::DryGoods},
    {u"quinoa", Aisle::DryGoods},
    {u"couscous", Aisle::DryGoods},
    {u"bread crumb", Aisle::DryGoods},
    {u"breadcrumb", Aisle::DryGoods},
    {u"oil", Aisle::DryGoods},
    {u"vinegar", Aisle::DryGoods},
    {u"honey", Aisle::DryGoods},
    {u"syrup", Aisle::DryGoods},
    {u"stock", Aisle::DryGoods},
    {u"broth", Aisle::DryGoods},
    {u"bouillon", Aisle::DryGoods},
    {u"tomato paste", Aisle::DryGoods},
    {u"tomato sauce", Aisle::DryGoods},
    {u"canned tomato", Aisle::DryGoods},
    {u"coconut milk", Aisle::DryGoods},
    {u"peanut butter", Aisle::DryGoods},
    {u"soy sauce", Aisle::DryGoods},
    {u"ketchup", Aisle::DryGoods},
    {u"mustard", Aisle::DryGoods},
    {u"mayonnaise", Aisle::DryGoods},
    {u"baking powder", Aisle::DryGoods},
    {u"baking soda", Aisle::DryGoods},
    {u"yeast", Aisle::DryGoods},
    {u"cocoa", Aisle::DryGoods},
    {u"chocolate", Aisle::DryGoods},
    {u"vanilla", Aisle::DryGoods},
    {u"cornstarch", Aisle::DryGoods},
    {u"starch", Aisle::DryGoods},
    {u"raisin", Aisle::DryGoods},
    {u"walnut", Aisle::DryGoods},
    {u"almond", Aisle::DryGoods},
    {u"pecan", Aisle::DryGoods},
    {u"peanut", Aisle::DryGoods},
    {u"wine", Aisle::DryGoods},
    // Spices and dried herbs
    {u"salt", Aisle::Spices},
    {u"pepper", Aisle::Spices},
    {u"peppercorn", Aisle::Spices},
    {u"cinnamon", Aisle::Spices},
    {u"cumin", Aisle::Spices},
    {u"paprika", Aisle::Spices},
    {u"nutmeg", Aisle::Spices},
    {u"clove", Aisle::Spices},
    {u"garlic clove", Aisle::Produce},
    {u"clove garlic", Aisle::Produce},
    {u"oregano", Aisle::Spices},
    {u"thyme", Aisle::Spices},
    {u"rosemary", Aisle::Spices},
    {u"bay leaf", Aisle::Spices},
    {u"curry", Aisle::Spices},
    {u"turmeric", Aisle::Spices},
    {u"cayenne", Aisle::Spices},
    {u"chili powder", Aisle::Spices},
    {u"chili flake", Aisle::Spices},
    {u"red pepper flake", Aisle::Spices},
    {u"garlic powder", Aisle::Spices},
    {u"onion powder", Aisle::Spices},
    {u"ground ginger", Aisle::Spices},
    {u"ground coriander", Aisle::Spices},
    {u"dried basil", Aisle::Spices},
    {u"dried parsley", Aisle::Spices},
    {u"allspice", Aisle::Spices},
    {u"cardamom", Aisle::Spices},
};

// The table by its phrases, looked up for each run of one to three words of a key.
constexpr qsizetype kLongestPhrase = 3;

const QHash<QStringView, Aisle> &phrases()
{
    static const QHash<QStringView, Aisle> byPhrase = [] {
        QHash<QStringView, Aisle> table;
        for (const AisleRow &row : kTable)
            table.insert(QStringView(row.words), row.aisle);
        return table;
    }();
    return byPhrase;
}

} // namespace

QString aisleName(Aisle aisle)
{
    switch (aisle) {
    case Aisle::Produce:
        return QStringLiteral("Produce");
    case Aisle::Dairy:
        return QStringLiteral("Dairy");
    case Aisle::MeatAndFish:
        return QStringLiteral("Meat and fish");
    case Aisle::Bakery:
        return QStringLiteral("Bakery");
    case Aisle::DryGoods:
        return QStringLiteral("Dry goods");
    case Aisle::Spices:
        return QStringLiteral("Spices");
    case Aisle::Frozen:
        return QStringLiteral("Frozen");
    case Aisle::Other:
        break;
    }
    return QStringLiteral("Other");
}

std::optional<Aisle> aisleNamed(QStringView name)
{
    name = name.trimmed();
    for (const Aisle aisle : kAisles) {
        if (name.compare(aisleName(aisle), Qt::CaseInsensitive) == 0)
            return aisle;
    }
    return std::nullopt;
}

std::optional<Aisle> builtInAisle(QStringView ingredientKey)
{
    // Where each word starts and ends.
    QVarLengthArray<std::pair<qsizetype, qsizetype>, 16> words;
    for (qsizetype at = 0; at < ingredientKey.size();) {
        qsizetype end = ingredientKey.indexOf(u' ', at);
        if (end < 0)
            end = ingredientKey.size();
        if (end > at)
            words.append({at, end});
        at = end + 1;
    }
    // Frozen peas are bought frozen, whatever else the words say.
    for (const auto &[start, end] : words) {
        if (ingredientKey.sliced(start, end - start) == u"frozen")
            return Aisle::Frozen;
    }
    // The most words, then the last in the key.
    const QHash<QStringView, Aisle> &table = phrases();
    for (qsizetype length = std::min(kLongestPhrase, qsizetype(words.size())); length > 0; --length) {
        for (qsizetype first = words.size() - length; first >= 0; --first) {
            const qsizetype start = words[first].first;
            const auto found = table.constFind(ingredientKey.sliced(start, words[first + length - 1].second - start));
            if (found != table.constEnd())
                return *found;
        }
    }
    return std::nullopt;
}

} // namespace store
