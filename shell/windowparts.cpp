#include "shell/windowparts.h"

#include "store/io/workfolder.h"

#include <QPushButton>

namespace shell {

QSettings windowSettings()
{
    return QSettings(store::workFolderPath() + QStringLiteral("/settings.ini"), QSettings::IniFormat);
}

QPushButton *namedButton(QWidget *parent, const char *objectName, const QString &caption)
{
    auto *made = new QPushButton(caption, parent);
    made->setObjectName(QLatin1StringView(objectName));
    return made;
}

} // namespace shell
