#include "shell/messages.h"

#include <QApplication>
#include <QMessageBox>

namespace shell {

namespace {

MessageResponder &responder()
{
    static MessageResponder r;
    return r;
}

QMessageBox::Icon iconOf(int flags)
{
    switch (flags & 0x70) {
    case MbCritical:
        return QMessageBox::Critical;
    case MbQuestion:
        return QMessageBox::Question;
    case MbExclamation:
        return QMessageBox::Warning;
    case MbInformation:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int showBox(const QString &prompt, int flags, const QString &title)
{
    QString text = prompt;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));

    const bool yesNo = (flags & 7) == MbYesNo;
    QMessageBox box(iconOf(flags), title, text, yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    if (flags & MbSystemModal)
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return AnswerYes;
    case QMessageBox::No:
        return AnswerNo;
    default:
        // Closing a Yes/No box without choosing counts as No.
        return yesNo ? AnswerNo : AnswerOk;
    }
}

} // namespace

int msgBox(const QString &prompt, int flags, const QString &title)
{
    const QString shownTitle = title.isEmpty() ? kProgramTitle : title;
    if (responder())
        return responder()(prompt, flags, shownTitle);
    return showBox(prompt, flags, shownTitle);
}

void setMessageResponder(MessageResponder r)
{
    responder() = std::move(r);
}

} // namespace shell
