#include "store/recipescan.h"

#include "store/appfolder.h"
#include "store/ingredients.h"
#include "store/io/failure.h"
#include "store/io/textfile.h"

#include <QHash>

#include <algorithm>
#include <cstring>
#include <string_view>

namespace store::scan {

namespace {

// The pieces of a recipe's text are parted by this character: no needle holds it, so no match spans two.
constexpr char kSeparator = '\0';
constexpr int kFirstDirectionsPiece = 1 + RecipeRecord::kRowCount;
constexpr int kFirstSearchedField = 2 * RecipeRecord::kRowCount;

// Snippets of long lines of directions: this many characters, the match this far in.
constexpr qsizetype kSnippetLength = 60;
constexpr qsizetype kSnippetLead = 20;

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

// The place of `needle` in `size` bytes at `text`, or -1. With `foldCase`, letters of the text count in
// either case (the needle is lower case).
qsizetype find(const char *text, qsizetype size, const QByteArray &needle, bool foldCase)
{
    const qsizetype length = needle.size();
    if (!foldCase) {
        const size_t at = std::string_view(text, size_t(size)).find(std::string_view(needle.data(), size_t(length)));
        return at == std::string_view::npos ? -1 : qsizetype(at);
    }
    for (qsizetype at = 0; at + length <= size; ++at) {
        if (lowerAscii(text[at]) != needle[0])
            continue;
        qsizetype j = 1;
        while (j < length && lowerAscii(text[at + j]) == needle[j])
            ++j;
        if (j == length)
            return at;
    }
    return -1;
}

// The start of piece `n` in `text` and its length.
std::pair<qsizetype, qsizetype> piece(const QByteArray &text, int n)
{
    qsizetype start = 0;
    for (int i = 0; i < n; ++i) {
        if ((start = text.indexOf(kSeparator, start) + 1) == 0)
            return {text.size(), 0}; // past the last piece
    }
    qsizetype end = text.indexOf(kSeparator, start);
    if (end < 0)
        end = text.size();
    return {start, end - start};
}

// A character of a piece as it is kept: separators and line breaks inside a field become blanks, unless
// `lines` makes each line a piece of its own.
char16_t pieceChar(char16_t c, bool lines)
{
    if (c == u'\n')
        return lines ? char16_t(kSeparator) : u' ';
    return c == u'\r' || c == char16_t(kSeparator) ? u' ' : c;
}

} // namespace

std::optional<SearchedFields> readSearchedFields(const QString &category, const QString &name)
{
    try {
        TextReader reader = TextReader::open(recipePath(category, name));
        SearchedFields fields;
        // Records until the end, each taking the place of the one before, as the recipe screens read them.
        while (!reader.atEnd()) {
            for (int field = 0; field < RecipeRecord::kFieldCount; ++field) {
                const int searched = field - kFirstSearchedField;
                if (searched < 0 || searched >= kSearchedFieldCount)
                    reader.skipField();
                else
                    fields[size_t(searched)] = reader.readField();
            }
        }
        return fields;
    } catch (const Failure &) {
        return std::nullopt;
    }
}

int moreIngredientsLines(QStringView directions)
{
    return moreIngredientsLineCount(directions);
}

bool isWordBreak(QChar c)
{
    return c.isSpace() || c.unicode() == 0;
}

QByteArray fold(QStringView text)
{
    QByteArray out;
    foldInto(text, out);
    return out;
}

void foldInto(QStringView text, QByteArray &out)
{
    // The search form of every character other than ASCII met so far; the index is used on one thread at
    // a time, but the benchmark and the tests may make one on another.
    thread_local QHash<char32_t, QByteArray> folded;
    // Room for a byte per character; a character that folds to more makes more room.
    out.resize(text.size());
    qsizetype used = 0;
    for (qsizetype i = 0; i < text.size();) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            // NUL parts the pieces of a recipe's text and stays.
            out.data()[used++] = c != 0 && QChar::isSpace(c) ? ' ' : lowerAscii(char(c));
            ++i;
            continue;
        }
        const qsizetype length =
            QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
        const char32_t code = length == 2 ? QChar::surrogateToUcs4(c, text[i + 1].unicode()) : c;
        auto found = folded.constFind(code);
        if (found == folded.constEnd()) {
            QByteArray form(" ");
            if (!QChar::isSpace(code)) {
                QString one = text.sliced(i, length).toString().normalized(QString::NormalizationForm_KD);
                one.removeIf([](QChar part) { return part.isMark() || isWordBreak(part); });
                form = one.toCaseFolded().toUtf8();
            }
            found = folded.insert(code, form);
        }
        i += length;
        const qsizetype needed = used + found->size() + (text.size() - i);
        if (needed > out.size())
            out.resize(needed);
        std::memcpy(out.data() + used, found->constData(), size_t(found->size()));
        used += found->size();
    }
    out.truncate(used);
}

