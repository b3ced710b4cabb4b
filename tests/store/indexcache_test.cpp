// The recipe index kept between runs: taken only when whole, of this version and as new as its folder, and
// never left half-written by a program killed while writing it.

#include "store/appfolder.h"
#include "store/fileops.h"
#include "store/indexcache.h"
#include "store/recipeindex.h"
#include "tests/support/appfolder.h"
#include "tests/support/rows.h"

#include <QRandomGenerator>
#include <QTest>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using store::RecipeIndex;
namespace indexcache = store::indexcache;

namespace {

constexpr RecipeIndex::Fields kAll = RecipeIndex::Names | RecipeIndex::Ingredients | RecipeIndex::Directions;
constexpr qint64 kMinuteAgo = -60'000'000'000;

// The kitchen read once a minute after its last change, so that its caches are written; then Apple Pie is
// rewritten in place, which leaves its folder's time alone: an index read from the cache still finds
// "apples" there, one read from the files "pears".
struct Kept
{
    testing::AppFolder app;
    Kept()
    {
        app.copyTree(QStringLiteral(LARDERON_TEST_DATA "/kitchen"), QStringLiteral("Category"));
        for (const char *folder : {"Desserts", "Soups", "stews"})
            app.setTime(QStringLiteral("Category/") + QLatin1String(folder), kMinuteAgo);
        RecipeIndex first;
        first.refresh();
        const QString pie = QStringLiteral("Category/Desserts/Apple Pie");
        app.write(pie, app.read(pie).replace("apples", "pears"));
    }
    QString cache() const { return indexcache::pathFor(QStringLiteral("Desserts")); }
    // Which fruit an index read now finds in the pie.
    QString pieHolds() const
    {
        RecipeIndex started;
        started.refresh();
        QString fruit;
        for (const char *word : {"apples", "pears"}) {
            if (!started.search(QLatin1String(word), kAll).isEmpty())
                fruit += QLatin1String(fruit.isEmpty() ? "" : "+") + QLatin1String(word);
        }
        return fruit;
    }
    void patch(qint64 at, QByteArray bytes) const
    {
        QFile file(cache());
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.seek(at < 0 ? file.size() + at : at));
        file.write(bytes);
    }
};

store::WordIndex indexOf(int recipes)
{
    store::WordIndex::Builder builder;
    for (int i = 0; i < recipes; ++i) {
        store::scan::SearchedFields fields;
        fields[0] = QStringLiteral("flour %1").arg(i);
        builder.add(QStringLiteral("Loaf %1").arg(i), fields);
    }
    return builder.finish();
}

} // namespace

class IndexCacheTest : public QObject
{
    Q_OBJECT

private slots:
    void read_takesOnlyAWholeCurrentCache_data()
    {
        // the fault; what the index finds in the pie
        testing::addRows({
            "none: the cache is taken; apples",
            "the folder changed since; pears",
            "a byte of what every search reads changed; pears",
            "a byte of the postings changed; pears",
            "the file cut short; pears",
            "another format version; pears",
            "the cache of another folder; pears",
            "no cache; pears",
        });
    }
    void read_takesOnlyAWholeCurrentCache()
    {
        const QString fault = QString::fromUtf8(QTest::currentDataTag()).section(u':', 0, 0);
        const QString found = testing::cells<1>()[0];
        Kept kept;
        if (fault == u"the folder changed since") {
            kept.app.setTime("Category/Desserts", kMinuteAgo / 2);
        } else if (fault == u"a byte of what every search reads changed") {
            kept.patch(120, "\x7f"); // past the header, the folder's name and the postings' checksums
        } else if (fault == u"a byte of the postings changed") {
            kept.patch(-20, "\x7f"); // seen only by the search that reads them: the category is read again then
        } else if (fault == u"the file cut short") {
            QFile::resize(kept.cache(), QFileInfo(kept.cache()).size() - 4);
        } else if (fault == u"another format version") {
            kept.patch(8, QByteArray("\xff\xff\0\0", 4)); // version 65535
        } else if (fault == u"the cache of another folder") {
            QFile::remove(kept.cache());
            QVERIFY(QFile::copy(indexcache::pathFor("Soups"), kept.cache()));
        } else if (fault == u"no cache") {
            QFile::remove(kept.cache());
        }
        QCOMPARE(kept.pieHolds(), found);
        // What was read again is kept again, for the next start.
        QCOMPARE(kept.pieHolds(), found);
        QVERIFY(indexcache::read("Desserts", store::folderModifiedTime(kept.app.file("Category/Desserts"))));
    }

