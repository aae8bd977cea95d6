// Shared pieces of the window tests: one QApplication for the whole test program, and window
// actions that only record what the window reported.
#pragma once

#include <string>
#include <vector>

#include "support/qt_app.h"
#include "ui/window_actions.h"

namespace zt::ui::test {

using zt::test::App;
using zt::test::RunUntil;

struct RecordingActions final : WindowActions {
    std::vector<std::string> clicks;
    std::vector<std::string> edits;
    int closings = 0;
    void click(const std::string& name) override { clicks.push_back(name); }
    void edited(const std::string& name) override { edits.push_back(name); }
    void closing() override { ++closings; }
};

}  // namespace zt::ui::test
