#include "core/top/record.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>

#include "core/encode/ansi.h"
#include "core/encode/card_types.h"
#include "core/encode/layouts.h"
#include "core/i18n/tooltip.h"
#include "core/link/hexlib.h"
#include "core/link/numeric.h"

namespace zt {

namespace {

using What = CardEvent::What;

constexpr int kHeadingFirst = 365;
constexpr int kColumns = 9;

// Characters `start` (counted from 1) to start + len - 1 of `s`, as far as they exist. Only plain
// printable ASCII is kept: a field that would carry anything else is shown empty.
std::string Mid(std::string_view s, std::size_t start, std::size_t len) {
    if (start < 1 || start > s.size()) return {};
    const std::string_view part = s.substr(start - 1, len);
    const bool plain = std::all_of(part.begin(), part.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
    return plain ? std::string(part) : std::string();
}

std::string Stamp(const Ctx& ctx, bool withTime) {
    if (ctx.pf.clock == nullptr) return {};
    const LocalTime t = ctx.pf.clock->now();
    std::array<char, 40> buf{};
    if (withTime) {
        std::snprintf(buf.data(), buf.size(), "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                      t.minute, t.second);
    } else {
        std::snprintf(buf.data(), buf.size(), "%04d-%02d-%02d", t.year, t.month, t.day);
    }
    return buf.data();
}

// The UID bytes of the last card report, as the identification line writes them.
std::string UidText(const WindowState& st) {
    const std::size_t n = st.iUidSize == 1 ? 4 : st.iUidSize == 2 ? 7 : st.iUidSize == 3 ? 10 : 0;
    std::string out;
    for (std::size_t i = 2; i < 2 + n && i < st.aUid.size(); ++i) {
        if (!out.empty()) out += ' ';
        out += HexByte(st.aUid[i]);
    }
    return out;
}

std::string TypeWords(const Ctx& ctx, const RecordRow& r) {
    const CardType* t = CardTypeOfCode(r.code);
    if (t == nullptr) return GetMis(ctx, 216);
    std::string s = GetMis(ctx, t->message);
    if (t->show == ShowAs::WithDigit && r.digit != 0) s += std::string(" ") + r.digit;
    return s;
}

std::string OutcomeWords(const Ctx& ctx, const RecordRow& r) {
    switch (r.outcome) {
        case What::Written:
            return GetMis(ctx, 374);
        case What::Failed:
            return GetMis(ctx, 375);
        default:
            return GetMis(ctx, 376) + " " + std::to_string(r.key);
    }
}

// Asks for a file name (events go on meanwhile) and saves the record or the log there. A failed write
// is shown in a box; nothing else changes.
Co<> SaveAs(Ctx& ctx, CardRecord& rec, bool csv) {
    SaveFile* save = ctx.pf.save;
    if (save == nullptr || rec.saving) co_return;
    rec.saving = true;
    auto chosen = std::make_shared<std::optional<std::string>>();
    Scheduler* sched = &ctx.sched;
    const std::string date = Stamp(ctx, false);
    const std::string name =
        GetMis(ctx, csv ? 387 : 388) + (date.empty() ? "" : "-" + date) + (csv ? ".csv" : ".txt");
    save->choose(GetMis(ctx, csv ? 383 : 384), name, GetMis(ctx, csv ? 385 : 386),
                 [chosen, sched](std::string path) {
                     *chosen = std::move(path);
                     sched->pump();
                 });
    const std::optional<std::string>* picked = chosen.get();
    co_await ctx.sched.until([picked] { return picked->has_value(); });
    const std::string path = **picked;
    // Taken now, so that cards finished while the dialog was open are in it.
    if (!path.empty() && !save->write(path, csv ? RecordCsv(ctx, rec) : LogText(ctx))) {
        co_await MsgBox(ctx, GetMis(ctx, 389) + "\r\n" + path, {}, BoxIcon::Warning);
    }
    rec.saving = false;
}

}  // namespace

void CardRecord::add(Ctx& ctx, const CardEvent& e) {
    if (e.what == What::Seen) {
        uid_ = UidText(ctx.st);
        return;
    }
    RecordRow r{.when = Stamp(ctx, true), .uid = uid_, .outcome = e.what};
    if (e.what == What::Read) {
        r.code = Mid(e.block0, 1, 2);
        const CardType* t = CardTypeOfCode(r.code);
        if (t != nullptr && t->show == ShowAs::WithDigit) r.digit = Mid(e.block0, 7, 1).c_str()[0];
        if (t != nullptr && t->show == ShowAs::WithValue) r.user = Mid(e.block0, 7, 3);
        r.inst = Mid(e.block0, 3, 4);
        r.sector = e.sector;
        r.key = e.key;
    } else {
        // What the card holds (or was to hold): the same head the read side decodes.
        if (const CardType* t = CardTypeOfIndex(e.type)) r.code = std::string(t->code);
        if (e.type >= 15 && e.type <= 24) r.digit = static_cast<char>('0' + e.type - 15);
        const std::string data = GetCardData(ctx, e.type);
        r.inst = Mid(data, 3, 4);
        if (e.type >= 30 && e.type <= 32) r.user = Mid(data, 7, 3);
        const Control& sectorBox = e.type == 0 ? ctx.m.txtOldSector : ctx.m.txtSector;
        const auto sector = NumVal16(ToAnsi(sectorBox.text()));
        if (sector && *sector >= 0 && *sector <= 63) r.sector = *sector;
        r.reason = e.reason;
    }
    const int row = static_cast<int>(rows_.size());
    rows_.push_back(std::move(r));

    std::vector<int> marked;
    if (e.what == What::Written && !uid_.empty()) {
        auto& same = written_[uid_];
        same.push_back(row);
        for (int i : same) {
            if (same.size() < 2 || rows_[i].repeated) continue;
            rows_[i].repeated = true;
            if (i != row) marked.push_back(i);
        }
    }
    if (onRow) {
        onRow(row, true);
        for (int i : marked) onRow(i, false);
    }
    lblRecordCounts.setText(RecordCounts(ctx, *this));
}

int CardRecord::repeatedUids() const {
    return static_cast<int>(
        std::count_if(written_.begin(), written_.end(), [](const auto& w) { return w.second.size() > 1; }));
}

std::vector<std::string> RecordCells(const Ctx& ctx, const RecordRow& r) {
    return {r.when,
            r.uid,
            TypeWords(ctx, r),
            r.user,
            r.inst,
            r.sector ? std::to_string(*r.sector) : std::string(),
            OutcomeWords(ctx, r),
            r.reason,
            r.repeated ? GetMis(ctx, 377) : std::string()};
}

std::vector<std::string> RecordHeadings(const Ctx& ctx) {
    std::vector<std::string> out;
    for (int i = 0; i < kColumns; ++i) out.push_back(GetMis(ctx, kHeadingFirst + i));
    return out;
}

std::string RecordCounts(const Ctx& ctx, const CardRecord& rec) {
    struct Tally {
        std::string type;
        std::array<int, 3> n{};  // written, failed, read
    };
    std::vector<Tally> tallies;
    for (const RecordRow& r : rec.rows()) {
        const std::string type = TypeWords(ctx, r);
        auto it =
            std::find_if(tallies.begin(), tallies.end(), [&](const Tally& t) { return t.type == type; });
        if (it == tallies.end()) it = tallies.insert(tallies.end(), Tally{type});
        ++it->n[r.outcome == What::Written ? 0 : r.outcome == What::Failed ? 1 : 2];
    }
    std::string s = GetMis(ctx, 381) + ": " + std::to_string(rec.rows().size());
    for (const Tally& t : tallies) {
        std::string parts;
        for (int k = 0; k < 3; ++k) {
            if (t.n[k] == 0) continue;
            if (!parts.empty()) parts += ", ";
            parts += GetMis(ctx, 378 + k) + " " + std::to_string(t.n[k]);
        }
        s += "  |  " + t.type + ": " + parts;
    }
    return s + "  |  " + GetMis(ctx, 382) + ": " + std::to_string(rec.repeatedUids());
}

std::string CsvLine(const std::vector<std::string>& cells) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) line += ',';
        const std::string& c = cells[i];
        if (c.find_first_of(",\"\r\n") == std::string::npos) {
            line += c;
            continue;
        }
        line += '"';
        for (char ch : c) {
            if (ch == '"') line += '"';
            line += ch;
        }
        line += '"';
    }
    return line + "\r\n";
}

