#include "store/categorylist.h"
#include "store/fileops.h"
#include "store/interchange/mapping.h"
#include "store/interchange/reader.h"
#include "store/interchange/recipeimport.h"
#include "store/interchange/webpage.h"
#include "store/recipefile.h"
#include "store/recipeindex.h"
#include "tests/support/appfolder.h"
#include "tests/support/recordtext.h"
#include "tests/support/rows.h"

#include <QDirIterator>
#include <QStringEncoder>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using namespace store::interchange;
using store::RecipeImport;
using store::RecipeRecord;

Q_DECLARE_METATYPE(store::ExportFormat)
Q_DECLARE_METATYPE(RecipeImport::Stage)

namespace {

QStringList fixtures(const QStringList &names)
{
    QStringList paths;
    for (const QString &name : names)
        paths.append(QStringLiteral(LARDERON_TEST_DATA "/import/") + name);
    return paths;
}

store::ImportReport importAll(const QStringList &files, const QString &category)
{
    RecipeImport import(files, category);
    while (import.run(50)) {
    }
    return import.report();
}

// The files below Category, as "Soups/Borscht".
QStringList recipeFiles(const testing::AppFolder &app)
{
    QStringList files;
    QDirIterator it(app.file("Category"), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(QDir(app.file("Category")).relativeFilePath(it.next()));
    files.sort();
    return files;
}

// A recipe read from a file as one line: where it begins and its problem, or where it begins, its file
// name, category, filled rows, cooking boxes and directions, as it would be saved.
QString describe(const ReadItem &item)
{
    if (!item.problem.isEmpty())
        return QStringLiteral("%1: %2").arg(item.line).arg(item.problem);
    const MappedRecipe m = toRecord(item.recipe);
    return QStringLiteral("%1: %2 [%3] %4 # %5 # %6%7")
        .arg(item.line)
        .arg(m.name, m.category, testing::filledRows(m.record), testing::cookingBoxes(m.record),
             QString(m.record.directions()).replace(u'\n', QStringLiteral("\\n")),
             m.pictureAddress.isEmpty() ? QString() : QStringLiteral(" # picture ") + m.pictureAddress);
}

} // namespace

namespace {

// Each item a reader of `file` gives: its line, then the recipe's name or the problem.
QString itemsOf(const QByteArray &file)
{
    const auto reader = makeReader(file);
    QString items;
    while (const std::optional<ReadItem> item = reader->next())
        items += QStringLiteral("%1: %2\n").arg(item->line).arg(item->problem.isEmpty() ? item->recipe.title : item->problem);
    return items;
}

} // namespace

class RecipeImportTest : public QObject
{
    Q_OBJECT

private slots:
    // The recipes of each fixture, as describe() gives them, are in the fixture's golden file beside it.
    void read_data()
    {
        QTest::addColumn<QString>("fixture");
        QTest::newRow("MealMaster, one column, section, continuation, twelve rows") << "import/one-column.mmf";
        QTest::newRow("MealMaster, two columns, dashed style") << "import/two-column.mmf";
        QTest::newRow("MealMaster in Windows-1252 and in UTF-8, one file") << "import/encodings.mmf";
        QTest::newRow("no recipe at all") << "category/comma-and-blanks.txt";
        QTest::newRow("MasterCook in ISO-8859-1, a broken recipe between two") << "import/multi.mx2";
        QTest::newRow("web page: a broken block, steps in sections") << "import/recipe-page.html";
        QTest::newRow("web page with a @graph, a Recipe without a name") << "import/recipe-graph.html";
        QTest::newRow("web page in microdata: Person, HowToStep, old \"ingredients\", open <li>")
            << "import/microdata-page.html";
        QTest::newRow("web page in RDFa") << "import/rdfa-page.html";
        QTest::newRow("web page in JSON-LD and microdata: read once, from the JSON-LD") << "import/both-page.html";
        QTest::newRow("web page without recipe data") << "import/plain-page.html";
    }
    void read()
    {
        QFETCH(QString, fixture);
        const auto reader = makeReader(testing::fixture(fixture));
        QString recipes;
        while (const std::optional<ReadItem> item = reader->next())
            recipes += describe(*item) + u'\n';
        QCOMPARE(recipes, QString::fromUtf8(testing::fixture(fixture + ".expected")));
    }

