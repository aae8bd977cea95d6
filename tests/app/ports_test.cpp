// The port numbering of both systems, whichever one the tests run on.
#include <gtest/gtest.h>

#include <tuple>

#include "core/platform/ports.h"

namespace zt {
namespace {

TEST(ComDevice, NumberingOfEachSystem) {
    const std::tuple<Os, int, const char*> cases[] = {
        {Os::Windows, 1, "COM1"},        {Os::Windows, 9, "COM9"},         {Os::Windows, 10, "COM10"},
        {Os::Windows, 64, "COM64"},      {Os::Windows, 255, "COM255"},     {Os::Windows, 0, ""},
        {Os::Windows, 256, ""},          {Os::Windows, -1, ""},            {Os::Linux, 1, "/dev/ttyS0"},
        {Os::Linux, 32, "/dev/ttyS31"},  {Os::Linux, 33, "/dev/ttyUSB0"},  {Os::Linux, 48, "/dev/ttyUSB15"},
        {Os::Linux, 49, "/dev/ttyACM0"}, {Os::Linux, 64, "/dev/ttyACM15"}, {Os::Linux, 0, ""},
        {Os::Linux, 65, ""}};
    for (const auto& [os, number, device] : cases)
        EXPECT_EQ(ComDevice(number, os), device) << (os == Os::Windows ? "Windows " : "Linux ") << number;
}

}  // namespace
}  // namespace zt