std::string RecordCsv(const Ctx& ctx, const CardRecord& rec) {
    std::string out = "\xEF\xBB\xBF" + CsvLine(RecordHeadings(ctx));
    for (const RecordRow& r : rec.rows()) out += CsvLine(RecordCells(ctx, r));
    return out;
}

std::string LogText(const Ctx& ctx) {
    std::string out;
    for (const std::string& line : ctx.m.listInfo.items()) {
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (line[i] == '\r' || line[i] == '\n') {
                if (line[i] == '\r' && i + 1 < line.size() && line[i + 1] == '\n') ++i;
                out += "\r\n";
            } else {
                out += line[i];
            }
        }
        out += "\r\n";
    }
    return out;
}

void ApplyRecordTexts(Ctx& ctx, CardRecord& rec, Tooltip& tips) {
    ctx.m.cmdRecord.setText(GetMis(ctx, 360));
    tips.CreateTip(ctx.m.cmdRecord, GetMis(ctx, 361), "");
    rec.frmRecord.setText(GetMis(ctx, 362));
    rec.cmdRecordCsv.setText(GetMis(ctx, 363));
    rec.cmdLogSave.setText(GetMis(ctx, 364));
    const std::vector<std::string> headings = RecordHeadings(ctx);
    if (rec.gridRecord.items() != headings) {
        rec.gridRecord.clearItems();
        for (const std::string& h : headings) rec.gridRecord.addItem(h);
    }
    rec.lblRecordCounts.setText(RecordCounts(ctx, rec));
}

bool RecordClick(Ctx& ctx, CardRecord& rec, std::string_view name) {
    if (name == "cmdRecord") {
        rec.frmRecord.setValue(rec.frmRecord.value() + 1);
    } else if (name == "cmdRecordCsv" || name == "cmdLogSave") {
        ctx.sched.spawn(SaveAs(ctx, rec, name == "cmdRecordCsv"));
    } else {
        return false;
    }
    return true;
}

}  // namespace zt
