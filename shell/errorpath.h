#pragma once

#include "shell/errorhandover.h"

#include <QString>

namespace store {
class Failure;
}

namespace shell {

class Screen;

/// The error path of every trapped handler: records `code` with the failure's number and description,
/// hides `screen` and shows the error report.
void raiseError(Screen *screen, const QString &code, const store::Failure &failure);
void raiseError(Screen *screen, const QString &code, int number, const QString &description);

} // namespace shell
