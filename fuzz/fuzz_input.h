// Structured values read off a fuzzer's byte string. Past the end every read gives zero or the empty
// text, so a harness never has to check how much input is left.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zt::fuzz {

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : p_(data), end_(data + size) {}

    bool empty() const { return p_ == end_; }
    std::size_t left() const { return static_cast<std::size_t>(end_ - p_); }

    std::uint8_t byte() { return p_ == end_ ? 0 : *p_++; }
    bool flag() { return (byte() & 1) != 0; }
    // A value in 0 .. n-1 (0 for n = 0).
    std::size_t pick(std::size_t n) { return n == 0 ? 0 : byte() % n; }
    std::uint16_t u16() { return static_cast<std::uint16_t>(byte() | byte() << 8); }

    // A length byte, then that many bytes (at most `max`).
    std::string text(std::size_t max) {
        std::size_t n = byte() % (max + 1);
        if (n > left()) n = left();
        std::string s(reinterpret_cast<const char*>(p_), n);
        p_ += n;
        return s;
    }
    std::string rest() {
        std::string s(reinterpret_cast<const char*>(p_), left());
        p_ = end_;
        return s;
    }

private:
    const std::uint8_t* p_;
    const std::uint8_t* end_;
};

}  // namespace zt::fuzz
