#include "shell/error.h"

#include "shell/errorcodes.h"
#include "shell/errorhandover.h"
#include "shell/module1.h"
#include "ui_error.h"

#include <QCloseEvent>

namespace {

// Labels break lines at "\n"; the report's texts keep the carriage return they are made with.
QString forLabel(QString text)
{
    return text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

} // namespace

frmError::frmError(QWidget *parent) : shell::Screen(parent), m_ui(std::make_unique<Ui::frmError>())
{
    m_ui->setupUi(this);
    connect(m_ui->cmdEBack, &QPushButton::clicked, this, &frmError::endProgram);
}

frmError::~frmError() = default;

void frmError::load()
{
    Module1::DropShadow(this);
}

bool frmError::event(QEvent *event)
{
    // The report is filled each time it becomes the active window, and before it is first drawn.
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::Show)
        fillReport();
    return shell::Screen::event(event);
}

void frmError::closeEvent(QCloseEvent *event)
{
    // Closing the window is the same as OK: there is no way back into the failed screen.
    event->ignore();
    endProgram();
}

void frmError::fillReport()
{
    shell::ErrorHandOver &values = shell::errorHandOver();
    const shell::ErrorCode *row = shell::findErrorCode(values.code);
    if (!row)
        return;
    m_ui->lblENumMsg->setText(values.code + values.numberText);
    values.description = shell::errorDescription(*row);
    m_ui->lblEDescMsg->setText(forLabel(values.description));
    m_ui->lblESourceMsg->setText(QString::fromLatin1(row->source));
    m_ui->lblEFixMsg->setText(forLabel(shell::errorActionText()));
}

void frmError::endProgram()
{
    hide();
    shell::ScreenRegistry::unloadAll();
}
