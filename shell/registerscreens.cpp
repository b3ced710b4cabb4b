#include "shell/registerscreens.h"

#include "screens/recipe.h"
#include "shell/mainmenu.h"
#include "shell/splash.h"

void registerScreens()
{
    using shell::ScreenRegistry;
    ScreenRegistry::add<frmSplash>();
    ScreenRegistry::add<frmMain>();
    ScreenRegistry::add<frmRecipe>();
}
