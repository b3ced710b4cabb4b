#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <string_view>

/// The order in which a user expects to find names in a list, such as a category's recipes: letter case
/// and accents do not count, and a run of digits counts by its value ("Soup 2" before "Soup 10").
/// Names that compare equal keep their order.
namespace store {

/// The key of a name given as UTF-8; keys compared as bytes give the order above.
std::string nameSortKey(std::string_view utf8);

/// Sorts `names` in the order above.
void sortNames(QStringList &names);

} // namespace store
