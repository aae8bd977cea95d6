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
// `halfWritten`: the first write had gone out, so the card may hold part of its contents.
inline void CardFailed(Ctx& ctx, int type, bool halfWritten = false) {
    const auto& log = ctx.m.listInfo.items();
    NoteCard(ctx, {.what = CardEvent::What::Failed,
                   .type = type,
                   .reason = log.empty() ? "" : log.back(),
                   .halfWritten = halfWritten});
}
inline void CardRead(Ctx& ctx, int key, std::int16_t sector, const std::string& block0,
                     const std::string& block1 = {}, const std::string& block2 = {}) {
    NoteCard(ctx, {.what = CardEvent::What::Read,
                   .key = key,
                   .sector = sector,
                   .block0 = block0,
                   .block1 = block1,
                   .block2 = block2});
}

}  // namespace zt
