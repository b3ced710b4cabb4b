#include "store/formats/mapping.h"
#include "store/formats/reader.h"
#include "tests/support/appfolder.h"

#include <QTest>

using namespace store::formats;

namespace {

// A recipe read from a file as one line: where it begins and its problem, or where it begins, its file
// name, category, filled rows, cooking boxes and directions, as it would be saved.
QString describe(const ReadItem &item)
{
    if (!item.problem.isEmpty())
        return QStringLiteral("%1: %2").arg(item.line).arg(item.problem);
    const MappedRecipe m = toRecord(item.recipe);
    QStringList rows;
    for (int row = 1; row <= store::RecipeRecord::kRowCount; ++row) {
        const QString text = QStringList{m.record.amount(row), m.record.type(row), m.record.ingredient(row)}.join(u'|');
        if (text != u"||")
            rows.append(text);
    }
    const QStringList cooking{m.record.temperature(), m.record.servingSize(), m.record.hours(), m.record.minutes()};
    return QStringLiteral("%1: %2 [%3] %4 # %5 # %6")
        .arg(item.line)
        .arg(m.name, m.category, rows.join(QStringLiteral(" / ")), cooking.join(u','),
             QString(m.record.directions()).replace(u'\n', QStringLiteral("\\n")));
}

} // namespace

