#include "settings/RosterValidation.h"

#include <algorithm>
#include <unordered_map>

#include "host/Application.h"
#include "host/HostError.h"
#include "host/Range.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "platform/Toolkit.h"
#include "settings/ValidationParts.h"
#include "workbook/Context.h"
#include "workbook/LongCommand.h"
#include "workbook/RosterWorkbook.h"
#include "workbook/SystemNames.h"
#include "workbook/SystemWorkbook.h"

namespace settings {

using namespace validation;

namespace {

const std::string kPassword(workbook::kSheetPassword);
const std::string kRoomTitle = std::string(workbook::kTab) + "场号";

// Sheet names are compared exactly here, unlike the host's own lookup.
host::Worksheet* SheetNamedExactly(const host::Workbook& wb, const std::string& name) {
    for (const auto& ws : wb.SheetList())
        if (ws->Name() == name) return ws.get();
    return nullptr;
}

// Over all settings sheets; the arrangement run reads them from the totals row.
struct Totals {
    double capacity = 0;
    double rooms = 0;
    double largestRoom = 0;
};

// What one settings sheet promises.
struct Promise {
    std::vector<RoomRow> rooms;
    double capacity = 0;
    int32_t roomCount = 0;
};

// The used block of a roster sheet from A1, so that array rows and columns
// are sheet rows and columns even when the used range starts further in.
struct RosterData {
    int32_t lastRow = 0, lastCol = 0;
    host::Array2D values;
    int32_t classCol = 0;      // when exactly one column is titled 班级
    size_t classColumns = 0;
};

class Validator {
public:
    Validator(host::Workbook& system, host::Workbook& roster, bool classChecks, bool roomChecks)
        : roster_(roster), classChecks_(classChecks), roomChecks_(roomChecks),
          params_(ReadParameters(system)), sheets_(workbook::RosterSheets(roster)),
          block_(params_.rooms, int32_t(sheets_.size()), roomChecks, roster.FullName()),
          desk_(params_.rooms, params_.groups),
          revision_(workbook::SheetByCodeName(system, workbook::kRevisionSheet)),
          scratch_(workbook::SheetByCodeName(system, workbook::kTemplateImageSheet)) {}

    bool Run() {
        for (size_t i = 0; i < sheets_.size(); ++i) CheckSheet(int32_t(i + 1), *sheets_[i]);
        WriteReport();
        return failed_;
    }

private:
    void Fail(int32_t row, std::string conclusion, std::string suggestion) {
        block_.Conclude(row, std::move(conclusion), std::move(suggestion));
        failed_ = true;
    }
    void FailAppending(int32_t row, std::string_view conclusion, std::string_view suggestion) {
        block_.AppendConclusion(row, conclusion, suggestion);
        failed_ = true;
    }

    void CheckSheet(int32_t sheet, host::Worksheet& rosterSheet) {
        const int32_t col = ReportBlock::SheetColumn(sheet);
        const std::string settingsName = workbook::SettingsSheetNameFor(rosterSheet.Name());
        block_.Set(kRowRosterName, col, rosterSheet.Name());
        block_.Set(kRowSettingsName, col, settingsName);
        host::Worksheet* settings = SheetNamedExactly(roster_, settingsName);
        if (!settings) {
            block_.Set(kRowSettingsRemark, col, "不存在");
            Fail(kRowSettingsRemark, "花名册工作表重命名、设置表重命名或被删除", "返回设置窗口重新保存参数");
            return;
        }
        host::ResumeNext([&] { settings->Unprotect(kPassword); });
        const bool fits = HasExpectedShape(*settings, params_);
        if (!fits) {
            block_.Set(kRowSettingsRemark, col, "与设置窗口的参数不符");
            Fail(kRowSettingsRemark, "与设置窗口的参数不符", "返回设置窗口重新设置参数");
        }
        host::ResumeNext([&] { settings->GetRange("A:G").Clear(); });
        Promise promise;
        if (fits) promise = ReadPromise(col, *settings);
        host::ResumeNext([&] { settings->Protect(kPassword); });
        if (fits) CheckRoster(col, rosterSheet, *settings, promise);
    }

    Promise ReadPromise(int32_t col, host::Worksheet& settings) {
        Promise p;
        host::ResumeNext([&] { p.rooms = ReadRoomTable(settings, params_); });
        CheckRoomTable(col, p.rooms);
        double largest = 0;
        for (size_t k = 1; k <= p.rooms.size(); ++k) {
            const RoomRow& room = p.rooms[k - 1];
            if (room.name.IsEmpty()) continue;
            for (size_t g = 1; g <= room.capacities.size(); ++g) {
                p.capacity += room.capacities[g - 1];
                if (room.capacities[g - 1] > 0 && !desk_.AddGrade(int32_t(k), int32_t(g), params_.grades))
                    failed_ = true;
            }
            largest = std::max(largest, room.total);
            if (room.total > 0) ++p.roomCount;
        }
        host::ResumeNext([&] {
            settings.Cells(1, 6).SetValue("场数");
            settings.Cells(2, 6).SetValue(p.roomCount);
            settings.Cells(3, 4).SetValue(p.capacity);
        });
        block_.SetNumber(kRowSettingsRooms, col, p.roomCount);
        block_.SetNumber(kRowCapacity, col, p.capacity);
        totals_.capacity += p.capacity;
        totals_.rooms += p.roomCount;
        totals_.largestRoom = std::max(totals_.largestRoom, largest);
        return p;
    }

