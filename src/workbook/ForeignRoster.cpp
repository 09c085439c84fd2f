#include "workbook/ForeignRoster.h"

#include <filesystem>

#include "host/Application.h"
#include "host/HostError.h"
#include "host/Workbook.h"
#include "host/import/ForeignWorkbook.h"
#include "platform/Toolkit.h"
#include "workbook/Context.h"
#include "workbook/LongCommand.h"
#include "workbook/ParameterCells.h"

namespace workbook {

using host::ResumeNext;

namespace {

std::string FileNameOf(const std::string& path) { return std::filesystem::path(path).filename().string(); }

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec);
}

}  // namespace

std::string SaveForeignRoster(const Context& ctx, const std::string& file, bool ask, Outcome& outcome) {
    platform::Toolkit& tk = ctx.toolkit;
    outcome = Outcome::Stopped();
    const host::ForeignFormat format = host::ForeignFormatOf(file);
    const std::string target = host::XlsxBeside(file);
    if (ask) {
        const std::string question = "“" + FileNameOf(file) + "”是 " + host::ForeignFormatName(format) +
                                     "。考场编排系统只能保存 .xlsx 工作簿：是否把它另存为同一文件夹中的“" +
                                     FileNameOf(target) + "”，以后以另存的工作簿作为花名册？原文件不会改变。";
        if (tk.MessageBox({question, platform::MsgButtons::YesNo, platform::MsgIcon::Question, 1, kNoticeTitle}) !=
            platform::MsgResult::Yes)
            return {};
    }
    std::error_code ec;
    if (std::filesystem::exists(target, ec)) {
        if (!ask) throw host::FileError(target, "同一文件夹中已经有这个工作簿，没有替换它，花名册没有改变；请删除它或给它改名后再试，或者直接选择它作为花名册");
        const std::string question = "同一文件夹中已经有“" + FileNameOf(target) + "”。是否用“" + FileNameOf(file) +
                                     "”的内容替换它？选择“否”则不做任何更改。";
        if (tk.MessageBox({question, platform::MsgButtons::YesNo, platform::MsgIcon::Exclamation, 2, kNoticeTitle}) !=
            platform::MsgResult::Yes)
            return {};
    }
    // The host holds one workbook per file name: the new file could not be
    // opened beside another one of that name. One open from the very file is
    // closed first when it has no unsaved changes; with changes it stays,
    // and so does the file.
    if (host::Workbook* open = ctx.app.Workbooks().Find(FileNameOf(target))) {
        if (!SameFile(open->FullName(), target) || !open->Saved() || open == &ctx.system) {
            ShowNotice(tk, kSameNameRefusal);
            return {};
        }
        ResumeNext([&] { open->Close(false); });
        if (ctx.app.Workbooks().Find(FileNameOf(target))) {
            ShowNotice(tk, kSameNameRefusal);
            return {};
        }
    }
    try {
        host::SaveForeignAsXlsx(&ctx.app, file, target);
    } catch (const host::FileError& e) {
        ShowNotice(tk, (e.File() == target ? "不能保存文件“" : "不能打开文件“") + e.File() + "”：" + e.Reason());
        outcome = Outcome::Of(Outcome::Kind::FileError);
        return {};
    }
    if (!ask) ShowNotice(tk, "已将“" + file + "”另存为“" + target + "”，以后以它作为花名册。");
    outcome = Outcome::Done();
    outcome.saved.push_back(target);
    return target;
}

bool AdoptForeignRoster(const Context& ctx) {
    ParameterCells cells(ctx.system);
    std::string folder, name;
    ResumeNext([&] { folder = cells.RosterFolder(); });
    ResumeNext([&] { name = cells.RosterFileName(); });
    if (folder.empty() || name.empty()) return true;
    const std::string file = folder + host::Application::PathSeparator() + name;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec) || host::ForeignFormatOf(file) == host::ForeignFormat::None) return true;
    Outcome outcome;
    const std::string target = SaveForeignRoster(ctx, file, true, outcome);
    if (target.empty()) return false;
    ResumeNext([&] { cells.SetRosterFileName(FileNameOf(target)); });
    return true;
}

}  // namespace workbook
