#include "shell/appearance.h"
#include "shell/error.h"
#include "shell/errorpath.h"
#include "shell/menubar.h"
#include "shell/module1.h"
#include "shell/worker.h"
#include "store/io/failure.h"
#include "tests/support/rows.h"
#include "tests/support/screenfixture.h"

#include <QtTest>
#include <QtWidgets>

#include <numeric>

using namespace Qt::StringLiterals;
using shell::Screen;
using shell::ScreenRegistry;

/// The pieces every screen shares: the error report, the clear routine, the menu bar, the worker and the type.
class ShellTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        // Screens that hold one control of each kind the clear routine meets.
        for (const char *name : {"frmIngred", "frmRecipe", "frmSetup", "frmShop"})
            ScreenRegistry::add(QLatin1String(name), [name] {
                auto *screen = new Screen;
                screen->setObjectName(QLatin1String(name));
                new QLineEdit(u"line"_s, screen);
                new QPlainTextEdit(u"text"_s, screen);
                auto *combo = new QComboBox(screen);
                combo->setEditable(true);
                combo->addItem(u"Soups"_s);
                (new QListWidget(screen))->addItem(u"Apple Pie"_s);
                screen->findChild<QListWidget *>()->setObjectName(u"lswRFile"_s);
                return screen;
            });
    }

    void errorReport_showsTheCodesTextsAndEndsTheProgram_data()
    {
        // the code (the row name); its number; what failed; the source "(form) ... section". One code of each
        // kind of failure, and the numbers as the report writes them, with a blank before a positive one.
        testing::addRows({"I - FL -; 53; open; Ingredient - Form_Load", "I - CS -; 75; save; Ingredient - cmdISave",
                          "R - CD -; 70; delete; Recipe - chkRDel", "S - CC -; 58; create; Setup - cmdSCreate",
                          "S - FL -; 0; open; Setup - Form_Load", "H - CD -; -5; delete; Shop - cmdHDel",
                          "M - CS -; 61; save; Import - cmdMImport",
                          // An unknown code leaves the report's placeholders, and the failure's own description.
                          "X - ZZ -; 76; ; "});
    }
    void errorReport_showsTheCodesTextsAndEndsTheProgram()
    {
        const auto [number, failed, form] = testing::cells<3>();
        const QString code = QLatin1String(QTest::currentDataTag());
        const bool known = !failed.isEmpty();
        const QString description =
            failed == u"create" ? u"This program has failed to create the needed folder"_s
                                : u"This program has failed to %1 "_s.arg(failed) +
                                      (failed == u"open" ? u"the needed folder or file"_s : u"the screen data"_s);
        testing::ScreenSession session;
        ScreenRegistry::show("frmShop");
        const QPointer<Screen> shop = ScreenRegistry::find("frmShop");

        // A failure of the store brings its own description; the report shows the code's texts instead.
        if (const int failure = number.toInt(); failure > 0)
            shell::raiseError(ScreenRegistry::find("frmShop"), code, store::Failure(store::Failure::Number(failure)));
        else
            shell::raiseError(ScreenRegistry::find("frmShop"), code, failure, u"Path not found"_s);

        QVERIFY(!ScreenRegistry::find("frmShop")->isVisible() && ScreenRegistry::find<frmError>()->isVisible());
        const auto label = [](const char *name) {
            return ScreenRegistry::find<frmError>()->findChild<QLabel *>(name)->text();
        };
        QCOMPARE(label("lblENumMsg"), known ? code + (number.startsWith(u'-') ? "" : " ") + number : u"2"_s);
        QCOMPARE(label("lblEDescMsg"), known ? description + u"\ncorrectly."_s : u"error"_s);
        QCOMPARE(shell::errorHandOver().description, known ? description + u"\rcorrectly."_s : u"Path not found"_s);
        QCOMPARE(label("lblESourceMsg"), known ? u"(form) %1 section"_s.arg(form) : u"section"_s);
        QCOMPARE(label("lblEFixMsg"),
                 known ? u"Please contact the author with the error number above.\nThis program will now end!"_s
                       : u"22"_s);
        QTest::mouseClick(ScreenRegistry::find<frmError>()->findChild<QPushButton *>("cmdEBack"), Qt::LeftButton);
        // The program ends: every screen unloaded and destroyed.
        QCOMPARE(session.quitCount(), 1);
        QVERIFY(ScreenRegistry::loaded().isEmpty());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(shop.isNull());
    }

    void clearScreen_emptiesThatScreensTextBoxesOnly_data()
    {
        testing::addRows({"frmIngred; 0", "frmRecipe; 1", "none; 2", "frmShop; 3"});
    }
    void clearScreen_emptiesThatScreensTextBoxesOnly()
    {
        const int number = testing::cells<1>()[0].toInt();
        testing::ScreenSession session;
        Module1::ClearScreen(Module1::ScreenNumber(number)); // a screen that is not loaded stays so
        QVERIFY(ScreenRegistry::loaded().isEmpty());
        for (const char *name : {"frmIngred", "frmRecipe", "frmShop"})
            ScreenRegistry::load(QLatin1String(name));

        Module1::ClearScreen(Module1::ScreenNumber(number));

        for (Screen *screen : ScreenRegistry::loaded()) {
            const bool cleared = screen->objectName() == QLatin1String(QTest::currentDataTag());
            QCOMPARE(screen->findChild<QLineEdit *>()->text().isEmpty(), cleared);
            QCOMPARE(screen->findChild<QPlainTextEdit *>()->toPlainText().isEmpty(), cleared);
            // A combo box is not a text box, and only the recipe display's file list is emptied.
            QCOMPARE(screen->findChild<QComboBox *>()->currentText(), u"Soups"_s);
            QCOMPARE(screen->findChild<QListWidget *>()->count(), cleared && number == 1 ? 0 : 1);
        }
    }

    void menuBar_readsIconsAnewAndDrawsInTahoma()
    {
        testing::AppFolder app;
        const auto installIcon = [&app](const char *name) {
            QFile::copy(QStringLiteral(LARDERON_TEST_DATA "/../../assets/images/%1.ico").arg(name),
                        app.file(u"images/%1.ico"_s.arg(name)));
        };
        installIcon("New");
        app.write("images/Save.ico", "not an icon");
        shell::MenuBar bar;
        shell::BuildMenuBar(&bar, shell::shopMenu());
        QVERIFY(!bar.action("keyNew")->icon().isNull() && bar.action("keySave")->icon().isNull());
        QVERIFY(shell::LoadMenuIcon("Print").isNull());
        installIcon("Print");
        QVERIFY(!shell::LoadMenuIcon("Print").isNull());

        // A separator row is a separator; the drop-down menus, windows of their own, take the bar's Tahoma 8.
        shell::BuildMenuBar(&bar, shell::recipeMenu());
        const QMenu *file = bar.actions().constLast()->menu();
        QCOMPARE(file->actions().at(1)->isSeparator(), true);
        QCOMPARE(file->font().family() + QString::number(file->font().pointSize()), u"Tahoma8"_s);
    }

    void worker_runsAside()
    {
        // How long the windows wait meanwhile is the bench's figure for the recipe display's list.
        bool aside = false;
        shell::runInWorker([&aside] { aside = QThread::currentThread() != qApp->thread(); });
        QVERIFY(aside);
    }

    void boldText_isClearlyHeavier()
    {
        if (!shell::registerTahoma())
            QSKIP("no Tahoma face to draw with");
        // The ink of a bold caption against the same caption in regular type.
        const auto ink = [](QFont::Weight weight) {
            QImage caption(160, 20, QImage::Format_Alpha8); // the coverage of each pixel
            caption.fill(Qt::transparent);
            QPainter painter(&caption);
            painter.setFont(QFont(u"Tahoma"_s, 9, weight));
            painter.drawText(caption.rect(), Qt::AlignCenter, u"Err. Description:"_s);
            return std::accumulate(caption.constBits(), caption.constBits() + caption.sizeInBytes(), 0LL);
        };
        const qint64 bold = ink(QFont::Bold), regular = ink(QFont::Normal);
        QVERIFY2(bold > 1.3 * regular, qPrintable(u"%1 against %2"_s.arg(bold).arg(regular)));
    }
};

QTEST_MAIN(ShellTest)
#include "shell_test.moc"
