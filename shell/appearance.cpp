#include "shell/appearance.h"

#include <QFontDatabase>
#include <QImageReader>
#include <QWidget>

namespace shell {

QPalette lightPalette()
{
    static const QPalette palette = [] {
        const QColor face(0xef, 0xef, 0xef);
        QPalette p(Qt::black, face, Qt::white, QColor(0x9f, 0x9f, 0x9f), QColor(0xb8, 0xb8, 0xb8), Qt::black, Qt::white,
                   Qt::white, face);
        p.setColor(QPalette::Midlight, QColor(0xca, 0xca, 0xca));
        p.setColor(QPalette::Shadow, QColor(0x76, 0x76, 0x76));
        p.setColor(QPalette::Highlight, QColor(0x30, 0x8c, 0xc6));
        p.setColor(QPalette::HighlightedText, Qt::white);
        p.setColor(QPalette::Link, Qt::blue);
        p.setColor(QPalette::LinkVisited, Qt::magenta);
        p.setColor(QPalette::AlternateBase, QColor(0xf7, 0xf7, 0xf7));
        p.setColor(QPalette::ToolTipBase, QColor(0xff, 0xff, 0xdc));
        p.setColor(QPalette::ToolTipText, Qt::black);
        p.setColor(QPalette::PlaceholderText, QColor(0, 0, 0, 0x80));
        const QColor grey(0xbe, 0xbe, 0xbe);
        for (const QPalette::ColorRole role :
             {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::Dark})
            p.setColor(QPalette::Disabled, role, grey);
        p.setColor(QPalette::Disabled, QPalette::Base, face);
        p.setColor(QPalette::Disabled, QPalette::Shadow, QColor(0xb1, 0xb1, 0xb1));
        p.setColor(QPalette::Disabled, QPalette::Highlight, QColor(0x91, 0x91, 0x91));
        return p;
    }();
    return palette;
}

QPalette::ColorRole systemColorRole(SystemColor color)
{
    switch (color) {
    case ActiveTitleBar:
        return QPalette::Highlight;
    case WindowBackground:
        return QPalette::Base;
    case WindowFrame:
        return QPalette::WindowText;
    case ButtonFace:
        return QPalette::Button;
    case TooltipBackground:
        return QPalette::ToolTipBase;
    }
    return QPalette::Window;
}

QColor systemColor(SystemColor color)
{
    return lightPalette().color(systemColorRole(color));
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
