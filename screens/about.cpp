#include "screens/about.h"

#include "shell/appearance.h"
#include "shell/module1.h"
#include "ui_about.h"

#include <QKeyEvent>
#include <QMouseEvent>

frmAbout::frmAbout(QWidget *parent) : shell::Screen(parent), m_ui(std::make_unique<Ui::frmAbout>())
{
    m_ui->setupUi(this);
    // The title takes the colour of the active title bar, which a layout cannot name.
    shell::setTextColor(m_ui->lblATitle, shell::systemColor(shell::ActiveTitleBar));
}

frmAbout::~frmAbout() = default;

void frmAbout::load()
{
    Module1::DropShadow(this);
}

void frmAbout::mouseReleaseEvent(QMouseEvent *event)
{
    // The labels and the picture pass their clicks on to the screen, so a click anywhere on it, the
    // picture included, hides it.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        shell::ScreenRegistry::hide(this);
}

void frmAbout::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        shell::ScreenRegistry::hide(this);
    else
        shell::Screen::keyPressEvent(event);
}
