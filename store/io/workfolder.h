#pragma once

#include <QString>

/// Where the program runs from: the application folder, and the program's own hidden work folder inside it.
namespace store {

/// The folder that holds the program, without a trailing separator.
QString applicationFolder();

/// Makes `folder` the application folder for the rest of the run (tests point it at a temporary folder).
/// An empty text goes back to the folder of the executable.
void setApplicationFolder(const QString &folder);

/// The program's own hidden folder inside the application folder. Files being saved are written there
/// and renamed into place, so that no listing of a data folder ever sees a half-written file; the write
/// lock (store/io/writelock.h) lives there too. It is made when it is first needed.
QString workFolderPath();

/// The name of the work folder.
inline const QString kWorkFolder = QStringLiteral(".larderon");

} // namespace store
