// The card record: one row for every card the runs finished since start-up, kept in memory only,
// with the controls of its window frmRecord. Nothing is written anywhere unless the operator saves.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/ctx.h"

namespace zt {

class Tooltip;

struct RecordRow {
    std::string when{};         // local "YYYY-MM-DD HH:MM:SS"
    std::string uid{};          // "1A 2B 3C 4D", as in the identification line
    CardEvent::What outcome{};  // Written, Failed or Read
    std::string code{};         // type code of the card ("10"); empty when none is known
    char digit = 0;             // numeric cards: '0'..'9'
    std::string user{};         // user cards: the three digits of the user number
    std::string inst{};         // installation code as the card carries it
    std::optional<int> sector{};
    int key = 0;            // Read: the test key that opened the card
    std::string reason{};   // Failed: the log line that said why
    bool repeated = false;  // Written: the same UID was written more than once
};

class CardRecord {
public:
    // The window. Its value counts the times it was asked for: each time it shows itself on top.
    Control frmRecord{"frmRecord", Kind::Window, ""};
    // The table; its items are the column headings.
    Control gridRecord{"gridRecord", Kind::ListBox, "frmRecord"};
    Control lblRecordCounts{"lblRecordCounts", Kind::Label, "frmRecord"};
    Control cmdRecordCsv{"cmdRecordCsv", Kind::Button, "frmRecord"};
    Control cmdLogSave{"cmdLogSave", Kind::Button, "frmRecord"};

    // What a run reported (Ctx::onCard).
    void add(Ctx& ctx, const CardEvent& e);
    const std::vector<RecordRow>& rows() const { return rows_; }
    // UIDs written more than once.
    int repeatedUids() const;

    // A row was added (isNew) or marked repeated afterwards.
    std::function<void(int row, bool isNew)> onRow;

    bool saving = false;  // a save dialog is open

private:
    std::vector<RecordRow> rows_;
    std::string uid_;                                  // of the card in hand
    std::map<std::string, std::vector<int>> written_;  // UID -> rows where it was written
};

// The cells of a row and the column headings, in the current language.
std::vector<std::string> RecordCells(const Ctx& ctx, const RecordRow& row);
std::vector<std::string> RecordHeadings(const Ctx& ctx);
// "Cards: 4  |  USUARIO BASICO: written 3, failed 1  |  UIDs written more than once: 1"
std::string RecordCounts(const Ctx& ctx, const CardRecord& rec);

// One CSV record: cells with a comma, quote or line break quoted, quotes doubled; CR LF at the end.
std::string CsvLine(const std::vector<std::string>& cells);
// The whole record as CSV: UTF-8 byte-order mark, heading row, one card a row.
std::string RecordCsv(const Ctx& ctx, const CardRecord& rec);
// The activity log as text: one line each, every line break CR LF.
std::string LogText(const Ctx& ctx);

// Captions, headings and counts of the record window, and the caption and tooltip of cmdRecord,
// after the window's texts (start-up, language switch).
void ApplyRecordTexts(Ctx& ctx, CardRecord& rec, Tooltip& tips);
// cmdRecord, cmdRecordCsv, cmdLogSave; false for any other name.
bool RecordClick(Ctx& ctx, CardRecord& rec, std::string_view name);

}  // namespace zt
