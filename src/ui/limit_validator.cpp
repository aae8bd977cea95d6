#include "ui/limit_validator.h"

#include <algorithm>

namespace zt::ui {

LimitValidator::LimitValidator(int limit, QLineEdit* edit) : QValidator(edit), limit_(limit) {
    current_ = static_cast<int>(edit->text().size());
    connect(edit, &QLineEdit::textChanged, this,
            [this](const QString& t) { current_ = static_cast<int>(t.size()); });
    edit->setValidator(this);
}

QValidator::State LimitValidator::validate(QString& input, int& pos) const {
    if (programmatic_) return Acceptable;
    // A box already holding more than the limit may keep that length, but not grow.
    const qsizetype allowed = std::max(limit_, current_);
    const qsizetype excess = input.size() - allowed;
    if (excess <= 0) return Acceptable;
    // What was just typed or pasted ends at the cursor: cut its tail, as a length limit does.
    if (pos < excess) return Invalid;
    input.remove(pos - excess, excess);
    pos -= static_cast<int>(excess);
    return Acceptable;
}

void LimitValidator::SetWhole(QLineEdit* edit, const QString& text) {
    // QLineEdit runs its validator on setText too.
    auto* v = qobject_cast<LimitValidator*>(const_cast<QValidator*>(edit->validator()));
    if (v != nullptr) v->programmatic_ = true;
    edit->setText(text);
    if (v != nullptr) v->programmatic_ = false;
}

}  // namespace zt::ui
