#include "store/io/failure.h"

#include <cerrno>
#include <sys/stat.h>

namespace store {

Failure::Failure(Number number) : m_number(number)
{}

QString Failure::description() const
{
    return descriptionOf(m_number);
}

const char *Failure::what() const noexcept
{
    switch (m_number) {
    case BadFileName:
        return "Bad file name or number";
    case FileNotFound:
        return "File not found";
    case FileAlreadyExists:
        return "File already exists";
    case DiskFull:
        return "Disk full";
    case InputPastEndOfFile:
        return "Input past end of file";
    case PermissionDenied:
        return "Permission denied";
    case PathFileAccessError:
        return "Path/File access error";
    case PathNotFound:
        return "Path not found";
    case ObjectNotSet:
        return "Object variable or With block variable not set";
    }
    return "";
}

QString Failure::descriptionOf(int number)
{
    switch (number) {
    case BadFileName:
    case FileNotFound:
    case FileAlreadyExists:
    case DiskFull:
    case InputPastEndOfFile:
    case PermissionDenied:
    case PathFileAccessError:
    case PathNotFound:
    case ObjectNotSet:
        return QString::fromLatin1(Failure(static_cast<Number>(number)).what());
    default:
        return {};
    }
}

Failure::Number Failure::numberOf(int error, Number otherwise)
{
    return error == ENOSPC || error == EDQUOT ? DiskFull : otherwise;
}

Failure::Number openFailure(int error, const QByteArray &path)
{
    if (error == ENOTDIR)
        return Failure::PathNotFound;
    if (error != ENOENT)
        return Failure::PathFileAccessError;
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray folderPath = slash <= 0 ? QByteArray("/") : path.left(slash);
    struct stat folder;
    return ::stat(folderPath.constData(), &folder) == 0 && S_ISDIR(folder.st_mode) ? Failure::FileNotFound
                                                                                    : Failure::PathNotFound;
}

} // namespace store
