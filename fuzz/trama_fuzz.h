// The "&H" expansion of the external-relay frame text under arbitrary text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zt::fuzz {

// The input is the frame text, one byte per character. ConvTramaText must agree with a reading
// that copies the text left to right, turning each "&H" token met before the original length is
// used up into one character. Returns an empty text when it does, otherwise what went wrong.
std::string CheckTramaInput(const std::uint8_t* data, std::size_t size);
void FuzzTrama(const std::uint8_t* data, std::size_t size);

}  // namespace zt::fuzz
