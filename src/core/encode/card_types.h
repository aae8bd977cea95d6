// The card types and their type codes: one table for making cards and for reading them back.
#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace zt {

// How the read tab shows a card of a code: the message alone, followed by " - " and the value
// field (user cards), or by a blank and the digit (numeric cards).
enum class ShowAs { Alone, WithValue, WithDigit };

struct CardType {
    std::string_view code;   // characters 1-2 of the first block
    int index;               // cSelTar index that makes it; -1 for codes recognised but never written
    std::string_view value;  // value field written for it ("" where it comes from elsewhere)
    int message;             // message shown on the read tab
    ShowAs show;
};

// In the order the read side compares codes; the first equal code decides.
std::span<const CardType> CardTypes();

// The row of a cSelTar index (the numeric cards 15-24 share the row of code "83").
const CardType* CardTypeOfIndex(int index);
// The row of a type code, or nullptr.
const CardType* CardTypeOfCode(std::string_view code);

}  // namespace zt
