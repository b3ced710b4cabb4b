// Importing from a web address, against a server on the loopback address: never the internet.

#include "net/webimport.h"

#include "store/interchange/recipeimport.h"
#include "store/recipefile.h"
#include "store/recipepicture.h"
#include "tests/net/testserver.h"
#include "tests/support/appfolder.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

using net::WebImport;

Q_DECLARE_METATYPE(WebImport::Outcome)

namespace {

const QByteArray kPng = QByteArray("\x89PNG\r\n\x1A\n", 8) + QByteArray(40, 'p');

const QByteArray kRecipePage =
    "<!DOCTYPE html><html><head><title>Rye Loaf</title></head><body>\n"
    "<div itemscope itemtype=\"https://schema.org/Recipe\"><h1 itemprop=\"name\">Rye Loaf</h1>\n"
    "<img itemprop=\"image\" src=\"pics/rye.png\"><span itemprop=\"recipeYield\">1 loaf</span>\n"
    "<ul><li itemprop=\"recipeIngredient\">500 g rye flour</li></ul>\n"
    "<p itemprop=\"recipeInstructions\">Knead, rise, bake.</p></div></body></html>";

const QByteArray kPlainPage = "<html><head><title>Notes</title></head><body><h1>Toast</h1><ul><li>2 slices bread</li>"
                              "</ul><p>Toast them.</p></body></html>";

WebImport::Outcome fetch(WebImport &web, const QString &address)
{
    QSignalSpy done(&web, &WebImport::finished);
    web.start(address);
    if (!done.wait(10000))
        return WebImport::Outcome::Running;
    return web.outcome();
}

} // namespace

class WebImportTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { WebImport::setLimits({1500, 4096, 3}); }

    void fetch_endsWithTheOutcomeAndAClearMessage_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<WebImport::Outcome>("outcome");
        QTest::addColumn<QString>("message"); // %1 for the server's address
        QTest::newRow("a recipe page") << "/rye" << WebImport::Outcome::Recipes << "";
        QTest::newRow("a redirect to it") << "/old-rye" << WebImport::Outcome::Recipes << "";
        QTest::newRow("not found") << "/gone" << WebImport::Outcome::Failed
                                   << "There is no page at %1/gone (the server answers 404: not found).";
        QTest::newRow("another error of the server")
            << "/broken" << WebImport::Outcome::Failed
            << "The server 127.0.0.1 refused the page (it answers 500: Internal Server Error).";
        QTest::newRow("no answer in time")
            << "/silent" << WebImport::Outcome::Failed << "127.0.0.1 did not answer within 1.5 seconds.";
        QTest::newRow("too large, length told")
            << "/big" << WebImport::Outcome::Failed
            << "The page at %1/big is larger than 4096 bytes, more than a recipe page holds; it was not fetched.";
        QTest::newRow("too large, length not told")
            << "/endless" << WebImport::Outcome::Failed
            << "The page at %1/endless is larger than 4096 bytes, more than a recipe page holds; it was not fetched.";
        QTest::newRow("redirects without end") << "/loop" << WebImport::Outcome::Failed
                                               << "127.0.0.1 sends the page on more than 3 times; it was not fetched.";
        QTest::newRow("not a recipe page")
            << "/plain" << WebImport::Outcome::NoRecipeData << "%1/plain: no recipe data in this page.";
        QTest::newRow("not a web address") << "ftp://127.0.0.1/rye" << WebImport::Outcome::Failed
                                           << "\"ftp://127.0.0.1/rye\" is not a web address: it begins with "
                                              "http:// or https://.";
        // A name under "invalid" never resolves; it is refused at once, without the network.
        QTest::newRow("host not found")
            << "http://nosuchhost.invalid/rye" << WebImport::Outcome::Failed
            << "The host nosuchhost.invalid was not found: check the address and that the computer is online.";
        QTest::newRow("nothing listens at the port")
            << "closed port" << WebImport::Outcome::Failed
            << "Nothing answers at 127.0.0.1, port %2: the address may be wrong, or the server is not running.";
    }
    void fetch_endsWithTheOutcomeAndAClearMessage()
    {
        QFETCH(QString, path);
        testing::TestServer server;
        server.page("/rye", kRecipePage);
        server.page("/pics/rye.png", kPng, "image/png");
        server.redirect("/old-rye", server.address("/rye"));
        server.status("/gone", "404 Not Found");
        server.status("/broken", "500 Internal Server Error");
        server.page("/big", QByteArray(5000, ' ') + kRecipePage);
        server.endless("/endless", 20000);
        server.redirect("/loop", server.address("/loop"));
        server.page("/plain", kPlainPage);

        // A port that was free a moment ago: nothing listens there.
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const quint16 port = closed.serverPort();
        closed.close();

        WebImport web;
        QString address = path.startsWith(u'/') ? server.address(path) : path;
        if (path == u"closed port")
            address = QStringLiteral("http://127.0.0.1:%1/rye").arg(port);
        QElapsedTimer took;
        took.start();
        QTEST(fetch(web, address), "outcome");
        QVERIFY2(took.elapsed() < 5000, "every failure comes within the time limit and a little more");
        QFETCH(QString, message);
        if (message.contains(u"%1"))
            message = message.arg(server.address({}));
        QCOMPARE(web.message(), message.contains(u"%2") ? message.arg(port) : message);
        if (web.outcome() == WebImport::Outcome::Recipes) {
            QCOMPARE(web.address(), server.address("/rye"));
            QFile page(web.pageFile());
            QVERIFY(page.open(QIODevice::ReadOnly));
            QVERIFY(page.readAll().endsWith(kRecipePage));
            QCOMPARE(web.pictures().keys(), QStringList{server.address("/pics/rye.png")});
        }
        if (web.outcome() == WebImport::Outcome::NoRecipeData)
            QCOMPARE(web.pageText(), QString::fromUtf8(kPlainPage));
    }

    // The page goes through the import of a saved page; the recipe keeps its picture, its address as its
    // source; a picture that is no picture, or that is missing, is named and the recipe saved without it.
    void importedPage_keepsThePictureAndTheAddress_data()
    {
        QTest::addColumn<QByteArray>("picture");
        QTest::addColumn<QString>("problem");
        QTest::newRow("a PNG picture") << kPng << "";
        QTest::newRow("no picture at all") << QByteArray("<html>Not here</html>")
                                           << "The picture %1/pics/rye.png was not kept: it is no JPEG, PNG or WebP "
                                              "picture.";
    }
    void importedPage_keepsThePictureAndTheAddress()
    {
        QFETCH(QByteArray, picture);
        testing::AppFolder app;
        app.addCategory("Breads");
        testing::TestServer server;
        server.page("/rye", kRecipePage);
        server.page("/pics/rye.png", picture, "image/png");
        WebImport web;
        QCOMPARE(fetch(web, server.address("/rye")), WebImport::Outcome::Recipes);
        QFETCH(QString, problem);
        QCOMPARE(web.pictureProblems().join(u'\n'), problem.isEmpty() ? problem : problem.arg(server.address({})));

        store::RecipeImport import({web.pageFile()}, QStringLiteral("Breads"));
        import.setPictures(web.pictures());
        while (import.run(50)) {
        }
        QCOMPARE(import.report().imported, 1);
        const store::RecipeRecord record = store::loadRecipe("Breads", "Rye Loaf");
        QCOMPARE(record.directions(),
                 QStringLiteral("Knead, rise, bake.\n\nNote: Yield: 1 loaf\nSource: %1").arg(server.address("/rye")));
        const QString kept = store::picturePath("Breads", "Rye Loaf");
        QCOMPARE(kept.isEmpty(), !problem.isEmpty());
        if (!kept.isEmpty())
            QCOMPARE(app.read("Pictures/Breads/Rye Loaf.png"), kPng);
    }
};

QTEST_GUILESS_MAIN(WebImportTest)
#include "webimport_test.moc"
