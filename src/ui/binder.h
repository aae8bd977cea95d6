// Two-way binding of the window model's controls to Qt widgets. The model stays the source of
// truth: what the operator does goes into the model first, and every change of the model, whoever
// made it, is shown by the widget at once.
#pragma once

#include <QPalette>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <vector>

#include "core/app/control.h"
#include "ui/window_actions.h"

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QTabWidget;

namespace zt::ui {

class ClickLabel;

class Binder {
public:
    explicit Binder(WindowActions& actions) : actions_(actions) {}
    // Stops listening to the model. The model must outlive the binder (or detach() must come first).
    ~Binder();
    Binder(const Binder&) = delete;
    Binder& operator=(const Binder&) = delete;
    void detach();

    void window(Control& c, QWidget* w);
    void label(Control& c, QLabel* w);
    void clickLabel(Control& c, ClickLabel* w);
    void button(Control& c, QAbstractButton* w);
    void checkBox(Control& c, QCheckBox* w);
    // With a typing limit of c.maxLength() when it has one.
    void lineEdit(Control& c, QLineEdit* w);
    void comboBox(Control& c, QComboBox* w);
    void listBox(Control& c, QListWidget* w);
    void frame(Control& c, QGroupBox* w);
    // Controls that show no text of their own (pictures, frames without a visible caption).
    void plain(Control& c, QWidget* w);
    void tabs(Control& c, QTabWidget* w);
    // Enabled flag and colours only; the widget handles the rest itself (the activity log).
    void common(Control& c, QWidget* w);

    // The accessible name of `field` follows the caption of `label` (a label or a check box).
    void nameFrom(Control& label, QWidget* field);

    // Listens to `c` until detach().
    void observe(Control& c, std::function<void(Prop, int)> f);

    WindowActions& actions() { return actions_; }
    QWidget* widgetOf(const Control& c) const;
    const std::map<const Control*, QPointer<QWidget>>& widgets() const { return widgets_; }

private:
    struct Roles {
        QPalette::ColorRole fore;
        QPalette::ColorRole back;
        bool fill;  // the widget paints its background only when asked to
    };
    void base(Control& c, QWidget* w, Roles roles);
    static void applyColours(const Control& c, QWidget* w, Roles roles);

    WindowActions& actions_;
    std::vector<std::pair<Control*, int>> observers_;
    std::map<const Control*, QPointer<QWidget>> widgets_;
};

}  // namespace zt::ui
