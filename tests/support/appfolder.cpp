#include "tests/support/appfolder.h"

#include "store/appfolder.h"
#include "store/categorylist.h"

#include <QDateTime>
#include <QDirIterator>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>

namespace testing {

AppFolder::AppFolder(Layout layout)
{
    store::setApplicationFolder(m_dir.path());
    // Qt puts a file in the home's trash only when it lies on the home's file system, as this folder does.
    qputenv("HOME", m_home.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", m_home.filePath(QStringLiteral("share")).toLocal8Bit());
    if (layout == Installed) {
        for (const char *folder : {"Shopping List", "images", "Documentation"})
            makeFolder(QLatin1String(folder));
        write(QStringLiteral("Category/category.txt"), {});
    }
}

AppFolder::~AppFolder()
{
    // A folder that may not be written would keep its files from being removed by a user without root.
    for (const QString &root : {m_dir.path(), m_home.path()}) {
        QFile::setPermissions(root, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        for (QDirIterator it(root, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
             it.hasNext();)
            QFile::setPermissions(it.next(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    store::setApplicationFolder(QString());
    qputenv("HOME", m_oldHome);
    qputenv("XDG_DATA_HOME", m_oldDataHome);
}

void AppFolder::write(const QString &relative, const QByteArray &bytes) const
{
    QDir().mkpath(QFileInfo(file(relative)).path());
    QFile f(file(relative));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(relative));
}

void AppFolder::copyTree(const QString &from, const QString &relative) const
{
    for (QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        QFile source(it.next());
        write(relative + QLatin1Char('/') + QDir(from).relativeFilePath(source.fileName()),
              source.open(QIODevice::ReadOnly) ? source.readAll() : QByteArray());
    }
}

QByteArray AppFolder::read(const QString &relative) const
{
    QFile f(file(relative));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void AppFolder::addCategory(const QString &name) const
{
    makeFolder(QStringLiteral("Category/") + name);
    store::appendCategoryLine(name);
}

void AppFolder::setReadOnly(const QString &relative, bool readOnly) const
{
    const QFile::Permissions write = QFile::WriteOwner | QFile::WriteUser | QFile::WriteGroup | QFile::WriteOther;
    const QFile::Permissions permissions = QFile::permissions(file(relative));
    QFile::setPermissions(file(relative), readOnly ? permissions & ~write : permissions | QFile::WriteOwner);
}

QStringList AppFolder::tree(const QString &folder) const
{
    const QDir top(QDir::isAbsolutePath(folder) ? folder : file(folder));
    QStringList entries;
    for (QDirIterator it(top.path(), kAll, QDirIterator::Subdirectories); it.hasNext();) {
        const QFileInfo info(it.next());
        // The program's work folder holds no data.
        if (info.filePath().contains(QLatin1String("/.larderon")))
            continue;
        entries << top.relativeFilePath(info.filePath()) +
                       (info.isDir() ? QStringLiteral("/") : ' ' + QString::number(info.size()));
    }
    entries.sort();
    return entries;
}

store::RecipeRecord recipe(const QStringList &rows, const QString &directions, const QStringList &cooking)
{
    store::RecipeRecord r;
    for (int row = 1; row <= rows.size(); ++row) {
        const QStringList parts = rows.at(row - 1).split(QLatin1Char('|'));
        r.amount(row) = parts.value(0);
        r.type(row) = parts.value(1);
        r.ingredient(row) = parts.value(2);
    }
    r.directions() = directions;
    for (int i = 0; i < cooking.size(); ++i)
        r.fields.at(31 + i) = cooking.at(i);
    return r;
}

QByteArray fixture(const QString &name)
{
    QFile f(QStringLiteral(LARDERON_TEST_DATA "/") + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing fixture>");
}

void addTable(const QString &name)
{
    QTest::addColumn<QStringList>("cells");
    for (const QString &line : QString::fromUtf8(fixture(name)).split(u'\n')) {
        QStringList cells = line.split(u'\t');
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QByteArray tag = cells.takeFirst().toUtf8();
        QTest::newRow(tag.constData()) << cells;
    }
}

QByteArray unescape(const QString &cell)
{
    const QByteArray in = cell.toUtf8();
    QByteArray out;
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] != '\\' || i + 1 == in.size()) {
            out += in[i];
        } else if (const char c = in[++i]; c == 'x') {
            out += char(in.mid(i + 1, 2).toInt(nullptr, 16));
            i += 2;
        } else {
            out += c == 'r' ? '\r' : c == 'n' ? '\n' : c == 't' ? '\t' : c;
        }
    }
    return out;
}

} // namespace testing

void testing::AppFolder::setTime(const QString &relative, qint64 ns) const
{
    if (ns < 0)
        ns += QDateTime::currentMSecsSinceEpoch() * 1'000'000;
    const timespec times[2] = {{time_t(ns / 1'000'000'000), long(ns % 1'000'000'000)},
                               {time_t(ns / 1'000'000'000), long(ns % 1'000'000'000)}};
    if (::utimensat(AT_FDCWD, QFile::encodeName(file(relative)).constData(), times, 0) != 0)
        qFatal("cannot set the time of %s", qPrintable(relative));
}
