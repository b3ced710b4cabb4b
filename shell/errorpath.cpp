#include "shell/errorpath.h"

#include "shell/error.h"
#include "shell/screen.h"
#include "store/io/failure.h"

namespace shell {

void raiseError(Screen *screen, const QString &code, int number, const QString &description)
{
    ErrorHandOver &values = errorHandOver();
    values.code = code;
    values.numberText = errorNumberText(number);
    values.description = description;
    if (screen)
        ScreenRegistry::hide(screen);
    ScreenRegistry::show<frmError>();
}

void raiseError(Screen *screen, const QString &code, const store::Failure &failure)
{
    raiseError(screen, code, failure.number(), failure.description());
}

} // namespace shell
