#include "arrangement/RunArrangement.h"

#include <cmath>
#include <string>

#include "arrangement/AssignOrdered.h"
#include "arrangement/AssignRandomBalanced.h"
#include "arrangement/HostSort.h"
#include "arrangement/RoomList.h"
#include "arrangement/WriteOutputColumns.h"
#include "host/Application.h"
#include "host/HostError.h"
#include "host/Range.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "settings/MaintenanceParts.h"
#include "settings/RosterValidation.h"
#include "platform/Toolkit.h"
#include "workbook/Context.h"
#include "workbook/LongCommand.h"
#include "workbook/ParameterCells.h"
#include "workbook/RosterWorkbook.h"
#include "workbook/SystemNames.h"
#include "workbook/SystemWorkbook.h"

namespace arrangement {

using host::ResumeNext;

namespace {

constexpr int32_t kColumnsPerDeletion = 29;

void ShowEndNotice(platform::Toolkit& toolkit, const std::string& text) {
    toolkit.MessageBox({text, platform::MsgButtons::OK, platform::MsgIcon::Information, 1, "操作提示…"});
}

// Rounded half to even, as the host rounds to integers; beyond 64 bits a HostError.
int64_t ToInt64(double d) {
    if (!(d > -9.2e18 && d < 9.2e18)) throw host::HostError("溢出");
    return int64_t(std::nearbyint(d));
}

int32_t TextLength(const host::Variant& v) { return int32_t(host::ToText(v).size()); }

host::Variant SystemTitle(const char* text) { return host::Variant(std::string(workbook::kTab) + text); }

// Cells (1, 1) to (N, L + 3), with the three system titles and every row's
// own row number in L + 3.
WorkTable ReadWorkTable(host::Worksheet& sheet, int32_t lastRow, int32_t lastColumn, const ArrangementOptions& o) {
    WorkTable t;
    t.lastColumn = lastColumn;
    t.cells = sheet.Cells(1, 1).Resize(lastRow, lastColumn + 3).Values();
    t.cells(1, t.RoomColumn()) = SystemTitle("场号");
    t.cells(1, t.SeatColumn()) = SystemTitle("座号");
    t.cells(1, t.RowNumberColumn()) = SystemTitle("A");
    for (int32_t r = 2; r <= lastRow; ++r) t.cells(r, t.RowNumberColumn()) = host::Variant(r);
    t.classColumn = t.FirstColumnTitled(workbook::kClassTitle);
    t.selectedColumn = o.columnTitle == workbook::kNoneEntry ? 0 : t.FirstColumnTitled(o.columnTitle);
    return t;
}

// The chosen ordering; false when it failed on the host, the reason kept for the user.
// Candidates (rows with a class) left without a room or a whole seat number.
int32_t CountUnseated(const WorkTable& t) {
    int32_t n = 0;
    for (int32_t r = 2; r <= t.LastRow(); ++r) {
        if (t.ClassOf(r).IsEmpty()) continue;
        const host::Variant& room = t.cells(r, t.RoomColumn());
        const host::Variant& seat = t.cells(r, t.SeatColumn());
        if (room.IsEmpty() || !seat.IsNumber() || seat.Number() != std::floor(seat.Number()) || seat.Number() < 1) ++n;
    }
    return n;
}

// The chosen ordering, the output columns, then the system columns written;
// false when it failed on the host, the reason kept for the user. Until the
// last step nothing is written to the roster sheet, so a failure leaves it
// as it was.
bool Arrange(host::Worksheet& sheet, WorkTable& t, const SheetSettings& s, RunContext& run) {
    const ArrangementOptions& o = run.options;
    try {
        UnifyClassValues(t, s);
        if (o.ordering == Ordering::Random) {
            AssignRandomBalanced(run.sortSheet, t, s, o.SShaped() ? DeskOrder::SShape : DeskOrder::Sequential,
                                 run.revision, run.toolkit, sheet.Name());
        } else {
            AssignOrdered(run.sortSheet, t, s, o.sortKey,
                          o.ordering == Ordering::Ascending ? SortDirection::Ascending : SortDirection::Descending);
        }
        if (const int32_t unseated = CountUnseated(t); unseated > 0)
            throw host::HostError(std::to_string(unseated) + " 名考生没有分到考场和座位。");
        WriteOutputColumns(run.sortSheet, t, s, run.numbering, run.counter);
        WriteSystemColumns(sheet, t);
        return true;
    } catch (const host::HostError& e) {
        run.failures.emplace_back(sheet.Name(), e.what());
        return false;
    }
}

bool HasReportLines(host::Worksheet& revision) {
    bool lines = false;
    ResumeNext([&] { lines = revision.Cells(host::kMaxRows, 1).End(host::xlUp).Row() > 1; });
    return lines;
}

// The report copied into a new workbook for the user; the revision sheet
// itself goes back to very hidden.
void CopyReport(host::Worksheet& revision) {
    ResumeNext([&] { revision.SetVisible(host::xlSheetVisible); });
    ResumeNext([&] { revision.Copy(); });
    ResumeNext([&] { revision.SetVisible(host::xlSheetVeryHidden); });
}

void ArrangeAll(host::Workbook& roster, RunContext& run) {
    const int count = roster.SheetCount();
    for (int i = 1; i <= count; ++i) {
        host::Worksheet* sheet = nullptr;
        ResumeNext([&] { sheet = &roster.Sheet(i); });
        if (!sheet || workbook::IsSettingsSheetName(sheet->Name())) continue;
        ResumeNext([&] { ArrangeRosterSheet(*sheet, run); });
    }
}

}  // namespace

ExamNumbering PrepareRevisionSheet(host::Worksheet& revision, double firstNumber, double now) {
    ExamNumbering widths;
    const int32_t n = host::kMaxRows;
    ResumeNext([&] {
        const double capacity = host::ToNumber(revision.Cells(n, 1).Value()) + firstNumber;
        revision.Cells(n, 1).SetValue(host::Variant(capacity));
    });
    ResumeNext([&] { widths.counterWidth = TextLength(revision.Cells(n, 1).Value()); });
    ResumeNext([&] { widths.roomWidth = int16_t(TextLength(revision.Cells(n, 2).Value())); });
    ResumeNext([&] { widths.seatWidth = int16_t(TextLength(revision.Cells(n, 3).Value())); });
    ResumeNext([&] { revision.Cells().Clear(); });
    ResumeNext([&] { revision.Cells(1, 1).SetValue(host::Variant("编排时间：" + settings::maintenance::HostDateTimeText(now))); });
    return widths;
}

std::vector<int32_t> RemoveSystemColumns(host::Worksheet& sheet, const SheetSettings& settings) {
    std::vector<int32_t> deletions;
    const host::Rect used = sheet.UsedRect();
    host::Range pending;
    int32_t inPending = 0;
    auto flush = [&] {
        if (inPending == 0) return;
        ResumeNext([&] { pending.Delete(host::xlShiftToLeft); });
        deletions.push_back(inPending);
        pending = host::Range();
        inPending = 0;
    };
    for (int32_t c = used.right; c >= 1; --c) {
        if (!IsSystemColumnTitle(host::ToText(sheet.ValueAt(1, c)), settings)) continue;
        host::Range column = sheet.Columns(c);
        pending = pending.IsNothing() ? column : host::Union(pending, column);
        if (++inPending == kColumnsPerDeletion) flush();
    }
    flush();
    return deletions;
}

SheetSettings ReadSheetSettings(host::Worksheet& ws, int16_t groups, int16_t rooms, int16_t extraFields) {
    SheetSettings s;
    s.groups = groups;
    s.extraFields = extraFields;
    const std::string password(workbook::kSheetPassword);
    ResumeNext([&] { ws.Unprotect(password); });
    ResumeNext([&] {
        const int32_t height = host::ToInt32(ws.GetRange("E3").Value());
        s.classTable = ws.GetRange("A1").Resize(height, 2).Values();
    });
    ResumeNext([&] { s.classCount = host::ToInt16(ws.GetRange("E2").Value()); });
    ResumeNext([&] { s.roomCount = host::ToInt16(ws.GetRange("F2").Value()); });
    ResumeNext([&] { s.gradeTotal = host::ToInt32(ws.GetRange("D2").Value()); });
    ResumeNext([&] { s.roomTable = ws.GetRange("H1").Resize(rooms + 1, extraFields + groups + 2).Values(); });
    RecomputeRoomTotals(s);
    ResumeNext([&] { ws.Protect(password); });
    return s;
}

void ArrangeRosterSheet(host::Worksheet& sheet, RunContext& run) {
    host::Worksheet* settingsSheet = sheet.Parent().SheetByName(workbook::SettingsSheetNameFor(sheet.Name()));
    if (!settingsSheet) return;
    const SheetSettings s = ReadSheetSettings(*settingsSheet, run.groups, run.rooms, run.extraFields);
    if (!(s.classCount > 0 && s.roomCount > 0 && s.gradeTotal > 0)) return;

    const host::Rect used = sheet.UsedRect();
    const int32_t lastRow = used.bottom;
    RemoveSystemColumns(sheet, s);
    const int32_t lastColumn = sheet.UsedRect().right;
    // A stray cell far right leaves no room for the work and system columns:
    // the sheet is reported and keeps its data (without this, reading the
    // work table would fail as a skipped step and the run would end as done).
    if (std::string noRoom = NoRoomForSystemColumns(lastColumn); !noRoom.empty()) {
        run.failures.emplace_back(sheet.Name(), std::move(noRoom));
        return;
    }

    WorkTable t = ReadWorkTable(sheet, lastRow, lastColumn, run.options);
    Arrange(sheet, t, s, run);
    ResumeNext([&] { run.sortSheet.Cells().Clear(); });
}

workbook::Outcome RunArrangement(const workbook::Context& ctx, const ArrangementOptions& options) {
    host::Workbook& system = ctx.system;
    platform::Toolkit& toolkit = ctx.toolkit;
    // A first number the window refused must not start a run (-5, -4 … or 1.5, 2.5 …).
    if (!IsWholeFirstNumber(options.firstNumberText)) {
        workbook::ShowNotice(toolkit, kFirstNumberRefusal);
        return workbook::Outcome::Stopped();
    }
    workbook::HostSwitchGuard busy(ctx.app);
    StoreOptions(system, options);

    host::Workbook* roster = workbook::RosterOrTell(ctx);
    if (!roster) return workbook::Outcome::Stopped();
    host::Worksheet& revision = workbook::RequireSheetByCodeName(system, workbook::kRevisionSheet);
    if (settings::ValidateRoster(system, *roster, true, false)) {
        workbook::ShowNotice(toolkit, "数据错误，请查看修改意见！");
        ResumeNext([&] { revision.SetVisible(host::xlSheetVisible); });
        ResumeNext([&] { revision.Activate(); });
        return workbook::Outcome::Stopped().WithRevisionReport();
    }

    workbook::ParameterCells cells(system);
    host::Worksheet& sortSheet = workbook::RequireSheetByCodeName(system, workbook::kTemplateImageSheet);
    RunContext run{system, revision, sortSheet, toolkit, options, 0, 0, 0, {}, 0, {}};
    ResumeNext([&] { run.groups = cells.DeskGroups(); });
    ResumeNext([&] { run.rooms = cells.RoomCount(); });
    ResumeNext([&] { run.extraFields = cells.ExtraFieldCount(); });
    const double first = options.FirstNumber();
    run.numbering = PrepareRevisionSheet(revision, first, toolkit.Now());
    run.numbering.methodOne = options.MethodOne();
    ResumeNext([&] { run.counter = ToInt64(first - 1); });

    ArrangeAll(*roster, run);
    // A sheet left unarranged must not pass for arranged under "操作结束！".
    for (const auto& [name, reason] : run.failures)
        workbook::ShowNotice(toolkit, "工作表“" + name + "”未能编排：" + reason + "该工作表的考生数据保持原样。");

    const bool reported = HasReportLines(revision);
    if (reported) CopyReport(revision);
    // The arranged roster is written before anything says the run is over.
    if (!toolkit.SaveChanges()) return workbook::Outcome::Of(workbook::Outcome::Kind::FileError);
    if (!run.failures.empty()) {
        ShowEndNotice(toolkit, kNotAllArranged);
        return workbook::Outcome::Stopped();
    }
    ShowEndNotice(toolkit, reported ? "操作结束！请查看需人工调整的前后左右同班！" : "操作结束！");
    return workbook::Outcome::Done();
}

}  // namespace arrangement
