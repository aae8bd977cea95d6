// Opening, scanning and closing the serial or TCP link to the reader.
#pragma once

#include <cstdint>
#include <string>

#include "core/app/ctx.h"

namespace zt {

constexpr std::uint16_t kReaderTcpPort = 1001;

std::uint8_t OpenPortCOM(Ctx& ctx, int port, const std::string& settings);
void cmdOpenCom_Click(Ctx& ctx);
Co<> cmdOpenTCP_Click(Ctx& ctx);
void cmdClose_Click(Ctx& ctx);
Co<> cmdScanCom_Click(Ctx& ctx);
void LogResult(Ctx& ctx, const std::string& label, std::uint8_t code);

}  // namespace zt
