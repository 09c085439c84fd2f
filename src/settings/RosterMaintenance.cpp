#include "settings/RosterMaintenance.h"

#include <algorithm>

#include "host/Application.h"
#include "host/HostError.h"
#include "host/Range.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "settings/MaintenanceParts.h"
#include "platform/Toolkit.h"
#include "workbook/Context.h"
#include "workbook/LongCommand.h"
#include "workbook/RosterWorkbook.h"
#include "workbook/SystemWorkbook.h"

namespace settings {

using namespace maintenance;

namespace {

constexpr const char* kQuestion =
    "本操作可能会修改花名册数据，单击按钮“是”将直接删除存在的空行、空列及多余的重复行并取消单元格合并；"
    "单击按钮“否”将不会删除数据但保留查询标志；就此打住并退出本操作请点击按钮“取消”！";

int32_t LastFilledRowOfColumnA(host::Worksheet& ws) {
    host::Range end = ws.Cells(host::kMaxRows, 1).End(host::xlUp);
    return end.Value().IsEmpty() && !end.HasFormula() ? 0 : end.Row();
}

// Texts down column A, starting two rows below its last filled cell.
void AppendToRevision(host::Worksheet* revision, const std::vector<std::string>& lines) {
    if (!revision || lines.empty()) return;
    host::ResumeNext([&] {
        const int32_t top = LastFilledRowOfColumnA(*revision) + 2;
        host::Array2D column(int32_t(lines.size()), 1);
        for (size_t i = 0; i < lines.size(); ++i)
            if (!lines[i].empty()) column(int32_t(i) + 1, 1) = host::Variant(lines[i]);
        revision->GetRange(host::Rect{top, 1, top + int32_t(lines.size()) - 1, 1}).SetValues(column);
    });
}

void PrepareRevisionSheet(host::Worksheet* revision, const host::Workbook& roster, double now) {
    if (!revision) return;
    host::ResumeNext([&] { revision->Cells().Clear(); });
    host::ResumeNext([&] { revision->Cells(1, 1).SetValue("查询时间：" + HostDateTimeText(now)); });
    host::ResumeNext([&] { revision->Cells(2, 1).SetValue(roster.FullName()); });
    host::ResumeNext([&] { revision->SetVisible(host::xlSheetVisible); });
    host::ResumeNext([&] { revision->Activate(); });
}

// The message list of one sheet: "《name》" and its messages, padded with
// empty slots to the sheet's data columns + 3.
void MaintainSheet(host::Worksheet& sheet, bool cleaning, host::Worksheet* revision) {
    std::vector<std::string> list{"《" + sheet.Name() + "》"};
    host::Array2D data;
    host::ResumeNext([&] { data = ReadSheetData(sheet); });
    if (data.Rows() <= 1) list.push_back("没有考生数据");
    if (std::string m = ClassTitleMessage(data); !m.empty()) list.push_back(m);
    Marks marks = MarkRows(data);
    if (cleaning) {
        DeleteMarked(sheet, marks);
        host::ResumeNext([&] { data = ReadSheetData(sheet); });
    } else {
        WriteMarks(sheet, data, marks);
    }
    TreatMergedCells(sheet, cleaning);
    for (std::string& m : EmptyCellMessages(data)) list.push_back(std::move(m));
    list.resize(std::max<size_t>(list.size(), size_t(std::max(DataColumns(data), 0)) + 3));
    AppendToRevision(revision, list);
}

}  // namespace

workbook::Outcome MaintainRosterData(const workbook::Context& ctx) {
    platform::Toolkit& toolkit = ctx.toolkit;
    platform::MsgResult answer = toolkit.MessageBox(
        {kQuestion, platform::MsgButtons::YesNoCancel, platform::MsgIcon::Information, 1, workbook::kNoticeTitle});
    if (answer == platform::MsgResult::Cancel) return workbook::Outcome::Stopped();
    const bool cleaning = answer == platform::MsgResult::Yes;

    workbook::HostSwitchGuard switches(ctx.app, workbook::HostSwitchGuard::Status::Unchanged);
    host::Workbook* roster = workbook::RosterOrTell(ctx);
    if (!roster) return workbook::Outcome::Stopped();
    host::Worksheet* revision = workbook::SheetByCodeName(ctx.system, workbook::kRevisionSheet);
    PrepareRevisionSheet(revision, *roster, toolkit.Now());
    std::vector<host::Worksheet*> sheets = workbook::RosterSheets(*roster);
    for (host::Worksheet* sheet : sheets) MaintainSheet(*sheet, cleaning, revision);
    if (sheets.empty()) AppendToRevision(revision, {"《" + roster->Name() + "》没有花名册数据工作表！"});
    if (!toolkit.SaveChanges()) return workbook::Outcome::Of(workbook::Outcome::Kind::FileError).WithRevisionReport();
    workbook::ShowNotice(toolkit, "数据维护完毕！");
    return workbook::Outcome::Done().WithRevisionReport();
}

}  // namespace settings
