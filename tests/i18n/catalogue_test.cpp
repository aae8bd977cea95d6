#include "core/i18n/catalogue.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "support/fakes.h"

namespace zt {
namespace {

struct ParseCase {
    const char* name;
    std::string file;
    std::map<int, std::string> expected;  // message number -> text; numbers not listed are empty
    friend void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.name; }
};

class ParseTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseTest, MessagesKeepTheirNumbers) {
    const auto mis = ParseMessages(GetParam().file);
    for (int k = 0; k < kMessages; ++k) {
        const auto it = GetParam().expected.find(k);
        EXPECT_EQ(mis[static_cast<std::size_t>(k)], it == GetParam().expected.end() ? "" : it->second) << k;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, ParseTest,
    ::testing::Values(
        ParseCase{"TildeInsideALine", "Uno~Dos\r\nTres\r\n", {{1, "Uno\r\nDos"}, {2, "Tres"}}},
        // The same words on two lines make the same message, and the next one keeps its number.
        ParseCase{"TildeAtLineEndContinues", "Uno~\r\nDos\r\nTres\r\n", {{1, "Uno\r\nDos"}, {2, "Tres"}}},
        ParseCase{"ContinuationChains", "a~\r\nb~\r\nc\r\nd", {{1, "a\r\nb\r\nc"}, {2, "d"}}},
        // An empty line leaves the text ending in "~", so the line after it is taken in too.
        ParseCase{"ContinuationOverAnEmptyLine", "a~\r\n\r\nb\r\nc", {{1, "a\r\nb"}, {2, "c"}}},
        ParseCase{"LastLineEndingInTildeEndsThere", "a\r\nb~\r\n", {{1, "a"}, {2, "b\r\n"}}},
        ParseCase{"EmptyLinesKeepTheirNumbers", "a\r\n\r\n\r\nd\r\n", {{1, "a"}, {4, "d"}}},
        ParseCase{"BareAndMixedLineFeeds", "a\nb~\nc\r\nd", {{1, "a"}, {2, "b\r\nc"}, {3, "d"}}},
        ParseCase{"EmptyFile", "", {}}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(Catalogue, ReadsAtMost499Messages) {
    std::string file;
    for (int k = 1; k <= 600; ++k) file += "L" + std::to_string(k) + (k == 499 ? "~\r\n" : "\r\n");
    const auto mis = ParseMessages(file);
    EXPECT_EQ(mis[0], "");
    EXPECT_EQ(mis[498], "L498");
    EXPECT_EQ(mis[499], "L499\r\nL500");  // the last message may still continue
    EXPECT_EQ(mis[500], "");
}

struct SlotCase {
    const char* name;
    std::set<int> files;
    std::array<int, 6> fileInSlot;  // 0: slot empty
    int iIdioma;
    friend void PrintTo(const SlotCase& c, std::ostream* os) { *os << c.name; }
};

class SlotTest : public ::testing::TestWithParam<SlotCase> {};

TEST_P(SlotTest, FilesFillTheSlotsFromTheTop) {
    const auto& c = GetParam();
    test::FakeFiles fs;
    for (int n : c.files)
        fs.files["/zentap/MisI0" + std::to_string(n) + ".dat"] = "Lang" + std::to_string(n) + "\r\nT";
    Ctx ctx{Platform{.files = &fs}};
    ctx.st.Mis[1][1] = "left over";
    LoadMessages(ctx);
    EXPECT_EQ(ctx.st.iIdioma, c.iIdioma);
    for (std::size_t slot = 0; slot < kLangSlots; ++slot) {
        const int n = c.fileInSlot[slot];
        EXPECT_EQ(ctx.st.Mis[slot][1], n == 0 ? "" : "Lang" + std::to_string(n)) << "slot " << slot;
    }
    const int start = c.fileInSlot[static_cast<std::size_t>(c.iIdioma)];
    EXPECT_EQ(GetMis(ctx, 1), start == 0 ? "" : "Lang" + std::to_string(start));
    EXPECT_EQ(GetMis(ctx, 2), start == 0 ? "" : "T");
}

INSTANTIATE_TEST_SUITE_P(Catalogue, SlotTest,
                         ::testing::Values(SlotCase{"AllFive", {1, 2, 3, 4, 5}, {0, 1, 2, 3, 4, 5}, 1},
                                           SlotCase{"OneAndThree", {1, 3}, {0, 0, 0, 0, 1, 3}, 4},
                                           SlotCase{"OnlyTwo", {2}, {0, 0, 0, 0, 0, 2}, 5},
                                           SlotCase{"None", {}, {0, 0, 0, 0, 0, 0}, 0}),
                         [](const auto& p) { return std::string(p.param.name); });

// The files are looked up 5 to 1 beside the program; a folder of three characters or less is a root
// that already ends with its separator.
class Lookups : public test::FakeFiles {
public:
    bool exists(const std::string& path) const override {
        asked.push_back(path);
        return false;
    }
    mutable std::vector<std::string> asked;
};

TEST(Catalogue, FileNamesBesideTheProgram) {
    for (const auto& [dir, prefix] : std::map<std::string, std::string>{
             {"/opt/zentap", "/opt/zentap/"}, {"/opt", "/opt/"}, {"/", "/"}, {"C:/", "C:/"}}) {
        Lookups fs;
        fs.dir = dir;
        Ctx ctx{Platform{.files = &fs}};
        LoadMessages(ctx);
        std::vector<std::string> expected;
        for (int n = 5; n >= 1; --n) expected.push_back(prefix + "MisI0" + std::to_string(n) + ".dat");
        EXPECT_EQ(fs.asked, expected) << dir;
    }
}

}  // namespace
}  // namespace zt
