// The card record: one row for every card the runs finished since start-up, kept in memory only,
// with the controls of its window frmRecord. Nothing is written anywhere unless the operator saves.
#pragma once

#include <array>
#include <cstddef>
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
    bool halfWritten = false;      // Failed: given up after its first write
    bool userRepeated = false;     // Written: the same user number of the same installation again
    std::array<std::string, 3> blocks{};  // the data blocks written (or to be written) or read
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
    // UIDs written more than once; user numbers (of one installation) written more than once.
    int repeatedUids() const;
    int repeatedUsers() const;
    // Rows not yet in a saved CSV.
    bool unsaved() const { return rows_.size() > savedRows; }

    // A row was added (isNew) or marked repeated afterwards.
    std::function<void(int row, bool isNew)> onRow;

    bool saving = false;  // a save dialog is open
    std::size_t savedRows = 0;  // rows in the last CSV saved
    bool asking = false;        // the question before closing is open
    bool mayClose = false;      // the operator agreed to close with rows unsaved

private:
    std::vector<RecordRow> rows_;
    std::string uid_;                                  // of the card in hand
    std::map<std::string, std::vector<int>> written_;  // UID -> rows where it was written
    std::map<std::string, std::vector<int>> users_;    // installation/user -> rows written
};

// The cells of a row and the column headings, in the current language.
std::vector<std::string> RecordCells(const Ctx& ctx, const RecordRow& row);
std::vector<std::string> RecordHeadings(const Ctx& ctx);
// "Cards: 4  |  USUARIO BASICO: written 3, failed 1  |  UIDs written more than once: 1"
std::string RecordCounts(const Ctx& ctx, const CardRecord& rec);

// One CSV record: cells separated by `sep`; cells with the separator, a quote or a line break
// quoted, quotes doubled; CR LF at the end.
std::string CsvLine(const std::vector<std::string>& cells, char sep = ',');
// The whole record as CSV: UTF-8 byte-order mark, heading row, one card a row; the cells separated
// by the list separator of the current language.
std::string RecordCsv(const Ctx& ctx, const CardRecord& rec);
// The activity log as saved: each line after the local time it was added, every key in it shown as
// kKeyMark, every line break CR LF.
std::string LogText(const Ctx& ctx);
// `line` with every key in it replaced by kKeyMark: key A and key B of a sector trailer, the new key
// of a MASTER card's block; blocks as 32 hex characters or as 16 " 0xHH" bytes.
std::string HideKeys(std::string_view line);
inline constexpr std::string_view kKeyMark = "[KEY]";

// Captions, headings and counts of the record window, and the caption and tooltip of cmdRecord,
// after the window's texts (start-up, language switch).
void ApplyRecordTexts(Ctx& ctx, CardRecord& rec, Tooltip& tips);
// cmdRecord, cmdRecordCsv, cmdLogSave, cmdSaveLog; false for any other name.
bool RecordClick(Ctx& ctx, CardRecord& rec, std::string_view name);
// The window is asked to close: true when it must stay open for now, because rows are unsaved and
// the operator is asked first (save, close without saving, or stay). An answer that lets the window
// go closes it through the window host.
bool HoldClose(Ctx& ctx, CardRecord& rec);

}  // namespace zt
