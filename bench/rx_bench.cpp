// The receive path: bytes from the reader through RxByte -> CheckFrame -> DecodeAnswer into the
// answer state and the activity log, with the answers of one card made and one card read, over and
// over.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "core/app/ctx.h"
#include "core/app/log.h"
#include "core/link/receive.h"
#include "sim/frame.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// The answers of one USUARIO BASICO card made and one card read, as the reader sends them.
Bytes MixedStream() {
    using zt::sim::makeFrame;
    const Bytes block(16, 0x5A);
    std::vector<Bytes> frames{
        makeFrame(0x80),
        makeFrame(0x81),                                              // TestLink, StartUp
        makeFrame(0x90, {0xA1, 0x04, 0x00, 0x1A, 0x2B, 0x3C, 0x4D}),  // card report with ATQA
        makeFrame(0x91, {0x01}),
        makeFrame(0x87),
        makeFrame(0x87),  // Select, yellow LED
        makeFrame(0xA0, {0x00}),
        makeFrame(0xA1, {0x00}),  // key stored, login
        makeFrame(0xA3, {0x00}),
        makeFrame(0xA3, {0x00}),  // data block, trailer
        makeFrame(0x92, {0x00}),  // Halt
        makeFrame(0x86),
        makeFrame(0x86),
        makeFrame(0x86),                                  // green LED, beeper
        makeFrame(0x90, {0x01, 0x1A, 0x2B, 0x3C, 0x4D}),  // card report
        makeFrame(0x91, {0x01}),
        makeFrame(0xA1, {0x00}),  // Select, login
        makeFrame(0xA2, block),
        makeFrame(0xA2, block),
        makeFrame(0xA2, block),  // three blocks
        makeFrame(0x92, {0x00}),
        makeFrame(0xFE),  // Halt, a frame error
    };
    Bytes out;
    for (const auto& f : frames) out.insert(out.end(), f.begin(), f.end());
    return out;
}

// The same frames with answer codes the decoder does not know: assembled and checked like the
// others, then ignored without a line. The difference to the mixed stream is what decoding and
// logging cost.
Bytes IgnoredStream() {
    Bytes out = MixedStream();
    std::size_t i = 0;
    while (i + 4 < out.size()) {
        const std::size_t len = out[i + 2];
        const std::uint8_t code = out[i + 1];
        out[i + 1] = 0x94;  // no answer of the reader has this code
        out[i + 3 + len] = static_cast<std::uint8_t>(out[i + 3 + len] + 0x94 - code);
        i += len + 5;
    }
    return out;
}

struct Window {
    explicit Window(bool observed) : ctx(zt::Platform{}) {
        ctx.st.aAtqa.assign(3, 0);
        ctx.st.aUid.assign(12, 0);
        ctx.st.LinkType = 2;
        // What the window's list view does with each new line: note that it has to catch up.
        if (observed) ctx.m.listInfo.observe([this](zt::Control&, zt::Prop, int) { ++pending; });
    }
    // The log is emptied now and then, as the operator's "Borrar" does, so that its growth (measured
    // on its own) does not blur this figure.
    void trim() {
        if (ctx.m.listInfo.itemCount() > 200'000) zt::cBorrar_Click(ctx);
    }
    zt::Ctx ctx;
    std::uint64_t pending = 0;
};

void ByteByByte(benchmark::State& state, bool observed, bool ignored) {
    const Bytes stream = ignored ? IgnoredStream() : MixedStream();
    Window w(observed);
    for (auto _ : state) {
        for (std::uint8_t b : stream) zt::RxByte(w.ctx, b);
        w.trim();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * stream.size()));
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * 22, benchmark::Counter::kIsRate);
}

// The same through the socket's data event, one TCP segment's worth of bytes per event.
void Segments(benchmark::State& state) {
    Bytes stream;
    const Bytes one = MixedStream();
    while (stream.size() < 1460) stream.insert(stream.end(), one.begin(), one.end());
    stream.resize(1460);
    Window w(true);
    for (auto _ : state) {
        zt::OnSocketData(w.ctx, zt::Bytes(stream.data(), stream.size()));
        w.trim();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * stream.size()));
}

}  // namespace

BENCHMARK_CAPTURE(ByteByByte, log_unobserved, false, false);
BENCHMARK_CAPTURE(ByteByByte, log_observed, true, false);
BENCHMARK_CAPTURE(ByteByByte, frames_ignored, false, true);
BENCHMARK(Segments);
BENCHMARK_MAIN();
