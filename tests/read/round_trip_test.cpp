// Cards made by the encoding run on the simulated reader, read back on the read tab.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/harness.h"

namespace zt::test {
namespace {

struct Made {
    int index;           // cSelTar box ticked
    int tab;             // cmdStart button that makes it
    int message;         // card type shown
    std::string suffix;  // what follows the message
    std::string inst;    // installation code shown
    bool masterKeys;     // written with the current-installation key and sector (key 2 opens it)
};

TEST(ReadBack, EveryCardTypeTheEncodingRunMakesIsShownInWords) {
    const Made cases[] = {
        {0, 0, 201, "", "4321", true},         {1, 0, 202, "", "1234", false},
        {10, 1, 210, "", "1234", false},       {11, 1, 211, "", "1234", false},
        {12, 1, 212, "", "1234", false},       {13, 1, 213, "", "1234", false},
        {14, 1, 214, "", "1234", false},       {15, 1, 215, " 0", "0000", false},
        {20, 1, 215, " 5", "0000", false},     {24, 1, 215, " 9", "0000", false},
        {30, 2, 206, " - 057", "1234", false}, {31, 2, 207, " - 057", "1234", false},
        {32, 2, 208, " - 057", "1234", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        Harness h;
        h.load();
        h.openCom();
        auto& m = h.m();
        m.txtNumInst.setText("1234");
        m.txtKeyMF.setText("A1B2C3D4E5F6");
        m.txtSector.setText("1");
        m.txtOldNumInst.setText("4321");
        m.txtOldKeyMF.setText("0A0B0C0D0E0F");
        m.txtOldSector.setText("2");
        m.txtUser.setText("057");
        for (int i : m.cSelTar.indexes()) m.cSelTar(i).setValue(i == c.index ? 1 : 0);

        ASSERT_TRUE(h.click("cmdStart(" + std::to_string(c.tab) + ")"));
        auto card = h.present();
        ASSERT_TRUE(h.runUntilIdle());
        ASSERT_EQ(m.cSelTar(c.index).foreColor(), kGreen) << "the card was not made";
        h.removeCard();

        const std::size_t from = h.log().size();
        ASSERT_TRUE(h.click("cmdLecTar"));
        h.present(card);
        ASSERT_TRUE(h.runUntil([&] {
            const auto lines = h.logFrom(from);
            return std::find(lines.begin(), lines.end(), "Beeper") != lines.end();
        }));
        EXPECT_EQ(m.txtInfoCard.text(), h.mis(c.message) + c.suffix);
        EXPECT_EQ(m.txtInfoInst.text(), h.mis(198) + ": " + c.inst);
        const std::string key = c.masterKeys ? "0A0B0C0D0E0F" : "A1B2C3D4E5F6";
        const std::string sector = c.masterKeys ? "2" : "1";
        EXPECT_EQ(m.txtInfoKey.text(), h.mis(199) + ": " + key + "     " + h.mis(200) + ": " + sector);
        const int first = card->firstBlock(c.masterKeys ? 2 : 1);
        for (int b = 0; b < 3; ++b) EXPECT_EQ(m.txtInfoRead(b).text(), Harness::blockHex(*card, first + b));
        ASSERT_TRUE(h.click("cmdStop(3)"));
        ASSERT_TRUE(h.runUntilIdle());
    }
}

}  // namespace
}  // namespace zt::test
