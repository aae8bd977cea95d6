#include "core/encode/layouts.h"

#include "core/encode/ansi.h"
#include "core/encode/card_types.h"
#include "core/encode/config_card.h"
#include "core/encode/user_extras.h"
#include "core/link/hexlib.h"
#include "core/link/numeric.h"

namespace zt {

namespace {
const std::string kTail22(22, 'F');
}  // namespace

char CalcCheckDigit(std::string_view text) {
    int sum = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9') sum += c - '0';
    }
    return static_cast<char>('0' + (10 - sum % 10) % 10);
}

std::string CalcHexSum(std::string_view text) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < 20 && i < text.size(); i += 2) sum += LeadingHex(text.substr(i, 2), 2);
    return ByteToHex(static_cast<std::uint8_t>(sum & 0xFF));
}

std::string GetCardData(Ctx& ctx, int index) {
    const CardType* type = CardTypeOfIndex(index);
    if (type == nullptr) return {};
    const auto& m = ctx.m;
    const bool master = index == 0;
    const bool numeric = index >= 15 && index <= 24;
    const bool user = index >= 30 && index <= 32;

    // Head: type code, installation code, value field (nine characters for every type but a MASTER
    // whose current code is not four characters long).
    std::string head;
    if (master) {
        head = std::string(type->code) + ToAnsi(m.txtOldNumInst.text()) + std::string(type->value);
    } else if (numeric) {
        head = std::string(type->code) + "0000" + static_cast<char>('0' + (index - 15)) + "00";
    } else {
        head = std::string(type->code) + Right("0000" + ToAnsi(m.txtNumInst.text()), 4);
        head += user ? Right("000" + DecText(NumVal(ToAnsi(m.txtUser.text()))), 3) : std::string(type->value);
    }

    if (index == 1) {
        head += CalcCheckDigit(head);
        head += GetCfgData(ctx);
    } else if (index == 31 || index == 32) {
        const std::string extra = index == 31 ? GetNodeMap(ctx) : GetSaldoBlocks(ctx);
        // A balance the value block cannot hold leaves no card content at all.
        if (extra.empty()) return {};
        head += CalcCheckDigit(head);
        head += kTail22 + extra;
    }
    if (head.size() == 9) head += CalcCheckDigit(head);

    std::string second;
    if (master) {
        second = ToAnsi(m.txtNumInst.text()) + Right(std::string(12, 'F') + ToAnsi(m.txtKeyMF.text()), 12) +
                 Right("0000" + ToAnsi(m.txtSector.text()), 4);
        if (second.size() == 20) {
            second += CalcHexSum(second);
        } else {
            second.clear();
        }
    } else {
        second = kTail22;
    }

    if (second.size() == 22 && head.size() == 10) return head + second;
    if (head.size() == 32 || head.size() == 64 || head.size() == 96) return head;
    return {};
}

std::string TrailerText(std::string_view keyA) {
    return std::string(keyA) + std::string(TrailerAccess) + std::string(kTrailerKeyB);
}

}  // namespace zt
