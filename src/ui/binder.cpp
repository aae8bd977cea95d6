#include "ui/binder.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <QTabWidget>

#include "ui/caption.h"
#include "ui/limit_validator.h"
#include "ui/widgets.h"

namespace zt::ui {

namespace {

bool IsColour(Prop p) {
    return p == Prop::ForeColor || p == Prop::BackColor;
}
bool IsItems(Prop p) {
    return p == Prop::ItemsReset || p == Prop::ItemAdded || p == Prop::ItemRemoved;
}

Qt::CheckState CheckOf(int value) {
    if (value == 1) return Qt::Checked;
    if (value == 2) return Qt::PartiallyChecked;
    return Qt::Unchecked;
}

// A combo box shows the model's text: the matching item, or the text itself.
void ShowComboText(const Control& c, QComboBox* w) {
    const QSignalBlocker block(w);
    const QString text = PlainText(c.text());
    const int i = w->findText(text, Qt::MatchExactly);
    if (w->isEditable()) {
        if (i >= 0) w->setCurrentIndex(i);
        if (w->currentText() != text) w->setEditText(text);
    } else {
        w->setCurrentIndex(i);
        // A drop-down list shows a text that is not among its items as placeholder.
        w->setPlaceholderText(i < 0 ? text : QString());
    }
}

void FillCombo(const Control& c, QComboBox* w) {
    const QSignalBlocker block(w);
    w->clear();
    for (const auto& item : c.items()) w->addItem(PlainText(item));
}

void SelectRow(const Control& c, QListWidget* w) {
    const QSignalBlocker block(w);
    const int row = c.listIndex();
    if (row >= 0 && row < w->count()) {
        w->setCurrentRow(row);
        w->scrollToItem(w->item(row));
    } else {
        w->setCurrentRow(-1);
        w->clearSelection();
    }
}

}  // namespace

Binder::~Binder() {
    detach();
}

void Binder::detach() {
    for (auto& [control, id] : observers_) control->unobserve(id);
    observers_.clear();
}

void Binder::observe(Control& c, std::function<void(Prop, int)> f) {
    const int id = c.observe([f = std::move(f)](Control&, Prop p, int index) { f(p, index); });
    observers_.emplace_back(&c, id);
}

QWidget* Binder::widgetOf(const Control& c) const {
    auto it = widgets_.find(&c);
    return it == widgets_.end() ? nullptr : it->second.data();
}

void Binder::applyColours(const Control& c, QWidget* w, Roles roles) {
    // Only the roles the model sets are resolved; everything else comes from the style, so the
    // default colour follows the desktop's theme.
    QPalette pal;
    pal.setResolveMask(0);
    QColor fore = ToQColor(c.foreColor());
    if (!fore.isValid()) {
        // Links keep the style's link colour.
        if (auto* link = qobject_cast<ClickLabel*>(w); link != nullptr && link->linkLook()) {
            fore = w->parentWidget() ? w->parentWidget()->palette().color(QPalette::Link) : QColor();
        }
    }
    if (fore.isValid()) {
        // Disabled controls keep the style's grey text.
        pal.setColor(QPalette::Active, roles.fore, fore);
        pal.setColor(QPalette::Inactive, roles.fore, fore);
    }
    const QColor back = ToQColor(c.backColor());
    if (back.isValid()) {
        pal.setColor(QPalette::All, roles.back, back);
    }
    w->setPalette(pal);
    if (roles.fill) w->setAutoFillBackground(back.isValid());
}

void Binder::base(Control& c, QWidget* w, Roles roles) {
    w->setObjectName(QString::fromStdString(c.name()));
    widgets_[&c] = w;
    w->setEnabled(c.enabled());
    applyColours(c, w, roles);
    QPointer<QWidget> guard(w);
    observe(c, [&c, guard, roles](Prop p, int) {
        if (!guard) return;
        if (p == Prop::Enabled)
            guard->setEnabled(c.enabled());
        else if (IsColour(p))
            applyColours(c, guard, roles);
    });
}

void Binder::common(Control& c, QWidget* w) {
    base(c, w, {QPalette::Text, QPalette::Base, false});
}

void Binder::plain(Control& c, QWidget* w) {
    base(c, w, {QPalette::WindowText, QPalette::Window, true});
}

void Binder::window(Control& c, QWidget* w) {
    base(c, w, {QPalette::WindowText, QPalette::Window, false});
    w->setWindowTitle(PlainText(c.text()));
    QPointer<QWidget> guard(w);
    observe(c, [&c, guard](Prop p, int) {
        if (guard && p == Prop::Text) guard->setWindowTitle(PlainText(c.text()));
    });
}

void Binder::label(Control& c, QLabel* w) {
    w->setTextFormat(Qt::PlainText);
    base(c, w, {QPalette::WindowText, QPalette::Window, true});
    w->setText(LabelText(c.text()));
    QPointer<QLabel> guard(w);
    observe(c, [&c, guard](Prop p, int) {
        if (guard && p == Prop::Text) guard->setText(LabelText(c.text()));
    });
}

void Binder::clickLabel(Control& c, ClickLabel* w) {
    w->setLinkLook(true);
    base(c, w, {QPalette::WindowText, QPalette::Window, true});
    w->setCaption(LabelText(c.text()));
    QPointer<ClickLabel> guard(w);
    observe(c, [&c, guard](Prop p, int) {
        if (guard && p == Prop::Text) guard->setCaption(LabelText(c.text()));
    });
    const std::string name = c.name();
    QObject::connect(w, &ClickLabel::clicked, w, [this, name] { actions_.click(name); });
}

void Binder::button(Control& c, QAbstractButton* w) {
    base(c, w, {QPalette::ButtonText, QPalette::Button, false});
    w->setText(MnemonicText(c.text()));
    QPointer<QAbstractButton> guard(w);
    observe(c, [&c, guard](Prop p, int) {
        if (guard && p == Prop::Text) guard->setText(MnemonicText(c.text()));
    });
    const std::string name = c.name();
    QObject::connect(w, &QAbstractButton::clicked, w, [this, name] { actions_.click(name); });
}

void Binder::checkBox(Control& c, QCheckBox* w) {
    base(c, w, {QPalette::WindowText, QPalette::Window, true});
    w->setText(MnemonicText(c.text()));
    w->setCheckState(CheckOf(c.value()));
    QPointer<QCheckBox> guard(w);
    observe(c, [&c, guard](Prop p, int) {
        if (!guard) return;
        if (p == Prop::Text)
            guard->setText(MnemonicText(c.text()));
        else if (p == Prop::Value)
            guard->setCheckState(CheckOf(c.value()));
    });
    // `clicked` comes from the operator only (mouse or keyboard), never from setCheckState.
    Control* ctl = &c;
    QObject::connect(w, &QCheckBox::clicked, w, [this, ctl, w] {
        ctl->setValue(w->checkState() == Qt::Checked ? 1 : 0);
        actions_.edited(ctl->name());
    });
}

void Binder::lineEdit(Control& c, QLineEdit* w) {
    base(c, w, {QPalette::Text, QPalette::Base, false});
    if (c.maxLength() > 0) new LimitValidator(c.maxLength(), w);
    LimitValidator::SetWhole(w, PlainText(c.text()));
    w->setCursorPosition(0);
    QPointer<QLineEdit> guard(w);
    observe(c, [&c, guard](Prop p, int) {
        if (!guard || p != Prop::Text) return;
        const QString text = PlainText(c.text());
        if (guard->text() != text) LimitValidator::SetWhole(guard, text);
    });
    // `textEdited` comes from the operator only (typing, pasting, undo), never from setText.
    Control* ctl = &c;
    QObject::connect(w, &QLineEdit::textEdited, w, [this, ctl](const QString& text) {
        ctl->setText(ToStd(text));
        actions_.edited(ctl->name());
    });
}

void Binder::comboBox(Control& c, QComboBox* w) {
    base(c, w,
         {w->isEditable() ? QPalette::Text : QPalette::ButtonText,
          w->isEditable() ? QPalette::Base : QPalette::Button, false});
    w->setInsertPolicy(QComboBox::NoInsert);
    FillCombo(c, w);
    ShowComboText(c, w);
    QPointer<QComboBox> guard(w);
    observe(c, [&c, guard](Prop p, int) {
        if (!guard) return;
        if (IsItems(p)) {
            FillCombo(c, guard);
            ShowComboText(c, guard);
        } else if (p == Prop::Text) {
            ShowComboText(c, guard);
        } else if (p == Prop::ListIndex) {
            const QSignalBlocker block(guard.data());
            guard->setCurrentIndex(c.listIndex() < guard->count() ? c.listIndex() : -1);
        }
    });
    Control* ctl = &c;
    QObject::connect(w, &QComboBox::activated, w, [this, ctl, w](int index) {
        ctl->setText(ToStd(w->itemText(index)));
        ctl->setListIndex(index);
        actions_.edited(ctl->name());
    });
    if (QLineEdit* edit = w->lineEdit(); edit != nullptr) {
        QObject::connect(edit, &QLineEdit::textEdited, w, [this, ctl, w](const QString& text) {
            ctl->setText(ToStd(text));
            ctl->setListIndex(w->findText(text, Qt::MatchExactly));
            actions_.edited(ctl->name());
        });
    }
}

void Binder::listBox(Control& c, QListWidget* w) {
    base(c, w, {QPalette::Text, QPalette::Base, false});
    w->setSelectionMode(QAbstractItemView::SingleSelection);
    for (const auto& item : c.items()) w->addItem(PlainText(item));
    SelectRow(c, w);
    QPointer<QListWidget> guard(w);
    observe(c, [&c, guard](Prop p, int index) {
        if (!guard) return;
        {
            const QSignalBlocker block(guard.data());
            if (p == Prop::ItemAdded && index >= 0 && index <= guard->count()) {
                guard->insertItem(index, PlainText(c.items()[static_cast<std::size_t>(index)]));
            } else if (p == Prop::ItemRemoved && index >= 0 && index < guard->count()) {
                delete guard->takeItem(index);
            } else if (IsItems(p)) {
                guard->clear();
                for (const auto& item : c.items()) guard->addItem(PlainText(item));
            }
        }
        // Removing and clearing move the model's selection without a notification of its own.
        if (IsItems(p) || p == Prop::ListIndex) SelectRow(c, guard);
    });
    Control* ctl = &c;
    QObject::connect(w, &QListWidget::currentRowChanged, w, [this, ctl](int row) {
        ctl->setListIndex(row);
        actions_.edited(ctl->name());
    });
}

void Binder::frame(Control& c, QGroupBox* w) {
    base(c, w, {QPalette::WindowText, QPalette::Window, true});
    w->setTitle(MnemonicText(c.text()));
    QPointer<QGroupBox> guard(w);
    observe(c, [&c, guard](Prop p, int) {
        if (guard && p == Prop::Text) guard->setTitle(MnemonicText(c.text()));
    });
}

void Binder::tabs(Control& c, QTabWidget* w) {
    base(c, w, {QPalette::WindowText, QPalette::Window, false});
    auto showCaptions = [&c](QTabWidget* t) {
        for (int i = 0; i < t->count(); ++i) {
            t->setTabText(
                i, i < c.itemCount() ? MnemonicText(c.items()[static_cast<std::size_t>(i)]) : QString());
        }
    };
    auto showCurrent = [&c](QTabWidget* t) {
        const QSignalBlocker block(t);
        if (c.listIndex() >= 0 && c.listIndex() < t->count()) t->setCurrentIndex(c.listIndex());
    };
    showCaptions(w);
    showCurrent(w);
    QPointer<QTabWidget> guard(w);
    observe(c, [guard, showCaptions, showCurrent](Prop p, int) {
        if (!guard) return;
        if (IsItems(p))
            showCaptions(guard);
        else if (p == Prop::ListIndex)
            showCurrent(guard);
    });
    Control* ctl = &c;
    QObject::connect(w, &QTabWidget::currentChanged, w, [this, ctl](int index) {
        ctl->setListIndex(index);
        actions_.edited(ctl->name());
    });
}

void Binder::nameFrom(Control& label, QWidget* field) {
    // Access-key marks mean nothing to a screen reader.
    auto name = [&label] { return LabelText(label.text()); };
    field->setAccessibleName(name());
    QPointer<QWidget> guard(field);
    observe(label, [guard, name](Prop p, int) {
        if (guard && p == Prop::Text) guard->setAccessibleName(name());
    });
}

}  // namespace zt::ui
