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

/// A new, empty application folder (with its Category folder) that the store uses until the next one.
/// The folder lies one level inside a temporary root, so that a test can see writes beside it.
class AppFolder
{
public:
    AppFolder()
    {
        QDir(m_root.path()).mkpath(QStringLiteral("app/Category"));
        store::setApplicationFolder(path());
    }
    QString path(const QString &relative = {}) const
    {
        const QString app = m_root.filePath(QStringLiteral("app"));
        return relative.isEmpty() ? app : app + QLatin1Char('/') + relative;
    }
    QString root() const { return m_root.path(); }

private:
    QTemporaryDir m_root;
};

inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
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

/// Every file and folder below `root` with the size of each file, to compare before and after.
inline QStringList tree(const QString &root)
{
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        entries.append(QDir(root).relativeFilePath(it.filePath()) +
                       (it.fileInfo().isDir() ? QStringLiteral("/") : QStringLiteral(" %1").arg(it.fileInfo().size())));
    }
    entries.sort();
    return entries;
}

inline void makeReadOnly(const QString &path)
{
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
}

} // namespace storetest

/// Runs `statement` and checks that it throws store::Failure with `expected` as its number.
#define STORE_VERIFY_FAILURE(statement, expected)                                                                      \
    do {                                                                                                               \
        try {                                                                                                          \
            statement;                                                                                                 \
        } catch (const store::Failure &failure) {                                                                      \
            QCOMPARE(failure.number(), int(expected));                                                                 \
            break;                                                                                                     \
        }                                                                                                              \
        QFAIL("no failure from: " #statement);                                                                         \
    } while (false)
