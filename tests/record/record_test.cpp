// The card record at its seams: what the runs report against the simulated reader, and the CSV as an
// independent reader sees it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
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
Rows ReadBack(const std::string& bytes) {
    const std::string csv = std::filesystem::temp_directory_path() / ("zt_record" + std::to_string(getpid()));
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
}

TEST(RecordCsv, CellsThatNeedQuotingReadBackTheSame) {
    const Rows table = {{"plain", "with, comma", "say \"FF\"", "", "two\r\nlines"},
                        {"Año ñ ç € ü", "\"", ",", "lone\nLF", "end"},
                        {"", "", "x"}};
    std::string bytes = "\xEF\xBB\xBF";
    for (const auto& row : table) bytes += CsvLine(row);
    EXPECT_EQ(ReadBack(bytes), table);
}

class RecordRun : public ::testing::Test {
public:
    Harness h;
    FixedClock wall;
    std::map<int, std::shared_ptr<sim::Card>> cards;  // UID 10 20 30 n

    void SetUp() override {
        h.ctx().pf.clock = &wall;
        h.load();
        h.openCom();
    }
    long beeps() const { return std::count(h.log().begin(), h.log().end(), "Beeper"); }
    // Lays the cards one after the other, each once the run is done with the one before.
    void lay(const std::vector<std::uint8_t>& laid) {
        for (std::uint8_t n : laid) {
            auto& card = cards[n];
            const long before = beeps();
            h.removeCard();
            if (card) h.present(card);
            if (!card) card = h.present(sim::CardKind::Classic1K, {16, 32, 48, n});
            ASSERT_TRUE(h.runUntil([&] { return beeps() > before || h.box.open > 0; }));
            ASSERT_TRUE(h.runUntil([&] { return h.box.open == 0; }));
        }
    }
    Rows cells() {
        Rows out;
        for (const auto& r : h.form->record().rows()) out.push_back(RecordCells(h.ctx(), r));
        return out;
    }
    std::vector<std::string> row(const char* uid, const char* user, int outcome, std::string more = "",
                                 bool again = false) {
        std::vector<std::string> r = {"2026-03-07 09:05:02", uid, "USUARIO BASICO", user, "0000", "1"};
        r.insert(r.end(), {h.mis(outcome) + more, outcome == 375 ? h.mis(189) : "", again ? h.mis(377) : ""});
        return r;
    }
};

TEST_F(RecordRun, BatchRowsAndRepeatedCards) {
    const std::tuple<std::vector<std::uint8_t>, Rows, int> cases[] = {
        {{1, 2, 3},
         {row("10 20 30 01", "005", 374), row("10 20 30 02", "006", 374), row("10 20 30 03", "007", 374)},
         0},
        {{7, 7}, {row("10 20 30 07", "005", 374, "", true), row("10 20 30 07", "006", 374, "", true)}, 1},
    };
    for (const auto& [laid, expected, repeatedUids] : cases) {
        const CardRecord& rec = h.form->record();
        const auto from = static_cast<long>(rec.rows().size());
        h.m().txtUser.setText("005");
        h.m().txtNumTar.setText(std::to_string(laid.size()));
        h.click("cmdStart(2)");
        lay(laid);
        ASSERT_TRUE(h.runUntilIdle());
        Rows got = cells();
        EXPECT_EQ(Rows(got.begin() + from, got.end()), expected);
        EXPECT_EQ(rec.repeatedUids(), repeatedUids);
        // The CSV: byte-order mark, the heading, then the same cells column for column.
        const std::string csv = RecordCsv(h.ctx(), rec);
        EXPECT_EQ(csv.rfind("\xEF\xBB\xBF" + h.mis(365) + ",UID,", 0), 0u);
        got.insert(got.begin(), RecordHeadings(h.ctx()));
        EXPECT_EQ(ReadBack(csv), got);
    }
}

TEST_F(RecordRun, FailedWriteThenRead) {
    h.reader.faults().next(0x23, sim::FaultKind::NoAnswer);
    h.m().txtUser.setText("057");
    h.click("cmdStart(2)");
    lay({8, 9});
    ASSERT_TRUE(h.runUntilIdle());
    // Key 1 no longer opens the card: key 2 does, once the reader has reported it again.
    h.m().txtKeyMF.setText("A0A1A2A3A4A5");
    h.click("cmdLecTar");
    lay({9});
    h.click("cmdStop(3)");
    ASSERT_TRUE(h.runUntilIdle());
    EXPECT_EQ(cells(), Rows({row("10 20 30 08", "057", 375), row("10 20 30 09", "057", 374),
                             row("10 20 30 09", "057", 376, " 2")}));
    // The activity log as saved: its lines as they stand, each ended by CR LF.
    EXPECT_EQ(LogText(h.ctx()).rfind(h.mis(170) + "\r\n" + h.mis(171) + "\r\n", 0), 0u);
}

}  // namespace
}  // namespace zt::test
