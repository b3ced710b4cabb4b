#include "tests/support/messages.h"

#include "shell/messages.h"

#include <QApplication>
#include <QWidget>

namespace testing {

MessageScript::MessageScript()
{
    shell::setMessageResponder([this](const QString &prompt, int flags, const QString &title) {
        QStringList shown;
        for (const QWidget *window : QApplication::topLevelWidgets()) {
            if (window->isVisible())
                shown << window->objectName();
        }
        shown.sort();
        m_boxes.append({prompt, flags, title, shown});
        if (m_answers.isEmpty()) {
            m_unexpected +=
                QStringLiteral("unexpected box \"%1\" (flags %2, title \"%3\")\n").arg(prompt).arg(flags).arg(title);
            return int(shell::AnswerOk);
        }
        return m_answers.takeFirst();
    });
}

MessageScript::~MessageScript()
{
    shell::setMessageResponder({});
}

} // namespace testing
