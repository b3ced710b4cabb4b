#include "store/fileops.h"
#include "tests/store/storetest.h"

#include <functional>

using store::Failure;
using storetest::failureOf;
using Operation = std::function<void(const storetest::AppFolder &)>;
Q_DECLARE_METATYPE(Operation)

namespace {

// Category/category.txt, Category/soups/{Stock (read-only), Broth}, Category/Pies/Apple; the desktop
// trash in <root>/share/Trash.
void makeTree(const storetest::AppFolder &app)
{
    storetest::writeBytes(app.path("Category/category.txt"), "soups\r\nPies\r\n");
    storetest::writeBytes(app.path("Category/soups/Stock"), "stock");
    storetest::writeBytes(app.path("Category/soups/Broth"), "broth");
    storetest::writeBytes(app.path("Category/Pies/Apple"), "apple");
    storetest::makeReadOnly(app.path("Category/soups/Stock"));
    // Qt trashes into the data folder when the file lies on the home folder's file system, and makes the
    // Trash folder but not the data folder itself.
    QDir(app.root()).mkdir("share");
    qputenv("HOME", app.root().toLocal8Bit());
    qputenv("XDG_DATA_HOME", (app.root() + "/share").toLocal8Bit());
}

} // namespace

class FileOpsTest : public QObject
{
    Q_OBJECT

private slots:
    void failures_changeNothing_data()
    {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<int>("number");
        QTest::newRow("create existing folder")
            << Operation([](auto &app) { store::createFolder(app.path("Category/soups")); }) << 58;
        QTest::newRow("create folder over file")
            << Operation([](auto &app) { store::createFolder(app.path("Category/category.txt")); }) << 58;
        QTest::newRow("create Soups beside soups")
            << Operation([](auto &) { store::createFolder(store::categoryFolderPath("Soups")); }) << 58;
        QTest::newRow("create in missing folder")
            << Operation([](auto &app) { store::createFolder(app.path("Missing/New")); }) << 76;
        QTest::newRow("delete missing file")
            << Operation([](auto &app) { store::deleteFile(app.path("Category/none.txt")); }) << 53;
        QTest::newRow("delete folder as file")
            << Operation([](auto &app) { store::deleteFile(app.path("Category/Pies")); }) << 75;
        QTest::newRow("delete read-only file")
            << Operation([](auto &app) { store::deleteFile(app.path("Category/soups/Stock")); }) << 70;
        QTest::newRow("delete missing folder")
            << Operation([](auto &app) { store::deleteFolder(app.path("Category/None")); }) << 76;
        QTest::newRow("delete folder with read-only file")
            << Operation([](auto &app) { store::deleteFolder(app.path("Category/soups")); }) << 70;
        QTest::newRow("move missing file")
            << Operation([](auto &app) { store::moveFile(app.path("Category/none"), app.path("Category/x")); }) << 53;
        QTest::newRow("move onto existing name") << Operation([](auto &app) {
            store::moveFile(app.path("Category/category.txt"), app.path("Category/Pies/Apple"));
        }) << 58;
        QTest::newRow("move into missing folder")
            << Operation([](auto &app) { store::moveFile(app.path("Category/category.txt"), app.path("Missing/x")); })
            << 76;
        QTest::newRow("list missing folder")
            << Operation([](auto &app) { store::listFiles(app.path("Missing")); }) << 76;
        QTest::newRow("temporary file in missing folder")
            << Operation([](auto &app) { store::temporaryFile(app.path("Missing"), "tmp"); }) << 76;
    }
    void failures_changeNothing()
    {
        QFETCH(Operation, operation);
        storetest::AppFolder app;
        makeTree(app);
        const QStringList before = storetest::tree(app.root());
        QTEST(failureOf([&] { operation(app); }), "number");
        QCOMPARE(storetest::tree(app.root()), before);
    }

    void operations_changeTreeAsAsked()
    {
        storetest::AppFolder app;
        makeTree(app);
        store::createFolder(app.path("Category/Fish"));
        store::moveFile(app.path("Category/soups/Broth"), app.path("Category/Fish/Fish stock"));
        store::createTextFile(app.path("Category/Pies/Apple"));
        const QString temporary = QFileInfo(store::temporaryFile(app.path("Category"), "tmp")).fileName();
        QVERIFY(temporary.startsWith("tmp"));
        QCOMPARE(storetest::tree(app.path("Category")),
                 QStringList({"Fish/", "Fish/Fish stock 5", "Pies/", "Pies/Apple 0", "category.txt 13", "soups/",
                              "soups/Stock 5", temporary + " 0"}));
        QVERIFY(store::fileExists(app.path("Category/Pies/Apple")) &&
                !store::folderExists(app.path("Category/Pies/Apple")));
        QVERIFY(store::folderExists(app.path("Category/Pies")) && !store::fileExists(app.path("Category/Pies")));
        QVERIFY(store::folderExists(store::temporaryFolder()));
    }

    void delete_movesToTrash()
    {
        storetest::AppFolder app;
        makeTree(app);
        store::deleteFile(app.path("Category/soups/Broth"));
        store::deleteFolder(app.path("Category/Pies"));
        QCOMPARE(storetest::tree(app.path("Category")), QStringList({"category.txt 13", "soups/", "soups/Stock 5"}));
        QCOMPARE(storetest::readBytes(app.root() + "/share/Trash/files/Broth"), QByteArray("broth"));
        QCOMPARE(storetest::readBytes(app.root() + "/share/Trash/files/Pies/Apple"), QByteArray("apple"));
    }

    void delete_withoutTrash_removesForGood()
    {
        storetest::AppFolder app;
        makeTree(app);
        // A data folder that is a file leaves no place for a trash.
        QVERIFY(QDir(app.root()).rmdir("share"));
        storetest::writeBytes(app.root() + "/share", "");
        QStringList expected = storetest::tree(app.root());
        expected.removeAll("app/Category/Pies/Apple 5");
        const QString workingFolder = QDir::currentPath();
        QVERIFY(QDir::setCurrent(app.root()));
        store::deleteFile(app.path("Category/Pies/Apple"));
        QDir::setCurrent(workingFolder);
        QCOMPARE(storetest::tree(app.root()), expected);
    }

    void listFiles_listsFilesOnly()
    {
        storetest::AppFolder app;
        makeTree(app);
        storetest::writeBytes(app.path("Category/soups/.note"), "");
        QDir(app.path()).mkpath("Category/soups/Old");
        QStringList names = store::listFiles(app.path("Category/soups"));
        names.sort();
        QCOMPARE(names, QStringList({".note", "Broth", "Stock"}));
        QCOMPARE(store::listFiles(app.path("Category/soups/Old")), QStringList());
    }
};

QTEST_GUILESS_MAIN(FileOpsTest)
#include "fileops_test.moc"
