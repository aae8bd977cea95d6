// Card contents built from arbitrary field texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zt::fuzz {

// The input fills the fields the card contents are made of (installation codes, keys, sector,
// user number, balance, CONFIG parameters, relay frame, drop-downs, check boxes, permitted nodes);
// then GetCardData runs for every card-type index and for indexes without a type, and GetCfgData
// once. Every result must have the layout of its card type. Returns an empty text when all do,
// otherwise what went wrong.
std::string CheckCardDataInput(const std::uint8_t* data, std::size_t size);
void FuzzCardData(const std::uint8_t* data, std::size_t size);

}  // namespace zt::fuzz
