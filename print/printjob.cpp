#include "print/printjob.h"

#include "print/lineprinter.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <exception>

namespace shell {

namespace {

/// What the worker and the window share while a print runs.
struct JobState
{
    std::atomic<qint64> printed{0};
    std::atomic<bool> cancelled{false};
    bool completed = false;
    std::exception_ptr error;
};

/// Passes every call on to the real printer, counts the characters printed and, once the user has
/// cancelled, fails the next step as a broken printer would.
class WatchedPrinter : public LinePrinter
{
public:
    WatchedPrinter(LinePrinter &printer, JobState &state) : m_printer(printer), m_state(state) {}

    void setFontName(const QString &name) override { m_printer.setFontName(name); }
    void setFontSize(double points) override { m_printer.setFontSize(points); }
    void setBold(bool bold) override { m_printer.setBold(bold); }
    double fontSize() const override { return m_printer.fontSize(); }
    void print(const QString &text) override
    {
        go();
        m_printer.print(text);
        m_state.printed += text.size();
    }
    void printWord(QStringView word) override
    {
        go();
        m_printer.printWord(word);
        m_state.printed += word.size();
    }
    void endLine() override
    {
        go();
        m_printer.endLine();
        ++m_state.printed;
    }
    double textWidth(const QString &text) const override { return m_printer.textWidth(text); }
    double wordWidth(QStringView word) const override { return m_printer.wordWidth(word); }
    double currentX() const override { return m_printer.currentX(); }
    double currentY() const override { return m_printer.currentY(); }
    double pageWidth() const override { return m_printer.pageWidth(); }
    double pageHeight() const override { return m_printer.pageHeight(); }
    void newPage() override
    {
        go();
        m_printer.newPage();
    }
    void endDocument() override
    {
        go();
        m_printer.endDocument();
    }

private:
    void go() const
    {
        if (m_state.cancelled.load(std::memory_order_relaxed))
            throw PrintFailure();
    }

    LinePrinter &m_printer;
    JobState &m_state;
};

} // namespace

bool runPrintJob(QWidget *window, std::unique_ptr<LinePrinter> printer, qint64 size,
                 std::function<void(LinePrinter &printer)> print)
{
    JobState state;
    QEventLoop loop;
    std::unique_ptr<QThread> worker(QThread::create([&state, &printer, &print] {
        try {
            WatchedPrinter watched(*printer, state);
            print(watched);
            state.completed = true;
        } catch (const PrintFailure &) {
        } catch (...) {
            state.error = std::current_exception();
        }
        // A failed print is ended here too, with what it printed.
        printer.reset();
    }));
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);

    QTimer moment;
    moment.setSingleShot(true);
    QObject::connect(&moment, &QTimer::timeout, &loop, &QEventLoop::quit);
    moment.start(kPrintProgressDelayMs);
    worker->start();
    // Until the dialog shows, the windows paint but the user's clicks and keys wait for the print.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!worker->isFinished()) {
        QProgressDialog progress(QStringLiteral("Printing..."), QStringLiteral("Cancel"), 0, 1000, window);
        progress.setWindowTitle(QStringLiteral("Print"));
        progress.setWindowModality(Qt::ApplicationModal);
        progress.setMinimumDuration(0);
        progress.setAutoReset(false);
        progress.setAutoClose(false);
        QObject::connect(&progress, &QProgressDialog::canceled, &progress, [&state] { state.cancelled = true; });
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, &progress, [&] {
            if (!state.cancelled)
                progress.setValue(int(std::min<qint64>(1000, 1000 * state.printed / std::max<qint64>(size, 1))));
        });
        tick.start(50);
        progress.show();
        if (!worker->isFinished())
            loop.exec();
    }
    worker->wait();
    if (state.error)
        std::rethrow_exception(state.error);
    return state.completed && !state.cancelled;
}

} // namespace shell
