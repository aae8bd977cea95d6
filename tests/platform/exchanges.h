// Every request of the reader's set and the LED and beeper sequences, with the bytes they must
// leave on the wire, for the real-link tests.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/app/ctx.h"
#include "core/link/requests.h"

namespace zt::test {

struct Exchange {
    const char* name;
    std::function<void(Ctx&)> send;
    std::vector<std::uint8_t> wire;
};

inline Payload payloadOf(std::initializer_list<std::uint8_t> bytes) {
    Payload p{};
    std::size_t i = 1;
    for (auto b : bytes) p[i++] = b;
    return p;
}

inline std::vector<Exchange> allExchanges() {
    Payload key = payloadOf({5, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5});
    Payload block = payloadOf({6, 0x02, 0x03, 0, 0xFF, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    return {
        {"TestLink", [](Ctx& c) { Send(c, Req::TestLink); }, {0x02, 0x00, 0x00, 0x00, 0x03}},
        {"StartUp", [](Ctx& c) { Send(c, Req::StartUp); }, {0x02, 0x01, 0x00, 0x01, 0x03}},
        {"Select", [](Ctx& c) { Send(c, Req::Select); }, {0x02, 0x11, 0x00, 0x11, 0x03}},
        {"Halt", [](Ctx& c) { Send(c, Req::Halt); }, {0x02, 0x12, 0x00, 0x12, 0x03}},
        {"WriteKeyE2P slot 5",
         [key](Ctx& c) { Send(c, Req::WriteKeyE2P, key); },
         {0x02, 0x20, 0x07, 0x05, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xFB, 0x03}},
        {"Login sector 1 slot 5",
         [](Ctx& c) {
             Send(c, Req::Login, payloadOf({4, 0, 5}));
         },
         {0x02, 0x21, 0x03, 0x04, 0x00, 0x05, 0x2D, 0x03}},
        {"Read block 6",
         [](Ctx& c) { Send(c, Req::Read, payloadOf({6})); },
         {0x02, 0x22, 0x01, 0x06, 0x29, 0x03}},
        {"Write block 6",
         [block](Ctx& c) { Send(c, Req::Write, block); },
         {0x02, 0x23, 0x11, 0x06, 0x02, 0x03, 0x00, 0xFF, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0x8C, 0x03}},
        {"DOutTemp", [](Ctx& c) { DOutTemp(c, 1, 50); }, {0x02, 0x06, 0x02, 0x01, 0x32, 0x3B, 0x03}},
        {"DOutPerm", [](Ctx& c) { DOutPerm(c, 0); }, {0x02, 0x07, 0x02, 0x00, 0xFF, 0x08, 0x03}},
        {"Led yellow On",
         [](Ctx& c) { LedYellowOn(c); },
         {0x02, 0x07, 0x02, 0x00, 0xFF, 0x08, 0x03, 0x02, 0x07, 0x02, 0x01, 0xFF, 0x09, 0x03}},
        {"Beeper", [](Ctx& c) { Beeper(c); }, {0x02, 0x06, 0x02, 0x02, 0x0A, 0x14, 0x03}},
    };
}

}  // namespace zt::test
