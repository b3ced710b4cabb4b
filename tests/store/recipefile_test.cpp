#include "store/recipefile.h"

#include "tests/store/storetest.h"

using store::Failure;
using store::RecipeRecord;

Q_DECLARE_METATYPE(RecipeRecord)

namespace {

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
    void save_writesExactBytes_data();
    void save_writesExactBytes();
    void load_readsFixture_data();
    void load_readsFixture();
    void saveThenLoad_roundTrip_data();
    void saveThenLoad_roundTrip();
    void saveTwice_keepsOneFileWithSecondContent();
    void loadShortRecord_failsWith62();
    void save_failures_data();
    void save_failures();
};

void RecipeFileTest::save_writesExactBytes_data()
{
    QTest::addColumn<RecipeRecord>("record");
    QTest::addColumn<QString>("fixture");
    QTest::newRow("worked example") << workedExample() << QStringLiteral("recipe/worked-example.txt");
    QTest::newRow("two-line directions")
        << workedExample(QStringLiteral("Mix.\nBake.")) << QStringLiteral("recipe/two-line-directions.txt");
    QTest::newRow("every field empty") << RecipeRecord() << QStringLiteral("recipe/all-empty.txt");
}

void RecipeFileTest::save_writesExactBytes()
{
    QFETCH(RecipeRecord, record);
    QFETCH(QString, fixture);
    storetest::AppFolder app;
    QDir(app.path()).mkpath(QStringLiteral("Category/Desserts"));
    store::saveRecipe(QStringLiteral("Desserts"), QStringLiteral("Apple Pie"), record);
    QCOMPARE(storetest::readBytes(app.path(QStringLiteral("Category/Desserts/Apple Pie"))),
             storetest::fixture(fixture));
}

void RecipeFileTest::load_readsFixture_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<RecipeRecord>("expected");
    RecipeRecord legacy;
    legacy.ingredient(1) = QStringLiteral(u"Crème brûlée");
    legacy.directions() = QStringLiteral(u"Chef’s way.\nChill.");
    QTest::newRow("worked example") << QStringLiteral("recipe/worked-example.txt") << workedExample();
    QTest::newRow("two-line directions")
        << QStringLiteral("recipe/two-line-directions.txt") << workedExample(QStringLiteral("Mix.\nBake."));
    QTest::newRow("LF line ends") << QStringLiteral("recipe/lf-only.txt") << workedExample(QStringLiteral("Mix.\nBake."));
    QTest::newRow("every field empty") << QStringLiteral("recipe/all-empty.txt") << RecipeRecord();
    QTest::newRow("empty file") << QStringLiteral("recipe/empty.txt") << RecipeRecord();
    QTest::newRow("two records, second wins") << QStringLiteral("recipe/two-records.txt") << workedExample();
    QTest::newRow("Windows-1252 with CR LF") << QStringLiteral("recipe/windows-1252.txt") << legacy;
    QTest::newRow("blanks, unquoted fields, text after quotes")
        << QStringLiteral("recipe/loose-fields.txt") << workedExample();
}

void RecipeFileTest::load_readsFixture()
{
    QFETCH(QString, fixture);
    storetest::AppFolder app;
    storetest::writeBytes(app.path(QStringLiteral("Category/Desserts/Apple Pie")), storetest::fixture(fixture));
    QTEST(store::loadRecipe(QStringLiteral("Desserts"), QStringLiteral("Apple Pie")), "expected");
}

void RecipeFileTest::saveThenLoad_roundTrip_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::newRow("commas in a type") << 11 << QStringLiteral("cups, heaped");
    QTest::newRow("commas and line breaks in directions") << 31 << QStringLiteral("Mix, then rest.\n\nBake, 1 hour.\n");
    QTest::newRow("double quotes in an ingredient") << 21 << QStringLiteral("\"fresh\" eggs, 2\" long \"\"");
    QTest::newRow("blanks around hours") << 34 << QStringLiteral("  1 ");
    QTest::newRow("not Latin-1") << 21 << QStringLiteral(u"Пирог with 柚子 €");
}

void RecipeFileTest::saveThenLoad_roundTrip()
{
    QFETCH(int, field);
    QFETCH(QString, text);
    storetest::AppFolder app;
    QDir(app.path()).mkpath(QStringLiteral("Category/Soups, stews"));
    RecipeRecord record = workedExample();
    record.fields.at(field - 1) = text;
    store::saveRecipe(QStringLiteral("Soups, stews"), QStringLiteral("Pie"), record);
    QCOMPARE(store::loadRecipe(QStringLiteral("Soups, stews"), QStringLiteral("Pie")), record);
}

void RecipeFileTest::saveTwice_keepsOneFileWithSecondContent()
{
    storetest::AppFolder app;
    QDir(app.path()).mkpath(QStringLiteral("Category/Desserts"));
    store::saveRecipe(QStringLiteral("Desserts"), QStringLiteral("Apple Pie"), RecipeRecord());
    store::saveRecipe(QStringLiteral("desserts"), QStringLiteral("apple pie"), workedExample());
    QCOMPARE(QDir(app.path(QStringLiteral("Category/Desserts"))).entryList(QDir::Files), QStringList{"Apple Pie"});
    QCOMPARE(storetest::readBytes(app.path(QStringLiteral("Category/Desserts/Apple Pie"))),
             storetest::fixture(QStringLiteral("recipe/worked-example.txt")));
}

void RecipeFileTest::loadShortRecord_failsWith62()
{
    storetest::AppFolder app;
    storetest::writeBytes(app.path(QStringLiteral("Category/Desserts/Short")),
                          storetest::fixture(QStringLiteral("recipe/short-record.txt")));
    STORE_VERIFY_FAILURE(store::loadRecipe(QStringLiteral("Desserts"), QStringLiteral("Short")),
                         Failure::InputPastEndOfFile);
}

void RecipeFileTest::save_failures_data()
{
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("number");
    const int bad = Failure::BadFileName;
    const QString desserts = QStringLiteral("Desserts");
    QTest::newRow("slash in name") << desserts << QStringLiteral("../../Pie") << bad;
    QTest::newRow("backslash in name") << desserts << QStringLiteral("..\\Pie") << bad;
    QTest::newRow("name ..") << desserts << QStringLiteral("..") << bad;
    QTest::newRow("colon in name") << desserts << QStringLiteral("C:Pie") << bad;
    QTest::newRow("control character in name") << desserts << QStringLiteral("Pie\tTwo") << bad;
    QTest::newRow("category ..") << QStringLiteral("..") << QStringLiteral("Pie") << bad;
    QTest::newRow("category with slash") << QStringLiteral("Desserts/x") << QStringLiteral("Pie") << bad;
    QTest::newRow("empty category") << QString() << QStringLiteral("Pie") << bad;
    QTest::newRow("empty name") << desserts << QString() << int(Failure::PathFileAccessError);
    QTest::newRow("missing category folder") << QStringLiteral("Soups") << QStringLiteral("Pie")
                                             << int(Failure::PathNotFound);
}

void RecipeFileTest::save_failures()
{
    QFETCH(QString, category);
    QFETCH(QString, name);
    QFETCH(int, number);
    storetest::AppFolder app;
    QDir(app.path()).mkpath(QStringLiteral("Category/Desserts/x"));
    const QStringList before = storetest::tree(app.root());
    STORE_VERIFY_FAILURE(store::saveRecipe(category, name, workedExample()), number);
    QCOMPARE(storetest::tree(app.root()), before);
}

QTEST_GUILESS_MAIN(RecipeFileTest)
#include "recipefile_test.moc"
