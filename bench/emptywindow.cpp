// The floor that Larderon's start-up is measured against: an empty Qt Widgets window.
#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Empty window"));
    window.resize(193, 263);
    window.show();
    return QApplication::exec();
}
