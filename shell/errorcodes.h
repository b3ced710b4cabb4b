#pragma once

#include <QString>

namespace shell {

/// One row of the error-code table: the code a failed handler reports, the screen it belongs to, the
/// handler named as source, and the first line of the description.
struct ErrorCode
{
    const char *code;
    int screenNumber;
    const char *source;
    const char *firstLine;
};

/// The row of `code`, compared exactly; null for a code that is not in the table.
const ErrorCode *findErrorCode(const QString &code);

/// The full two-line description of a row.
QString errorDescription(const ErrorCode &row);

/// The action text that every report ends with.
QString errorActionText();

// The error codes, as the screens raise them.
namespace codes {
inline const QString IngredLoad = QStringLiteral("I - FL -");
inline const QString IngredSave = QStringLiteral("I - CS -");
inline const QString RecipeDelete = QStringLiteral("R - CD -");
inline const QString RecipeLoad = QStringLiteral("R - FL -");
inline const QString RecipeOpen = QStringLiteral("R - LF -");
inline const QString SetupCreate = QStringLiteral("S - CC -");
inline const QString SetupDelete = QStringLiteral("S - CD -");
inline const QString SetupLoad = QStringLiteral("S - FL -");
inline const QString ShopDelete = QStringLiteral("H - CD -");
inline const QString ShopSave = QStringLiteral("H - CS -");
inline const QString ShopLoad = QStringLiteral("H - FL -");
inline const QString ShopOpen = QStringLiteral("H - LF -");
inline const QString ImportLoad = QStringLiteral("M - FL -");
inline const QString ImportSave = QStringLiteral("M - CS -");
inline const QString CookSave = QStringLiteral("K - CS -");
inline const QString CookPicture = QStringLiteral("K - CP -");
inline const QString PlanSave = QStringLiteral("P - CS -");
} // namespace codes

} // namespace shell
