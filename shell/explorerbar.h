#pragma once

#include <QIcon>
#include <QList>
#include <QWidget>

class QAbstractButton;
class QLabel;
class QVBoxLayout;

namespace shell {

/// A bar of command groups in the style of a file explorer's task pane: groups and items by key, each
/// item a caption and an icon from the bar's image list. One group may be the special, emphasised one.
/// Items are buttons: Tab reaches them, the arrow keys move between them, Enter or Space clicks.
class ExplorerBar : public QWidget
{
    Q_OBJECT

public:
    explicit ExplorerBar(QWidget *parent = nullptr);

    /// Switches drawing off while the bar is built, and on again afterwards.
    void setRedraw(bool redraw);

    /// The icons items refer to by zero-based index.
    void setImageList(const QList<QIcon> &icons);

    void addGroup(const QString &key, const QString &caption);
    void setSpecial(const QString &groupKey, bool special);
    void addItem(const QString &groupKey, const QString &key, const QString &caption, int iconIndex);

    /// The button of the item with that key, or null.
    QAbstractButton *item(const QString &key) const;
    /// The caption shown for the group with that key; empty for an unknown key.
    QString groupCaption(const QString &key) const;

signals:
    /// An item was clicked; `key` is the item's key.
    void itemClick(const QString &key);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class GroupBox;
    struct Group
    {
        QString key;
        GroupBox *box;
        QLabel *header;
        QVBoxLayout *items;
    };
    Group *group(const QString &key);
    void moveFocus(QAbstractButton *from, int step);

    QVBoxLayout *m_layout;
    QList<QIcon> m_icons;
    QList<Group> m_groups;
    QList<QAbstractButton *> m_items;
};

} // namespace shell
