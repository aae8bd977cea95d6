#include "core/read/read_run.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "core/app/cards.h"
#include "core/app/log.h"
#include "core/link/hexlib.h"
#include "core/link/numeric.h"
#include "core/link/requests.h"
#include "core/link/ticks.h"
#include "core/read/card_detail.h"
#include "core/read/display.h"
#include "core/read/card_contents.h"

namespace zt {

namespace {

constexpr std::uint8_t kReadRun = 3;
constexpr int kKeys = 3;
// Test key k goes into reader slot k + 6.
constexpr std::uint8_t SlotOf(int k) {
    return static_cast<std::uint8_t>(k + 6);
}

// Key texts of one run, indexed 1..3: txtKeyMF, txtOldKeyMF, txtKeyTar as they stood at its start.
using KeyTable = std::array<std::string, kKeys + 1>;

void CopyKey(Ctx& ctx, const Control& box, int shown) {
    if (ctx.st.ActiveRun != kNoRun) return;
    ctx.m.txtUsaKey(shown).setText(box.text());
}

// "ATQA:  04 00  --  UID:  1A 2B 3C 4D" from the last card report.
std::string IdentLine(const WindowState& st) {
    std::string line;
    if (st.bAtqaRx) {
        line = "ATQA: ";
        for (int i = 1; i <= 2; ++i) line += " " + HexByte(st.aAtqa.at(i));
        line += "  --  ";
    }
    line += "UID: ";
    // UID length code: 1, 2, 3 stand for 4, 7, 10 bytes; any other code shows no bytes.
    const int n = st.iUidSize == 1 ? 4 : st.iUidSize == 2 ? 7 : st.iUidSize == 3 ? 10 : 0;
    for (int i = 2; i < 2 + n; ++i) line += " " + HexByte(st.aUid.at(i));
    return line;
}

Co<> SuccessEnding(Ctx& ctx) {
    co_await HaltCard(ctx);
    co_await LedGreen(ctx);
    Beeper(ctx);
}

Co<> FailureEnding(Ctx& ctx) {
    co_await HaltCard(ctx);
    co_await LedRed(ctx);
    Beeper(ctx);
}

// Stores the three test keys in slots 7..9. False when the reader did not take one.
Co<bool> LoadKeys(Ctx& ctx, const KeyTable& keys, Payload& data) {
    for (int k = 1; k <= kKeys; ++k) {
        const std::string slot = std::to_string(SlotOf(k));
        AddInfo(ctx, "WriteKeyE2P[" + slot + "]");
        data[1] = SlotOf(k);
        for (int j = 1; j <= 6; ++j)
            data[j + 1] = HexToByte(keys[k].substr(static_cast<std::size_t>(2 * (j - 1)), 2));
        if (co_await Exchange(ctx, Req::WriteKeyE2P, data) != Ended::Answer) {
            AddInfo(ctx, GetMis(ctx, 196) + "[" + slot + "]");
            co_return false;
        }
    }
    co_return true;
}

enum class CardEnd { Read, Failed, Stopped };

struct ReadResult {
    int key = 0;
    CardReading card;
};

// One card, from the wait for its report to the point where it is read or given up. A card the
// current key does not open is tried with the next key once the reader reports it again.
Co<CardEnd> ReadOneCard(Ctx& ctx, Payload& data, ReadResult& out) {
    auto& st = ctx.st;
    auto& m = ctx.m;
    std::int16_t key = 1;
    for (;;) {
        st.bCardRx = kFalse;
        co_await ctx.sched.until([&st] { return st.bCardRx || st.bStop; });
        if (st.bStop) {
            AddInfo(ctx, GetMis(ctx, 177));
            co_return CardEnd::Stopped;
        }
        ShowCardInfo(ctx, "", 0, "", "", "");
        AddInfo(ctx, IdentLine(st));
        CardSeen(ctx);
        TakeCardReport(st, out.card);

        AddInfo(ctx, "Select");
        if (co_await Exchange(ctx, Req::Select, data, OnStop::EndWait) != Ended::Answer) {
            AddInfo(ctx, "Error de Select");
            co_return CardEnd::Failed;
        }
        if (st.iSelectStatus != 1) {
            AddInfo(ctx, "Select Error: " + std::to_string(st.iSelectStatus));
            co_return CardEnd::Failed;
        }

        LedYellowOn(ctx);
        if (key > kKeys) co_return CardEnd::Failed;

        AddInfo(ctx, "Login[" + std::to_string(key) + "]");
        const Control& sectorBox = key == 2 ? m.txtOldSector : m.txtSector;
        const std::optional<std::int16_t> sector = NumVal16(sectorBox.text());
        // Block numbers travel as one byte: sector * 4 + 2 must stay below 256.
        if (!sector || *sector < 0 || *sector > 63) {
            AddInfo(ctx, GetMis(ctx, 282));
            co_return CardEnd::Failed;
        }
        const auto first = static_cast<std::uint8_t>(*sector * 4);
        data[1] = first;
        data[2] = 0;
        data[3] = SlotOf(key);
        if (co_await Exchange(ctx, Req::Login, data) != Ended::Answer) {
            ++key;
            continue;
        }

        for (int b = 0; b <= 2; ++b) {
            AddInfo(ctx, "ReadBlock[" + std::to_string(b) + "]");
            data[1] = static_cast<std::uint8_t>(first + b);
            if (co_await Exchange(ctx, Req::Read, data, OnStop::EndWait) != Ended::Answer)
                co_return CardEnd::Failed;
            auto& block = out.card.blocks[static_cast<std::size_t>(b)];
            block = StrToHex(st.sReadData);
            AddInfo(ctx, "Read Block[" + std::to_string(b) + "]: " + block);
        }
        out.key = key;
        out.card.sector = *sector;
        co_return CardEnd::Read;
    }
}

Co<> CardLoop(Ctx& ctx, const KeyTable& keys, Payload& data) {
    const std::string dashes20(20, '-');
    while (!ctx.st.bStop) {
        std::string invite = dashes20;
        invite.append(" ").append(GetMis(ctx, 197)).append(" ").append(dashes20);
        AddInfo(ctx, invite);
        ReadResult r;
        const CardEnd end = co_await ReadOneCard(ctx, data, r);
        if (end == CardEnd::Stopped) co_return;
        if (end == CardEnd::Read) {
            co_await SuccessEnding(ctx);
            const auto& b = r.card.blocks;
            ShowCardInfo(ctx, keys[r.key], static_cast<std::int16_t>(r.card.sector), b[0], b[1], b[2]);
            CardRead(ctx, r.key, static_cast<std::int16_t>(r.card.sector), b[0], b[1], b[2]);
            ShowCardDetail(ctx, std::move(r.card));
        } else {
            // The display stays cleared.
            co_await FailureEnding(ctx);
        }
    }
}

}  // namespace

void txtKeyMF_Change(Ctx& ctx) {
    CopyKey(ctx, ctx.m.txtKeyMF, 0);
}
void txtOldKeyMF_Change(Ctx& ctx) {
    CopyKey(ctx, ctx.m.txtOldKeyMF, 1);
}
void txtKeyTar_Change(Ctx& ctx) {
    CopyKey(ctx, ctx.m.txtKeyTar, 2);
}

Co<> cmdLecTar_Click(Ctx& ctx) {
    auto& st = ctx.st;
    auto& m = ctx.m;
    // The button is disabled while a run is active; a second run must never share the answer state.
    if (st.ActiveRun != kNoRun) co_return;

    txtKeyMF_Change(ctx);
    txtOldKeyMF_Change(ctx);
    txtKeyTar_Change(ctx);
    st.ActiveRun = kReadRun;
    st.bStop = kFalse;
    ShowCardInfo(ctx, "", 0, "", "", "");

    // Taken once: edits of the key boxes do not reach a running run.
    KeyTable keys;
    const std::array<const Control*, kKeys + 1> boxes{nullptr, &m.txtKeyMF, &m.txtOldKeyMF, &m.txtKeyTar};
    bool ok = true;
    for (int k = 1; k <= kKeys && ok; ++k) {
        keys[k] = boxes[k]->text();
        if (!CheckHex(keys[k], 12)) {
            AddInfo(ctx, GetMis(ctx, 192 + k));
            ok = false;
        }
    }

    Payload data{};
    if (ok) ok = co_await LoadKeys(ctx, keys, data);
    if (ok) co_await CardLoop(ctx, keys, data);

    st.ActiveRun = kNoRun;
    AddInfo(ctx, Dashes60());
}

}  // namespace zt
