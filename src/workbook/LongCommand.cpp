#include "workbook/LongCommand.h"

#include <optional>

#include "host/Application.h"
#include "host/HostError.h"
#include "platform/Toolkit.h"
#include "workbook/Context.h"
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

host::Workbook* RosterOrTell(const Context& ctx) {
    host::Workbook* roster = nullptr;
    ResumeNext([&] { roster = OpenRosterWorkbook(ctx.app, ctx.system); });
    if (!roster) ShowNotice(ctx.toolkit, MissingRosterMessage(ctx.system));
    return roster;
}

}  // namespace workbook
