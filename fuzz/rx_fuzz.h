// The receive path under arbitrary input, shared by the fuzzer and the corpus test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zt::fuzz {

// Input layout: byte 0 holds flags (bit 0: TCP link instead of serial; bit 1: pieces of the other
// link arrive in between and must be dropped) and in its high nibble the count n of piece-size
// bytes that follow; the piece sizes are used in turn to cut the rest of the input, the byte
// stream, into pieces. The stream goes through the event entry points piece by piece and, as a
// reference, through RxByte in one go. Returns an empty text when both agree and the assembler
// and log are sound, otherwise what went wrong.
std::string CheckRxInput(const std::uint8_t* data, std::size_t size);

}  // namespace zt::fuzz
