#include "tables/GenerateTables.h"

#include <memory>

#include "host/Application.h"
#include "host/HostError.h"
#include "host/Range.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "platform/Toolkit.h"
#include "settings/RosterValidation.h"
#include "tables/Generation.h"
#include "workbook/Context.h"
#include "workbook/FieldLists.h"
#include "workbook/LongCommand.h"
#include "workbook/SystemNames.h"
#include "workbook/SystemWorkbook.h"

namespace tables {

using host::ResumeNext;

namespace {

std::string Joined(const std::vector<std::string>& names) {
    std::string s;
    for (const std::string& n : names) s += n + ",";
    return s;
}

int IndexOf(const std::vector<std::string>& items, const std::string& value) {
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i] == value) return int(i);
    return -1;
}

// The template's used block from A1, as values.
host::Array2D ReadTemplateBlock(host::Worksheet& ws) {
    const host::Rect used = ws.UsedRect();
    return ws.Cells(1, 1).Resize(used.bottom, used.right).Values();
}

// Empties the scratch sheet: cells, formats, merges, sizes.
void ResetImageSheet(host::Worksheet& image) {
    const host::Rect used = image.UsedRect();
    ResumeNext([&] { image.Cells().Clear(); });
    ResumeNext([&] { image.GetRange(host::Rect{1, 1, used.bottom, host::kMaxColumns}).Delete(host::xlShiftUp); });
    ResumeNext([&] { image.GetRange(host::Rect{1, 1, host::kMaxRows, used.right}).Delete(host::xlShiftToLeft); });
}

// The cleaned template on the image sheet: rows with their heights, formats
// and merges, the column widths, then the cleaned values.
void BuildImage(host::Worksheet& templ, host::Worksheet& image, const host::Array2D& cleaned) {
    const int32_t rows = cleaned.Rows(), cols = cleaned.Columns();
    ResetImageSheet(image);
    ResumeNext([&] {
        templ.GetRange(host::Rect{1, 1, rows, host::kMaxColumns}).Copy(image.GetRange(host::Rect{1, 1, rows, host::kMaxColumns}));
    });
    ResumeNext([&] {
        templ.Cells(1, 1).Resize(rows, cols).Copy();
        image.Cells(1, 1).Resize(rows, cols).PasteSpecial(host::xlPasteColumnWidths);
    });
    ResumeNext([&] { image.Cells(1, 1).Resize(rows, cols).ClearContents(); });
    ResumeNext([&] { image.Cells(1, 1).Resize(rows, cols).SetValues(cleaned); });
}

std::string JoinedNames(const std::vector<std::string>& files) {
    std::string s;
    for (const std::string& f : files) s += (s.empty() ? "" : "、") + f;
    return s;
}

}  // namespace

