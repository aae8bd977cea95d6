#include "core/link/requests.h"

#include <stdexcept>

#include "core/app/log.h"
#include "core/link/ticks.h"

namespace zt {

namespace {
constexpr std::uint8_t kAnswer = 0x80;
constexpr std::uint8_t kPermanent = 255;

constexpr ReqInfo kRequests[] = {
    {Req::TestLink, 0, 0x00 + kAnswer, 4},    {Req::StartUp, 0, 0x01 + kAnswer, 4},
    {Req::DOutTemp, 2, 0x06 + kAnswer, 0},    {Req::DOutPerm, 2, 0x07 + kAnswer, 0},
    {Req::Select, 0, 0x11 + kAnswer, 5},      {Req::Halt, 0, 0x12 + kAnswer, 0},
    {Req::WriteKeyE2P, 7, 0x20 + kAnswer, 4}, {Req::Login, 3, 0x21 + kAnswer, 4},
    {Req::Read, 1, 0x22 + kAnswer, 4},        {Req::Write, 17, 0x23 + kAnswer, 4},
};
}  // namespace

const ReqInfo& Info(Req r) {
    for (const auto& info : kRequests) {
        if (info.code == r) return info;
    }
    throw std::out_of_range("unknown request");
}

std::uint8_t Send(Ctx& ctx, Req r, const Payload& data) {
    return EnviaTrama(ctx, static_cast<std::uint8_t>(r), Info(r).len, data);
}

std::uint8_t DOutTemp(Ctx& ctx, std::uint8_t output, std::uint8_t time) {
    Payload p{};
    p[1] = output;
    p[2] = time;
    return Send(ctx, Req::DOutTemp, p);
}

std::uint8_t DOutPerm(Ctx& ctx, std::uint8_t output) {
    Payload p{};
    p[1] = output;
    p[2] = kPermanent;
    return Send(ctx, Req::DOutPerm, p);
}

void LedYellowOn(Ctx& ctx) {
    AddInfo(ctx, "Led yellow On");
    DOutPerm(ctx, kOutGreen);
    DOutPerm(ctx, kOutRed);
}

Co<> LedGreen(Ctx& ctx) {
    AddInfo(ctx, "Led green");
    DOutTemp(ctx, kOutRed, 0);
    co_await WaitTicks(ctx, 1);
    DOutTemp(ctx, kOutGreen, 50);
    co_await WaitTicks(ctx, 1);
}

Co<> LedRed(Ctx& ctx) {
    AddInfo(ctx, "Led red");
    DOutTemp(ctx, kOutRed, 50);
    co_await WaitTicks(ctx, 1);
    DOutTemp(ctx, kOutGreen, 0);
    co_await WaitTicks(ctx, 1);
}

void Beeper(Ctx& ctx) {
    AddInfo(ctx, "Beeper");
    DOutTemp(ctx, kOutBeeper, 10);
}

Co<> HaltCard(Ctx& ctx) {
    auto& st = ctx.st;
    AddInfo(ctx, "Halt");
    st.bHaltOk = kFalse;
    st.iTicks = kHaltTicks;
    Send(ctx, Req::Halt);
    co_await ctx.sched.until([&st] { return st.bHaltOk || st.iTicks == 0 || st.bStop; });
    if (!st.bHaltOk) AddInfo(ctx, GetMis(ctx, 280));
    st.bHaltOk = kFalse;
}

}  // namespace zt
