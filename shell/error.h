#pragma once

#include "shell/screen.h"

#include <memory>

namespace Ui {
class frmError;
}

/// The error report: says which operation failed and with which number, and ends the program on OK.
class frmError : public shell::Screen
{
    Q_OBJECT

public:
    explicit frmError(QWidget *parent = nullptr);
    ~frmError() override;

protected:
    void load() override;
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void fillReport();
    void endProgram();

    const std::unique_ptr<Ui::frmError> m_ui;
};
