#include "store/fileops.h"

#include "tests/store/storetest.h"

#include <QRegularExpression>

using store::Failure;

namespace {

// Category/category.txt, Category/soups/{Stock (read-only), Broth}, Category/Pies/Apple; the desktop trash
// goes to <root>/share/Trash.
void makeTree(const storetest::AppFolder &app)
{
    storetest::writeBytes(app.path(QStringLiteral("Category/category.txt")), "soups\r\nPies\r\n");
    storetest::writeBytes(app.path(QStringLiteral("Category/soups/Stock")), "stock");
    storetest::writeBytes(app.path(QStringLiteral("Category/soups/Broth")), "broth");
    storetest::writeBytes(app.path(QStringLiteral("Category/Pies/Apple")), "apple");
    storetest::makeReadOnly(app.path(QStringLiteral("Category/soups/Stock")));
    // The trash is the one of the file system that holds the home folder; keep both inside the test.
    // Qt makes the Trash folder but not the data folder above it.
    QDir(app.root()).mkdir(QStringLiteral("share"));
    qputenv("HOME", app.root().toLocal8Bit());
    qputenv("XDG_DATA_HOME", (app.root() + QStringLiteral("/share")).toLocal8Bit());
}

} // namespace

class FileOpsTest : public QObject
{
    Q_OBJECT

private slots:
    void failures_changeNothing_data();
    void failures_changeNothing();
    void createFolder_makesOneFolder();
    void deleteFile_movesFileToTrash();
    void deleteFolder_movesFolderWithFilesToTrash();
    void deleteFile_withoutTrash_removesFile();
    void moveFile_renamesFile();
    void listFiles_listsFilesOnly();
    void temporaryFile_makesNewEmptyFiles();
    void createTextFile_makesOrEmptiesFile();
};

void FileOpsTest::failures_changeNothing_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("number");
    const QString none;
    QTest::newRow("create existing folder") << "createFolder" << "Category/soups" << none << 58;
    QTest::newRow("create folder over a file") << "createFolder" << "Category/category.txt" << none << 58;
    QTest::newRow("create Soups beside soups") << "createCategoryFolder" << "Soups" << none << 58;
    QTest::newRow("create folder in missing folder") << "createFolder" << "Missing/New" << none << 76;
    QTest::newRow("delete missing file") << "deleteFile" << "Category/none.txt" << none << 53;
    QTest::newRow("delete folder as file") << "deleteFile" << "Category/Pies" << none << 75;
    QTest::newRow("delete read-only file") << "deleteFile" << "Category/soups/Stock" << none << 70;
    QTest::newRow("delete missing folder") << "deleteFolder" << "Category/None" << none << 76;
    QTest::newRow("delete folder holding a read-only file") << "deleteFolder" << "Category/soups" << none << 70;
    QTest::newRow("move missing file") << "moveFile" << "Category/none" << "Category/x" << 53;
    QTest::newRow("move onto existing name") << "moveFile" << "Category/category.txt" << "Category/Pies/Apple" << 58;
    QTest::newRow("move into missing folder") << "moveFile" << "Category/category.txt" << "Missing/x" << 76;
    QTest::newRow("list missing folder") << "listFiles" << "Missing" << none << 76;
    QTest::newRow("temporary file in missing folder") << "temporaryFile" << "Missing" << none << 76;
}

void FileOpsTest::failures_changeNothing()
{
    QFETCH(QString, operation);
    QFETCH(QString, path);
    QFETCH(QString, target);
    QFETCH(int, number);
    storetest::AppFolder app;
    makeTree(app);
    const QStringList before = storetest::tree(app.root());
    const QString from = app.path(path);
    const QString to = app.path(target);
    STORE_VERIFY_FAILURE(
        {
            if (operation == QLatin1String("createFolder"))
                store::createFolder(from);
            else if (operation == QLatin1String("createCategoryFolder"))
                store::createFolder(store::categoryFolderPath(path));
            else if (operation == QLatin1String("deleteFile"))
                store::deleteFile(from);
            else if (operation == QLatin1String("deleteFolder"))
                store::deleteFolder(from);
            else if (operation == QLatin1String("moveFile"))
                store::moveFile(from, to);
            else if (operation == QLatin1String("listFiles"))
                store::listFiles(from);
            else
                store::temporaryFile(from, QStringLiteral("tmp"));
        },
        number);
    QCOMPARE(storetest::tree(app.root()), before);
}

