#pragma once

#include <QString>

namespace store::interchange {

/// What tidyLines() (store/interchange/html.h) gives for the lines of `text`, split at each "\n", made
/// in `text` itself: a long text is never held twice.
QString tidyText(QString text);

/// Makes each "\r\n" and "\r" of `text` from `from` on a "\n", in place.
void unifyLineBreaks(QString &text, qsizetype from = 0);

} // namespace store::interchange