QList<QByteArray> needles(const QString &words)
{
    QList<QByteArray> found;
    QString parted = words;
    parted.replace(QChar(0), QLatin1Char(' '));
    for (const QString &word : parted.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QByteArray needle = fold(word);
        if (!needle.isEmpty())
            found.append(needle);
    }
    return found;
}

Text makeText(const QString &name, const SearchedFields &fields)
{
    Text recipe;
    QString text = name;
    bool ascii = std::all_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 0x80; });
    for (size_t i = 0; i < fields.size(); ++i) {
        text += QLatin1Char(kSeparator);
        const qsizetype start = text.size();
        text += fields[i];
        for (QChar *c = text.data() + start, *end = text.data() + text.size(); c != end; ++c) {
            ascii = ascii && c->unicode() < 0x80;
            *c = QChar(pieceChar(c->unicode(), i + 1 == fields.size()));
        }
    }
    recipe.text = text.toUtf8();
    if (!ascii)
        recipe.folded = fold(text);
    recipe.ingredientsAt = quint32(piece(recipe.searched(), 1).first);
    // The lines under "More ingredients:" are ingredients.
    recipe.directionsAt =
        quint32(piece(recipe.searched(), kFirstDirectionsPiece + moreIngredientsLineCount(fields.back())).first);
    return recipe;
}

bool matches(const Text &text, const QList<QByteArray> &needles, int parts, QList<qsizetype> *places)
{
    if (places)
        places->clear();
    if (!needles.isEmpty() && parts == 0)
        return false;
    const QByteArray &searched = text.searched();
    const bool foldCase = text.folded.isEmpty();
    // The parts to look in, in the order name, ingredients, directions.
    const qsizetype bounds[] = {0, text.ingredientsAt, text.directionsAt, searched.size()};
    const Part order[] = {Name, Ingredients, Directions};
    for (const QByteArray &needle : needles) {
        qsizetype place = -1;
        for (int part = 0; part < 3 && place < 0; ++part) {
            if (!(parts & order[part]))
                continue;
            // Parts that follow each other are searched in one go.
            int last = part;
            while (last + 1 < 3 && (parts & order[last + 1]))
                ++last;
            const qsizetype at =
                find(searched.constData() + bounds[part], bounds[last + 1] - bounds[part], needle, foldCase);
            if (at >= 0)
                place = bounds[part] + at;
            part = last;
        }
        if (place < 0)
            return false;
        if (places)
            places->append(place);
    }
    return true;
}

QString matchedText(const Text &text, const QList<qsizetype> &places)
{
    const QByteArray &searched = text.searched();
    QStringList pieces;
    for (const qsizetype place : places) {
        const int n = int(std::count(searched.begin(), searched.begin() + place, kSeparator));
        if (n == 0)
            continue; // the name shows beside the match anyway
        const auto [start, length] = piece(text.text, n);
        const QString whole = QString::fromUtf8(text.text.constData() + start, length);
        QString shown = whole.trimmed();
        if (n >= kFirstDirectionsPiece && whole.size() > kSnippetLength) {
            // A long line of directions shows around the match: find the character the match starts at.
            const qsizetype inPiece = place - piece(searched, n).first;
            qsizetype at = 0;
            for (qsizetype folded = 0; at < whole.size() && folded < inPiece; ++at)
                folded += text.folded.isEmpty() ? 1 : fold(QStringView(whole).sliced(at, 1)).size();
            // The snippet starts and ends between words.
            qsizetype from = std::max<qsizetype>(0, at - kSnippetLead);
            if (const qsizetype blank = whole.indexOf(u' ', from); from > 0 && blank >= 0 && blank < at)
                from = blank + 1;
            shown = whole.mid(from, kSnippetLength);
            const bool cut = from + kSnippetLength < whole.size();
            if (const qsizetype blank = shown.lastIndexOf(u' '); cut && blank > at - from)
                shown.truncate(blank);
            shown = shown.trimmed();
            if (from > 0)
                shown.prepend(QChar(0x2026));
            if (cut)
                shown.append(QChar(0x2026));
        }
        if (!shown.isEmpty() && !pieces.contains(shown))
            pieces.append(shown);
    }
    return pieces.join(QStringLiteral("; "));
}

} // namespace store::scan
