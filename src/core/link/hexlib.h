// Bytes as hex text: two upper-case characters per byte, high nibble first.
// A "byte string" holds one character per byte (char code = byte value).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zt {

namespace TarvexLib01 {
std::string ByteToHex(std::uint8_t b);
std::string StrToHex(std::string_view bytes);
// Reads the first two characters as a hex number, stopping at the first non-hex character.
std::uint8_t HexToByte(std::string_view text);
// Reads the text in pairs from the first character.
std::string HexToStr(std::string_view hex);
}  // namespace TarvexLib01

using TarvexLib01::ByteToHex;
using TarvexLib01::HexToByte;
using TarvexLib01::HexToStr;
using TarvexLib01::StrToHex;

// The same two characters as ByteToHex; the spelling the log lines use.
inline std::string HexByte(std::uint8_t b) {
    return ByteToHex(b);
}

// True when `text` has exactly `n` characters, each 0-9 or A-F (upper case only).
bool CheckHex(std::string_view text, std::size_t n);

// The value of one hex digit (either case), or -1.
int HexDigit(char c);

// Value of a run of up to `maxDigits` leading hex digits (either case); none gives 0.
unsigned LeadingHex(std::string_view text, std::size_t maxDigits);

}  // namespace zt
