#include "core/top/record.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <memory>

#include "core/encode/ansi.h"
#include "core/encode/card_types.h"
#include "core/encode/layouts.h"
#include "core/i18n/tooltip.h"
#include "core/link/hexlib.h"
#include "core/link/numeric.h"
#include "core/read/card_detail.h"

namespace zt {

namespace {

using What = CardEvent::What;

// Column headings: 365..373, then the contents in words.
constexpr int kHeadingFirst = 365;
constexpr int kHeadingLast = 373;
constexpr int kContentsHeading = 456;

// Characters `start` (counted from 1) to start + len - 1 of `s`, as far as they exist. Only plain
// printable ASCII is kept: a field that would carry anything else is shown empty.
std::string Mid(std::string_view s, std::size_t start, std::size_t len) {
    if (start < 1 || start > s.size()) return {};
    const std::string_view part = s.substr(start - 1, len);
    const bool plain = std::all_of(part.begin(), part.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
    return plain ? std::string(part) : std::string();
}

std::string Stamp(const LocalTime& t, bool withTime) {
    if (t.year == 0) return {};
    std::array<char, 40> buf{};
    if (withTime) {
        std::snprintf(buf.data(), buf.size(), "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                      t.minute, t.second);
    } else {
        std::snprintf(buf.data(), buf.size(), "%04d-%02d-%02d", t.year, t.month, t.day);
    }
    return buf.data();
}

std::string Stamp(const Ctx& ctx, bool withTime) {
    return ctx.pf.clock == nullptr ? std::string() : Stamp(ctx.pf.clock->now(), withTime);
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
            return GetMis(ctx, r.halfWritten ? 453 : 375);
        default:
            return GetMis(ctx, 376) + " " + std::to_string(r.key);
    }
}

std::string RepeatWords(const Ctx& ctx, const RecordRow& r) {
    std::string s = r.repeated ? GetMis(ctx, 377) : std::string();
    if (r.userRepeated) s += (s.empty() ? "" : "; ") + GetMis(ctx, 454);
    return s;
}

std::string ContentsWords(const Ctx& ctx, const RecordRow& r) {
    if (r.blocks[0].empty() || !r.sector) return {};
    CardReading card;
    card.sector = *r.sector;
    card.blocks = r.blocks;
    // A card written with one block: the others as a blank card has them.
    for (std::string& b : card.blocks) {
        if (b.empty()) b.assign(32, '0');
    }
    return CardContentsWords(ctx, card);
}

// The bytes of a 16-byte block that hold a key: key A (0-5) and key B (10-15) of a sector trailer,
// told by access bytes that check out; the new key (7-12) of a MASTER card's block.
std::vector<std::pair<int, int>> KeyBytes(const std::array<std::uint8_t, 16>& b) {
    const int c1 = b[7] >> 4, c2 = b[8] & 0x0F, c3 = b[8] >> 4;
    const bool trailer =
        (b[6] & 0x0F) == (~c1 & 0x0F) && (b[6] >> 4) == (~c2 & 0x0F) && (b[7] & 0x0F) == (~c3 & 0x0F);
    if (trailer) return {{0, 5}, {10, 15}};
    if (b[0] == 0x69) return {{7, 12}};
    return {};
}

bool IsHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

// Asks for a file name (events go on meanwhile) and saves the record or the log there. A failed write
// is shown in a box; nothing else changes. True once the file is written.
Co<bool> SaveAs(Ctx& ctx, CardRecord& rec, bool csv) {
    SaveFile* save = ctx.pf.save;
    if (save == nullptr || rec.saving) co_return false;
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
    const std::size_t rows = rec.rows().size();
    const bool written = !path.empty() && save->write(path, csv ? RecordCsv(ctx, rec) : LogText(ctx));
    if (written && csv) rec.savedRows = std::max(rec.savedRows, rows);
    if (!path.empty() && !written) {
        const std::string text = GetMis(ctx, 389) + "\r\n" + path;
        co_await MsgBox(ctx, text, {}, BoxIcon::Warning);
    }
    rec.saving = false;
    co_return written;
}

Co<> Save(Ctx& ctx, CardRecord& rec, bool csv) {
    co_await SaveAs(ctx, rec, csv);
}

// Save, close without saving, or stay.
Co<> CloseQuestion(Ctx& ctx, CardRecord& rec) {
    rec.asking = true;
    auto answer = std::make_shared<std::optional<int>>();
    Scheduler* sched = &ctx.sched;
    ctx.pf.box->ask(GetMis(ctx, 457), GetMis(ctx, 362), BoxIcon::Warning,
                    {GetMis(ctx, 458), GetMis(ctx, 459), GetMis(ctx, 460)}, [answer, sched](int i) {
                        *answer = i;
                        sched->pump();
                    });
    const std::optional<int>* got = answer.get();
    co_await ctx.sched.until([got] { return got->has_value(); });
    // Once saved, the rows are no longer unsaved: the window goes, unless a card came meanwhile.
    bool close = **got == 1;
    rec.mayClose = close;
    if (**got == 0) close = co_await SaveAs(ctx, rec, true);
    rec.asking = false;
    if (close && ctx.pf.window != nullptr) ctx.pf.window->close();
}

}  // namespace

void CardRecord::add(Ctx& ctx, const CardEvent& e) {
    if (e.what == What::Seen) {
        uid_ = UidText(ctx.st);
        return;
    }
    RecordRow r{.when = Stamp(ctx, true), .uid = uid_, .outcome = e.what};
    if (e.what == What::Read) {
        r.blocks = {e.block0, e.block1, e.block2};
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
        r.halfWritten = e.halfWritten;
        for (std::size_t b = 0; b < 3 && data.size() >= 32 * (b + 1); ++b) r.blocks[b] = data.substr(32 * b, 32);
    }
    const int row = static_cast<int>(rows_.size());
    rows_.push_back(std::move(r));

    std::vector<int> marked;
    // Rows written with the same key: each of them marked once there are two.
    auto mark = [&](std::vector<int>& same, bool RecordRow::*flag) {
        same.push_back(row);
        for (int i : same) {
            if (same.size() < 2 || rows_[i].*flag) continue;
            rows_[i].*flag = true;
            if (i != row && std::find(marked.begin(), marked.end(), i) == marked.end()) marked.push_back(i);
        }
    };
    if (e.what == What::Written && !uid_.empty()) mark(written_[uid_], &RecordRow::repeated);
    if (e.what == What::Written && !rows_[row].user.empty())
        mark(users_[rows_[row].inst + "/" + rows_[row].user], &RecordRow::userRepeated);
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

int CardRecord::repeatedUsers() const {
    return static_cast<int>(
        std::count_if(users_.begin(), users_.end(), [](const auto& w) { return w.second.size() > 1; }));
}

std::vector<std::string> RecordCells(const Ctx& ctx, const RecordRow& r) {
    return {r.when,
            r.uid,
            TypeWords(ctx, r),
            r.user,
            r.inst,
            r.sector ? std::to_string(*r.sector) : std::string(),
            OutcomeWords(ctx, r),
            HideKeys(r.reason),
            RepeatWords(ctx, r),
            ContentsWords(ctx, r)};
}

std::vector<std::string> RecordHeadings(const Ctx& ctx) {
    std::vector<std::string> out;
    for (int n = kHeadingFirst; n <= kHeadingLast; ++n) out.push_back(GetMis(ctx, n));
    out.push_back(GetMis(ctx, kContentsHeading));
    return out;
}

std::string RecordCounts(const Ctx& ctx, const CardRecord& rec) {
    struct Tally {
        std::string type;
        std::array<int, 3> n{};  // written, failed, read
    };
    std::vector<Tally> tallies;
    Tally all;
    for (const RecordRow& r : rec.rows()) {
        ++all.n[r.outcome == What::Written ? 0 : r.outcome == What::Failed ? 1 : 2];
        const std::string type = TypeWords(ctx, r);
        auto it =
            std::find_if(tallies.begin(), tallies.end(), [&](const Tally& t) { return t.type == type; });
        if (it == tallies.end()) it = tallies.insert(tallies.end(), Tally{type});
        ++it->n[r.outcome == What::Written ? 0 : r.outcome == What::Failed ? 1 : 2];
    }
    // "written 3, failed 1": the outcomes that occur, or all three for the totals.
    auto parts = [&ctx](const Tally& t, bool every) {
        std::string s;
        for (int k = 0; k < 3; ++k) {
            if (t.n[k] == 0 && !every) continue;
            if (!s.empty()) s += ", ";
            s += GetMis(ctx, 378 + k) + " " + std::to_string(t.n[k]);
        }
        return s;
    };
    std::string s = GetMis(ctx, 381) + ": " + std::to_string(rec.rows().size()) + " (" + parts(all, true) + ")";
    for (const Tally& t : tallies) s += "  |  " + t.type + ": " + parts(t, false);
    s += "  |  " + GetMis(ctx, 382) + ": " + std::to_string(rec.repeatedUids());
    return s + "  |  " + GetMis(ctx, 455) + ": " + std::to_string(rec.repeatedUsers());
}

std::string CsvLine(const std::vector<std::string>& cells, char sep) {
    const char special[] = {sep, '"', '\r', '\n', '\0'};
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0) line += sep;
        const std::string& c = cells[i];
        if (c.find_first_of(special) == std::string::npos) {
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
    // The language's own list separator, so that its spreadsheets split the columns.
    const std::string& given = GetMis(ctx, 462);
    const char sep = given.size() == 1 && given != "\"" ? given[0] : ',';
    std::string out = "\xEF\xBB\xBF" + CsvLine(RecordHeadings(ctx), sep);
    for (const RecordRow& r : rec.rows()) out += CsvLine(RecordCells(ctx, r), sep);
    return out;
}

std::string HideKeys(std::string_view line) {
    struct Cut {
        std::size_t from, to;
    };
    std::vector<Cut> cuts;
    std::array<std::uint8_t, 16> b{};
    std::array<std::size_t, 17> at{};  // where byte k of the block starts in the line
    // A block found: each key's text, from its first byte's start to its last byte's end.
    auto found = [&](std::size_t width) {
        for (const auto& [first, last] : KeyBytes(b)) cuts.push_back({at[first], at[last] + width});
    };
    auto alnum = [&line](std::size_t i) {
        return i < line.size() && std::isalnum(static_cast<unsigned char>(line[i])) != 0;
    };
    auto token = [&](std::size_t p) {  // "0xHH" standing alone at p
        return p + 4 <= line.size() && line.compare(p, 2, "0x") == 0 && IsHex(line[p + 2]) &&
               IsHex(line[p + 3]) && !alnum(p + 4);
    };
    for (std::size_t i = 0; i < line.size();) {
        if ((i == 0 || !alnum(i - 1)) && token(i)) {
            // Bytes "0xHH" one blank apart: a block when exactly sixteen stand in a row.
            std::size_t n = 0;
            for (std::size_t p = i; n < 17 && token(p); p += 5) {
                if (n < 16) b[n] = HexToByte(line.substr(p + 2, 2));
                at[n++] = p;
                if (p + 4 >= line.size() || line[p + 4] != ' ') break;
            }
            if (n == 16) found(4);
            i = at[n - 1] + 4;
            continue;
        }
        std::size_t end = i;
        while (end < line.size() && IsHex(line[end])) ++end;
        if (end - i == 32 && (i == 0 || !alnum(i - 1)) && !alnum(end)) {
            for (std::size_t k = 0; k < 16; ++k) {
                b[k] = HexToByte(line.substr(i + 2 * k, 2));
                at[k] = i + 2 * k;
            }
            found(2);
        }
        i = end > i ? end : i + 1;
    }
    std::string out(line);
    std::sort(cuts.begin(), cuts.end(), [](const Cut& x, const Cut& y) { return x.from > y.from; });
    for (const Cut& c : cuts) out.replace(c.from, c.to - c.from, kKeyMark);
    return out;
}

std::string LogText(const Ctx& ctx) {
    std::string out;
    const auto& lines = ctx.m.listInfo.items();
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const std::string line = HideKeys(lines[n]);
        if (n < ctx.logTimes.size()) {
            const std::string when = Stamp(ctx.logTimes[n], true);
            if (!when.empty()) out += when + "  ";
        }
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
    ctx.m.cmdSaveLog.setText(GetMis(ctx, 463));
    rec.frmRecord.setText(GetMis(ctx, 362));
    rec.cmdRecordCsv.setText(GetMis(ctx, 363));
    rec.cmdLogSave.setText(GetMis(ctx, 364));
    const std::pair<Control*, int> tipped[] = {{&ctx.m.cmdRecord, 361},   {&ctx.m.chkVerify, 450},
                                               {&rec.cmdRecordCsv, 451}, {&rec.cmdLogSave, 452},
                                               {&ctx.m.cmdSaveLog, 452}};
    for (const auto& [c, n] : tipped) tips.CreateTip(*c, GetMis(ctx, n), "");
    if (ctx.pf.save != nullptr) ctx.pf.save->setLanguage(GetMis(ctx, 461));
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
    } else if (name == "cmdRecordCsv" || name == "cmdLogSave" || name == "cmdSaveLog") {
        ctx.sched.spawn(Save(ctx, rec, name == "cmdRecordCsv"));
    } else {
        return false;
    }
    return true;
}

bool HoldClose(Ctx& ctx, CardRecord& rec) {
    if (rec.asking) return true;
    if (rec.mayClose || !rec.unsaved() || ctx.pf.box == nullptr) return false;
    ctx.sched.spawn(CloseQuestion(ctx, rec));
    return true;
}

}  // namespace zt
