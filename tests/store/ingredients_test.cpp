#include "store/ingredients.h"
#include "store/interchange/mapping.h"
#include "store/recipefile.h"
#include "store/units.h"
#include "tests/support/appfolder.h"
#include "tests/support/rows.h"

#include <QTest>

namespace {

store::Units unitsNamed(const QString &name)
{
    if (name == u"metric")
        return store::Units::Metric;
    return name == u"US" ? store::Units::US : store::Units::AsWritten;
}

QString joined(const store::ShownAmount &shown)
{
    return QStringList{shown.amount, shown.measure}.join(u' ').trimmed();
}

} // namespace

class IngredientsTest : public QObject
{
    Q_OBJECT

private slots:
    void unitSpellings_data() { testing::addTable("table/units.txt"); }
    void unitSpellings()
    {
        const auto [spelling, unit] = testing::cells<2>();
        const store::Unit *found = store::findUnit(spelling);
        QCOMPARE(found ? QString::fromUtf8(found->name) : QStringLiteral("-"), unit);
    }

    // Every row against a published figure: US customary and imperial definitions, and USDA portion weights.
    void conversion_data() { testing::addTable("table/conversions.txt"); }
    void conversion()
    {
        const auto [amount, from, to, ingredient, expected] = testing::cells<5>();
        const std::optional<double> value =
            store::convert(*store::parseAmount(amount), *store::findUnit(from), *store::findUnit(to), ingredient);
        if (expected == u"-") {
            QVERIFY2(!value, qPrintable(QString::number(value.value_or(0))));
            return;
        }
        QVERIFY(value);
        QVERIFY2(qAbs(*value / expected.toDouble() - 1) < 0.005, qPrintable(QString::number(*value)));
    }

    void temperature_data() { testing::addTable("table/temperatures.txt"); }
    void temperature()
    {
        const auto [fahrenheit, celsius, mark] = testing::cells<3>();
        QCOMPARE(store::toCelsius(fahrenheit.toDouble()), celsius.toInt());
        QCOMPARE(store::gasMark(fahrenheit.toDouble()), mark);
        // Back from Celsius lands within one step of 5 of where it started; a mark gives its own degrees.
        QVERIFY(qAbs(store::toFahrenheit(celsius.toDouble()) - fahrenheit.toInt()) <= 5);
        if (!mark.isEmpty() && fahrenheit.toInt() % 25 == 0)
            QCOMPARE(store::fahrenheitOfGasMark(*store::parseAmount(mark)), fahrenheit.toInt());
    }

    // Scaling and rounding: what the recipe window and the shopping list write.
    void showing_data() { testing::addTable("table/showing.txt"); }
    void showing()
    {
        const auto [amount, measure, ingredient, times, units, shown] = testing::cells<6>();
        const store::IngredientLine line = store::readIngredient(amount, measure, ingredient);
        QVERIFY(line.quantity);
        QCOMPARE(joined(store::showLine(line, times.toDouble(), unitsNamed(units))), shown);
    }

    void showing_asWrittenUnscaled_keepsEveryCharacter()
    {
        for (const QStringList &row :
             {QStringList{"0.75", "l", "oil"}, {"1 1/2", "Tbsp.", "sugar"}, {"2-3", "", "eggs"}}) {
            const store::IngredientLine line = store::readIngredient(row[0], row[1], row[2]);
            QCOMPARE(store::showLine(line, 1, store::Units::AsWritten), (store::ShownAmount{row[0], row[1]}));
        }
        const store::IngredientLine pinch = store::readIngredient("a pinch", "", "nutmeg");
        QCOMPARE(store::showLine(pinch, 3, store::Units::Metric), (store::ShownAmount{"a pinch", ""}));
    }

    void lines_data() { testing::addTable("table/ingredient-lines.txt"); }
    void lines()
    {
        const auto [written, amount, measure, text] = testing::cells<4>();
        const store::IngredientLine line = store::readIngredientLine(written);
        QCOMPARE(QStringList({line.amount, line.measure, line.text}), QStringList({amount, measure, text}));
        QCOMPARE(bool(line.quantity), !amount.isEmpty());
        QCOMPARE(bool(line.unit), !measure.isEmpty());
    }

    void readIngredient_measureLeftInTheText()
    {
        const store::IngredientLine line = store::readIngredient("3", "", "tablespoons soy sauce");
        QCOMPARE(line.measure, "tablespoons");
        QCOMPARE(line.text, "soy sauce");
        QCOMPARE(QString::fromUtf8(line.unit->name), "tbsp");
        // Only after an amount: without one a word is the ingredient's ("large" is a measure after "2").
        QCOMPARE(store::readIngredient("", "", "large eggs").text, "large eggs");
        QCOMPARE(store::readIngredient("some", "", "cups of tea").measure, "");
    }

    // Where the lines under "More ingredients:" are found, and where not.
    void moreIngredients_data()
    {
        QTest::addColumn<QString>("directions");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("lineCount");
        QTest::newRow("at the top") << "More ingredients:\n1 cup milk\n2 eggs\n\nMix."
                                    << QStringList{"1 cup milk", "2 eggs"} << 3;
        QTest::newRow("below the title") << "A Long Title\nMore ingredients:\nsalt\n\nBake." << QStringList{"salt"}
                                         << 3;
        QTest::newRow("windows line ends")
            << "More ingredients:\r\n1 cup milk\r\n\r\nMix." << QStringList{"1 cup milk"} << 2;
        QTest::newRow("to the end") << "More ingredients:\n1 cup milk" << QStringList{"1 cup milk"} << 2;
        QTest::newRow("further down: directions") << "Mix.\nStir.\nMore ingredients:\nsalt" << QStringList{} << 0;
        QTest::newRow("heading with more on its line") << "More ingredients: none\nsalt" << QStringList{} << 0;
        QTest::newRow("none") << "Mix." << QStringList{} << 0;
    }
    void moreIngredients()
    {
        QFETCH(QString, directions);
        QFETCH(QStringList, lines);
        QFETCH(int, lineCount);
        const store::TextSpan span = store::moreIngredients(directions);
        QStringList found;
        if (!span.isEmpty())
            found = directions.mid(span.start, span.end - span.start).split(u'\n');
        for (QString &line : found)
            line.remove(u'\r');
        QCOMPARE(found, lines);
        QCOMPARE(store::moreIngredientsLineCount(directions), lineCount);
    }

    // A recipe of 14 ingredients as the import writes it reads back as its 14 ingredients, in order.
    void ingredientsOf_importedFourteenRows()
    {
        store::interchange::Recipe recipe;
        recipe.title = "Fourteen";
        for (int i = 1; i <= 14; ++i)
            recipe.ingredients.append({QString::number(i), i % 2 ? "cups" : "", QStringLiteral("thing %1").arg(i)});
        recipe.directions = "Mix everything.";
        const store::RecipeRecord record = store::interchange::toRecord(recipe).record;

        const QList<store::IngredientLine> lines = store::ingredientsOf(record);
        QCOMPARE(lines.size(), 14);
        for (int i = 1; i <= 14; ++i) {
            const store::IngredientLine &line = lines.at(i - 1);
            QCOMPARE(QStringList({line.amount, line.measure, line.text}),
                     QStringList({QString::number(i), i % 2 ? "cups" : "", QStringLiteral("thing %1").arg(i)}));
        }
    }
};

QTEST_GUILESS_MAIN(IngredientsTest)
#include "ingredients_test.moc"
