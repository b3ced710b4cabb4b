#pragma once

#include "store/appfolder.h"
#include "store/failure.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

/// What the store tests share: a fresh application folder per test, raw file bytes and fixtures.
namespace storetest {

/// A new application folder holding an empty Category folder, made the store's folder until the next one.
/// It lies inside a temporary root, so that a test can see anything written beside it.
class AppFolder
{
public:
    AppFolder()
    {
        QDir(root()).mkpath(QStringLiteral("app/Category"));
        store::setApplicationFolder(path());
    }
    QString root() const { return m_root.path(); }
    QString path(const QString &relative = {}) const
    {
        return root() + QStringLiteral("/app") + (relative.isEmpty() ? QString() : QLatin1Char('/') + relative);
    }

private:
    QTemporaryDir m_root;
};

inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline void writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

inline QByteArray fixture(const QString &name)
{
    return readBytes(QStringLiteral(LARDERON_TEST_DATA "/") + name);
}

/// Copies every file below the fixture folder `name` to `target`, keeping the folders.
inline void copyFixtureTree(const QString &name, const QString &target)
{
    const QString from = QStringLiteral(LARDERON_TEST_DATA "/") + name;
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        writeBytes(target + QLatin1Char('/') + QDir(from).relativeFilePath(file), readBytes(file));
    }
}

inline void makeReadOnly(const QString &path)
{
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
}

/// Every file and folder below `root`, with each file's size, to compare before and after.
inline QStringList tree(const QString &root)
{
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        // The program's work folder holds no data.
        if (info.filePath().contains(QLatin1String("/.larderon")))
            continue;
        const QString size = info.isDir() ? QStringLiteral("/") : QStringLiteral(" %1").arg(info.size());
        entries.append(QDir(root).relativeFilePath(info.filePath()) + size);
    }
    entries.sort();
    return entries;
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

} // namespace storetest
