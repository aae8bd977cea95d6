#include "core/platform/ports.h"

namespace zt {

namespace {
constexpr int kPortsPerKind = 16;
constexpr int kLastWindowsPort = 255;
}  // namespace

std::string ComDevice(int number, Os os) {
    if (os == Os::Windows) {
        if (number < 1 || number > kLastWindowsPort) return {};
        return "COM" + std::to_string(number);
    }
    if (number >= 1 && number <= 32) return "/dev/ttyS" + std::to_string(number - 1);
    if (number >= 33 && number < 33 + kPortsPerKind) return "/dev/ttyUSB" + std::to_string(number - 33);
    if (number >= 49 && number < 49 + kPortsPerKind) return "/dev/ttyACM" + std::to_string(number - 49);
    return {};
}

}  // namespace zt
