#include "shell/appearance.h"

#include <QApplication>
#include <QFontDatabase>
#include <QImageReader>
#include <QWidget>

namespace shell {

QPalette::ColorRole systemColorRole(int number)
{
    switch (number) {
    case 2:
        return QPalette::Highlight;
    case 5:
        return QPalette::Base;
    case 6:
        return QPalette::WindowText;
    case 15:
        return QPalette::Button;
    case 24:
        return QPalette::ToolTipBase;
    default:
        return QPalette::Window;
    }
}

QColor systemColor(int number)
{
    return QApplication::palette().color(systemColorRole(number));
}

void setTextColor(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    widget->setPalette(palette);
}

QColor textColor(const QWidget *widget)
{
    return widget->palette().color(QPalette::WindowText);
}

QPixmap picture(const QString &path, const char *format)
{
    QImageReader reader(path, format);
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

bool registerTahoma()
{
    if (QFontDatabase::families().contains(QStringLiteral("Tahoma")))
        return true;
    return QFontDatabase::addApplicationFont(QStringLiteral("/usr/share/wine/fonts/tahoma.ttf")) >= 0;
}

} // namespace shell
