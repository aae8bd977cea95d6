// The card inspector's fuzz seeds as a regression test.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "inspect_fuzz.h"

TEST(InspectCorpus, EverySeedPassesItsHarness) {
    int seeds = 0;
    for (const auto& e : std::filesystem::directory_iterator(std::filesystem::path(ZT_FUZZ_CORPUS) / "inspect")) {
        std::ifstream in(e.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
        EXPECT_EQ(zt::fuzz::CheckInspectInput(data, bytes.size()), "") << e.path();
        ++seeds;
    }
    EXPECT_GE(seeds, 3);
    EXPECT_EQ(zt::fuzz::CheckInspectInput(nullptr, 0), "");
}
