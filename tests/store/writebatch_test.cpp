// Writing many new files in a row (store/io/writebatch.h): the write lock held for a batch, not per file,
// and let go between an import's slices; folders looked at once a batch, a change meanwhile still failing
// the write that needs the folder and never leaving a sibling where a listing would see it; a new file
// without a name until it is whole.

#include "store/appfolder.h"
#include "store/interchange/recipeimport.h"
#include "store/io/textfile.h"
#include "store/io/writebatch.h"
#include "tests/support/appfolder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

#include <fcntl.h>
#include <functional>
#include <sys/file.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using testing::failureOf;
using Change = std::function<void(const testing::AppFolder &)>;
Q_DECLARE_METATYPE(Change)

namespace {

// Another open of the lock file stands for another copy of the program.
class OtherCopy
{
public:
    explicit OtherCopy(const testing::AppFolder &app)
        : m_fd(::open(QFile::encodeName(app.file(".larderon/lock")).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666))
    {}
    ~OtherCopy() { ::close(m_fd); }
    /// Whether it could take the lock at once (and let it go again).
    bool canLock() const
    {
        if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0)
            return false;
        ::flock(m_fd, LOCK_UN);
        return true;
    }
    void lock() const { ::flock(m_fd, LOCK_EX); }
    void unlock() const { ::flock(m_fd, LOCK_UN); }

private:
    int m_fd;
};

void writeNew(const QString &path, const QString &text)
{
    store::TextWriter writer(path, store::TextWriter::Create, store::Durability::Deferred);
    writer.writeLine(text);
    writer.commit();
}

// `count` MealMaster recipes, all titled `title`.
QByteArray mealMaster(int count, const QString &title)
{
    QByteArray text;
    for (int i = 0; i < count; ++i) {
        text += "MMMMM----- Recipe via Meal-Master (tm) v8.05\r\n      Title: " + title.toLatin1() +
                "\r\n      1 c  Flour\r\n  Bake " + QByteArray::number(i) + ".\r\nMMMMM\r\n\r\n";
    }
    return text;
}

} // namespace

class WriteBatchTest : public QObject
{
    Q_OBJECT

private slots:
    void lock_heldForTheBatchOnly()
    {
        testing::AppFolder app;
        app.addCategory("Soups");
        const OtherCopy other(app);
        QVERIFY(other.canLock());
        {
            const store::WriteBatch batch;
            QVERIFY(!other.canLock());
            writeNew(store::recipePath("Soups", "Pie"), "one");
            QVERIFY(!other.canLock()); // the writer's own lock does not let the batch's go
        }
        QVERIFY(other.canLock());
        // Another copy holding the lock keeps a batch from starting, as it keeps a single save.
        other.lock();
        QElapsedTimer waited;
        waited.start();
        QCOMPARE(failureOf([] { const store::WriteBatch batch(100); }), 75);
        QVERIFY(waited.elapsed() >= 100);
        other.unlock();
    }

    // Between two writes of one batch something changes the folders the batch has looked at.
    // A copy that takes the write lock slice after slice, as an import does, gives another copy that waits a
    // turn, rather than taking the lock back at once until the other gives up.
    void lock_takenSliceAfterSlice_givesAWaitingCopyATurn()
    {
        testing::AppFolder app;
        QProcess slices;
        slices.start(QCoreApplication::applicationFilePath(), {"slices", app.path()});
        QVERIFY(slices.waitForStarted());
        QVERIFY(QDir().mkpath(app.file(".larderon")));
        const OtherCopy other(app);
        while (other.canLock() && slices.state() == QProcess::Running) // until the other copy has the lock
            ::usleep(1000);
        int failure = 0;
        for (int turn = 0; turn < 4 && failure == 0; ++turn)
            failure = failureOf([] { const store::WriteBatch batch; });
        slices.kill();
        slices.waitForFinished();
        QCOMPARE(failure, 0);
    }

