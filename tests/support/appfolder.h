#pragma once

#include "store/io/failure.h"
#include "store/recipefile.h"

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace testing {

/// A fresh application folder for one test, made the program's application folder for as long as it lives:
/// Installed lays out the data folders the installation makes (Category with an empty category.txt,
/// Shopping List, images, Documentation), Empty nothing at all. The user's home is a fresh folder too, with
/// no data folder yet, as on a new account; deletions go to the trash the program makes there.
class AppFolder
{
public:
    enum Layout { Installed, Empty };

    explicit AppFolder(Layout layout = Installed);
    ~AppFolder();

    QString path() const { return m_dir.path(); }
    /// The absolute path of `relative` ("Category/Soups").
    QString file(const QString &relative) const { return m_dir.filePath(relative); }
    void makeFolder(const QString &relative) const { QDir().mkpath(file(relative)); }
    /// Writes `bytes` to the file, making its folders first.
    void write(const QString &relative, const QByteArray &bytes) const;
    /// Copies every file below the folder `from` to `relative`, keeping the folders.
    void copyTree(const QString &from, const QString &relative) const;
    /// The file's bytes; empty when it cannot be read.
    QByteArray read(const QString &relative) const;
    bool exists(const QString &relative) const { return QFileInfo::exists(file(relative)); }
    /// The names in a folder, sorted.
    QStringList entries(const QString &relative) const { return QDir(file(relative)).entryList(kAll, QDir::Name); }
    /// Makes the category's folder and appends its line to category.txt, as the program does.
    void addCategory(const QString &name) const;
    /// Sets the time of a file or folder to `ns` since the epoch, as a file system with a coarse clock keeps
    /// it; a negative `ns` goes that far back from now.
    void setTime(const QString &relative, qint64 ns) const;
    /// Clears or sets the owner's write permission.
    void setReadOnly(const QString &relative, bool readOnly = true) const;
    /// The trash folder deletions land in.
    QString trashFiles() const { return m_home.filePath(QStringLiteral("share/Trash/files")); }
    /// Every file and folder below `folder` (relative, or absolute), sorted: "Pies/" for a folder,
    /// "Pies/Apple 5" for a file and its size. Taken before and after an operation, it shows what changed.
    /// The program's work folder (.larderon) holds no data and is left out.
    QStringList tree(const QString &folder = {}) const;

private:
    static constexpr QDir::Filters kAll = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System;
    QTemporaryDir m_dir;
    QTemporaryDir m_home;
    const QByteArray m_oldHome = qgetenv("HOME");
    const QByteArray m_oldDataHome = qgetenv("XDG_DATA_HOME");
};

/// A recipe with `rows` "amount|measure|ingredient" from row 1 on, `directions`, and its cooking boxes
/// (temperature, serving size, hours, minutes) from `cooking`.
store::RecipeRecord recipe(const QStringList &rows, const QString &directions = {}, const QStringList &cooking = {});

/// The bytes of tests/data/<name>.
QByteArray fixture(const QString &name);

/// Adds the rows of the table tests/data/<name> as a column "cells" that testing::cells() reads: a line per
/// row, its name and its cells separated by tabs; empty lines and lines starting with "#" are skipped.
void addTable(const QString &name);
/// The bytes a table cell stands for: \r, \n, \t, \\ and \xHH as in C, the rest as UTF-8.
QByteArray unescape(const QString &cell);
inline QString text(const QString &cell)
{
    return QString::fromUtf8(unescape(cell));
}

/// The number of the store::Failure that `operation` throws; 0 when it throws none.
template <typename Operation>
int failureOf(Operation &&operation)
{
    try {
        operation();
    } catch (const store::Failure &failure) {
        return failure.number();
    }
    return 0;
}

} // namespace testing
