#include "shell/errorcodes.h"

#include <iterator>

namespace shell {

namespace {

constexpr const char *kOpenFailed = "This program has failed to open the needed folder or file";
constexpr const char *kSaveFailed = "This program has failed to save the screen data";
constexpr const char *kDeleteFailed = "This program has failed to delete the screen data";

constexpr ErrorCode kCodes[] = {
    {"I - FL -", 0, "(form) Ingredient - Form_Load section", kOpenFailed},
    {"I - CS -", 0, "(form) Ingredient - cmdISave section", kSaveFailed},
    {"R - CD -", 1, "(form) Recipe - chkRDel section", kDeleteFailed},
    {"R - FL -", 1, "(form) Recipe - Form_Load section", kOpenFailed},
    {"R - LF -", 1, "(form) Recipe - lswRFile section", kOpenFailed},
    {"S - CC -", 2, "(form) Setup - cmdSCreate section", "This program has failed to create the needed folder"},
    {"S - CD -", 2, "(form) Setup - cmdSDel section", kDeleteFailed},
    {"S - FL -", 2, "(form) Setup - Form_Load section", kOpenFailed},
    {"H - CD -", 3, "(form) Shop - cmdHDel section", kDeleteFailed},
    {"H - CS -", 3, "(form) Shop - cmdHSave section", kSaveFailed},
    {"H - FL -", 3, "(form) Shop - Form_Load section", kOpenFailed},
    {"H - LF -", 3, "(form) Shop - lswHOpen section", kOpenFailed},
    {"M - FL -", 5, "(form) Import - Form_Load section", kOpenFailed},
    {"M - CS -", 5, "(form) Import - cmdMImport section", kSaveFailed},
    {"K - CS -", 6, "(form) Cook - cmdKESave section", kSaveFailed},
    {"K - CP -", 6, "(form) Cook - picture section", kSaveFailed},
    {"P - CS -", 7, "(form) Plan - week save section", kSaveFailed},
};

} // namespace

const ErrorCode *findErrorCode(const QString &code)
{
    for (const ErrorCode &row : kCodes) {
        if (code == QLatin1String(row.code))
            return &row;
    }
    return nullptr;
}

QString errorDescription(const ErrorCode &row)
{
    return QLatin1String(row.firstLine) + QLatin1Char('\r') + QLatin1String("correctly.");
}

QString errorActionText()
{
    return QStringLiteral("Please contact the author with the error number above.\rThis program will now end!");
}

} // namespace shell
