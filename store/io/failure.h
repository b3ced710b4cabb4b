#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

namespace store {

/// A failed file or folder operation, with the number and description that the error report shows.
class Failure : public std::exception
{
public:
    enum Number {
        BadFileName = 52,
        FileNotFound = 53,
        FileAlreadyExists = 58,
        DiskFull = 61,
        InputPastEndOfFile = 62,
        PermissionDenied = 70,
        PathFileAccessError = 75,
        PathNotFound = 76,
        ObjectNotSet = 91,
    };

    explicit Failure(Number number);

    int number() const { return m_number; }
    QString description() const;
    const char *what() const noexcept override;

    /// The standard description of a failure number; empty for a number outside the table.
    static QString descriptionOf(int number);

    /// 61 when the system error `error` (an errno value) says that the disk or the user's quota is full,
    /// wherever that happens; `otherwise` for any other error.
    static Number numberOf(int error, Number otherwise);

private:
    Number m_number;
};

/// The failure for the file at `path` (as the file system names it) that could not be opened with the
/// system's error `error`: 53 for a missing file in an existing folder, 76 for a missing folder, 75 for
/// anything else, such as a folder that may not be read.
Failure::Number openFailure(int error, const QByteArray &path);

} // namespace store
