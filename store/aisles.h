#pragma once

#include <QString>
#include <QStringView>

#include <optional>

/// The aisles of a shop that a shopping list is grouped by, and the table of common ingredients that tells
/// which aisle an ingredient lies in before the household has chosen one (store/kitchen.h).
namespace store {

/// The aisles in the order a list shows them.
enum class Aisle { Produce, Dairy, MeatAndFish, Bakery, DryGoods, Spices, Frozen, Other };

/// Every aisle, in the enum's order.
inline constexpr Aisle kAisles[] = {Aisle::Produce,  Aisle::Dairy,  Aisle::MeatAndFish, Aisle::Bakery,
                                    Aisle::DryGoods, Aisle::Spices, Aisle::Frozen,      Aisle::Other};

/// The name an aisle is shown and saved with: "Produce", "Dairy", "Meat and fish", "Bakery", "Dry goods",
/// "Spices", "Frozen", "Other".
QString aisleName(Aisle aisle);

/// The aisle `name` names, in any letter case and with blanks around it; none for any other text.
std::optional<Aisle> aisleNamed(QStringView name);

/// The aisle of the built-in table for an ingredient key (store/shoppinglist.h, ingredientKey()): the
/// most particular row whose words the key holds as whole words ("chicken breast" is meat, "chicken stock"
/// dry goods); none when no row matches.
std::optional<Aisle> builtInAisle(QStringView ingredientKey);

} // namespace store
