#include "settings/RosterSelection.h"

#include <filesystem>

#include "host/Application.h"
#include "host/HostError.h"
#include "host/Workbook.h"
#include "host/import/ForeignWorkbook.h"
#include "platform/Toolkit.h"
#include "workbook/Context.h"
#include "workbook/ForeignRoster.h"
#include "workbook/LongCommand.h"
#include "workbook/ParameterCells.h"
#include "workbook/SystemWorkbook.h"

namespace settings {

using host::ResumeNext;

namespace {

using workbook::kSameNameRefusal;

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

}  // namespace

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
        fileName = workbook::SaveForeignRoster(ctx, fileName, true, saved);
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
