#include "shell/digitfilter.h"

#include <algorithm>

bool DigitFilter::isDigits(QStringView text)
{
    // Only the ASCII digits count: QChar::isDigit() would let other scripts' digits in.
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

QValidator::State DigitFilter::validate(QString &input, int &pos) const
{
    Q_UNUSED(pos);
    return isDigits(input) ? Acceptable : Invalid;
}
