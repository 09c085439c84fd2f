#pragma once
// The arrangement run behind "开始编排 (&K)": every roster sheet of the
// roster workbook arranged in place, after the roster passed validation;
// the same-class neighbours that the random ordering could not separate are
// listed on the revision sheet, which is then copied into a new workbook.
// The roster workbook is not saved; that is left to the user.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "arrangement/ArrangementOptions.h"
#include "arrangement/WriteOutputColumns.h"
#include "workbook/Outcome.h"

namespace host {
class Workbook;
class Worksheet;
}  // namespace host
namespace platform {
class Toolkit;
}
namespace workbook {
struct Context;
}

namespace arrangement {

// What the run fixes once and hands to every roster sheet.
struct RunContext {
    const host::Workbook& system;
    host::Worksheet& revision;
    // Where the host sorts the work tables (the system workbook's scratch
    // sheet), so that no roster cell is rewritten.
    host::Worksheet& sortSheet;
    platform::Toolkit& toolkit;
    const ArrangementOptions& options;
    int16_t groups = 0;       // G, K2
    int16_t rooms = 0;        // R, K4
    int16_t extraFields = 0;  // F, K5
    ExamNumbering numbering;
    // The last exam number given by method 1, shared by all roster sheets in
    // workbook order. 64-bit, so that long first numbers (2026010100001) count on.
    int64_t counter = 0;
    // Roster sheets whose assignment failed on the host, with the reason;
    // they are left as they were before the run and named to the user.
    std::vector<std::pair<std::string, std::string>> failures;
};

// The closing notice of a run in which some roster sheet could not be
// arranged: it must not read as a success.
inline constexpr const char* kNotAllArranged = "编排未全部完成：上面提示的工作表未能编排，保持原样；其余工作表已编排。";

// Stopped when the roster cannot be found, fails validation, the first
// exam number is not a whole number, or a roster sheet could not be arranged.
workbook::Outcome RunArrangement(const workbook::Context& ctx, const ArrangementOptions& options);

// The per-sheet body: the settings read, earlier system columns removed, the
// work table read, the chosen assignment and the output columns computed on
// the sort sheet, then the system columns written beside the user's; a sheet
// whose system columns cannot be written is named in run.failures and keeps
// its cells.
void ArrangeRosterSheet(host::Worksheet& sheet, RunContext& run);

// Reads the widths from the totals row that validation left in the revision
// sheet's last row (A capacity, B rooms in use, C largest room), adding the
// first number to A first; then clears the sheet and stamps "编排时间：" in A1.
ExamNumbering PrepareRevisionSheet(host::Worksheet& revision, double firstNumber, double now);

// Deletes every column of an earlier run (IsSystemColumnTitle), right to
// left, at most 29 columns per deletion. Returns the number of columns of
// each deletion in order.
std::vector<int32_t> RemoveSystemColumns(host::Worksheet& sheet, const SheetSettings& settings);

// The settings sheet's tables and figures, with the room totals recomputed.
// The sheet is unprotected to read and protected again with the sheet password.
SheetSettings ReadSheetSettings(host::Worksheet& settingsSheet, int16_t groups, int16_t rooms, int16_t extraFields);

}  // namespace arrangement
