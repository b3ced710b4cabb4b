#pragma once

#include <QHash>
#include <QList>
#include <QObject>

#include <functional>

class QLabel;
class QWidget;

namespace shell {

/// Hover hints: runs an action while the mouse enters or moves over a control, without a button held.
/// A screen uses it to turn a hint label red over the control it explains and back to normal over the
/// bare window.
class HoverHints : public QObject
{
    Q_OBJECT

public:
    explicit HoverHints(QObject *parent = nullptr);

    /// Runs `action` whenever the mouse enters or moves over `control` where none of its children covers
    /// it (children that let the mouse through, such as decorations, do not count). A list's or a
    /// multi-line box's viewport counts as the control.
    void onHover(QWidget *control, std::function<void()> action);

    /// Puts `hints` at rest now, and again whenever the mouse is over the bare `area`.
    void restOver(QWidget *area, const QList<QLabel *> &hints);
    /// Turns `hint` red while the mouse is over any of `controls`.
    void explain(QLabel *hint, const QList<QWidget *> &controls);

    /// A hint label while the mouse is over its control: pure red.
    static void showRed(QLabel *hint);
    /// A hint label at rest: the active title bar colour (system colour 2).
    static void showNormal(QLabel *hint);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QHash<QObject *, std::function<void()>> m_actions;
};

} // namespace shell
