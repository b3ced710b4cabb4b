#pragma once

#include <QString>

#include <functional>

/// The one routine through which the program shows message boxes, with the classic flag values and
/// answer codes. Tests replace the box with a responder that records the question and answers it.
namespace shell {

enum MessageFlag {
    MbOkOnly = 0,
    MbYesNo = 4,
    MbCritical = 16,
    MbQuestion = 32,
    MbExclamation = 48,
    MbInformation = 64,
    MbSystemModal = 4096,
};

enum MessageAnswer {
    AnswerOk = 1,
    AnswerYes = 6,
    AnswerNo = 7,
};

/// The title a box without one of its own shows.
inline const QString kProgramTitle = QStringLiteral("Larderon");

/// Shows `prompt` and returns the answer. Buttons are flags & 7 (0 OK, 4 Yes and No), the icon
/// flags & 0x70, and 4096 keeps the box on top of every window. A carriage return in the prompt starts
/// a new line. An empty title shows the program's title.
int msgBox(const QString &prompt, int flags = MbOkOnly, const QString &title = QString());

/// Receives every box instead of the screen: the prompt as given, the flags and the title shown.
using MessageResponder = std::function<int(const QString &prompt, int flags, const QString &title)>;

/// Replaces the message box with `responder`; an empty responder brings the real box back.
void setMessageResponder(MessageResponder responder);

} // namespace shell
