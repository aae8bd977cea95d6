// Colours as the window stores them: red in the low byte, blue in the high byte (0x00BBGGRR).
#pragma once

#include <cstdint>

namespace zt {

using Colour = std::uint32_t;
constexpr Colour rgb(unsigned r, unsigned g, unsigned b) {
    return (r & 0xFF) | (g & 0xFF) << 8 | (b & 0xFF) << 16;
}
constexpr Colour kBlack = 0x000000;
constexpr Colour kBlue = 0xFF0000;
constexpr Colour kDarkYellow = 0x00C0C0;
constexpr Colour kGreen = 0x00C000;
constexpr Colour kRed = 0x0000FF;
constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kLightYellow = rgb(255, 255, 192);
constexpr Colour kDefaultColour = 0xFFFFFFFF;  // "the toolkit's own colour"

}  // namespace zt
