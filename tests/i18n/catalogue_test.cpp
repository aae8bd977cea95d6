#include "core/i18n/catalogue.h"

#include <gtest/gtest.h>

#include <set>

#include "fakes.h"

namespace zt {
namespace {

struct ParseCase {
    const char* name;
    std::string file;
    std::map<int, std::string> expected;  // message number -> text; numbers not listed are empty
    friend void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.name; }
};

class ParseTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseTest, MessagesAndTheirNumbers) {
    const auto& c = GetParam();
    const auto mis = ParseMessages(c.file);
    for (int k = 0; k < kMessages; ++k) {
        const auto it = c.expected.find(k);
        EXPECT_EQ(mis[static_cast<std::size_t>(k)], it == c.expected.end() ? "" : it->second)
            << "message " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, ParseTest,
    ::testing::Values(
        ParseCase{"TildeInsideALine", "Uno~Dos\r\nTres\r\n", {{1, "Uno\r\nDos"}, {2, "Tres"}}},
        // The same two words on two lines give the same message and the next keeps its number.
        ParseCase{"TildeAtLineEndContinues", "Uno~\r\nDos\r\nTres\r\n", {{1, "Uno\r\nDos"}, {2, "Tres"}}},
        ParseCase{"ContinuationChains", "a~\r\nb~\r\nc\r\nd", {{1, "a\r\nb\r\nc"}, {2, "d"}}},
        // An empty line keeps the text ending in "~", so the one after it is taken in too.
        ParseCase{"ContinuationOverAnEmptyLine", "a~\r\n\r\nb\r\nc", {{1, "a\r\nb"}, {2, "c"}}},
        ParseCase{"DoubleTilde", "a~~b", {{1, "a\r\n\r\nb"}}},
        ParseCase{"LastLineEndingInTildeEndsThere", "a\r\nb~", {{1, "a"}, {2, "b\r\n"}}},
        ParseCase{"LastLineEndingInTildeThenLineEnd", "a\r\nb~\r\n", {{1, "a"}, {2, "b\r\n"}}},
        ParseCase{"EmptyLinesKeepTheirNumbers", "a\r\n\r\n\r\nd\r\n", {{1, "a"}, {4, "d"}}},
        ParseCase{"BareLineFeeds", "a\nb~\nc\n", {{1, "a"}, {2, "b\r\nc"}}},
        ParseCase{"MixedLineEnds", "a\r\nb\nc\r\n", {{1, "a"}, {2, "b"}, {3, "c"}}},
        ParseCase{"NoFinalLineEnd", "a\r\nb", {{1, "a"}, {2, "b"}}}, ParseCase{"EmptyFile", "", {}},
        ParseCase{"Utf8TextUntouched", "Español\r\nçà €\r\n", {{1, "Español"}, {2, "çà €"}}}),
    [](const auto& p) { return std::string(p.param.name); });

std::string NumberedLines(int count) {
    std::string s;
    for (int k = 1; k <= count; ++k) s += "L" + std::to_string(k) + "\r\n";
    return s;
}

TEST(Catalogue, ReadsAtMost499Messages) {
    const auto mis = ParseMessages(NumberedLines(600));
    EXPECT_EQ(mis[0], "");
    EXPECT_EQ(mis[1], "L1");
    EXPECT_EQ(mis[499], "L499");
    EXPECT_EQ(mis[500], "");
}

TEST(Catalogue, Message499MayStillContinue) {
    std::string file = NumberedLines(498) + "last~\r\npart\r\nL500\r\n";
    const auto mis = ParseMessages(file);
    EXPECT_EQ(mis[499], "last\r\npart");
    EXPECT_EQ(mis[500], "");
}

// A file whose message 1 names it and message 2 tells its number.
std::string LangFile(int n) {
    return "Lang" + std::to_string(n) + "\r\nTitle" + std::to_string(n) + "\r\n";
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
    test::FakeFileSystem fs;
    for (int n : c.files) fs.put(n, LangFile(n));
    Ctx ctx{Platform{.files = &fs}};
    LoadMessages(ctx);
    EXPECT_EQ(ctx.st.iIdioma, c.iIdioma);
    for (int slot = 0; slot < kLangSlots; ++slot) {
        const int n = c.fileInSlot[static_cast<std::size_t>(slot)];
        EXPECT_EQ(ctx.st.Mis[static_cast<std::size_t>(slot)][1], n == 0 ? "" : "Lang" + std::to_string(n))
            << "slot " << slot;
    }
    const int start = c.fileInSlot[static_cast<std::size_t>(c.iIdioma)];
    EXPECT_EQ(GetMis(ctx, 2), start == 0 ? "" : "Title" + std::to_string(start));
}

INSTANTIATE_TEST_SUITE_P(Catalogue, SlotTest,
                         ::testing::Values(SlotCase{"AllFive", {1, 2, 3, 4, 5}, {0, 1, 2, 3, 4, 5}, 1},
                                           SlotCase{"OneAndThree", {1, 3}, {0, 0, 0, 0, 1, 3}, 4},
                                           SlotCase{"OnlyTwo", {2}, {0, 0, 0, 0, 0, 2}, 5},
                                           SlotCase{"FourAndFive", {4, 5}, {0, 0, 0, 0, 4, 5}, 4},
                                           SlotCase{"None", {}, {0, 0, 0, 0, 0, 0}, 0}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(Catalogue, NoFileLeavesEveryMessageEmpty) {
    test::FakeFileSystem fs;
    Ctx ctx{Platform{.files = &fs}};
    ctx.st.Mis[1][2] = "left over";
    LoadMessages(ctx);
    for (int k = 0; k < kMessages; ++k) EXPECT_EQ(GetMis(ctx, k), "") << k;
    EXPECT_EQ(ctx.st.Mis[1][2], "");
}

struct PathCase {
    const char* name;
    std::string dir;
    char sep;
    std::string prefix;  // what goes before the file name
    friend void PrintTo(const PathCase& c, std::ostream* os) { *os << c.name; }
};

class PathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(PathTest, LooksUpFiveToOneBesideTheProgram) {
    const auto& c = GetParam();
    test::FakeFileSystem fs(c.dir, c.sep);
    Ctx ctx{Platform{.files = &fs}};
    LoadMessages(ctx);
    std::vector<std::string> expected;
    for (int n = 5; n >= 1; --n) expected.push_back(c.prefix + "MisI0" + std::to_string(n) + ".dat");
    EXPECT_EQ(fs.asked, expected);
}

// A folder of three characters or less is a root that already ends with its separator.
INSTANTIATE_TEST_SUITE_P(Catalogue, PathTest,
                         ::testing::Values(PathCase{"Folder", "/opt/zentap", '/', "/opt/zentap/"},
                                           PathCase{"Root", "/", '/', "/"},
                                           PathCase{"DriveRoot", "C:\\", '\\', "C:\\"},
                                           PathCase{"FourCharacters", "/opt", '/', "/opt/"}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(Catalogue, AFileThatCannotBeReadCountsAsMissing) {
    test::FakeFileSystem fs;
    fs.put(1, LangFile(1));
    fs.putUnreadable(2);
    fs.put(3, LangFile(3));
    Ctx ctx{Platform{.files = &fs}};
    LoadMessages(ctx);
    EXPECT_EQ(ctx.st.Mis[5][1], "Lang3");
    EXPECT_EQ(ctx.st.Mis[4][1], "Lang1");
    EXPECT_EQ(ctx.st.iIdioma, 4);
}

TEST(Catalogue, NoFileSystemMeansNoLanguage) {
    Ctx ctx{Platform{}};
    LoadMessages(ctx);
    EXPECT_EQ(ctx.st.iIdioma, 0);
    EXPECT_EQ(GetMis(ctx, 1), "");
}

}  // namespace
}  // namespace zt
