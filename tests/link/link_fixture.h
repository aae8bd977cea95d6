// A window context with the link wired as the window wires it, on fakes and a virtual clock.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/app/ctx.h"
#include "core/app/virtual_clock.h"
#include "core/link/receive.h"
#include "core/link/ticks.h"
#include "support/fakes.h"

namespace zt::test {

// "02 80 00" -> bytes.
inline ByteVec wire(std::string_view spaced) {
    ByteVec out;
    for (std::size_t i = 0; i + 1 < spaced.size();) {
        if (spaced[i] == ' ') {
            ++i;
            continue;
        }
        out.push_back(static_cast<std::uint8_t>(std::stoi(std::string(spaced.substr(i, 2)), nullptr, 16)));
        i += 2;
    }
    return out;
}

class LinkFixture {
public:
    LinkFixture() : ctx(platform()) {
        ctx.st.aAtqa.assign(3, 0);
        ctx.st.aUid.assign(12, 0);
        ctx.st.Mis[0][172] = "Ports";
        ctx.st.Mis[0][173] = "Scan";
        ctx.st.Mis[0][283] = "Link lost";
        Ctx* c = &ctx;
        serial.onData = [c](Bytes b) { OnSerialData(*c, b); };
        serial.onLost = [c] { OnLinkLost(*c, 1); };
        socket.onConnected = [c] { OnSocketConnected(*c); };
        socket.onData = [c](Bytes b) { OnSocketData(*c, b); };
        socket.onLost = [c] { OnLinkLost(*c, 2); };
        timer.start(kTickMs, [c] { Timer1_Timer(*c); });
    }
    ~LinkFixture() { timer.stop(); }

    const std::vector<std::string>& log() const { return ctx.m.listInfo.items(); }
    // Runs the clock until `done` or `seconds` of virtual time have passed.
    bool runUntil(const std::function<bool()>& done, double seconds = 60) {
        return clock.runUntil(done, clock.now() + static_cast<Micros>(seconds * 1e6));
    }
    double seconds() const { return static_cast<double>(clock.now()) / 1e6; }

    VirtualClock clock;
    VirtualTimer timer{clock};
    FakeSerial serial;
    FakeSocket socket{clock};
    FakeBox box{clock};
    Ctx ctx;

private:
    Platform platform() {
        Platform pf;
        pf.serial = &serial;
        pf.socket = &socket;
        pf.box = &box;
        pf.timer = &timer;
        return pf;
    }
};

}  // namespace zt::test
