#include <tuple>

#include "core/app/ctx.h"
#include "core/link/receive.h"
#include "harnesses.h"

namespace zt::fuzz {

namespace {

// The window is costly to build; two are kept and brought back to a fresh state for every input.
Ctx& prepare(int which, std::int16_t linkType) {
    static Ctx ctxs[2] = {Ctx{Platform{}}, Ctx{Platform{}}};
    Ctx& ctx = ctxs[which];
    ctx.st = WindowState{};
    ctx.m.listInfo.clearItems();
    ctx.m.listInfo.setListIndex(-1);
    ctx.st.aAtqa.assign(3, 0);
    ctx.st.aUid.assign(12, 0);
    ctx.st.LinkType = linkType;
    return ctx;
}

}  // namespace

std::string CheckRxInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return {};
    const bool tcp = (data[0] & 1) != 0, crossTalk = (data[0] & 2) != 0;
    const std::size_t nSizes = std::min<std::size_t>(data[0] >> 4, size - 1);
    const std::uint8_t* sizes = data + 1;
    const std::uint8_t* stream = data + 1 + nSizes;
    const std::size_t len = size - 1 - nSizes;
    Ctx& got = prepare(0, tcp ? 2 : 1);
    Ctx& ref = prepare(1, tcp ? 2 : 1);
    for (std::size_t at = 0, k = 0; at < len;) {
        const std::size_t n = std::min(nSizes == 0 ? len : static_cast<std::size_t>(sizes[k++ % nSizes]) + 1, len - at);
        const Bytes piece(stream + at, n);
        (tcp ? OnSocketData : OnSerialData)(got, piece);
        if (crossTalk) (tcp ? OnSerialData : OnSocketData)(got, piece);
        at += n;
        if (got.st.sRxBuf.size() > 259) return "more bytes held than the longest answer has";
    }
    for (std::size_t i = 0; i < len; ++i) RxByte(ref, stream[i]);
    for (const auto& line : got.m.listInfo.items())
        if (line.rfind(">>> ", 0) != 0) return "log line not from the decoder: " + line;
    if (got.m.listInfo.items() != ref.m.listInfo.items()) return "log differs from the one-piece reference";
    const auto heard = [](const WindowState& a) {
        return std::tie(a.iRxState, a.sRxBuf, a.iRxLen, a.bTestLinkOk, a.bStartUpOk, a.bCardRx, a.bAtqaRx,
                        a.aAtqa, a.aUid, a.iUidSize, a.bSelectRx, a.iSelectStatus, a.bWriteKeyOk, a.bLoginOk,
                        a.bReadOk, a.sReadData, a.bWriteOk, a.bHaltOk, a.iTicks);
    };
    return heard(got.st) == heard(ref.st) ? "" : "assembler or answer state differs";
}

}  // namespace zt::fuzz
