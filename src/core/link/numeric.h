// The numeric value of a text, as every numeric entry field is read: the leading decimal number
// (an optional sign and fractional part, no exponent: "1E3" is 1) or the hexadecimal digits after
// "&H", never negative ("&HFFFF" is 65535); blanks, tabs and line feeds are skipped wherever they
// stand, a carriage return is not ("1\r2" is 1); a text without a leading number gives 0.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace zt {

double NumVal(std::string_view text);

// Nearest whole number, halves to the even one.
double RoundHalfEven(double v);

// NumVal rounded half to even; nullopt when it does not fit in 16 bits (signed).
std::optional<std::int16_t> NumVal16(std::string_view text);

// NumVal rounded half to even, in 32 bits (signed); nullopt when it does not fit.
std::optional<std::int32_t> NumVal32(std::string_view text);

}  // namespace zt
