#pragma once

#include <QString>
#include <QStringView>

#include <optional>

/// The measures recipes write amounts in, one table of every spelling, and the conversions between them:
/// within volume, within mass, between the two through the density of common ingredients, and oven
/// temperatures between degrees Fahrenheit, degrees Celsius and gas marks.
namespace store {

/// What a measure measures. Volumes are kept in millilitres, masses in grams.
enum class Dimension { Volume, Mass, Other };

/// Which kitchen a measure belongs to: US cups and spoons, metric jugs and scales, or another (imperial,
/// Nordic and German spoons, a pinch, a can), which a conversion keeps as it is when asked for as written.
enum class System { US, Metric, Other };

struct Unit
{
    const char *name;   ///< the spelling a converted amount is written with ("tbsp", "cup", "ml")
    const char *plural; ///< the same above one ("cups"); the name when it has no plural
    Dimension dimension;
    System system;
    double base; ///< millilitres or grams in one; 0 for Dimension::Other
};

/// The unit `word` spells: every spelling in the table, with or without a final dot, in any letter case
/// except "t" (teaspoon) and "T" (tablespoon), which only the case tells apart. Null for any other word.
const Unit *findUnit(QStringView word);

/// The units a converted amount is written in, found by name: "tsp", "tbsp", "cup", "oz", "lb", "ml",
/// "l", "g", "kg".
const Unit &unitNamed(const char *name);

/// Grams in one millilitre of the ingredient named in `ingredient` ("2 cups all-purpose flour, sifted"
/// finds flour); none when the table has no density for it. `weighed` tells whether a metric kitchen
/// weighs it (flour, sugar, butter) rather than measuring it in a jug (milk, oil).
struct Density
{
    double gramsPerMl;
    bool weighed;
};
std::optional<Density> densityOf(QStringView ingredient);

/// `value` of `from` in `to`: within volume, within mass, and between them through the density of the
/// ingredient named in `ingredient`. None for a measure of Dimension::Other or without a density.
std::optional<double> convert(double value, const Unit &from, const Unit &to, QStringView ingredient = {});

/// An oven temperature `fahrenheit` in degrees Celsius, rounded to 5 as an oven dial shows it.
int toCelsius(double fahrenheit);
/// Degrees Celsius in degrees Fahrenheit, rounded to 5.
int toFahrenheit(double celsius);
/// The gas mark of an oven at `fahrenheit` (1/4, 1/2, 1 to 9), written as a fraction when below 1; empty
/// outside the marks' range (below 225 °F or above 475 °F).
QString gasMark(double fahrenheit);
/// Degrees Fahrenheit of gas mark `mark`; none for a mark that is not one (0, 10, 3/4).
std::optional<int> fahrenheitOfGasMark(double mark);

} // namespace store
