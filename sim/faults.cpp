#include "sim/faults.h"

#include <algorithm>
#include <array>
#include <utility>

namespace zt::sim {
namespace {

constexpr std::array<std::pair<FaultKind, const char*>, 13> kNames = {{
    {FaultKind::NoAnswer, "no-answer"},
    {FaultKind::BadChecksum, "bad-checksum"},
    {FaultKind::FrameError, "frame-error"},
    {FaultKind::SplitBytes, "split"},
    {FaultKind::Garbage, "garbage"},
    {FaultKind::Duplicate, "duplicate"},
    {FaultKind::StatusLen2, "len2"},
    {FaultKind::SelectStatus, "select-status"},
    {FaultKind::LoginRefused, "login-refused"},
    {FaultKind::HaltRefused, "halt-refused"},
    {FaultKind::CardRemoved, "card-removed"},
    {FaultKind::LinkDrop, "link-drop"},
    {FaultKind::LyingWrite, "lying-write"},
}};

}  // namespace

const char* faultName(FaultKind kind) {
    for (const auto& [k, n] : kNames)
        if (k == kind) return n;
    return "?";
}

std::optional<FaultKind> faultFromName(std::string_view name) {
    for (const auto& [k, n] : kNames)
        if (name == n) return k;
    return std::nullopt;
}

std::vector<std::string> faultNames() {
    std::vector<std::string> out;
    for (const auto& entry : kNames) out.emplace_back(entry.second);
    return out;
}

void Faults::arm(std::uint8_t code, FaultKind kind, FaultWhen when, int nth, int value) {
    rules_.push_back(FaultRule{code, Fault{kind, value}, when, std::max(nth, 1), 0});
}

void Faults::clear(std::uint8_t code) {
    std::erase_if(rules_, [code](const FaultRule& r) { return r.code == code; });
}

std::vector<Fault> Faults::take(std::uint8_t code) {
    std::vector<Fault> fired;
    for (auto& r : rules_) {
        if (r.code != code) continue;
        ++r.seen;
        const bool fires = r.when == FaultWhen::Always || (r.when == FaultWhen::Next && r.seen == 1) ||
                           (r.when == FaultWhen::Nth && r.seen == r.nth);
        if (fires) fired.push_back(r.fault);
    }
    std::erase_if(rules_, [code](const FaultRule& r) {
        return r.code == code && r.when != FaultWhen::Always &&
               r.seen >= (r.when == FaultWhen::Next ? 1 : r.nth);
    });
    return fired;
}

}  // namespace zt::sim
