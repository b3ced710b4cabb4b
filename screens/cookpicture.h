#pragma once

#include <QWidget>

namespace shell {
class Screen;
}

class QLabel;
class QPushButton;

/// The recipe window's picture and its buttons ("Picture...", "Remove picture"): shows the picture kept for
/// a recipe, read in a worker at the size it is shown, and takes, replaces or removes it. A failure to keep
/// or remove the picture goes through the program's error path.
class CookPicture : public QWidget
{
    Q_OBJECT

public:
    /// A pane of `screen`, whose error path its failures take.
    explicit CookPicture(shell::Screen *screen);

    /// Shows the picture of the recipe `name` of `category`, or none.
    void showFor(const QString &category, const QString &name);
    /// Takes the image file at `path` as the shown recipe's picture.
    void take(const QString &path);

private:
    void refresh();
    void choose();
    void remove();

    shell::Screen *m_screen;
    QString m_category;
    QString m_name;
    int m_request = 0; ///< the latest reading of the picture; an earlier one's result is dropped
    QLabel *m_picture;
    QPushButton *m_remove;
};
