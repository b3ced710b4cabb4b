#include "app/mainmenu.h"

#include "shell/appearance.h"
#include "shell/help.h"
#include "shell/mmain.h"
#include "shell/module1.h"
#include "ui_mainmenu.h"

#include <QCloseEvent>

#include <span>

namespace {

struct BarItem
{
    const char *key;
    const char *caption;
    int icon;
    const char *screen; ///< the screen the item shows, or null for a command
};

constexpr BarItem kProgramItems[] = {
    {"Setup", "Prg setup", 0, "frmSetup"},          {"Ingredients", "Ingredients", 1, "frmIngred"},
    {"Recipes", "Display recipes", 2, "frmRecipe"}, {"Shopping List", "Create a shopping list", 3, "frmShop"},
    {"Exit", "Exit this program", 4, nullptr},
};

constexpr BarItem kOtherItems[] = {
    {"Help", "View the help file", 5, nullptr},
    {"About", "About screen", 6, "frmAbout"},
    {"Credits", "Credits", 7, "frmCredit"},
};

constexpr BarItem kKitchenItems[] = {
    {"Find", "Find a recipe", 8, "frmFind"},
    {"Import", "Import recipes", 9, "frmImport"},
    {"Plan", "Plan meals", 10, "frmPlan"},
};

struct BarGroup
{
    const char *key;
    const char *caption;
    bool special;
    std::span<const BarItem> items;
};

// The groups of the bar, top to bottom.
constexpr BarGroup kGroups[] = {
    {"SPECIAL", "Prg. Selections", true, kProgramItems},
    {"Others", "Misc", false, kOtherItems},
    {"Kitchen", "Kitchen", false, kKitchenItems},
};

// The image list, in icon index order.
constexpr const char *kIconFiles[] = {"setup", "ingredients", "recipes", "shopping", "exit", "help",
                                      "about", "credits",     "find",    "import",   "plan"};

} // namespace

frmMain::frmMain(QWidget *parent) : shell::Screen(parent), m_ui(std::make_unique<Ui::frmMain>())
{
    m_ui->setupUi(this);
    connect(m_ui->vbalExplorerBarCtl1, &shell::ExplorerBar::itemClick, this, &frmMain::itemClick);
}

frmMain::~frmMain()
{
    if (shell::ScreenRegistry::loaded().isEmpty())
        mMain::Shutdown();
}

void frmMain::load()
{
    Module1::DropShadow(this);
    shell::ExplorerBar *bar = m_ui->vbalExplorerBarCtl1;
    bar->setRedraw(false);

    QList<QIcon> ilsIcons;
    for (const char *file : kIconFiles)
        ilsIcons.append(
            QIcon(shell::picture(QStringLiteral(":/icons/mainmenu/%1.png").arg(QLatin1String(file)), "png")));
    bar->setImageList(ilsIcons);

    for (const BarGroup &group : kGroups) {
        const QString groupKey = QLatin1String(group.key);
        bar->addGroup(groupKey, QLatin1String(group.caption));
        if (group.special)
            bar->setSpecial(groupKey, true);
        for (const BarItem &item : group.items)
            bar->addItem(groupKey, QLatin1String(item.key), QLatin1String(item.caption), item.icon);
    }

    bar->setRedraw(true);
}

void frmMain::closeEvent(QCloseEvent *event)
{
    // Closing the main menu's window is the way out of the program, so it asks first.
    event->ignore();
    mMain::ExitConfirmation();
}

void frmMain::itemClick(const QString &key)
{
    for (const BarGroup &group : kGroups) {
        for (const BarItem &item : group.items) {
            if (key != QLatin1String(item.key))
                continue;
            if (item.screen)
                shell::ScreenRegistry::show(QLatin1String(item.screen));
            else if (key == QLatin1String("Help"))
                mdlHelp::OpenHelp(mdlHelp::ProgramHelp);
            else if (key == QLatin1String("Exit"))
                mMain::ExitConfirmation();
            return;
        }
    }
}
