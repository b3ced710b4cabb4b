#include "store/appfolder.h"
#include "store/categorylist.h"
#include "store/fileops.h"
#include "store/io/folderindex.h"
#include "store/io/nameorder.h"
#include "store/io/textfile.h"
#include "store/recipefile.h"
#include "tests/support/appfolder.h"
#include "tests/support/rows.h"

#include <QtTest>

#include <fcntl.h>
#include <functional>
#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace store;
using Operation = std::function<void()>;
Q_DECLARE_METATYPE(Operation)
Q_DECLARE_METATYPE(RecipeRecord)

namespace {

QString at(const QString &relative)
{
    return applicationFolder() + QLatin1Char('/') + relative;
}

void save(const QString &path, TextWriter::Mode mode)
{
    TextWriter writer(path, mode);
    writer.writeLine(QStringLiteral("new"));
    writer.commit();
}

/// A device whose reads and writes fail past `limit` bytes, like a failing drive or a full disk.
class FailingBuffer : public QBuffer
{
public:
    FailingBuffer(qint64 limit, OpenMode mode) : m_limit(limit)
    {
        setData(QByteArray(2 * limit + 10, 'x'));
        open(mode);
    }

protected:
    qint64 readData(char *d, qint64) override { return pos() >= m_limit ? -1 : QBuffer::readData(d, 1); }
    qint64 writeData(const char *d, qint64 n) override { return pos() + n > m_limit ? -1 : QBuffer::writeData(d, n); }

private:
    qint64 m_limit;
};

// Row 1 is 2 cups flour; 350 degrees, serves 4, 0 hours 45 minutes; `field` (1 to 35) may hold `text` instead.
RecipeRecord workedExample(int field = 0, const QString &text = {})
{
    RecipeRecord r;
    const std::pair<int, const char *> values[] = {{1, "2"},    {11, "cups"}, {21, "flour"}, {31, "Mix."},
                                                   {32, "350"}, {33, "4"},    {34, "0"},     {35, "45"}};
    for (const auto &[at, value] : values)
        r.fields.at(at - 1) = QLatin1String(value);
    if (field > 0)
        r.fields.at(field - 1) = text;
    return r;
}

} // namespace

// A row: its name, the failure number (0 for none), what changes in the tree ("+Category/Fish/" added,
// "-Category/Pies/Apple 5" gone, "trash/..." in the trash) and the operation.
#define ROW(name, failure, changes, ...)                                                                               \
    QTest::newRow(QByteArray(name).constData()) << Operation([=] { __VA_ARGS__; }) << (failure) << QStringList changes

