// The typing limit of a text box. Unlike QLineEdit::setMaxLength it limits only what the operator
// types or pastes: the program may put a longer text into the box ("1000" into a three-character
// user number) and the box shows and keeps it whole.
#pragma once

#include <QLineEdit>
#include <QValidator>

namespace zt::ui {

class LimitValidator final : public QValidator {
    Q_OBJECT
public:
    // Attaches itself to `edit` and follows its text.
    LimitValidator(int limit, QLineEdit* edit);

    State validate(QString& input, int& pos) const override;
    int limit() const { return limit_; }

    // Puts a text into the box as the program does: whole, whatever its length.
    static void SetWhole(QLineEdit* edit, const QString& text);

private:
    int limit_;
    int current_ = 0;  // length of the text the box holds now
    bool programmatic_ = false;
};

}  // namespace zt::ui
