// Hex text helpers and the numeric reading of entry fields.
#include <gtest/gtest.h>

#include <cmath>

#include "core/link/hexlib.h"
#include "core/link/numeric.h"

namespace zt {
namespace {

TEST(Hex, Conversions) {
    EXPECT_EQ(ByteToHex(0), "00");
    EXPECT_EQ(ByteToHex(0x05), "05");
    EXPECT_EQ(ByteToHex(0xAB), "AB");
    EXPECT_EQ(ByteToHex(255), "FF");
    EXPECT_EQ(StrToHex(std::string("\x02\x00\xFF", 3)), "0200FF");
    EXPECT_EQ(StrToHex(""), "");
    EXPECT_EQ(HexToStr("0200FF"), std::string("\x02\x00\xFF", 3));
    EXPECT_EQ(HexToStr("ABC"), std::string("\xAB\x0C", 2));
}

TEST(Hex, PairReading) {
    struct Case {
        const char* text;
        int value;
    };
    const Case cases[] = {{"ff", 255}, {"Z1", 0}, {"1G", 1}, {"G1", 0}, {"", 0}, {"7", 7}, {"A5x", 0xA5}};
    for (const auto& c : cases) EXPECT_EQ(HexToByte(c.text), c.value) << c.text;
}

TEST(Hex, CheckHexNeedsExactLengthAndUpperCase) {
    EXPECT_FALSE(CheckHex("00FFab", 6));
    EXPECT_TRUE(CheckHex("00FFAB", 6));
    EXPECT_FALSE(CheckHex("00FF", 6));
    EXPECT_FALSE(CheckHex("00FFAB0", 6));
    EXPECT_FALSE(CheckHex("00 FAB", 6));
    EXPECT_TRUE(CheckHex("", 0));
}

// The leading decimal number (a fraction, no exponent) or the digits after "&H" (never negative);
// blanks, tabs and line feeds skipped, a carriage return not.
TEST(Numeric, LeadingNumberOfAText) {
    struct Case {
        const char* text;
        double value;
    };
    // clang-format off
    const Case cases[] = {
        {"&HFF", 255}, {"  12abc", 12}, {"2.5", 2.5}, {"", 0}, {"abc", 0}, {"\t1\n2", 12}, {"1\r2", 1},
        {"&H", 0}, {"&h1f", 31}, {"-7", -7}, {"0015", 15}, {"1 000", 1000}, {".5", 0.5},
        {"1E3", 1}, {"2e1", 2}, {"1.5E1", 1.5},
        {"&HFFFF", 65535}, {"&H10000", 65536}, {"&HFFFFFFFF", 4294967295.0}};
    // clang-format on
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(NumVal(c.text), c.value) << '"' << c.text << '"';
}

// Where 16 bits are needed: halves to even, and a value beyond them refused.
TEST(Numeric, SixteenBitsRoundHalfToEven) {
    struct Case {
        const char* text;
        std::optional<std::int16_t> value;
    };
    // clang-format off
    const Case cases[] = {
        {"2.5", 2},       {"3.5", 4},        {"-2.5", -2},             {"0.5", 0},          {"1.5", 2},
        {"32767", 32767}, {"&H7FFF", 32767}, {"&H8000", std::nullopt}, {"-32768", -32768},  {"x", 0},
        {"32767.5", std::nullopt}, {"65536", std::nullopt}, {"4E4", 4}};
    // clang-format on
    for (const auto& c : cases) EXPECT_EQ(NumVal16(c.text), c.value) << c.text;
    EXPECT_EQ(NumVal32("&H8000"), 32768);  // the balance "&H8000"
    EXPECT_EQ(NumVal32("-2147483648"), INT32_MIN);
    EXPECT_EQ(NumVal32("2147483648"), std::nullopt);
}

}  // namespace
}  // namespace zt
