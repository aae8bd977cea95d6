// The card inspector on arbitrary blocks: byte 0 the sector, then 96 characters (other ASCII folded onto
// hex digits). Every decoded field must write back to the characters it came from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zt::fuzz {
std::string CheckInspectInput(const std::uint8_t* data, std::size_t size);  // what went wrong, or ""
void FuzzInspect(const std::uint8_t* data, std::size_t size);
}  // namespace zt::fuzz
