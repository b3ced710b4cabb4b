// Making a category: its line and its folder. Two copies of the program importing at once list each new
// category once; a failure or a kill never leaves a folder without its line; a name the list would read
// back otherwise is refused. The test starts copies of itself that import a file each.

#include "store/appfolder.h"
#include "store/categorylist.h"
#include "store/interchange/recipeimport.h"
#include "tests/support/appfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QThread>

#include <csignal>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray mealMaster(int count, bool capitals)
{
    QByteArray file;
    for (int n = 1; n <= count; ++n) {
        const QByteArray category = (capitals ? "CAT " : "Cat ") + QByteArray::number(n);
        // The two files' recipes differ, so that neither import skips the other's as already there.
        file += "MMMMM----- Recipe via Meal-Master (tm) v8.05\n \n      Title: Stew " + QByteArray::number(n) +
                "\n Categories: " + category + "\n   Servings: 4\n \n      1 c  Water\n \n  " +
                (capitals ? "Simmer." : "Boil.") + "\n \nMMMMM\n \n";
    }
    return file;
}

// Waits for `go` to exist, then imports `file`, each recipe into its own category.
int importWhenGo(const QStringList &args)
{
    store::setApplicationFolder(args[2]);
    QElapsedTimer waited;
    waited.start();
    while (!QFile::exists(args[4]) && waited.elapsed() < 10000)
        QThread::usleep(200);
    store::RecipeImport import({args[3]}, {});
    try {
        while (import.run(50)) {
        }
    } catch (const store::Failure &failure) {
        std::printf("failure %d\n", failure.number());
        return 1;
    }
    std::printf("%d imported\n", import.report().imported);
    return 0;
}

} // namespace

class CategoryMakingTest : public QObject
{
    Q_OBJECT

private slots:
    void twoImportsAtOnce_listEachCategoryOnce()
    {
        testing::AppFolder app;
        app.write("lower.mmf", mealMaster(60, false));
        app.write("upper.mmf", mealMaster(60, true));
        QProcess copies[2];
        const QString go = app.file("go");
        copies[0].start(QCoreApplication::applicationFilePath(), {"import", app.path(), app.file("lower.mmf"), go});
        copies[1].start(QCoreApplication::applicationFilePath(), {"import", app.path(), app.file("upper.mmf"), go});
        QVERIFY(copies[0].waitForStarted() && copies[1].waitForStarted());
        app.write("go", {});
        for (QProcess &copy : copies) {
            QVERIFY(copy.waitForFinished(60000));
            QCOMPARE(copy.readAllStandardOutput(), QByteArray("60 imported\n"));
        }
        const QStringList lines = store::readCategoryLines();
        QCOMPARE(lines.size(), 60);
        QStringList folded;
        for (const QString &line : lines)
            folded.append(line.toCaseFolded());
        folded.removeDuplicates();
        QCOMPARE(folded.size(), 60);
        QCOMPARE(QDir(app.file("Category")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 60);
    }

    // What the failure of each step leaves: the list as it was and no new folder.
    void makeCategory_failureLeavesNoFolderWithoutItsLine_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("number");
        QTest::newRow("the list is read-only") << "read-only" << 75;
        QTest::newRow("the disk is full") << "full" << 61;
        QTest::newRow("a file has the folder's name") << "file" << 58;
    }
    void makeCategory_failureLeavesNoFolderWithoutItsLine()
    {
        QFETCH(QString, fault);
        testing::AppFolder app;
        app.addCategory("Soups");
        const QByteArray list = app.read("Category/category.txt");
        if (fault == u"read-only")
            app.setReadOnly("Category/category.txt");
        if (fault == u"file")
            app.write("Category/Stews", "not a folder");
        // A limit on the size of files the process writes stands for a disk that fills up.
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        if (fault == u"full") {
            const rlimit small{rlim_t(list.size()), old.rlim_max};
            setrlimit(RLIMIT_FSIZE, &small);
        }
        const int number = testing::failureOf([] { store::makeCategory("Stews"); });
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, previous);
        QTEST(number, "number");
        QCOMPARE(app.read("Category/category.txt"), list);
        QCOMPARE(QFileInfo(app.file("Category/Stews")).isDir(), false);
    }

    // A kill between the two steps leaves the line without its folder; making the category again, by an
    // import or on the setup screen, makes the folder and lists it no second time.
    void lineWithoutItsFolder_getsItsFolder_data()
    {
        QTest::addColumn<bool>("byImport");
        QTest::newRow("made again") << false;
        QTest::newRow("imported into") << true;
    }
    void lineWithoutItsFolder_getsItsFolder()
    {
        QFETCH(bool, byImport);
        testing::AppFolder app;
        store::appendCategoryLine("Cat 1");
        if (byImport) {
            app.write("in.mmf", mealMaster(1, true));
            store::RecipeImport import({app.file("in.mmf")}, {});
            while (import.run(50)) {
            }
            QCOMPARE(import.report().imported, 1);
            QVERIFY(app.exists("Category/Cat 1/Stew 1"));
        } else {
            const store::MadeCategory made = store::makeCategory("CAT 1");
            QCOMPARE(made.name, "Cat 1");
            QVERIFY(made.made && !made.listed);
        }
        QCOMPARE(store::readCategoryLines(), QStringList{"Cat 1"});
        QVERIFY(QFileInfo(app.file("Category/Cat 1")).isDir());
    }

    // The list reader drops a byte-order mark only as the first bytes of the file; a category that would
    // begin with one, and so lose it on the first line, is refused.
    void byteOrderMark_onlyAtTheStart_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("a mark first") << QByteArray("\xef\xbb\xbfSoups\r\nStews\r\n") << QStringList{"Soups", "Stews"};
        QTest::newRow("a mark on the second line")
            << QByteArray("Soups\r\n\xef\xbb\xbfStews\r\n") << QStringList{"Soups", u"\uFEFFStews"_s};
    }
    void byteOrderMark_onlyAtTheStart()
    {
        QFETCH(QByteArray, bytes);
        testing::AppFolder app;
        app.write("Category/category.txt", bytes);
        QTEST(store::readCategoryLines(), "lines");
        QCOMPARE(testing::failureOf([] { store::makeCategory(u"\uFEFFPies"_s); }), 52);
        QCOMPARE(app.read("Category/category.txt"), bytes);
        QCOMPARE(app.entries("Category"), QStringList{"category.txt"});
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (const QStringList args = app.arguments(); args.size() == 5 && args[1] == "import")
        return importWhenGo(args);
    CategoryMakingTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "categorymaking_test.moc"
