// The runs' one-line reports on the cards they handle (see card_event.h).
#pragma once

#include <string>

#include "core/app/ctx.h"

namespace zt {

inline void NoteCard(Ctx& ctx, CardEvent e) {
    if (ctx.onCard) ctx.onCard(e);
}

// Right after the card report's UID line (or the message that stands for it).
inline void CardSeen(Ctx& ctx) {
    NoteCard(ctx, {.what = CardEvent::What::Seen});
}
inline void CardWritten(Ctx& ctx, int type) {
    NoteCard(ctx, {.what = CardEvent::What::Written, .type = type});
}
// Called where the run takes a card failure: the line it logged last is the reason.
inline void CardFailed(Ctx& ctx, int type) {
    const auto& log = ctx.m.listInfo.items();
    NoteCard(ctx, {.what = CardEvent::What::Failed, .type = type, .reason = log.empty() ? "" : log.back()});
}
inline void CardRead(Ctx& ctx, int key, std::int16_t sector, const std::string& block0) {
    NoteCard(ctx, {.what = CardEvent::What::Read, .key = key, .sector = sector, .block0 = block0});
}

}  // namespace zt
