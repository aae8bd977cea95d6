// The window object as the subsystems see it: its controls, its state fields, the run scheduler and
// the platform services.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/app/card_event.h"
#include "core/app/model.h"
#include "core/app/run.h"
#include "core/app/state.h"
#include "core/platform/interfaces.h"

namespace zt {

struct Platform {
    SerialPort* serial = nullptr;
    TcpSocket* socket = nullptr;
    MessageBox* box = nullptr;
    Shell* shell = nullptr;
    TooltipHost* tips = nullptr;
    FileSystem* files = nullptr;
    Timer* timer = nullptr;
    WindowHost* window = nullptr;
    Clock* clock = nullptr;
    SaveFile* save = nullptr;
};

struct Ctx {
    explicit Ctx(Platform p) : pf(p) {}
    Ctx(const Ctx&) = delete;
    Ctx& operator=(const Ctx&) = delete;

    FormModel m;
    WindowState st;
    Scheduler sched;
    Platform pf;
    // Told of every card a run finishes (the card record listens).
    std::function<void(const CardEvent&)> onCard;
    // When each line of listInfo was added (empty without a clock), for the saved log.
    std::vector<LocalTime> logTimes;
};

// The text of message `n` in the current language; empty for numbers outside 0..500.
const std::string& GetMis(const Ctx& ctx, int n);

// Shows a modal message box and waits, events going on, until the operator has closed it.
Co<> MsgBox(Ctx& ctx, std::string text, std::string title = {}, BoxIcon icon = BoxIcon::None);

}  // namespace zt
