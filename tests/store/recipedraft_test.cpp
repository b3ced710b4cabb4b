#include "store/appfolder.h"
#include "store/fileops.h"
#include "store/recipedraft.h"
#include "store/recipefile.h"
#include "store/recipepicture.h"
#include "tests/support/appfolder.h"

#include <QTest>

namespace {

store::RecipeRecord imported()
{
    store::RecipeRecord record = testing::recipe({"1 1/2|cups|flour", "|| salt ", "2||eggs"},
                                                 "A Long Title\nMore ingredients:\n1 cup milk\n½ tsp salt\n\n"
                                                 "Mix.\r\nBake.\n\nNote: good cold\nSource: Gran",
                                                 {"350", "4", "1", "10"});
    for (int row = 4; row <= 10; ++row)
        record.ingredient(row) = QStringLiteral("thing %1").arg(row);
    return record;
}

store::DraftRow row(const char *amount, const char *measure, const char *ingredient)
{
    return {QString::fromUtf8(amount), QString::fromUtf8(measure), QString::fromUtf8(ingredient)};
}

} // namespace

class RecipeDraftTest : public QObject
{
    Q_OBJECT

private slots:
    void draftOf_readsEveryPart()
    {
        const store::RecipeDraft draft = store::draftOf(imported());
        QCOMPARE(draft.rows.size(), 12);
        QCOMPARE(draft.rows.at(1), row("", "", " salt ")); // fields as written
        QCOMPARE(draft.rows.at(10), row("1", "cup", "milk"));
        QCOMPARE(draft.rows.at(11), row("½", "tsp", "salt"));
        QCOMPARE(draft.title, "A Long Title");
        QCOMPARE(draft.directions, "Mix.\r\nBake.");
        QCOMPARE(draft.note, "good cold");
        QCOMPARE(draft.source, "Gran");
        QCOMPARE(QStringList({draft.temperature, draft.servingSize, draft.hours, draft.minutes}),
                 QStringList({"350", "4", "1", "10"}));
    }

    // A last paragraph that is more than a note and a source is the directions' own.
    void draftOf_noteAndSource_data()
    {
        QTest::addColumn<QString>("directions");
        QTest::addColumn<QStringList>("read"); // directions, note, source
        QTest::newRow("note only") << "Stir.\n\nNote: hot" << QStringList{"Stir.", "hot", ""};
        QTest::newRow("source only") << "Stir.\n\nSource: book" << QStringList{"Stir.", "", "book"};
        QTest::newRow("note of two lines")
            << "Stir.\n\nNote: one\ntwo\nSource: me" << QStringList{"Stir.", "one\ntwo", "me"};
        QTest::newRow("nothing else") << "Note: only" << QStringList{"", "only", ""};
        QTest::newRow("a line after the source")
            << "Stir.\n\nSource: me\nYield: 4" << QStringList{"Stir.\n\nSource: me\nYield: 4", "", ""};
        QTest::newRow("label inside a paragraph") << "Stir.\nNote: hot" << QStringList{"Stir.\nNote: hot", "", ""};
    }
    void draftOf_noteAndSource()
    {
        QFETCH(QString, directions);
        QFETCH(QStringList, read);
        const store::RecipeDraft draft = store::draftOf(testing::recipe({}, directions));
        QCOMPARE(QStringList({draft.directions, draft.note, draft.source}), read);
        // What was read writes back as it was.
        QCOMPARE(store::recordOf(draft).directions(), directions);
    }

    void recordOf_unchangedDraft_isTheRecordByteForByte()
    {
        store::RecipeRecord record = imported();
        // What a rewrite would change: blanks, an empty row among the others, doubled blanks in an overflow
        // line and after a label.
        record.amount(3) = " 2 ";
        record.ingredient(5).clear();
        record.directions().replace("1 cup milk", "1  cup milk").replace("Note: good", "Note:  good");
        QCOMPARE(store::recordOf(store::draftOf(record), record), record);
    }

    void recordOf_changedRow_keepsTheOtherFields()
    {
        const store::RecipeRecord record = imported();
        store::RecipeDraft draft = store::draftOf(record);
        draft.rows[0].amount = "2";
        const store::RecipeRecord saved = store::recordOf(draft, record);
        QCOMPARE(saved.amount(1), "2");
        QCOMPARE(saved.ingredient(2), " salt ");
        QCOMPARE(saved.directions(), record.directions()); // the rows beyond the tenth did not move
    }