class StoreTest : public QObject
{
    Q_OBJECT

private slots:
    void operations_changeTheTreeAsAskedOrFailAndChangeNothing_data()
    {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<int>("failure");
        QTest::addColumn<QStringList>("changes");
        ROW("create a folder", 0, ({"+Category/Fish/"}), createFolder(at("Category/Fish")));
        ROW("create an existing folder", 58, (), createFolder(at("Category/soups")));
        ROW("create Soups beside soups", 58, (), createFolder(categoryFolderPath("Soups")));
        ROW("create in a missing folder", 76, (), createFolder(at("Missing/New")));
        ROW("delete a file", 0, ({"-Category/soups/Broth 5", "+trash/Broth 5"}),
            deleteFile(at("Category/soups/Broth")));
        ROW("delete a missing file", 53, (), deleteFile(at("Category/none")));
        ROW("delete a folder as a file", 75, (), deleteFile(at("Category/Pies")));
        ROW("delete a read-only file", 70, (), deleteFile(at("Category/soups/Stock")));
        ROW("delete a folder", 0,
            ({"-Category/Pies/", "-Category/Pies/Apple 5", "-Category/Pies/Short 122", "+trash/Pies/",
              "+trash/Pies/Apple 5", "+trash/Pies/Short 122"}),
            deleteFolder(at("Category/Pies")));
        ROW("delete a missing folder", 76, (), deleteFolder(at("Category/None")));
        ROW("delete a folder holding a read-only file", 70, (), deleteFolder(at("Category/soups")));
        // A data folder that is a file leaves no place for a trash: the file goes for good.
        ROW("delete without a trash", 0, ({"-Category/Pies/Apple 5"}),
            qputenv("XDG_DATA_HOME", at("Category/category.txt").toLocal8Bit());
            deleteFile(at("Category/Pies/Apple")));
        ROW("move a file", 0, ({"-Category/soups/Broth 5", "+Category/B 5"}),
            moveFile(at("Category/soups/Broth"), at("Category/B")));
        ROW("move a missing file", 53, (), moveFile(at("Category/none"), at("Category/x")));
        ROW("move onto an existing file", 58, (), moveFile(at("Category/category.txt"), at("Category/Pies/Apple")));
        ROW("move into a missing folder", 76, (), moveFile(at("Category/category.txt"), at("Missing/x")));
        ROW("list a missing folder", 76, (), listFiles(at("Missing")));
        ROW("temporary file in a missing folder", 76, (), temporaryFile(at("Missing"), "tmp"));
        ROW("empty a file", 0, ({"-Category/Pies/Apple 5", "+Category/Pies/Apple 0"}),
            createTextFile(at("Category/Pies/Apple")));
        ROW("read a missing file", 53, (), TextReader::open(at("Category/none")));
        ROW("read in a missing folder", 76, (), TextReader::open(at("Missing/none")));
        ROW("read a folder", 75, (), TextReader::open(at("Category")));
        for (const auto mode : {TextWriter::Replace, TextWriter::Append}) {
            const QByteArray how = mode == TextWriter::Replace ? "replace " : "append to ";
            ROW(how + "a read-only file", 75, (), save(at("Category/soups/Stock"), mode));
            ROW(how + "a folder", 75, (), save(at("Category/Pies"), mode));
            ROW(how + "a file in a missing folder", 76, (), save(at("Missing/new"), mode));
        }
        // An import writes new files only: what is there, whatever it is, stays as it is.
        ROW("create a new file", 0, ({"+Category/Pies/New 5"}), save(at("Category/Pies/New"), TextWriter::Create));
        ROW("create over a file", 58, (), save(at("Category/Pies/Apple"), TextWriter::Create));
        ROW("create in a missing folder", 76, (), save(at("Missing/new"), TextWriter::Create));
        ROW("sync a missing folder", 76, (), syncFolder(at("Missing")));
        ROW("read a line past the end", 62, (), TextReader(QString()).readLine());
        ROW("read a field past the end", 62, (), TextReader(QStringLiteral(" \t")).readField());
        ROW("read a device that fails half-way", 75, (), FailingBuffer device(10, QIODevice::ReadOnly);
            TextReader::fromDevice(device));
        ROW("write a device that fails", 61, (), FailingBuffer device(8, QIODevice::WriteOnly);
            TextWriter writer(device); writer.writeLine("1234"); writer.writeLine("5678"));
        ROW("read a missing category list", 53, ({"-Category/category.txt 13"}),
            QFile::remove(at("Category/category.txt"));
            readCategoryLines());
        ROW("read without a Category folder", 76, (), setApplicationFolder(at("Missing")); readCategoryLines());
        ROW("remove from a missing category list", 53, ({"-Category/category.txt 13"}),
            QFile::remove(at("Category/category.txt"));
            removeCategoryLines("Pies"));
        ROW("append without a Category folder", 76, (), setApplicationFolder(at("Missing")); appendCategoryLine("P"));
        ROW("load a record cut short", 62, (), loadRecipe("Pies", "Short"));
        ROW("save a recipe in a missing category", 76, (), saveRecipe("Fish", "Pie", {}));
        ROW("save a recipe without a name", 75, (), saveRecipe("Pies", "", {}));
        ROW("save a recipe in no category", 52, (), saveRecipe("", "Pie", {}));
        // Windows drops a final blank or dot, and keeps the names of its devices in any letter case.
        QStringList badNames{u"."_s,   u".."_s,      u"Pie\x1F"_s,  u" "_s,           u"..."_s,  u"Pie."_s, u"Pie "_s,
                             u"con"_s, u"aux.txt"_s, u"NUL .txt"_s, u"Com1.tar.gz"_s, u"lpt9"_s, u"PRN"_s};
        for (const char c : QByteArray("\\/:*?\"<>|"))
            badNames << u"a%1b"_s.arg(QLatin1Char(c));
        // Every name goes through the same check; each way of building a path meets some of them.
        for (qsizetype i = 0; i < badNames.size(); ++i) {
            const QString name = badNames.at(i);
            const std::array<Operation, 3> builders{[=] { saveRecipe(name, "Pie", {}); },
                                                    [=] { saveRecipe("Pies", name, {}); },
                                                    [=] { shoppingListPath(name); }};
            QTest::addRow("name %s", qPrintable(name)) << builders.at(i % 3) << 52 << QStringList();
        }
        for (const QString &name : {u"  Soups, stews"_s, u".txt"_s, u"Пирог"_s, u"COM0"_s, u"console"_s, u"LPT10"_s})
            ROW(name.toUtf8() + " is a name", 0, (), recipePath(name, name));
    }
    void operations_changeTheTreeAsAskedOrFailAndChangeNothing()
    {
        QFETCH(Operation, operation);
        QFETCH(int, failure);
        QFETCH(QStringList, changes);
        testing::AppFolder app(testing::AppFolder::Empty);
        app.write("Category/category.txt", "soups\r\nPies\r\n");
        for (const char *file : {"Category/soups/Stock", "Category/soups/Broth", "Category/Pies/Apple"})
            app.write(QLatin1String(file), QByteArray(file).right(5));
        app.write("Category/Pies/Short", testing::fixture("recipe/short-record.txt"));
        app.setReadOnly("Category/soups/Stock");
        const auto snapshot = [&app] {
            QStringList entries = app.tree();
            for (const QString &entry : app.tree(app.trashFiles()))
                entries << "trash/" + entry;
            entries.sort();
            return entries;
        };
        QStringList expected = snapshot();
        for (const QString &change : changes) {
            if (change.startsWith('+'))
                expected << change.mid(1);
            else
                expected.removeOne(change.mid(1));
        }
        expected.sort();

        // Nothing may land in the working folder, as Qt's trash does where it cannot make its folder.
        const QString workingFolder = QDir::currentPath();
        QDir::setCurrent(app.path());
        const int failed = testing::failureOf(operation);
        QDir::setCurrent(workingFolder);
        QCOMPARE(failed, failure);
        QCOMPARE(snapshot(), expected);
    }

