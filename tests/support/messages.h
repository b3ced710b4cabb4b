#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace testing {

/// Answers the program's message boxes during a test and records each one. A box that no answer was
/// queued for is an unexpected box: it is recorded, answered with OK, and fails the test when checked.
class MessageScript
{
public:
    struct Box
    {
        QString prompt;
        int flags;
        QString title;
        QStringList shown; ///< the object names of the windows shown while the box asked, sorted
    };

    MessageScript();
    ~MessageScript();

    /// Queues the answer for the next box (1 OK, 6 Yes, 7 No).
    void answer(int reply) { m_answers.append(reply); }

    const QList<Box> &boxes() const { return m_boxes; }
    /// The boxes shown that had no answer queued, as text; empty when there were none.
    QString unexpected() const { return m_unexpected; }

private:
    QList<Box> m_boxes;
    QList<int> m_answers;
    QString m_unexpected;
};

} // namespace testing
