#include "store/recipedraft.h"

#include "store/ingredients.h"

namespace store {

namespace {

// `text` without one line break at its start ("\n" or "\r\n").
QStringView withoutLineBreak(QStringView text)
{
    if (text.startsWith(u"\r\n"))
        return text.mid(2);
    return text.startsWith(u'\n') ? text.mid(1) : text;
}

QString rowLine(const DraftRow &row)
{
    QStringList parts;
    for (const QString &part : {row.amount, row.measure, row.ingredient}) {
        if (!part.trimmed().isEmpty())
            parts.append(part.trimmed());
    }
    return parts.join(u' ');
}

// Splits the note and the source off the end of `body` when its last paragraph holds only them.
void takeNoteAndSource(QString &body, RecipeDraft &draft)
{
    const qsizetype gap = body.lastIndexOf(u"\n\n");
    const QStringView last = gap < 0 ? QStringView(body) : QStringView(body).mid(gap + 2);
    if (!last.startsWith(kNoteLabel) && !last.startsWith(kSourceLabel))
        return;
    QStringView note;
    QStringView source;
    const qsizetype sourceLine =
        last.startsWith(kSourceLabel) ? 0 : last.indexOf(QString(u'\n' + kSourceLabel.toString()));
    if (sourceLine < 0) {
        note = last.mid(kNoteLabel.size());
    } else {
        if (sourceLine > 0)
            note = last.left(sourceLine).mid(kNoteLabel.size());
        source = last.mid(sourceLine + (sourceLine > 0 ? 1 : 0) + kSourceLabel.size());
        if (source.contains(u'\n'))
            return; // more after the source: the paragraph is the directions' own
    }
    draft.note = note.trimmed().toString();
    draft.source = source.trimmed().toString();
    body.truncate(gap < 0 ? 0 : gap);
}

} // namespace

RecipeDraft draftOf(const RecipeRecord &record)
{
    RecipeDraft draft;
    const QString &directions = record.directions();
    const TextSpan more = moreIngredients(directions);
    int rows = more.isEmpty() ? 0 : RecipeRecord::kRowCount;
    for (int row = 1; row <= RecipeRecord::kRowCount; ++row) {
        if (!record.amount(row).isEmpty() || !record.type(row).isEmpty() || !record.ingredient(row).isEmpty())
            rows = std::max(rows, row);
    }
    for (int row = 1; row <= rows; ++row)
        draft.rows.append({record.amount(row), record.type(row), record.ingredient(row)});

    QString body = directions;
    if (!more.isEmpty()) {
        const qsizetype heading = directions.lastIndexOf(kMoreIngredientsLine, more.start);
        if (heading > 0)
            draft.title = QStringView(directions).left(heading).trimmed().toString();
        const QStringList lines = directions.mid(more.start, more.end - more.start).split(u'\n');
        for (const QString &line : lines) {
            const IngredientLine read = readIngredientLine(line);
            draft.rows.append({read.amount, read.measure, read.text});
        }
        body = withoutLineBreak(withoutLineBreak(QStringView(directions).mid(more.end))).toString();
    }
    takeNoteAndSource(body, draft);
    draft.directions = body;
    draft.temperature = record.temperature();
    draft.servingSize = record.servingSize();
    draft.hours = record.hours();
    draft.minutes = record.minutes();
    return draft;
}

RecipeRecord recordOf(const RecipeDraft &draft, const RecipeRecord &original)
{
    const RecipeDraft was = draftOf(original);
    RecipeRecord record = original;
    const bool rowsKept = draft.rows == was.rows;
    QStringList more;
    if (!rowsKept) {
        QList<DraftRow> rows;
        for (const DraftRow &row : draft.rows) {
            if (!row.isEmpty())
                rows.append(row);
        }
        for (int row = 1; row <= RecipeRecord::kRowCount; ++row) {
            const DraftRow put = rows.value(row - 1);
            record.amount(row) = put.amount;
            record.type(row) = put.measure;
            record.ingredient(row) = put.ingredient;
        }
        for (qsizetype i = RecipeRecord::kRowCount; i < rows.size(); ++i)
            more.append(rowLine(rows.at(i)));
    }
    const bool directionsKept = rowsKept && draft.title == was.title && draft.directions == was.directions &&
                                draft.note == was.note && draft.source == was.source;
    if (!directionsKept) {
        if (rowsKept) {
            for (qsizetype i = std::min<qsizetype>(RecipeRecord::kRowCount, was.rows.size()); i < was.rows.size(); ++i)
                more.append(rowLine(was.rows.at(i)));
        }
        QStringList tail;
        if (!draft.note.trimmed().isEmpty())
            tail.append(kNoteLabel.toString() + u' ' + draft.note.trimmed());
        if (!draft.source.trimmed().isEmpty())
            tail.append(kSourceLabel.toString() + u' ' + draft.source.trimmed());
        QStringList blocks;
        if (!more.isEmpty())
            blocks.append(kMoreIngredientsLine.toString() + u'\n' + more.join(u'\n'));
        if (!draft.directions.isEmpty())
            blocks.append(draft.directions);
        if (!tail.isEmpty())
            blocks.append(tail.join(u'\n'));
        QString directions = blocks.join(QStringLiteral("\n\n"));
        if (!draft.title.isEmpty())
            directions = directions.isEmpty() ? draft.title : draft.title + u'\n' + directions;
        record.directions() = directions;
    }
    record.temperature() = draft.temperature;
    record.servingSize() = draft.servingSize;
    record.hours() = draft.hours;
    record.minutes() = draft.minutes;
    return record;
}

} // namespace store
