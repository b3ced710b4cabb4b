#include "shell/registerscreens.h"

#include "screens/setup.h"
#include "screens/ingred.h"
#include "shell/mainmenu.h"
#include "shell/splash.h"

void registerScreens()
{
    using shell::ScreenRegistry;
    ScreenRegistry::add<frmSplash>();
    ScreenRegistry::add<frmMain>();
    ScreenRegistry::add<frmSetup>();
    ScreenRegistry::add<frmIngred>();
}
