#include "tests/support/recordtext.h"

#include <QStringList>

namespace testing {

QString filledRows(const store::RecipeRecord &record)
{
    QStringList rows;
    for (int row = 1; row <= store::RecipeRecord::kRowCount; ++row) {
        const QString text = QStringList{record.amount(row), record.type(row), record.ingredient(row)}.join(u'|');
        if (text != u"||")
            rows.append(text);
    }
    return rows.join(QStringLiteral(" / "));
}

QString cookingBoxes(const store::RecipeRecord &record)
{
    return QStringList{record.temperature(), record.servingSize(), record.hours(), record.minutes()}.join(u',');
}

} // namespace testing
