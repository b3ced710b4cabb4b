#pragma once

#include "shell/screen.h"

#include <memory>

namespace Ui {
class frmAbout;
}

/// The About screen: the program's name, version and author, hidden again by a click anywhere on it or Escape.
class frmAbout : public shell::Screen
{
    Q_OBJECT

public:
    explicit frmAbout(QWidget *parent = nullptr);
    ~frmAbout() override;

protected:
    void load() override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    const std::unique_ptr<Ui::frmAbout> m_ui;
};
