// larderon-help: the help window, started by the program on a help file as `larderon-help <file.chm>`.
//
// Once the file is open, its contents read and the first page shown, it writes "ready" and a line break
// to its standard output; the program waits for that word to know the help is on the screen. When the
// file cannot be opened it ends with exit code 1 without writing it, and says why on standard error.

#include "helpviewer/helpviewer.h"
#include "shell/appearance.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Larderon Help"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));

    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 2) {
        std::fputs("usage: larderon-help <help file>\n", stderr);
        return 2;
    }

    shell::registerTahoma();
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(8.25);
    QApplication::setFont(font);
    QIcon icon;
    for (const char *size : {"48", "128", "256"})
        icon.addFile(QStringLiteral(":/icons/larderon-%1.png").arg(QLatin1String(size)));
    QApplication::setWindowIcon(icon);

    HelpViewer viewer;
    // The pages are written for a light page, whatever the desktop's theme.
    viewer.setPalette(shell::lightPalette());
    if (!viewer.open(arguments.at(1))) {
        std::fprintf(stderr, "larderon-help: %s\n", qPrintable(viewer.error()));
        return 1;
    }
    viewer.show();
    // Reported from the event loop, so that the window has been shown by then.
    QTimer::singleShot(0, [] {
        std::fputs("ready\n", stdout);
        std::fflush(stdout);
    });
    return QApplication::exec();
}
