#pragma once

#include "shell/screen.h"

#include <memory>

class QTimer;

namespace Ui {
class frmSplash;
}

/// The splash screen: shows the title while its progress bar fills, then hands over to the main menu,
/// telling a first-time user to create a category first.
class frmSplash : public shell::Screen
{
    Q_OBJECT

public:
    explicit frmSplash(QWidget *parent = nullptr);
    ~frmSplash() override;

protected:
    void load() override;

private:
    void tick();
    void handOver();

    const std::unique_ptr<Ui::frmSplash> m_ui;
    QTimer *m_timer;
};
