#include "store/units.h"

#include <QHash>
#include <QVarLengthArray>

#include <cmath>

namespace store {

namespace {

// Millilitres and grams in one of each measure.
constexpr double kTsp = 4.92892159375;  // a US teaspoon is 1/6 US fluid ounce
constexpr double kFlOz = 29.5735295625; // 1/128 US gallon of 231 cubic inches
constexpr double kImpFlOz = 28.4130625; // 1/160 imperial gallon of 4.54609 l
constexpr double kOz = 28.349523125;    // the avoirdupois ounce, 1/16 of the pound of 453.59237 g

// Every unit, then its spellings. The first spelling of a unit is what a converted amount is written with.
struct Entry
{
    Unit unit;
    std::initializer_list<const char *> spellings;
};

const Entry kUnits[] = {
    // US kitchen
    {{"tsp", "tsp", Dimension::Volume, System::US, kTsp},
     {"tsp", "teaspoon", "teaspoons", "tsps", "tspn", "ts", "teasp", "t"}},
    {{"tbsp", "tbsp", Dimension::Volume, System::US, 3 * kTsp},
     {"tbsp", "tablespoon", "tablespoons", "tbsps", "tbs", "tbl", "tbls", "tblsp", "tb", "T"}},
    {{"cup", "cups", Dimension::Volume, System::US, 8 * kFlOz}, {"cup", "cups", "c"}},
    {{"fl oz", "fl oz", Dimension::Volume, System::US, kFlOz},
     {"fl oz", "fluid ounce", "fluid ounces", "fl. oz", "floz", "fl"}},
    {{"pint", "pints", Dimension::Volume, System::US, 16 * kFlOz}, {"pint", "pints", "pt", "pts"}},
    {{"quart", "quarts", Dimension::Volume, System::US, 32 * kFlOz}, {"quart", "quarts", "qt", "qts"}},
    {{"gallon", "gallons", Dimension::Volume, System::US, 128 * kFlOz}, {"gallon", "gallons", "gal", "ga"}},
    {{"oz", "oz", Dimension::Mass, System::US, kOz}, {"oz", "ounce", "ounces", "ozs"}},
    {{"lb", "lb", Dimension::Mass, System::US, 16 * kOz}, {"lb", "pound", "pounds", "lbs"}},
    // Imperial measures, written out since their abbreviations are the US ones
    {{"imperial fl oz", "imperial fl oz", Dimension::Volume, System::Other, kImpFlOz},
     {"imperial fl oz", "imperial fluid ounce", "imperial fluid ounces", "imp fl oz"}},
    {{"imperial pint", "imperial pints", Dimension::Volume, System::Other, 20 * kImpFlOz},
     {"imperial pint", "imperial pints", "imp pint", "imp pt"}},
    {{"imperial quart", "imperial quarts", Dimension::Volume, System::Other, 40 * kImpFlOz},
     {"imperial quart", "imperial quarts", "imp quart", "imp qt"}},
    {{"imperial gallon", "imperial gallons", Dimension::Volume, System::Other, 160 * kImpFlOz},
     {"imperial gallon", "imperial gallons", "imp gallon", "imp gal"}},
    // Metric; "cb" and "cc" are MealMaster's cubic centimetre
    {{"ml", "ml", Dimension::Volume, System::Metric, 1},
     {"ml", "milliliter", "milliliters", "millilitre", "millilitres", "mls", "cc", "cb"}},
    {{"cl", "cl", Dimension::Volume, System::Metric, 10},
     {"cl", "centiliter", "centiliters", "centilitre", "centilitres"}},
    {{"dl", "dl", Dimension::Volume, System::Metric, 100},
     {"dl", "deciliter", "deciliters", "decilitre", "decilitres"}},
    {{"l", "l", Dimension::Volume, System::Metric, 1000}, {"l", "liter", "liters", "litre", "litres", "ltr"}},
    {{"mg", "mg", Dimension::Mass, System::Metric, 0.001}, {"mg", "milligram", "milligrams"}},
    {{"cg", "cg", Dimension::Mass, System::Metric, 0.01}, {"cg", "centigram", "centigrams"}},
    {{"dg", "dg", Dimension::Mass, System::Metric, 0.1}, {"dg", "decigram", "decigrams"}},
    {{"g", "g", Dimension::Mass, System::Metric, 1}, {"g", "gram", "grams", "gramme", "grammes", "gr", "grs"}},
    {{"kg", "kg", Dimension::Mass, System::Metric, 1000}, {"kg", "kilogram", "kilograms", "kilo", "kilos", "kgs"}},
    // Nordic spoons (Swedish, Danish, Norwegian) and the German ones: metric sizes, kept as written
    {{"msk", "msk", Dimension::Volume, System::Other, 15}, {"msk", "matsked", "matskedar", "spsk", "ss"}},
    {{"tsk", "tsk", Dimension::Volume, System::Other, 5}, {"tsk", "tesked", "teskedar"}},
    {{"krm", "krm", Dimension::Volume, System::Other, 1}, {"krm", "kryddmått"}},
    {{"EL", "EL", Dimension::Volume, System::Other, 15}, {"EL", "Esslöffel", "Essl"}},
    {{"TL", "TL", Dimension::Volume, System::Other, 5}, {"TL", "Teelöffel", "Teel"}},
    // Measures that no conversion changes; the two-letter ones are MealMaster's codes
    {{"pinch", "pinches", Dimension::Other, System::Other, 0}, {"pinch", "pinches", "pn", "Prise", "Prisen"}},
    {{"Msp", "Msp", Dimension::Other, System::Other, 0}, {"Msp", "Messerspitze"}},
    {{"dash", "dashes", Dimension::Other, System::Other, 0}, {"dash", "dashes", "ds"}},
    {{"drop", "drops", Dimension::Other, System::Other, 0}, {"drop", "drops", "dr"}},
    {{"bunch", "bunches", Dimension::Other, System::Other, 0}, {"bunch", "bunches", "bn"}},
    {{"can", "cans", Dimension::Other, System::Other, 0}, {"can", "cans", "cn"}},
    {{"carton", "cartons", Dimension::Other, System::Other, 0}, {"carton", "cartons", "ct"}},
    {{"each", "each", Dimension::Other, System::Other, 0}, {"each", "ea"}},
    {{"large", "large", Dimension::Other, System::Other, 0}, {"large", "lg"}},
    {{"medium", "medium", Dimension::Other, System::Other, 0}, {"medium", "md"}},
    {{"small", "small", Dimension::Other, System::Other, 0}, {"small", "sm"}},
    {{"package", "packages", Dimension::Other, System::Other, 0}, {"package", "packages", "pk", "pkg"}},
    {{"slice", "slices", Dimension::Other, System::Other, 0}, {"slice", "slices", "sl"}},
    {{"clove", "cloves", Dimension::Other, System::Other, 0}, {"clove", "cloves"}},
};

// The spellings by letter case folded, but "t" and "T" as they are: they are the only two that differ
// by case alone.
struct Spellings
{
    QHash<QString, const Unit *> folded;
    const Unit *teaspoon = nullptr;
    const Unit *tablespoon = nullptr;

