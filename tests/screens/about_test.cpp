#include "screens/about.h"
#include "screens/credit.h"
#include "shell/appearance.h"
#include "tests/support/appfolder.h"
#include "tests/support/messages.h"
#include "tests/support/screens.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

namespace {

// Clicks `name` on `screen` (the screen itself when the name is its own), at its centre or at `where`.
void clickOn(QWidget *screen, const QString &name, QPoint where = {})
{
    QWidget *target = screen->objectName() == name ? screen : screen->findChild<QWidget *>(name);
    QVERIFY2(target, qPrintable(name));
    QTest::mouseClick(target, Qt::LeftButton, {}, where.isNull() ? target->rect().center() : where);
}

QString textOf(QWidget *screen, const char *name)
{
    auto *label = screen->findChild<QLabel *>(QLatin1String(name));
    return label ? label->text() : QStringLiteral("<no label %1>").arg(QLatin1String(name));
}

// Every label shows its whole text within its place on the screen.
void verifyTextsFit(QWidget *screen, bool measured)
{
    if (!measured)
        return;
    for (QLabel *label : screen->findChildren<QLabel *>()) {
        if (label->text().isEmpty())
            continue;
        const int needed = label->wordWrap() ? label->heightForWidth(label->width()) : label->sizeHint().height();
        QVERIFY2(needed <= label->height(), qPrintable(label->objectName() + QStringLiteral(" is too low")));
        if (!label->wordWrap())
            QVERIFY2(label->sizeHint().width() <= label->width(),
                     qPrintable(label->objectName() + QStringLiteral(" is too narrow")));
        QVERIFY2(screen->rect().contains(label->geometry()),
                 qPrintable(label->objectName() + QStringLiteral(" lies outside the screen")));
    }
}

} // namespace

class AboutTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void about_showsItsTexts();
    void about_clickAnywhere_hidesIt_data();
    void about_clickAnywhere_hidesIt();
    void credits_showsItsTextsInOrder();
    void credits_clickAnywhere_hidesIt_data();
    void credits_clickAnywhere_hidesIt();

private:
    bool m_tahoma = false;
};

void AboutTest::initTestCase()
{
    // The layouts are measured in the program's face; without it the texts are only checked, not their fit.
    m_tahoma = shell::registerTahoma();
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(8.25);
    QApplication::setFont(font);
}

void AboutTest::about_showsItsTexts()
{
    testing::AppFolder folder;
    testing::MessageScript script;
    testing::ScreenSession session;
    frmAbout *about = shell::ScreenRegistry::show<frmAbout>();

    QVERIFY(about->isVisible());
    QCOMPARE(about->windowTitle(), QStringLiteral("About"));
    QCOMPARE(about->size(), QSize(438, 186));
    QCOMPARE(textOf(about, "lblATitle"), QStringLiteral("Larderon"));
    QCOMPARE(textOf(about, "lblAVer"), QStringLiteral("V1.0"));
    QCOMPARE(textOf(about, "lblAMsg2"), QStringLiteral("As always,. thanks for trying my program :)"));
    QVERIFY(textOf(about, "lblAMsg1").contains(QStringLiteral("Hollis Quarrender")));
    QVERIFY(textOf(about, "lblAEMail").endsWith(QStringLiteral("@example.com")));
    QVERIFY(textOf(about, "lblAMsg").contains(QStringLiteral("help file")));
    QVERIFY(!about->findChild<QLabel *>(QStringLiteral("Image1"))->pixmap().isNull());
    QCOMPARE(shell::textColor(about->findChild<QLabel *>(QStringLiteral("lblATitle"))), shell::systemColor(2));
    verifyTextsFit(about, m_tahoma);
    VERIFY_NO_UNEXPECTED_BOX(script);
}

