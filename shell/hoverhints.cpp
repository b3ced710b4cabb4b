#include "shell/hoverhints.h"

#include "shell/appearance.h"

#include <QAbstractScrollArea>
#include <QEnterEvent>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>

namespace shell {

HoverHints::HoverHints(QObject *parent) : QObject(parent)
{}

void HoverHints::onHover(QWidget *control, std::function<void()> action)
{
    control->setMouseTracking(true);
    control->installEventFilter(this);
    // Over a list or a multi-line box the mouse is over its viewport.
    if (auto *area = qobject_cast<QAbstractScrollArea *>(control)) {
        area->viewport()->setMouseTracking(true);
        area->viewport()->installEventFilter(this);
        m_actions.insert(area->viewport(), action);
    }
    m_actions.insert(control, std::move(action));
}

void HoverHints::restOver(QWidget *area, const QList<QLabel *> &hints)
{
    const auto rest = [hints] {
        for (QLabel *hint : hints)
            showNormal(hint);
    };
    rest();
    onHover(area, rest);
}

void HoverHints::explain(QLabel *hint, const QList<QWidget *> &controls)
{
    for (QWidget *control : controls)
        onHover(control, [hint] { showRed(hint); });
}

void HoverHints::showRed(QLabel *hint)
{
    setTextColor(hint, QColor(255, 0, 0));
}

void HoverHints::showNormal(QLabel *hint)
{
    setTextColor(hint, systemColor(ActiveTitleBar));
}

bool HoverHints::eventFilter(QObject *watched, QEvent *event)
{
    QPointF position;
    if (event->type() == QEvent::Enter)
        position = static_cast<QEnterEvent *>(event)->position();
    else if (event->type() == QEvent::MouseMove)
        position = static_cast<QMouseEvent *>(event)->position();
    else
        return QObject::eventFilter(watched, event);

    const auto action = m_actions.constFind(watched);
    // A widget hears of the mouse over its children too (moves that a child ignores, enter events on the
    // way in); it is under the mouse itself only where no child covers it.
    auto *widget = qobject_cast<QWidget *>(watched);
    if (action != m_actions.constEnd() && widget && !widget->childAt(position.toPoint()))
        (*action)();
    return QObject::eventFilter(watched, event);
}

} // namespace shell
