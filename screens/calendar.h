#pragma once

#include "shell/screen.h"

#include <memory>

namespace Ui {
class frmCalendar;
}

/// The calendar pop-up of the shopping list screen: a month calendar to look at while writing a list.
/// A click on the margin around the calendar or Escape hides it; hidden, it keeps the month it shows.
class frmCalendar : public shell::Screen
{
    Q_OBJECT

public:
    explicit frmCalendar(QWidget *parent = nullptr);
    ~frmCalendar() override;

protected:
    void load() override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    const std::unique_ptr<Ui::frmCalendar> m_ui;
};