    void paths_findNamesInAnyLetterCase()
    {
        testing::AppFolder app(testing::AppFolder::Empty);
        app.write("category/CATEGORY.TXT", "");
        app.write("category/soups/Stock", "");
        app.makeFolder("shopping list");
        QCOMPARE(categoryListPath(), app.file("category/CATEGORY.TXT"));
        QCOMPARE(recipePath("SOUPS", "stock"), app.file("category/soups/Stock"));
        // An empty last name gives the folder.
        QCOMPARE(shoppingListPath("Weekly.txt"), app.file("shopping list/Weekly.txt"));
        QCOMPARE(shoppingListPath({}), app.file("shopping list"));
        // The exact spelling wins over one that differs in letter case only.
        app.makeFolder("category/Soups");
        QCOMPARE(categoryFolderPath("soups"), app.file("category/soups"));
        QCOMPARE(categoryFolderPath("Soups"), app.file("category/Soups"));
    }

    void paths_findNamesMadeSinceTheFolderWasRead()
    {
        testing::AppFolder app(testing::AppFolder::Empty);
        app.write("Category/Soups/Stock", "");
        QCOMPARE(recipePath("Soups", "stock"), app.file("Category/Soups/Stock"));
        // Another program adds a name right after the folder was read, so soon that the folder keeps its time.
        struct stat folder;
        ::stat(QFile::encodeName(app.file("Category/Soups")).constData(), &folder);
        app.write("Category/Soups/APPLE", "");
        const timespec times[] = {folder.st_atim, folder.st_mtim};
        ::utimensat(AT_FDCWD, QFile::encodeName(app.file("Category/Soups")).constData(), times, 0);
        QCOMPARE(recipePath("Soups", "apple"), app.file("Category/Soups/APPLE"));
        // Read again once its time has passed, the folder is known.
        QTest::qWait(60);
        QCOMPARE(recipePath("Soups", "apple"), app.file("Category/Soups/APPLE"));
    }