    void recordOf_changedNote_rewritesOnlyTheDirections()
    {
        const store::RecipeRecord record = imported();
        store::RecipeDraft draft = store::draftOf(record);
        draft.note = "better warm";
        store::RecipeRecord saved = store::recordOf(draft, record);
        QCOMPARE(saved.directions(), "A Long Title\nMore ingredients:\n1 cup milk\n½ tsp salt\n\n"
                                     "Mix.\r\nBake.\n\nNote: better warm\nSource: Gran");
        saved.directions() = record.directions();
        QCOMPARE(saved, record);
    }

    // Rows are packed in order: ten in the fields, the rest under "More ingredients:", empty ones left out.
    void recordOf_fourteenRows()
    {
        store::RecipeDraft draft;
        for (int i = 1; i <= 15; ++i)
            draft.rows.append(i == 3 ? store::DraftRow{}
                                     : store::DraftRow{QString::number(i), "g", QStringLiteral("item %1").arg(i)});
        draft.rows[13].amount = "1 1/2-2";
        draft.directions = "Cook.";
        draft.source = "Book";
        const store::RecipeRecord record = store::recordOf(draft);
        QCOMPARE(record.ingredient(3), "item 4");
        QCOMPARE(record.ingredient(10), "item 11");
        QCOMPARE(
            record.directions(),
            "More ingredients:\n12 g item 12\n13 g item 13\n1 1/2-2 g item 14\n15 g item 15\n\nCook.\n\nSource: Book");
        // Read back, the draft has the rows in their places.
        const store::RecipeDraft back = store::draftOf(record);
        QCOMPARE(back.rows.size(), 14);
        QCOMPARE(back.rows.at(12), row("1 1/2-2", "g", "item 14"));
        QCOMPARE(back.directions, "Cook.");
        QCOMPARE(back.source, "Book");
    }

    void picture_keptReplacedAndRemoved_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("kept");
        QTest::newRow("jpeg named .png") << QByteArray("\xFF\xD8\xFF\xE0rest", 8) << "Pictures/Pies/Apple.jpg";
        QTest::newRow("png") << QByteArray("\x89PNG\r\n\x1A\nrest") << "Pictures/Pies/Apple.png";
        QTest::newRow("webp") << QByteArray("RIFF\x10\0\0\0WEBPVP8 ", 16) << "Pictures/Pies/Apple.webp";
        QTest::newRow("text: refused") << QByteArray("hello") << "";
    }
    void picture_keptReplacedAndRemoved()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, kept);
        testing::AppFolder app;
        app.addCategory("Pies");
        app.write("in/photo.png", bytes);
        // A picture of another kind is there first; it goes only when the new one is taken.
        app.write("Pictures/Pies/Apple.gif.webp", "x");
        app.write("in/old.png", "\x89PNG\r\n\x1A\nold");
        store::setPicture("Pies", "Apple", app.file("in/old.png"));
        const int failure = testing::failureOf([&] { store::setPicture("Pies", "Apple", app.file("in/photo.png")); });
        if (kept.isEmpty()) {
            QCOMPARE(failure, 52);
            QCOMPARE(store::picturePath("Pies", "Apple"), app.file("Pictures/Pies/Apple.png"));
            QCOMPARE(app.read("Pictures/Pies/Apple.png"), "\x89PNG\r\n\x1A\nold");
            return;
        }
        QCOMPARE(failure, 0);
        QCOMPARE(store::picturePath("Pies", "Apple"), app.file(kept));
        QCOMPARE(app.read(kept), bytes);
        QCOMPARE(app.entries("Pictures/Pies"), QStringList({"Apple.gif.webp", kept.section(u'/', -1)}));
        store::removePicture("Pies", "Apple");
        QCOMPARE(store::picturePath("Pies", "Apple"), QString());
        QCOMPARE(QDir(app.trashFiles()).entryList(QDir::Files).size(), kept.endsWith(".png") ? 1 : 2);
    }

    void picture_missingFile_is53()
    {
        testing::AppFolder app;
        QCOMPARE(testing::failureOf([&] { store::setPicture("Pies", "Apple", app.file("nothing.jpg")); }), 53);
        QVERIFY(!app.exists("Pictures"));
    }
};

QTEST_GUILESS_MAIN(RecipeDraftTest)
#include "recipedraft_test.moc"
