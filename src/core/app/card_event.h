// What the runs tell about the cards they handle, for the card record. The runs only report; what
// becomes of a report is up to whoever listens (Ctx::onCard).
#pragma once

#include <cstdint>
#include <string>

namespace zt {

struct CardEvent {
    enum class What : std::uint8_t {
        Seen,     // a card report was logged: its UID is the one of the card now in hand
        Written,  // an encoding run finished a card
        Failed,   // an encoding run gave a card up
        Read,     // the read run showed a card
    };
    What what = What::Seen;
    int type = -1;            // Written, Failed: the cSelTar index of the card type
    std::string reason{};     // Failed: the log line that said why
    bool halfWritten = false; // Failed: a block had been written, or sent, when the card was given up
    int key = 0;              // Read: the test key (1..3) that opened the card
    std::int16_t sector = 0;  // Read: the data sector read
    std::string block0{};     // Read: its first data block, 32 hex characters
    std::string block1{}, block2{};  // Read: the other two data blocks
};

}  // namespace zt
