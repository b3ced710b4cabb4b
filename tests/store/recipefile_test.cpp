#include "store/recipefile.h"
#include "tests/store/storetest.h"

using store::Failure;
using store::RecipeRecord;
using storetest::failureOf;

Q_DECLARE_METATYPE(RecipeRecord)

namespace {

// Row 1 is 2 cups flour; 350 degrees, serves 4, 0 hours 45 minutes.
RecipeRecord workedExample(const QString &directions = QStringLiteral("Mix."))
{
    RecipeRecord r;
    r.amount(1) = QStringLiteral("2");
    r.type(1) = QStringLiteral("cups");
    r.ingredient(1) = QStringLiteral("flour");
    r.directions() = directions;
    r.temperature() = QStringLiteral("350");
    r.servingSize() = QStringLiteral("4");
    r.hours() = QStringLiteral("0");
    r.minutes() = QStringLiteral("45");
    return r;
}

} // namespace

class RecipeFileTest : public QObject
{
    Q_OBJECT

private slots:
    void save_writesExactBytes_data()
    {
        QTest::addColumn<RecipeRecord>("record");
        QTest::addColumn<QString>("fixture");
        QTest::newRow("worked example") << workedExample() << "recipe/worked-example.txt";
        QTest::newRow("two-line directions") << workedExample("Mix.\nBake.") << "recipe/two-line-directions.txt";
        QTest::newRow("every field empty") << RecipeRecord() << "recipe/all-empty.txt";
    }
    void save_writesExactBytes()
    {
        QFETCH(RecipeRecord, record);
        QFETCH(QString, fixture);
        storetest::AppFolder app;
        QDir(app.path()).mkpath("Category/Desserts");
        store::saveRecipe("Desserts", "Apple Pie", record);
        QCOMPARE(storetest::readBytes(app.path("Category/Desserts/Apple Pie")), storetest::fixture(fixture));
    }

    void load_readsFixture_data()
    {
        QTest::addColumn<QString>("fixture");
        QTest::addColumn<RecipeRecord>("expected");
        RecipeRecord legacy;
        legacy.ingredient(1) = QStringLiteral(u"Crème brûlée");
        legacy.directions() = QStringLiteral(u"Chef’s way.\nChill.");
        QTest::newRow("worked example") << "recipe/worked-example.txt" << workedExample();
        QTest::newRow("two-line directions") << "recipe/two-line-directions.txt" << workedExample("Mix.\nBake.");
        QTest::newRow("LF line ends") << "recipe/lf-only.txt" << workedExample("Mix.\nBake.");
        QTest::newRow("every field empty") << "recipe/all-empty.txt" << RecipeRecord();
        QTest::newRow("empty file") << "recipe/empty.txt" << RecipeRecord();
        QTest::newRow("two records, second wins") << "recipe/two-records.txt" << workedExample();
        QTest::newRow("Windows-1252 with CR LF") << "recipe/windows-1252.txt" << legacy;
        QTest::newRow("blanks, unquoted fields, text after quotes") << "recipe/loose-fields.txt" << workedExample();
    }
    void load_readsFixture()
    {
        QFETCH(QString, fixture);
        storetest::AppFolder app;
        storetest::writeBytes(app.path("Category/Desserts/Apple Pie"), storetest::fixture(fixture));
        QTEST(store::loadRecipe("desserts", "apple pie"), "expected");
    }

    void saveThenLoad_roundTrip_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::newRow("commas in a type") << 11 << QStringLiteral("cups, heaped");
        QTest::newRow("commas and line breaks") << 31 << QStringLiteral("Mix, then rest.\n\nBake, 1 hour.\n");
        QTest::newRow("double quotes") << 21 << QStringLiteral("\"fresh\" eggs, 2\" long \"\"");
        QTest::newRow("blanks around hours") << 34 << QStringLiteral("  1 ");
        QTest::newRow("not Latin-1") << 30 << QStringLiteral(u"Пирог with 柚子 €");
    }
    void saveThenLoad_roundTrip()
    {
        QFETCH(int, field);
        QFETCH(QString, text);
        storetest::AppFolder app;
        QDir(app.path()).mkpath("Category/Soups, stews");
        RecipeRecord record = workedExample();
        record.fields.at(field - 1) = text;
        store::saveRecipe("Soups, stews", "Pie", record);
        QCOMPARE(store::loadRecipe("Soups, stews", "Pie"), record);
    }

    void saveTwice_keepsOneFileWithSecondContent()
    {
        storetest::AppFolder app;
        QDir(app.path()).mkpath("Category/Desserts");
        store::saveRecipe("Desserts", "Apple Pie", RecipeRecord());
        store::saveRecipe("desserts", "apple pie", workedExample());
        QCOMPARE(QDir(app.path("Category/Desserts")).entryList(QDir::Files), QStringList{"Apple Pie"});
        QCOMPARE(storetest::readBytes(app.path("Category/Desserts/Apple Pie")),
                 storetest::fixture("recipe/worked-example.txt"));
    }

    void loadShortRecord_failsWith62()
    {
        storetest::AppFolder app;
        storetest::writeBytes(app.path("Category/Desserts/Short"), storetest::fixture("recipe/short-record.txt"));
        QCOMPARE(failureOf([] { store::loadRecipe("Desserts", "Short"); }), Failure::InputPastEndOfFile);
    }

    void save_failsAndWritesNothing_data()
    {
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("number");
        const QString desserts = QStringLiteral("Desserts");
        QTest::newRow("slash in name") << desserts << "../../Pie" << 52;
        QTest::newRow("backslash in name") << desserts << "..\\Pie" << 52;
        QTest::newRow("name ..") << desserts << ".." << 52;
        QTest::newRow("colon in name") << desserts << "C:Pie" << 52;
        QTest::newRow("control character in name") << desserts << "Pie\x1F" << 52;
        QTest::newRow("category ..") << ".."
                                     << "Pie" << 52;
        QTest::newRow("category with slash") << "Desserts/x"
                                             << "Pie" << 52;
        QTest::newRow("empty category") << ""
                                        << "Pie" << 52;
        QTest::newRow("empty name names the folder") << desserts << "" << 75;
        QTest::newRow("missing category folder") << "Soups"
                                                 << "Pie" << 76;
    }
    void save_failsAndWritesNothing()
    {
        QFETCH(QString, category);
        QFETCH(QString, name);
        storetest::AppFolder app;
        QDir(app.path()).mkpath("Category/Desserts/x");
        const QStringList before = storetest::tree(app.root());
        QTEST(failureOf([&] { store::saveRecipe(category, name, workedExample()); }), "number");
        QCOMPARE(storetest::tree(app.root()), before);
    }
};

QTEST_GUILESS_MAIN(RecipeFileTest)
#include "recipefile_test.moc"
