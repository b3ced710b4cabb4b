#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

/// The interchange model: a recipe as an interchange file holds it, before it becomes a recipe file of 35
/// fields, and the text rules that every format shares: measure words, amounts, temperatures, durations
/// and the lines of cooking information that Larderon adds to the directions it exports.
namespace store::interchange {

/// One ingredient line: its amount, its measure and the rest. A section heading is a line whose text
/// is the heading and whose amount and measure are empty.
struct Ingredient
{
    QString amount;
    QString measure;
    QString text;

    bool isEmpty() const { return amount.isEmpty() && measure.isEmpty() && text.isEmpty(); }
    /// "amount measure text", leaving out the empty parts.
    QString line() const;
    friend bool operator==(const Ingredient &, const Ingredient &) = default;
};

/// A cooking time as a file gives it, in whole hours and minutes written as digits; an empty part is one
/// the file does not give.
struct Duration
{
    QString hours;
    QString minutes;

    bool isEmpty() const { return hours.isEmpty() && minutes.isEmpty(); }
    friend bool operator==(const Duration &, const Duration &) = default;
};

/// One recipe read from an interchange file.
struct Recipe
{
    QString title;
    QStringList categories;
    QList<Ingredient> ingredients;
    QString directions;
    QString yield; ///< the servings or yield as written
    /// The oven temperature the file states outright, digits only; an empty text when it states that
    /// there is none. Without it, the first temperature in the directions is taken.
    std::optional<QString> temperature;
    Duration time;
    QStringList notes; ///< what the file says beyond these, as lines for the end of the directions
    /// The recipe's note and source, kept as the last paragraph of the directions under "Note:" and
    /// "Source:", where the recipe window reads them (store/recipedraft.h).
    QString note;
    QString source;
    QByteArray picture; ///< the recipe's picture as the file holds it, kept as the recipe window keeps one
    QString pictureAddress; ///< the address of the recipe's picture, as the file gives it (a web page's)
};

/// The measure a file's free text begins with ("cups" in "cups flour"), as written, and the rest after
/// it. Measures are the usual words and abbreviations of cooking, singular or plural, any letter case,
/// and "fl oz". Nothing when the text does not begin with one.
struct MeasureSplit
{
    QString measure;
    QString rest;
};
std::optional<MeasureSplit> splitMeasure(const QString &text);

/// Splits an ingredient line of free text ("1 1/2 cups flour, sifted") into amount, measure and the
/// rest, where it can; otherwise all of it is the text. Ingredient::line() of the result gives `text`
/// back, blanks at its ends aside.
Ingredient splitIngredient(const QString &text);

/// True when `text` is an amount: whole numbers, decimals, fractions ("1 1/2", "1/2", "½") and ranges
/// ("2-3", "2 to 3").
bool isAmount(const QString &text);

/// The first oven temperature in `text`, in degrees Fahrenheit; Celsius is converted and rounded to 5.
/// Only a temperature in a clause that names an oven counts ("oven", "preheat", "bake", "roast"; not a
/// Dutch oven nor an ovenproof dish): "350 F", "400 degrees", "180°C", "a 450-degree oven", and a bare
/// number an oven reaches after "at" or "to" ("Heat oven to 350."). "Heat oil to 365 F" and gas marks are
/// none. Nothing when there is none.
std::optional<int> findTemperature(const QString &text);

/// An ISO 8601 duration ("PT1H30M", "P1DT2H", "PT90M", "PT45S") as hours and minutes: days become
/// hours, seconds are rounded to the nearest minute. Nothing when `text` is not such a duration.
std::optional<Duration> parseIsoDuration(const QString &text);

/// The ISO 8601 duration of `time` ("PT1H30M"), parts as written; empty when `time` is.
QString isoDuration(const Duration &time);

/// The lines of cooking information at the end of exported directions:
///   Oven temperature: 350 F      (or "Oven temperature: none")
///   Cooking time: 1 hr 15 min    (either part may be missing)
/// separated from the directions by an empty line.
struct CookingInfo
{
    std::optional<QString> temperature;
    Duration time;
};

/// The directions with the cooking information of `info` after them; the parts of `info` that are not
/// set add no line.
QString withCookingInfo(const QString &directions, const CookingInfo &info);

/// Takes the cooking information lines off the end of `directions`, if they are there.
CookingInfo takeCookingInfo(QString &directions);

} // namespace store::interchange
