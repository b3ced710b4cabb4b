#include "shell/hoverhints.h"

#include "shell/appearance.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QLabel>

namespace shell {

HoverHints::HoverHints(QObject *parent)
    : QObject(parent)
{
}

void HoverHints::onHover(QWidget *control, std::function<void()> action)
{
    control->setMouseTracking(true);
    control->installEventFilter(this);
    // A control keeps its mouse moves: a label ignores them, and passed on to the window they would run
    // the window's own action straight after the control's.
    if (!control->isWindow())
        control->setAttribute(Qt::WA_NoMousePropagation);
    // Over a list or a multi-line box the mouse is over its viewport.
    if (auto *area = qobject_cast<QAbstractScrollArea *>(control)) {
        area->viewport()->setMouseTracking(true);
        area->viewport()->installEventFilter(this);
        m_actions.insert(area->viewport(), action);
    }
    m_actions.insert(control, std::move(action));
}

void HoverHints::showRed(QLabel *hint)
{
    setTextColor(hint, QColor(255, 0, 0));
}

void HoverHints::showNormal(QLabel *hint)
{
    setTextColor(hint, systemColor(2));
}

bool HoverHints::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove) {
        const auto action = m_actions.constFind(watched);
        if (action != m_actions.constEnd())
            (*action)();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace shell
