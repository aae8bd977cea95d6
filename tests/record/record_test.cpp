// The card record at its seams: what the runs report against the simulated reader, and the CSV as an
// independent reader sees it.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "core/link/hexlib.h"
#include "core/top/record.h"
#include "support/harness.h"

namespace zt::test {
namespace {

using Rows = std::vector<std::vector<std::string>>;
struct FixedClock : Clock {
    LocalTime now() const override { return {2026, 3, 7, 9, 5, 2}; }
};

// The cells as Python's csv module reads them back from `bytes`.
// The build machine's Python: under wine the comparison is left out.
std::optional<Rows> ReadBack(const std::string& bytes, char sep = ',') {
#ifdef _WIN32
    (void)bytes, (void)sep;
    return std::nullopt;
#else
    const auto csv = (std::filesystem::temp_directory_path() / ("zt_record" + std::to_string(::getpid()))).string();
    std::ofstream(csv, std::ios::binary) << bytes;
    FILE* py = popen(("python3 " ZT_SOURCE_DIR_DEFAULT "/tests/record/csv_cells.py " + csv + " '" + sep + "'").c_str(),
                     "r");
    Rows rows;
    for (char line[8192]; std::fgets(line, sizeof line, py) != nullptr;) {
        std::istringstream cells(line);
        rows.emplace_back();
        for (std::string hex; cells >> hex;) rows.back().push_back(hex == "-" ? "" : HexToStr(hex));
    }
    EXPECT_EQ(pclose(py), 0);
    std::filesystem::remove(csv);
    return rows;
#endif
}

TEST(RecordCsv, CellsThatNeedQuotingReadBackTheSame) {
    const Rows table = {{"plain", "with, comma", "say \"FF\"", "", "two\r\nlines"},
                        {"Año ñ ç € ü", "\"", ",", "lone\nLF", "end"},
                        {"", "", "x"}};
    for (const char sep : {',', ';'}) {
        std::string bytes = "\xEF\xBB\xBF";
        for (const auto& row : table) bytes += CsvLine(row, sep);
        const auto rows = ReadBack(bytes, sep);
        if (!rows) GTEST_SKIP() << "no Python to read the file back";
        EXPECT_EQ(*rows, table) << sep;
    }
}

// Batches number the users from txtUser on and give every card a row; a UID written twice marks both
// of its rows. Then a card that fails, and a card read: every row as the record window and the CSV
// show it.
TEST(RecordRun, BatchesFailureAndReadGiveTheirRows) {
    Harness h;
    FixedClock wall;
    h.ctx().pf.clock = &wall;
    h.load();
    h.openCom();
    h.box.answer = 0;  // user numbers written again: the operator goes on
    std::map<int, std::shared_ptr<sim::Card>> cards;  // UID 10 20 30 n 01 02 03 04 05 06
    // Lays the cards one after the other, each once the run is done with the one before.
    auto lay = [&](const std::vector<int>& laid) {
        for (int n : laid) {
            const auto beeps = h.count("Beeper");
            h.removeCard();
            if (cards[n]) h.present(cards[n]);
            if (!cards[n])
                cards[n] = h.present(sim::CardKind::Classic1K, {16, 32, 48, static_cast<std::uint8_t>(n), 1, 2, 3, 4, 5, 6});
            ASSERT_TRUE(h.runUntil([&] { return h.count("Beeper") > beeps || h.box.open > 0; }));
            ASSERT_TRUE(h.runUntil([&] { return h.box.open == 0; }));
        }
    };
    Rows want;
    auto row = [&](int n, const std::string& user, int outcome, const std::string& mark = "") {
        want.push_back({"2026-03-07 09:05:02", "10 20 30 0" + std::to_string(n) + " 01 02 03 04 05 06", "USUARIO BASICO", user,
                        "0000", n == 9 ? "0" : "1", h.mis(outcome) + (outcome == 376 ? " 2" : ""),
                        outcome == 453 ? h.mis(189) : "", mark, ""});
    };
    // Cards wanted, first user, the cards laid and the users they get, user field after.
    const std::tuple<const char*, const char*, std::vector<int>, const char*, const char*> batches[] = {
        {"3", "005", {1, 2, 3}, "005|006|007", "7"},
        {"0", "005", {4}, "005", "005"},
        {"2", "999", {6, 7}, "999|000", "1000"},
        {"2", "005", {8, 8}, "005|006", "6"}};
    for (const auto& [wanted, user, laid, users, after] : batches) {
        h.set(std::string("txtNumTar=") + wanted + "|txtUser=" + user);
        h.click("cmdStart(2)");
        lay(laid);
        ASSERT_TRUE(h.runUntilIdle()) << wanted << " from " << user;
        EXPECT_EQ(h.m().txtUser.text(), after);
        for (std::size_t i = 0; const std::string& u : Lines(users)) {  // users 005 and 006 made twice
            const bool twice = laid[i] == 8, again = u == "005" || u == "006";
            row(laid[i++], u, 374, (twice ? h.mis(377) + "; " : "") + (again ? h.mis(454) : ""));
        }
        EXPECT_EQ(Harness::blockHex(*cards[laid.back()], 4).substr(6, 3), Lines(users).back());
    }
    EXPECT_TRUE(h.logHas(h.mis(176) + ": USUARIO BASICO - 6"));
    // The maker's block 0 refuses a write: the card fails with 189.
    h.set("txtNumTar=1|txtUser=057|txtSector=0");
    h.click("cmdStart(2)");
    lay({9});
    EXPECT_TRUE(h.logHas(">>> AnsWrite: 0x03"));
    ASSERT_TRUE(h.click("cmdStop(2)"));
    row(9, "057", 453);
    // Key 1 no longer opens card 1: key 2 does, once the reader has reported the card again.
    h.set("txtSector=1|txtKeyMF=A0A1A2A3A4A5");
    h.click("cmdLecTar");
    lay({1});
    h.click("cmdStop(3)");
    ASSERT_TRUE(h.runUntilIdle());
    row(1, "005", 376);
    Rows got;
    for (const auto& r : h.form->record().rows()) got.push_back(RecordCells(h.ctx(), r));
    EXPECT_EQ(got, want);
    EXPECT_EQ(h.form->record().repeatedUids(), 1);
    EXPECT_EQ(RecordCounts(h.ctx(), h.form->record()).rfind(
                  h.mis(381) + ": 10 (" + h.mis(378) + " 8, " + h.mis(379) + " 1, " + h.mis(380) + " 1)", 0), 0u);
    // The CSV: byte-order mark, the heading, then the same cells column for column, ";" in Spanish.
    const std::string csv = RecordCsv(h.ctx(), h.form->record());
    EXPECT_EQ(csv.rfind("\xEF\xBB\xBF" + h.mis(365) + ";UID;", 0), 0u);
    want.insert(want.begin(), RecordHeadings(h.ctx()));
    if (const auto rows = ReadBack(csv, ';')) {
        EXPECT_EQ(*rows, want);
    }
    // The activity log as saved: each line after the time it was added, ended by CR LF.
    const std::string at = "2026-03-07 09:05:02  ";
    EXPECT_EQ(LogText(h.ctx()).rfind(at + h.mis(170) + "\r\n" + at + h.mis(171) + "\r\n", 0), 0u);
}

// Keys as the saved log shows them beyond the run below: a trailer as 32 hex characters; no keys.
TEST(RecordSave, KeysInALineBecomeTheMark) {
    for (const auto& [line, hidden] : std::vector<std::pair<std::string, std::string>>{
             {"x: A0A1A2A3A4A5FF0780FFB0B1B2B3B4B5", "x: [KEY]FF0780FF[KEY]"},
             {"Read Block[0]: 1000000009FFFFFFFFFFFFFFFFFFFFFF", ""},
             {"X690000020312341A2B3C4D5E6F000141", ""},
             {"0x69 0x00 0x00 0x02 0x03 0x12 0x34 0xA1 0xB2 0xC3 0xD4 0xE5 0xF6 0x00 0x01 0x41 0x00", ""}})
        EXPECT_EQ(HideKeys(line), hidden.empty() ? line : hidden);
}

// A verified MASTER card: the saved log holds none of its keys, the screen does. Buttons have their
// captions and tooltips, each save its own dialog.
TEST(RecordSave, SavedLogHidesTheKeysOfAMasterCardAndItsCheck) {
    Harness h;
    h.load();
    CardRecord& rec = h.form->record();
    for (const Control* c : {&rec.cmdRecordCsv, &rec.cmdLogSave, &h.m().cmdSaveLog, &h.m().chkVerify})
        EXPECT_TRUE(!c->text().empty() && h.tips.of(c->name())) << c->name();
    h.openCom();
    h.set("cSelTar(1)=0|txtKeyMF=A1B2C3D4E5F6|chkVerify=1");
    h.click("cmdStart(0)");
    h.present();
    ASSERT_TRUE(h.runUntilIdle() && h.logHas(h.mis(405)));
    const std::pair<const char*, int> saves[] = {{"cmdRecordCsv", 383}, {"cmdLogSave", 384}, {"cmdSaveLog", 384}};
    for (const auto& [button, title] : saves) {
        h.save.path = button;
        h.click(button);
        const auto& asked = h.save.asked.back();
        EXPECT_EQ(asked[0] + asked[1].substr(asked[1].size() - 4) + asked[2].substr(asked[2].size() - 6),
                  h.mis(title) + (title == 383 ? ".csv*.csv)" : ".txt*.txt)"));
    }
    EXPECT_EQ(h.save.files["cmdSaveLog"], LogText(h.ctx()));
    std::string screen;
    for (const std::string& line : h.log()) screen += line;
    for (const char* key : {"A1B2C3D4E5F6", "0xA1 0xB2 0xC3", "0x00 0xFF 0x07", "0xFF 0x07 0x80 0xFF 0xFF"}) {
        EXPECT_NE(screen.find(key), std::string::npos) << key;
        EXPECT_EQ(h.save.files["cmdLogSave"].find(key), std::string::npos) << key;
    }
}

// Stopped while its first block is written, a card keeps a row; closing asks until the CSV is saved.
TEST(RecordClose, InterruptedCardKeepsItsRowAndClosingAsks) {
    Harness h;
    h.load();
    h.openCom();
    EXPECT_FALSE(h.form->holdClose());
    h.click("cmdStart(2)");
    h.present();
    ASSERT_TRUE(h.runUntil([&] { return h.log().back().rfind("Write Block: 04---", 0) == 0; }));
    h.click("cmdStop(2)");
    ASSERT_TRUE(h.runUntilIdle() && h.form->record().rows().size() == 1);
    const auto cells = RecordCells(h.ctx(), h.form->record().rows()[0]);
    EXPECT_EQ(cells[1] + "|" + cells[6] + "|" + cells[7], "1A 2B 3C 4D|" + h.mis(453) + "|" + h.mis(177));
    for (const int answer : {2, 0}) {  // stay, then save
        h.box.answer = answer;
        EXPECT_TRUE(h.form->holdClose());
        h.runFor(1);
    }
    EXPECT_TRUE(h.save.files.contains(h.save.path) && !h.form->holdClose() && h.box.asked.size() == 2);
}

}  // namespace
}  // namespace zt::test
