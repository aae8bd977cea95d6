#include "core/encode/user_extras.h"

#include <array>

#include "core/encode/ansi.h"
#include "core/link/hexlib.h"
#include "core/link/numeric.h"

namespace zt {

std::string GetNodeMap(Ctx& ctx) {
    std::array<std::uint8_t, 32> map{};
    const auto& entries = ctx.m.listPermit.items();
    for (std::size_t i = 0; i < entries.size() && i < 256; ++i) {
        if (entries[i].empty()) break;
        const double node = NumVal(Right(ToAnsi(entries[i]), 3));
        // The lists only ever hold nodes 0..255, once each.
        if (!(node >= 0 && node <= 255)) continue;
        const auto n = static_cast<unsigned>(node);
        map[n / 8] = static_cast<std::uint8_t>(map[n / 8] + (1u << (n % 8)));
    }
    std::string hex;
    for (auto b : map) hex += ByteToHex(b);
    return hex;
}

std::optional<std::int32_t> SaldoValue(const Ctx& ctx) {
    return NumVal32(ToAnsi(ctx.m.txtSalVal.text()));
}

std::string GetSaldoBlocks(Ctx& ctx) {
    const auto value = SaldoValue(ctx);
    if (!value) return {};
    const auto v = static_cast<std::uint32_t>(*value);
    // Out-of-range sectors are refused by the run before a card is touched; here they only need
    // to give some address byte.
    const int sector = NumVal16(ToAnsi(ctx.m.txtSector.text())).value_or(0);

    auto block = [v](int partner) {
        const auto a = static_cast<std::uint8_t>(partner & 0xFF);
        std::string s;
        for (int i = 0; i < 4; ++i) s += ByteToHex(static_cast<std::uint8_t>(v >> (8 * i)));
        for (int i = 0; i < 4; ++i) s += ByteToHex(static_cast<std::uint8_t>(~v >> (8 * i)));
        for (int i = 0; i < 4; ++i) s += ByteToHex(static_cast<std::uint8_t>(v >> (8 * i)));
        const auto na = static_cast<std::uint8_t>(~a);
        return s + ByteToHex(a) + ByteToHex(na) + ByteToHex(a) + ByteToHex(na);
    };
    return block(4 * sector + 2) + block(4 * sector + 1);
}

}  // namespace zt