    // Counts the host would sum as 0 or as a fraction, and a room number given
    // twice (two candidates would share a seat), stop the run here.
    void CheckRoomTable(int32_t col, const std::vector<RoomRow>& rooms) {
        std::string bad;
        std::unordered_map<std::string, host::Variant> seen;
        std::string twice;
        for (const RoomRow& room : rooms) {
            if (room.name.IsEmpty()) continue;
            for (int32_t g : room.badCounts)
                bad += (bad.empty() ? "" : "、") + ("第" + host::ToText(room.name) + "考场第" + std::to_string(g) + "组");
            if (!seen.try_emplace(host::TextFormKey(room.name), room.name).second)
                twice += (twice.empty() ? "" : "、") + host::ToText(room.name);
        }
        if (!bad.empty()) {
            block_.Append(kRowSettingsRemark, col, "人数不是非负整数：" + bad);
            FailAppending(kRowSettingsRemark, "设置表的人数有负数、小数或文本", "把这些人数改为 0 或正整数（数字格式）");
        }
        if (!twice.empty()) {
            block_.Append(kRowSettingsRemark, col, "考场号重复：" + twice);
            FailAppending(kRowSettingsRemark, "设置表的考场号重复", "修改考场号，使每个考场号只出现一次");
        }
    }

    void CheckRoster(int32_t col, host::Worksheet& sheet, host::Worksheet& settings, const Promise& promise) {
        RosterData data;
        host::ResumeNext([&] {
            host::Rect used = sheet.UsedRect();
            data.lastRow = used.bottom;
            data.lastCol = used.right;
        });
        block_.SetNumber(kRowUsedRows, col, data.lastRow);
        block_.SetNumber(kRowUsedColumns, col, data.lastCol);
        if (HasMergedCells(sheet)) {
            block_.Set(kRowRosterRemark, col, "存在合并单元格");
            Fail(kRowRosterRemark, "存在合并单元格", "取消单元格合并");
        }
        host::ResumeNext([&] { data.values = sheet.GetRange(host::Rect{1, 1, data.lastRow, data.lastCol}).Values(); });
        std::vector<int32_t> classCols = ColumnsTitled(data.values, workbook::kClassTitle);
        data.classColumns = classCols.size();
        if (classCols.size() == 1) data.classCol = classCols.front();
        if (classChecks_) CheckClasses(col, sheet, settings, data, promise);
        if (roomChecks_) CheckRooms(col, sheet, data, promise);
    }

    void CheckClasses(int32_t col, host::Worksheet& sheet, host::Worksheet& settings, const RosterData& data,
                      const Promise& promise) {
        if (data.classColumns == 0) {
            block_.Append(kRowRosterRemark, col, "缺少“班级”字段");
            FailAppending(kRowRosterRemark, "缺少“班级”字段", "增加“班级”字段");
            return;
        }
        if (data.classColumns > 1) {
            block_.Append(kRowRosterRemark, col, std::to_string(data.classColumns) + "个“班级”字段");
            FailAppending(kRowRosterRemark, "“班级”字段过多", "删减“班级”字段");
            return;
        }
        Tally classes = CountRows(data.values, data.lastRow, data.classCol, data.classCol,
                                  Distinct(sheet, data.classCol, data.lastRow));
        int32_t candidates = 0;
        std::string errorRows;
        for (int32_t r = 2; r <= data.values.Rows(); ++r) {
            const host::Variant& v = data.values(r, data.classCol);
            if (!v.IsEmpty()) ++candidates;
            if (v.IsError()) errorRows += (errorRows.empty() ? "" : "、") + std::to_string(r);
        }
        if (!errorRows.empty()) {
            // #N/A, #REF! … are no class names: a formula or a paste went wrong.
            block_.Append(kRowRosterRemark, col, "班级为错误值的行：" + errorRows);
            FailAppending(kRowRosterRemark, "班级字段有错误值（如 #N/A、#REF!）", "改正这些行的班级");
        }
        block_.SetNumber(kRowCandidates, col, candidates);
        if (candidates + 1 != data.lastRow) {
            block_.Set(kRowRosterRemark, col, "班级字段有空单元格");
            Fail(kRowRosterRemark, "班级字段有空单元格", "删除空行并为考生添加班级");
        }
        if (candidates == 0) {
            block_.Set(kRowRosterRemark, col, "缺少考生");
            if (++sheetsWithoutCandidates_ >= sheets_.size()) Fail(kRowRosterRemark, "缺少考生", "添加花名册数据");
        }
        if (candidates != promise.capacity)
            Fail(kRowCapacity, "花名册与设置表考生人数不符", "检查花名册数据无误后人工修改设置表");
        std::string classFormat = "General";
        host::ResumeNext([&] { classFormat = sheet.Cells(2, data.classCol).NumberFormat(); });
        host::ResumeNext([&] { settings.Unprotect(kPassword); });
        WriteClassStatistics(settings, classes, candidates, classFormat);
        host::ResumeNext([&] { settings.Protect(kPassword); });
    }

