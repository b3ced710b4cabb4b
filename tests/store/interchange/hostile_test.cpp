// Hostile and unlucky files, made here (the large ones are never checked in): each import ends soon, with
// a clear report, and never freezes the thread it runs on. Export never replaces Larderon's own files, and
// its report names the recipes that would not come back the same.

#include "store/categorylist.h"
#include "store/fileops.h"
#include "store/interchange/recipeimport.h"
#include "store/recipefile.h"
#include "tests/support/slowerbuild.h"
#include "tests/support/appfolder.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>

using store::RecipeRecord;

namespace {

// Twice the time in the sanitizer build, which reads a file several times slower; bench/hostile.sh prints
// what each import takes there.
constexpr int kSlowerBuild = testing::kSanitized ? 2 : 1;

QByteArray masterCook(const QByteArray &recipes)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<mx2 source=\"MasterCook\">\n" + recipes + "</mx2>\n";
}

QByteArray closedRecipe(const QByteArray &name, const QByteArray &inside)
{
    return "<RcpE name=\"" + name + "\"><IngR name=\"water\" unit=\"cup\" qty=\"1\"/>" + inside + "</RcpE>\n";
}

// `text` inside `depth` elements `tag`.
QByteArray nested(const QByteArray &tag, int depth, const QByteArray &text)
{
    return QByteArray("<" + tag + ">").repeated(depth) + text + QByteArray("</" + tag + ">").repeated(depth);
}

QByteArray mealMaster(const QByteArray &title, const QByteArray &category)
{
    return "MMMMM----- Recipe via Meal-Master (tm) v8.05\n \n      Title: " + title + "\n Categories: " + category +
           "\n   Servings: 4\n \n      1 c  Flour\n \n  Mix.\n \nMMMMM\n \n";
}

struct Imported
{
    store::ImportReport report;
    qint64 longestSlice = 0;
};

Imported importFile(const QString &path, const QString &category = {})
{
    store::RecipeImport import({path}, category);
    Imported result;
    for (bool more = true; more;) {
        QElapsedTimer slice;
        slice.start();
        more = import.run(20);
        result.longestSlice = std::max(result.longestSlice, slice.elapsed());
    }
    result.report = import.report();
    return result;
}

QString problem(const store::ImportReport &report, qsizetype index)
{
    if (report.problems.isEmpty())
        return {};
    const store::ImportReport::Problem &p = report.problems.at(index < 0 ? report.problems.size() - 1 : index);
    return QStringLiteral("%1: %2").arg(p.line).arg(p.reason);
}

} // namespace

