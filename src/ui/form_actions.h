// The window's actions delivered to the window logic.
#pragma once

#include "core/top/form.h"
#include "ui/window_actions.h"

namespace zt::ui {

class FormActions final : public WindowActions {
public:
    explicit FormActions(Form& form) : form_(form) {}
    void click(const std::string& name) override { form_.click(name); }
    // The change handlers already ran through the model; an edit is still an event for waiting runs.
    void edited(const std::string&) override { form_.ctx().sched.pump(); }
    bool holdClose() override { return form_.holdClose(); }
    void closing() override {
        form_.Form_QueryUnload();
        form_.Form_Unload();
    }

private:
    Form& form_;
};

}  // namespace zt::ui
