// Request frames: STX, code, LEN, data, CHK, ETX; CHK = (code + LEN + data) mod 256.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/app/ctx.h"

namespace zt {

// Payload of a request, indexed from 1 like the runs' buffer (element 0 unused).
using Payload = std::array<std::uint8_t, 18>;

// 0: handed to the open link; 1: no link open; 2: bLen of 32 or more, nothing built or sent;
// 3: the port or socket refused the bytes (closed underneath). Nothing is logged in any case.
// The buffer holds elements 1..17; a longer request (up to 31) sends 0 for the elements past it.
std::uint8_t EnviaTrama(Ctx& ctx, std::uint8_t bCmd, std::uint8_t bLen, const Payload& aData);
// Frames the hex body (code, LEN, data) and hands it to the open link in one write or send.
// 0 sent, 1 no link, 3 refused by the port or socket.
std::uint8_t SendHexFrame(Ctx& ctx, std::string_view sBody);
// Sum of the hex pairs of `sHex` modulo 256 as two upper-case characters.
std::string CalcChecksum(std::string_view sHex);

}  // namespace zt
