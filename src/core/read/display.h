// A card's data blocks in words on the read tab.
#pragma once

#include <cstdint>
#include <string>

#include "core/app/ctx.h"

namespace zt {

void ShowCardInfo(Ctx& ctx, const std::string& key, std::int16_t sector, const std::string& block0,
                  const std::string& block1, const std::string& block2);

}  // namespace zt
