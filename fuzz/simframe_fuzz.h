// The simulated reader's frame handling under arbitrary host traffic.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zt::fuzz {

// The input sets up the reader (timing, auto-feed, a card in the field, up to three armed faults)
// and then drives it: raw byte pieces, well-formed requests with fuzzed payloads, cards coming and
// going, link resets, time passing. Checked throughout: emissions leave in time order and none is
// left behind; block 0 of every card stays as made. Without faults also: everything sent is
// well-formed frames of known answers, and every request gets exactly one answer.
std::string CheckSimFrameInput(const std::uint8_t* data, std::size_t size);
void FuzzSimFrame(const std::uint8_t* data, std::size_t size);

}  // namespace zt::fuzz
