#pragma once

#include <QString>

/// Opening the help file at its contents, in the program's own help window.
namespace mdlHelp {

/// How long the help window may take to show its first page before the opener gives up on it.
constexpr int kViewerStartMs = 3000;

/// The help files, by their numbers.
enum HelpFile {
    ProgramHelp = 1, ///< the program's own guide, Documentation/LDHelp.chm
};

/// The path of the help file `selector`. A number that names no help file shows "Invalid Help file." and
/// gives the empty text.
QString HelpFilePath(HelpFile selector);

/// Opens the help file of `selector` at its contents in the help window, which runs as a process of its own
/// (larderon-help beside the program). Returns the window's process id once it shows the first page of the
/// contents, or 0 after telling the user that the help file cannot be opened. The program goes on either way.
qint64 OpenHelp(HelpFile selector);

/// Starts the help window on `path` and waits, at most `timeoutMs`, until it reports its first page shown.
/// Returns its process id, or 0 when it ended without showing the page (the file is missing, damaged or not a
/// help file, or the window crashed) or took too long (it is then stopped). While it waits the program's
/// windows keep painting; clicks and keys wait until it returns. The window keeps running beside the program
/// and ends when the program ends, however it ends.
qint64 StartViewer(const QString &path, int timeoutMs = kViewerStartMs);

/// The help window program to start instead of larderon-help beside the program; the empty text goes back to
/// that one. Tests use it: their executables do not live beside larderon-help.
void SetViewerProgram(const QString &program);

} // namespace mdlHelp
