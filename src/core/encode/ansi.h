// Texts of the window as the cards see them: one byte per character in the Windows-1252 code page.
// The window model holds UTF-8; every field that goes onto a card is taken through ToAnsi first, so
// lengths, cuts and character codes count a character such as "é" as its one byte.
#pragma once

#include <string>
#include <string_view>

namespace zt {

// UTF-8 to Windows-1252. A character the code page lacks becomes "?"; bytes that are not valid
// UTF-8 are taken as they are.
std::string ToAnsi(std::string_view utf8);

// The last `n` characters of `s` (all of it when shorter).
std::string Right(std::string_view s, std::size_t n);

// The shortest decimal text of a number read from a field: whole numbers without a decimal point
// ("6", "-1"), others with up to 15 significant digits ("2.5", "1E+20").
std::string DecText(double v);

// `n` decimal characters of a value: its DecText left-padded with "0" and cut to the last n.
std::string DecChars(double v, std::size_t n);

}  // namespace zt
