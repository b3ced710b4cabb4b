#pragma once

#include <QString>
#include <QStringView>

#include <optional>

/// The amounts of ingredient rows read as numbers, so that a shopping list can add and scale them.
///
/// An amount is a whole number ("2"), a decimal with a point or a comma ("1.5", "1,5"), a fraction
/// ("1/2"), a mixed number ("1 1/2"), or one of the fraction characters ½ ¼ ¾ ⅓ ⅔ ⅛ ⅜ ⅝ ⅞ alone or after a
/// whole number ("1½", "1 ½"). Blanks around it do not count. Anything else ("2-3", "a pinch", "") is
/// not a number.
namespace store {

/// The value of `text`, or none when it is not an amount.
std::optional<double> parseAmount(QStringView text);

/// `value` as a shopping list writes it: a whole number ("3"); a mixed number or fraction in halves,
/// thirds, quarters or eighths when it is one ("2 1/4", "2/3"); otherwise at most two decimals after a
/// point ("0.17", "1.2").
QString writeAmount(double value);

/// An amount that may be a range: "1-2", "1 to 2", "1/2-1", "1½–2" (a hyphen, an en dash or "to", blanks
/// around them or not); a single amount has `high` equal to `low`.
struct Quantity
{
    double low = 0;
    double high = 0;

    bool isRange() const { return high != low; }
    Quantity scaled(double factor) const { return {low * factor, high * factor}; }
    friend bool operator==(const Quantity &, const Quantity &) = default;
};

/// The value of `text` as one amount (parseAmount()) or a range of two whose second is not below its
/// first; none otherwise.
std::optional<Quantity> parseQuantity(QStringView text);

} // namespace store
