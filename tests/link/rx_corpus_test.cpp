// Every seed of the receive-path fuzzer, through the same check the fuzzer runs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "rx_fuzz.h"

namespace {

std::filesystem::path corpusDir() {
    if (const char* src = std::getenv("ZT_SOURCE_DIR")) return std::filesystem::path(src) / "fuzz/corpus/rx";
    return std::filesystem::path(ZT_SOURCE_DIR_DEFAULT) / "fuzz/corpus/rx";
}

TEST(RxCorpus, EverySeedPasses) {
    const auto dir = corpusDir();
    ASSERT_TRUE(std::filesystem::is_directory(dir)) << dir;
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(zt::fuzz::CheckRxInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()),
                  "")
            << entry.path().filename();
        ++files;
    }
    EXPECT_GE(files, 10);
}

}  // namespace
