#include "app/registerscreens.h"

#include "app/mainmenu.h"
#include "app/splash.h"
#include "screens/about.h"
#include "screens/calendar.h"
#include "screens/cook.h"
#include "screens/credit.h"
#include "screens/find.h"
#include "screens/import.h"
#include "screens/ingred.h"
#include "screens/plan.h"
#include "screens/recipe.h"
#include "screens/setup.h"
#include "screens/shop.h"

void registerScreens()
{
    using shell::ScreenRegistry;
    ScreenRegistry::add<frmSplash>();
    ScreenRegistry::add<frmMain>();
    ScreenRegistry::add<frmSetup>();
    ScreenRegistry::add<frmIngred>();
    ScreenRegistry::add<frmShop>();
    ScreenRegistry::add<frmCalendar>();
    ScreenRegistry::add<frmRecipe>();
    ScreenRegistry::add<frmAbout>();
    ScreenRegistry::add<frmCredit>();
    ScreenRegistry::add<frmFind>();
    ScreenRegistry::add<frmImport>();
    ScreenRegistry::add<frmCook>();
    ScreenRegistry::add<frmPlan>();
}
