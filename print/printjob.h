#pragma once

#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace shell {

class LinePrinter;

/// Runs a print without freezing the window that asked for it: `print` draws on `printer` in a worker
/// thread, which touches no widget, while this thread keeps the windows painted. A print that lasts
/// longer than a moment shows a progress dialog with Cancel over `window`; until then the user's clicks
/// and keys wait. Cancel ends the document as a failed print does: silently, and what was printed stays.
///
/// `size` is the number of characters the document prints, as far as the progress is concerned. The
/// printer is destroyed in the worker thread once the print is over, so that its fonts never outlive
/// the thread that made them.
///
/// Returns true when the document was printed to its end, false when the printer failed (PrintFailure)
/// or the user cancelled. Any other exception from `print`, such as a store::Failure, is thrown again
/// here.
bool runPrintJob(QWidget *window, std::unique_ptr<LinePrinter> printer, qint64 size,
                 std::function<void(LinePrinter &printer)> print);

/// How long a print runs before its progress dialog shows, in milliseconds.
constexpr int kPrintProgressDelayMs = 250;

} // namespace shell
