// The fuzz corpora as regression tests: every stored input of every harness passes its checks, and
// so does the empty input, the first thing a fuzzer tries.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "harnesses.h"

namespace {

namespace fs = std::filesystem;

TEST(Corpus, EveryInputPassesItsHarness) {
    using Check = std::string (*)(const std::uint8_t*, std::size_t);
    const std::pair<const char*, Check> harnesses[] = {
        {"rx", zt::fuzz::CheckRxInput},             {"lang", zt::fuzz::CheckLangInput},
        {"trama", zt::fuzz::CheckTramaInput},       {"carddata", zt::fuzz::CheckCardDataInput},
        {"simframe", zt::fuzz::CheckSimFrameInput},
        {"contents", zt::fuzz::CheckContentsInput}};
    for (const auto& [name, check] : harnesses) {
        static const std::uint8_t none[1] = {0};
        EXPECT_EQ(check(none, 0), "") << name;
        int files = 0;
        for (const auto& e : fs::directory_iterator(fs::path(ZT_FUZZ_CORPUS) / name)) {
            std::ifstream in(e.path(), std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            EXPECT_EQ(check(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), "") << e.path();
            ++files;
        }
        EXPECT_GE(files, 3) << name << ": a corpus folder without seeds tests nothing";
    }
}

}  // namespace
