// The language-file loader under arbitrary file contents.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zt::fuzz {

// The input is the byte content of MisI01.dat, read as Windows-1252 text. It is loaded as at
// start-up, the texts are put into the window and its label and an empty one are clicked. Returns an
// empty text when the catalogue agrees with a line-by-line reading of the file and holds no "~",
// otherwise what went wrong.
std::string CheckLangInput(const std::uint8_t* data, std::size_t size);
void FuzzLang(const std::uint8_t* data, std::size_t size);

// Windows-1252 bytes to UTF-8 (the five unassigned codes map to the C1 controls of the same value).
std::string Cp1252ToUtf8(std::string_view bytes);

}  // namespace zt::fuzz
