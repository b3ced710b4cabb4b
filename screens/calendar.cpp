#include "screens/calendar.h"

#include "shell/module1.h"
#include "ui_calendar.h"

#include <QKeyEvent>
#include <QMouseEvent>

frmCalendar::frmCalendar(QWidget *parent) : shell::Screen(parent), m_ui(std::make_unique<Ui::frmCalendar>())
{
    m_ui->setupUi(this);
}

frmCalendar::~frmCalendar() = default;

void frmCalendar::load()
{
    Module1::DropShadow(this);
}

void frmCalendar::mouseReleaseEvent(QMouseEvent *event)
{
    // Parts of the calendar that ignore a click pass it on to the window; only the bare margin hides it.
    if (event->button() == Qt::LeftButton && !m_ui->MonthView1->geometry().contains(event->position().toPoint()))
        shell::ScreenRegistry::hide(this);
    else
        shell::Screen::mouseReleaseEvent(event);
}

void frmCalendar::keyPressEvent(QKeyEvent *event)
{
    // The calendar passes on the Escape it does not use itself (it uses one to leave the year box).
    if (event->key() == Qt::Key_Escape)
        shell::ScreenRegistry::hide(this);
    else
        shell::Screen::keyPressEvent(event);
}