workbook::Outcome GenerateTables(const workbook::Context& ctx, const TablesRequest& request, FieldListsRefill* refill) {
    platform::Toolkit& toolkit = ctx.toolkit;
    const std::string& name = request.templateName;
    // 1.
    if (name.empty()) {
        workbook::ShowNotice(toolkit, "请选择模板表！");
        return workbook::Outcome::Stopped();
    }
    // 2.
    workbook::HostSwitchGuard switches(ctx.app, workbook::HostSwitchGuard::Status::Unchanged);
    ResumeNext([&] { WriteTemplateOptions(ctx.system, name, request.options); });
    // 3.
    host::Workbook* roster = workbook::RosterOrTell(ctx);
    if (!roster) return workbook::Outcome::Stopped();
    // 4.
    host::Worksheet& revision = workbook::RequireSheetByCodeName(ctx.system, workbook::kRevisionSheet);
    if (settings::ValidateRoster(ctx.system, *roster, false, true)) {
        workbook::ShowNotice(toolkit, "数据错误，请查看修改意见！");
        ResumeNext([&] { revision.SetVisible(host::xlSheetVisible); });
        ResumeNext([&] { revision.Activate(); });
        return workbook::Outcome::Stopped().WithRevisionReport();
    }
    // 5.
    FieldListsRefill local;
    FieldListsRefill& lists = refill ? *refill : local;
    lists.items = {std::string(workbook::kNoneEntry)};
    ResumeNext([&] {
        for (const std::string& t : workbook::OfferedFieldTitles(*roster)) lists.items.push_back(t);
    });
    // 6. and 7.
    lists.partitionIndex = IndexOf(lists.items, request.options.partition);
    if (lists.partitionIndex < 0) {
        workbook::ShowNotice(toolkit, "《" + roster->Name() + "》部分花名册工作表不存在分区字段：" +
                                          request.options.partition + "，请检查！");
        return workbook::Outcome::Stopped();
    }
    lists.sortIndex = IndexOf(lists.items, request.options.sort);
    if (lists.sortIndex < 0) {
        workbook::ShowNotice(toolkit, "《" + roster->Name() + "》部分花名册工作表不存在排序字段：" +
                                          request.options.sort + "，请检查！");
        return workbook::Outcome::Stopped();
    }
    // 8.
    host::Worksheet* templ = ctx.system.SheetByName(name);
    host::Array2D block;
    if (templ) ResumeNext([&] { block = ReadTemplateBlock(*templ); });
    const RegionSearch bodySearch = FindRegion(block, kBodyMarker);
    if (bodySearch.result == RegionSearch::Result::NoEndMarker) {
        workbook::ShowNotice(toolkit, "《" + name + "》模板中，第" + std::to_string(bodySearch.row) + "行缺少结束标志：#，请检查！");
        return workbook::Outcome::Stopped();
    }
    if (bodySearch.result == RegionSearch::Result::Missing) {
        workbook::ShowNotice(toolkit, "《" + name + "》模板表中，缺少主体区，请检查！");
        return workbook::Outcome::Stopped();
    }
    TemplateBounds bounds;
    bounds.body = bodySearch.region;
    // 9. and 10.
    BlankMarkers(block, bounds.body);
    FieldList body = ScanFields(block, bounds.body);
    const std::vector<std::string> unknownBody = UnknownFields(body, lists.items);
    if (!unknownBody.empty()) {
        workbook::ShowNotice(toolkit, "《" + roster->Name() + "》部分花名册工作表不存在主体区字段：" + Joined(unknownBody) + "请检查！");
        return workbook::Outcome::Stopped();
    }
    // 11.
    const bool titleRow = request.options.titleRow != 0;
    if (titleRow) {
        if (bounds.body.Rows() == 1) {
            workbook::ShowNotice(toolkit, "你勾选了“主体区第一行是列标题”，但主体区仅有一行，请检查！");
            return workbook::Outcome::Stopped();
        }
        for (const TemplateField& f : body)
            if (f.row == 1) {
                workbook::ShowNotice(toolkit, "你勾选了“主体区第一行是列标题”，但主体区第一行存在字段，请检查！");
                return workbook::Outcome::Stopped();
            }
        bool empty = true;
        for (int32_t c = 2; c < bounds.body.marker && empty; ++c) empty = host::ToText(block(bounds.body.start, c)).empty();
        if (empty) {
            workbook::ShowNotice(toolkit, "你勾选了“主体区第一行是列标题”，但主体区第一行为空，请检查！");
            return workbook::Outcome::Stopped();
        }
    }
    // 12.
    FieldList title(1);
    const RegionSearch titleSearch = FindRegion(block, kTitleMarker);
    if (titleSearch.result == RegionSearch::Result::NoEndMarker) {
        workbook::ShowNotice(toolkit, "《" + name + "》模板中，第" + std::to_string(titleSearch.row) + "行缺少结束标志：@，请检查！");
        return workbook::Outcome::Stopped();
    }
    if (titleSearch.result == RegionSearch::Result::Found) {
        bounds.title = titleSearch.region;
        BlankMarkers(block, bounds.title);
        title = ScanFields(block, bounds.title);
        const std::vector<std::string> unknownTitle = UnknownFields(title, lists.items);
        if (!unknownTitle.empty()) {
            workbook::ShowNotice(toolkit, "《" + roster->Name() + "》部分花名册工作表不存在标题区字段：" + Joined(unknownTitle) + "请检查！");
            return workbook::Outcome::Stopped();
        }
    }
    const std::string room = std::string(workbook::kTab) + "场号", seat = std::string(workbook::kTab) + "座号";
    const bool seating = request.options.partition == room && request.options.sort == seat;
    // A title narrower than the body leaves no record a place in a line.
    if (!seating && bounds.title.Exists() && bounds.title.Width() / bounds.body.Width() <= 0) {
        workbook::ShowNotice(toolkit, "《" + name + "》模板中，标题区宽度（" + std::to_string(bounds.title.Width()) +
                                          "列）小于主体区宽度（" + std::to_string(bounds.body.Width()) +
                                          "列），每行放不下一条记录，请检查！");
        return workbook::Outcome::Stopped();
    }
    // 13.
    host::Worksheet& image = workbook::RequireSheetByCodeName(ctx.system, workbook::kTemplateImageSheet);
    BlankPlaceholders(block);
    if (templ) BuildImage(*templ, image, block);

    // 14.
    ResumeNext([&] { ctx.app.SetStatusBar(std::string(workbook::kBusyText)); });
    Generation g{ctx, *roster, *templ, image, revision, name, request.options, request.sequentialDesks, bounds, body, title};
    std::string saved, failure;
    bool fileFailure = false;
    try {
        if (seating)
            saved = titleRow ? SeatingChartsWithTitleRow(g) : SeatingChartsWithoutTitleRow(g);
        else
            saved = PartitionTables(g, titleRow);
    } catch (const host::FileError& e) {
        failure = e.what();
        fileFailure = true;
    } catch (const host::HostError& e) {
        failure = std::string(e.what());
    }
    // 15.
    ResetImageSheet(image);
    ResumeNext([&] { revision.Cells().Clear(); });
    ResumeNext([&] { ctx.app.SetStatusBar(std::nullopt); });

    if (!failure.empty()) {
        if (g.out) g.out->Discard();
        workbook::ShowNotice(toolkit, "生成考试用表失败：" + g.stage + "时出错（" + failure + "）。未保存考试用表，请检查后重试！");
        workbook::Outcome stopped = workbook::Outcome::Stopped();
        if (fileFailure) stopped.kind = workbook::Outcome::Kind::FileError;
        return stopped;
    }
    // The roster (its class statistics) and the system workbook (the
    // template's options) are written before success is reported; when one
    // cannot be, that is reported instead.
    if (!toolkit.SaveChanges()) {
        workbook::Outcome failed = workbook::Outcome::Of(workbook::Outcome::Kind::FileError);
        failed.saved.push_back(saved);
        return failed;
    }
    const std::string folder = ExamTableFolder(*roster);
    workbook::ShowNotice(toolkit, "运行程序结束！考试用表保存在：" + folder);
    if (g.tally.missing > 0)
        workbook::ShowNotice(toolkit, "有 " + std::to_string(g.tally.missing) + " 名考生的照片文件不存在，未放照片。");
    if (!g.tally.refused.empty())
        workbook::ShowNotice(toolkit, "以下照片文件无法插入，已跳过：" + JoinedNames(g.tally.refused));
    toolkit.OpenDocument(folder);
    workbook::Outcome done = workbook::Outcome::Done();
    done.saved.push_back(saved);
    return done;
}

}  // namespace tables
