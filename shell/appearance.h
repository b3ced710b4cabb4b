#pragma once

#include <QColor>
#include <QPalette>
#include <QPixmap>

class QWidget;

/// How the screens look: their own light palette, the system colour numbers on it, text colours, and the
/// Tahoma face the layouts are measured in.
namespace shell {

/// The palette every screen draws with, whatever the desktop's theme: the screens' fixed colours (blue
/// captions, red and dark-blue hints) are chosen for these light backgrounds. They are Qt's own light
/// colours, so on a light desktop nothing changes.
QPalette lightPalette();

/// The system colours the screens are drawn in, by their numbers.
enum SystemColor {
    ActiveTitleBar = 2,
    WindowBackground = 5,
    WindowFrame = 6,
    ButtonFace = 15,
    TooltipBackground = 24,
};

/// The palette role of a system colour.
QPalette::ColorRole systemColorRole(SystemColor color);

/// A system colour in the screens' palette.
QColor systemColor(SystemColor color);

/// Sets the colour `widget` draws its text in.
void setTextColor(QWidget *widget, const QColor &color);

/// The colour `widget` draws its text in.
QColor textColor(const QWidget *widget);

/// The picture at `path` (a resource or a file) in the image `format` given ("png", "gif"), or a null
/// pixmap. Naming the format keeps Qt from loading every image reader to guess it.
QPixmap picture(const QString &path, const char *format);

/// Makes the Tahoma face available: when the system has none, registers the Tahoma-metric face that
/// fonts-wine installs, its regular style only: its bold file is hardly heavier than the regular one, so
/// bold text is drawn by the font engine from the regular outlines, clearly heavier on the screen and in a
/// PDF. Returns false when neither is there (Qt then substitutes another face).
bool registerTahoma();

} // namespace shell