class FormatsTest : public QObject
{
    Q_OBJECT

private slots:
    void read_data()
    {
        QTest::addColumn<QString>("fixture");
        QTest::addColumn<QStringList>("recipes");
        QTest::newRow("MealMaster, one column, section, continuation, twelve rows")
            << "one-column.mmf"
            << QStringList{
                   "1: Apple Crumble [Desserts] 6|medium|Apples, peeled and sliced / 1/2|cup|Brown sugar / "
                   "1|tsp|Cinnamon / 1|pinch|Salt / ||TOPPING / 1|cup|Flour / 1/2|cup|Butter, cold cut in small "
                   "cubes / 1/2|cup|Rolled oats / 2|tbsp|Honey / 1|dash|Nutmeg # 375,6,, # More ingredients:\\n3 "
                   "whole cloves\\n1 Lemon, juice of\\n\\nHeat the oven to 375 F. Toss the apples with the sugar, "
                   "cinnamon and\\nsalt and spread them in a baking dish.\\n\\nRub the butter into the flour, stir "
                   "in the oats, honey and nutmeg and\\nscatter over the apples. Bake 40 minutes.",
                   "32: Quick -Best- Bread [Breads] 3|cup|Flour / 1 1/2|tsp|Salt / 1|package|yeast # 390,1,, # "
                   "Quick \"Best\" Bread\\nMix, rise 1 hour, bake at 200 C for 35 minutes.\\n\\nYield: 1 loaf"};
        QTest::newRow("MealMaster, two columns, dashed style")
            << "two-column.mmf"
            << QStringList{
                   "1: Tomato Soup [Soups] 2|tbsp|Olive oil / 1|large|Onion, chopped / 2|cloves|garlic / "
                   "1|can|Tomatoes (28 oz) / 2|cup|Chicken stock / 1|tsp|Sugar or to taste # ,4,, # Soften the "
                   "onion and garlic in the oil, add the tomatoes, stock and\\nsugar and simmer for 20 minutes. "
                   "Blend until smooth."};
        QTest::newRow("MealMaster, bad recipes between good ones, a title too long for a name")
            << "bad-and-names.mmf"
            << QStringList{
                   "1: Pie [Baking] 1|cup|Flour # ,,, # Bake.",
                   "7: the next recipe begins before this one's closing line \"MMMMM\"",
                   "10: Pie [] 2|cup|Apples # ,,, # ", "14: the recipe has no title",
                   "18: Pie-Tart- which is best- A question for [] 1|lb|Pastry # ,,, # Pie/Tart: which is best? A "
                   "question for a rainy Sunday afternoon"};
        QTest::newRow("MealMaster in Windows-1252 and in UTF-8, one file")
            << "encodings.mmf"
            << QStringList{QStringLiteral(u"1: Crème brûlée [Desserts] 2|cup|Cream / ½|cup|Sugar # 300,4,, # Bake at "
                                          u"150°C for 45 minutes; the chef’s way."),
                           QStringLiteral(u"9: Pâte à choux [] 1|cup|Water # ,,, # Cook the panade – stir well.")};
        QTest::newRow("no recipe at all") << "../category/comma-and-blanks.txt"
                                          << QStringList{"1: no MealMaster, MasterCook or schema.org recipe was found "
                                                         "in this file"};
        QTest::newRow("MasterCook in ISO-8859-1, a broken recipe between two")
            << "multi.mx2"
            << QStringList{
                   QStringLiteral(u"5: Crème brûlée [Desserts] 2|cups|heavy cream / 5||egg yolks, beaten / "
                                  u"1/2|cup|sugar / ||Topping / 4|tablespoons|brown sugar # 300,4,1,15 # Heat the "
                                  u"oven to 150°C.\\nWhisk the cream, yolks & sugar; bake in a water bath ½ hour "
                                  u"& 15 minutes.\\n\\nAuthor: Anne\\nSource: Family cookbook"),
                   "24: the recipe is not well-formed XML: Opening and ending tag mismatch.",
                   QStringLiteral(u"25: Pâté de campagne [Starters] 2|lb|pork / ||salt & pepper # 350,8,2,30 # "
                                  u"Bake at 350 degrees F.\\nCool overnight.")};
        QTest::newRow("web page: a broken block, steps in sections")
            << "recipe-page.html"
            << QStringList{
                   "6: the JSON-LD cannot be read: unterminated object",
                   QStringLiteral(u"10: Lemon Drizzle Cake [Cakes] 225|g|unsalted butter / 1 ½|cups|caster sugar / "
                                  u"4|large|eggs / 2||lemons, zested / ||Juice of 1 lemon # 355,8,1,5 # Cake:\\nHeat "
                                  u"the oven to 180°C.\\nBeat the butter and sugar, add the eggs & zest.\\nDrizzle:"
                                  u"\\nMix the juice with sugar and pour over the warm cake.")};
        QTest::newRow("web page with a @graph, a Recipe without a name")
            << "recipe-graph.html"
            << QStringList{
                   "6: Pea & Mint Soup [Soups] 500|g|frozen peas / 1||onion / ||a handful of mint leaves # ,4,,25 "
                   "# Fry the onion, add the peas and 1 litre of stock, simmer, add the mint and blend.",
                   "10: the recipe has no name",
                   "11: Borscht [Soups] 3||beetroots / 1||cabbage # ,6,2, # Simmer everything.\\n\\nYield: 6 bowls"};
    }
    void read()
    {
        QFETCH(QString, fixture);
        const auto reader = makeReader(testing::fixture(QStringLiteral("import/") + fixture));
        QStringList recipes;
        while (const std::optional<ReadItem> item = reader->next())
            recipes.append(describe(*item));
        QTEST(recipes, "recipes");
    }

