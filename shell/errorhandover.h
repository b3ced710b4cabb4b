#pragma once

#include <QString>

namespace shell {

/// What a failed handler hands to the error report: the code of the failed operation, the failure's
/// number as text and its description. The values live for the whole run.
struct ErrorHandOver
{
    QString code;
    QString numberText;
    QString description;
};

ErrorHandOver &errorHandOver();

/// A failure number as the report shows it: a leading blank for a number that is not negative
/// (" 53"), the minus sign otherwise ("-5").
QString errorNumberText(int number);

} // namespace shell
