// Card contents read back: whatever the encoding side makes decodes to the fields that went in, and
// the detail field says what a card holds, names damage and refuses what is not ours.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "core/app/ctx.h"
#include "core/encode/layouts.h"
#include "core/link/hexlib.h"
#include "core/read/card_detail.h"
#include "core/read/card_contents.h"

namespace zt {
namespace {

const std::string F22(22, 'F');
const std::string F32(32, 'F');
const std::string Z32(32, '0');

// A window whose message n reads "M<n>": the details show which messages they use.
struct Window {
    Ctx ctx{Platform{}};
    FormModel& m = ctx.m;
    Window() {
        for (int n = 0; n <= 500; ++n) ctx.st.Mis[0][static_cast<std::size_t>(n)] = "M" + std::to_string(n);
    }
};

// Up to three blocks of `data` read from `sector`; missing ones read all 0.
CardReading Reading(int sector, const std::string& data) {
    CardReading r;
    r.sector = sector;
    for (std::size_t i = 0; i < 3; ++i)
        r.blocks[i] = data.size() >= 32 * (i + 1) ? data.substr(32 * i, 32) : Z32;
    return r;
}

TEST(CardContents, DecodingWhatTheLayoutsMakeGivesBackTheFields) {
    Window w;
    auto& m = w.m;
    std::mt19937 rng(20261206);
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto hex = [&](int n) {
        std::string s;
        while (n-- > 0) s += "0123456789ABCDEF"[pick(0, 15)];
        return s;
    };
    for (int round = 0; round < 300; ++round) {
        for (int index : {0, 1, 10, 11, 12, 13, 14, 15, 19, 24, 30, 31, 32}) {
            SCOPED_TRACE(testing::Message() << "round " << round << ", type " << index);
            const int sector = pick(0, 63), user = pick(0, 999), unit = pick(0, 6), list = pick(0, 6);
            const int relay = pick(0, 999), node = pick(0, 999), scan = pick(0, 99), dec = pick(0, 9999);
            const bool clear = pick(0, 1) == 1, numericNode = pick(0, 3) == 0, relayOn = pick(0, 1) == 1;
            const std::string inst = hex(4), old = hex(4), key = hex(pick(0, 12));
            const auto balance = static_cast<std::int32_t>(rng());
            std::bitset<256> nodes;
            m.listPermit.clearItems();
            for (int n = 0; n < 256; ++n) {
                if (pick(0, 7) != 0) continue;
                nodes[static_cast<std::size_t>(n)] = true;
                m.listPermit.addItem("Nodo " + std::to_string(1000 + n).substr(1));
            }
            std::vector<std::uint8_t> frame;
            std::string frameText;
            for (int i = pick(0, 40); i > 0; --i) {
                frame.push_back(static_cast<std::uint8_t>(pick(0, 255)));
                frameText += "&H" + HexByte(frame.back());
            }
            if (frame.size() > 32 || !relayOn) frame.resize(relayOn ? 32 : 0);
            // Position 6 is no message of the drop-down: the card carries 5 and 255.
            const std::pair<Control*, std::string> texts[] = {
                {&m.txtSector, std::to_string(sector)}, {&m.txtNumInst, inst}, {&m.txtOldNumInst, old},
                {&m.txtKeyMF, key}, {&m.txtUser, std::to_string(user)}, {&m.txtSalVal, std::to_string(balance)},
                {&m.cUnitTime, unit < 6 ? "M" + std::to_string(100 + unit) : "other"},
                {&m.cTipList, list < 6 ? "M" + std::to_string(110 + list) : "other"},
                {&m.txtCfgTRele, std::to_string(relay)}, {&m.txtCfgNode, std::to_string(node)},
                {&m.txtTScan, std::to_string(scan)}, {&m.txtVendDec, std::to_string(dec)},
                {&m.txtTramaRelExt, frameText}};
            for (const auto& [control, text] : texts) control->setText(text);
            m.chkEspResList.setValue(clear);
            m.chkEspNodoTar.setValue(numericNode);
            m.chkCfgRelExt.setValue(relayOn);

            const CardContents c = InspectCard(Reading(sector, GetCardData(w.ctx, index)));
            ASSERT_EQ(c.kind, CardClass::Ours);
            const bool numeric = index >= 15 && index <= 24;
            EXPECT_EQ(c.type->index, numeric ? 15 : index);
            EXPECT_EQ(c.checkDigit, c.rightCheckDigit);
            EXPECT_EQ(c.installation, index == 0 ? old : numeric ? "0000" : inst);
            EXPECT_TRUE(index < 30 || std::stoi(c.value) == user) << c.value;
            EXPECT_TRUE(!numeric || c.value[0] - '0' == index - 15) << c.value;
            EXPECT_EQ(c.nodes, index == 31 ? std::optional(nodes) : std::nullopt);
            ASSERT_EQ(c.balance.has_value(), index == 32);
            for (std::size_t i = 0; c.balance && i < 2; ++i)
                EXPECT_TRUE((*c.balance)[i].value == balance && (*c.balance)[i].faults == 0) << i;
            const auto ms = c.master ? c.master->rightSum : "", cs = c.config ? c.config->rightSum : ms;
            const MasterParams master{inst, std::string(12 - key.size(), 'F') + key, sector, ms, ms};
            EXPECT_EQ(c.master, index == 0 ? std::optional(master) : std::nullopt);
            const ConfigParams config{unit < 6 ? unit : 5, relay, clear, list < 6 ? list : 255,
                                      numericNode ? std::nullopt : std::optional(node), scan, dec, frame,
                                      cs, cs};
            EXPECT_EQ(c.config, index == 1 ? std::optional(config) : std::nullopt);
        }
    }
}

TEST(CardContents, DetailsSayWhatTheCardHoldsAndNameWhatIsWrong) {
    const std::string saldo1 = "F40100000BFEFFFFF401000006F906F9";
    const std::string saldo2 = "F40100000BFEFFFFF401000005FA05FA";
    const std::string head12 = "1200000575" + F22;
    const std::string saldoLines = "M303: M208|M198: 0000|M304: 057|M306: 5 (M307)|M311: 500|";
    const std::string bad = "M476 \xE2\x80\x93 ", also = " \xE2\x80\x93 ";  // a card that fails a check
    // Name, up to three blocks (missing ones read all 0), the detail lines without the card report's two.
    const std::tuple<const char*, std::string, std::string> examples[] = {
        {"basic user", "1000000009" + F22, "M303: M206|M198: 0000|M304: 000|M306: 9 (M307)"},
        {"basic user 57", "1012340577" + F22, "M303: M206|M198: 1234|M304: 057|M306: 7 (M307)"},
        {"alta", "4500000001" + F22, "M303: M210|M198: 0000|M305: 000|M306: 1 (M307)"},
        {"nuevo", "4700009992" + F22, "M303: M214|M198: 0000|M305: 999|M306: 2 (M307)"},
        {"numeric 5", "8300005004" + F22, "M303: M215 5|M198: 0000|M305: 500|M306: 4 (M307)"},
        {"master", "69000002031234FFFFFFFFFFFF000141",
         "M303: M201|M334: 0000|M305: 020|M306: 3 (M307)|M335: 1234|M336: FFFFFFFFFFFF|M337: 1|"
         "M333: 41 (M307)"},
        {"config", "52000002011010000002001000005082",
         "M303: M202|M198: 0000|M305: 020|M306: 1 (M307)|M321: 10 (M101)|M322: M324|M325: M110|M327: 200|"
         "M329: 10|M330: 50|M331: M310|M333: 82 (M307)"},
        {"config with relay frame", "520000020110100000020010140050960234303030303230303041463703FFFF" + F32,
         "M303: M202|M198: 0000|M305: 020|M306: 1 (M307)|M321: 10 (M101)|M322: M324|M325: M110|M327: 200|"
         "M329: 10|M330: 50|M331: 02 34 30 30 30 30 32 30 30 30 41 46 37 03 (14 M332)|M333: 96 (M307)"},
        {"config: numeric node, no unit word, wrong sum", "520000020190101255FFFF9900321085",
         bad + "M333: 85 (M308 E0)|M303: M202|M198: 0000|M305: 020|M306: 1 (M307)|M321: 10 (9, M326)|M322: M323|M325: 255, M326|"
         "M327: M328|M329: 99|M330: 3210|M331: M310|M333: 85 (M308 E0)"},
        {"advanced user, nodes 1, 2, 9", "1100000008" + F22 + "0602" + std::string(60, '0'),
         "M303: M207|M198: 0000|M304: 000|M306: 8 (M307)|M309 (3): 001, 002, 009"},
        {"advanced user, runs and the last node", "1100000008" + F22 + "0F02" + std::string(58, '0') + "81",
         "M303: M207|M198: 0000|M304: 000|M306: 8 (M307)|M309 (7): 000\xE2\x80\x93"
         "003, 009, 248, 255"},
        {"advanced user, no node", "1100000008" + F22 + Z32 + Z32,
         "M303: M207|M198: 0000|M304: 000|M306: 8 (M307)|M309: M310"},
        {"balance 500", head12 + saldo1 + saldo2, saldoLines + "M314 5: M315|M314 6: M315"},
        {"inverse wrong", head12 + "F40100000CFEFFFFF401000006F906F9" + saldo2,
         bad + "M314 5: M317|" + saldoLines + "M314 5: M317|M314 6: M315"},
        {"copy wrong, partner wrong", head12 + saldo1 + "F40100000BFEFFFFF501000007F807F8",
         bad + "M314 6: M316; M319 7, M320 5|" + saldoLines + "M314 5: M315|M314 6: M316; M319 7, M320 5"},
        {"address pattern wrong", head12 + "F40100000BFEFFFFF401000006F906F8" + saldo2,
         bad + "M314 5: M318|" + saldoLines + "M314 5: M318|M314 6: M315"},
        {"both blocks damaged", head12 + "F40100000CFEFFFFF401000006F906F9" + "F40100000BFEFFFFF501000005FA05FA",
         bad + "M311: M313" + also + "M314 5: M317" + also + "M314 6: M316|" +
             "M303: M208|M198: 0000|M304: 057|M306: 5 (M307)|M311: M313|M314 5: M317|M314 6: M316"},
        {"blocks disagree", head12 + saldo1 + "F30100000CFEFFFFF301000005FA05FA",
         bad + "M311: 500 / 499 (M312)|M303: M208|M198: 0000|M304: 057|M306: 5 (M307)|M311: 500 / 499 (M312)|"
               "M314 5: M315|M314 6: M315"},
        {"wrong check digit", "1000000008" + F22, bad + "M306: 8 (M308 9)|M303: M206|M198: 0000|M304: 000|M306: 8 (M308 9)"},
        {"known code never written", "53ABCD1236" + std::string(22, '7'),
         "M303: M203|M198: ABCD|M305: 123|M306: 6 (M307)|M341"},
        {"blank", "", bad + "M300"},
        {"factory", F32 + F32 + F32, bad + "M301"},
        {"unknown code", "99000000" + std::string(24, '1'), bad + "M302"},
        {"our code, another system's tail", "1000000009" + std::string(22, 'E'), bad + "M302"},
        {"user number not decimal", "100000A009" + F22, bad + "M302"},
        {"config parameter not decimal", "520000020110A0000002001000005082", bad + "M302"},
        {"not hex", "1000000009" + std::string(21, 'F') + "G", bad + "M302"},
    };
    Window w;
    for (const auto& [name, blocks, detail] : examples) {
        SCOPED_TRACE(name);
        ShowCardDetail(w.ctx, Reading(1, blocks));
        std::string got = w.m.txtInfoDetail.text();
        for (std::size_t at; (at = got.find("\r\n")) != std::string::npos;) got.replace(at, 2, "|");
        EXPECT_EQ(got, detail + "|M338: M340|M339: M340");
        EXPECT_EQ(w.m.txtInfoDetail.foreColor(), detail.starts_with(bad) ? kRed : kDefaultColour);
    }
}

}  // namespace
}  // namespace zt