    void CheckRooms(int32_t col, host::Worksheet& sheet, const RosterData& data, const Promise& promise) {
        if (data.classColumns != 1) {
            block_.Set(kRowRoomRemark, col, "“班级”字段不合要求");
            Fail(kRowRoomRemark, "“班级”字段不合要求", "删减或添加“班级”字段");
            return;
        }
        std::vector<int32_t> roomCols = ColumnsTitled(data.values, kRoomTitle);
        if (roomCols.empty()) {
            block_.Set(kRowRoomRemark, col, "缺少“场号”字段");
            Fail(kRowRoomRemark, "缺少“场号”字段", "重新编排考场");
            return;
        }
        if (roomCols.size() > 1) {
            block_.Set(kRowRoomRemark, col, std::to_string(roomCols.size()) + "个“场号”字段");
            Fail(kRowRoomRemark, "“场号”字段过多", "重新编排考场");
            return;
        }
        Tally rooms = CountRows(data.values, data.lastRow, data.classCol, roomCols.front(),
                                Distinct(sheet, roomCols.front(), data.lastRow));
        block_.SetNumber(kRowRosterRooms, col, double(rooms.values.size()));
        block_.SetNumber(kRowPlaced, col, rooms.matched);
        if (rooms.matched + 1 != data.lastRow) {
            block_.Set(kRowRoomRemark, col, "班级字段有空单元格");
            Fail(kRowRoomRemark, "班级字段有空单元格", "删除空行并为考生添加班级");
        }
        if (int32_t(rooms.values.size()) != promise.roomCount)
            Fail(kRowRosterRooms, "考场总数与设置表不符", "重新编排考场");
        if (rooms.matched != promise.capacity) Fail(kRowPlaced, "考生人数与设置表不符", "重新编排考场");
        ListRoomCounts(col, rooms);
        CompareRooms(col, rooms, promise);
    }

    // Room k's head count goes to row 15 + k; rooms outside 1 … R have no row.
    void ListRoomCounts(int32_t col, const Tally& rooms) {
        for (size_t i = 0; i < rooms.values.size(); ++i) {
            double k = host::ToNumber(rooms.values[i]);
            if (k < 1 || k > params_.rooms) continue;
            int32_t row = 0;
            if (!host::ResumeNext([&] { row = host::ToInt32(k); })) continue;
            block_.SetNumber(kRowRoomRemark + row, col, rooms.counts[i]);
        }
    }

    void CompareRooms(int32_t col, const Tally& rooms, const Promise& promise) {
        for (size_t i = 0; i < rooms.values.size(); ++i) {
            auto same = [&](const RoomRow& r) {
                return !r.name.IsEmpty() && SameKey(r.name, rooms.values[i]) && r.total == rooms.counts[i];
            };
            if (std::any_of(promise.rooms.begin(), promise.rooms.end(), same)) continue;
            block_.Set(kRowRoomRemark, col, "考场名称或人数与设置表不符");
            Fail(kRowRoomRemark, "考场名称或人数与设置表不符", "重新编排考场");
            return;
        }
    }

    std::vector<host::Variant> Distinct(host::Worksheet& sheet, int32_t col, int32_t lastRow) {
        if (!scratch_) return {};
        return DistinctValues(sheet, col, lastRow, *scratch_);
    }

    // The host's find for any cell formatted as merged, over the used range.
    static bool HasMergedCells(host::Worksheet& sheet) {
        bool found = false;
        host::ResumeNext([&] {
            host::FindOptions o;
            o.lookIn = host::xlFormulas;
            o.lookAt = host::xlPart;
            o.searchFormat = true;
            o.searchFormatMergeCells = true;
            found = sheet.UsedRange().Find(host::Variant(""), o).has_value();
        });
        return found;
    }

