// The fuzz harnesses, shared by the fuzzers (entry.cpp) and the corpus test. Each check returns an
// empty text when the input passes, otherwise what went wrong.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace zt::fuzz {

// Byte 0: flags (bit 0 TCP instead of serial, bit 1 pieces of the other link in between, to be
// dropped), high nibble n; then n piece sizes that cut the rest, the byte stream, into pieces in
// turn. The pieces go through the event entry points, the stream through RxByte in one go.
std::string CheckRxInput(const std::uint8_t* data, std::size_t size);
// The bytes of MisI01.dat (Windows-1252), loaded as at start-up, put into the window, its label and
// an empty one clicked; the catalogue must agree with a line-by-line reading and hold no "~".
std::string CheckLangInput(const std::uint8_t* data, std::size_t size);
// A relay frame text through ConvTramaText, against a left-to-right reading.
std::string CheckTramaInput(const std::uint8_t* data, std::size_t size);
// The fields card contents are made of; GetCardData for every index must give its type's layout.
std::string CheckCardDataInput(const std::uint8_t* data, std::size_t size);
// Host traffic, cards and faults around the simulated reader: sound frames, one answer a request.
std::string CheckSimFrameInput(const std::uint8_t* data, std::size_t size);
// Byte 0 the sector, then three blocks of characters folded onto hex digits, through the card
// inspector: every decoded field must write back to the characters it came from.
std::string CheckContentsInput(const std::uint8_t* data, std::size_t size);

// Structured values read off the input; past its end every read gives zero or the empty text.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : p_(data), end_(data + size) {}
    bool empty() const { return p_ == end_; }
    std::uint8_t byte() { return p_ == end_ ? 0 : *p_++; }
    bool flag() { return (byte() & 1) != 0; }
    std::size_t pick(std::size_t n) { return n == 0 ? 0 : byte() % n; }  // 0 .. n-1
    // A length byte, then that many bytes (at most `max`).
    std::string text(std::size_t max) {
        const std::size_t n = byte() % (max + 1);
        return take(std::min(n, static_cast<std::size_t>(end_ - p_)));
    }
    std::string rest() { return take(static_cast<std::size_t>(end_ - p_)); }

private:
    std::string take(std::size_t n) {
        std::string s(reinterpret_cast<const char*>(p_), n);
        p_ += n;
        return s;
    }
    const std::uint8_t* p_;
    const std::uint8_t* end_;
};

}  // namespace zt::fuzz
