#include "screens/about.h"
#include "screens/credit.h"
#include "shell/appearance.h"
#include "tests/support/rows.h"
#include "tests/support/screenfixture.h"

#include <QApplication>
#include <QTest>

class AboutTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The screens are laid out in the program's face.
        shell::registerTahoma();
        QFont font("Tahoma");
        font.setPointSizeF(8.25);
        QApplication::setFont(font);
    }

    void clickAnywhere_hidesTheScreen_data()
    {
        testing::addRows({"About; 420; 44", "Credits; 600; 296"}); // a point of the bare screen
    }

    void clickAnywhere_hidesTheScreen()
    {
        const auto [x, y] = testing::cells<2>();
        const QPoint bare(x.toInt(), y.toInt());
        testing::ScreenFixture f;
        QTest::currentDataTag() == QByteArray("About") ? f.use<frmAbout>() : f.use<frmCredit>();
        f.run("show");
        QWidget *shown = f.screen;
        QTest::mouseClick(shown, Qt::RightButton, {}, bare);
        QVERIFY2(shown->isVisible(), "a right click hid the screen");
        // Every label and picture passes its click on; shown again, the screen is the same.
        const QList<QWidget *> controls = shown->findChildren<QWidget *>() << shown;
        for (QWidget *control : controls) {
            f.run("show");
            QCOMPARE(f.screen, shown);
            QTest::mouseClick(control, Qt::LeftButton, {}, control == shown ? bare : control->rect().center());
            QVERIFY2(!shown->isVisible(), qPrintable(control->objectName()));
        }
    }
};

QTEST_MAIN(AboutTest)
#include "about_test.moc"
