#include "tests/support/appfolder.h"

#include "store/appfolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

namespace testing {

AppFolder::AppFolder(Layout layout)
{
    store::setApplicationFolder(m_dir.path());
    qputenv("XDG_DATA_HOME", m_dataHome.path().toLocal8Bit());
    if (layout == Installed) {
        for (const char *folder : {"Category", "Shopping List", "images", "Documentation"})
            makeFolder(QLatin1String(folder));
        write(QStringLiteral("Category/category.txt"), {});
    }
}

AppFolder::~AppFolder()
{
    // Read-only files would stop the temporary folder from being removed by a user without root.
    for (const QString &folder : {m_dir.path(), m_dataHome.path()}) {
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QDir dir(folder);
        const auto all = dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        for (const QFileInfo &info : all)
            QFile::setPermissions(info.filePath(), info.permissions() | QFile::WriteOwner);
    }
    store::setApplicationFolder(QString());
}

QString AppFolder::file(const QString &relative) const
{
    return m_dir.filePath(relative);
}

void AppFolder::makeFolder(const QString &relative) const
{
    QDir().mkpath(file(relative));
}

void AppFolder::write(const QString &relative, const QByteArray &bytes) const
{
    QFile f(file(relative));
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

void AppFolder::copyTree(const QString &from, const QString &relative) const
{
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = relative + QLatin1Char('/') + QDir(from).relativeFilePath(source);
        makeFolder(QFileInfo(target).path());
        QFile file(source);
        write(target, file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
    }
}

QByteArray AppFolder::read(const QString &relative) const
{
    QFile f(file(relative));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool AppFolder::exists(const QString &relative) const
{
    return QFileInfo::exists(file(relative));
}

QStringList AppFolder::entries(const QString &relative) const
{
    return QDir(file(relative)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

void AppFolder::setReadOnly(const QString &relative, bool readOnly) const
{
    QFile::Permissions permissions = QFile::permissions(file(relative));
    if (readOnly)
        permissions &= ~(QFile::WriteOwner | QFile::WriteUser | QFile::WriteGroup | QFile::WriteOther);
    else
        permissions |= QFile::WriteOwner | QFile::WriteUser;
    QFile::setPermissions(file(relative), permissions);
}

QString AppFolder::trashFiles() const
{
    return m_dataHome.filePath(QStringLiteral("Trash/files"));
}

} // namespace testing
