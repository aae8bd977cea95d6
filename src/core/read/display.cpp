#include "core/read/display.h"

#include <string_view>

#include "core/encode/card_types.h"
#include "core/read/card_detail.h"

namespace zt {

namespace {

// Characters `start` (counted from 1) to start + len - 1 of `s`; whatever of them exists.
std::string_view Mid(std::string_view s, std::size_t start, std::size_t len) {
    if (start < 1 || start > s.size()) return {};
    return s.substr(start - 1, len);
}

std::string CardTypeText(const Ctx& ctx, std::string_view block0) {
    const std::string_view code = Mid(block0, 1, 2);
    for (const CardType& t : CardTypes()) {
        if (t.code != code) continue;
        std::string text = GetMis(ctx, t.message);
        switch (t.show) {
            case ShowAs::Alone:
                break;
            case ShowAs::WithValue:
                text += " - ";
                text += Mid(block0, 7, 3);
                break;
            case ShowAs::WithDigit:
                text += " ";
                text += Mid(block0, 7, 1);
                break;
        }
        return text;
    }
    return GetMis(ctx, 216);
}

}  // namespace

void ShowCardInfo(Ctx& ctx, const std::string& key, std::int16_t sector, const std::string& block0,
                  const std::string& block1, const std::string& block2) {
    auto& m = ctx.m;
    const std::string& inst = GetMis(ctx, 198);
    const std::string& keyWord = GetMis(ctx, 199);
    const std::string& sectorWord = GetMis(ctx, 200);

    if (block0.empty()) {
        m.txtInfoCard.setText("----");
        m.txtInfoInst.setText(inst + ": ----");
        m.txtInfoKey.setText(keyWord + ": ------------     " + sectorWord + ": --");
        for (int i = 0; i <= 2; ++i) m.txtInfoRead(i).setText("");
        ClearCardDetail(ctx);
        return;
    }

    m.txtInfoCard.setText(CardTypeText(ctx, block0));
    m.txtInfoInst.setText(inst + ": " + std::string(Mid(block0, 3, 4)));
    m.txtInfoKey.setText(keyWord + ": " + key + "     " + sectorWord + ": " + std::to_string(sector));
    m.txtInfoRead(0).setText(block0);
    m.txtInfoRead(1).setText(block1);
    m.txtInfoRead(2).setText(block2);
}

}  // namespace zt
