#include "store/interchange/mapping.h"
#include "store/interchange/mealmaster.h"
#include "store/interchange/reader.h"
#include "store/interchange/recipeimport.h"
#include "store/units.h"
#include "tests/support/appfolder.h"
#include "tests/support/rows.h"

#include <QRegularExpression>
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

    // The unit codes that some programs write outside MealMaster's table land in the unit column as the
    // measure they spell; a word that is no measure keeps the line out of the ingredients as before.
    void mealMaster_readsOtherUnitCodes_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("read"); // amount|measure|text, or "-" for no ingredient
        const auto row = [](const char *name, const char *line, const char *read) {
            QTest::newRow(name) << QString::fromUtf8(line) << QString::fromUtf8(read);
        };
        row("a German tablespoon", "      2 EL Olivenöl", "2|EL|Olivenöl");
        row("a German teaspoon", "      1 TL Salz", "1|TL|Salz");
        row("a Swedish tablespoon of three letters", "      3 msk olja", "3|msk|olja");
        row("a Swedish teaspoon", "      1 tsk salt", "1|tsk|salt");
        row("a decilitre", "    1.5 dl grädde", "1.5|dl|grädde");
        row("a centilitre", "      4 cl rum", "4|cl|rum");
        row("a code in another letter case", "    1/2 el Zucker", "1/2|EL|Zucker");
        row("a word of four letters with a dot", "      1 Essl. Mehl", "1|EL|Mehl");
        row("a spelled-out unit", "      2 cups flour", "2|cup|flour");
        row("the table's own codes still", "      2 tb oil", "2|tbsp|oil");
        row("a word longer than four letters is no code", "      2 large eggs", "-");
        row("a short word that is no measure", "      2 ab eggs", "-");
    }
    void mealMaster_readsOtherUnitCodes()
    {
        QFETCH(QString, line);
        QFETCH(QString, read);
        const QString file = "MMMMM----- Recipe via Meal-Master (tm) v8.05\n\n      Title: Soup\n Categories: Soups\n"
                             "   Servings: 4\n\n" +
                             line + "\n\n  Stir.\n\nMMMMM\n";
        const std::optional<ReadItem> item = makeReader(file.toUtf8())->next();
        QVERIFY(item && item->problem.isEmpty());
        if (read == u"-") {
            QCOMPARE(rowsOf(item->recipe.ingredients), QString());
            QVERIFY2(item->recipe.directions.contains(line.trimmed()), qPrintable(item->recipe.directions));
            return;
        }
        QCOMPARE(rowsOf(item->recipe.ingredients), read);
        // In the unit column of the record, where the recipe window converts it.
        const MappedRecipe mapped = toRecord(item->recipe);
        QCOMPARE(mapped.record.type(1), read.section(u'|', 1, 1));
        QCOMPARE(mapped.record.ingredient(1), read.section(u'|', 2));
    }

    // Each ingredient row as the MealMaster export writes it, in the classic layout other programs read:
    // amount in columns 1-7, the unit code in 9-10, the text from 12, lines within 40 columns.
    void mealMaster_rows_data()
    {
        QTest::addColumn<QString>("row"); // amount|measure|text
        QTest::addColumn<QString>("lines");
        const auto row = [](const char *name, const char *in, const char *out) {
            QTest::newRow(name) << QString::fromUtf8(in) << QString::fromUtf8(out);
        };
        row("a measure of the table as its code", "2|cups|flour", "      2 c  flour");
        row("another spelling of a code's unit", "1/2|Tbsp.|oil", "    1/2 tb oil");
        row("the code the reader gives back", "1|per serving|roll", "      1 x  roll");
        row("a measure alone", "|pinch|salt", "        pn salt");
        row("a fraction character as digits", "½||egg", "    1/2    egg");
        row("a fraction character after a number", "1½|cup|milk", "  1 1/2 c  milk");
        row("a decimal", "1.5|l|water", "    1.5 l  water");
        row("a measure outside the table, in the text", "2|sprigs|thyme", "      2    sprigs thyme");
        row("a German spoon outside the table", "1|EL|Zucker", "      1    EL Zucker");
        row("a capital word is no heading", "||Handful of small tomatoes", "           Handful of small tomatoes");
        row("a heading in capitals", "||SAUCE", "MMMMM-----SAUCE-----");
        row("a heading with a colon", "||For the crust:", "MMMMM-----For the crust:-----");
        row("a range in the text", "1-2|cloves|garlic", "           1-2 cloves garlic");
        row("a decimal comma in the text", "1,5|dl|milk", "           1,5 dl milk");
        row("a text read as a measure goes on a continuation", "2||cloves garlic",
            "      2    \n           -cloves garlic");
        row("long text on continuation lines", "1|c|flour, sifted together with the salt and the baking powder",
            "      1 c  flour, sifted together with\n           -the salt and the baking\n           -powder");
        row("a long word stays whole", "1|c|supercalifragilisticexpialidocious-flour",
            "      1 c  supercalifragilisticexpialidocious-flour");
        row("two blanks keep the line whole", "1|c|flour  sifted together with the salt and the baking powder",
            "      1 c  flour  sifted together with the salt and the baking powder");
        row("typographic marks as ASCII", "1|tsp|“garam” masala – fresh…", "      1 ts \"garam\" masala - fresh...");
        row("a character outside ISO-8859-1", "1|g|水 café", "      1 g  ? café");
    }
    void mealMaster_rows()
    {
        QFETCH(QString, row);
        QFETCH(QString, lines);
        const QStringList parts = row.split(u'|');
        Recipe recipe;
        recipe.title = QStringLiteral("Soup");
        recipe.yield = QStringLiteral("4");
        recipe.ingredients = {{parts.at(0), parts.at(1), parts.at(2)}, {"1", "", "egg"}};
        const QString text = writeMealMaster(recipe);
        const QString head = QStringLiteral("MMMMM----- Recipe via Meal-Master (tm) v8.05\n\n      Title: Soup\n"
                                            " Categories: None\n   Servings: 4\n\n");
        QVERIFY2(text.startsWith(head), qPrintable(text));
        QCOMPARE(text.sliced(head.size()), lines + QStringLiteral("\n      1    egg\n\nMMMMM\n"));
        QVERIFY(std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0xff; }));

        // Read back, the row is the same ingredient as far as the format holds it.
        const std::optional<ReadItem> back = makeReader(text.toLatin1())->next();
        QVERIFY(back && back->problem.isEmpty());
        QCOMPARE(back->recipe.ingredients.size(), 2);
        const Ingredient read = back->recipe.ingredients.first();
        const Ingredient written{parts.at(0), parts.at(1), parts.at(2)};
        const bool ascii = std::all_of(row.begin(), row.end(), [](QChar c) { return c.unicode() < 0x80; });
        if (QString::fromLatin1(QTest::currentDataTag()).contains(u"heading")) {
            QCOMPARE(read, written);
        } else if (ascii && store::findUnit(read.measure)) {
            // A code reads back as its unit, spelled as the reader spells it ("c" as "cup").
            QCOMPARE(store::findUnit(read.measure), store::findUnit(written.measure));
            QCOMPARE(QStringList({read.amount, read.text}), QStringList({written.amount, written.text}));
        } else if (ascii) {
            QCOMPARE(read.line(), written.line());
        }
    }

    // The lines above the ingredients: always a Servings or a Yield line, which readers of the format need.
    void mealMaster_servings_data()
    {
        QTest::addColumn<QString>("yield");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("a number") << "6"
                                  << "   Servings: 6"
                                  << "6";
        QTest::newRow("none") << ""
                              << "      Yield: 1 recipe"
                              << "";
        QTest::newRow("more than a number") << "4-6"
                                            << "      Yield: 4-6"
                                            << "4-6";
    }
    void mealMaster_servings()
    {
        QFETCH(QString, yield);
        Recipe recipe;
        recipe.title = QStringLiteral("Soup");
        recipe.categories = QStringList{"Soups", "Winter"};
        recipe.yield = yield;
        const QString text = writeMealMaster(recipe);
        QTEST(text.section(u'\n', 4, 4), "line");
        QCOMPARE(text.section(u'\n', 3, 3), QStringLiteral(" Categories: Soups, Winter"));
        const std::optional<ReadItem> back = makeReader(text.toLatin1())->next();
        QVERIFY(back && back->problem.isEmpty());
        QTEST(back->recipe.yield, "readBack");
    }

    // A category exported as other programs read MealMaster: ISO-8859-1 and CR LF, a Servings or Yield line
    // in every recipe, a section line only for the one heading, and every recipe read back whole.
    void mealMaster_classicFile()
    {
        testing::AppFolder app;
        app.addCategory("Classic");
        app.copyTree(QStringLiteral(LARDERON_TEST_DATA "/export/Classic"), "Category/Classic");
        const store::ExportReport report =
            store::exportCategory("Classic", store::ExportFormat::MealMaster, app.file("Classic.mmf"));
        QCOMPARE(report.exported, 6);
        const QByteArray bytes = app.read("Classic.mmf");
        QVERIFY(bytes.contains("      Title: P\xe2t\xe9 de campagne\r\n"));
        QCOMPARE(bytes.count("\r\n"), bytes.count('\n'));
        const QString text = QString::fromLatin1(bytes).remove(u'\r');
        QCOMPARE(text.count(QRegularExpression(QStringLiteral("\n(   Servings: \\d+|      Yield: .+)\n\n"))), 6);
        QCOMPARE(text.count(QRegularExpression(QStringLiteral("\nMMMMM-----[^ ]"))), 1);
        QVERIFY(text.contains(QStringLiteral("\nMMMMM-----FOR THE DUMPLINGS:-----\n      1 c  flour\n")));
        QVERIFY(text.contains(QStringLiteral("\n           Handful of small tomatoes\n")));

        // Every recipe reads back with its ingredients and its category.
        const auto reader = makeReader(bytes);
        int recipes = 0;
        while (const std::optional<ReadItem> item = reader->next()) {
            QVERIFY2(item->problem.isEmpty(), qPrintable(item->problem));
            QCOMPARE(item->recipe.categories, QStringList{"Classic"});
            QVERIFY(item->recipe.ingredients.size() >= 4);
            ++recipes;
        }
        QCOMPARE(recipes, 6);
    }
};

QTEST_GUILESS_MAIN(ExportTest)
#include "export_test.moc"