    void WriteReport() {
        if (!revision_) return;
        host::Worksheet& ws = *revision_;
        host::ResumeNext([&] { ws.UsedRange().Clear(); });
        host::ResumeNext([&] {
            host::Range block = ws.GetRange(host::Rect{1, 1, block_.Rows(), block_.Columns()});
            block.SetValues(block_.Entered());
            Outline(block);
        });
        host::ResumeNext([&] {
            int32_t top = ws.Cells(host::kMaxRows, 1).End(host::xlUp).Row() + 2;
            host::Range table = ws.GetRange(host::Rect{top, 1, top + desk_.Rows() - 1, desk_.Columns()});
            table.SetValues(desk_.Entered());
            Outline(table);
        });
        host::ResumeNext([&] {
            host::Range row = ws.GetRange(host::Rect{host::kMaxRows, 1, host::kMaxRows, 3});
            row.SetNumberFormat("@");
            host::Array2D t(1, 3);
            t(1, 1) = host::Variant(host::NumberToText(totals_.capacity));
            t(1, 2) = host::Variant(host::NumberToText(totals_.rooms));
            t(1, 3) = host::Variant(host::NumberToText(totals_.largestRoom));
            row.SetValues(t);
        });
        host::ResumeNext([&] { FitColumns(ws); });
    }

    // Each column of the report as wide as its longest text, in the host's
    // character widths (a Chinese character takes two), so that no label,
    // sheet name or conclusion is cut; the roster's path in A1 and the check
    // table's title run on over the empty cells beside them and do not count.
    void FitColumns(host::Worksheet& ws) const {
        auto width = [](const std::string& text) {
            double w = 0;
            for (size_t i = 0; i < text.size();) {
                const unsigned char c = static_cast<unsigned char>(text[i]);
                const size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
                // U+0800 on: CJK and full-width punctuation, two digits wide in
                // 宋体 and a little more in the faces drawn for it.
                w += len >= 3 ? 2.2 : 1;
                i += len;
            }
            return w;
        };
        const host::Array2D desk = desk_.Entered();
        const int32_t cols = std::max(block_.Columns(), desk_.Columns());
        for (int32_t c = 1; c <= cols; ++c) {
            double widest = 0;
            if (c <= block_.Columns())
                for (int32_t r = 2; r <= block_.Rows(); ++r) widest = std::max(widest, width(block_.At(r, c)));
            if (c <= desk_.Columns())
                for (int32_t r = 2; r <= desk_.Rows(); ++r) widest = std::max(widest, width(host::ToText(desk(r, c))));
            ws.SetColumnWidthChars(c, std::clamp(widest + 2, kDefaultColumnChars, kWidestColumnChars));
        }
    }
    static constexpr double kDefaultColumnChars = 8.43, kWidestColumnChars = 60;

    static void Outline(const host::Range& r) {
        host::BordersProxy b = r.Borders();
        b.SetLineStyle(host::xlContinuous);
        b.SetWeight(host::xlThin);
        b.SetColorIndex(1);
    }

    host::Workbook& roster_;
    const bool classChecks_, roomChecks_;
    const Parameters params_;
    const std::vector<host::Worksheet*> sheets_;
    ReportBlock block_;
    DeskSharingTable desk_;
    host::Worksheet* revision_;
    host::Worksheet* scratch_;
    Totals totals_;
    size_t sheetsWithoutCandidates_ = 0;
    bool failed_ = false;
};

}  // namespace

bool ValidateRoster(host::Workbook& system, host::Workbook& roster, bool classChecks, bool roomChecks) {
    if (workbook::RosterSheets(roster).empty()) {
        if (host::Worksheet* revision = workbook::SheetByCodeName(system, workbook::kRevisionSheet)) {
            host::ResumeNext([&] { revision->UsedRange().Clear(); });
            host::ResumeNext([&] { revision->Cells(1, 1).SetValue("《" + roster.Name() + "》没有花名册数据工作表！"); });
        }
        return true;
    }
    return Validator(system, roster, classChecks, roomChecks).Run();
}

workbook::Outcome ComputeDataStatistics(const workbook::Context& ctx) {
    workbook::HostSwitchGuard switches(ctx.app, workbook::HostSwitchGuard::Status::Unchanged);
    host::Workbook* roster = workbook::RosterOrTell(ctx);
    if (!roster) return workbook::Outcome::Stopped();
    ValidateRoster(ctx.system, *roster, true, true);
    host::ResumeNext([&] {
        host::Worksheet& revision = workbook::RequireSheetByCodeName(ctx.system, workbook::kRevisionSheet);
        revision.SetVisible(host::xlSheetVisible);
        revision.Activate();
    });
    if (!ctx.toolkit.SaveChanges()) return workbook::Outcome::Of(workbook::Outcome::Kind::FileError).WithRevisionReport();
    workbook::ShowNotice(ctx.toolkit, "数据统计完毕，请查看修改意见！");
    return workbook::Outcome::Done().WithRevisionReport();
}

}  // namespace settings
