#include "store/interchange/appjson.h"
#include "store/interchange/cooklang.h"
#include "store/interchange/mapping.h"
#include "store/interchange/reader.h"
#include "store/interchange/recipeimport.h"
#include "store/recipedraft.h"
#include "store/recipefile.h"
#include "store/recipepicture.h"
#include "tests/support/appfolder.h"
#include "tests/support/recordtext.h"
#include "tests/support/slowerbuild.h"
#include "tests/support/zipmaker.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTest>

using namespace store::interchange;
using testing::ZipItem;

Q_DECLARE_METATYPE(store::interchange::Format)
Q_DECLARE_METATYPE(QList<testing::ZipItem>)

namespace {

const QString kData = QStringLiteral(LARDERON_TEST_DATA "/apps/");

// Paprika's export: a zip of each recipe's JSON, gzip-compressed, named <recipe>.paprikarecipe.
QByteArray paprikaExport()
{
    QList<ZipItem> items;
    for (const ZipItem &item : testing::folderItems("apps/paprika"))
        items.append({item.name.chopped(5) + ".paprikarecipe", testing::gzip(item.bytes)});
    return testing::makeZip(items);
}

// Tandoor's export: a zip of a zip per recipe, each holding recipe.json and its image.
QByteArray tandoorExport()
{
    QList<ZipItem> items;
    for (const QString &folder : QDir(kData + "tandoor").entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        items.append({folder + ".zip", testing::makeZip(testing::folderItems("apps/tandoor/" + folder))});
    return testing::makeZip(items);
}

// Recipe Keeper's export: recipes.html and the images folder beside it.
QByteArray recipeKeeperExport()
{
    return testing::makeZip({{"recipes.html", testing::fixture("apps/recipekeeper/recipes.html")},
                             {"images/7f3a1c_0.jpg", testing::fixture("apps/picture.jpg")}});
}

// A page of Recipe Keeper's kind with one recipe, `attributes` on its block.
QByteArray keeperPage(const char *name, const char *attributes = "", const char *photo = "")
{
    return QByteArray("<html><body><div class=\"recipe-details\" ") + attributes + "><h2 itemprop=\"name\">" + name +
           "</h2><div itemprop=\"recipeIngredients\"><p>1 egg</p></div><div itemprop=\"recipeDirections\">"
           "<p>Boil.</p></div><img itemprop=\"photo\" src=\"" +
           photo + "\"></div></body></html>";
}

QString pictureKind(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return "no picture";
    if (bytes.startsWith("\x89PNG"))
        return QStringLiteral("PNG of %1 bytes").arg(bytes.size());
    if (bytes.startsWith("\xFF\xD8\xFF"))
        return QStringLiteral("JPEG of %1 bytes").arg(bytes.size());
    return QStringLiteral("%1 bytes of no image").arg(bytes.size());
}

// A recipe read as it would be saved: its name, category, rows, cooking boxes, directions and picture.
QString describe(const ReadItem &item)
{
    if (!item.problem.isEmpty())
        return QStringLiteral("%1: %2").arg(item.line).arg(item.problem);
    const MappedRecipe m = toRecord(item.recipe);
    return QStringLiteral("%1 [%2] %3 # %4 # %5\n%6\n")
        .arg(m.name, m.category, testing::filledRows(m.record), testing::cookingBoxes(m.record), pictureKind(m.picture),
             m.record.directions());
}

QString readAll(std::unique_ptr<RecipeReader> reader)
{
    QString recipes;
    while (const std::optional<ReadItem> item = reader->next())
        recipes += describe(*item) + u'\n';
    return recipes;
}

std::unique_ptr<RecipeReader> fileReader(const QString &path)
{
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly))
        qFatal("%s cannot be opened", qPrintable(path));
    return makeReader(std::move(file));
}

} // namespace

