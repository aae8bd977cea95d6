// The reader's frame: STX, code, LEN, LEN data bytes, CHK, ETX, with
// CHK = (code + LEN + sum of the data) mod 256 and no escaping. Answers carry the request code
// + 0x80, or 0xFE (FrameError).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace zt::sim {

inline constexpr std::uint8_t kStx = 0x02;
inline constexpr std::uint8_t kEtx = 0x03;
inline constexpr std::uint8_t kMaxRequestLen = 31;

namespace code {
inline constexpr std::uint8_t TestLink = 0x00;
inline constexpr std::uint8_t StartUp = 0x01;
inline constexpr std::uint8_t DOutTemp = 0x06;
inline constexpr std::uint8_t DOutPerm = 0x07;
inline constexpr std::uint8_t Select = 0x11;
inline constexpr std::uint8_t Halt = 0x12;
inline constexpr std::uint8_t WriteKeyE2P = 0x20;
inline constexpr std::uint8_t Login = 0x21;
inline constexpr std::uint8_t Read = 0x22;
inline constexpr std::uint8_t Write = 0x23;
inline constexpr std::uint8_t CardReport = 0x90;  // sent by the reader on its own
inline constexpr std::uint8_t FrameError = 0xFE;
}  // namespace code

struct Frame {
    std::uint8_t code = 0;
    std::vector<std::uint8_t> data;
    bool operator==(const Frame&) const = default;
};

std::uint8_t frameChecksum(std::uint8_t code, std::span<const std::uint8_t> data);
std::vector<std::uint8_t> makeFrame(std::uint8_t code, std::span<const std::uint8_t> data = {});
inline std::vector<std::uint8_t> makeFrame(std::uint8_t code, std::initializer_list<std::uint8_t> data) {
    return makeFrame(code, std::span<const std::uint8_t>(data.begin(), data.size()));
}

/// The number of data bytes a request of this code carries; -1 for a code the reader does not know.
int requestPayloadLength(std::uint8_t code);

/// Names for logs: "Login" for 0x21, "AnsLogin" for 0xA1, "AnsGetUID" for 0x90 ...
/// Unknown codes give "0xNN".
std::string requestName(std::uint8_t code);
std::string answerName(std::uint8_t code);
std::string hexBytes(std::span<const std::uint8_t> bytes, const char* sep = " ");
/// Parses "04A1B2C3" or "04 a1 b2 c3"; nullopt on anything else.
std::optional<std::vector<std::uint8_t>> parseHex(std::string_view text);

/// Cuts a byte stream into frames the way the tool's receiver does: bytes outside a frame are
/// skipped until STX, the end is found by counting LEN, and a frame whose checksum or length is
/// wrong is dropped (counted in rejected()). The last byte is not compared with ETX.
class FrameAssembler {
public:
    std::vector<Frame> feed(std::span<const std::uint8_t> bytes);
    int rejected() const { return rejected_; }
    int skipped() const { return skipped_; }
    bool inFrame() const { return !buf_.empty(); }
    void reset() { buf_.clear(); }

private:
    std::vector<std::uint8_t> buf_;
    int rejected_ = 0;
    int skipped_ = 0;
};

}  // namespace zt::sim
