// The word index finds exactly what a plain scan of the recipes' text finds: on generated recipes with
// accents, letter cases, odd blanks and punctuation, for parts of words, whole words and words that are not
// there, in each of the seven choices of where to look.

#include "store/recipescan.h"
#include "store/wordindex.h"

#include <QRandomGenerator>
#include <QTest>

using namespace store;

namespace {

// Pieces of text: plain and accented syllables, letters that fold to two ("ß", "ﬁ"), a spacing accent that
// folds to nothing ("´"), blanks that are not ASCII (no-break, em space), tabs, line breaks and punctuation.
const QStringList kPieces = {
    QStringLiteral("ch"),      QStringLiteral("ick"),  QStringLiteral("en"),     QStringLiteral("Crème"),
    QStringLiteral("BRÛL"),    QStringLiteral("ée"),   QStringLiteral("straße"), QStringLiteral("ﬁg"),
    QStringLiteral("´"),       QStringLiteral("Ω"),    QStringLiteral("1/2"),    QStringLiteral(","),
    QStringLiteral("on"),      QStringLiteral("ion"),  QStringLiteral("s"),      QStringLiteral("pepper"),
    QStringLiteral(" "),       QStringLiteral(" "),    QStringLiteral("\u00a0"), QStringLiteral("\u2003"),
    QStringLiteral("\t"),      QStringLiteral("\n"),   QStringLiteral("e\u0301"), QStringLiteral("\"q\""),
};

QString text(QRandomGenerator &random, int pieces)
{
    QString made;
    for (int i = 0; i < pieces; ++i)
        made += kPieces.at(random.bounded(int(kPieces.size())));
    return made;
}

struct Generated
{
    QString name;
    scan::SearchedFields fields;
};

// A needle: a piece of a recipe's text, cut anywhere (in another case now and then), or a made-up one.
QString needle(QRandomGenerator &random, const std::vector<Generated> &recipes)
{
    if (random.bounded(4) == 0)
        return text(random, 1 + random.bounded(2));
    const Generated &recipe = recipes.at(random.bounded(int(recipes.size())));
    const QString &from = random.bounded(3) == 0 ? recipe.name : recipe.fields.at(random.bounded(int(recipe.fields.size())));
    if (from.isEmpty())
        return QStringLiteral("x");
    const int at = random.bounded(int(from.size()));
    QString cut = from.mid(at, 1 + random.bounded(12)); // longer than the index's samples now and then
    return random.bounded(2) ? cut.toUpper() : cut;
}

} // namespace

class WordIndexTest : public QObject
{
    Q_OBJECT

private slots:
    void find_sameAsTheScan_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed = 1; seed <= 6; ++seed)
            QTest::addRow("seed %u", seed) << seed;
    }
    void find_sameAsTheScan()
    {
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        std::vector<Generated> recipes(150);
        WordIndex::Builder builder;
        std::vector<scan::Text> texts;
        for (Generated &recipe : recipes) {
            recipe.name = text(random, 1 + random.bounded(5));
            for (QString &field : recipe.fields)
                field = random.bounded(3) ? text(random, random.bounded(8)) : QString();
            builder.add(recipe.name, recipe.fields);
            texts.push_back(scan::makeText(recipe.name, recipe.fields));
        }
        const WordIndex index = builder.finish();
        QCOMPARE(index.size(), qsizetype(recipes.size()));
        QCOMPARE(index.name(7), recipes[7].name);

        int found = 0;
        for (int round = 0; round < 300; ++round) {
            const QString typed = needle(random, recipes);
            for (const QByteArray &folded : scan::needles(typed)) {
                std::vector<quint8> masks(recipes.size(), 0);
                QVERIFY(index.find(folded, masks.data()));
                for (int parts = 1; parts <= 7; ++parts) {
                    for (size_t i = 0; i < recipes.size(); ++i) {
                        const bool scanned = scan::matches(texts[i], {folded}, parts);
                        found += scanned;
                        if (scanned != bool(masks[i] & parts))
                            QFAIL(qPrintable(QStringLiteral("\"%1\" in recipe %2, parts %3: the scan %4")
                                                 .arg(typed).arg(i).arg(parts)
                                                 .arg(scanned ? "finds it" : "does not")));
                    }
                }
            }
        }
        QVERIFY(found > 1000); // the needles are found, not only missed
    }
};

QTEST_GUILESS_MAIN(WordIndexTest)
#include "wordindex_test.moc"
