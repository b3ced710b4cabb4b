#include "shell/appearance.h"
#include "shell/registerscreens.h"
#include "shell/screen.h"
#include "shell/splash.h"

#include <QApplication>
#include <QFont>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Larderon"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    // The program ends through its exit confirmation or its error report, never because a window closed.
    QApplication::setQuitOnLastWindowClosed(false);

    shell::registerTahoma();
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(8.25);
    QApplication::setFont(font);
    QIcon icon;
    for (const char *size : {"48", "128", "256"})
        icon.addFile(QStringLiteral(":/icons/larderon-%1.png").arg(QLatin1String(size)));
    QApplication::setWindowIcon(icon);

    registerScreens();
    shell::ScreenRegistry::show<frmSplash>();
    const int result = QApplication::exec();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return result;
}