    void paths_lookAtAFolderOnceInABatch()
    {
        testing::AppFolder app(testing::AppFolder::Empty);
        app.write("Category/Pies/apple", "");
        {
            const folderindex::Batch batch;
            QCOMPARE(recipePath("Pies", "APPLE"), app.file("Category/Pies/apple"));
            QFile::rename(app.file("Category/Pies/apple"), app.file("Category/Pies/pear"));
            QCOMPARE(recipePath("Pies", "APPLE"), app.file("Category/Pies/apple"));
        }
        QCOMPARE(recipePath("Pies", "APPLE"), app.file("Category/Pies/APPLE"));
    }

    void listing_givesFilesOnlyInTheOrderAsked_data() { testing::addTable("table/listing.txt"); }
    void listing_givesFilesOnlyInTheOrderAsked()
    {
        const auto cells = testing::cells<2>();
        const QStringList names = cells[0].split('|'), expected = cells[1].split('|');
        testing::AppFolder app(testing::AppFolder::Empty);
        app.makeFolder("Pies/Old");
        for (const QString &name : names)
            app.write("Pies/" + name, "");
        QCOMPARE(listFiles(app.file("Pies"), FileOrder::ByName), expected);
        // Names kept in a list sort the same way; equal ones keep their order.
        const QStringList equal{"zz", "ZZ", "Zz"};
        QStringList list = names + equal;
        sortNames(list);
        QCOMPARE(list, expected + equal);
        QVERIFY(folderExists(app.file("Pies/Old")) && !folderExists(app.file("Pies/" + names.first())));
    }

    // Line ends, encodings and quotes that the recipe fixtures of recipes_saveAndLoad() do not hold.
    void reading_takesEveryLineEndEncodingAndQuote_data() { testing::addTable("table/reading.txt"); }
    void reading_takesEveryLineEndEncodingAndQuote()
    {
        const auto [bytes, lines, fields] = testing::cells<3>();
        testing::AppFolder app(testing::AppFolder::Empty);
        app.write("Category/category.txt", testing::unescape(bytes));
        QCOMPARE(readCategoryLines().join('|'), lines);
        QCOMPARE(readCategoryFields().join('|'), testing::text(fields));
    }

    void categoryList_appendAndRemove_data() { testing::addTable("table/category-list.txt"); }
    void categoryList_appendAndRemove()
    {
        const auto [before, change, removed, after] = testing::cells<4>();
        testing::AppFolder app(testing::AppFolder::Empty);
        app.makeFolder("Category");
        if (before != "<none>")
            app.write("Category/category.txt", testing::unescape(before));
        if (change.startsWith('+'))
            appendCategoryLine(testing::text(change.mid(1)));
        else
            QCOMPARE(removeCategoryLines(change.mid(1)), removed.toInt());
        QCOMPARE(app.read("Category/category.txt"), testing::unescape(after));
        QCOMPARE(app.entries("Category"), QStringList{"category.txt"});
    }

    void recipes_saveAndLoad_data()
    {
        QTest::addColumn<QString>("fixture"); // the file before, in tests/data/recipe; none for a new recipe
        QTest::addColumn<RecipeRecord>("record");
        QTest::addColumn<bool>("written"); // saving the record gives the fixture's bytes
        RecipeRecord legacy;
        legacy.ingredient(1) = u"Crème brûlée"_s;
        legacy.directions() = u"Chef’s way.\nChill."_s;
        QTest::newRow("worked example") << u"worked-example.txt"_s << workedExample() << true;
        QTest::newRow("two-line directions")
            << u"two-line-directions.txt"_s << workedExample(31, "Mix.\nBake.") << true;
        QTest::newRow("every field empty") << u"all-empty.txt"_s << RecipeRecord() << true;
        QTest::newRow("LF line ends") << u"lf-only.txt"_s << workedExample(31, "Mix.\nBake.") << false;
        QTest::newRow("empty file") << u"empty.txt"_s << RecipeRecord() << false;
        QTest::newRow("two records, second wins") << u"two-records.txt"_s << workedExample() << false;
        QTest::newRow("Windows-1252 with CR LF") << u"windows-1252.txt"_s << legacy << false;
        QTest::newRow("blanks, unquoted, text after quotes") << u"loose-fields.txt"_s << workedExample() << false;
        QTest::newRow("commas, line breaks") << QString() << workedExample(31, "Mix, rest.\n\nBake, 1 h.\n") << false;
        QTest::newRow("doubled quotes") << u"doubled-quotes.txt"_s
                                        << workedExample(21, u"\"fresh\" eggs, 2\" long \"\""_s) << true;
        QTest::newRow("blanks around hours") << QString() << workedExample(34, "  1 ") << false;
        QTest::newRow("not Latin-1") << QString() << workedExample(30, u"Пирог with 柚子 €"_s) << false;
    }
    void recipes_saveAndLoad()
    {
        QFETCH(QString, fixture);
        QFETCH(RecipeRecord, record);
        QFETCH(bool, written);
        testing::AppFolder app(testing::AppFolder::Empty);
        app.makeFolder("Category/Desserts, cakes");
        if (!fixture.isEmpty()) {
            app.write("Category/Desserts, cakes/Apple Pie", testing::fixture("recipe/" + fixture));
            QCOMPARE(loadRecipe("desserts, CAKES", "apple pie"), record);
        }
        if (written || fixture.isEmpty()) {
            saveRecipe("desserts, CAKES", "Apple Pie", record);
            QCOMPARE(app.entries("Category/Desserts, cakes"), QStringList{"Apple Pie"});
            QCOMPARE(loadRecipe("Desserts, cakes", "Apple Pie"), record);
        }
        if (written)
            QCOMPARE(app.read("Category/Desserts, cakes/Apple Pie"), testing::fixture("recipe/" + fixture));
    }

