#include "app/splash.h"

#include "shell/appearance.h"
#include "shell/messages.h"
#include "shell/mmain.h"
#include "shell/module1.h"
#include "store/appfolder.h"
#include "store/fileops.h"
#include "store/io/failure.h"
#include "ui_splash.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

namespace {

// The title's face is decorative; where it is not installed the program's own face stands in for it,
// so that no further face has to be loaded for three short lines.
QFont titleFont(double points, bool bold)
{
    // Asked for a face it lacks, the system offers its nearest one rather than the next in a list.
    const QString brigitte = QStringLiteral("Brigitte");
    QFont font(QFontDatabase::hasFamily(brigitte) ? brigitte : QStringLiteral("Tahoma"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

} // namespace

frmSplash::frmSplash(QWidget *parent)
    : shell::Screen(parent), m_ui(std::make_unique<Ui::frmSplash>()), m_timer(new QTimer(this))
{
    m_ui->setupUi(this);
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    m_timer->setObjectName(QStringLiteral("tmrTaskTimer"));
    // Colours through the palette: a style sheet would cost the first window several milliseconds.
    shell::setTextColor(m_ui->Label1, QColor(0, 0, 255));
    shell::setTextColor(m_ui->Label3, QColor(0, 0, 255));
    shell::setTextColor(m_ui->Label4, shell::systemColor(shell::WindowFrame));
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    connect(m_timer, &QTimer::timeout, this, &frmSplash::tick);
}

frmSplash::~frmSplash() = default;

void frmSplash::load()
{
    Module1::DropShadow(this);
    // The picture, the faces and the hourglass follow as soon as the window is on the screen, so that
    // the window itself shows as early as it can.
    QTimer::singleShot(0, this, [this] {
        shell::registerTahoma();
        m_ui->Label1->setFont(titleFont(27.75, true));
        m_ui->Label3->setFont(titleFont(18, true));
        m_ui->Label4->setFont(titleFont(11.25, false));
        m_ui->Image1->setPixmap(shell::picture(QStringLiteral(":/pictures/splash.gif"), "gif"));
        if (m_timer->isActive())
            setCursor(Qt::WaitCursor);
    });
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
    try {
        // Files of saves that were cut off (the program killed, the power gone) go before anything is read.
        store::cleanWorkFolder();
        const QString settings = store::settingsPath();
        const bool firstRun = !store::fileExists(settings);
        shell::ScreenRegistry::hide(this);
        if (firstRun) {
            mMain::CategoryPresenceCheck();
            store::createTextFile(settings);
        }
        shell::ScreenRegistry::show(shell::kMainMenu);
    } catch (const store::Failure &failure) {
        // Start-up has no error report of its own: a program that cannot write its folder stops here.
        shell::msgBox(QStringLiteral("Run-time error '%1':\r\r%2").arg(failure.number()).arg(failure.description()),
                      shell::MbCritical);
        shell::ScreenRegistry::unloadAll();
        return;
    }
    // Hidden for the rest of the run, the splash screen gives back its picture and its window's memory;
    // the screen itself stays.
    m_ui->Image1->clear();
    destroy();
}
