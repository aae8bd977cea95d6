// The read tab's detail field txtInfoDetail: everything the card holds, in the current language.
#pragma once

#include <string>

#include "core/app/ctx.h"

namespace zt {

// The details of `card`, one line each, in the current language. A card that fails a check (check
// digit, sum, value block, not ours, nothing written) says what fails in the first line, marked.
struct CardDetail {
    std::string text;
    bool faulty = false;
};
CardDetail DescribeCard(const Ctx& ctx, const CardReading& card);
std::string CardDetailText(const Ctx& ctx, const CardReading& card);

// What the card holds beyond its type, installation and user, on one line ("; " between the
// details), without any key; for a card not of ours, what it is.
std::string CardContentsWords(const Ctx& ctx, const CardReading& card);

// Shows `card` in the detail field and keeps it for a language switch.
void ShowCardDetail(Ctx& ctx, CardReading card);
// The empty field; nothing is kept.
void ClearCardDetail(Ctx& ctx);
// After a language switch: the card shown, in the new language.
void RedrawCardDetail(Ctx& ctx);

}  // namespace zt