    // A record is encoded a slice of 131,072 characters at a time and written out a megabyte at a time:
    // what lies across the edges comes out as if it had been written in one piece.
    void recipes_largeFieldsSaveWhole_data()
    {
        QTest::addColumn<RecipeRecord>("record");
        const QString before = QString(131070, u'a');
        // The first field begins a file, one character after its quote.
        const auto directions = [](const QString &text) {
            RecipeRecord record = workedExample();
            record.fields.front() = text;
            return record;
        };
        QTest::newRow("a surrogate pair across a slice's edge") << directions(before + u"\U0001F600 and more"_s);
        QTest::newRow("a quote at a slice's edge") << directions(before + u"\"\"\" quoted"_s);
        QTest::newRow("a line break at a slice's edge") << directions(before + u"\r\n\nnext"_s);
        QTest::newRow("fields after a full slice") << [&] {
            RecipeRecord record;
            record.ingredient(1) = QString(131071, u'b');
            record.ingredient(2) = u"after"_s;
            return record;
        }();
        QTest::newRow("megabytes of lines, not Latin-1")
            << directions(u"Пирог \"€\" 柚子\n"_s.repeated(200000) + u"\U0001F600"_s);
    }
    void recipes_largeFieldsSaveWhole()
    {
        QFETCH(RecipeRecord, record);
        testing::AppFolder app(testing::AppFolder::Empty);
        app.makeFolder("Category/Soups");
        saveRecipe("Soups", "Long", record);
        QStringList quoted;
        for (QString field : record.toList())
            quoted.append(u'"' + field.replace(u'"', u"\"\""_s).replace(u"\r\n"_s, u"\n"_s).replace(u'\n', u"\r\n"_s) + u'"');
        const QByteArray written = app.read("Category/Soups/Long");
        QCOMPARE(written.size(), (quoted.join(u',') + u"\r\n"_s).toUtf8().size());
        QVERIFY(written == (quoted.join(u',') + u"\r\n"_s).toUtf8());
        for (QString &field : record.fields)
            field.replace(u"\r\n"_s, u"\n"_s); // as a reader gives it
        QCOMPARE(loadRecipe("Soups", "Long"), record);
    }

    void replacing_keepsPermissionsAndWritesNothingUncommitted()
    {
        testing::AppFolder app(testing::AppFolder::Empty);
        const QString list = app.file("Category/category.txt");
        app.write("Category/category.txt", "Soups\r\n");
        QFile::setPermissions(list, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
        const QFile::Permissions permissions = QFile::permissions(list);
        for (const auto mode : {TextWriter::Replace, TextWriter::Append})
            TextWriter(list, mode).writeLine(QStringLiteral("Stews"));
        QCOMPARE(app.tree("Category"), QStringList{"category.txt 7"});
        removeCategoryLines(QStringLiteral("Stews"));
        QCOMPARE(QFile::permissions(list), permissions);
    }
};

QTEST_GUILESS_MAIN(StoreTest)
#include "store_test.moc"