class HostileTest : public QObject
{
    Q_OBJECT

private slots:
    void hostileFile_endsSoonWithAClearReport_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("saved"); // "category/name" of the first recipe saved, and its directions
        QTest::addColumn<int>("problems");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        const QString open = QStringLiteral("the recipe has no closing </RcpE>");
        QTest::newRow("MasterCook directions nested 100,000 deep")
            << masterCook(closedRecipe("Deep", "<DirS><DirT>" + nested("b", 100000, "Stir well.") + "</DirT></DirS>"))
            << "Imported/Deep: Stir well." << 0 << "" << "";
        QTest::newRow("MasterCook categories nested 100,000 deep")
            << masterCook(closedRecipe("Deep", "<CatS><CatT>" + nested("i", 100000, "Stews") + "</CatT></CatS>"))
            << "Stews/Deep: " << 0 << "" << "";
        QTest::newRow("40,000 MasterCook recipes that never close, then one that does")
            << masterCook(QByteArray("<RcpE name=\"Open\">\n").repeated(40000) + closedRecipe("After", ""))
            << "Imported/After: " << 40000 << "3: " + open << "40002: " + open;
        QTest::newRow("100,000 MasterCook recipes nested, never closed")
            << masterCook(QByteArray("<RcpE name=\"Open\"><DirS>\n").repeated(100000)) << "" << 100000
            << "3: " + open << "100002: " + open;
        // Each "@type" of the 500 would be followed to the end of the long text.
        QTest::newRow("4 MB of JSON-LD with 500 lists of types nested")
            << "{\"@type\":\"Recipe\",\"name\":\"Deep\",\"recipeInstructions\":\"Stir well.\",\"x\":" +
                   QByteArray("{\"@type\":[\"Thing\",").repeated(500) + '"' + QByteArray(4 << 20, 'a') + '"' +
                   QByteArray("]}").repeated(500) + "}"
            << "Imported/Deep: Stir well." << 0 << "" << "";
        // Microdata: each open element, item or text of a property would be looked through again.
        const QByteArray recipe =
            "<html><div itemscope itemtype=\"http://schema.org/Recipe\"><b itemprop=name>Deep</b>";
        QTest::newRow("microdata directions nested 100,000 deep")
            << recipe + "<div itemprop=recipeInstructions>" + nested("i", 100000, "Stir well.") + "</div></div>"
            << "Imported/Deep: Stir well." << 0 << "" << "";
        QTest::newRow("microdata: 100,000 steps nested as items, never closed")
            << recipe + QByteArray("<div itemprop=recipeInstructions itemscope><p itemprop=text>Stir.").repeated(100000)
            << "Imported/Deep: Stir." << 0 << "" << "";
        QTest::newRow("microdata: 100,000 properties nested in one, never closed")
            << recipe + QByteArray("<span itemprop=keywords>quick ").repeated(100000) + "</div>"
            << "Imported/Deep: " << 0 << "" << "";
        QTest::newRow("microdata: 200,000 end tags that close nothing, 1000 deep")
            << recipe + QByteArray("<div>").repeated(1000) + "<p itemprop=recipeInstructions>Stir well." +
                   QByteArray("</span>").repeated(200000)
            << "Imported/Deep: Stir well." << 0 << "" << "";
        QTest::newRow("a page of 500,000 tags without recipe data")
            << "<html>" + QByteArray("<div class=x><li>1 cup flour</li><p>Stir.</div>").repeated(500000 / 4) << "" << 1
            << "0: no recipe data in this page" << "";
        QTest::newRow("a JSON-LD file over 64 MB")
            << "{" + QByteArray(65 << 20, ' ') + "}" << "" << 1
            << "1: the file is too large to be read (more than 64 MB)" << "";
    }
    void hostileFile_endsSoonWithAClearReport()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, problems);
        testing::AppFolder app;
        app.write("hostile", bytes);
        bytes.clear();
        QElapsedTimer timer;
        timer.start();
        const Imported imported = importFile(app.file("hostile"));
        // The figure bench/hostile.sh takes the medians of.
        qInfo("import: %lld ms, longest slice %lld ms", timer.elapsed(), imported.longestSlice);
        // Loose bounds that a busy machine keeps: a quadratic reading takes tens of seconds, a crash never
        // ends; the benchmark holds the figures.
        QVERIFY2(timer.elapsed() < 5000 * kSlowerBuild, qPrintable(QString::number(timer.elapsed())));
        QVERIFY2(imported.longestSlice < 1000, qPrintable(QString::number(imported.longestSlice)));
        QCOMPARE(imported.report.problems.size(), problems);
        QTEST(problem(imported.report, 0), "first");
        if (problems > 1)
            QTEST(problem(imported.report, -1), "last");
        QFETCH(QString, saved);
        QCOMPARE(imported.report.imported, saved.isEmpty() ? 0 : 1);
        if (!saved.isEmpty()) {
            const QString path = saved.section(QStringLiteral(": "), 0, 0);
            const RecipeRecord record = store::loadRecipe(path.section(u'/', 0, 0), path.section(u'/', 1));
            QCOMPARE(record.directions(), saved.section(QStringLiteral(": "), 1));
        }
    }

    // A category name made from an import is never the list's file, the work folder, "." or "..", and
    // never begins with a character the list would take for a byte-order mark.
    void categoryThatCannotBe_isRenamedAndTheImportGoesOn_data()
    {
        QTest::addColumn<QString>("asRead");
        QTest::addColumn<QString>("name");
        QTest::newRow("the list's file") << "category.txt" << "category-txt";
        QTest::newRow("the list's file in capitals") << "Category.TXT" << "Category-TXT";
        QTest::newRow("the work folder") << ".larderon" << "-larderon";
        QTest::newRow("the work folder in capitals") << ".LarDeron" << "-LarDeron";
        QTest::newRow("dot") << "." << "-";
        QTest::newRow("dot dot") << ".." << "--";
        QTest::newRow("a zero-width no-break space first") << QString(QChar(0xFEFF)) + "Stews" << "Stews";
    }
    void categoryThatCannotBe_isRenamedAndTheImportGoesOn()
    {
        QFETCH(QString, asRead);
        QFETCH(QString, name);
        testing::AppFolder app;
        app.write("in.mmf", mealMaster("First", asRead.toUtf8()) + mealMaster("Second", "Soups"));
        const store::ImportReport report = importFile(app.file("in.mmf")).report;
        QCOMPARE(report.imported, 2);
        QCOMPARE(store::readCategoryLines(), (QStringList{name, "Soups"}));
        QVERIFY(app.exists("Category/" + name + "/First"));
        QVERIFY(app.exists("Category/Soups/Second"));
        QVERIFY2(report.text().contains(QStringLiteral("\"%1\" is \"%2\"").arg(asRead.trimmed(), name)),
                 qPrintable(report.text()));
    }

    void export_refusesLarderonsOwnFiles_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("link"); // the target is a link outside to this file
        QTest::newRow("the category list") << "Category/category.txt" << false;
        QTest::newRow("a recipe of the category") << "Category/Soups/Pie" << false;
        QTest::newRow("a recipe in another letter case") << "category/SOUPS/pie" << false;
        QTest::newRow("a new file in the Category folder") << "Category/Soups.json" << false;
        QTest::newRow("a shopping list") << "Shopping List/Weekly.txt" << false;
        QTest::newRow("the work folder") << ".larderon/export.json" << false;
        QTest::newRow("a link to a recipe") << "Category/Soups/Pie" << true;
    }
    void export_refusesLarderonsOwnFiles()
    {
        QFETCH(QString, target);
        QFETCH(bool, link);
        testing::AppFolder app;
        app.addCategory("Soups");
        store::saveRecipe("Soups", "Pie", testing::recipe({"1|c|flour"}, "Bake."));
        app.write("Shopping List/Weekly.txt", "eggs\r\n");
        app.makeFolder(".larderon");
        QString path = app.file(target);
        if (link) {
            QVERIFY(QFile::link(path, app.file("out.mmf")));
            path = app.file("out.mmf");
        }
        const QStringList tree = app.tree();
        const QByteArray list = app.read("Category/category.txt");
        const QByteArray pie = app.read("Category/Soups/Pie");
        const store::ExportReport report = store::exportCategory("Soups", store::ExportFormat::MealMaster, path);
        QCOMPARE(report.exported, 0);
        QVERIFY2(report.text().startsWith(QStringLiteral("Nothing was exported: ") + path), qPrintable(report.text()));
        QCOMPARE(app.tree(), tree);
        QCOMPARE(app.read("Category/category.txt"), list);
        QCOMPARE(app.read("Category/Soups/Pie"), pie);
        QCOMPARE(app.read("Shopping List/Weekly.txt"), QByteArray("eggs\r\n"));
    }

    // A JSON-LD export keeps a recipe exactly unless its cooking boxes hold more than digits or an ingredient
    // holds a tab or a line break; the report names those and what differs, and claims nothing more.
    void jsonLdExport_namesTheRecipesItCannotKeep_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QStringList>("cooking"); // temperature, serving size, hours, minutes
        QTest::addColumn<QString>("differs");
        QTest::newRow("digits only") << QStringList{"1|c|flour"} << QStringList{"350", "4", "1", "30"} << "";
        QTest::newRow("letters in the oven box") << QStringList{"1|c|flour"} << QStringList{"hot", "4", "", ""}
                                                 << "directions, oven temperature";
        QTest::newRow("letters in the serving box") << QStringList{"1|c|flour"} << QStringList{"", "four", "", ""}
                                                    << "directions, serving size";
        QTest::newRow("letters in the time boxes") << QStringList{"1|c|flour"} << QStringList{"", "", "one", "ten"}
                                                   << "directions, hours, minutes";
        QTest::newRow("a tab in an ingredient") << QStringList{"1|c|flour\tsifted"} << QStringList() << "ingredient 1";
        QTest::newRow("a line break in an ingredient")
            << QStringList{"1|c|flour\nsifted"} << QStringList() << "ingredient 1";
    }
    void jsonLdExport_namesTheRecipesItCannotKeep()
    {
        QFETCH(QStringList, rows);
        QFETCH(QStringList, cooking);
        QFETCH(QString, differs);
        testing::AppFolder app;
        app.addCategory("Soups");
        app.addCategory("Back");
        const RecipeRecord record = testing::recipe(rows, "Stir.", cooking);
        store::saveRecipe("Soups", "Pie", record);
        const store::ExportReport report =
            store::exportCategory("Soups", store::ExportFormat::JsonLd, app.file("out.json"));
        QCOMPARE(report.inexact, differs.isEmpty() ? QStringList() : QStringList{"Pie: " + differs});
        QCOMPARE(importFile(app.file("out.json"), "Back").report.imported, 1);
        QCOMPARE(store::loadRecipe("Back", "Pie") == record, differs.isEmpty());
        if (!differs.isEmpty()) {
            QCOMPARE(report.text().section(u'\n', 1, 1),
                     QStringLiteral("1 recipe would not come back the same from this file; what would differ:"));
        }
    }
};

QTEST_GUILESS_MAIN(HostileTest)
#include "hostile_test.moc"
