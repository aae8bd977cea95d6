// The five language files shipped with the program.
#include <gtest/gtest.h>

#include <set>

#include "core/i18n/catalogue.h"
#include "fakes.h"

namespace zt {
namespace {

// Every number the program shows.
std::set<int> NumbersWithARole() {
    std::set<int> n{1, 2, 39, 60, 61, 273, 284};
    auto range = [&n](int a, int b) {
        for (int k = a; k <= b; ++k) n.insert(k);
    };
    range(6, 26);
    range(45, 51);
    range(65, 79);
    range(85, 87);
    range(90, 92);
    range(95, 98);
    range(100, 105);
    range(110, 115);
    range(130, 148);
    range(150, 168);
    range(170, 216);
    range(230, 260);
    return n;
}

class LangFiles : public ::testing::Test {
protected:
    void SetUp() override {
        for (int n = 1; n <= 5; ++n) {
            raw[n] = test::ReadBytes(test::LangDir() + "/MisI0" + std::to_string(n) + ".dat");
            ASSERT_FALSE(raw[n].empty()) << "MisI0" << n << ".dat not found in " << test::LangDir();
            mis[n] = ParseMessages(test::Cp1252ToUtf8(raw[n]));
        }
    }
    std::set<int> filled(int n) const {
        std::set<int> s;
        for (int k = 0; k < kMessages; ++k) {
            if (!mis.at(n)[static_cast<std::size_t>(k)].empty()) s.insert(k);
        }
        return s;
    }
    std::map<int, std::string> raw;
    std::map<int, std::array<std::string, kMessages>> mis;
};

TEST_F(LangFiles, AllFillTheSameNumbersAndEveryRoleHasAText) {
    const auto first = filled(1);
    for (int n = 2; n <= 5; ++n) EXPECT_EQ(filled(n), first) << "MisI0" << n << ".dat";
    for (int n = 1; n <= 5; ++n) {
        for (int k : NumbersWithARole()) {
            EXPECT_FALSE(mis[n][static_cast<std::size_t>(k)].empty()) << "MisI0" << n << ".dat message " << k;
        }
    }
}

// A wrong line end or a "~" at the end of a line would move every later message to another number.
TEST_F(LangFiles, LinesEndInCrLfAndNeverInATilde) {
    for (int n = 1; n <= 5; ++n) {
        const std::string& f = raw[n];
        ASSERT_GE(f.size(), 2u);
        EXPECT_EQ(f.substr(f.size() - 2), "\r\n") << n;
        int line = 1;
        for (std::size_t i = 0; i < f.size(); ++i) {
            if (f[i] == '\n') {
                EXPECT_TRUE(i > 0 && f[i - 1] == '\r') << "MisI0" << n << ".dat line " << line << ": bare LF";
                EXPECT_FALSE(i > 1 && f[i - 2] == '~')
                    << "MisI0" << n << ".dat line " << line << " ends in ~";
                ++line;
            } else if (f[i] == '\r') {
                EXPECT_TRUE(i + 1 < f.size() && f[i + 1] == '\n') << "MisI0" << n << ".dat line " << line;
            }
            // Bytes Windows-1252 leaves unassigned.
            const auto b = static_cast<unsigned char>(f[i]);
            EXPECT_TRUE(b != 0x81 && b != 0x8D && b != 0x8F && b != 0x90 && b != 0x9D)
                << "MisI0" << n << ".dat line " << line;
        }
    }
}

// The CONFIG card finds the chosen unit and list type by comparing texts: items must differ.
TEST_F(LangFiles, DropDownItemsDifferWithinEachList) {
    for (int n = 1; n <= 5; ++n) {
        for (int first : {100, 110}) {
            std::set<std::string> items;
            int count = 0;
            for (int k = first; k <= first + 5; ++k) {
                const auto& t = mis[n][static_cast<std::size_t>(k)];
                if (t.empty() || t == "-") continue;
                items.insert(t);
                ++count;
            }
            EXPECT_EQ(static_cast<int>(items.size()), count) << "MisI0" << n << ".dat from " << first;
        }
    }
}

}  // namespace
}  // namespace zt
