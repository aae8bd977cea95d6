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
std::optional<Rows> ReadBack(const std::string& bytes) {
#ifdef _WIN32
    (void)bytes;
    return std::nullopt;
#else
    const auto csv = (std::filesystem::temp_directory_path() / ("zt_record" + std::to_string(::getpid()))).string();
    std::ofstream(csv, std::ios::binary) << bytes;
    FILE* py = popen(("python3 " ZT_SOURCE_DIR_DEFAULT "/tests/record/csv_cells.py " + csv).c_str(), "r");
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
    std::string bytes = "\xEF\xBB\xBF";
    for (const auto& row : table) bytes += CsvLine(row);
    const auto rows = ReadBack(bytes);
    if (!rows) GTEST_SKIP() << "no Python to read the file back";
    EXPECT_EQ(*rows, table);
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
    auto row = [&](int n, const std::string& user, int outcome, bool again = false) {
        want.push_back({"2026-03-07 09:05:02", "10 20 30 0" + std::to_string(n) + " 01 02 03 04 05 06", "USUARIO BASICO", user,
                        "0000", n == 9 ? "0" : "1", h.mis(outcome) + (outcome == 376 ? " 2" : ""),
                        outcome == 375 ? h.mis(189) : "", again ? h.mis(377) : ""});
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
        for (std::size_t i = 0; i < laid.size(); ++i) row(laid[i], Lines(users)[i], 374, laid[i] == 8);
        EXPECT_EQ(Harness::blockHex(*cards[laid.back()], 4).substr(6, 3), Lines(users).back());
    }
    EXPECT_TRUE(h.logHas(h.mis(176) + ": USUARIO BASICO - 6"));
    // The maker's block 0 refuses a write: the card fails with 189.
    h.set("txtNumTar=1|txtUser=057|txtSector=0");
    h.click("cmdStart(2)");
    lay({9});
    EXPECT_TRUE(h.logHas(">>> AnsWrite: 0x03"));
    ASSERT_TRUE(h.click("cmdStop(2)"));
    row(9, "057", 375);
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
    // The CSV: byte-order mark, the heading, then the same cells column for column.
    const std::string csv = RecordCsv(h.ctx(), h.form->record());
    EXPECT_EQ(csv.rfind("\xEF\xBB\xBF" + h.mis(365) + ",UID,", 0), 0u);
    want.insert(want.begin(), RecordHeadings(h.ctx()));
    if (const auto rows = ReadBack(csv)) {
        EXPECT_EQ(*rows, want);
    }
    // The activity log as saved: its lines as they stand, each ended by CR LF.
    EXPECT_EQ(LogText(h.ctx()).rfind(h.mis(170) + "\r\n" + h.mis(171) + "\r\n", 0), 0u);
}

}  // namespace
}  // namespace zt::test
