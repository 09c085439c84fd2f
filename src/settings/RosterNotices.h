#pragma once
// Message boxes that data statistics and roster maintenance share, and the
// host switches around them.
#include <string>

namespace host {
class Application;
class Workbook;
}  // namespace host
namespace ui {
class Toolkit;
}

namespace settings {

inline constexpr const char* kNoticeTitle = "提示信息…";

// An information box with an OK button, titled "提示信息…".
void ShowNotice(ui::Toolkit& toolkit, const std::string& text);

// "目标路径“" + K1 + L1 + "”不存在！操作中断！": the folder and the file
// name as stored, joined without a separator.
std::string MissingRosterMessage(const host::Workbook& system);

// ScreenUpdating and DisplayAlerts, each switched on its own so that one
// failing switch does not keep the other from changing.
void SetHostSwitches(host::Application& app, bool on);

}  // namespace settings
