#pragma once

#include <QHash>
#include <QIcon>
#include <QMenuBar>

#include <span>

class QAction;

namespace shell {

/// A screen's menu bar: items added by parent key, key, kind, caption and icon, each with a number that
/// the click signal reports and by which its key is looked up.
class MenuBar : public QMenuBar
{
    Q_OBJECT

public:
    enum Kind {
        Item = 0,
        Separator = 3,
    };

    explicit MenuBar(QWidget *parent = nullptr);

    /// Adds a top-level menu (empty `parentKey`) or an item of the menu `parentKey`; returns its number.
    int add(const QString &parentKey, const QString &key, int kind, const QString &caption, const QIcon &icon = {});

    /// The key of the item with number `id`; empty for separators and unknown numbers.
    QString keyOf(int id) const;

    /// The action of the item or menu with that key, or null.
    QAction *action(const QString &key) const;

signals:
    /// A menu item was chosen.
    void itemClick(int id);

private:
    struct Entry
    {
        QString key;
        QAction *action;
    };
    QList<Entry> m_entries;
    QHash<QString, QMenu *> m_menus;
};

/// One row of a screen's menu table: a menu (no parent) or an item of the menu `parent`.
struct MenuRow
{
    const char *parent;
    const char *key;
    int kind;
    const char *caption;
    const char *icon; ///< icon file name without ".ico", or null for none
};

/// The menu tables of the recipe entry, recipe display and shopping list screens.
std::span<const MenuRow> ingredMenu();
std::span<const MenuRow> recipeMenu();
std::span<const MenuRow> shopMenu();

/// Fills `bar` from `rows` in order, each item's icon loaded just before it is added, and sets the bar's
/// font to Tahoma 8 point.
void BuildMenuBar(MenuBar *bar, std::span<const MenuRow> rows);

/// The icon images/<name>.ico of the application folder, read anew on every call; a null icon when the
/// file is missing or unreadable.
QIcon LoadMenuIcon(const QString &name);

} // namespace shell
