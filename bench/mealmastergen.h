#pragma once

#include <QByteArray>

/// A MealMaster file of `count` recipes, about 640 bytes each (5,000 make about 3.2 MB), always the
/// same for the same count: titles, two categories, nine to twelve ingredient lines with measure codes,
/// a section line now and then, and three lines of directions.
inline QByteArray generateMealMaster(int count)
{
    static const char *const kCodes[] = {"c ", "tb", "ts", "lb", "oz", "pn", "  ", "lg", "cn", "pk"};
    static const char *const kFoods[] = {"Carrots, sliced", "Butter",         "Flour",         "Brown sugar", "Salt",
                                         "Onions, chopped", "Garlic, minced", "Chicken stock", "Tomatoes",    "Cream",
                                         "Eggs, beaten",    "Fresh parsley"};
    static const char *const kAmounts[] = {"      1", "    1/2", "  1 1/2", "      2", "      3", "    1/4"};
    QByteArray text;
    text.reserve(qsizetype(count) * 720);
    for (int i = 0; i < count; ++i) {
        const QByteArray number = QByteArray::number(i + 1).rightJustified(5, '0');
        text += "MMMMM----- Recipe via Meal-Master (tm) v8.05\r\n \r\n";
        text += "      Title: Recipe " + number + " " + kFoods[i % 12] + " bake\r\n";
        text += " Categories: Bench, " + QByteArray(i % 2 ? "Vegetables" : "Baking") + "\r\n";
        text += "   Servings: " + QByteArray::number(2 + i % 6) + "\r\n \r\n";
        const int rows = 9 + i % 4;
        for (int row = 0; row < rows; ++row) {
            if (row == 5 && i % 5 == 0)
                text += "MMMMM--------------------------TOPPING-------------------------------\r\n";
            text += QByteArray(kAmounts[(i + row) % 6]) + ' ' + kCodes[(i + row) % 10] + ' ' +
                    kFoods[(i + row * 5) % 12] + "\r\n";
        }
        text += " \r\n  Heat the oven to " + QByteArray::number(325 + 25 * (i % 4)) +
                " F. Mix the dry ingredients in a large bowl and rub in the\r\n"
                "  butter until it looks like crumbs. Stir in the rest and pour into a\r\n"
                "  buttered dish. Bake until golden, about " +
                QByteArray::number(20 + i % 40) + " minutes, and serve warm.\r\n \r\nMMMMM\r\n\r\n";
    }
    return text;
}
