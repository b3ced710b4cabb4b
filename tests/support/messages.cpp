#include "tests/support/messages.h"

#include "shell/messages.h"

namespace testing {

MessageScript::MessageScript()
{
    shell::setMessageResponder([this](const QString &prompt, int flags, const QString &title) {
        m_boxes.append({prompt, flags, title});
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

void MessageScript::answer(int a)
{
    m_answers.append(a);
}

} // namespace testing
