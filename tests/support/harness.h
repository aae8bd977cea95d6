// The whole window logic on a virtual clock with a simulated reader on its serial port or socket:
// runs are driven event by event as in the program, in microseconds of real time.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/top/form.h"
#include "core/app/virtual_clock.h"
#include "sim/reader.h"
#include "support/fakes.h"

namespace zt::test {

struct HarnessOptions {
    // Without language files; otherwise those of the source tree's lang/ folder.
    bool noLanguageFiles = false;
    sim::ReaderOptions reader{};
};

class Harness {
public:
    explicit Harness(HarnessOptions opts = {});
    ~Harness();

    VirtualClock clock;
    VirtualTimer timer{clock};
    FakeSerial serial;
    FakeSocket socket{clock};
    FakeBox box{clock};
    FakeShell shell;
    FakeTips tips;
    FakeFiles files;
    sim::Reader reader;
    std::unique_ptr<Form> form;

    Ctx& ctx() { return form->ctx(); }
    FormModel& m() { return form->model(); }
    WindowState& st() { return form->state(); }
    std::string mis(int n) { return GetMis(ctx(), n); }

    // Form_Load.
    void load();
    // Opens COM 1 (free) or TCP to the simulated reader; asserts success.
    void openCom();
    void openTcp();
    bool click(std::string_view name) { return form->click(name); }

    // Virtual time.
    bool runUntil(const std::function<bool()>& done, double seconds = 60);
    void runFor(double seconds);
    // Until no run is in progress and no coroutine is parked.
    bool runUntilIdle(double seconds = 120);

    // Cards in the reader's field.
    std::shared_ptr<sim::Card> present(sim::CardKind kind = sim::CardKind::Classic1K,
                                       std::vector<std::uint8_t> uid = {0x1A, 0x2B, 0x3C, 0x4D},
                                       bool withAtqa = true);
    void present(std::shared_ptr<sim::Card> card);
    void removeCard();

    // The activity log.
    const std::vector<std::string>& log() const { return form->model().listInfo.items(); }
    bool logHas(std::string_view line) const;
    // Lines logged since `from`.
    std::vector<std::string> logFrom(std::size_t from) const;
    // Frames the program sent, as they left (one write or send each).
    std::vector<ByteVec> sent() const;

    // A card's block as 32 upper-case hex characters.
    static std::string blockHex(const sim::Card& card, int block);

private:
    void deliverDue();
    void armReader();
    Micros armedAt_ = -1;
};

// "02 21 03" -> bytes.
ByteVec hexBytes(std::string_view spaced);

}  // namespace zt::test
