#include "core/link/requests.h"

#include <stdexcept>

#include "core/app/log.h"
#include "core/link/ticks.h"

namespace zt {

namespace {
constexpr std::uint8_t kAnswer = 0x80;
constexpr std::uint8_t kPermanent = 255;

using W = WindowState;
// Halt's wait is ours (the reader gives none), so that a reader that refuses or keeps quiet cannot
// hold a run.
constexpr ReqInfo kRequests[] = {
    {Req::TestLink, 0, 0x00 + kAnswer, 4, &W::bTestLinkOk},
    {Req::StartUp, 0, 0x01 + kAnswer, 4, &W::bStartUpOk},
    {Req::DOutTemp, 2, 0x06 + kAnswer, 0, nullptr},
    {Req::DOutPerm, 2, 0x07 + kAnswer, 0, nullptr},
    {Req::Select, 0, 0x11 + kAnswer, 5, &W::bSelectRx},
    {Req::Halt, 0, 0x12 + kAnswer, 4, &W::bHaltOk},
    {Req::WriteKeyE2P, 7, 0x20 + kAnswer, 4, &W::bWriteKeyOk},
    {Req::Login, 3, 0x21 + kAnswer, 4, &W::bLoginOk},
    {Req::Read, 1, 0x22 + kAnswer, 4, &W::bReadOk},
    {Req::Write, 17, 0x23 + kAnswer, 4, &W::bWriteOk},
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

Co<Ended> Exchange(Ctx& ctx, Req r, Payload data, OnStop onStop) {
    const ReqInfo& info = Info(r);
    if (info.flag == nullptr || info.wait <= 0) throw std::logic_error("request is not waited on");
    WindowState* st = &ctx.st;
    VBool* flag = &(ctx.st.*info.flag);
    const bool stopEnds = onStop != OnStop::Ignore;
    *flag = kFalse;
    st->iTicks = info.wait;
    Send(ctx, r, data);
    co_await ctx.sched.until(
        [st, flag, stopEnds] { return *flag || st->iTicks == 0 || (stopEnds && st->bStop); });
    const bool stopped = stopEnds && st->bStop;
    if (stopped && onStop == OnStop::Abort) co_return Ended::Stop;
    if (*flag) co_return Ended::Answer;
    co_return stopped ? Ended::Stop : Ended::TimeOut;
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
    AddInfo(ctx, "Halt");
    const Ended ended = co_await Exchange(ctx, Req::Halt);
    if (ended != Ended::Answer) AddInfo(ctx, GetMis(ctx, 280));
    ctx.st.bHaltOk = kFalse;
}

}  // namespace zt
