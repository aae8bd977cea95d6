// The fuzz corpora as regression tests: every stored input of every harness must pass its checks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "carddata_fuzz.h"
#include "lang_fuzz.h"
#include "rx_fuzz.h"
#include "simframe_fuzz.h"
#include "trama_fuzz.h"

namespace {

namespace fs = std::filesystem;
using Check = std::string (*)(const std::uint8_t*, std::size_t);

struct Harness {
    const char* name;
    Check check;
};

const Harness kHarnesses[] = {
    {"rx", zt::fuzz::CheckRxInput},
    {"lang", zt::fuzz::CheckLangInput},
    {"trama", zt::fuzz::CheckTramaInput},
    {"carddata", zt::fuzz::CheckCardDataInput},
    {"simframe", zt::fuzz::CheckSimFrameInput},
};

struct Case {
    std::string harness;
    Check check;
    fs::path file;
};

std::vector<Case> AllCases() {
    std::vector<Case> cases;
    for (const auto& h : kHarnesses) {
        const fs::path dir = fs::path(ZT_FUZZ_CORPUS) / h.name;
        std::vector<fs::path> files;
        if (fs::is_directory(dir)) {
            for (const auto& e : fs::directory_iterator(dir)) {
                if (e.is_regular_file()) files.push_back(e.path());
            }
        }
        std::sort(files.begin(), files.end());
        for (auto& f : files) cases.push_back(Case{h.name, h.check, f});
    }
    return cases;
}

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.harness << ": " << c.file.filename().string();
}

std::string TestName(const testing::TestParamInfo<Case>& info) {
    std::string n = info.param.harness + "_" + info.param.file.filename().string();
    for (char& c : n) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    return n;
}

class CorpusTest : public testing::TestWithParam<Case> {};

TEST_P(CorpusTest, PassesItsHarness) {
    std::ifstream in(GetParam().file, std::ios::binary);
    ASSERT_TRUE(in) << GetParam().file;
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string err =
        GetParam().check(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    EXPECT_EQ(err, "") << GetParam().file;
}

INSTANTIATE_TEST_SUITE_P(Fuzz, CorpusTest, testing::ValuesIn(AllCases()), TestName);

// A harness whose corpus folder went missing would otherwise test nothing without a word.
TEST(Corpus, EveryHarnessHasSeeds) {
    const auto cases = AllCases();
    for (const auto& h : kHarnesses) {
        const auto n =
            std::count_if(cases.begin(), cases.end(), [&](const Case& c) { return c.harness == h.name; });
        EXPECT_GE(n, 3) << h.name;
    }
}

// The empty input is the first thing a fuzzer tries; every harness takes it.
TEST(Corpus, EveryHarnessTakesTheEmptyInput) {
    static const std::uint8_t none[1] = {0};
    for (const auto& h : kHarnesses) EXPECT_EQ(h.check(none, 0), "") << h.name;
}

}  // namespace