class AppsTest : public QObject
{
    Q_OBJECT

private slots:
    // What each export gives is in tests/data/apps/<export>.expected.
    void read_data()
    {
        QTest::addColumn<QString>("expected");
        QTest::addColumn<std::function<std::unique_ptr<RecipeReader>()>>("reader");
        QTest::newRow("Paprika export") << "paprika" << std::function([] { return makeReader(paprikaExport()); });
        QTest::newRow("one Paprika recipe, gzip-compressed")
            << "paprika-one"
            << std::function([] { return makeReader(testing::gzip(testing::fixture("apps/paprika/Borscht.json"))); });
        QTest::newRow("Nextcloud Cookbook export zip")
            << "nextcloud"
            << std::function([] { return makeReader(testing::makeZip(testing::folderItems("apps/nextcloud"))); });
        QTest::newRow("Nextcloud recipe.json with full.jpg beside it")
            << "nextcloud-one" << std::function([] { return fileReader(kData + "nextcloud/Pea Soup/recipe.json"); });
        QTest::newRow("Mealie export") << "mealie" << std::function([] {
            return makeReader(testing::makeZip(testing::folderItems("apps/mealie")));
        });
        QTest::newRow("Tandoor export, a zip of zips")
            << "tandoor" << std::function([] { return makeReader(tandoorExport()); });
        QTest::newRow("Recipe Keeper export")
            << "recipekeeper" << std::function([] { return makeReader(recipeKeeperExport()); });
        QTest::newRow("Cooklang file") << "cooklang"
                                       << std::function([] { return fileReader(kData + "cooklang/Pancakes.cook"); });
    }
    void read()
    {
        QFETCH(QString, expected);
        QFETCH(std::function<std::unique_ptr<RecipeReader>()>, reader);
        QCOMPARE(readAll(reader()), QString::fromUtf8(testing::fixture("apps/" + expected + ".expected")));
    }

    // The note and the source are where the recipe window finds them, the picture where it keeps one.
    void import_keepsPicturesNotesAndSources()
    {
        testing::AppFolder app;
        app.write("Borscht.paprikarecipes", paprikaExport());
        store::RecipeImport import({app.file("Borscht.paprikarecipes"), kData + "nextcloud"}, QString());
        while (import.run(50)) {
        }
        QCOMPARE(import.report().imported, 4);
        QCOMPARE(import.report().pictures, 2);
        QVERIFY2(import.report().text().contains("2 pictures were kept with the recipes."),
                 qPrintable(import.report().text()));
        QCOMPARE(app.read("Pictures/Soups/Borscht.png"), testing::fixture("apps/picture.png"));
        QCOMPARE(app.read("Pictures/Soups/Pea Soup.jpg"), testing::fixture("apps/picture.jpg"));
        QCOMPARE(store::picturePath("Desserts", "Lemon Bars"), QString());
        QCOMPARE(store::picturePath("Imported", "Lemon Bars"), QString());

        const store::RecipeDraft borscht = store::draftOf(store::loadRecipe("Soups", "Borscht"));
        // The recipe window's note holds the note, then the lines without a box of their own.
        QVERIFY2(borscht.note.startsWith("Better the next day.\nFreezes well.\nDescription: A deep red soup"),
                 qPrintable(borscht.note));
        QVERIFY(borscht.note.endsWith("Rating: 4 of 5\nYield: 6 bowls\nCategories: Winter, Vegetarian"));
        QCOMPARE(borscht.source, "Grandmother's notebook https://example.org/borscht");
        QCOMPARE(borscht.directions, "Simmer the stock and beets for 40 minutes.\nAdd the onion and vinegar.\n\n"
                                     "Serve with sour cream.");
    }

    void hostileArchive_data()
    {
        QTest::addColumn<QByteArray>("archive");
        QTest::addColumn<QString>("report");
        QTest::addColumn<int>("imported");
        const QByteArray borscht = testing::gzip(testing::fixture("apps/paprika/Borscht.json"));
        QByteArray huge = testing::makeZip({{"Huge.paprikarecipe", borscht}});
        // The unpacked size in the local header and the central directory says 1 GB.
        for (const QByteArray &header : {QByteArray("PK\x03\x04"), QByteArray("PK\x01\x02")}) {
            const qsizetype at = huge.indexOf(header) + (header.endsWith('\x04') ? 22 : 24);
            huge.replace(at, 4, QByteArray("\x00\x00\x00\x40", 4));
        }
        QTest::newRow("an entry of 1 GB declared") << huge << "Huge.paprikarecipe: it unpacks to more than 32 MB" << 0;
        QTest::newRow("a name that leads out, beside a good recipe")
            << testing::makeZip({{"../../Category/Evil.paprikarecipe", borscht}, {"Borscht.paprikarecipe", borscht}})
            << "../../Category/Evil.paprikarecipe: its name leads out of the archive's folder; it was left out" << 1;
        QTest::newRow("a damaged zip")
            << QByteArray("PK\x03\x04 this is not really a zip archive at all")
            << "the zip archive cannot be read: it is no zip archive that can be read (Not a "
               "zip archive)"
            << 0;
        QTest::newRow("gzip that is cut short")
            << testing::makeZip({{"Borscht.paprikarecipe", borscht.left(borscht.size() / 2)}})
            << "Borscht.paprikarecipe: the gzip data is cut short" << 0;
        QTest::newRow("an archive of something else") << testing::makeZip({{"notes.txt", "shopping"}})
                                                      << "no recipes of Paprika, Nextcloud Cookbook, Mealie, Tandoor "
                                                         "or Recipe Keeper were found in this archive"
                                                      << 0;
    }
    // A hostile archive is reported in words, and nothing but the good recipe is written.
    void hostileArchive()
    {
        QFETCH(QByteArray, archive);
        QFETCH(QString, report);
        QFETCH(int, imported);
        testing::AppFolder app;
        app.write("export.paprikarecipes", archive);
        const QStringList before = app.tree();
        store::RecipeImport import({app.file("export.paprikarecipes")}, QString());
        while (import.run(50)) {
        }
        QCOMPARE(import.report().imported, imported);
        QCOMPARE(import.report().problems.size(), 1);
        QCOMPARE(import.report().problems.first().reason, report);
        QStringList added = app.tree();
        for (const QString &entry : before)
            added.removeOne(entry);
        const QStringList written = imported == 0
                                        ? QStringList{}
                                        : QStringList{"Category/Soups/", "Category/Soups/Borscht 610", "Pictures/",
                                                      "Pictures/Soups/", "Pictures/Soups/Borscht.png 83"};
        added.removeOne(QStringLiteral("Category/category.txt 7"));
        QCOMPARE(added, written);
    }

