#pragma once

#include "shell/screen.h"

#include <memory>

namespace Ui {
class frmCredit;
}

/// The Credits screen: thanks to the sources the program learned from, hidden again by a click anywhere on it
/// or Escape.
class frmCredit : public shell::Screen
{
    Q_OBJECT

public:
    explicit frmCredit(QWidget *parent = nullptr);
    ~frmCredit() override;

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    const std::unique_ptr<Ui::frmCredit> m_ui;
};
