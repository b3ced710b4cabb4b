#include "store/categorylist.h"
#include "store/fileops.h"
#include "store/recipefile.h"
#include "store/recipeimport.h"
#include "tests/support/appfolder.h"

#include <QDirIterator>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using store::Failure;
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

void makeCategories(const testing::AppFolder &app, const QStringList &names)
{
    for (const QString &name : names) {
        app.makeFolder("Category/" + name);
        store::appendCategoryLine(name);
    }
}

RecipeRecord record(const QStringList &rows, const QString &directions, const QStringList &cooking = {})
{
    RecipeRecord r;
    for (int row = 1; row <= rows.size(); ++row) {
        const QStringList parts = rows.at(row - 1).split(u'|');
        r.amount(row) = parts.value(0);
        r.type(row) = parts.value(1);
        r.ingredient(row) = parts.value(2);
    }
    r.directions() = directions;
    for (int i = 0; i < cooking.size(); ++i)
        r.fields.at(31 + i) = cooking.at(i);
    return r;
}

// Records that both formats keep exactly, whatever their rows and directions hold.
QList<QPair<QString, RecipeRecord>> keptRecords()
{
    return {
        {"Apple Pie", record({"2|cups|flour"}, "Mix.", {"350", "4", "0", "45"})},
        {"Odd quotes, commas", record({"1|each|\"large\" egg, beaten", "|Cup|of tea", "2||Large eggs"},
                                      "Line one, \"quoted\".\n\n  Indented, after a blank line.\nBake at 400 F.")},
        {"Pie-Tart- which is best- A question for",
         record({"1|lb|pastry", "2|c|sugar", "1|pinch|salt", "|T|butter", "1 1/2|tbsp|cream", "3||apples",
                 "1|each|lemon", "2|tb|honey", "4|oz|nuts", "||Filling"},
                "Pie/Tart: which is best? A question for a rainy Sunday afternoon\nMore ingredients:\n2 cup sugar\n"
                "a pinch of salt\n\nMix.\n\nOven temperature: 375 F",
                {"425", "8", "1", ""})},
    };
}

} // namespace

class RecipeImportTest : public QObject
{
    Q_OBJECT

private slots:
    void import_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("category");
        QTest::addColumn<QStringList>("saved");
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<QString>("report");
        const QString graph = fixtures({"recipe-graph.html"}).first();
        QTest::newRow("each recipe into its own category, made at the end of the list")
            << QStringList{"one-column.mmf", "two-column.mmf", "recipe-graph.html"} << ""
            << QStringList{"Breads/Quick -Best- Bread",
                           "Desserts/Apple Crumble",
                           "Soups/Borscht",
                           "Soups/Pea & Mint Soup",
                           "Soups/Tomato Soup",
                           "Soups/Tomato Soup (2)",
                           "Soups/pie",
                           "category.txt"}
            << QByteArray("Soups\r\nDesserts\r\nBreads\r\n")
            << "5 recipes imported from 3 files.\n  1 into Desserts (a new category)\n  1 into Breads (a new "
               "category)\n"
               "  3 into Soups\n1 recipe had more than ten ingredients: the others are at the top of the directions, "
               "under \"More ingredients:\".\n2 names were changed:\n  \"Quick \"Best\" Bread\" is \"Quick -Best- "
               "Bread\" "
               "in Breads\n  \"Tomato Soup\" is \"Tomato Soup (2)\" in Soups\n1 recipe could not be read:\n  " +
                   graph + ", line 10: the recipe has no name";
        const QString bad = fixtures({"bad-and-names.mmf"}).first();
        QTest::newRow("one category: names taken in any case, bad recipes skipped, names that do not fit")
            << QStringList{"bad-and-names.mmf"} << "Soups"
            << QStringList{"Soups/Pie (2)",     "Soups/Pie (3)", "Soups/Pie-Tart- which is best- A question for",
                           "Soups/Tomato Soup", "Soups/pie",     "category.txt"}
            << QByteArray("Soups\r\n")
            << "3 recipes imported from 1 file.\n  3 into Soups\n3 names were changed:\n  \"Pie\" is \"Pie (2)\" in "
               "Soups\n"
               "  \"Pie\" is \"Pie (3)\" in Soups\n  \"Pie/Tart: which is best? A question for a rainy Sunday "
               "afternoon\" "
               "is \"Pie-Tart- which is best- A question for\" in Soups\n2 recipes could not be read:\n  " +
                   bad + ", line 7: the next recipe begins before this one's closing line \"MMMMM\"\n  " + bad +
                   ", line 14: the recipe has no title";
    }
    void import()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, category);
        testing::AppFolder app;
        makeCategories(app, {"Soups"});
        const RecipeRecord kept = record({"1|cup|stock"}, "Old.");
        store::saveRecipe("Soups", "Tomato Soup", kept);
        store::saveRecipe("Soups", "pie", kept);

        const store::ImportReport report = importAll(fixtures(files), category);
        QTEST(report.text(), "report");
        QTEST(recipeFiles(app), "saved");
        QTEST(app.read("Category/category.txt"), "list");
        QCOMPARE(store::loadRecipe("Soups", "pie"), kept);
        QCOMPARE(store::loadRecipe("Soups", "Tomato Soup"), kept);
    }

    void exportThenImport_givesTheSameRecords_data()
    {
        QTest::addColumn<store::ExportFormat>("format");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("inexact");
        QTest::newRow("MealMaster: what it cannot hold is reported")
            << store::ExportFormat::MealMaster << "Soups.mmf"
            << QStringList{"Gaps: amount 2, amount 3, type 3, ingredient 2, ingredient 3"};
        QTest::newRow("JSON-LD holds everything") << store::ExportFormat::JsonLd << "Soups.json" << QStringList();
    }
    void exportThenImport_givesTheSameRecords()
    {
        QFETCH(store::ExportFormat, format);
        QFETCH(QString, file);
        testing::AppFolder app;
        makeCategories(app, {"Soups", "Back"});
        auto records = keptRecords();
        // An empty row between two, a measure of two words, blanks at the edges of a field.
        records.append({"Gaps", record({"1|cup|flour", "||", "2|heaping cups| sugar "}, "Mix.")});
        for (const auto &[name, r] : records)
            store::saveRecipe("Soups", name, r);
        app.write("Category/Soups/Broken", "\"1\",\"2\"\r\n");

        const store::ExportReport exported = store::exportCategory("Soups", format, app.file(file));
        QTEST(exported.inexact, "inexact");
        QCOMPARE(exported.unreadable, QStringList{"Broken: Input past end of file"});
        QCOMPARE(exported.exported, int(records.size()));
        QCOMPARE(importAll({app.file(file)}, "Back").imported, int(records.size()));
        for (const auto &[name, r] : records) {
            if (exported.inexact.filter(name + u':').isEmpty())
                QCOMPARE(store::loadRecipe("Back", name), r);
        }
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
        QTest::newRow("the category's folder gone") << QStringList{"two-column.mmf"} << "Gone" << qint64(0) << 76
                                                    << RecipeImport::Stage::Saving << QStringList();
        QTest::newRow("disk full half-way") << QStringList{"bad-and-names.mmf"} << "Soups" << qint64(150) << 61
                                            << RecipeImport::Stage::Saving << QStringList{"Soups/Pie", "Soups/Pie (2)"};
    }
    void failure_stopsAndKeepsWhatWasSaved()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, category);
        QFETCH(qint64, fileSizeLimit);
        testing::AppFolder app;
        makeCategories(app, {"Soups"});
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