    // A picture over 8 MB is left out, and a line says so; the recipe comes in.
    void largePicture_leftOutWithALine()
    {
        QByteArray huge = testing::fixture("apps/picture.jpg");
        huge.append(QByteArray(9 * 1024 * 1024, '\0'));
        const QByteArray archive =
            testing::makeZip({{"Pea Soup/recipe.json", testing::fixture("apps/nextcloud/Pea Soup/recipe.json")},
                              {"Pea Soup/full.jpg", huge}});
        const std::optional<ReadItem> item = makeReader(archive)->next();
        QVERIFY(item && item->problem.isEmpty());
        QVERIFY(item->recipe.picture.isEmpty());
        QVERIFY(item->recipe.notes.contains("Picture: left out, it unpacks to more than 8 MB"));
    }

    // Recipe Keeper's exports in their shapes: each recipe read once, its picture found beside its page.
    void recipeKeeper_data()
    {
        QTest::addColumn<QList<ZipItem>>("archive");
        QTest::addColumn<QString>("read"); // each recipe's name and picture, or its problem
        const QByteArray jpeg = testing::fixture("apps/picture.jpg");
        QTest::newRow("recipes.html with a page per recipe beside it")
            << QList<ZipItem>{{"RecipeKeeper/recipes.html", keeperPage("Tea", "", "images/tea.jpg")},
                              {"RecipeKeeper/Tea.html", keeperPage("Tea", "", "images/tea.jpg")},
                              {"RecipeKeeper/images/tea.jpg", jpeg}}
            << "Tea: JPEG of 285 bytes";
        QTest::newRow("a page per recipe, in a folder")
            << QList<ZipItem>{{"export/Tea.html", keeperPage("Tea", "", "images/tea.jpg")},
                              {"export/Toast.html", keeperPage("Toast")},
                              {"export/images/tea.jpg", jpeg}}
            << "Tea: JPEG of 285 bytes\nToast: no picture";
        QTest::newRow("a block that says itemscope too")
            << QList<ZipItem>{{"recipes.html", keeperPage("Tea", "itemscope itemtype=\"http://schema.org/Recipe\"")}}
            << "Tea: no picture";
        QTest::newRow("a picture's name in another letter case, with a blank written as %20")
            << QList<ZipItem>{{"recipes.html", keeperPage("Tea", "", "Images/Green%20Tea.JPG")},
                              {"images/green tea.jpg", jpeg}}
            << "Tea: JPEG of 285 bytes";
        QTest::newRow("a picture that leads out of the archive")
            << QList<ZipItem>{{"recipes.html", keeperPage("Tea", "", "../../images/tea.jpg")}, {"images/tea.jpg", jpeg}}
            << "Tea: no picture, Picture: left out, ../../images/tea.jpg is not in the archive";
        QTest::newRow("a picture that is missing")
            << QList<ZipItem>{{"recipes.html", keeperPage("Tea", "", "images/tea.jpg")}}
            << "Tea: no picture, Picture: left out, images/tea.jpg is not in the archive";
        QTest::newRow("a page without recipes")
            << QList<ZipItem>{{"index.html", "<html><body><p>My recipes</p></body></html>"},
                              {"Tea.html", keeperPage("Tea")}}
            << "index.html: no recipe data in this page\nTea: no picture";
        QTest::newRow("a recipe without a name")
            << QList<ZipItem>{{"recipes.html", keeperPage("")}} << "recipes.html: the recipe has no name";
    }
    void recipeKeeper()
    {
        QFETCH(QList<ZipItem>, archive);
        const auto reader = makeReader(testing::makeZip(archive));
        QStringList read;
        while (const std::optional<ReadItem> item = reader->next()) {
            if (!item->problem.isEmpty()) {
                read.append(item->problem);
                continue;
            }
            QString line = item->recipe.title + QStringLiteral(": ") + pictureKind(item->recipe.picture);
            for (const QString &note : item->recipe.notes)
                line += QStringLiteral(", ") + note;
            read.append(line);
        }
        QTEST(read.join(u'\n'), "read");
    }

