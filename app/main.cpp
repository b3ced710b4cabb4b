#include "app/registerscreens.h"
#include "app/splash.h"
#include "shell/appearance.h"
#include "shell/screen.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Larderon"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    // The program ends through its exit confirmation or its error report, never because a window closed.
    QApplication::setQuitOnLastWindowClosed(false);

    registerScreens();
    shell::ScreenRegistry::show<frmSplash>();

    // The splash screen has faces and no icon of its own: the screens' face and the windows' icon are
    // set up once it is on the screen, so that it shows as early as it can.
    QTimer::singleShot(0, [] {
        shell::registerTahoma();
        QFont font(QStringLiteral("Tahoma"));
        font.setPointSizeF(8.25);
        QApplication::setFont(font);
        // Each screen draws with its own light palette; its menus and drop-down lists are windows of their
        // own, which take the palette of the application's menus.
        QApplication::setPalette(shell::lightPalette(), "QMenu");
        QApplication::setWindowIcon(QIcon(shell::picture(QStringLiteral(":/icons/larderon-48.png"), "png")));
    });
    const int result = QApplication::exec();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return result;
}