    void changeWithinBatch_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<int>("number"); ///< of the second write's failure
        QTest::addColumn<QStringList>("soups");
        QTest::newRow("nothing") << Change([](const testing::AppFolder &) {}) << 0 << QStringList{"Pie", "Tart"};
        QTest::newRow("the category's folder removed")
            << Change([](const testing::AppFolder &a) { QDir(a.file("Category/Soups")).removeRecursively(); }) << 76
            << QStringList();
        QTest::newRow("the work folder removed")
            << Change([](const testing::AppFolder &a) { QDir(a.file(".larderon")).removeRecursively(); }) << 0
            << QStringList{"Pie", "Tart"};
        QTest::newRow("the category's folder replaced by a file")
            << Change([](const testing::AppFolder &a) {
                   QDir(a.file("Category/Soups")).removeRecursively();
                   a.write("Category/Soups", "not a folder");
               })
            << 76 << QStringList();
    }
    void changeWithinBatch()
    {
        QFETCH(Change, change);
        QFETCH(int, number);
        QFETCH(QStringList, soups);
        testing::AppFolder app;
        app.addCategory("Soups");
        {
            const store::WriteBatch batch;
            writeNew(store::recipePath("Soups", "Pie"), "one");
            change(app);
            QCOMPARE(failureOf([] { writeNew(store::recipePath("Soups", "Tart"), "two"); }), number);
        }
        QCOMPARE(app.entries("Category/Soups"), soups);
        // No sibling is left anywhere, least of all beside the recipes.
        const QStringList work = app.entries(".larderon");
        QVERIFY2(work.isEmpty() || work == QStringList{"lock"}, qPrintable(work.join(u',')));
    }

    // A new file is written without a name: while it is written nothing shows in its folder or in the work
    // folder, and one never committed leaves nothing behind, as a killed program would not.
    void newFile_hasNoNameUntilCommitted_data()
    {
        QTest::addColumn<bool>("commit");
        QTest::newRow("committed") << true;
        QTest::newRow("given up") << false;
    }
    void newFile_hasNoNameUntilCommitted()
    {
        QFETCH(bool, commit);
        testing::AppFolder app;
        app.addCategory("Soups");
        {
            store::TextWriter writer(store::recipePath("Soups", "Pie"), store::TextWriter::Create,
                                     store::Durability::Deferred);
            writer.writeLine("one");
            QCOMPARE(app.entries("Category/Soups"), QStringList());
            QCOMPARE(app.entries(".larderon"), QStringList{"lock"});
            if (commit)
                writer.commit();
        }
        QCOMPARE(app.entries("Category/Soups"), commit ? QStringList{"Pie"} : QStringList());
        QCOMPARE(app.read("Category/Soups/Pie"), commit ? QByteArray("one\r\n") : QByteArray());
        QCOMPARE(app.entries(".larderon"), QStringList{"lock"});
        // A name taken meanwhile is not replaced.
        app.write("Category/Soups/Tart", "theirs");
        QCOMPARE(failureOf([] { writeNew(store::recipePath("Soups", "Tart"), "ours"); }), 58);
        QCOMPARE(app.read("Category/Soups/Tart"), QByteArray("theirs"));
    }

    void import_letsTheLockGoBetweenSlices()
    {
        testing::AppFolder app;
        app.addCategory("Soups");
        app.write("source.mmf", mealMaster(300, "Pie"));
        const OtherCopy other(app);
        store::RecipeImport import({app.file("source.mmf")}, "Soups");
        int slices = 0;
        bool made = false;
        while (import.run(1)) {
            ++slices;
            QVERIFY(other.canLock());
            // Another copy, between two slices, saves a recipe of the name the import would give next.
            if (!made && QDir(app.file("Category/Soups")).count() > 5) {
                const int next = int(QDir(app.file("Category/Soups")).entryList(QDir::Files).size()) + 1;
                other.lock();
                app.write(u"Category/Soups/Pie (%1)"_s.arg(next), "theirs");
                other.unlock();
                made = true;
            }
        }
        QVERIFY(slices > 1);
        QVERIFY(made);
        QCOMPARE(import.report().imported, 300);
        // Their recipe stays, and the import's recipes all found names of their own.
        QCOMPARE(QDir(app.file("Category/Soups")).entryList(QDir::Files).size(), 301);
        QVERIFY(app.read("Category/Soups/Pie (301)").startsWith("\"")); // one more name was taken
    }

    // The file is read on a thread of its own, some recipes ahead of the saving: many recipes fill that
    // lead again and again, large ones hold much memory in it; each is saved once.
    void import_savesEveryRecipeOnce_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("lines"); ///< of each recipe's directions, 80 characters each
        QTest::newRow("many small recipes") << 3000 << 1;
        QTest::newRow("large recipes") << 40 << 4000;
    }
    void import_savesEveryRecipeOnce()
    {
        QFETCH(int, count);
        QFETCH(int, lines);
        testing::AppFolder app;
        app.addCategory("Soups");
        const QByteArray line = QByteArray(78, 'x') + "\r\n";
        QByteArray text;
        for (int i = 0; i < count; ++i) {
            text += "MMMMM----- Recipe via Meal-Master (tm) v8.05\r\n      Title: Pie " + QByteArray::number(i) +
                    "\r\n      1 c  Flour\r\n" + line.repeated(lines - 1) + "  Bake " + QByteArray::number(i) +
                    ".\r\nMMMMM\r\n\r\n";
        }
        app.write("source.mmf", text);
        store::RecipeImport import({app.file("source.mmf")}, "Soups");
        QElapsedTimer waited;
        waited.start();
        while (import.run(40))
            QVERIFY2(waited.elapsed() < 120000, "the import stands still");
        QCOMPARE(import.report().imported, count);
        QCOMPARE(QDir(app.file("Category/Soups")).entryList(QDir::Files).size(), count);
        for (int i = 0; i < count; ++i)
            QVERIFY(app.read(u"Category/Soups/Pie %1"_s.arg(i)).contains("Bake " + QByteArray::number(i) + "."));
    }

    void import_waitsForAnotherCopyAndFailsWithoutAFile()
    {
        testing::AppFolder app;
        app.addCategory("Soups");
        app.write("source.mmf", mealMaster(3, "Pie"));
        const OtherCopy other(app);
        other.lock();
        store::RecipeImport import({app.file("source.mmf")}, "Soups");
        const int number = failureOf([&import] {
            while (import.run(50)) {
            }
        });
        other.unlock();
        QCOMPARE(number, 75);
        QCOMPARE(app.entries("Category/Soups"), QStringList());
    }
};

// `writebatch_test slices <application folder>`: another copy that takes the write lock for 20 ms at a time,
// again and again, for ten seconds.
int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    if (const QStringList args = application.arguments(); args.size() == 3 && args[1] == "slices") {
        store::setApplicationFolder(args[2]);
        for (QElapsedTimer running; !running.isValid() || running.elapsed() < 10000;) {
            if (!running.isValid())
                running.start();
            try {
                const store::WriteBatch batch;
                ::usleep(20000);
            } catch (const store::Failure &) {
            }
        }
        return 0;
    }
    WriteBatchTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "writebatch_test.moc"
