#include "core/encode/card_types.h"

#include <array>

namespace zt {

namespace {
constexpr std::array<CardType, 15> kTypes{{
    {"69", 0, "020", 201, ShowAs::Alone},
    {"52", 1, "020", 202, ShowAs::Alone},
    {"53", -1, "", 203, ShowAs::Alone},
    {"54", -1, "", 204, ShowAs::Alone},
    {"55", -1, "", 205, ShowAs::Alone},
    {"10", 30, "", 206, ShowAs::WithValue},
    {"11", 31, "", 207, ShowAs::WithValue},
    {"12", 32, "", 208, ShowAs::WithValue},
    {"13", -1, "", 209, ShowAs::WithValue},
    {"45", 10, "000", 210, ShowAs::Alone},
    {"46", 11, "000", 211, ShowAs::Alone},
    {"28", 12, "000", 212, ShowAs::Alone},
    {"29", 13, "000", 213, ShowAs::Alone},
    {"47", 14, "999", 214, ShowAs::Alone},
    {"83", 15, "", 215, ShowAs::WithDigit},  // 15..24: "NUM. 0" .. "NUM. 9"
}};
}  // namespace

std::span<const CardType> CardTypes() {
    return kTypes;
}

const CardType* CardTypeOfIndex(int index) {
    if (index >= 15 && index <= 24) index = 15;
    for (const auto& t : kTypes) {
        if (t.index == index) return &t;
    }
    return nullptr;
}

const CardType* CardTypeOfCode(std::string_view code) {
    for (const auto& t : kTypes) {
        if (t.code == code) return &t;
    }
    return nullptr;
}

}  // namespace zt
