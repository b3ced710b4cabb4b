#pragma once

#include <QValidator>

/// Lets only the digits 0 to 9 into a text box. A typed character of any other kind never reaches the
/// box, and a pasted or dropped text that holds one is refused whole; Backspace, Delete and Tab work as
/// usual because they insert nothing.
class DigitFilter : public QValidator
{
    Q_OBJECT

public:
    using QValidator::QValidator;

    /// True when every character of `text` is one of 0 to 9; the empty text is digits too.
    static bool isDigits(QStringView text);

    State validate(QString &input, int &pos) const override;
};
