#include "store/recipeindex.h"

#include "store/appfolder.h"
#include "store/categorylist.h"
#include "store/fileops.h"
#include "store/ingredients.h"
#include "store/io/failure.h"
#include "store/io/folderindex.h"
#include "store/io/nameorder.h"
#include "store/io/textfile.h"
#include "store/recipefile.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <string_view>
#include <vector>

namespace store {

namespace {

// File times advance in coarse steps: a folder read in the same step as it changed may change again
// without a new time, so a category read that soon after a change is read again the next time.
constexpr qint64 kTimeStepNs = 50'000'000;

// What a search looks in is one text per recipe: the name, the ten ingredients, then each line of the
// directions, with this character between the pieces. No typed word holds it, so no match spans two
// pieces.
constexpr char kSeparator = '\0';
constexpr int kFirstDirectionsPiece = 1 + RecipeRecord::kRowCount;
// The fields of a recipe file a search looks in, by their places in the record: the ten ingredients, then
// the directions.
constexpr int kFirstSearchedField = 2 * RecipeRecord::kRowCount;
constexpr int kSearchedFieldCount = RecipeRecord::kRowCount + 1;

// Snippets of long lines of directions: this many characters, the match this far in.
constexpr qsizetype kSnippetLength = 60;
constexpr qsizetype kSnippetLead = 20;

struct Recipe
{
    QString name;    ///< the file name
    QByteArray text; ///< the pieces in UTF-8
    /// The pieces with letter case and accents folded away, when the text is not plain ASCII. Plain ASCII
    /// is searched as it is, ignoring case, which saves a second copy of most recipes.
    QByteArray folded;
    quint32 ingredientsAt = 0; ///< where the first ingredient starts in the text searched
    quint32 directionsAt = 0;  ///< where the first line of the directions starts in the text searched

    const QByteArray &searched() const { return folded.isEmpty() ? text : folded; }
};

struct Category
{
    QString name;   ///< as the category list names it
    QString folder; ///< the folder's path
    qint64 modified = -1;
    bool racy = false;
    std::vector<Recipe> recipes;
    int unreadable = 0;

