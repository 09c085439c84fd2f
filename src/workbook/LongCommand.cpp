#include "workbook/LongCommand.h"

#include <filesystem>
#include <optional>

#include "host/Application.h"
#include "host/HostError.h"
#include "platform/Toolkit.h"
#include "workbook/Context.h"
#include "workbook/ForeignRoster.h"
#include "workbook/ParameterCells.h"
#include "workbook/RosterWorkbook.h"
#include "workbook/SystemNames.h"

namespace workbook {

using host::ResumeNext;

HostSwitchGuard::HostSwitchGuard(host::Application& app, Status status)
    : app_(app), busyText_(status == Status::Busy) {
    SetHostSwitches(app_, false);
    if (busyText_) ResumeNext([&] { app_.SetStatusBar(std::string(kBusyText)); });
}

HostSwitchGuard::~HostSwitchGuard() {
    if (busyText_) ResumeNext([&] { app_.SetStatusBar(std::nullopt); });
    SetHostSwitches(app_, true);
}

void SetHostSwitches(host::Application& app, bool on) {
    ResumeNext([&] { app.SetScreenUpdating(on); });
    ResumeNext([&] { app.SetDisplayAlerts(on); });
}

void ShowNotice(platform::Toolkit& toolkit, const std::string& text) {
    toolkit.MessageBox({text, platform::MsgButtons::OK, platform::MsgIcon::Information, 1, kNoticeTitle});
}

std::string MissingRosterMessage(const host::Workbook& system) {
    ParameterCells cells(system);
    std::string folder, file;
    ResumeNext([&] { folder = cells.RosterFolder(); });
    ResumeNext([&] { file = cells.RosterFileName(); });
    return "目标路径“" + folder + file + "”不存在！操作中断！";
}

std::string MissingRosterExplanation(const host::Workbook& system) {
    ParameterCells cells(system);
    std::string folder, file;
    ResumeNext([&] { folder = cells.RosterFolder(); });
    ResumeNext([&] { file = cells.RosterFileName(); });
    if (folder.empty() || file.empty())
        return "还没有选择花名册：请在“设置”窗口中单击“打开 (&O)”，选择花名册工作簿。";
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec))
        return "花名册所在的文件夹“" + folder + "”已不存在（被移动、改名或删除）：请在“设置”窗口中单击“打开 (&O)”重新选择花名册。";
    return "文件夹“" + folder + "”中没有“" + file + "”（被移动、改名或删除）：请在“设置”窗口中单击“打开 (&O)”重新选择花名册。";
}

host::Workbook* RosterOrTell(const Context& ctx) {
    if (!AdoptForeignRoster(ctx)) return nullptr;
    host::Workbook* roster = nullptr;
    ResumeNext([&] { roster = OpenRosterWorkbook(ctx.app, ctx.system); });
    if (!roster) {
        // The path message joins folder and name without a separator and is
        // empty when no roster was chosen: a second notice says what is wrong.
        ShowNotice(ctx.toolkit, MissingRosterMessage(ctx.system));
        ShowNotice(ctx.toolkit, MissingRosterExplanation(ctx.system));
    }
    return roster;
}

}  // namespace workbook
