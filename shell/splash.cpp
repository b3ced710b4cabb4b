#include "shell/splash.h"

#include "shell/appearance.h"
#include "shell/messages.h"
#include "shell/mmain.h"
#include "shell/module1.h"
#include "store/appfolder.h"
#include "store/failure.h"
#include "store/fileops.h"
#include "ui_splash.h"

#include <QApplication>
#include <QFontDatabase>
#include <QScreen>
#include <QTimer>

namespace {

// The title's face is decorative; where it is not installed a serif face stands in for it.
QFont titleFont(double points, bool bold)
{
    QFont font(QStringLiteral("Brigitte"));
    font.setFamilies({QStringLiteral("Brigitte"), QStringLiteral("URW Chancery L"), QStringLiteral("Z003"),
                      QStringLiteral("DejaVu Serif"), QStringLiteral("Tahoma")});
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

} // namespace

frmSplash::frmSplash(QWidget *parent)
    : shell::Screen(parent)
    , m_ui(std::make_unique<Ui::frmSplash>())
    , m_timer(new QTimer(this))
{
    m_ui->setupUi(this);
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    m_timer->setObjectName(QStringLiteral("tmrTaskTimer"));
    m_ui->Label1->setFont(titleFont(27.75, true));
    m_ui->Label3->setFont(titleFont(18, true));
    m_ui->Label4->setFont(titleFont(11.25, false));
    shell::setTextColor(m_ui->Label4, shell::systemColor(6));
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    connect(m_timer, &QTimer::timeout, this, &frmSplash::tick);
}

frmSplash::~frmSplash() = default;

void frmSplash::load()
{
    Module1::DropShadow(this);
    setCursor(Qt::WaitCursor);
    m_ui->pbTaskProgress->setValue(m_ui->pbTaskProgress->minimum());
    m_ui->pbTaskProgress->setRange(0, 100);
    m_timer->setInterval(100);
    m_timer->start();
}

void frmSplash::tick()
{
    QProgressBar *bar = m_ui->pbTaskProgress;
    bar->setValue(bar->value() + 4);
    if (bar->maximum() <= bar->value()) {
        m_timer->stop();
        unsetCursor();
        handOver();
    }
}

void frmSplash::handOver()
{
    const QString mainMenu = QStringLiteral("frmMain");
    try {
        const QString settings = store::settingsPath();
        if (store::fileExists(settings)) {
            shell::ScreenRegistry::hide(this);
            shell::ScreenRegistry::show(mainMenu);
            return;
        }
        shell::ScreenRegistry::hide(this);
        mMain::CategoryPresenceCheck();
        store::createTextFile(settings);
        shell::ScreenRegistry::show(mainMenu);
    } catch (const store::Failure &failure) {
        // Start-up has no error report of its own: a program that cannot write its folder stops here.
        shell::msgBox(QStringLiteral("Run-time error '%1':\r\r%2").arg(failure.number()).arg(failure.description()),
                      shell::MbCritical);
        shell::ScreenRegistry::unloadAll();
    }
}