    // While the category is being read.
    bool listed = false;
    QStringList files;
    qsizetype next = 0;
};

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

qint64 nowNs()
{
    return QDateTime::currentMSecsSinceEpoch() * 1'000'000;
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
    const auto matchesAt = [&](qsizetype at) {
        for (qsizetype j = 0; j < length; ++j) {
            if (lowerAscii(text[at + j]) != needle[j])
                return false;
        }
        return true;
    };
    // Setting the bit 0x20 makes an ASCII letter lower case, and a byte of the text that is the needle's
    // first letter in either case equal to it (and a few other bytes too, which the comparison then rules
    // out). Eight bytes are looked at in one go: a block without such a byte is passed over at once.
    constexpr quint64 kOnes = 0x0101010101010101;
    constexpr quint64 kHighs = 0x8080808080808080;
    const auto first = static_cast<unsigned char>(needle[0] | 0x20);
    const quint64 pattern = kOnes * first;
    const qsizetype last = size - length;
    qsizetype i = 0;
    for (; i + 8 <= size && i <= last; i += 8) {
        quint64 block;
        std::memcpy(&block, text + i, sizeof block);
        const quint64 diff = (block | kOnes * 0x20) ^ pattern;
        if (((diff - kOnes) & ~diff & kHighs) == 0)
            continue;
        for (qsizetype at = i; at < i + 8 && at <= last; ++at) {
            if ((text[at] | 0x20) == char(first) && matchesAt(at))
                return at;
        }
    }
    for (; i <= last; ++i) {
        if ((text[i] | 0x20) == char(first) && matchesAt(i))
            return i;
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

struct RecipeIndex::Private
{
    std::vector<Category> categories; ///< sorted by name
    // A refresh under way: the categories that stay as they are, and those being read.
    bool refreshing = false;
    std::vector<std::pair<size_t, QString>> kept; ///< index into `categories`, with the name now listed
    std::vector<Category> reading;
    size_t readingAt = 0;
    /// The search form of every character other than ASCII met so far.
    mutable QHash<char32_t, QByteArray> foldedChars;

    QByteArray fold(QStringView text) const;
    qsizetype foldedLength(QStringView text) const;
    void readNext(Category &category) const;
    Recipe makeRecipe(const QString &name, const std::array<QStringView, kSearchedFieldCount> &fields) const;
    void commit();
    QString matchedText(const Recipe &recipe, const QList<qsizetype> &places) const;
};

// Splits each character from its accents, drops the accents and folds the letter case; one character
// at a time, so that a place in the folded text can be traced back to a character.
QByteArray RecipeIndex::Private::fold(QStringView text) const
{
    QByteArray folded;
    folded.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            folded += lowerAscii(char(c));
            ++i;
            continue;
        }
        const qsizetype length =
            QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
        const char32_t code = length == 2 ? QChar::surrogateToUcs4(c, text[i + 1].unicode()) : c;
        auto found = foldedChars.constFind(code);
        if (found == foldedChars.constEnd()) {
            QString one = text.sliced(i, length).toString().normalized(QString::NormalizationForm_KD);
            one.removeIf([](QChar part) { return part.isMark(); });
            found = foldedChars.insert(code, one.toCaseFolded().toUtf8());
        }
        folded += *found;
        i += length;
    }
    return folded;
}

qsizetype RecipeIndex::Private::foldedLength(QStringView text) const
{
    return fold(text).size();
}

void RecipeIndex::Private::readNext(Category &category) const
{
    const QString name = category.files.at(category.next++);
    try {
        TextReader reader = TextReader::open(recipePath(category.name, name));
        // The ingredients and the directions, as views of the file's text where they read as written.
        std::array<QStringView, kSearchedFieldCount> fields;
        std::array<QString, kSearchedFieldCount> built;
        QString scratch;
        // Records until the end, each taking the place of the one before, as the recipe screens read them.
        while (!reader.atEnd()) {
            for (int field = 0; field < RecipeRecord::kFieldCount; ++field) {
                const int searched = field - kFirstSearchedField;
                if (searched < 0 || searched >= kSearchedFieldCount) {
                    reader.skipField();
                    continue;
                }
                QStringView text = reader.readFieldView(scratch);
                if (!text.isEmpty() && text.data() == scratch.constData()) {
                    built[size_t(searched)] = scratch;
                    text = built[size_t(searched)];
                }
                fields[size_t(searched)] = text;
            }
        }
        category.recipes.push_back(makeRecipe(name, fields));
    } catch (const Failure &) {
        ++category.unreadable;
    }
}

Recipe RecipeIndex::Private::makeRecipe(const QString &name,
                                        const std::array<QStringView, kSearchedFieldCount> &fields) const
{
    Recipe recipe;
    recipe.name = name;
    qsizetype length = name.size();
    for (const QStringView field : fields)
        length += 1 + field.size();
    // Most recipes are plain ASCII: the text is written a byte per character, and made again as UTF-8 when
    // a character turns out to be more.
    recipe.text = QByteArray(length, Qt::Uninitialized);
    char *out = recipe.text.data();
    char16_t seen = 0;
    for (const QChar c : name) {
        seen |= c.unicode();
        *out++ = char(c.unicode());
    }
    for (size_t i = 0; i < fields.size(); ++i) {
        *out++ = kSeparator;
        const bool lines = i + 1 == fields.size();
        for (const QChar c : fields[i]) {
            seen |= c.unicode();
            *out++ = char(pieceChar(c.unicode(), lines));
        }
    }
    if (seen >= 0x80) {
        QString text;
        text.reserve(length);
        text += name;
        for (size_t i = 0; i < fields.size(); ++i) {
            text += QLatin1Char(kSeparator);
            const qsizetype start = text.size();
            text += fields[i];
            for (QChar *c = text.data() + start, *end = text.data() + text.size(); c != end; ++c)
                *c = QChar(pieceChar(c->unicode(), i + 1 == fields.size()));
        }
        recipe.text = text.toUtf8();
        recipe.text.squeeze();
        recipe.folded = fold(text);
        recipe.folded.squeeze();
    }
    recipe.ingredientsAt = quint32(piece(recipe.searched(), 1).first);
    // The lines under "More ingredients:" are ingredients.
    recipe.directionsAt =
        quint32(piece(recipe.searched(), kFirstDirectionsPiece + moreIngredientsLineCount(fields.back())).first);
    return recipe;
}

void RecipeIndex::Private::commit()
{
    std::vector<Category> next;
    next.reserve(kept.size() + reading.size());
    for (auto &[at, name] : kept) {
        next.push_back(std::move(categories[at]));
        next.back().name = name;
    }
    for (Category &category : reading) {
        category.files = QStringList();
        category.recipes.shrink_to_fit();
        next.push_back(std::move(category));
    }
    std::stable_sort(next.begin(), next.end(), [](const Category &a, const Category &b) {
        return nameSortKey(a.name.toStdString()) < nameSortKey(b.name.toStdString());
    });
    categories = std::move(next);
    kept.clear();
    reading.clear();
    refreshing = false;
}

QString RecipeIndex::Private::matchedText(const Recipe &recipe, const QList<qsizetype> &places) const
{
    const QByteArray &searched = recipe.searched();
    QStringList pieces;
    for (const qsizetype place : places) {
        const int n = int(std::count(searched.begin(), searched.begin() + place, kSeparator));
        if (n == 0)
            continue; // the name shows beside the match anyway
        const auto [start, length] = piece(recipe.text, n);
        const QString whole = QString::fromUtf8(recipe.text.constData() + start, length);
        QString shown = whole.trimmed();
        if (n >= kFirstDirectionsPiece && whole.size() > kSnippetLength) {
            // A long line of directions shows around the match: find the character the match starts at.
            const qsizetype inPiece = place - piece(searched, n).first;
            qsizetype at = 0;
            for (qsizetype folded = 0; at < whole.size() && folded < inPiece; ++at)
                folded += recipe.folded.isEmpty() ? 1 : foldedLength(QStringView(whole).sliced(at, 1));
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

RecipeIndex::RecipeIndex() : d(std::make_unique<Private>())
{}

RecipeIndex::~RecipeIndex() = default;

void RecipeIndex::beginRefresh()
{
    d->kept.clear();
    d->reading.clear();
    d->readingAt = 0;
    d->refreshing = true;

    QStringList names;
    try {
        names = readCategoryFields();
    } catch (const Failure &) {
        // Without a category list there are no categories to search.
    }
    QSet<QString> folders;
    for (const QString &name : std::as_const(names)) {
        QString folder;
        try {
            folder = categoryFolderPath(name);
        } catch (const Failure &) {
            continue; // a name that cannot be a folder has none
        }
        const qint64 modified = folderModifiedTime(folder);
        if (modified < 0 || folders.contains(folder))
            continue;
        folders.insert(folder);
        const auto old = std::find_if(d->categories.begin(), d->categories.end(),
                                      [&folder](const Category &c) { return c.folder == folder; });
        if (old != d->categories.end() && old->modified == modified && !old->racy) {
            d->kept.emplace_back(size_t(old - d->categories.begin()), name);
            continue;
        }
        Category category;
        category.name = name;
        category.folder = folder;
        category.modified = modified;
        d->reading.push_back(std::move(category));
    }
}

bool RecipeIndex::continueRefresh(int budgetMs)
{
    if (!d->refreshing)
        return true;
    QElapsedTimer timer;
    timer.start();
    const folderindex::Batch batch;
    for (; d->readingAt < d->reading.size(); ++d->readingAt) {
        Category &category = d->reading[d->readingAt];
        if (!category.listed) {
            category.listed = true;
            category.racy = nowNs() - category.modified < kTimeStepNs;
            try {
                category.files = listFiles(category.folder, FileOrder::ByName);
                // The paths of the recipes are then found among the names of the folder, without a look at
                // the disk for each.
                folderindex::find(category.folder, QString(), true);
            } catch (const Failure &) {
                // The folder went while the refresh ran: the category has no recipes.
            }
            category.recipes.reserve(size_t(category.files.size()));
        }
        while (category.next < category.files.size()) {
            d->readNext(category);
            if (timer.elapsed() >= budgetMs && category.next < category.files.size())
                return false;
        }
    }
    d->commit();
    return true;
}

void RecipeIndex::refresh()
{
    beginRefresh();
    continueRefresh(std::numeric_limits<int>::max());
}

bool RecipeIndex::isRefreshing() const
{
    return d->refreshing;
}

int RecipeIndex::categoriesRead() const
{
    return int(d->readingAt);
}

int RecipeIndex::categoriesToRead() const
{
    return int(d->reading.size());
}

QList<RecipeIndex::Hit> RecipeIndex::search(const QString &words, Fields fields) const
{
    QList<QByteArray> needles;
    for (const QString &word : words.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QByteArray needle = d->fold(word);
        if (!needle.isEmpty())
            needles.append(needle);
    }
    QList<Hit> hits;
    if (!needles.isEmpty() && !fields)
        return hits;

    QList<qsizetype> places;
    for (const Category &category : d->categories) {
        for (const Recipe &recipe : category.recipes) {
            const QByteArray &searched = recipe.searched();
            const bool foldCase = recipe.folded.isEmpty();
            // The parts to look in, in the order name, ingredients, directions.
            const qsizetype bounds[] = {0, recipe.ingredientsAt, recipe.directionsAt, searched.size()};
            const Field parts[] = {Names, Ingredients, Directions};
            places.clear();
            for (const QByteArray &needle : std::as_const(needles)) {
                qsizetype place = -1;
                for (int part = 0; part < 3 && place < 0; ++part) {
                    if (!fields.testFlag(parts[part]))
                        continue;
                    // Parts that follow each other are searched in one go.
                    int last = part;
                    while (last + 1 < 3 && fields.testFlag(parts[last + 1]))
                        ++last;
                    const qsizetype at =
                        find(searched.constData() + bounds[part], bounds[last + 1] - bounds[part], needle, foldCase);
                    if (at >= 0)
                        place = bounds[part] + at;
                    part = last;
                }
                if (place < 0)
                    break;
                places.append(place);
            }
            if (places.size() < needles.size())
                continue;
            hits.append({category.name, recipe.name, d->matchedText(recipe, places)});
        }
    }
    return hits;
}

qsizetype RecipeIndex::recipeCount() const
{
    qsizetype count = 0;
    for (const Category &category : d->categories)
        count += qsizetype(category.recipes.size());
    return count;
}

int RecipeIndex::unreadableCount() const
{
    int count = 0;
    for (const Category &category : d->categories)
        count += category.unreadable;
    return count;
}

} // namespace store
