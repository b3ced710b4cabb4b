#include "shell/mainmenu.h"

#include "screens/help.h"
#include "shell/appearance.h"
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
    {"Import", "Import recipes", 8, "frmImport"},
};

constexpr const char *kIconFiles[] = {"setup", "ingredients", "recipes", "shopping", "exit",
                                      "help",  "about",       "credits", "import"};

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

    bar->addGroup(QStringLiteral("SPECIAL"), QStringLiteral("Prg. Selections"));
    bar->setSpecial(QStringLiteral("SPECIAL"), true);
    for (const BarItem &item : kProgramItems)
        bar->addItem(QStringLiteral("SPECIAL"), QLatin1String(item.key), QLatin1String(item.caption), item.icon);

    bar->addGroup(QStringLiteral("Others"), QStringLiteral("Misc"));
    for (const BarItem &item : kOtherItems)
        bar->addItem(QStringLiteral("Others"), QLatin1String(item.key), QLatin1String(item.caption), item.icon);

    bar->addGroup(QStringLiteral("Kitchen"), QStringLiteral("Kitchen"));
    for (const BarItem &item : kKitchenItems)
        bar->addItem(QStringLiteral("Kitchen"), QLatin1String(item.key), QLatin1String(item.caption), item.icon);

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
    for (const auto &items : {std::span<const BarItem>(kProgramItems), std::span<const BarItem>(kOtherItems),
                              std::span<const BarItem>(kKitchenItems)}) {
        for (const BarItem &item : items) {
            if (key != QLatin1String(item.key))
                continue;
            if (item.screen)
                shell::ScreenRegistry::show(QLatin1String(item.screen));
            else if (key == QLatin1String("Help"))
                mdlHelp::OpenHelp(1);
            else if (key == QLatin1String("Exit"))
                mMain::ExitConfirmation();
            return;
        }
    }
}
