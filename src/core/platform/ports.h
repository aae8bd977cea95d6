// Serial port numbers as the operator types them (1 is the first port) and the device behind each.
//
//   Linux    COM  1 .. 32  ->  /dev/ttyS0   .. /dev/ttyS31    (built-in and PCI serial ports)
//            COM 33 .. 48  ->  /dev/ttyUSB0 .. /dev/ttyUSB15  (USB serial adapters)
//            COM 49 .. 64  ->  /dev/ttyACM0 .. /dev/ttyACM15  (USB modem-class devices, many readers)
//   Windows  COM  1 .. 255 ->  COM1 .. COM255
//
// Other numbers name no device. The table of either system is plain data, so both are checked on
// whichever system the tests run.
#pragma once

#include <cstdint>
#include <string>

namespace zt {

enum class Os : std::uint8_t { Linux, Windows };

#ifdef _WIN32
inline constexpr Os kThisOs = Os::Windows;
#else
inline constexpr Os kThisOs = Os::Linux;
#endif

// The device of port `number` on `os`; empty for a number outside the table.
std::string ComDevice(int number, Os os = kThisOs);

}  // namespace zt
