// Faults the reader can be told to commit, each bound to a request code and armed for the next
// request of that code, the n-th one from now, or every one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zt::sim {

enum class FaultKind {
    NoAnswer,      // the request is carried out, its answer never leaves
    BadChecksum,   // the answer's CHK is off by one
    FrameError,    // the request is not carried out, FrameError (0xFE) comes back instead
    SplitBytes,    // the answer leaves byte by byte, value = gap in microseconds (0: 2 ms)
    Garbage,       // a few bytes without STX come before the answer
    Duplicate,     // the answer is sent twice
    StatusLen2,    // a one-byte status answer carries a second byte (LEN 2)
    SelectStatus,  // Select answers status `value` (0, 2, 3 ...); with 0 the card stays unselected
    LoginRefused,  // Login fails as with a wrong key: status 2, the card drops back to idle
    HaltRefused,   // Halt answers status 1 and the card is not halted
    CardRemoved,   // the card leaves the field while the request is carried out (torn write)
    LinkDrop,      // the link is dropped (TCP reset, serial hang-up) instead of the answer
    LyingWrite,    // Write answers as the true write would but stores other bytes: value 1-16
                   // stores byte value-1 inverted, any other value keeps the block as it was
};

enum class FaultWhen { Next, Nth, Always };

struct Fault {
    FaultKind kind;
    int value = 0;
    bool operator==(const Fault&) const = default;
};

struct FaultRule {
    std::uint8_t code = 0;
    Fault fault{FaultKind::NoAnswer};
    FaultWhen when = FaultWhen::Next;
    int nth = 1;   // for Nth: fires on the nth request of the code counted from arming
    int seen = 0;  // requests of the code seen since arming
};

const char* faultName(FaultKind kind);  // "no-answer", "bad-checksum" ...
std::optional<FaultKind> faultFromName(std::string_view name);
std::vector<std::string> faultNames();

class Faults {
public:
    void arm(std::uint8_t code, FaultKind kind, FaultWhen when = FaultWhen::Next, int nth = 1, int value = 0);
    void next(std::uint8_t code, FaultKind kind, int value = 0) {
        arm(code, kind, FaultWhen::Next, 1, value);
    }
    void nth(std::uint8_t code, FaultKind kind, int n, int value = 0) {
        arm(code, kind, FaultWhen::Nth, n, value);
    }
    void always(std::uint8_t code, FaultKind kind, int value = 0) {
        arm(code, kind, FaultWhen::Always, 1, value);
    }
    void clear(std::uint8_t code);
    void clearAll() { rules_.clear(); }
    const std::vector<FaultRule>& rules() const { return rules_; }

    /// Counts one request of `code` and returns the faults that fire on it; one-shot rules that
    /// fired are dropped.
    std::vector<Fault> take(std::uint8_t code);

private:
    std::vector<FaultRule> rules_;
};

}  // namespace zt::sim
