#include "settings/RosterNotices.h"

#include "host/Application.h"
#include "host/HostError.h"
#include "ui/Toolkit.h"
#include "workbook/ParameterCells.h"

namespace settings {

void ShowNotice(ui::Toolkit& toolkit, const std::string& text) {
    toolkit.MessageBox({text, ui::MsgButtons::OK, ui::MsgIcon::Information, 1, kNoticeTitle});
}

std::string MissingRosterMessage(const host::Workbook& system) {
    workbook::ParameterCells cells(system);
    std::string folder, file;
    host::ResumeNext([&] { folder = cells.RosterFolder(); });
    host::ResumeNext([&] { file = cells.RosterFileName(); });
    return "目标路径“" + folder + file + "”不存在！操作中断！";
}

void SetHostSwitches(host::Application& app, bool on) {
    host::ResumeNext([&] { app.SetScreenUpdating(on); });
    host::ResumeNext([&] { app.SetDisplayAlerts(on); });
}

}  // namespace settings
