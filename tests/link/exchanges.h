// Every request of the reader's set and the LED and beeper sequences with the bytes they must leave
// on the wire; shared by the tests on fakes and on real links.
#pragma once

#include <functional>
#include <vector>

#include "core/link/requests.h"

namespace zt::test {

struct Exchange {
    const char* name;
    std::function<void(Ctx&)> send;
    std::vector<std::uint8_t> wire;
    const char* logWord = nullptr;  // the line the sequence logs first
    std::size_t frames = 1;
};

inline Payload payloadOf(std::initializer_list<std::uint8_t> bytes) {
    Payload p{};
    std::size_t i = 1;
    for (auto b : bytes) p[i++] = b;
    return p;
}

inline std::vector<Exchange> allExchanges() {
    const Payload key = payloadOf({5, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5});
    const Payload block = payloadOf({6, 0x02, 0x03, 0, 0xFF, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    auto req = [](Req r, Payload p = {}) { return [r, p](Ctx& c) { Send(c, r, p); }; };
    return {
        {"TestLink", req(Req::TestLink), {0x02, 0x00, 0x00, 0x00, 0x03}},
        {"StartUp", req(Req::StartUp), {0x02, 0x01, 0x00, 0x01, 0x03}},
        {"Select", req(Req::Select), {0x02, 0x11, 0x00, 0x11, 0x03}},
        {"Halt", req(Req::Halt), {0x02, 0x12, 0x00, 0x12, 0x03}},
        {"WriteKeyE2P slot 5",
         req(Req::WriteKeyE2P, key),
         {0x02, 0x20, 0x07, 0x05, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xFB, 0x03}},
        {"Login sector 1 slot 5",
         req(Req::Login, payloadOf({4, 0, 5})),
         {0x02, 0x21, 0x03, 0x04, 0x00, 0x05, 0x2D, 0x03}},
        {"Read block 4", req(Req::Read, payloadOf({4, 0x77})), {0x02, 0x22, 0x01, 0x04, 0x27, 0x03}},
        {"Read block 6", req(Req::Read, payloadOf({6})), {0x02, 0x22, 0x01, 0x06, 0x29, 0x03}},
        // STX and ETX inside the data go unescaped.
        {"Write block 6",
         req(Req::Write, block),
         {0x02, 0x23, 0x11, 0x06, 0x02, 0x03, 0x00, 0xFF, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0x8C, 0x03}},
        {"DOutTemp", [](Ctx& c) { DOutTemp(c, 1, 50); }, {0x02, 0x06, 0x02, 0x01, 0x32, 0x3B, 0x03}},
        {"DOutPerm, checksum wraps",
         [](Ctx& c) { DOutPerm(c, 0); },
         {0x02, 0x07, 0x02, 0x00, 0xFF, 0x08, 0x03}},
        {"Led yellow On",
         LedYellowOn,
         {0x02, 0x07, 0x02, 0x00, 0xFF, 0x08, 0x03, 0x02, 0x07, 0x02, 0x01, 0xFF, 0x09, 0x03},
         "Led yellow On",
         2},
        {"Beeper", Beeper, {0x02, 0x06, 0x02, 0x02, 0x0A, 0x14, 0x03}, "Beeper"},
    };
}

}  // namespace zt::test
