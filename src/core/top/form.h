// The window object: start-up, shutdown and the wiring of every event to its handler.
#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include "core/app/ctx.h"

namespace zt {

class CardRecord;
class FieldMarks;
class Tooltip;

class Form {
public:
    explicit Form(Platform pf);
    ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    Ctx& ctx() { return ctx_; }
    FormModel& model() { return ctx_.m; }
    WindowState& state() { return ctx_.st; }
    Tooltip& tooltips() { return *tips_; }
    CardRecord& record() { return *record_; }

    // Start-up (Form_Load).
    void Form_Load();
    // Shutdown: the tooltips go, then the run in progress is told to stop and the link is closed.
    void Form_QueryUnload();
    void Form_Unload();
    // The window is asked to close: true while it must stay (the card record has unsaved rows and the
    // operator is asked what to do).
    bool holdClose();

    // A click on a control, by its name ("cmdStart(2)", "cIdioma(1)"). Unknown names do nothing.
    // Returns whether a handler took it.
    bool click(std::string_view name);

private:
    void wireEvents();
    void wireChangeHandlers();
    // Starts a run once its fields are well formed, or once the operator chose to go on anyway.
    void startChecked(std::string_view button, std::function<Co<>()> run);

    Ctx ctx_;
    std::unique_ptr<Tooltip> tips_;
    std::unique_ptr<CardRecord> record_;
    std::unique_ptr<FieldMarks> marks_;
    bool loaded_ = false;
    bool unloaded_ = false;
};

// The web address behind the logo label.
inline constexpr std::string_view kMakerUrl = "https://www.kesta-access.example/";

}  // namespace zt
