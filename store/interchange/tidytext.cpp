#include "store/interchange/tidytext.h"

#include <cstring>

namespace store::interchange {

namespace {

// Where the line that begins at `start` ends, and where its trailing blanks begin.
struct Line
{
    qsizetype end = 0;
    qsizetype trimmed = 0;
};

Line lineAt(const QString &text, qsizetype start)
{
    Line line;
    line.end = text.indexOf(u'\n', start);
    if (line.end < 0)
        line.end = text.size();
    line.trimmed = line.end;
    while (line.trimmed > start && text.at(line.trimmed - 1).isSpace())
        --line.trimmed;
    return line;
}

} // namespace

QString tidyText(QString text)
{
    // The first and the last line that are not blank, and the blanks all lines that are not share.
    qsizetype first = -1;
    qsizetype last = -1;
    qsizetype indent = -1;
    for (qsizetype start = 0;; ) {
        const Line line = lineAt(text, start);
        if (line.trimmed > start) {
            qsizetype blanks = 0;
            while (start + blanks < line.trimmed && text.at(start + blanks) == u' ')
                ++blanks;
            indent = indent < 0 ? blanks : std::min(indent, blanks);
            if (first < 0)
                first = start;
            last = start;
        }
        if (line.end >= text.size())
            break;
        start = line.end + 1;
    }
    if (first < 0)
        return QString();
    // Each line from the first to the last moved to where the one before it now ends.
    QChar *data = text.data();
    qsizetype to = 0;
    for (qsizetype start = first;; ) {
        const Line line = lineAt(text, start);
        const qsizetype from = std::min(start + std::max<qsizetype>(indent, 0), line.trimmed);
        if (to != from)
            std::memmove(data + to, data + from, size_t(line.trimmed - from) * sizeof(QChar));
        to += line.trimmed - from;
        if (start == last)
            break;
        data[to++] = u'\n';
        start = line.end + 1;
    }
    text.truncate(to);
    return text;
}

void unifyLineBreaks(QString &text, qsizetype from)
{
    const qsizetype first = text.indexOf(u'\r', from);
    if (first < 0)
        return;
    QChar *data = text.data();
    const qsizetype size = text.size();
    qsizetype to = first;
    for (qsizetype at = first; at < size; ++at) {
        if (data[at] == u'\r') {
            data[to++] = u'\n';
            if (at + 1 < size && data[at + 1] == u'\n')
                ++at;
        } else {
            data[to++] = data[at];
        }
    }
    text.truncate(to);
}

} // namespace store::interchange
