#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace testing {

/// A fresh application folder for one test: a temporary folder with the data folders the installation
/// lays out (Category with an empty category.txt, Shopping List, images, Documentation), made the
/// program's application folder for as long as it lives. Deletions go to a trash inside it.
class AppFolder
{
public:
    enum Layout {
        Installed, ///< the folders and an empty category list
        Empty,     ///< nothing at all
    };

    explicit AppFolder(Layout layout = Installed);
    ~AppFolder();

    QString path() const { return m_dir.path(); }
    /// The absolute path of `relative` ("Category/Soups").
    QString file(const QString &relative) const;

    void makeFolder(const QString &relative) const;
    void write(const QString &relative, const QByteArray &bytes) const;
    /// Copies every file below the folder `from` to `relative`, keeping the folders.
    void copyTree(const QString &from, const QString &relative) const;
    QByteArray read(const QString &relative) const;
    bool exists(const QString &relative) const;
    /// The names in a folder, sorted.
    QStringList entries(const QString &relative) const;
    /// Clears or sets the owner's write permission.
    void setReadOnly(const QString &relative, bool readOnly = true) const;

    /// The trash folder deletions land in.
    QString trashFiles() const;

private:
    QTemporaryDir m_dir;
    QTemporaryDir m_dataHome;
};

} // namespace testing
