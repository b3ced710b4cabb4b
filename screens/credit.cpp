#include "screens/credit.h"

#include "ui_credit.h"

#include <QKeyEvent>
#include <QMouseEvent>

frmCredit::frmCredit(QWidget *parent) : shell::Screen(parent), m_ui(std::make_unique<Ui::frmCredit>())
{
    m_ui->setupUi(this);
}

frmCredit::~frmCredit() = default;

void frmCredit::mouseReleaseEvent(QMouseEvent *event)
{
    // The labels and the picture pass their clicks on to the screen, so a click anywhere on it, every credit
    // line included, hides it.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        shell::ScreenRegistry::hide(this);
}

void frmCredit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        shell::ScreenRegistry::hide(this);
    else
        shell::Screen::keyPressEvent(event);
}
