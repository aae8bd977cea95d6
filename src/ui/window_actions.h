// What the window tells the logic: clicks, the operator's edits, and that it is closing.
#pragma once

#include <string>

namespace zt::ui {

class WindowActions {
public:
    virtual ~WindowActions() = default;
    // A button or a clickable label, by its control's name ("cmdStart(2)", "cIdioma(0)").
    virtual void click(const std::string& name) = 0;
    // The operator changed a value (typed, ticked, picked an item or a line); the model already
    // holds the new value.
    virtual void edited(const std::string& name) = 0;
    // The window is asked to close: true when it must stay open for now (the logic closes it later).
    virtual bool holdClose() { return false; }
    // The window is closing: the shutdown steps.
    virtual void closing() = 0;
};

}  // namespace zt::ui
