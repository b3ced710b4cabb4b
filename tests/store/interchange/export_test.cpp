#include "store/interchange/mapping.h"
#include "tests/support/appfolder.h"
#include "tests/support/rows.h"

#include <QTest>

using namespace store::interchange;
using store::RecipeRecord;

namespace {

QString rowsOf(const QList<Ingredient> &ingredients)
{
    QStringList rows;
    for (const Ingredient &row : ingredients)
        rows.append(QStringList{row.amount, row.measure, row.text}.join(u'|'));
    return rows.join(QStringLiteral(" / "));
}

} // namespace

class ExportTest : public QObject
{
    Q_OBJECT

private slots:
    // The ingredients beyond the tenth row as an export reads them from a record: found and split as the
    // recipe window reads them (store/ingredients), every line given back exactly by an import.
    void fromRecord_overflow_data()
    {
        // name; directions of the record; the ingredients after row 1; the directions exported
        testing::addRows({
            "at the top; Soup; More ingredients:\\n2 cup sugar\\na pinch of salt\\n200g flour\\n\\nMix.;"
            "2|cup|sugar / ||a pinch of salt / ||200g flour; Mix.",
            "below the title; Pie-Tart; Pie/Tart\\nMore ingredients:\\n1 egg\\n\\nMix.; 1||egg; Mix.",
            "measures as the recipe window reads them; Soup; More ingredients:\\n1 EL Zucker\\n1 handful basil\\n"
            "1 1/2 c. milk\\n2 to 3 Tbsp. oil\\n2 fl oz cream;"
            "1|EL|Zucker / 1||handful basil / 1 1/2|c.|milk / 2 to 3|Tbsp.|oil / 2|fl oz|cream; ",
            "a line that would not read back stays whole; Soup; More ingredients:\\n2  cups flour\\n7up\\n\\n\\nMix.;"
            "||2  cups flour / ||7up; \\nMix.",
            "a heading with no lines stays in the directions; Soup; More ingredients:\\n\\nMix.; ;"
            "More ingredients:\\n\\nMix.",
            "a heading on the second line without a title stays; Soup; Serve hot.\\nMore ingredients:\\n1 egg\\n\\nMix.;"
            "; Serve hot.\\nMore ingredients:\\n1 egg\\n\\nMix.",
            "a heading below a title that is no title stays; Soup; Chowder\\nMore ingredients:\\n1 egg; ;"
            "Chowder\\nMore ingredients:\\n1 egg",
        });
    }
    void fromRecord_overflow()
    {
        const auto [name, directions, overflow, exported] = testing::cells<4>();
        const RecipeRecord record = testing::recipe({"1|cup|stock"}, testing::text(directions), {"350", "4", "", ""});
        const Recipe recipe = fromRecord(name, QStringLiteral("Soups"), record);
        QList<Ingredient> more = recipe.ingredients.mid(1);
        more.removeIf([](const Ingredient &row) { return row.isEmpty(); });
        QCOMPARE(rowsOf(more), overflow);
        QCOMPARE(recipe.directions, testing::text(exported));
        // What an import makes of the recipe is the record again, byte for byte.
        const MappedRecipe back = toRecord(recipe);
        QCOMPARE(back.name, name);
        QCOMPARE(back.record, record);
    }
};

QTEST_GUILESS_MAIN(ExportTest)
#include "export_test.moc"
