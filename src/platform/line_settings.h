// The line settings text of a serial port, shared by the serial ports of every system.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace zt {

enum class Parity : std::uint8_t { None, Even, Odd, Mark, Space };
enum class StopBits : std::uint8_t { One, OneAndHalf, Two };

// "<baud>,<parity>,<data bits>,<stop bits>", e.g. "9600,n,8,1": parity n, e, o, m or s (either
// case), 5 to 8 data bits, 1, 1.5 or 2 stop bits; blanks around the fields are allowed.
struct LineSettings {
    std::int32_t baud = 9600;
    Parity parity = Parity::None;
    int dataBits = 8;
    StopBits stopBits = StopBits::One;
};
std::optional<LineSettings> ParseLineSettings(const std::string& text);

}  // namespace zt
