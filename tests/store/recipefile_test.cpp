#include "store/appfolder.h"
#include "store/failure.h"
#include "store/fileops.h"
#include "store/recipefile.h"
#include "store/textfile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using store::Failure;
using store::RecipeRecord;

class RecipeFileTest : public QObject
{
    Q_OBJECT

private slots:
    void workedExample_writesOneLine();

private:
    static RecipeRecord workedExample()
    {
        RecipeRecord r;
        r.amount(1) = QStringLiteral("2");
        r.type(1) = QStringLiteral("cups");
        r.ingredient(1) = QStringLiteral("flour");
        r.directions() = QStringLiteral("Mix.");
        r.temperature() = QStringLiteral("350");
        r.servingSize() = QStringLiteral("4");
        r.hours() = QStringLiteral("0");
        r.minutes() = QStringLiteral("45");
        return r;
    }
};

void RecipeFileTest::workedExample_writesOneLine()
{
    QTemporaryDir app;
    store::setApplicationFolder(app.path());
    QDir(app.path()).mkpath(QStringLiteral("Category/Desserts"));
    store::saveRecipe(QStringLiteral("Desserts"), QStringLiteral("Apple Pie"), workedExample());

    QFile file(app.path() + QStringLiteral("/Category/Desserts/Apple Pie"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("\"2\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"cups\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\","
                                        "\"flour\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"Mix.\",\"350\",\"4\",\"0\",\"45\"\r\n"));
    QCOMPARE(store::loadRecipe(QStringLiteral("desserts"), QStringLiteral("apple pie")), workedExample());
}

QTEST_GUILESS_MAIN(RecipeFileTest)
#include "recipefile_test.moc"