    // Whichever byte of a cache is damaged, the search answers as the recipe files do: the damage shows when
    // the file is taken, or when a search first reads the block that holds it.
    void search_anyByteDamaged_answersAsTheFiles()
    {
        Kept kept;
        QFile file(kept.cache());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray whole = file.readAll();
        file.close();
        RecipeIndex before;
        before.refresh();
        const int unreadable = before.unreadableCount();
        QRandomGenerator random(11);
        for (int run = 0; run < 150; ++run) {
            QByteArray damaged = whole;
            const auto at = qsizetype(run < 64 ? run : random.bounded(int(whole.size()))); // the header, then any
            damaged[at] = char(damaged[at] ^ (1 + random.bounded(255)));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(damaged);
            file.close();
            const QString where = QStringLiteral("byte %1 of %2").arg(at).arg(whole.size());
            QVERIFY2(kept.pieHolds() == u"pears", qPrintable(where));
            RecipeIndex started;
            started.refresh();
            QVERIFY2(started.unreadableCount() == unreadable, qPrintable(where)); // as the header says
        }
    }

    // A change confined to the highest byte of one of the numbers summed shows, whatever its value, as well
    // as any other: a checksum whose sums are mixed only towards the higher bits lets some such changes pass.
    void read_theHighestByteOfANumberChanged_refusesTheCache()
    {
        Kept kept;
        const qint64 modified = store::folderModifiedTime(kept.app.file("Category/Desserts"));
        QVERIFY(indexcache::read("Desserts", modified));
        QFile file(kept.cache());
        QVERIFY(file.open(QIODevice::ReadWrite | QIODevice::Unbuffered));
        // Sixteen numbers of the part every search reads, past the header, the name and the late blocks' sums.
        for (qint64 at = 64 + 16 + 7; at < 64 + 16 + 16 * 8; at += 8) {
            QVERIFY(file.seek(at));
            const char was = file.read(1).at(0);
            for (int change = 1; change < 256; ++change) {
                QVERIFY(file.seek(at));
                QVERIFY(file.putChar(char(was ^ change)));
                QVERIFY2(!indexcache::read("Desserts", modified),
                         qPrintable(QStringLiteral("byte %1 changed by %2").arg(at).arg(change)));
            }
            QVERIFY(file.seek(at));
            QVERIFY(file.putChar(was));
        }
        QVERIFY(indexcache::read("Desserts", modified));
    }

    void cleanWorkFolder_keepsTheCaches()
    {
        Kept kept;
        kept.app.write(".larderon/save-abc123", "left by a save that was killed");
        store::cleanWorkFolder();
        QCOMPARE(kept.app.entries(".larderon").filter(u"save-"), QStringList());
        QCOMPARE(kept.pieHolds(), "apples");
    }

    void write_killedWhileWriting_leavesTheOldCacheOrTheNew()
    {
        testing::AppFolder app;
        const qint64 modified = 1'000'000'000'000'000'000;
        const store::WordIndex small = indexOf(10);
        const store::WordIndex large = indexOf(20000);
        QVERIFY(indexcache::write("Breads", {modified, modified + indexcache::kRacyNs, 0, small}));
        for (int run = 0; run < 60; ++run) {
            const pid_t child = ::fork();
            if (child == 0) {
                for (int i = 0;; ++i)
                    indexcache::write("Breads", {modified, modified + indexcache::kRacyNs, i, i % 2 ? small : large});
            }
            QVERIFY(child > 0);
            ::usleep(useconds_t(QRandomGenerator::global()->bounded(1000, 40000)));
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
            const auto cached = indexcache::read("Breads", modified);
            QVERIFY2(cached, qPrintable(QStringLiteral("run %1").arg(run)));
            QVERIFY(cached->index.size() == 10 || cached->index.size() == 20000);
        }
    }

    // A block that fails its layout is refused, whatever its checksum, and no search of one taken reads
    // outside it.
    void fromBlob_refusesABlockThatDoesNotHold()
    {
        const store::WordIndex whole50 = indexOf(50);
        const std::span<const quint32> whole = whole50.blob();
        QRandomGenerator random(7);
        std::vector<quint8> masks;
        int refused = 0;
        for (int run = 0; run < 2000; ++run) {
            std::vector<quint32> blob(whole.begin(), whole.end());
            blob[random.bounded(quint32(blob.size()))] = random.bounded(2) ? random.generate() : random.bounded(64u);
            if (random.bounded(4) == 0)
                blob.resize(random.bounded(quint32(blob.size())));
            const auto index = store::WordIndex::fromBlob(std::move(blob));
            if (!index) {
                ++refused;
                continue;
            }
            masks.assign(size_t(index->size()), 0);
            for (const char *needle : {"f", "fl", "our", "1", "loaf"})
                QVERIFY(index->find(needle, masks.data()));
        }
        QVERIFY(refused > 200);
    }
};

QTEST_GUILESS_MAIN(IndexCacheTest)
#include "indexcache_test.moc"
