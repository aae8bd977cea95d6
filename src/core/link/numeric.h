// The numeric value of a text, as every numeric entry field is read: the leading decimal number
// (a fractional part included) or a hexadecimal number after "&H"; blanks, tabs and line feeds are
// skipped; a text without a leading number gives 0.
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

// NumVal rounded half to even and clamped into 32 bits (signed); nullopt when it does not fit.
std::optional<std::int32_t> NumVal32(std::string_view text);

}  // namespace zt