void FileOpsTest::createFolder_makesOneFolder()
{
    storetest::AppFolder app;
    makeTree(app);
    store::createFolder(app.path(QStringLiteral("Category/Fish")));
    QVERIFY(store::folderExists(app.path(QStringLiteral("Category/Fish"))));
    QVERIFY(!store::fileExists(app.path(QStringLiteral("Category/Fish"))));
    QVERIFY(store::fileExists(app.path(QStringLiteral("Category/category.txt"))));
    QVERIFY(!store::folderExists(app.path(QStringLiteral("Category/category.txt"))));
}

void FileOpsTest::deleteFile_movesFileToTrash()
{
    storetest::AppFolder app;
    makeTree(app);
    store::deleteFile(app.path(QStringLiteral("Category/Pies/Apple")));
    QVERIFY(!QFileInfo::exists(app.path(QStringLiteral("Category/Pies/Apple"))));
    QCOMPARE(storetest::readBytes(app.root() + QStringLiteral("/share/Trash/files/Apple")), QByteArray("apple"));
}

void FileOpsTest::deleteFolder_movesFolderWithFilesToTrash()
{
    storetest::AppFolder app;
    makeTree(app);
    store::deleteFolder(app.path(QStringLiteral("Category/Pies")));
    QVERIFY(!QFileInfo::exists(app.path(QStringLiteral("Category/Pies"))));
    QCOMPARE(storetest::readBytes(app.root() + QStringLiteral("/share/Trash/files/Pies/Apple")), QByteArray("apple"));
}

void FileOpsTest::deleteFile_withoutTrash_removesFile()
{
    storetest::AppFolder app;
    makeTree(app);
    // A data folder that is a file leaves no place for a trash.
    QDir(app.root()).rmdir(QStringLiteral("share"));
    storetest::writeBytes(app.root() + QStringLiteral("/share"), "");
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Unable to establish trash directory")));
    store::deleteFile(app.path(QStringLiteral("Category/Pies/Apple")));
    QVERIFY(!QFileInfo::exists(app.path(QStringLiteral("Category/Pies/Apple"))));
}

void FileOpsTest::moveFile_renamesFile()
{
    storetest::AppFolder app;
    makeTree(app);
    store::moveFile(app.path(QStringLiteral("Category/soups/Broth")), app.path(QStringLiteral("Category/Pies/Pie")));
    QVERIFY(!QFileInfo::exists(app.path(QStringLiteral("Category/soups/Broth"))));
    QCOMPARE(storetest::readBytes(app.path(QStringLiteral("Category/Pies/Pie"))), QByteArray("broth"));
}

void FileOpsTest::listFiles_listsFilesOnly()
{
    storetest::AppFolder app;
    makeTree(app);
    storetest::writeBytes(app.path(QStringLiteral("Category/soups/.note")), "");
    QDir(app.path()).mkpath(QStringLiteral("Category/soups/Old"));
    QStringList names = store::listFiles(app.path(QStringLiteral("Category/soups")));
    names.sort();
    QCOMPARE(names, QStringList({".note", "Broth", "Stock"}));
    QCOMPARE(store::listFiles(app.path(QStringLiteral("Category/soups/Old"))), QStringList());
}

void FileOpsTest::temporaryFile_makesNewEmptyFiles()
{
    storetest::AppFolder app;
    const QString first = store::temporaryFile(app.path(), QStringLiteral("tmp"));
    const QString second = store::temporaryFile(app.path(), QStringLiteral("tmp"));
    QVERIFY(first != second);
    for (const QString &path : {first, second}) {
        QCOMPARE(QFileInfo(path).absolutePath(), app.path());
        QVERIFY(QFileInfo(path).fileName().startsWith(QLatin1String("tmp")));
        QCOMPARE(storetest::readBytes(path), QByteArray(""));
    }
    QVERIFY(!store::temporaryFolder().isEmpty());
    QVERIFY(store::folderExists(store::temporaryFolder()));
}

void FileOpsTest::createTextFile_makesOrEmptiesFile()
{
    storetest::AppFolder app;
    store::createTextFile(app.path(QStringLiteral("LD.ini")));
    QVERIFY(store::fileExists(app.path(QStringLiteral("LD.ini"))));
    storetest::writeBytes(app.path(QStringLiteral("LD.ini")), "old");
    store::createTextFile(app.path(QStringLiteral("LD.ini")));
    QCOMPARE(storetest::readBytes(app.path(QStringLiteral("LD.ini"))), QByteArray(""));
}

QTEST_GUILESS_MAIN(FileOpsTest)
#include "fileops_test.moc"
