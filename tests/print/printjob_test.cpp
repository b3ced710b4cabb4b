#include "print/printjob.h"
#include "store/io/failure.h"
#include "tests/support/printer.h"

#include <QtTest>
#include <QtWidgets>

using namespace Qt::StringLiterals;

namespace {

/// A recording printer that takes `pauseMs` for each line, fails at line `failAt`, and notes in `aside` whether
/// it was destroyed in another thread than the test's.
struct SlowPrinter : testing::RecordingPrinter
{
    SlowPrinter(testing::Printout &printout, bool &destroyedAside, int failingLine, int pause)
        : RecordingPrinter(printout), out(printout), aside(destroyedAside), failAt(failingLine), pauseMs(pause)
    {}
    ~SlowPrinter() override { aside = QThread::currentThread() != qApp->thread(); }
    void endLine() override
    {
        if (out.lines.size() + 1 == failAt)
            throw shell::PrintFailure();
        QThread::msleep(pauseMs);
        RecordingPrinter::endLine();
    }
    testing::Printout &out;
    bool &aside;
    const int failAt, pauseMs;
};

} // namespace

/// The print job: printing in a worker with a progress dialog, and how it ends.
class PrintJobTest : public QObject
{
    Q_OBJECT

private slots:
    void printJob_endsAsThePrinterOrTheUserEndsIt_data()
    {
        QTest::addColumn<int>("failAt");  // the line the printer fails at; -1: the text to print cannot be read
        QTest::addColumn<bool>("cancel"); // Cancel in the progress dialog as soon as it shows
        QTest::addColumn<QString>("outcome");
        QTest::newRow("to its end") << 0 << false << u"printed, 100 lines, 1 document"_s;
        QTest::newRow("the printer fails") << 3 << false << u"not printed, 2 lines, 0 document"_s;
        QTest::newRow("cancelled") << 0 << true << u"not printed, some lines, 0 document"_s;
        QTest::newRow("the text cannot be read") << -1 << false << u"53, 0 lines, 0 document"_s;
    }
    void printJob_endsAsThePrinterOrTheUserEndsIt()
    {
        QFETCH(int, failAt);
        QFETCH(bool, cancel);
        QWidget window;
        window.show();
        testing::Printout out;
        bool destroyedAside = false;
        // A slow print shows its progress dialog; how long the window waits meanwhile is the bench's figure.
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [cancel] {
            if (auto *progress = qobject_cast<QProgressDialog *>(QApplication::activeModalWidget()); progress && cancel)
                progress->findChild<QPushButton *>()->click();
        });
        tick.start(10);
        QString outcome;
        try {
            outcome = shell::runPrintJob(
                          &window, std::make_unique<SlowPrinter>(out, destroyedAside, failAt, cancel ? 20 : 0), 200,
                          [failAt](shell::LinePrinter &printer) {
                              if (failAt < 0)
                                  throw store::Failure(store::Failure::FileNotFound);
                              for (int line = 0; line < 100; ++line) {
                                  printer.print(u"line"_s);
                                  printer.endLine();
                              }
                              printer.endDocument();
                          })
                          ? u"printed"_s
                          : u"not printed"_s;
        } catch (const store::Failure &failure) {
            outcome = QString::number(failure.number());
        }
        const qsizetype lines = out.lines.size();
        QTEST(u"%1, %2 lines, %3 document"_s
                  .arg(outcome, cancel && lines > 0 && lines < 100 ? u"some"_s : QString::number(lines))
                  .arg(out.documents),
              "outcome");
        QVERIFY(destroyedAside);
    }
};

QTEST_MAIN(PrintJobTest)
#include "printjob_test.moc"