    // A JSON file is read as its bytes: UTF-8 (a byte-order mark dropped) or else Windows-1252, each
    // recipe on the line its "@type" is on.
    void jsonFile_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("recipes"); // line: name, or line: problem
        QTest::newRow("UTF-8 with a byte-order mark, lines after letters of several bytes")
            << QByteArray("\xEF\xBB\xBF[{\"name\": \"Cr\xC3\xA8me \xE2\x82\xAC\",\n\"@type\": \"Recipe\"},\n\n"
                          "{\"@type\": [\"Thing\", \"schema:Recipe\"], \"name\": \"\xF0\x9F\x8D\xB2\"}]")
            << QStringLiteral(u"2: Crème €\n4: 🍲\n");
        QTest::newRow("Windows-1252") << QByteArray("{\"@type\": \"Recipe\", \"name\": \"Cr\xE8me \x80\"}")
                                      << QStringLiteral(u"1: Crème €\n");
        QTest::newRow("not JSON, on line 3")
            << QByteArray("[\n{\"@type\": \"Recipe\", \"name\": \"\xC3\xA8\"},\n{\"@type\" \"Recipe\"}]")
            << QStringLiteral(u"3: the JSON-LD cannot be read: missing name separator\n");
        QTest::newRow("an app's own JSON") << QByteArray("{\"name\": \"P\xC3\xA2t\xC3\xA9\", \"ingredients\": \"1 egg\"}")
                                           << QStringLiteral(u"1: Pâté\n");
    }
    void jsonFile()
    {
        QFETCH(QByteArray, file);
        QTEST(itemsOf(file), "recipes");
    }