void AboutTest::about_clickAnywhere_hidesIt_data()
{
    QTest::addColumn<QString>("control");
    for (const char *name :
         {"lblATitle", "lblAVer", "lblAMsg", "lblAMsg1", "lblAEMail", "lblAMsg2", "Image1", "Shape1"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void AboutTest::about_clickAnywhere_hidesIt()
{
    QFETCH(QString, control);
    testing::AppFolder folder;
    testing::ScreenSession session;
    frmAbout *about = shell::ScreenRegistry::show<frmAbout>();

    clickOn(about, control);
    QVERIFY(!about->isVisible());

    // Shown again, it is the same screen with the same texts.
    QCOMPARE(shell::ScreenRegistry::show<frmAbout>(), about);
    QVERIFY(about->isVisible());
    QCOMPARE(textOf(about, "lblAVer"), QStringLiteral("V1.0"));
    // A right click is not a click; a left click on the bare screen is.
    QTest::mouseClick(about, Qt::RightButton, {}, QPoint(420, 44));
    QVERIFY(about->isVisible());
    clickOn(about, QStringLiteral("frmAbout"), QPoint(420, 44));
    QVERIFY(!about->isVisible());
}

void AboutTest::credits_showsItsTextsInOrder()
{
    testing::AppFolder folder;
    testing::MessageScript script;
    testing::ScreenSession session;
    frmCredit *credits = shell::ScreenRegistry::show<frmCredit>();

    QVERIFY(credits->isVisible());
    QCOMPARE(credits->windowTitle(), QStringLiteral("Credits"));
    QCOMPARE(credits->size(), QSize(683, 314));
    QCOMPARE(textOf(credits, "lblCrMsg"),
             QStringLiteral("I wish to thank the following sources immensly for helping me with parts of this program. "
                            "I have studied their books and codes and I have always found at least two different ways "
                            "of doing the same thing."));
    QCOMPARE(textOf(credits, "lblCrAcc"), QStringLiteral("vbAccelerator"));
    QCOMPARE(textOf(credits, "lblCrMsg1"),
             QStringLiteral("-- for the code concerning the main screen. I did modify it for my purposes."));
    QCOMPARE(textOf(credits, "lblCrSMenu"), QStringLiteral("VBSmartMenu"));
    QCOMPARE(textOf(credits, "lblCrMsg4"),
             QStringLiteral("-- for the excellent .ocx file which makes editing menus much, much easier."));
    QVERIFY(textOf(credits, "lblCrMsg2").contains(QStringLiteral("examples helped")));
    QVERIFY(textOf(credits, "lblCrMsg3").contains(QStringLiteral("lacked")));

    // The credits stand one under another, each line to the right of its source, in the same row.
    const char *const rows[][2] = {{"lblCrAcc", "lblCrMsg1"},
                                   {"lblCrSMenu", "lblCrMsg4"},
                                   {"lblCrBook2", "lblCrMsg2"},
                                   {"lblCrBook1", "lblCrMsg3"}};
    int previousBottom = credits->findChild<QLabel *>(QStringLiteral("lblCrMsg"))->geometry().bottom();
    for (const auto &row : rows) {
        const QRect source = credits->findChild<QLabel *>(QLatin1String(row[0]))->geometry();
        const QRect line = credits->findChild<QLabel *>(QLatin1String(row[1]))->geometry();
        QVERIFY2(source.top() > previousBottom, row[0]);
        QCOMPARE(line.top(), source.top());
        QVERIFY2(line.left() > source.right(), row[1]);
        previousBottom = std::max(source.bottom(), line.bottom());
    }
    verifyTextsFit(credits, m_tahoma);
    VERIFY_NO_UNEXPECTED_BOX(script);
}

void AboutTest::credits_clickAnywhere_hidesIt_data()
{
    QTest::addColumn<QString>("control");
    for (const char *name : {"imgCredit", "lblCrMsg", "lblCrAcc", "lblCrMsg1", "lblCrSMenu", "lblCrMsg4", "lblCrBook2",
                             "lblCrMsg2", "lblCrBook1", "lblCrMsg3"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void AboutTest::credits_clickAnywhere_hidesIt()
{
    QFETCH(QString, control);
    testing::AppFolder folder;
    testing::ScreenSession session;
    frmCredit *credits = shell::ScreenRegistry::show<frmCredit>();

    clickOn(credits, control);
    QVERIFY(!credits->isVisible());

    QCOMPARE(shell::ScreenRegistry::show<frmCredit>(), credits);
    QVERIFY(credits->isVisible());
    QCOMPARE(textOf(credits, "lblCrAcc"), QStringLiteral("vbAccelerator"));
    clickOn(credits, QStringLiteral("frmCredit"), QPoint(600, 296));
    QVERIFY(!credits->isVisible());
}

QTEST_MAIN(AboutTest)
#include "about_test.moc"
