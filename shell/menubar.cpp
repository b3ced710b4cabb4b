#include "shell/menubar.h"

#include "store/appfolder.h"
#include "store/io/failure.h"

#include <QImageReader>
#include <QMenu>
#include <QPixmap>

namespace shell {

namespace {

constexpr MenuRow kIngredMenu[] = {
    {nullptr, "keyfile", MenuBar::Item, "&File", nullptr}, {"keyfile", "keyNew", MenuBar::Item, "New", "New"},
    {"keyfile", "", MenuBar::Separator, "", nullptr},      {"keyfile", "keySave", MenuBar::Item, "Save", "Save"},
    {"keyfile", "", MenuBar::Separator, "", nullptr},      {"keyfile", "keyMain", MenuBar::Item, "Main", "Main"},
};

constexpr MenuRow kRecipeMenu[] = {
    {nullptr, "keyfile", MenuBar::Item, "&File", nullptr}, {"keyfile", "keyNew", MenuBar::Item, "New", "New"},
    {"keyfile", "", MenuBar::Separator, "", nullptr},      {"keyfile", "keyPrint", MenuBar::Item, "Print", "Print"},
    {"keyfile", "", MenuBar::Separator, "", nullptr},      {"keyfile", "keyMain", MenuBar::Item, "Main", "Main"},
};

constexpr MenuRow kShopMenu[] = {
    {nullptr, "keyfile", MenuBar::Item, "&File", nullptr},
    {"keyfile", "keyNew", MenuBar::Item, "New", "New"},
    {"keyfile", "keySave", MenuBar::Item, "Save", "Save"},
    {"keyfile", "keyPrint", MenuBar::Item, "Print", "Print"},
    {"keyfile", "keyMain", MenuBar::Item, "Main", "Main"},
    {nullptr, "keyEdit", MenuBar::Item, "&Edit", nullptr},
    {"keyEdit", "keyDelete", MenuBar::Item, "Del", "Exit"},
    {nullptr, "keyTool", MenuBar::Item, "&Tools", nullptr},
    {"keyTool", "keyCalendar", MenuBar::Item, "Calendar", "Calendar"},
};

} // namespace

MenuBar::MenuBar(QWidget *parent) : QMenuBar(parent)
{
    // Inside a screen the bar is an ordinary child at the top edge, not the platform's global menu.
    setNativeMenuBar(false);
}

int MenuBar::add(const QString &parentKey, const QString &key, int kind, const QString &caption, const QIcon &icon)
{
    QAction *action = nullptr;
    if (parentKey.isEmpty()) {
        QMenu *menu = addMenu(icon, caption);
        m_menus.insert(key, menu);
        action = menu->menuAction();
    } else {
        QMenu *menu = m_menus.value(parentKey);
        if (!menu)
            return -1;
        if (kind == Separator) {
            action = menu->addSeparator();
        } else {
            action = menu->addAction(icon, caption);
            const int id = static_cast<int>(m_entries.size());
            connect(action, &QAction::triggered, this, [this, id] { emit itemClick(id); });
        }
    }
    // Qt names an action by its text for screen readers; the key stays findable for tests.
    action->setObjectName(key);
    m_entries.append({kind == Separator ? QString() : key, action});
    return static_cast<int>(m_entries.size() - 1);
}

QString MenuBar::keyOf(int id) const
{
    return (id >= 0 && id < m_entries.size()) ? m_entries.at(id).key : QString();
}

QAction *MenuBar::action(const QString &key) const
{
    for (const Entry &entry : m_entries) {
        if (!key.isEmpty() && entry.key == key)
            return entry.action;
    }
    return nullptr;
}

std::span<const MenuRow> ingredMenu()
{
    return kIngredMenu;
}

std::span<const MenuRow> recipeMenu()
{
    return kRecipeMenu;
}

std::span<const MenuRow> shopMenu()
{
    return kShopMenu;
}

void BuildMenuBar(MenuBar *bar, std::span<const MenuRow> rows)
{
    for (const MenuRow &row : rows) {
        const QIcon icon = row.icon ? LoadMenuIcon(QLatin1String(row.icon)) : QIcon();
        bar->add(row.parent ? QLatin1String(row.parent) : QString(), QLatin1String(row.key), row.kind,
                 QLatin1String(row.caption), icon);
    }
    QFont font = bar->font();
    font.setFamily(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    bar->setFont(font);
    // Drop-down menus are windows of their own and do not inherit the bar's font.
    for (QMenu *menu : bar->findChildren<QMenu *>())
        menu->setFont(font);
}

QIcon LoadMenuIcon(const QString &name)
{
    QString path;
    try {
        path = store::iconPath(name);
    } catch (const store::Failure &) {
        return {};
    }
    QImageReader reader(path);
    QIcon icon;
    // An .ico file holds one image per size; the icon gets them all.
    for (int i = 0; i < qMax(1, reader.imageCount()); ++i) {
        if (i > 0 && !reader.jumpToNextImage())
            break;
        const QImage image = reader.read();
        if (!image.isNull())
            icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

} // namespace shell
