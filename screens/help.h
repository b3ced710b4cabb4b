#pragma once

#include <QString>

/// Opening the help file at its contents, in the program's own help viewer.
namespace mdlHelp {

/// The path of the help file for `selector`: 1 is the program's help file. Any other selector shows
/// "Invalid Help file." and gives the empty text.
QString HelpFilePath(int selector);

/// Opens the help file of `selector` at its contents in the viewer, which runs as a process of its own.
/// Returns once the viewer has shown the contents page (a non-zero value) or cannot (0, after telling
/// the user so).
int OpenHelp(int selector);

/// Starts the viewer on `path` and waits until it reports the contents page shown (true) or gives up
/// (false). The viewer keeps running on its own afterwards.
bool StartViewer(const QString &path);

} // namespace mdlHelp
