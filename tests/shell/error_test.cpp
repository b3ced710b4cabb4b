#include "shell/error.h"
#include "shell/errorcodes.h"
#include "shell/errorpath.h"
#include "store/failure.h"
#include "tests/support/screens.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

using shell::ScreenRegistry;

class ErrorReportTest : public QObject
{
    Q_OBJECT

private slots:
    void report_showsTheTextsOfEachCode_data();
    void report_showsTheTextsOfEachCode();
    void negativeNumber_followsTheCodeWithItsSign();
    void unknownCode_leavesThePlaceholders();
    void raise_hidesTheScreenAndOkEndsTheProgram();

private:
    static QString label(const char *name)
    {
        auto *report = ScreenRegistry::find<frmError>();
        return report ? report->findChild<QLabel *>(QLatin1String(name))->text() : QString();
    }
};

void ErrorReportTest::report_showsTheTextsOfEachCode_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("firstLine");

    const QString open = QStringLiteral("This program has failed to open the needed folder or file");
    const QString save = QStringLiteral("This program has failed to save the screen data");
    const QString del = QStringLiteral("This program has failed to delete the screen data");
    QTest::newRow("I - FL -") << "I - FL -"
                              << "(form) Ingredient - Form_Load section" << open;
    QTest::newRow("I - CS -") << "I - CS -"
                              << "(form) Ingredient - cmdISave section" << save;
    QTest::newRow("R - CD -") << "R - CD -"
                              << "(form) Recipe - chkRDel section" << del;
    QTest::newRow("R - FL -") << "R - FL -"
                              << "(form) Recipe - Form_Load section" << open;
    QTest::newRow("R - LF -") << "R - LF -"
                              << "(form) Recipe - lswRFile section" << open;
    QTest::newRow("S - CC -") << "S - CC -"
                              << "(form) Setup - cmdSCreate section"
                              << "This program has failed to create the needed folder";
    QTest::newRow("S - CD -") << "S - CD -"
                              << "(form) Setup - cmdSDel section" << del;
    QTest::newRow("S - FL -") << "S - FL -"
                              << "(form) Setup - Form_Load section" << open;
    QTest::newRow("H - CD -") << "H - CD -"
                              << "(form) Shop - cmdHDel section" << del;
    QTest::newRow("H - CS -") << "H - CS -"
                              << "(form) Shop - cmdHSave section" << save;
    QTest::newRow("H - FL -") << "H - FL -"
                              << "(form) Shop - Form_Load section" << open;
    QTest::newRow("H - LF -") << "H - LF -"
                              << "(form) Shop - lswHOpen section" << open;
    QTest::newRow("M - FL -") << "M - FL -"
                              << "(form) Import - Form_Load section" << open;
    QTest::newRow("M - CS -") << "M - CS -"
                              << "(form) Import - cmdMImport section" << save;
}

void ErrorReportTest::report_showsTheTextsOfEachCode()
{
    QFETCH(QString, code);
    QFETCH(QString, source);
    QFETCH(QString, firstLine);
    testing::ScreenSession session;

    shell::raiseError(nullptr, code, store::Failure(store::Failure::InputPastEndOfFile));

    QCOMPARE(label("lblENumMsg"), code + QStringLiteral(" 62"));
    QCOMPARE(shell::errorHandOver().description, firstLine + QStringLiteral("\rcorrectly."));
    QCOMPARE(label("lblEDescMsg"), firstLine + QStringLiteral("\ncorrectly."));
    QCOMPARE(label("lblESourceMsg"), source);
    QCOMPARE(label("lblEFixMsg"),
             QStringLiteral("Please contact the author with the error number above.\nThis program will now end!"));
}

void ErrorReportTest::negativeNumber_followsTheCodeWithItsSign()
{
    testing::ScreenSession session;
    shell::raiseError(nullptr, QStringLiteral("S - CD -"), -5, QStringLiteral("anything"));
    QCOMPARE(label("lblENumMsg"), QStringLiteral("S - CD --5"));
    QCOMPARE(shell::errorNumberText(0), QStringLiteral(" 0"));
}

void ErrorReportTest::unknownCode_leavesThePlaceholders()
{
    testing::ScreenSession session;
    shell::raiseError(nullptr, QStringLiteral("X - ZZ -"), 76, QStringLiteral("Path not found"));
    QCOMPARE(label("lblENumMsg"), QStringLiteral("2"));
    QCOMPARE(label("lblEDescMsg"), QStringLiteral("error"));
    QCOMPARE(label("lblESourceMsg"), QStringLiteral("section"));
    QCOMPARE(label("lblEFixMsg"), QStringLiteral("22"));
    // The failure's own description is never shown, here or for a known code.
    QCOMPARE(shell::errorHandOver().description, QStringLiteral("Path not found"));
}

void ErrorReportTest::raise_hidesTheScreenAndOkEndsTheProgram()
{
    testing::ScreenSession session;
    ScreenRegistry::show(QStringLiteral("frmMain"));
    shell::Screen *failing = ScreenRegistry::find(QStringLiteral("frmMain"));

    shell::raiseError(failing, QStringLiteral("S - CD -"), store::Failure(store::Failure::PathNotFound));
    QVERIFY(!failing->isVisible());
    auto *report = ScreenRegistry::find<frmError>();
    QVERIFY(report && report->isVisible());
    QVERIFY(!report->findChildren<QLabel *>().isEmpty());
    for (QLabel *l : report->findChildren<QLabel *>())
        QVERIFY2(!l->text().contains(QLatin1String("Path not found")), qPrintable(l->text()));

    QTest::mouseClick(report->findChild<QPushButton *>(QStringLiteral("cmdEBack")), Qt::LeftButton);
    QCOMPARE(session.quitCount(), 1);
    QVERIFY(ScreenRegistry::loaded().isEmpty());
}

QTEST_MAIN(ErrorReportTest)
#include "error_test.moc"
