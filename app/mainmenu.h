#pragma once

#include "shell/screen.h"

#include <memory>

namespace Ui {
class frmMain;
}

/// The main menu: a bar of commands that opens every other screen, the help, and the way out.
class frmMain : public shell::Screen
{
    Q_OBJECT

public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

protected:
    void load() override;
    void closeEvent(QCloseEvent *event) override;

private:
    void itemClick(const QString &key);

    const std::unique_ptr<Ui::frmMain> m_ui;
};
