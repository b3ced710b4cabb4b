#include "shell/module1.h"

#include "shell/screen.h"
#include "store/fileops.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace Module1 {

namespace {

QString screenName(int screenNumber)
{
    switch (screenNumber) {
    case ScreenIngred:
        return QStringLiteral("frmIngred");
    case ScreenRecipe:
        return QStringLiteral("frmRecipe");
    case ScreenShop:
        return QStringLiteral("frmShop");
    default:
        return {};
    }
}

// A line edit that belongs to a composite control (a combo box, a spin box) is not a text box of its own.
bool isTextBox(const QLineEdit *edit)
{
    const QWidget *parent = edit->parentWidget();
    return !qobject_cast<const QComboBox *>(parent) && !qobject_cast<const QAbstractSpinBox *>(parent);
}

} // namespace

void DropShadow(QWidget *window)
{
    if (window)
        window->setWindowFlag(Qt::NoDropShadowWindowHint, false);
}

void FileSystemDelete(const QString &path, DeleteMode mode)
{
    if (mode == DeleteFile)
        store::deleteFile(path);
    else if (mode == DeleteFolder)
        store::deleteFolder(path);
}

void ClearScreen(ScreenNumber screenNumber)
{
    const QString name = screenName(screenNumber);
    QWidget *screen = name.isEmpty() ? nullptr : shell::ScreenRegistry::find(name);
    if (!screen)
        return;
    for (QWidget *control : screen->findChildren<QWidget *>()) {
        if (auto *edit = qobject_cast<QLineEdit *>(control); edit && isTextBox(edit))
            edit->clear();
        else if (auto *plain = qobject_cast<QPlainTextEdit *>(control))
            plain->clear();
        else if (auto *rich = qobject_cast<QTextEdit *>(control))
            rich->clear();
    }
    if (screenNumber == ScreenRecipe) {
        if (auto *list = screen->findChild<QListWidget *>(QStringLiteral("lswRFile")))
            list->clear();
    }
}

void ListFolderFiles(const QString &folder, QStringList &names, store::FileOrder order)
{
    names = store::listFiles(folder, order);
}

} // namespace Module1
