#include "core/encode/verify.h"

#include <string_view>

#include "core/app/log.h"
#include "core/encode/layouts.h"
#include "core/link/hexlib.h"
#include "core/link/requests.h"

namespace zt {

namespace {

void LogMis(Ctx& ctx, int n, const std::string& tail = {}) {
    AddInfo(ctx, GetMis(ctx, n) + tail);
}

// The box of message `n`; a plain function, so that no text is a temporary of a co_await.
Co<> Box(Ctx& ctx, int n) {
    return MsgBox(ctx, GetMis(ctx, n));
}

std::string Blank(int number) {
    return " " + ByteToHex(static_cast<std::uint8_t>(number));
}

// What a reader sees of the trailer written with any key A: key A reads as zeros.
std::string VisibleTrailer() {
    return std::string(12, '0') + std::string(TrailerAccess) + std::string(kTrailerKeyB);
}

Co<Verified> LoadKey(Ctx& ctx, VerifyKey& key, const std::string& field) {
    const std::string text = field;  // a field may change while the reader works
    LogMis(ctx, 401, " " + std::to_string(kVerifySlot));
    Payload data{};
    data[1] = kVerifySlot;
    for (std::size_t i = 0; i < 6; ++i) data[2 + i] = HexToByte(std::string_view(text).substr(2 * i, 2));
    key.loaded.clear();
    if (co_await Exchange(ctx, Req::WriteKeyE2P, data) != Ended::Answer) {
        LogMis(ctx, 402);
        co_await Box(ctx, 191);
        co_return Verified::RunEnds;
    }
    key.loaded = text;
    co_return Verified::Ok;
}

// Reads block `block` back and compares it with the 32 hex characters `expected`.
Co<Verified> ReadBack(Ctx& ctx, int block, const std::string& expected) {
    LogMis(ctx, 404, Blank(block));
    Payload data{};
    data[1] = static_cast<std::uint8_t>(block);
    const Ended ended = co_await Exchange(ctx, Req::Read, data, OnStop::Abort);
    if (ended == Ended::Stop) {
        LogMis(ctx, 177);
        co_return Verified::RunEnds;
    }
    if (ended != Ended::Answer) {
        LogMis(ctx, 407, Blank(block));
        co_return Verified::CardFailed;
    }
    const std::string got = StrToHex(ctx.st.sReadData);
    std::string differ;
    for (std::size_t i = 0; i < 16; ++i) {
        if (got.compare(2 * i, 2, expected, 2 * i, 2) == 0) continue;
        differ += (differ.empty() ? "" : " ") + std::to_string(i);
    }
    if (differ.empty()) co_return Verified::Ok;
    // The verdict comes last: it is the line that says why the card failed.
    LogMis(ctx, 410, ": " + expected);
    LogMis(ctx, 411, ": " + got);
    LogMis(ctx, 408, Blank(block) + " (" + GetMis(ctx, 409) + ": " + differ + ")");
    co_return Verified::CardFailed;
}

}  // namespace

Co<Verified> LoadVerifyKey(Ctx& ctx, VerifyKey& key, int firstType) {
    auto& m = ctx.m;
    if (m.chkVerify.value() != 1) co_return Verified::Ok;
    const Control& field = firstType == 0 && m.cSelTar(0).value() == 1 ? m.txtOldKeyMF : m.txtKeyMF;
    if (!CheckHex(field.text(), 12)) co_return Verified::Ok;
    co_return co_await LoadKey(ctx, key, field.text());
}

Co<Verified> VerifyCard(Ctx& ctx, VerifyKey& key, const std::string& trailerKey, int sector,
                        const std::string& content) {
    if (ctx.m.chkVerify.value() != 1) co_return Verified::Ok;
    if (key.loaded != trailerKey) {
        if (co_await LoadKey(ctx, key, trailerKey) != Verified::Ok) co_return Verified::RunEnds;
    }

    LogMis(ctx, 403, " " + std::to_string(kVerifySlot));
    Payload login{};
    login[1] = static_cast<std::uint8_t>(sector * 4);
    login[3] = kVerifySlot;
    const Ended ended = co_await Exchange(ctx, Req::Login, login, OnStop::Abort);
    if (ended == Ended::Stop) {
        LogMis(ctx, 177);
        co_return Verified::RunEnds;
    }
    if (ended != Ended::Answer) {
        LogMis(ctx, 406);
        co_return Verified::CardFailed;
    }

    // As many data blocks as the run wrote: the content in whole blocks of 32 characters.
    const std::size_t blocks =
        content.size() == 32 || content.size() == 64 || content.size() == 96 ? content.size() / 32 : 0;
    for (std::size_t b = 0; b < blocks; ++b) {
        const std::string expected = content.substr(32 * b, 32);
        const Verified v = co_await ReadBack(ctx, sector * 4 + static_cast<int>(b), expected);
        if (v != Verified::Ok) co_return v;
    }
    const std::string trailer = VisibleTrailer();
    const Verified v = co_await ReadBack(ctx, sector * 4 + 3, trailer);
    if (v != Verified::Ok) co_return v;
    LogMis(ctx, 405);
    co_return Verified::Ok;
}

}  // namespace zt
