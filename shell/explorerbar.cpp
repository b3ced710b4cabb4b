#include "shell/explorerbar.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

// The bar draws itself with the palette and a painter; a style sheet would add several milliseconds and
// a megabyte to the program's start.

namespace shell {

namespace {

const QColor kBarTop(0x7b, 0xa2, 0xe7);
const QColor kBarBottom(0x63, 0x75, 0xd6);
const QColor kItemText(0x21, 0x5d, 0xc6);
const QColor kItemHover(0x42, 0x8e, 0xff);

/// An item of the bar: an icon and a caption drawn like a link, underlined under the mouse or the focus.
class BarItem : public QToolButton
{
public:
    using QToolButton::QToolButton;

    QSize sizeHint() const override
    {
        const QFontMetrics metrics(font());
        return {iconSize().width() + 6 + metrics.horizontalAdvance(text()) + 4,
                qMax(iconSize().height(), metrics.height()) + 5};
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const bool lit = underMouse() || hasFocus();
        const QRect iconArea(2, (height() - iconSize().height()) / 2, iconSize().width(), iconSize().height());
        icon().paint(&painter, iconArea);
        QFont face = font();
        face.setUnderline(lit);
        painter.setFont(face);
        painter.setPen(lit ? kItemHover : kItemText);
        painter.drawText(rect().adjusted(iconArea.right() + 6, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, text());
    }
    void enterEvent(QEnterEvent *event) override
    {
        update();
        QToolButton::enterEvent(event);
    }
    void leaveEvent(QEvent *event) override
    {
        update();
        QToolButton::leaveEvent(event);
    }
};

} // namespace

/// A group of the bar: a rounded panel with its caption in a band across the top.
class ExplorerBar::GroupBox : public QWidget
{
public:
    GroupBox(QWidget *parent, QLabel *header) : QWidget(parent), m_header(header) {}

    void setSpecial(bool special)
    {
        m_special = special;
        QPalette palette = m_header->palette();
        palette.setColor(QPalette::WindowText, special ? QColor(Qt::white) : kItemText);
        m_header->setPalette(palette);
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect().adjusted(0, m_header->height(), 0, 0),
                         m_special ? QColor(0xef, 0xf3, 0xff) : QColor(0xd6, 0xdf, 0xf7));
        QLinearGradient band(0, 0, width(), 0);
        band.setColorAt(0, m_special ? QColor(0x0c, 0x3e, 0x9c) : QColor(Qt::white));
        band.setColorAt(1, m_special ? QColor(0x3a, 0x72, 0xd8) : QColor(0xc6, 0xd3, 0xf7));
        painter.fillRect(0, 0, width(), m_header->height(), band);
    }

private:
    QLabel *m_header;
    bool m_special = false;
};

ExplorerBar::ExplorerBar(QWidget *parent) : QWidget(parent), m_layout(new QVBoxLayout(this))
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
    auto *header = new QLabel(caption);
    auto *box = new GroupBox(this, header);
    header->setParent(box);
    box->setObjectName(key);
    auto *column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 4);
    column->setSpacing(0);

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
    box->setSpecial(false);
}

void ExplorerBar::setSpecial(const QString &groupKey, bool special)
{
    if (Group *g = group(groupKey))
        g->box->setSpecial(special);
}

void ExplorerBar::addItem(const QString &groupKey, const QString &key, const QString &caption, int iconIndex)
{
    Group *g = group(groupKey);
    if (!g)
        return;
    auto *button = new BarItem(g->box);
    button->setObjectName(key);
    button->setText(caption);
    button->setAccessibleName(caption);
    if (iconIndex >= 0 && iconIndex < m_icons.size())
        button->setIcon(m_icons.at(iconIndex));
    button->setIconSize(QSize(16, 16));
    button->setFocusPolicy(Qt::StrongFocus);
    button->setCursor(Qt::PointingHandCursor);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
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
    gradient.setColorAt(0, kBarTop);
    gradient.setColorAt(1, kBarBottom);
    painter.fillRect(rect(), gradient);
}

bool ExplorerBar::eventFilter(QObject *watched, QEvent *event)
{
    auto *button = qobject_cast<QAbstractButton *>(watched);
    if (button && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        button->update();
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
