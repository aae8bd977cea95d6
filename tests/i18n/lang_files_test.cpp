// The five language files shipped with the program.
#include <gtest/gtest.h>

#include <set>

#include "core/i18n/catalogue.h"
#include "lang_dir.h"
#include "support/fakes.h"

namespace zt {
namespace {

// Every number the program shows.
std::set<int> NumbersWithARole() {
    std::set<int> n{1, 2, 39, 60, 61, 273, 284};
    for (auto [a, b] : {std::pair{6, 26},
                        {45, 51},
                        {65, 79},
                        {85, 87},
                        {90, 92},
                        {95, 98},
                        {100, 105},
                        {110, 115},
                        {130, 148},
                        {150, 168},
                        {170, 216},
                        {230, 260}}) {
        for (int k = a; k <= b; ++k) n.insert(k);
    }
    return n;
}

class LangFiles : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        for (int n = 1; n <= 5; ++n) {
            raw[n] = test::ReadBytes(test::LangDir() + "/MisI0" + std::to_string(n) + ".dat");
            ASSERT_FALSE(raw[n].empty()) << "MisI0" << n << ".dat not found in " << test::LangDir();
            mis[n] = ParseMessages(test::Cp1252ToUtf8(raw[n]));
        }
    }
    std::set<int> filled(int n) {
        std::set<int> s;
        for (int k = 0; k < kMessages; ++k) {
            if (!mis[n][static_cast<std::size_t>(k)].empty()) s.insert(k);
        }
        return s;
    }
    std::map<int, std::string> raw;
    std::map<int, std::array<std::string, kMessages>> mis;
};

TEST_P(LangFiles, FillTheSameNumbersAsFileOneAndEveryRole) {
    const int n = GetParam();
    EXPECT_EQ(filled(n), filled(1));
    for (int k : NumbersWithARole())
        EXPECT_FALSE(mis[n][static_cast<std::size_t>(k)].empty()) << "message " << k;
}

// A bare LF, a stray CR or a "~" at a line's end would move every later message to another number.
TEST_P(LangFiles, EveryLineEndsInCrLfAndNeverInATilde) {
    const std::string& f = raw[GetParam()];
    ASSERT_EQ(f.substr(f.size() - 2), "\r\n");
    int line = 1;
    for (std::size_t i = 0; i < f.size(); ++i) {
        if (f[i] == '\n') {
            EXPECT_TRUE(i > 0 && f[i - 1] == '\r') << "line " << line << ": bare LF";
            EXPECT_FALSE(i > 1 && f[i - 2] == '~') << "line " << line << " ends in ~";
            ++line;
        }
        if (f[i] == '\r') {
            EXPECT_EQ(f[i + 1], '\n') << "line " << line;
        }
        const auto b = static_cast<unsigned char>(f[i]);
        EXPECT_TRUE(b != 0x81 && b != 0x8D && b != 0x8F && b != 0x90 && b != 0x9D) << "line " << line;
    }
}

// The CONFIG card finds the chosen unit and list type by their text, so items of a list must differ.
TEST_P(LangFiles, DropDownItemsDiffer) {
    for (int first : {100, 110}) {
        std::set<std::string> items;
        int count = 0;
        for (int k = first; k <= first + 5; ++k) {
            const auto& t = mis[GetParam()][static_cast<std::size_t>(k)];
            if (t.empty() || t == "-") continue;
            items.insert(t);
            ++count;
        }
        EXPECT_EQ(static_cast<int>(items.size()), count) << "messages " << first << "..";
    }
}

INSTANTIATE_TEST_SUITE_P(Shipped, LangFiles, ::testing::Values(1, 2, 3, 4, 5),
                         [](const auto& p) { return "MisI0" + std::to_string(p.param); });

}  // namespace
}  // namespace zt
