#pragma once

#include <QHash>
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

    /// Runs `action` whenever the mouse enters or moves over `control`. Mouse moves over the control no
    /// longer reach the window behind it.
    void onHover(QWidget *control, std::function<void()> action);

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
