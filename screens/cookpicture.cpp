#include "screens/cookpicture.h"

#include "shell/errorcodes.h"
#include "shell/errorpath.h"
#include "shell/messages.h"
#include "shell/screen.h"
#include "shell/windowparts.h"
#include "store/io/failure.h"
#include "store/recipepicture.h"

#include <QApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QThreadPool>
#include <QVBoxLayout>

namespace {

constexpr QSize kPictureBox(360, 270);

} // namespace

CookPicture::CookPicture(shell::Screen *screen)
    : QWidget(screen), m_screen(screen), m_picture(new QLabel(this)),
      m_remove(shell::namedButton(this, "cmdKRemove", QStringLiteral("Remove picture")))
{
    m_picture->setObjectName(QStringLiteral("lblKPicture"));
    m_picture->setAccessibleName(QStringLiteral("Picture"));
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->setToolTip(QStringLiteral("Drop an image file on the window to make it the recipe's picture"));
    QPushButton *choose = shell::namedButton(this, "cmdKPicture", QStringLiteral("Picture..."));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(choose);
    buttons->addWidget(m_remove);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(m_picture);
    column->addLayout(buttons);
    connect(choose, &QPushButton::clicked, this, &CookPicture::choose);
    connect(m_remove, &QPushButton::clicked, this, &CookPicture::remove);
}

void CookPicture::showFor(const QString &category, const QString &name)
{
    m_category = category;
    m_name = name;
    refresh();
}

void CookPicture::refresh()
{
    QString path;
    try {
        path = store::picturePath(m_category, m_name);
    } catch (const store::Failure &) {
        // A name the Pictures folder cannot hold has no picture.
    }
    const int request = ++m_request;
    m_picture->clear();
    m_picture->hide();
    m_remove->setEnabled(!path.isEmpty());
    if (path.isEmpty())
        return;
    // A photograph takes longer to read than the rest of the window takes to show: it is read in a worker,
    // at the size it is shown (a JPEG decodes a fraction of its pixels then), and shown when it is ready.
    // A reading that a later one overtook is dropped.
    QThreadPool::globalInstance()->start([self = QPointer<CookPicture>(this), path, request] {
        QImageReader reader(path);
        reader.setAutoTransform(true);
        if (const QSize size = reader.size(); size.isValid())
            reader.setScaledSize(size.scaled(kPictureBox, Qt::KeepAspectRatio));
        QMetaObject::invokeMethod(
            qApp,
            [self, image = reader.read(), request] {
                if (self && request == self->m_request && !image.isNull()) {
                    self->m_picture->setPixmap(QPixmap::fromImage(image));
                    self->m_picture->show();
                }
            },
            Qt::QueuedConnection);
    });
}

void CookPicture::take(const QString &path)
{
    try {
        store::setPicture(m_category, m_name, path);
    } catch (const store::Failure &failure) {
        if (failure.number() == store::Failure::BadFileName) {
            shell::msgBox(QStringLiteral("Only a JPEG, PNG or WebP picture can be taken."),
                          shell::MbSystemModal | shell::MbExclamation, QStringLiteral("User error"));
            return;
        }
        shell::raiseError(m_screen, shell::codes::CookPicture, failure);
        return;
    }
    refresh();
}

void CookPicture::choose()
{
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Choose a picture"), QString(),
                                                      QStringLiteral("Pictures (*.jpg *.jpeg *.png *.webp)"));
    if (!path.isEmpty())
        take(path);
}

void CookPicture::remove()
{
    try {
        store::removePicture(m_category, m_name);
    } catch (const store::Failure &failure) {
        shell::raiseError(m_screen, shell::codes::CookPicture, failure);
        return;
    }
    refresh();
}
