#pragma once

#include "store/recipefile.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>

/// What a search looks at in one recipe, and the plain search of one recipe's text: the folding of letter
/// case and accents shared by the word index (store/wordindex.h), the words typed, and the text shown for a
/// match. The search of a whole collection goes through the word index; the plain scan here finds the places
/// shown beside a recipe found, and is the measure the index is tested against.
namespace store::scan {

/// Where a search looks; the values of RecipeIndex::Field.
enum Part { Name = 0x1, Ingredients = 0x2, Directions = 0x4 };

/// The fields of a recipe file a search looks in: the ten ingredients, then the directions.
constexpr int kSearchedFieldCount = RecipeRecord::kRowCount + 1;
using SearchedFields = std::array<QString, kSearchedFieldCount>;
using SearchedViews = std::array<QStringView, kSearchedFieldCount>;

/// The searched fields of the recipe file `name` in `category`, read as the recipe screens read it (the last
/// record counts); nothing when it cannot be read or ends before its last field.
std::optional<SearchedFields> readSearchedFields(const QString &category, const QString &name);

/// True for the characters that part words: blanks of any kind, line breaks and the NUL character. No word
/// typed holds one, so a word found is always found inside one word of the text.
bool isWordBreak(QChar c);

/// `text` with letter case and accents folded away, in UTF-8: each character is split from its accents,
/// which go, and its case folded ("Crème" gives "creme"); a blank of any kind gives one ASCII blank, and any
/// blank left by the folding of another character (a spacing accent such as U+00B4) goes with the accent.
QByteArray fold(QStringView text);
/// The same into `out`, whose memory is used again.
void foldInto(QStringView text, QByteArray &out);

/// The words of a search, each folded; those that fold to nothing are left out.
QList<QByteArray> needles(const QString &words);

/// The number of lines at the top of `directions` that a search counts as ingredients (those under
/// "More ingredients:", store/ingredients.h).
int moreIngredientsLines(QStringView directions);

/// One recipe's text as the plain scan searches it: the name, the ten ingredients and each line of the
/// directions, a NUL between them, folded.
struct Text
{
    QByteArray text;   ///< the pieces in UTF-8
    QByteArray folded; ///< the pieces folded, when the text is not plain ASCII (searched ignoring case then)
    quint32 ingredientsAt = 0;
    quint32 directionsAt = 0;

    const QByteArray &searched() const { return folded.isEmpty() ? text : folded; }
};

Text makeText(const QString &name, const SearchedFields &fields);

/// True when every needle is found in one of `parts` of `text`; `places` gets where each was first found.
/// No needles match every recipe; no parts match none (unless there are no needles).
bool matches(const Text &text, const QList<QByteArray> &needles, int parts, QList<qsizetype> *places = nullptr);

/// The ingredients and lines of directions at `places`, "; " between them; a long line of directions shows
/// around the match.
QString matchedText(const Text &text, const QList<qsizetype> &places);

} // namespace store::scan
