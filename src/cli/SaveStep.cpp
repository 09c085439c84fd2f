#include "cli/SaveStep.h"

#include <algorithm>
#include <filesystem>
#include <ostream>

#include "cli/Command.h"
#include "host/Application.h"
#include "host/HostError.h"
#include "host/Workbook.h"
#include "workbook/ParameterCells.h"

namespace cli {

namespace fs = std::filesystem;

namespace {

bool HasXlsxExtension(const std::string& name) {
    std::string ext = fs::path(name).extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".xlsx" || ext == ".xlsm";
}

// Name + ".xlsx" in the folder, or the first "Name (n).xlsx" that is free.
std::string FreeTarget(const fs::path& folder, const std::string& name) {
    const bool hasExt = HasXlsxExtension(name);
    const std::string base = hasExt ? fs::path(name).stem().string() : name;
    const std::string ext = hasExt ? fs::path(name).extension().string() : ".xlsx";
    fs::path target = folder / (base + ext);
    for (int n = 2; fs::exists(target); ++n) target = folder / (base + " (" + std::to_string(n) + ")" + ext);
    return target.string();
}

bool NeedsSave(const CommandContext& ctx, const host::Workbook& wb) {
    if (&wb != ctx.systemWorkbook) return !wb.Saved();
    if (wb.Path().empty() || !fs::exists(wb.FullName())) return true;
    return !wb.Saved() && CellsFingerprint(wb) != ctx.systemCellsFingerprint;
}

std::string RosterFolder(const CommandContext& ctx) {
    if (!ctx.systemWorkbook) return {};
    std::string folder;
    host::ResumeNext([&] { folder = workbook::ParameterCells(*ctx.systemWorkbook).RosterFolder(); });
    return folder;
}

}  // namespace

std::string OutFolder(const CommandContext& ctx) {
    if (!ctx.options.outDir.empty()) return ctx.Absolute(ctx.options.outDir);
    std::string roster = RosterFolder(ctx);
    std::error_code ec;
    if (!roster.empty() && fs::is_directory(roster, ec)) return roster;
    return ctx.currentFolder;
}

std::vector<std::string> SaveChangedWorkbooks(CommandContext& ctx) {
    std::vector<std::string> written;
    std::vector<host::Workbook*> pending;
    for (const auto& wb : ctx.app.WorkbookList())
        if (NeedsSave(ctx, *wb)) pending.push_back(wb.get());
    if (pending.empty()) return written;
    // The user's workbooks first, the system workbook last: when a roster
    // cannot be written, the system workbook does not record a run whose
    // result is not on disk.
    std::stable_partition(pending.begin(), pending.end(), [&](host::Workbook* wb) { return wb != ctx.systemWorkbook; });
    std::string out = OutFolder(ctx);
    for (size_t i = 0; i < pending.size(); ++i) {
        host::Workbook* wb = pending[i];
        try {
            if (wb->Path().empty()) {
                std::error_code ec;
                fs::create_directories(out, ec);
                if (ec) throw host::FileError(out, "无法创建文件夹（" + ec.message() + "）");
                wb->SaveAs(FreeTarget(out, wb->Name()));
            } else {
                wb->Save();
            }
            // Saved early (before a success notice): later changes count from here.
            if (wb == ctx.systemWorkbook) ctx.systemCellsFingerprint = CellsFingerprint(*wb);
        } catch (const host::FileError&) {
            ctx.out << "未能保存“" << wb->Name() << "”：本次操作的结果没有写入文件。";
            std::string unsaved;
            for (size_t k = i + 1; k < pending.size(); ++k) unsaved += (unsaved.empty() ? "" : "、") + pending[k]->Name();
            if (!unsaved.empty()) ctx.out << "同样未保存：" << unsaved << "。";
            ctx.out << '\n';
            throw;
        }
        written.push_back(wb->FullName());
        ctx.out << "已保存：" << wb->FullName() << '\n';
    }
    return written;
}

}  // namespace cli
