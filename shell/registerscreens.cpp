#include "shell/registerscreens.h"

#include "screens/about.h"
#include "screens/credit.h"
#include "shell/mainmenu.h"
#include "shell/splash.h"

void registerScreens()
{
    using shell::ScreenRegistry;
    ScreenRegistry::add<frmSplash>();
    ScreenRegistry::add<frmMain>();
    ScreenRegistry::add<frmAbout>();
    ScreenRegistry::add<frmCredit>();
}
