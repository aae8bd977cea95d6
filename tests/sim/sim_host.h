// A host on a virtual clock for the reader tests: sends request frames, lets time pass and keeps
// the frames that came back, with the time each one was complete.
#pragma once

#include "sim/reader.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zt::sim::testing {

struct Got {
    Micros at;
    Frame frame;
};

class Host {
public:
    explicit Host(Reader& reader) : r(reader) {}

    void sendRaw(std::vector<std::uint8_t> bytes) { r.receive(bytes, now); }
    void send(std::uint8_t c, std::vector<std::uint8_t> data = {}) { sendRaw(makeFrame(c, data)); }

    /// Lets time run up to `until`, collecting whatever the reader emits on the way.
    void runUntil(Micros until) {
        while (auto due = r.nextDue()) {
            if (*due > until) break;
            now = std::max(now, *due);
            for (auto& e : r.collect(now)) {
                emissions.push_back(e);
                for (auto& f : assembler.feed(e.bytes)) got.push_back(Got{e.at, std::move(f)});
            }
        }
        now = std::max(now, until);
    }
    void runFor(Micros d) { runUntil(now + d); }

    /// Sends a request and returns the first answer to it (or a FrameError) within 100 ms of
    /// virtual time; card reports that come meanwhile stay in `got`.
    std::optional<Frame> ask(std::uint8_t c, std::vector<std::uint8_t> data = {}) {
        const std::size_t from = got.size();
        send(c, std::move(data));
        runFor(100'000);
        for (std::size_t i = from; i < got.size(); ++i)
            if (got[i].frame.code == c + 0x80 || got[i].frame.code == code::FrameError) return got[i].frame;
        return std::nullopt;
    }
    /// The one status byte of an answer; -1 when there is none.
    int status(std::uint8_t c, std::vector<std::uint8_t> data = {}) {
        auto f = ask(c, std::move(data));
        if (!f || f->code != c + 0x80 || f->data.size() != 1) return -1;
        return f->data[0];
    }
    int reports() const {
        return static_cast<int>(std::count_if(got.begin(), got.end(),
                                              [](const Got& g) { return g.frame.code == code::CardReport; }));
    }

    int select() { return status(code::Select); }
    int login(int block, int keyType, int slot) {
        return status(code::Login, {static_cast<std::uint8_t>(block), static_cast<std::uint8_t>(keyType),
                                    static_cast<std::uint8_t>(slot)});
    }

    Reader& r;
    Micros now = 0;
    FrameAssembler assembler;
    std::vector<Got> got;
    std::vector<Emission> emissions;
};

inline Block blockOf(std::initializer_list<std::uint8_t> head, std::uint8_t fill = 0) {
    Block b;
    b.fill(fill);
    std::copy(head.begin(), head.end(), b.begin());
    return b;
}

inline const Key kFactoryKey{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

}  // namespace zt::sim::testing
