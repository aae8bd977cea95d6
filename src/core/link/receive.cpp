#include "core/link/receive.h"

#include <exception>
#include <vector>

#include "core/link/decode.h"
#include "core/link/frames.h"
#include "core/link/linkmgr.h"

namespace zt {

namespace {
constexpr std::uint8_t kStx = 0x02;
constexpr std::int16_t kWaitStx = 0;
constexpr std::int16_t kInFrame = 5;

// Every byte of a piece through the assembler, in order. A fault while handling the piece must
// not escape into the event loop; the rest of that piece is lost with it.
void feed(Ctx& ctx, Bytes bytes) {
    try {
        for (std::uint8_t b : bytes) RxByte(ctx, b);
    } catch (const std::exception&) {
    }
}
}  // namespace

void RxByte(Ctx& ctx, std::uint8_t c) {
    auto& st = ctx.st;
    if (st.iRxState == kWaitStx) {
        if (c == kStx) {
            st.sRxBuf.assign(1, static_cast<char>(c));
            st.iRxLen = 4;
            st.iRxState = kInFrame;
        }
        return;
    }
    st.sRxBuf.push_back(static_cast<char>(c));
    if (st.sRxBuf.size() == 3) st.iRxLen = static_cast<std::int16_t>(c + 3);
    if (st.sRxBuf.size() < static_cast<std::size_t>(st.iRxLen) + 2) return;
    // Complete, good or bad. The assembler is free again before the frame is looked at, so whatever
    // the decoding sets off finds it waiting for the next STX.
    std::string frame = std::move(st.sRxBuf);
    st.sRxBuf.clear();
    st.iRxState = kWaitStx;
    CheckFrame(ctx, frame);
}

std::uint8_t CheckFrame(Ctx& ctx, const std::string& frame) {
    const std::size_t n = frame.size();
    if (n < 5) return 1;
    // The checksum is the byte sum of code, LEN and data; it sits just before the closing byte.
    unsigned sum = 0;
    for (std::size_t i = 1; i + 2 < n; ++i) sum += static_cast<std::uint8_t>(frame[i]);
    if (static_cast<std::uint8_t>(sum) != static_cast<std::uint8_t>(frame[n - 2])) return 2;
    const auto len = static_cast<std::uint8_t>(frame[2]);
    if (len != n - 5) return 2;
    std::vector<std::uint8_t> data(len + 1u, 0);
    for (std::size_t i = 1; i <= len; ++i) data[i] = static_cast<std::uint8_t>(frame[2 + i]);
    DecodeAnswer(ctx, static_cast<std::uint8_t>(frame[1]), len, data);
    return 0;
}

void OnSerialData(Ctx& ctx, Bytes bytes) {
    if (ctx.st.LinkType == 1) feed(ctx, bytes);
    ctx.sched.pump();
}

void OnSocketData(Ctx& ctx, Bytes bytes) {
    if (ctx.st.LinkType == 2) feed(ctx, bytes);
    ctx.sched.pump();
}

void OnSocketConnected(Ctx& ctx) {
    ctx.st.TcpConnected = kTrue;
    ctx.sched.pump();
}

void OnLinkLost(Ctx& ctx, int linkType) {
    LinkLost(ctx, linkType);
    ctx.sched.pump();
}

}  // namespace zt
