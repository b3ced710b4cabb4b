#include "store/recipepicture.h"

#include "store/appfolder.h"
#include "store/fileops.h"
#include "store/io/failure.h"
#include "store/io/textfile.h"

#include <QFile>

namespace store {

namespace {

constexpr const char *kExtensions[] = {"jpg", "png", "webp"};

// The extension a picture of these first bytes is kept with; none for another kind of file.
const char *extensionOf(const QByteArray &bytes)
{
    if (bytes.startsWith("\xFF\xD8\xFF"))
        return "jpg";
    if (bytes.startsWith("\x89PNG\r\n\x1A\n"))
        return "png";
    if (bytes.startsWith("RIFF") && bytes.mid(8, 4) == "WEBP")
        return "webp";
    return nullptr;
}

QString pathWith(const QString &category, const QString &recipe, const char *extension)
{
    return dataPath({kPicturesFolder, category, recipe + u'.' + QLatin1StringView(extension)});
}

} // namespace

bool isPicture(const QByteArray &bytes)
{
    return extensionOf(bytes) != nullptr;
}

QString picturePath(const QString &category, const QString &recipe)
{
    for (const char *extension : kExtensions) {
        const QString path = pathWith(category, recipe, extension);
        if (fileExists(path))
            return path;
    }
    return {};
}

void setPicture(const QString &category, const QString &recipe, const QString &imageFile)
{
    if (!isValidName(category) || !isValidName(recipe))
        throw Failure(Failure::BadFileName);
    if (!fileExists(imageFile))
        throw Failure(Failure::FileNotFound);
    QFile file(imageFile);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(Failure::PathFileAccessError);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Failure(Failure::PathFileAccessError);
    setPictureData(category, recipe, bytes);
}

void setPictureData(const QString &category, const QString &recipe, const QByteArray &bytes, Durability durability)
{
    if (!isValidName(category) || !isValidName(recipe))
        throw Failure(Failure::BadFileName);
    const char *extension = extensionOf(bytes);
    if (!extension)
        throw Failure(Failure::BadFileName);

    for (const QString &folder : {dataPath({kPicturesFolder}), dataPath({kPicturesFolder, category})}) {
        if (!folderExists(folder))
            createFolder(folder);
    }
    const QString old = picturePath(category, recipe);
    const QString path = pathWith(category, recipe, extension);
    TextWriter writer(path, TextWriter::Replace, durability);
    writer.writeBytes(bytes);
    writer.commit();
    // A picture of another kind goes only once the new one is in place.
    if (!old.isEmpty() && old != path)
        deleteFile(old);
}

void removePicture(const QString &category, const QString &recipe)
{
    const QString path = picturePath(category, recipe);
    if (!path.isEmpty())
        deleteFile(path);
}

} // namespace store
