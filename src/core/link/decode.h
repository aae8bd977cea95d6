// Reader answers to the answer state and ">>> ..." log lines.
#pragma once

#include <cstdint>
#include <vector>

#include "core/app/ctx.h"

namespace zt {

// `data` is indexed from 1: data[1] .. data[bLen] (element 0 unused).
void DecodeAnswer(Ctx& ctx, std::uint8_t code, std::uint8_t bLen, const std::vector<std::uint8_t>& data);

}  // namespace zt
