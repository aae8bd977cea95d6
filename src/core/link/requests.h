// The reader's request set and the LED and beeper sequences the runs use.
#pragma once

#include <cstdint>

#include "core/app/ctx.h"
#include "core/link/frames.h"

namespace zt {

enum class Req : std::uint8_t {
    TestLink = 0x00,
    StartUp = 0x01,
    DOutTemp = 0x06,
    DOutPerm = 0x07,
    Select = 0x11,
    Halt = 0x12,
    WriteKeyE2P = 0x20,
    Login = 0x21,
    Read = 0x22,
    Write = 0x23,
};

struct ReqInfo {
    Req code;
    std::uint8_t len;          // payload length
    std::uint8_t answer;       // code + 0x80
    std::int16_t wait;         // ticks the runs wait for the answer (0: not waited on)
    VBool WindowState::*flag;  // the answer flag the decoder sets (nullptr: not waited on)
};

// The row of `r` in the request table.
const ReqInfo& Info(Req r);

// Sends request `r` with its payload length from the table (EnviaTrama's result).
std::uint8_t Send(Ctx& ctx, Req r, const Payload& data = {});

// What a Stop pressed during an exchange does to its wait.
enum class OnStop : std::uint8_t {
    Ignore,   // the wait goes on
    EndWait,  // the wait ends; an answer that is there by then still counts
    Abort,    // the wait ends and Stop wins even over an answer that is there
};

// What an exchange ended with.
enum class Ended : std::uint8_t { Answer, TimeOut, Stop };

// One request/answer exchange: clears the request's answer flag, sets iTicks to its wait, sends
// `data` and waits until the flag is set, iTicks is 0 or (unless `onStop` is Ignore) bStop is set.
// A refused Login sets iTicks to 0 and so ends as TimeOut. Only for requests that are waited on.
Co<Ended> Exchange(Ctx& ctx, Req r, Payload data = {}, OnStop onStop = OnStop::Ignore);

// Outputs of DOutTemp / DOutPerm.
constexpr std::uint8_t kOutGreen = 0, kOutRed = 1, kOutBeeper = 2;
std::uint8_t DOutTemp(Ctx& ctx, std::uint8_t output, std::uint8_t time);
std::uint8_t DOutPerm(Ctx& ctx, std::uint8_t output);

// The named sequences; each logs its word first, then sends without waiting for the answers.
void LedYellowOn(Ctx& ctx);  // "Led yellow On": DOutPerm green, DOutPerm red (both LEDs on)
Co<> LedGreen(Ctx& ctx);     // "Led green": red off, one tick, green for 50, one tick
Co<> LedRed(Ctx& ctx);       // "Led red": red for 50, one tick, green off, one tick
void Beeper(Ctx& ctx);

// "Halt": sends Halt and waits for its acceptance, at most Halt's wait of the table; Stop does not
// end it. The card is written or read by then, so a reader that refuses or keeps quiet costs a log
// line (message 280, once the wait has run out) and the run goes on as after an answer. bHaltOk is
// cleared before and after, so a late answer to an earlier Halt cannot end the next wait.
Co<> HaltCard(Ctx& ctx);

}  // namespace zt
