// The fields a run reads, looked at before it starts and while the operator types: a field is well
// formed when what goes onto the card (or what the read run uses) is what the field shows, within
// what the terminal takes.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/ctx.h"

namespace zt {

class CardRecord;
class Tooltip;

// One field that is not well formed: its name in the window's words, what it holds, why it is not
// well formed and what the card would get from it.
struct Finding {
    const Control* field = nullptr;
    std::string name, held, why, gives;
};

// What the run of `button` ("cmdStart(0)".."cmdStart(2)", "cmdLecTar") would read amiss, for the
// card types ticked, in the order the run reads the fields; a user-card run also names a user
// number already written in this session. Empty when every field is well formed.
std::vector<Finding> CheckStart(Ctx& ctx, const CardRecord& record, std::string_view button);
// The question put to the operator: one paragraph per finding.
std::string FindingsText(const Ctx& ctx, const std::vector<Finding>& findings);

// The marks of the fields that are not well formed: a background of their own and a line in the
// tooltip saying why. A field that is well formed again gets back the background it had.
class FieldMarks {
public:
    // Marks again on every change of a watched field (and of the boxes that decide what it needs).
    void watch(Ctx& ctx, std::function<Tooltip*()> tips);
    // Looks at every watched field; `tips` may be null (no tooltips yet, or gone).
    void apply(Ctx& ctx, Tooltip* tips);
    bool marked(const Control& c) const { return saved_.count(&c) != 0; }

private:
    std::map<const Control*, Colour> saved_;  // marked field -> the background it had
};

// The background of a marked field.
inline constexpr Colour kMarkColour = rgb(255, 200, 200);

}  // namespace zt
