// The whole window logic on a virtual clock with a simulated reader on its serial port or socket:
// runs are driven event by event as in the program, in microseconds of real time.
#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/virtual_clock.h"
#include "core/top/form.h"
#include "sim/reader.h"
#include "support/fakes.h"

namespace zt::test {

struct HarnessOptions {
    // Without language files; otherwise those of the source tree's lang/ folder.
    bool noLanguageFiles = false;
    sim::ReaderOptions reader{};
};

// Request codes.
constexpr std::uint8_t kTestLink = 0x00, kStartUp = 0x01, kDOutTemp = 0x06, kDOutPerm = 0x07, kSelect = 0x11,
                       kHalt = 0x12, kWriteKey = 0x20, kLogin = 0x21, kRead = 0x22, kWrite = 0x23;

class Harness {
public:
    explicit Harness(HarnessOptions opts = {});
    ~Harness() { form.reset(); }  // the window goes before the fakes it points to
    VirtualClock clock;
    VirtualTimer timer{clock};
    FakeSerial serial;
    FakeSocket socket{clock};
    FakeBox box{clock};
    FakeShell shell;
    FakeTips tips;
    FakeFiles files;
    FakeSave save;
    sim::Reader reader;
    std::unique_ptr<Form> form;
    Ctx& ctx() { return form->ctx(); }
    FormModel& m() { return form->model(); }
    WindowState& st() { return form->state(); }
    std::string mis(int n) { return GetMis(ctx(), n); }
    void load() { form->Form_Load(); }  // Form_Load
    // Opens COM 1 (free) or TCP to the simulated reader; asserts success.
    void openCom();
    void openTcp();
    bool click(std::string_view name) { return form->click(name); }
    // "name=value|name=value": the text of a field, or the value of a check or option box ("~" is
    // an empty text, "{n}" message n).
    void set(std::string_view fields) { Set(m(), fields, this); }
    static void Set(FormModel& m, std::string_view fields, Harness* h = nullptr);
    // Virtual time.
    bool runUntil(const std::function<bool()>& done, double seconds = 60) {
        return clock.runUntil(done, clock.now() + static_cast<Micros>(seconds * 1e6));
    }
    void runFor(double seconds) { clock.runFor(static_cast<Micros>(seconds * 1e6)); }
    // Until no run is in progress and no coroutine is parked.
    bool runUntilIdle(double seconds = 120) {
        return runUntil([this] { return idle() && ctx().sched.running() == 0; }, seconds);
    }
    bool idle() { return st().ActiveRun == kNoRun; }
    // Cards in the reader's field.
    std::shared_ptr<sim::Card> present(sim::CardKind kind = sim::CardKind::Classic1K,
                                       std::vector<std::uint8_t> uid = {0x1A, 0x2B, 0x3C, 0x4D},
                                       bool withAtqa = true);
    void present(std::shared_ptr<sim::Card> card) {
        reader.present(std::move(card), clock.now());
        armReader();
    }
    // A blank 1K card with a UID of its own, the card before taken away.
    std::shared_ptr<sim::Card> fresh() {
        removeCard();
        return present(sim::CardKind::Classic1K, {0x10, 0x20, 0x30, static_cast<std::uint8_t>(++uid_)});
    }
    void removeCard() {
        reader.remove(clock.now());
        armReader();
    }
    // The activity log.
    const std::vector<std::string>& log() const { return form->model().listInfo.items(); }
    bool logHas(std::string_view line) const { return count(line) > 0; }
    std::size_t count(std::string_view line) const {
        return static_cast<std::size_t>(std::count(log().begin(), log().end(), line));
    }
    // Lines logged since `from`.
    std::vector<std::string> logFrom(std::size_t from) const {
        return {log().begin() + static_cast<std::ptrdiff_t>(std::min(from, log().size())), log().end()};
    }
    // Every line logged since construction (Borrar does not clear it) with its time, and the lines
    // from `from` on without the decoded answers (">>> ...").
    struct Line {
        Micros at;
        std::string text;
    };
    std::vector<Line> lines;
    std::vector<std::string> own(std::size_t from = 0) const;
    // Frames the program sent, as they left (one write or send each).
    std::vector<ByteVec> sent() const;
    // The payloads of the requests `code` sent from frame `from` on, as "04 00 07".
    std::vector<std::string> payloads(std::uint8_t code, std::size_t from = 0) const;
    std::vector<std::string> boxes() const {
        std::vector<std::string> out;
        for (const auto& b : box.shown) out.push_back(b.text);
        return out;
    }
    // A card's block as 32 upper-case hex characters; sets one from such a text.
    static std::string blockHex(const sim::Card& card, int block);
    static void setBlock(sim::Card& card, int block, std::string_view hex);

private:
    void deliverDue();
    void armReader();
    Micros armedAt_ = -1;
    int uid_ = 0;
};

// "02 21 03" -> bytes, and back.
ByteVec hexBytes(std::string_view spaced);
std::string spaced(const ByteVec& bytes);
// "a|b|c" -> {"a", "b", "c"}; "{176}" in a piece becomes message 176 of `h` when given.
std::vector<std::string> Lines(std::string_view text, Harness* h = nullptr, char sep = '|');

}  // namespace zt::test
