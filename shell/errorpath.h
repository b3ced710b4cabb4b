#pragma once

#include <QString>

namespace store {
class Failure;
}

namespace shell {

class Screen;

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

/// The error path of every trapped handler: records `code` with the failure's number and description,
/// hides `screen` and shows the error report.
void raiseError(Screen *screen, const QString &code, const store::Failure &failure);
void raiseError(Screen *screen, const QString &code, int number, const QString &description);

} // namespace shell
