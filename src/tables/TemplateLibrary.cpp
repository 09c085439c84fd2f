#include "tables/TemplateLibrary.h"

#include "host/Application.h"
#include "host/HostError.h"
#include "host/Range.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "platform/Toolkit.h"
#include "tables/TemplateOptions.h"
#include "workbook/Context.h"
#include "workbook/LongCommand.h"
#include "workbook/SystemWorkbook.h"

namespace tables {

using host::ResumeNext;

namespace {

std::string DesignCaption(const std::string& name) { return "<" + name + " 模板设计>"; }

void ShowRefusedName(platform::Toolkit& toolkit, const std::string& name, const std::string& reason) {
    workbook::ShowNotice(toolkit, "模板名称“" + name + "”不能用作工作表名：" + reason);
}

// Sheet5, Sheet6 … : never the code name of a service sheet.
std::string FreshCodeName(const host::Workbook& system) {
    for (int n = 5;; ++n) {
        const std::string code = "Sheet" + std::to_string(n);
        bool used = false;
        for (const auto& ws : system.SheetList()) used = used || ws->CodeName() == code;
        if (!used) return code;
    }
}

bool AnySheetNamed(const host::Workbook& system, const std::string& name) {
    for (const auto& ws : system.SheetList())
        if (ws->Name() == name) return true;
    return false;
}

}  // namespace

std::vector<std::string> TemplateNames(const host::Workbook& system) {
    std::vector<std::string> names;
    for (const auto& ws : system.SheetList())
        if (!workbook::IsServiceSheet(*ws)) names.push_back(ws->Name());
    return names;
}

host::Worksheet* FindTemplate(const host::Workbook& system, const std::string& name) {
    for (const auto& ws : system.SheetList())
        if (!workbook::IsServiceSheet(*ws) && ws->Name() == name) return ws.get();
    return nullptr;
}

void ShowTemplate(host::Workbook& system, const std::string& name) {
    ResumeNext([&] { workbook::HideServiceSheets(system); });
    host::Worksheet* ws = FindTemplate(system, name);
    if (!ws) return;
    ResumeNext([&] { ws->SetVisible(host::xlSheetVisible); });
    ResumeNext([&] { ws->Activate(); });
}

void LayOutNewTemplate(host::Worksheet& ws, const std::string& name) {
    host::Range a1 = ws.GetRange("A1");
    a1.SetValue(host::Variant(DesignCaption(name)));
    ResumeNext([&] { a1.Font().SetName("宋体"); });
    ResumeNext([&] { a1.Font().SetFontStyle("常规"); });
    ResumeNext([&] { a1.Font().SetSize(16); });
    ResumeNext([&] { a1.Font().SetColorIndex(5); });
    for (const char* cell : {"A3", "A6", "K3", "K6"}) ws.GetRange(cell).SetValue(host::Variant("@"));
    for (const char* cell : {"A8", "A12", "G8", "G12"}) ws.GetRange(cell).SetValue(host::Variant("#"));
}

workbook::Outcome NewTemplate(const workbook::Context& ctx, std::string* created) {
    const std::string name = ctx.toolkit.InputBox("请输入新模板名称：", "操作提示", "");
    if (name.empty()) return workbook::Outcome::Stopped();
    workbook::HostSwitchGuard switches(ctx.app, workbook::HostSwitchGuard::Status::Unchanged);
    if (AnySheetNamed(ctx.system, name)) {
        workbook::ShowNotice(ctx.toolkit, "《" + name + "》模板表已存在！");
        return workbook::Outcome::Stopped();
    }
    host::Worksheet& ws = ctx.system.Worksheets().Add(&ctx.system.Sheet(ctx.system.SheetCount()));
    try {
        ws.SetName(name);
    } catch (const host::HostError& e) {
        // The sheet, the options table and the list stay as they were.
        ResumeNext([&] { ws.Delete(); });
        ShowRefusedName(ctx.toolkit, name, e.what());
        return workbook::Outcome::Stopped();
    }
    ResumeNext([&] { ws.SetCodeName(FreshCodeName(ctx.system)); });
    ResumeNext([&] { LayOutNewTemplate(ws, name); });
    ResumeNext([&] { AppendTemplateRow(ctx.system, name); });
    if (created) *created = name;
    return workbook::Outcome::Done();
}

workbook::Outcome DeleteTemplate(const workbook::Context& ctx, const std::string& name) {
    if (name.empty()) return workbook::Outcome::Stopped();
    const platform::MsgResult answer = ctx.toolkit.MessageBox(
        {"本操作删除模板《" + name + "》，请谨慎操作！是否继续？", platform::MsgButtons::YesNo,
         platform::MsgIcon::Question, 2, "提示…"});
    if (answer != platform::MsgResult::Yes) return workbook::Outcome::Stopped();
    workbook::HostSwitchGuard switches(ctx.app, workbook::HostSwitchGuard::Status::Unchanged);
    host::Worksheet* ws = FindTemplate(ctx.system, name);
    if (ws) {
        // The last visible sheet cannot go: the front sheet is shown first.
        ResumeNext([&] { workbook::RequireSheetByCodeName(ctx.system, workbook::kFrontSheet).SetVisible(host::xlSheetVisible); });
        ResumeNext([&] { ws->Delete(); });
    }
    ResumeNext([&] { DeleteTemplateRow(ctx.system, name); });
    return workbook::Outcome::Done();
}

workbook::Outcome RenameTemplate(const workbook::Context& ctx, const std::string& name, std::string* renamed) {
    if (name.empty()) {
        workbook::ShowNotice(ctx.toolkit, "请选择模板表！");
        return workbook::Outcome::Stopped();
    }
    const std::string newName = ctx.toolkit.InputBox("请输入模板名称：", "操作提示", "");
    if (newName.empty()) return workbook::Outcome::Stopped();
    workbook::HostSwitchGuard switches(ctx.app, workbook::HostSwitchGuard::Status::Unchanged);
    host::Worksheet* ws = FindTemplate(ctx.system, name);
    if (ws) {
        try {
            ws->SetName(newName);
        } catch (const host::HostError& e) {
            ShowRefusedName(ctx.toolkit, newName, e.what());
            return workbook::Outcome::Stopped();
        }
        ResumeNext([&] { ws->GetRange("A1").SetValue(host::Variant(DesignCaption(newName))); });
    }
    ResumeNext([&] { RenameTemplateRow(ctx.system, name, newName); });
    if (renamed) *renamed = newName;
    return workbook::Outcome::Done();
}

workbook::Outcome ImportTemplate(const workbook::Context& ctx, const std::string& file, const std::string& sheetName,
                                 const std::string& asName, std::string* created) {
    host::Workbook* source = ctx.app.Workbooks().Open(file);
    if (!source) {
        workbook::ShowNotice(ctx.toolkit, "同名的工作簿已经打开，无法再打开“" + file + "”！");
        return workbook::Outcome::Stopped();
    }
    struct CloseAfter {
        host::Workbook* wb;
        ~CloseAfter() { ResumeNext([&] { wb->Close(false); }); }
    } closeAfter{source};
    host::Worksheet* sheet = source->SheetByName(sheetName);
    if (!sheet) {
        workbook::ShowNotice(ctx.toolkit, "《" + source->Name() + "》中没有工作表“" + sheetName + "”！");
        return workbook::Outcome::Stopped();
    }
    const std::string name = asName.empty() ? sheet->Name() : asName;
    if (AnySheetNamed(ctx.system, name)) {
        workbook::ShowNotice(ctx.toolkit, "《" + name + "》模板表已存在！");
        return workbook::Outcome::Stopped();
    }
    host::Worksheet& copy = sheet->CopyTo(ctx.system, &ctx.system.Sheet(ctx.system.SheetCount()));
    copy.SetCodeName(FreshCodeName(ctx.system));
    try {
        copy.SetName(name);
    } catch (const host::HostError& e) {
        ResumeNext([&] { copy.Delete(); });
        ShowRefusedName(ctx.toolkit, name, e.what());
        return workbook::Outcome::Stopped();
    }
    ResumeNext([&] { copy.SetVisible(host::xlSheetVeryHidden); });
    ResumeNext([&] { AppendTemplateRow(ctx.system, name); });
    if (created) *created = name;
    return workbook::Outcome::Done();
}

workbook::Outcome ExportTemplate(const workbook::Context& ctx, const std::string& name, const std::string& file) {
    host::Worksheet* ws = FindTemplate(ctx.system, name);
    if (!ws) {
        workbook::ShowNotice(ctx.toolkit, "没有模板《" + name + "》！");
        return workbook::Outcome::Stopped();
    }
    host::Workbook& book = ws->Copy();
    try {
        book.Sheet(1).SetVisible(host::xlSheetVisible);
        book.SaveAs(file);
    } catch (...) {
        ResumeNext([&] { book.Close(false); });
        throw;
    }
    workbook::Outcome done = workbook::Outcome::Done();
    done.saved.push_back(book.FullName());
    ResumeNext([&] { book.Close(false); });
    return done;
}

}  // namespace tables
