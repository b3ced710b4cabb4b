#include "shell/explorerbar.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

namespace shell {

ExplorerBar::ExplorerBar(QWidget *parent)
    : QWidget(parent)
    , m_layout(new QVBoxLayout(this))
{
    m_layout->setContentsMargins(8, 8, 8, 8);
    m_layout->setSpacing(8);
    m_layout->addStretch();
}

void ExplorerBar::setRedraw(bool redraw)
{
    setUpdatesEnabled(redraw);
}

void ExplorerBar::setImageList(const QList<QIcon> &icons)
{
    m_icons = icons;
}

void ExplorerBar::addGroup(const QString &key, const QString &caption)
{
    auto *box = new QWidget(this);
    box->setObjectName(key);
    box->setAttribute(Qt::WA_StyledBackground);
    auto *column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 4);
    column->setSpacing(0);

    auto *header = new QLabel(caption, box);
    header->setObjectName(key + QStringLiteral("Header"));
    header->setContentsMargins(8, 3, 8, 3);
    QFont bold = header->font();
    bold.setBold(true);
    header->setFont(bold);
    column->addWidget(header);

    auto *items = new QVBoxLayout;
    items->setContentsMargins(6, 4, 6, 0);
    items->setSpacing(0);
    column->addLayout(items);

    m_layout->insertWidget(m_layout->count() - 1, box);
    m_groups.append({key, box, header, items});
    styleGroup(m_groups.last(), false);
}

void ExplorerBar::setSpecial(const QString &groupKey, bool special)
{
    if (Group *g = group(groupKey))
        styleGroup(*g, special);
}

void ExplorerBar::styleGroup(const Group &g, bool special)
{
    const QString headerStyle = special
        ? QStringLiteral("background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #0c3e9c, stop:1 #3a72d8);"
                         "color: white; border-top-left-radius: 4px; border-top-right-radius: 4px;")
        : QStringLiteral("background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #ffffff, stop:1 #c6d3f7);"
                         "color: #215dc6; border-top-left-radius: 4px; border-top-right-radius: 4px;");
    g.header->setStyleSheet(headerStyle);
    g.box->setStyleSheet(QStringLiteral("#%1 { background: %2; }").arg(g.key, special ? QStringLiteral("#eff3ff")
                                                                                        : QStringLiteral("#d6dff7")));
}

void ExplorerBar::addItem(const QString &groupKey, const QString &key, const QString &caption, int iconIndex)
{
    Group *g = group(groupKey);
    if (!g)
        return;
    auto *button = new QToolButton(g->box);
    button->setObjectName(key);
    button->setText(caption);
    button->setAccessibleName(caption);
    if (iconIndex >= 0 && iconIndex < m_icons.size())
        button->setIcon(m_icons.at(iconIndex));
    button->setIconSize(QSize(16, 16));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::StrongFocus);
    button->setCursor(Qt::PointingHandCursor);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    button->setStyleSheet(QStringLiteral("QToolButton { color: #215dc6; border: none; padding: 2px 2px; text-align: left; }"
                                         "QToolButton:hover, QToolButton:focus { color: #428eff; text-decoration: underline; }"));
    button->installEventFilter(this);
    connect(button, &QToolButton::clicked, this, [this, key] { emit itemClick(key); });
    g->items->addWidget(button);
    m_items.append(button);
}

QAbstractButton *ExplorerBar::item(const QString &key) const
{
    for (QAbstractButton *button : m_items) {
        if (button->objectName() == key)
            return button;
    }
    return nullptr;
}

QString ExplorerBar::groupCaption(const QString &key) const
{
    for (const Group &g : m_groups) {
        if (g.key == key)
            return g.header->text();
    }
    return {};
}

ExplorerBar::Group *ExplorerBar::group(const QString &key)
{
    for (Group &g : m_groups) {
        if (g.key == key)
            return &g;
    }
    return nullptr;
}

void ExplorerBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0, QColor(0x7b, 0xa2, 0xe7));
    gradient.setColorAt(1, QColor(0x63, 0x75, 0xd6));
    painter.fillRect(rect(), gradient);
}

bool ExplorerBar::eventFilter(QObject *watched, QEvent *event)
{
    auto *button = qobject_cast<QAbstractButton *>(watched);
    if (button && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        // A held key repeats: it may move along the items, but it opens nothing more than once.
        if (key->isAutoRepeat() && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter))
            return true;
        switch (key->key()) {
        case Qt::Key_Up:
            moveFocus(button, -1);
            return true;
        case Qt::Key_Down:
            moveFocus(button, 1);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            button->click();
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ExplorerBar::moveFocus(QAbstractButton *from, int step)
{
    const qsizetype count = m_items.size();
    const qsizetype next = (m_items.indexOf(from) + step + count) % count;
    m_items.at(next)->setFocus(Qt::TabFocusReason);
}

} // namespace shell