    void splitIngredient_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("parts");
        QTest::newRow("mixed number") << "1 1/2 cups flour, sifted" << QStringList{"1 1/2", "cups", "flour, sifted"};
        QTest::newRow("range, a point") << "2 to 3 Tbsp. oil" << QStringList{"2 to 3", "Tbsp.", "oil"};
        QTest::newRow("fraction, measure against it")
            << QStringLiteral(u"½g salt") << QStringList{QStringLiteral(u"½"), "g", "salt"};
        QTest::newRow("measure of two words") << "2 fl oz cream" << QStringList{"2", "fl oz", "cream"};
        QTest::newRow("no measure, not a measure") << "1 (14 oz) can" << QStringList{"1", "", "(14 oz) can"};
        QTest::newRow("two blanks keep it whole") << "2  cups flour" << QStringList{"", "", "2  cups flour"};
    }
    void splitIngredient()
    {
        QFETCH(QString, text);
        const Ingredient row = store::formats::splitIngredient(text);
        QTEST((QStringList{row.amount, row.measure, row.text}), "parts");
    }

    void findTemperature_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("fahrenheit");
        QTest::newRow("Celsius, rounded to 5") << QStringLiteral(u"Heat to 180°C.") << 355;
        QTest::newRow("range: the first") << QStringLiteral(u"Bake at 350-375°F.") << 350;
        QTest::newRow("2 C is two cups") << "Add 2 C flour and bake at 375F." << 375;
        QTest::newRow("none") << "Simmer 20 minutes on gas mark 4." << -1;
    }
    void findTemperature()
    {
        QFETCH(QString, text);
        QTEST(store::formats::findTemperature(text).value_or(-1), "fahrenheit");
    }

    void parseIsoDuration_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("time");
        QTest::newRow("minutes alone, as written") << "PT90M" << QStringList{"", "90"};
        QTest::newRow("days, seconds rounded") << "P1DT2H30M40S" << QStringList{"26", "31"};
        QTest::newRow("decimal hours") << "PT1.5H" << QStringList{"1", "30"};
        QTest::newRow("not a duration") << "1 hour" << QStringList();
    }
    void parseIsoDuration()
    {
        QFETCH(QString, text);
        const std::optional<Duration> time = store::formats::parseIsoDuration(text);
        QTEST((time ? QStringList{time->hours, time->minutes} : QStringList()), "time");
    }

    void fit_data()
    {
        QTest::addColumn<QStringList>("yieldHoursMinutes");
        QTest::addColumn<QStringList>("saved"); // serving size, hours, minutes, directions
        QTest::newRow("servings") << QStringList{"Serves 6", "1", "15"} << QStringList{"6", "1", "15", "Mix."};
        QTest::newRow("a yield that says more, too many minutes")
            << QStringList{"24 cookies", "", "1500"} << QStringList{"24", "25", "0", "Mix.\n\nYield: 24 cookies"};
        QTest::newRow("too big for the boxes")
            << QStringList{"1000", "150", "5"}
            << QStringList{"", "", "", "Mix.\n\nYield: 1000\nCooking time: 150 hours 5 minutes"};
    }
    void fit()
    {
        QFETCH(QStringList, yieldHoursMinutes);
        Recipe recipe;
        recipe.title = QStringLiteral("Biscuits");
        recipe.directions = QStringLiteral("Mix.");
        recipe.yield = yieldHoursMinutes.at(0);
        recipe.time = {yieldHoursMinutes.at(1), yieldHoursMinutes.at(2)};
        const store::RecipeRecord record = toRecord(recipe).record;
        QTEST((QStringList{record.servingSize(), record.hours(), record.minutes(), record.directions()}), "saved");
    }

    void names_data()
    {
        QTest::addColumn<QString>("made");
        QTest::addColumn<QString>("expected");
        QTest::newRow("invalid characters") << fileNameFor(QStringLiteral(" A/B: \"c\"?\t<d> ")) << "A-B- -c-- -d-";
        QTest::newRow("dots alone") << fileNameFor(QStringLiteral("..")) << "--";
        QTest::newRow("numbered within 40") << numberedName(QString(40, u'x'), 12) << QString(35, u'x') + " (12)";
        QTest::newRow("category: no comma, at most 35")
            << categoryNameFor(QStringLiteral("Soups, stews and ") + QString(30, u'y'))
            << "Soups- stews and " + QString(18, u'y');
    }
    void names()
    {
        QFETCH(QString, made);
        QTEST(made, "expected");
    }
};

QTEST_GUILESS_MAIN(FormatsTest)
#include "formats_test.moc"
