#include "store/appfolder.h"

#include "store/io/failure.h"
#include "store/io/filename.h"
#include "store/io/folderindex.h"

#include <sys/stat.h>

namespace store {

namespace {

bool exists(const QString &path)
{
    struct stat info;
    return ::stat(encodeFileName(path).constData(), &info) == 0;
}

// The entry of `folder` that `name` stands for: the exact spelling when it exists, otherwise the first
// entry that differs only in letter case, otherwise `name` as given.
QString resolveEntry(const QString &folder, const QString &name)
{
    const QString exact = folder + QLatin1Char('/') + name;
    if (exists(exact))
        return exact;
    const folderindex::Entry entry = folderindex::find(folder, name, true);
    return entry.kind == folderindex::Entry::Present ? folder + QLatin1Char('/') + entry.name : exact;
}

// dataPath() checks every name; an empty category would only be left out, and must fail instead.
QString requireCategory(const QString &category)
{
    if (category.isEmpty() || category.startsWith(kByteOrderMark) || isReservedCategoryName(category))
        throw Failure(Failure::BadFileName);
    return category;
}

QString requireName(const QString &name)
{
    if (!isValidName(name))
        throw Failure(Failure::BadFileName);
    return name;
}

// True for the names Windows keeps for its devices, in any letter case: CON, PRN, AUX, NUL, COM1 to COM9,
// LPT1 to LPT9; also with an extension ("aux.txt") and with blanks before it ("con .txt").
bool isDeviceName(const QString &name)
{
    QStringView base = QStringView(name).left(name.indexOf(QLatin1Char('.')));
    while (base.endsWith(QLatin1Char(' ')))
        base.chop(1);
    const auto is = [base](const char *device) {
        return base.compare(QLatin1String(device), Qt::CaseInsensitive) == 0;
    };
    if (base.size() == 3)
        return is("CON") || is("PRN") || is("AUX") || is("NUL");
    const char16_t digit = base.size() == 4 ? base.at(3).unicode() : 0;
    return digit >= u'1' && digit <= u'9' &&
           (base.startsWith(QLatin1String("COM"), Qt::CaseInsensitive) ||
            base.startsWith(QLatin1String("LPT"), Qt::CaseInsensitive));
}

} // namespace

bool isReservedCategoryName(const QString &name)
{
    return name.compare(kCategoryListFile, Qt::CaseInsensitive) == 0 ||
           name.compare(kWorkFolder, Qt::CaseInsensitive) == 0;
}

bool isValidName(const QString &name)
{
    // Windows drops a final blank or dot from a name, so such a name would not come back as it was; "." and
    // ".." end in a dot too.
    if (name.isEmpty() || name.endsWith(QLatin1Char(' ')) || name.endsWith(QLatin1Char('.')) || isDeviceName(name))
        return false;
    for (const QChar c : name) {
        switch (c.unicode()) {
        case u'\\':
        case u'/':
        case u':':
        case u'*':
        case u'?':
        case u'"':
        case u'<':
        case u'>':
        case u'|':
            return false;
        default:
            if (c.unicode() < 32)
                return false;
        }
    }
    return true;
}

QString dataPath(const QStringList &components)
{
    QStringList names;
    for (const QString &component : components) {
        if (!component.isEmpty())
            names.append(requireName(component));
    }
    const QString folder = applicationFolder();
    if (names.isEmpty())
        return folder;

    // Most paths are spelled as they are on disk: the last name is looked up in its folder as spelled,
    // and the names are resolved one by one only when that folder is not there.
    const QString exact = folder + QLatin1Char('/') + names.join(QLatin1Char('/'));
    if (names.size() > 1) {
        using folderindex::Entry;
        const QString exactFolder = exact.left(exact.size() - names.last().size() - 1);
        // A folder the index holds answers at once; otherwise a name that is there as spelled saves
        // reading the whole folder.
        Entry entry = folderindex::find(exactFolder, names.last(), false);
        if (entry.kind == Entry::Unknown) {
            if (exists(exact))
                return exact;
            entry = folderindex::find(exactFolder, names.last(), true);
        }
        if (entry.kind == Entry::Present)
            return exactFolder + QLatin1Char('/') + entry.name;
        if (entry.kind == Entry::Absent)
            return exact;
    } else if (exists(exact)) {
        return exact;
    }

    QString path = folder;
    for (const QString &name : std::as_const(names))
        path = resolveEntry(path, name);
    return path;
}

QString categoryListPath()
{
    return dataPath({kCategoryFolder, kCategoryListFile});
}

QString categoryFolderPath(const QString &category)
{
    return dataPath({kCategoryFolder, requireCategory(category)});
}

QString recipePath(const QString &category, const QString &recipe)
{
    return dataPath({kCategoryFolder, requireCategory(category), recipe});
}

QString shoppingListFolderPath()
{
    return dataPath({kShoppingListFolder});
}

QString shoppingListPath(const QString &fileName)
{
    return dataPath({kShoppingListFolder, fileName});
}

QString iconPath(const QString &name)
{
    return dataPath({kImagesFolder, name + QStringLiteral(".ico")});
}

QString helpFilePath()
{
    return dataPath({kDocumentationFolder, kHelpFile});
}

QString settingsPath()
{
    return dataPath({kSettingsFile});
}

} // namespace store
