#include "shell/errorhandover.h"

namespace shell {

ErrorHandOver &errorHandOver()
{
    static ErrorHandOver values;
    return values;
}

QString errorNumberText(int number)
{
    return number >= 0 ? QLatin1Char(' ') + QString::number(number) : QString::number(number);
}

} // namespace shell
