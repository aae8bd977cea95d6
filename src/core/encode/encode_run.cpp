#include "core/encode/encode_run.h"

#include <memory>
#include <optional>
#include <string>

#include "core/app/cards.h"
#include "core/app/log.h"
#include "core/encode/ansi.h"
#include "core/encode/layouts.h"
#include "core/encode/user_extras.h"
#include "core/encode/verify.h"
#include "core/link/hexlib.h"
#include "core/link/numeric.h"
#include "core/link/requests.h"

namespace zt {

namespace {

struct Range {
    int first;
    int last;
};

std::optional<Range> RangeOf(int index) {
    switch (index) {
        case 0:
            return Range{0, 1};
        case 1:
            return Range{10, 24};
        case 2:
            return Range{30, 32};
        default:
            return std::nullopt;
    }
}

bool IsUserType(int index) {
    return index >= 30 && index <= 32;
}

// How one card type's turn ended.
enum class Turn {
    Next,    // written or skipped: on to the next type
    Again,   // a user card of a batch was written and more are wanted: the same type again
    Failed,  // this card failed: the same type waits for another card
    End,     // Stop, or a fault that ends the run (already logged and shown)
};

constexpr int kKeySlot = 5;
constexpr int kMasterKeySlot = 6;

// The run's message box: the text of message `n` with an OK button, waited for with events going on.
Co<> Box(Ctx& ctx, int n) {
    return MsgBox(ctx, GetMis(ctx, n));
}

void Log(Ctx& ctx, std::string line) {
    AddInfo(ctx, std::move(line));
}
void LogMis(Ctx& ctx, int n) {
    AddInfo(ctx, GetMis(ctx, n));
}

// Two hex characters per byte, into data[first ...].
void PutHex(Payload& data, std::size_t first, const std::string& hex) {
    for (std::size_t i = 0; 2 * i < hex.size() && first + i < data.size(); ++i) {
        data[first + i] = HexToByte(std::string_view(hex).substr(2 * i, 2));
    }
}

// A card's exchange that Stop aborts: Stop ends the run (message 177), no answer fails the card
// (message `noAnswer`), an answer lets the card go on (Next).
Turn Judge(Ctx& ctx, Ended ended, int noAnswer) {
    if (ended == Ended::Stop) {
        LogMis(ctx, 177);
        return Turn::End;
    }
    if (ended == Ended::TimeOut) {
        LogMis(ctx, noAnswer);
        return Turn::Failed;
    }
    return Turn::Next;
}

// Writes a 32-character block text to block `block` and waits for the answer.
Co<Turn> WriteBlock(Ctx& ctx, int block, const std::string& hex) {
    Payload data{};
    data[1] = static_cast<std::uint8_t>(block);
    PutHex(data, 2, hex);
    const Ended written = co_await Exchange(ctx, Req::Write, data, OnStop::Abort);
    const Turn t = Judge(ctx, written, 189);
    if (t == Turn::Next) Log(ctx, "AnsWrite");
    co_return t;
}

// One turn of card type `index`: wait for a card and write it. `wrote` is set once the first Write
// has gone out to the card.
Co<Turn> MakeCard(Ctx& ctx, int index, int& cardsDone, VerifyKey& verifyKey, bool& wrote) {
    auto& st = ctx.st;
    auto& m = ctx.m;
    auto& box = m.cSelTar(index);
    const bool master = index == 0;

    box.setForeColor(kBlue);
    if (box.value() == 0) {
        box.setForeColor(kDarkYellow);
        co_return Turn::Next;
    }

    Log(ctx, Dashes60());
    std::string heading = GetMis(ctx, 176) + ": " + box.text();
    if (IsUserType(index)) heading += " - " + m.txtUser.text();
    Log(ctx, heading);

    // The card report; no time-out.
    co_await ctx.sched.until([&st] { return st.bCardRx || st.bStop; });
    if (st.bStop) {
        LogMis(ctx, 177);
        co_return Turn::End;
    }
    if (st.bAtqaRx) {
        std::string line = "ATQA: ";
        for (std::size_t i = 1; i <= 2 && i < st.aAtqa.size(); ++i) line += " " + HexByte(st.aAtqa[i]);
        Log(ctx, line);
    }
    if (st.iUidSize >= 1 && st.iUidSize <= 3) {
        const std::size_t count = st.iUidSize == 1 ? 4 : st.iUidSize == 2 ? 7 : 10;
        std::string line = "UID: ";
        for (std::size_t i = 2; i < 2 + count && i < st.aUid.size(); ++i) line += " " + HexByte(st.aUid[i]);
        Log(ctx, line);
    } else {
        LogMis(ctx, 178);
    }
    CardSeen(ctx);

    Log(ctx, "Select");
    const Ended selected = co_await Exchange(ctx, Req::Select, {}, OnStop::Abort);
    if (const Turn t = Judge(ctx, selected, 179); t != Turn::Next) co_return t;
    switch (st.iSelectStatus) {
        case 0:
            LogMis(ctx, 180);
            co_return Turn::Failed;
        case 1:
            LogMis(ctx, 181);
            break;
        case 2:
            LogMis(ctx, 182);
            break;
        case 3:
            LogMis(ctx, 183);
            break;
        default:
            break;
    }

    LedYellowOn(ctx);

    // Keys and sector. The card is opened with txtKeyTar; the trailer gets the installation's key
    // (for MASTER the current one, in the current sector).
    const std::string loginKey = CheckHex(m.txtKeyTar.text(), 12) ? m.txtKeyTar.text() : std::string();
    const int keySlot = master ? kMasterKeySlot : kKeySlot;
    if (loginKey.empty()) {
        LogMis(ctx, 184);
        co_await Box(ctx, 192);
        co_return Turn::End;
    }
    const Control& keyField = master ? m.txtOldKeyMF : m.txtKeyMF;
    const std::string trailerKey = CheckHex(keyField.text(), 12) ? keyField.text() : std::string();
    if (trailerKey.empty()) {
        LogMis(ctx, 185);
        co_await Box(ctx, 192);
        co_return Turn::End;
    }
    // A block number is one byte: sectors 0..63 only.
    const auto sectorValue = NumVal16(ToAnsi((master ? m.txtOldSector : m.txtSector).text()));
    if (!sectorValue || *sectorValue < 0 || *sectorValue > 63) {
        LogMis(ctx, 282);
        co_await Box(ctx, 192);
        co_return Turn::End;
    }
    const int sector = *sectorValue;
    // A balance the value block cannot hold, and a user number or card count beyond 16 bits, are
    // refused before anything is written.
    const bool user = IsUserType(index);
    const int refused = index == 32 && !SaldoValue(ctx)                 ? 281
                        : user && !NumVal16(ToAnsi(m.txtUser.text()))   ? 291
                        : user && !NumVal16(ToAnsi(m.txtNumTar.text())) ? 290
                                                                        : 0;
    if (refused != 0) {
        LogMis(ctx, refused);
        co_await Box(ctx, 192);
        co_return Turn::End;
    }

    Log(ctx, "WriteKeyE2P");
    Payload keyData{};
    keyData[1] = static_cast<std::uint8_t>(keySlot);
    PutHex(keyData, 2, loginKey);
    if (co_await Exchange(ctx, Req::WriteKeyE2P, keyData) != Ended::Answer) {
        LogMis(ctx, 186);
        co_await Box(ctx, 191);
        co_return Turn::End;
    }
    Log(ctx, "AnsWriteKey");

    Log(ctx, "Login");
    Payload loginData{};
    loginData[1] = static_cast<std::uint8_t>(sector * 4);
    loginData[2] = 0;
    loginData[3] = static_cast<std::uint8_t>(keySlot);
    const Ended loggedIn = co_await Exchange(ctx, Req::Login, loginData, OnStop::Abort);
    if (const Turn t = Judge(ctx, loggedIn, 187); t != Turn::Next) co_return t;
    Log(ctx, "AnsLogin");

    const std::string content = GetCardData(ctx, index);
    const int blocks = content.size() == 32 ? 1 : content.size() == 64 ? 2 : content.size() == 96 ? 3 : 0;
    for (int b = 1; b <= blocks; ++b) {
        const std::string text = content.substr(static_cast<std::size_t>(b - 1) * 32, 32);
        const int block = sector * 4 + b - 1;
        if (!CheckHex(text, 32)) {
            LogMis(ctx, 188);
            co_await Box(ctx, 192);
            co_return Turn::End;
        }
        Log(ctx, "Write Block: " + ByteToHex(static_cast<std::uint8_t>(block)) + "---" + text);
        wrote = true;
        const Turn t = co_await WriteBlock(ctx, block, text);
        if (t != Turn::Next) co_return t;
    }

    const int trailer = sector * 4 + 3;
    Log(ctx, "Write Protection Block: " + ByteToHex(static_cast<std::uint8_t>(trailer)));
    wrote = true;
    const Turn t = co_await WriteBlock(ctx, trailer, TrailerText(trailerKey));
    if (t != Turn::Next) co_return t;
    const Verified checked = co_await VerifyCard(ctx, verifyKey, trailerKey, sector, content);
    if (checked != Verified::Ok) co_return checked == Verified::CardFailed ? Turn::Failed : Turn::End;

    co_await HaltCard(ctx);

    box.setForeColor(kGreen);
    co_await LedGreen(ctx);
    Beeper(ctx);
    CardWritten(ctx, index);

    if (IsUserType(index)) {
        ++cardsDone;
        if (NumVal(ToAnsi(m.txtNumTar.text())) > cardsDone) {
            m.txtUser.setText(DecText(NumVal(ToAnsi(m.txtUser.text())) + 1));
            co_return Turn::Again;
        }
    }
    co_return Turn::Next;
}

// From the link test to the last type of the range; returning is the way to the end.
Co<> Encode(Ctx& ctx, Range range) {
    auto& st = ctx.st;

    Log(ctx, "TestNodeLink");
    if (co_await Exchange(ctx, Req::TestLink) != Ended::Answer) {
        LogMis(ctx, 174);
        co_await Box(ctx, 191);
        co_return;
    }
    Log(ctx, "AnsTestLink");

    Log(ctx, "StartUp");
    if (co_await Exchange(ctx, Req::StartUp) != Ended::Answer) {
        LogMis(ctx, 175);
        co_await Box(ctx, 191);
        co_return;
    }
    Log(ctx, "AnsStartUp");

    VerifyKey verifyKey;
    if (co_await LoadVerifyKey(ctx, verifyKey, range.first) != Verified::Ok) co_return;

    // Only from here on does Stop count.
    st.bStop = kFalse;
    int cardsDone = 0;
    int index = range.first;
    for (;;) {
        st.bCardRx = kFalse;
        if (index > range.last) co_return;
        bool wrote = false;
        const Turn turn = co_await MakeCard(ctx, index, cardsDone, verifyKey, wrote);
        if (turn == Turn::End) {
            // Stopped (or the run ended) with the card part written: it still gets its row.
            if (wrote) CardFailed(ctx, index, true);
            co_return;
        }
        if (turn == Turn::Failed) {
            CardFailed(ctx, index, wrote);
            // Nothing written is undone; the same type waits for the next card.
            ctx.m.cSelTar(index).setForeColor(kRed);
            DOutTemp(ctx, kOutGreen, 0);
            co_await Box(ctx, 190);
            DOutTemp(ctx, kOutRed, 10);
            continue;
        }
        if (turn == Turn::Next) ++index;
        st.bCardRx = kFalse;
        if (st.bStop) co_return;
    }
}

}  // namespace

Co<> cmdStart_Click(Ctx& ctx, int index) {
    const auto range = RangeOf(index);
    if (!range) co_return;
    ctx.st.ActiveRun = static_cast<std::uint8_t>(index);
    Log(ctx, Dashes60());
    for (int i = range->first; i <= range->last; ++i) ctx.m.cSelTar(i).setForeColor(kBlack);

    co_await Encode(ctx, *range);

    ctx.st.ActiveRun = kNoRun;
    Log(ctx, Dashes60());
}

void cmdStop_Click(Ctx& ctx, int /*index*/) {
    ctx.st.bStop = kTrue;
}

}  // namespace zt
