#pragma once

#include <QSettings>
#include <QString>

class QPushButton;
class QWidget;

/// Pieces the resizable windows (the recipe window, the meal plan) share.
namespace shell {

/// The settings those windows keep between runs (sizes, type size, household size): the file
/// settings.ini in the work folder, never LD.ini, which stays an empty marker.
QSettings windowSettings();

/// A push button with `caption`, named `objectName` so that tests and hover hints find it.
QPushButton *namedButton(QWidget *parent, const char *objectName, const QString &caption);

} // namespace shell