    Spellings()
    {
        for (const Entry &entry : kUnits) {
            for (const char *spelling : entry.spellings) {
                const QString word = QString::fromUtf8(spelling);
                if (word == u"t")
                    teaspoon = &entry.unit;
                else if (word == u"T")
                    tablespoon = &entry.unit;
                else
                    folded.insert(word.toCaseFolded(), &entry.unit);
            }
        }
    }
};

const Spellings &spellings()
{
    static const Spellings table;
    return table;
}

// Grams in a US cup of common ingredients, from the USDA's FoodData Central (SR Legacy), whose portion
// weights are per household measure: "1 cup" unless a spoon is named. An ingredient is found by the first
// row whose words it holds at the start of a word and none of whose `unless` words it holds; more
// particular rows come first ("brown sugar" before "sugar").
struct DensityRow
{
    std::initializer_list<const char *> words;
    double gramsPerCup;
    bool weighed;
    std::initializer_list<const char *> unless = {};
};

const DensityRow kDensities[] = {
    {{"bread flour"}, 137, true},                                    // wheat flour, white, bread
    {{"cake flour", "pastry flour"}, 137, true},                     // wheat flour, cake or pastry, unsifted
    {{"whole wheat flour", "wholemeal flour"}, 120, true},           // whole-grain wheat flour
    {{"cornstarch", "corn starch", "cornflour"}, 128, true},         // cornstarch
    {{"cornmeal"}, 157, true},                                       // cornmeal, degermed, yellow
    {{"flour"}, 125, true},                                          // wheat flour, white, all-purpose
    {{"brown sugar"}, 220, true},                                    // sugars, brown, packed
    {{"powdered sugar", "confectioners", "icing sugar"}, 120, true}, // sugars, powdered, unsifted
    {{"maple syrup"}, 315, false},                                   // syrups, maple
    {{"corn syrup"}, 328, false},                                    // syrups, corn, light
    {{"sugar"}, 200, true},                                          // sugars, granulated
    {{"honey"}, 339, false},                                         // honey
    {{"molasses"}, 337, false},                                      // molasses
    {{"peanut butter"}, 258, true},                                  // peanut butter, smooth
    {{"buttermilk"}, 245, false},                                    // buttermilk, low fat
    {{"butter"}, 227, true},                                         // butter, salted or without salt
    {{"margarine"}, 227, true},                                      // margarine
    {{"shortening"}, 205, true},                                     // shortening, vegetable
    {{"olive oil"}, 216, false},                                     // oil, olive
    {{"oil"}, 218, false},                                           // oil, vegetable (soybean, canola)
    {{"coconut milk"}, 226, false},                                  // coconut milk, canned
    {{"milk"}, 244, false},                                          // milk, whole, 3.25% fat
    {{"sour cream"}, 230, false},                                    // cream, sour, cultured
    {{"cream cheese"}, 232, true},                                   // cream cheese (1 tbsp 14.5 g)
    {{"cream"}, 238, false, {"ice cream", "cream of"}},              // cream, fluid, heavy whipping
    {{"yogurt", "yoghurt"}, 245, false},                             // yogurt, plain, whole milk
    {{"water"}, 237, false},                                         // water, tap
    {{"stock", "broth"}, 240, false},                                // soup, stock, chicken
    {{"lemon juice"}, 244, false},                                   // lemon juice, raw
    {{"orange juice"}, 248, false},                                  // orange juice, raw
    {{"vinegar"}, 238, false},                                       // vinegar, distilled
    {{"soy sauce"}, 255, false},                                     // soy sauce (1 tbsp 16 g)
    {{"wine"}, 235, false},                                          // wine, table (1 fl oz 29.4 g)
    {{"mayonnaise"}, 220, false},                                    // mayonnaise (1 tbsp 13.8 g)
    {{"ketchup"}, 240, false},                                       // catsup
    {{"oats", "oatmeal"}, 81, true},                                 // oats, rolled, dry
    {{"rice"}, 185, true},                                           // rice, white, long-grain, raw
    {{"salt"}, 288, true},                                           // salt, table (1 tsp 6 g)
    {{"baking soda", "bicarbonate"}, 221, true},                     // leavening, baking soda (1 tsp 4.6 g)
    {{"baking powder"}, 221, true},                                  // leavening, baking powder (1 tsp 4.6 g)
    {{"cocoa"}, 86, true},                                           // cocoa, dry powder, unsweetened
    {{"parmesan"}, 100, true},                                       // cheese, parmesan, grated
    {{"cheddar", "mozzarella", "grated cheese", "shredded cheese"}, 113, true}, // cheese, shredded
    {{"chocolate chips"}, 168, true},                                           // chocolate chips, semisweet
    {{"raisins"}, 165, true},                                                   // raisins, packed
    {{"walnuts"}, 117, true},                                                   // walnuts, chopped
    {{"almonds"}, 143, true},                                                   // almonds, whole
    {{"pecans"}, 109, true},                                                    // pecans, chopped
    {{"breadcrumbs", "bread crumbs"}, 108, true},                               // bread crumbs, dry, grated
    {{"coconut"}, 93, true},                                                    // coconut, shredded, sweetened
    {{"lentils"}, 192, true},                                                   // lentils, raw
    {{"quinoa"}, 170, true},                                                    // quinoa, uncooked
};

// Whether `text` (folded to lower case) holds `word` at the start of one of its words.
bool holdsWord(QStringView text, QLatin1StringView word)
{
    for (qsizetype at = text.indexOf(word); at >= 0; at = text.indexOf(word, at + 1)) {
        if (at == 0 || !text.at(at - 1).isLetter())
            return true;
    }
    return false;
}

bool holdsAny(QStringView text, std::initializer_list<const char *> words)
{
    return std::any_of(words.begin(), words.end(),
                       [&](const char *word) { return holdsWord(text, QLatin1StringView(word)); });
}

int roundTo5(double value)
{
    return int(std::lround(value / 5) * 5);
}

// The gas marks and their temperatures in degrees Fahrenheit, as British cookers mark them.
struct GasMark
{
    double mark;
    int fahrenheit;
};
constexpr GasMark kGasMarks[] = {{0.25, 225}, {0.5, 250}, {1, 275}, {2, 300}, {3, 325}, {4, 350},
                                 {5, 375},    {6, 400},   {7, 425}, {8, 450}, {9, 475}};

} // namespace

const Unit *findUnit(QStringView word)
{
    if (word.endsWith(u'.'))
        word.chop(1);
    if (word.isEmpty())
        return nullptr;
    const Spellings &table = spellings();
    if (word == u"t")
        return table.teaspoon;
    if (word == u"T")
        return table.tablespoon;
    // Folded on the stack: a measure is read for every ingredient row, and most are short.
    constexpr qsizetype kLongest = 32;
    if (word.size() > kLongest)
        return nullptr;
    char16_t folded[kLongest];
    for (qsizetype i = 0; i < word.size(); ++i)
        folded[i] = word[i].toCaseFolded().unicode();
    return table.folded.value(QString::fromRawData(reinterpret_cast<const QChar *>(folded), word.size()));
}

const Unit &unitNamed(const char *name)
{
    for (const Entry &entry : kUnits) {
        if (qstrcmp(entry.unit.name, name) == 0)
            return entry.unit;
    }
    qFatal("no unit named %s", name);
}

std::optional<Density> densityOf(QStringView ingredient)
{
    // Folded once, on the stack for the usual length, so that each word is looked for case-sensitively.
    QVarLengthArray<char16_t, 128> folded(ingredient.size());
    for (qsizetype i = 0; i < ingredient.size(); ++i)
        folded[i] = ingredient[i].toCaseFolded().unicode();
    const QStringView text(folded.constData(), folded.size());
    for (const DensityRow &row : kDensities) {
        if (holdsAny(text, row.words) && !holdsAny(text, row.unless))
            return Density{row.gramsPerCup / unitNamed("cup").base, row.weighed};
    }
    return std::nullopt;
}

std::optional<double> convert(double value, const Unit &from, const Unit &to, QStringView ingredient)
{
    if (from.dimension == Dimension::Other || to.dimension == Dimension::Other)
        return std::nullopt;
    double base = value * from.base;
    if (from.dimension != to.dimension) {
        const std::optional<Density> density = densityOf(ingredient);
        if (!density)
            return std::nullopt;
        base = from.dimension == Dimension::Volume ? base * density->gramsPerMl : base / density->gramsPerMl;
    }
    return base / to.base;
}

int toCelsius(double fahrenheit)
{
    return roundTo5((fahrenheit - 32) * 5 / 9);
}

int toFahrenheit(double celsius)
{
    return roundTo5(celsius * 9 / 5 + 32);
}

QString gasMark(double fahrenheit)
{
    for (const GasMark &mark : kGasMarks) {
        if (std::abs(fahrenheit - mark.fahrenheit) <= 12.5) {
            if (mark.mark >= 1)
                return QString::number(int(mark.mark));
            return mark.mark == 0.5 ? QStringLiteral("1/2") : QStringLiteral("1/4");
        }
    }
    return {};
}

std::optional<int> fahrenheitOfGasMark(double mark)
{
    for (const GasMark &gas : kGasMarks) {
        if (gas.mark == mark)
            return gas.fahrenheit;
    }
    return std::nullopt;
}

} // namespace store
