#include "store/aisles.h"

#include <QStringList>

namespace store {

namespace {

// Common ingredients by their keys' words (singular, lower case), and the aisle each is bought in. A key
// takes the row of the most words that it holds as whole words in that order; of rows of as many words,
// the first. So the rows of one word are the plain ingredients, and the rows of two or three words the
// exceptions to them: "chicken" is meat, "chicken stock" dry goods; "pepper" a spice, "bell pepper"
// produce. "frozen" comes first so that "frozen pea" is frozen, not produce.
struct AisleRow
{
    const char *words;
    Aisle aisle;
};

constexpr AisleRow kTable[] = {
    // Frozen, first: the word wins over the ingredient it names
    {"frozen", Aisle::Frozen},
    {"ice cream", Aisle::Frozen},
    {"puff pastry", Aisle::Frozen},
    {"phyllo", Aisle::Frozen},
    {"filo", Aisle::Frozen},
    {"ice", Aisle::Frozen},
    // Produce
    {"onion", Aisle::Produce},
    {"shallot", Aisle::Produce},
    {"garlic", Aisle::Produce},
    {"leek", Aisle::Produce},
    {"scallion", Aisle::Produce},
    {"potato", Aisle::Produce},
    {"carrot", Aisle::Produce},
    {"celery", Aisle::Produce},
    {"tomato", Aisle::Produce},
    {"bell pepper", Aisle::Produce},
    {"green pepper", Aisle::Produce},
    {"red pepper", Aisle::Produce},
    {"jalapeno", Aisle::Produce},
    {"chili", Aisle::Produce},
    {"chile", Aisle::Produce},
    {"cucumber", Aisle::Produce},
    {"zucchini", Aisle::Produce},
    {"courgette", Aisle::Produce},
    {"eggplant", Aisle::Produce},
    {"aubergine", Aisle::Produce},
    {"squash", Aisle::Produce},
    {"pumpkin", Aisle::Produce},
    {"lettuce", Aisle::Produce},
    {"spinach", Aisle::Produce},
    {"kale", Aisle::Produce},
    {"cabbage", Aisle::Produce},
    {"broccoli", Aisle::Produce},
    {"cauliflower", Aisle::Produce},
    {"mushroom", Aisle::Produce},
    {"asparagus", Aisle::Produce},
    {"green bean", Aisle::Produce},
    {"pea", Aisle::Produce},
    {"corn", Aisle::Produce},
    {"avocado", Aisle::Produce},
    {"ginger", Aisle::Produce},
    {"parsley", Aisle::Produce},
    {"cilantro", Aisle::Produce},
    {"coriander leaf", Aisle::Produce},
    {"basil", Aisle::Produce},
    {"mint", Aisle::Produce},
    {"dill", Aisle::Produce},
    {"chive", Aisle::Produce},
    {"lemon", Aisle::Produce},
    {"lime", Aisle::Produce},
    {"orange", Aisle::Produce},
    {"apple", Aisle::Produce},
    {"banana", Aisle::Produce},
    {"pear", Aisle::Produce},
    {"peach", Aisle::Produce},
    {"strawberry", Aisle::Produce},
    {"blueberry", Aisle::Produce},
    {"raspberry", Aisle::Produce},
    {"grape", Aisle::Produce},
    {"mango", Aisle::Produce},
    {"pineapple", Aisle::Produce},
    {"sweet potato", Aisle::Produce},
    {"beet", Aisle::Produce},
    {"radish", Aisle::Produce},
    // Dairy and eggs
    {"milk", Aisle::Dairy},
    {"buttermilk", Aisle::Dairy},
    {"cream", Aisle::Dairy},
    {"sour cream", Aisle::Dairy},
    {"butter", Aisle::Dairy},
    {"cheese", Aisle::Dairy},
    {"cheddar", Aisle::Dairy},
    {"mozzarella", Aisle::Dairy},
    {"parmesan", Aisle::Dairy},
    {"feta", Aisle::Dairy},
    {"ricotta", Aisle::Dairy},
    {"yogurt", Aisle::Dairy},
    {"yoghurt", Aisle::Dairy},
    {"egg", Aisle::Dairy},
    {"margarine", Aisle::Dairy},
    // Meat and fish
    {"chicken", Aisle::MeatAndFish},
    {"beef", Aisle::MeatAndFish},
    {"pork", Aisle::MeatAndFish},
    {"lamb", Aisle::MeatAndFish},
    {"turkey", Aisle::MeatAndFish},
    {"bacon", Aisle::MeatAndFish},
    {"ham", Aisle::MeatAndFish},
    {"sausage", Aisle::MeatAndFish},
    {"steak", Aisle::MeatAndFish},
    {"mince", Aisle::MeatAndFish},
    {"salmon", Aisle::MeatAndFish},
    {"tuna", Aisle::MeatAndFish},
    {"cod", Aisle::MeatAndFish},
    {"fish", Aisle::MeatAndFish},
    {"shrimp", Aisle::MeatAndFish},
    {"prawn", Aisle::MeatAndFish},
    {"anchovy", Aisle::MeatAndFish},
    // Bakery
    {"bread", Aisle::Bakery},
    {"baguette", Aisle::Bakery},
    {"roll", Aisle::Bakery},
    {"bun", Aisle::Bakery},
    {"tortilla", Aisle::Bakery},
    {"pita", Aisle::Bakery},
    {"croissant", Aisle::Bakery},
    // Dry goods: the pantry's shelves, cans and jars
    {"flour", Aisle::DryGoods},
    {"sugar", Aisle::DryGoods},
    {"brown sugar", Aisle::DryGoods},
    {"rice", Aisle::DryGoods},
    {"pasta", Aisle::DryGoods},
    {"spaghetti", Aisle::DryGoods},
    {"noodle", Aisle::DryGoods},
    {"oat", Aisle::DryGoods},
    {"lentil", Aisle::DryGoods},
    {"bean", Aisle::DryGoods},
    {"chickpea", Aisle::DryGoods},
    {"quinoa", Aisle::DryGoods},
    {"couscous", Aisle::DryGoods},
    {"bread crumb", Aisle::DryGoods},
    {"breadcrumb", Aisle::DryGoods},
    {"oil", Aisle::DryGoods},
    {"vinegar", Aisle::DryGoods},
    {"honey", Aisle::DryGoods},
    {"syrup", Aisle::DryGoods},
    {"stock", Aisle::DryGoods},
    {"broth", Aisle::DryGoods},
    {"bouillon", Aisle::DryGoods},
    {"tomato paste", Aisle::DryGoods},
    {"tomato sauce", Aisle::DryGoods},
    {"canned tomato", Aisle::DryGoods},
    {"coconut milk", Aisle::DryGoods},
    {"peanut butter", Aisle::DryGoods},
    {"soy sauce", Aisle::DryGoods},
    {"ketchup", Aisle::DryGoods},
    {"mustard", Aisle::DryGoods},
    {"mayonnaise", Aisle::DryGoods},
    {"baking powder", Aisle::DryGoods},
    {"baking soda", Aisle::DryGoods},
    {"yeast", Aisle::DryGoods},
    {"cocoa", Aisle::DryGoods},
    {"chocolate", Aisle::DryGoods},
    {"vanilla", Aisle::DryGoods},
    {"cornstarch", Aisle::DryGoods},
    {"raisin", Aisle::DryGoods},
    {"walnut", Aisle::DryGoods},
    {"almond", Aisle::DryGoods},
    {"pecan", Aisle::DryGoods},
    {"peanut", Aisle::DryGoods},
    {"wine", Aisle::DryGoods},
    // Spices and dried herbs
    {"salt", Aisle::Spices},
    {"pepper", Aisle::Spices},
    {"peppercorn", Aisle::Spices},
    {"cinnamon", Aisle::Spices},
    {"cumin", Aisle::Spices},
    {"paprika", Aisle::Spices},
    {"nutmeg", Aisle::Spices},
    {"clove", Aisle::Spices},
    {"garlic clove", Aisle::Produce},
    {"clove garlic", Aisle::Produce},
    {"oregano", Aisle::Spices},
    {"thyme", Aisle::Spices},
    {"rosemary", Aisle::Spices},
    {"bay leaf", Aisle::Spices},
    {"curry", Aisle::Spices},
    {"turmeric", Aisle::Spices},
    {"cayenne", Aisle::Spices},
    {"chili powder", Aisle::Spices},
    {"chili flake", Aisle::Spices},
    {"red pepper flake", Aisle::Spices},
    {"garlic powder", Aisle::Spices},
    {"onion powder", Aisle::Spices},
    {"ground ginger", Aisle::Spices},
    {"ground coriander", Aisle::Spices},
    {"dried basil", Aisle::Spices},
    {"dried parsley", Aisle::Spices},
    {"allspice", Aisle::Spices},
    {"cardamom", Aisle::Spices},
};

// Whether `key` holds the words `phrase` as whole words, in that order and next to each other.
bool holdsPhrase(QStringView key, QLatin1StringView phrase)
{
    for (qsizetype at = key.indexOf(phrase); at >= 0; at = key.indexOf(phrase, at + 1)) {
        const qsizetype end = at + phrase.size();
        if ((at == 0 || key[at - 1] == u' ') && (end == key.size() || key[end] == u' '))
            return true;
    }
    return false;
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
    std::optional<Aisle> found;
    qsizetype foundWords = 0;
    for (const AisleRow &row : kTable) {
        const QLatin1StringView phrase(row.words);
        const qsizetype words = phrase.count(u' ') + 1;
        if (words > foundWords && holdsPhrase(ingredientKey, phrase)) {
            found = row.aisle;
            foundWords = words;
        }
    }
    return found;
}

} // namespace store
