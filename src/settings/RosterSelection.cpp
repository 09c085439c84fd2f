#include "settings/RosterSelection.h"

#include <filesystem>

#include "host/Application.h"
#include "host/HostError.h"
#include "host/Workbook.h"
#include "host/import/ForeignWorkbook.h"
#include "platform/Toolkit.h"
#include "workbook/Context.h"
#include "workbook/LongCommand.h"
#include "workbook/ParameterCells.h"
#include "workbook/SystemWorkbook.h"

namespace settings {

using host::ResumeNext;

namespace {

constexpr const char* kSameNameRefusal =
    "不能同时打开同名文件，无论它们是否在同一文件夹中， 要打开第二份文档，请关闭已经打开的文档，"
    "或者重新命名其中的一个文档。";

// The spreadsheet formats first, then the Excel formats alone.
constexpr const char* kRosterFilter =
    "表格文件 (*.xls;*.xlsx;*.xlsm;*.ods;*.csv)|*.xls;*.xlsx;*.xlsm;*.ods;*.csv|"
    "Excel 文件 (*.xls;*.xlsx;*.xlsm)| *.xls;*.xlsx;*.xlsm";

void CreateFolderWhenMissing(const std::string& folder) {
    std::error_code ec;
    if (std::filesystem::is_directory(folder, ec)) return;
    std::filesystem::create_directories(folder, ec);
    if (ec) throw host::HostError(folder + "：" + ec.message());
}

std::string Normalised(const std::string& path) {
    std::error_code ec;
    auto abs = std::filesystem::weakly_canonical(path, ec);
    return ec ? std::filesystem::path(path).lexically_normal().string() : abs.string();
}

// The workbook open in the host from this very file; null when none is.
host::Workbook* OpenFrom(host::Application& app, const std::string& fileName) {
    const std::string wanted = Normalised(fileName);
    for (const auto& wb : app.WorkbookList())
        if (!wb->Path().empty() && Normalised(wb->FullName()) == wanted) return wb.get();
    return nullptr;
}

// The host hands back a workbook that is open already from the very same
// file instead of opening it twice; any other workbook of that file name
// makes Open refuse.
host::Workbook* OpenInHost(host::Application& app, const std::string& fileName) {
    if (host::Workbook* open = OpenFrom(app, fileName)) return open;
    return app.Workbooks().Open(fileName);
}

std::string FileNameOf(const std::string& path) { return std::filesystem::path(path).filename().string(); }

}  // namespace

std::string SaveForeignRoster(const workbook::Context& ctx, const std::string& file, bool ask, workbook::Outcome& outcome) {
    platform::Toolkit& tk = ctx.toolkit;
    outcome = workbook::Outcome::Stopped();
    const host::ForeignFormat format = host::ForeignFormatOf(file);
    const std::string target = host::XlsxBeside(file);
    if (ask) {
        const std::string question = "“" + FileNameOf(file) + "”是" + host::ForeignFormatName(format) +
                                     "。考场编排系统只能保存 .xlsx 工作簿：是否把它另存为同一文件夹中的“" +
                                     FileNameOf(target) + "”，以后以另存的工作簿作为花名册？原文件不会改变。";
        if (tk.MessageBox({question, platform::MsgButtons::YesNo, platform::MsgIcon::Question, 1, workbook::kNoticeTitle}) !=
            platform::MsgResult::Yes)
            return {};
    }
    std::error_code ec;
    if (std::filesystem::exists(target, ec)) {
        if (!ask) throw host::FileError(target, "同一文件夹中已经有这个工作簿，没有替换它，花名册没有改变；请删除它或给它改名后再试，或者直接选择它作为花名册");
        const std::string question = "同一文件夹中已经有“" + FileNameOf(target) + "”。是否用“" + FileNameOf(file) +
                                     "”的内容替换它？选择“否”则不做任何更改。";
        if (tk.MessageBox({question, platform::MsgButtons::YesNo, platform::MsgIcon::Exclamation, 2, workbook::kNoticeTitle}) !=
            platform::MsgResult::Yes)
            return {};
    }
    // The host holds one workbook per file name: the new file could not be
    // opened beside another one of that name. One open from the very file is
    // closed first when it has no unsaved changes; with changes it stays,
    // and so does the file.
    if (host::Workbook* open = ctx.app.Workbooks().Find(FileNameOf(target))) {
        if (open != OpenFrom(ctx.app, target) || !open->Saved() || open == &ctx.system) {
            workbook::ShowNotice(tk, kSameNameRefusal);
            return {};
        }
        ResumeNext([&] { open->Close(false); });
        if (ctx.app.Workbooks().Find(FileNameOf(target))) {
            workbook::ShowNotice(tk, kSameNameRefusal);
            return {};
        }
    }
    try {
        host::SaveForeignAsXlsx(&ctx.app, file, target);
    } catch (const host::FileError& e) {
        workbook::ShowNotice(tk, (e.File() == target ? "不能保存文件“" : "不能打开文件“") + e.File() + "”：" + e.Reason());
        outcome = workbook::Outcome::Of(workbook::Outcome::Kind::FileError);
        return {};
    }
    if (!ask) workbook::ShowNotice(tk, "已将“" + file + "”另存为“" + target + "”，以后以它作为花名册。");
    outcome = workbook::Outcome::Done();
    outcome.saved.push_back(target);
    return target;
}

std::string DefaultRosterFolder(const host::Workbook& system) {
    return system.Path() + host::Application::PathSeparator() + "花名册";
}

workbook::Outcome ChooseRosterWorkbook(const workbook::Context& ctx,
                                       const std::function<void(host::Workbook&)>& showRosterInfo) {
    platform::Toolkit& tk = ctx.toolkit;
    std::string folder;
    ResumeNext([&] { folder = DefaultRosterFolder(ctx.system); });
    // A system workbook that was never saved has no folder to put one beside.
    ResumeNext([&] {
        if (!ctx.system.Path().empty()) CreateFolderWhenMissing(folder);
    });

    std::string fileName = tk.OpenFileDialog({"请选择花名册…", folder, kRosterFilter});
    if (fileName.empty()) return workbook::Outcome::Stopped();
    workbook::Outcome saved;
    if (host::ForeignFormatOf(fileName) != host::ForeignFormat::None) {
        fileName = SaveForeignRoster(ctx, fileName, true, saved);
        if (fileName.empty()) return saved;
    }

    host::Workbook* roster = nullptr;
    const bool wasOpen = OpenFrom(ctx.app, fileName) != nullptr;
    try {
        roster = OpenInHost(ctx.app, fileName);
    } catch (const host::FileError& e) {
        // A file that cannot be read is named with its reason; the same-name
        // text would send the user looking for a workbook that is not open.
        workbook::ShowNotice(tk, "不能打开文件“" + e.File() + "”：" + e.Reason());
        return workbook::Outcome::Of(workbook::Outcome::Kind::FileError);
    } catch (const host::HostError&) {
    }
    if (!roster) {
        workbook::ShowNotice(tk, kSameNameRefusal);
        return workbook::Outcome::Stopped();
    }
    // A system workbook given settings sheets and arranged would lose the
    // tool's own state: refused, K1/L1 unchanged.
    if (roster == &ctx.system || workbook::IsSystemWorkbook(*roster)) {
        if (!wasOpen && roster != &ctx.system) ResumeNext([&] { roster->Close(false); });
        workbook::ShowNotice(tk, "“" + roster->Name() + "”是考场编排系统的系统工作簿，不能作为花名册。请选择花名册工作簿。");
        return workbook::Outcome::Stopped();
    }
    workbook::ParameterCells cells(ctx.system);
    ResumeNext([&] { cells.SetRosterFolder(roster->Path()); });
    ResumeNext([&] { cells.SetRosterFileName(roster->Name()); });
    ResumeNext([&] { showRosterInfo(*roster); });
    return workbook::Outcome::Done().Join(saved);
}

}  // namespace settings
