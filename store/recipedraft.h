#pragma once

#include "store/recipefile.h"

#include <QList>
#include <QString>

/// A recipe as the recipe window edits it: any number of ingredient rows, the directions apart from what
/// the import keeps in them (the rows beyond the tenth, a note, the source), and back to the 35 fields
/// the classic screens read.
namespace store {

struct DraftRow
{
    QString amount;
    QString measure;
    QString ingredient;

    bool isEmpty() const
    {
        return amount.trimmed().isEmpty() && measure.trimmed().isEmpty() && ingredient.trimmed().isEmpty();
    }
    friend bool operator==(const DraftRow &, const DraftRow &) = default;
};

/// The labels of the note and the source at the end of the directions.
inline constexpr QStringView kNoteLabel = u"Note:";
inline constexpr QStringView kSourceLabel = u"Source:";

struct RecipeDraft
{
    QList<DraftRow> rows; ///< rows 1 to 10 as the fields hold them, then those under "More ingredients:"
    QString title;        ///< a line above "More ingredients:" (an imported title), kept as it is
    QString directions;   ///< the recipe's own directions
    QString note;
    QString source;
    QString temperature;
    QString servingSize;
    QString hours;
    QString minutes;

    friend bool operator==(const RecipeDraft &, const RecipeDraft &) = default;
};

/// The draft of `record`: rows 1 to 10 up to the last that is not empty, each field as written; the lines
/// under "More ingredients:" read as rows (store/ingredients.h); the note and the source from the last
/// paragraph of the directions when it starts with "Note:" or "Source:" ("Note:" runs to the "Source:"
/// line, the source is the rest of that line).
RecipeDraft draftOf(const RecipeRecord &record);

/// The record that saves `draft`, as the import writes one: rows 1 to 10 in the fields, rows beyond
/// under "More ingredients:" at the top of the directions (one line each, "amount measure ingredient"),
/// the note and the source in a last paragraph under their labels. Empty rows are left out. Every field
/// of `original` whose part of the draft is what draftOf(original) gives is written back as it was,
/// byte for byte: unchanged rows, and the directions when neither the rows beyond the tenth, the title,
/// the directions, the note nor the source changed.
RecipeRecord recordOf(const RecipeDraft &draft, const RecipeRecord &original = {});

} // namespace store