    // Many recipes that name one large picture: it is unpacked once, and each recipe keeps it.
    void recipeKeeper_onePictureForManyRecipes_isReadOnce()
    {
        constexpr int kRecipes = 2000;
        QByteArray page;
        for (int i = 0; i < kRecipes; ++i)
            page += keeperPage("Tea", "", "images/big.jpg");
        QByteArray big = testing::fixture("apps/picture.jpg");
        big.append(QByteArray(kPictureLimit - big.size(), '\0'));
        const auto reader = makeReader(testing::makeZip({{"recipes.html", page}, {"images/big.jpg", big}}));
        QElapsedTimer timer;
        timer.start();
        int pictures = 0;
        while (const std::optional<ReadItem> item = reader->next())
            pictures += item->recipe.picture == big ? 1 : 0;
        QCOMPARE(pictures, kRecipes);
        QVERIFY2(timer.elapsed() < 5000 * (testing::kSanitized ? 3 : 1), qPrintable(QString::number(timer.elapsed())));
    }

    void detect_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<Format>("format");
        QTest::newRow("zip") << testing::makeZip({{"a.json", "{}"}}) << Format::Zip;
        QTest::newRow("empty zip") << QByteArray("PK\x05\x06", 4) << Format::Zip;
        QTest::newRow("gzip") << testing::gzip("{}") << Format::Gzip;
        QTest::newRow("Cooklang metadata") << QByteArray(">> servings: 2\nBoil @water.") << Format::Cooklang;
        QTest::newRow("Cooklang ingredient") << QByteArray("Add @olive oil{2%tbsp}.") << Format::Cooklang;
        QTest::newRow("a MealMaster recipe with braces stays MealMaster")
            << QByteArray("MMMMM----- Recipe via Meal-Master\n Title: X\nMix @dough{1}.\nMMMMM") << Format::MealMaster;
        QTest::newRow("an e-mail address is no ingredient") << QByteArray("Ask me@example.org") << Format::MealMaster;
        QTest::newRow("JSON") << QByteArray("{\"name\": \"x\"}") << Format::JsonLd;
    }
    void detect()
    {
        QFETCH(QByteArray, head);
        QTEST(detectFormat(head), "format");
    }

    // Metadata that names nothing (found by fuzzing: it crashed the reader) keeps its value as a line.
    void cooklang_metadataWithoutAName()
    {
        const auto item = store::interchange::makeCooklangReader(QStringLiteral(">> : picnic\n>>:\nBoil @water."),
                                                                 QStringLiteral("Tea"))
                              ->next();
        QVERIFY(item && item->problem.isEmpty());
        QCOMPARE(item->recipe.notes, QStringList{QStringLiteral("picnic")});
    }

    void timeText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("time"); // hours|minutes, or "-" for none
        QTest::newRow("hours and minutes") << "1 hr 10 mins"
                                           << "1|10";
        QTest::newRow("words") << "2 hours and 5 minutes"
                               << "2|5";
        QTest::newRow("run together") << "1h30m"
                                      << "1|30";
        QTest::newRow("minutes alone") << "45 minutes"
                                       << "|45";
        QTest::newRow("ISO 8601") << "PT0H25M0S"
                                  << "0|25";
        QTest::newRow("a range is no time") << "4 mins. to 8 mins."
                                            << "-";
        QTest::newRow("words after") << "20 min plus chilling"
                                     << "-";
        QTest::newRow("a number alone") << "45"
                                        << "-";
        QTest::newRow("hours twice") << "1 h 2 h"
                                     << "-";
    }
    void timeText()
    {
        QFETCH(QString, text);
        const std::optional<Duration> time = parseTimeText(text);
        QTEST(time ? time->hours + u'|' + time->minutes : QStringLiteral("-"), "time");
    }
};

QTEST_GUILESS_MAIN(AppsTest)
#include "apps_test.moc"