    // A file in UTF-16, in either byte order, with or without a byte-order mark, is read in any format as
    // its text; a declaration that names UTF-16 on a file that is not does not make it so.
    void utf16File_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("recipes"); // line: name, or line: problem
        const auto utf16 = [](const QString &text, QStringConverter::Encoding order, bool mark) {
            QStringEncoder encoder(order, mark ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default);
            return QByteArray(encoder.encode(text));
        };
        const QString masterCook = QStringLiteral(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<mx2>\n"
                                                  u"<RcpE name=\"Crème €\"><DirS><DirT>Stir.</DirT></DirS></RcpE>\n</mx2>");
        QTest::newRow("MealMaster, little-endian with a byte-order mark")
            << utf16(QStringLiteral(u"MMMMM----- Recipe via Meal-Master (tm) v8.05\n\n      Title: Crème €\n"
                                    u" Categories: Soups\n\n      1 c  Flour\n\n  Mix.\n\nMMMMM\n"),
                     QStringConverter::Utf16LE, true)
            << QStringLiteral(u"1: Crème €\n");
        QTest::newRow("MasterCook, big-endian with a byte-order mark")
            << utf16(masterCook, QStringConverter::Utf16BE, true) << QStringLiteral(u"3: Crème €\n");
        QTest::newRow("MasterCook, little-endian without a byte-order mark")
            << utf16(masterCook, QStringConverter::Utf16LE, false) << QStringLiteral(u"3: Crème €\n");
        QTest::newRow("JSON-LD, big-endian without a byte-order mark")
            << utf16(QStringLiteral(u"{\"@type\": \"Recipe\", \"name\": \"Crème 🍲\"}"), QStringConverter::Utf16BE, false)
            << QStringLiteral(u"1: Crème 🍲\n");
        QTest::newRow("a web page, little-endian with a byte-order mark")
            << utf16(QStringLiteral(u"<html><body><div itemscope itemtype=\"https://schema.org/Recipe\">"
                                    u"<h1 itemprop=\"name\">Crème €</h1></div></body></html>"),
                     QStringConverter::Utf16LE, true)
            << QStringLiteral(u"1: Crème €\n");
        QTest::newRow("MasterCook in UTF-8 whose declaration names UTF-16") << masterCook.toUtf8()
                                                                            << QStringLiteral(u"3: Crème €\n");
    }
    void utf16File()
    {
        QFETCH(QByteArray, file);
        QTEST(itemsOf(file), "recipes");
    }

    // A MasterCook file is read from its device a megabyte at a time: marks across the edge of a megabyte
    // are found, lines counted, and bytes that are not UTF-8 anywhere make the whole file Windows-1252.
    void masterCookFile_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("recipes"); // line: name, or line: problem
        constexpr qsizetype kMegabyte = 1024 * 1024;
        const QByteArray head = "<?xml version=\"1.0\"?>\n<mx2>\n";
        const auto padded = [](QByteArray text, qsizetype size) { return text + QByteArray(size - text.size(), ' '); };
        const QByteArray first = "<RcpE name=\"Cr\xC3\xA8me\"><DirS><DirT>Stir.</DirT></DirS></RcpE>\n";
        for (const qsizetype back : {1, 3, 5, 6}) {
            QTest::addRow("a start %lld bytes before a megabyte ends", qlonglong(back))
                << padded(head + first, kMegabyte - back) + "<RcpE name=\"Two &amp; &frac12;\">\n</RcpE></mx2>"
                << QStringLiteral(u"3: Crème\n4: Two & ½\n");
            QTest::addRow("an end %lld bytes before a megabyte ends", qlonglong(back))
                << padded(head + "<RcpE name=\"One\">\n", kMegabyte - back) + "</RcpE>\n<RcpE name=\"Two\"></RcpE>\n</mx2>"
                << QStringLiteral(u"3: One\n5: Two\n");
        }
        QTest::newRow("bytes not UTF-8 after the first megabyte")
            << padded(head + first, kMegabyte + 10) + "<RcpE name=\"\xE9t\xE9\"></RcpE>"
            << QStringLiteral(u"3: CrÃ¨me\n4: été\n");
        QTest::newRow("ISO-8859-1, a bare &, a recipe left open")
            << QByteArray("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><mx2>\n<RcpE name=\"Caf\xE9 & Co\">\n"
                          "<RcpE name=\"B\"><DirS><DirT>\n\n</DirT></Dir></RcpE>\n<RcpE name=\"C\"></RcpE>")
            << QStringLiteral(u"2: the recipe has no closing </RcpE>\n"
                              u"5: the recipe is not well-formed XML: Opening and ending tag mismatch.\n6: C\n");
    }
    void masterCookFile()
    {
        QFETCH(QByteArray, file);
        QTEST(itemsOf(file), "recipes");
    }

    // Directions longer than the pieces the XML reader hands a text over in are read whole and exactly,
    // with references and characters of several bytes at every place a piece may end.
    void masterCookLongDirections_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("directions");
        const auto file = [](const QByteArray &encoding, const QByteArray &steps) {
            return "<?xml version=\"1.0\" encoding=\"" + encoding + "\"?>\n<mx2>\n<RcpE name=\"Long\"><DirS>" + steps +
                   "</DirS></RcpE>\n</mx2>\n";
        };
        const int kTimes = 12000; // about 400 kB
        QTest::newRow("UTF-8, references and characters of several bytes")
            << file("UTF-8", "<DirT>" + QByteArray("Stir &amp; taste &#233;\xC3\xA8\xF0\x9F\x8D\xB2 &lt;ok&gt; ").repeated(kTimes) + "</DirT>")
            << QStringLiteral(u"Stir & taste éè🍲 <ok> ").repeated(kTimes).trimmed();
        QTest::newRow("a bare & and a named character, repaired")
            << file("UTF-8", "<DirT>" + QByteArray("Salt & pepper &frac12; \xC3\xA8 ").repeated(kTimes) + "</DirT>")
            << QStringLiteral(u"Salt & pepper ½ è ").repeated(kTimes).trimmed();
        QTest::newRow("Windows-1252")
            << file("windows-1252", "<DirT>" + QByteArray("Caf\xE9 \x80 &amp; ").repeated(kTimes) + "</DirT>")
            << QStringLiteral(u"Café € & ").repeated(kTimes).trimmed();
        QTest::newRow("lines indented, ended by CR LF, in a CDATA section")
            << file("UTF-8", "<DirT><![CDATA[" + QByteArray("  Stir <well>.\r\n").repeated(kTimes) + "]]></DirT>")
            << QStringLiteral(u"Stir <well>.\n").repeated(kTimes).trimmed();
        QTest::newRow("steps of their own, long and short")
            << file("UTF-8", "<DirT>" + QByteArray("Boil. ").repeated(kTimes) + "</DirT><DirT>Serve.</DirT>")
            << QStringLiteral(u"Boil. ").repeated(kTimes).trimmed() + QStringLiteral(u"\nServe.");
    }
    void masterCookLongDirections()
    {
        QFETCH(QByteArray, file);
        const auto reader = makeReader(file);
        const std::optional<ReadItem> item = reader->next();
        QVERIFY(item);
        QFETCH(QString, directions);
        QCOMPARE(item->problem, QString());
        QCOMPARE(item->recipe.directions.size(), directions.size());
        QCOMPARE(item->recipe.directions, directions);
    }

    // A page without recipe data, split for the editor: name | rows | directions | source.
    void plainPage_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("split");
        QTest::newRow("the first heading names it; list items of amounts are rows; menus are left out")
            << QString::fromUtf8(testing::fixture("import/plain-page.html"))
            << QStringLiteral(u"Grandma’s Flapjacks | 125 g butter; 1/2 cup golden syrup; 250 g oats | "
                              u"Chewy, and ready in half an hour.\nYou need\na pinch of salt\nThen\nMelt the "
                              u"butter with the syrup.\nStir in the oats, press into a tin and bake at 180°C for "
                              u"20 minutes. | ");
        QTest::newRow("without a heading the title names it; an open <li> ends at the next; the canonical link")
            << "<html><head><title>Scones</title><link rel=canonical href=\"https://s.example/scones\"></head>"
               "<body><ul><li>2 cups flour<li>Bake.</ul></body></html>"
            << "Scones | 2 cups flour | Bake. | https://s.example/scones";
        QTest::newRow("the address a browser saved it from comes first; og:url is the last choice")
            << "<!-- saved from url=(0019)http://a.example/x -->\n<html><head><meta property=\"og:url\" "
               "content=\"http://b.example\"></head><body><p>Text</p></body></html>"
            << " |  | Text | http://a.example/x";
        QTest::newRow("og:url") << "<html><head><meta property=\"og:url\" content=\"http://b.example\">"
                                << " |  |  | http://b.example";
    }
    void plainPage()
    {
        QFETCH(QString, page);
        const PlainPage plain = store::interchange::plainPage(page);
        QStringList rows;
        for (const store::DraftRow &row : plain.draft.rows)
            rows.append(QStringList{row.amount, row.measure, row.ingredient}.join(u' '));
        QTEST(QStringList({plain.title, rows.join(QStringLiteral("; ")), plain.draft.directions, plain.draft.source})
                  .join(QStringLiteral(" | ")),
              "split");
    }

    // The rules that fit a recipe read from a file into a record, in tests/data/table/import-pieces.txt.
    void pieces_data() { testing::addTable("table/import-pieces.txt"); }
    void pieces()
    {
        const auto [escaped, expected] = testing::cells<2>();
        const QString text = testing::text(escaped);
        const QString piece = QString::fromLatin1(QTest::currentDataTag()).section(u':', 0, 0);
        const QStringList args = text.split(u'|');
        QStringList made{QStringLiteral("-")};
        if (piece == u"split") {
            const Ingredient row = splitIngredient(text);
            made = {row.amount, row.measure, row.text};
        } else if (const auto degrees = findTemperature(text); piece == u"temperature" && degrees) {
            made = {QString::number(*degrees)};
        } else if (const auto time = parseIsoDuration(text); piece == u"duration" && time) {
            made = {time->hours, time->minutes};
        } else if (piece == u"fit") {
            Recipe recipe;
            recipe.title = QStringLiteral("Biscuits");
            recipe.directions = QStringLiteral("Mix.");
            recipe.yield = args.at(0);
            recipe.time = {args.at(1), args.at(2)};
            const RecipeRecord r = toRecord(recipe).record;
            made = {r.servingSize(), r.hours(), r.minutes(), r.directions()};
        } else if (piece != u"temperature" && piece != u"duration") {
            made = {piece == u"file name"  ? fileNameFor(text)
                    : piece == u"numbered" ? numberedName(args.at(0), args.at(1).toInt())
                                           : categoryNameFor(text)};
        }
        QCOMPARE(made.join(u'|'), testing::text(expected));
    }

    // The report is in the golden file import/<report>.report beside the fixtures, "<data>" for their folder.
    void import_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("saved"); // the files below Category, "; " between
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<QString>("report");
        QTest::newRow("each recipe into its own category, made at the end of the list")
            << QStringList{"one-column.mmf", "two-column.mmf", "recipe-graph.html"} << ""
            << "Breads/Quick -Best- Bread; Desserts/Apple Crumble; Soups/Borscht; Soups/Pea & Mint Soup; "
               "Soups/Tomato Soup; Soups/Tomato Soup (2); Soups/pie; category.txt"
            << QByteArray("Soups\r\nDesserts\r\nBreads\r\n") << "categories";
        QTest::newRow("one category: names taken in any case, bad recipes skipped, names that do not fit")
            << QStringList{"bad-and-names.mmf"} << "Soups"
            << "Soups/Pie (2); Soups/Pie (3); Soups/Pie-Tart- which is best- A question for; Soups/Tomato Soup; "
               "Soups/pie; category.txt"
            << QByteArray("Soups\r\n") << "one-category";
    }
    void import()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, category);
        testing::AppFolder app;
        app.addCategory("Soups");
        const RecipeRecord kept = testing::recipe({"1|cup|stock"}, "Old.");
        store::saveRecipe("Soups", "Tomato Soup", kept);
        store::saveRecipe("Soups", "pie", kept);

        const store::ImportReport imported = importAll(fixtures(files), category);
        QFETCH(QString, report);
        const QString folder = QStringLiteral(LARDERON_TEST_DATA "/import");
        QCOMPARE(imported.text() + u'\n',
                 QString::fromUtf8(testing::fixture("import/" + report + ".report")).replace("<data>", folder));
        QTEST(recipeFiles(app).join(QStringLiteral("; ")), "saved");
        QTEST(app.read("Category/category.txt"), "list");
        QCOMPARE(store::loadRecipe("Soups", "pie"), kept);
        QCOMPARE(store::loadRecipe("Soups", "Tomato Soup"), kept);
    }

    // A recipe already in the category, the same in every field under its name or one of its numbered
    // names, is not saved again; another recipe of a taken name still is, numbered.
    void importAgain_skipsTheRecipesAlreadyThere_data()
    {
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("report");
        QTest::newRow("into one category, numbered names too")
            << "Soups"
            << "0 recipes imported from 2 files.\n"
               "5 recipes were already there, the same in every field, and not imported again:\n"
               "  \"Apple Crumble\" in Soups\n  \"Quick \"Best\" Bread\" in Soups as \"Quick -Best- Bread\"\n"
               "  \"Pie\" in Soups\n  \"Pie\" in Soups as \"Pie (2)\"\n"
               "  \"Pie/Tart: which is best? A question for a rainy Sunday afternoon\" in Soups as "
               "\"Pie-Tart- which is best- A question for\"";
        QTest::newRow("each into its own category")
            << ""
            << "0 recipes imported from 2 files.\n"
               "5 recipes were already there, the same in every field, and not imported again:\n"
               "  \"Apple Crumble\" in Desserts\n"
               "  \"Quick \"Best\" Bread\" in Breads as \"Quick -Best- Bread\"\n"
               "  \"Pie\" in Baking\n  \"Pie\" in Imported\n"
               "  \"Pie/Tart: which is best? A question for a rainy Sunday afternoon\" in Imported as "
               "\"Pie-Tart- which is best- A question for\"";
    }
    void importAgain_skipsTheRecipesAlreadyThere()
    {
        QFETCH(QString, category);
        testing::AppFolder app;
        app.addCategory("Soups");
        const QStringList files = fixtures({"one-column.mmf", "bad-and-names.mmf"});
        QCOMPARE(importAll(files, category).imported, 5);
        const QStringList saved = recipeFiles(app);

        const store::ImportReport again = importAll(files, category);
        QStringList lines = again.text().split(u'\n');
        lines.removeIf([](const QString &line) { return line.contains(u"could not be read") || line.contains(u", line "); });
        QTEST(lines.join(u'\n'), "report");
        QCOMPARE(recipeFiles(app), saved);

        // Changed, a recipe of a taken name is saved under the next free number and reported.
        app.write("changed.mmf", "MMMMM----- Recipe via Meal-Master (tm) v8.05\n      Title: Pie\n Categories: Baking\n"
                                 "      1 c  Flour\n  Bake longer.\nMMMMM\n");
        const store::ImportReport changed = importAll({app.file("changed.mmf")}, category);
        QCOMPARE(changed.imported, 1);
        QCOMPARE(changed.alreadyThere.size(), 0);
        const QString target = category.isEmpty() ? QStringLiteral("Baking") : category;
        QCOMPARE(changed.renamed.size(), 1);
        QCOMPARE(changed.renamed.first().name, category.isEmpty() ? QStringLiteral("Pie (2)") : QStringLiteral("Pie (3)"));
        QCOMPARE(store::loadRecipe(target, changed.renamed.first().name).directions(), "Bake longer.");
    }

    // A recipe's categories beyond the one it goes to are kept on the last line of its directions, where
    // a search of the directions finds them.
    void import_keepsTheFurtherCategories()
    {
        testing::AppFolder app;
        QCOMPARE(importAll(fixtures({"multi.mx2"}), "").imported, 2);
        const QString directions = store::loadRecipe("Desserts", QString::fromUtf8("Crème brûlée")).directions();
        QVERIFY2(directions.endsWith(QLatin1Char('\n') + kCategoriesLabel + QStringLiteral(" French")), qPrintable(directions));
        store::RecipeIndex index;
        index.refresh();
        const QList<store::RecipeIndex::Hit> hits = index.search("french", store::RecipeIndex::Directions);
        QCOMPARE(hits.size(), 1);
        QCOMPARE(hits.first().category, "Desserts");
    }

    void exportThenImport_givesTheSameRecords_data()
    {
        QTest::addColumn<store::ExportFormat>("format");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("inexact");
        // Measures are written as the codes of MealMaster's table, which read back in one spelling each
        // ("cups" as "cup", "T" and "tb" as "tbsp").
        QTest::newRow("MealMaster: what it cannot hold is reported")
            << store::ExportFormat::MealMaster << "Soups.mmf"
            << QStringList{"Apple Pie: type 1", "Gaps: amount 2, amount 3, type 3, ingredient 2, ingredient 3",
                           "Odd quotes, commas: type 2", "Pie-Tart- which is best- A question for: type 2, type 4, type 8"};
        QTest::newRow("JSON-LD holds everything") << store::ExportFormat::JsonLd << "Soups.json" << QStringList();
    }
    void exportThenImport_givesTheSameRecords()
    {
        QFETCH(store::ExportFormat, format);
        QFETCH(QString, file);
        testing::AppFolder app;
        app.addCategory("Soups");
        app.addCategory("Back");
        // Records that both formats keep exactly, whatever their rows and directions hold; one with an empty
        // row between two, a measure of two words, blanks at the edges of a field; and a broken one.
        app.copyTree(QStringLiteral(LARDERON_TEST_DATA "/export/Soups"), "Category/Soups");
        QStringList names = store::listFiles(app.file("Category/Soups"));
        names.removeOne("Broken");
        const store::ExportReport exported = store::exportCategory("Soups", format, app.file(file));
        QTEST(exported.inexact, "inexact");
        QCOMPARE(exported.unreadable, QStringList{"Broken: Input past end of file"});
        QCOMPARE(exported.exported, int(names.size()));
        QCOMPARE(importAll({app.file(file)}, "Back").imported, int(names.size()));
        for (const QString &name : names) {
            if (exported.inexact.filter(name + u':').isEmpty())
                QCOMPARE(store::loadRecipe("Back", name), store::loadRecipe("Soups", name));
        }
    }

    // A field that begins with U+FEFF comes back whole from JSON-LD: a reader may take the character at the
    // start of a string for a byte-order mark and drop it (found by fuzzing).
    void exportThenImport_keepsAFieldThatBeginsWithU_FEFF()
    {
        testing::AppFolder app;
        app.addCategory("Soups");
        app.addCategory("Back");
        store::RecipeRecord record;
        record.fields[0] = QStringLiteral("1");
        record.fields[10] = QStringLiteral("can");
        record.fields[20] = QStringLiteral(u"\uFEFFTomatoes (28 oz)");
        record.fields[30] = QStringLiteral(u"\uFEFFSimmer.");
        store::saveRecipe("Soups", "Soup", record);
        const store::ExportReport exported = store::exportCategory("Soups", store::ExportFormat::JsonLd, app.file("Soups.json"));
        QCOMPARE(exported.inexact, QStringList());
        QCOMPARE(importAll({app.file("Soups.json")}, "Back").imported, 1);
        QCOMPARE(store::loadRecipe("Back", "Soup"), record);
    }

    void failure_stopsAndKeepsWhatWasSaved_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("category");
        QTest::addColumn<qint64>("fileSizeLimit");
        QTest::addColumn<int>("number");
        QTest::addColumn<RecipeImport::Stage>("stage");
        QTest::addColumn<QStringList>("saved");
        QTest::newRow("a file that is gone")
            << QStringList{"one-column.mmf", "gone.mmf"} << "Soups" << qint64(0) << 53 << RecipeImport::Stage::Reading
            << QStringList{"Soups/Apple Crumble", "Soups/Quick -Best- Bread"};
        QTest::newRow("a folder for a file")
            << QStringList{""} << "Soups" << qint64(0) << 75 << RecipeImport::Stage::Reading << QStringList();
        QTest::newRow("disk full half-way") << QStringList{"bad-and-names.mmf"} << "Soups" << qint64(150) << 61
                                            << RecipeImport::Stage::Saving << QStringList{"Soups/Pie", "Soups/Pie (2)"};
    }
    void failure_stopsAndKeepsWhatWasSaved()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, category);
        QFETCH(qint64, fileSizeLimit);
        testing::AppFolder app;
        app.addCategory("Soups");
        store::appendCategoryLine("Gone");

        // A limit on the size of files the process writes stands for a disk that fills up.
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        if (fileSizeLimit > 0) {
            const rlimit small{rlim_t(fileSizeLimit), old.rlim_max};
            setrlimit(RLIMIT_FSIZE, &small);
        }
        RecipeImport import(fixtures(files), category);
        const int number = testing::failureOf([&import] {
            while (import.run(50)) {
            }
        });
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, previous);

        QTEST(number, "number");
        QTEST(import.stage(), "stage");
        QStringList saved = recipeFiles(app);
        saved.removeOne("category.txt");
        QTEST(saved, "saved");
        // Each file saved is a whole recipe.
        for (const QString &path : std::as_const(saved))
            QCOMPARE(store::loadRecipe(path.section(u'/', 0, 0), path.section(u'/', 1)).ingredient(1).isEmpty(), false);
    }
};

QTEST_GUILESS_MAIN(RecipeImportTest)
#include "recipeimport_test.moc"
