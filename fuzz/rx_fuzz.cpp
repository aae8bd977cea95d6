#include "rx_fuzz.h"

#include <cstdlib>
#include <vector>

#include "core/app/ctx.h"
#include "core/link/receive.h"

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

std::string compareState(const WindowState& a, const WindowState& b) {
    if (a.iRxState != b.iRxState || a.sRxBuf != b.sRxBuf || a.iRxLen != b.iRxLen) return "assembler differs";
    if (a.bTestLinkOk != b.bTestLinkOk || a.bStartUpOk != b.bStartUpOk || a.bCardRx != b.bCardRx ||
        a.bAtqaRx != b.bAtqaRx || a.aAtqa != b.aAtqa || a.aUid != b.aUid || a.iUidSize != b.iUidSize ||
        a.bSelectRx != b.bSelectRx || a.iSelectStatus != b.iSelectStatus || a.bWriteKeyOk != b.bWriteKeyOk ||
        a.bLoginOk != b.bLoginOk || a.bReadOk != b.bReadOk || a.sReadData != b.sReadData ||
        a.bWriteOk != b.bWriteOk || a.bHaltOk != b.bHaltOk || a.iTicks != b.iTicks) {
        return "answer state differs";
    }
    return {};
}

std::string checkAssembler(const Ctx& ctx) {
    const auto& st = ctx.st;
    if (st.iRxState != 0 && st.iRxState != 5) return "assembler in an unknown state";
    if (st.iRxState == 0 && !st.sRxBuf.empty()) return "bytes held while waiting for STX";
    if (st.iRxState == 5) {
        if (st.sRxBuf.empty() || st.sRxBuf[0] != '\x02') return "frame without STX";
        if (st.sRxBuf.size() >= static_cast<std::size_t>(st.iRxLen) + 2)
            return "complete frame left unchecked";
        if (st.sRxBuf.size() > 259) return "frame longer than any answer";
    }
    return {};
}

std::string checkLog(const Ctx& ctx) {
    for (const auto& line : ctx.m.listInfo.items()) {
        if (line.rfind(">>> ", 0) != 0) return "log line not from the decoder: " + line;
    }
    return {};
}

}  // namespace

std::string CheckRxInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return {};
    const std::uint8_t flags = data[0];
    const bool tcp = (flags & 1) != 0;
    const bool crossTalk = (flags & 2) != 0;
    std::size_t nSizes = flags >> 4;
    if (nSizes > size - 1) nSizes = size - 1;
    const std::uint8_t* sizes = data + 1;
    const std::uint8_t* stream = data + 1 + nSizes;
    const std::size_t len = size - 1 - nSizes;

    Ctx& got = prepare(0, tcp ? 2 : 1);
    Ctx& ref = prepare(1, tcp ? 2 : 1);

    std::size_t at = 0;
    std::size_t k = 0;
    while (at < len) {
        std::size_t n = nSizes == 0 ? len : static_cast<std::size_t>(sizes[k++ % nSizes]) + 1;
        if (n > len - at) n = len - at;
        const Bytes piece(stream + at, n);
        if (tcp) {
            OnSocketData(got, piece);
            if (crossTalk) OnSerialData(got, piece);
        } else {
            OnSerialData(got, piece);
            if (crossTalk) OnSocketData(got, piece);
        }
        at += n;
        if (auto err = checkAssembler(got); !err.empty()) return err;
    }
    for (std::size_t i = 0; i < len; ++i) RxByte(ref, stream[i]);

    if (auto err = checkLog(got); !err.empty()) return err;
    if (got.m.listInfo.items() != ref.m.listInfo.items()) return "log differs from the one-piece reference";
    return compareState(got.st, ref.st);
}

}  // namespace zt::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!zt::fuzz::CheckRxInput(data, size).empty()) std::abort();
    return 0;
}
