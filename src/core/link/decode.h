// Reader answers to the answer state and ">>> ..." log lines.
#pragma once

#include <cstdint>
#include <vector>

#include "core/app/ctx.h"

namespace zt {

// One valid answer frame: sets the answer state the runs wait on and writes its ">>> ..." line(s).
// `data` is indexed from 1: data[1] .. data[bLen] (element 0 unused).
//
// Renderings of answers to requests this program never sends:
//  - AnsReadAutoCFG / AnsWriteAutoCFG: like AnsReadCFGByte, every data byte as " 0xHH" after the
//    ": " (so two blanks before the first one; a bare ">>> AnsReadAutoCFG: " without data).
//  - Too short for their line (FW Version below 2 bytes, AnsReadCFG below 6, AnsSecureAutoCFG
//    without data): the same line with the bytes that came, e.g. ">>> FW Version: 0x01", and the
//    bare prefix ">>> FW Version: " for none.
// A card report with ATQA whose marker byte is below 0xA0 stores marker - 0xA0 modulo 256 in
// aUid(1). Status answers with a LEN other than 1 and unknown codes are ignored without a line.
void DecodeAnswer(Ctx& ctx, std::uint8_t code, std::uint8_t bLen, const std::vector<std::uint8_t>& data);

}  // namespace zt
