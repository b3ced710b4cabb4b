#include "shell/mmain.h"

#include "shell/messages.h"
#include "shell/screen.h"

namespace mMain {

void ExitConfirmation()
{
    shell::ScreenRegistry::hide(shell::kMainMenu);
    const int answer =
        shell::msgBox(QStringLiteral("You have indicated you wish to exit\rthis program. Is this correct?"),
                      shell::MbSystemModal | shell::MbQuestion | shell::MbYesNo, QStringLiteral("Quit?"));
    if (answer != shell::AnswerYes) {
        shell::ScreenRegistry::show(shell::kMainMenu);
        return;
    }
    shell::ScreenRegistry::unloadAll();
}

void CategoryPresenceCheck()
{
    const int answer =
        shell::msgBox(QStringLiteral("Please click on 'Prg. setup' in the Main menu\rand create at least 1 category."),
                      shell::MbSystemModal | shell::MbExclamation, QStringLiteral("User error"));
    if (answer == shell::AnswerOk)
        shell::ScreenRegistry::show(shell::kMainMenu);
}

void Shutdown()
{}

} // namespace mMain
