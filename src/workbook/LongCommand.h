#pragma once
// The frame of a long command: the host's screen updating and alerts off and
// the busy text in the status bar for its length, restored on every way out,
// exceptions included; and the one way to find the roster workbook or tell
// the user that it cannot be found.
#include <string>

namespace host {
class Application;
class Workbook;
}  // namespace host
namespace platform {
class Toolkit;
}

namespace workbook {

struct Context;

class HostSwitchGuard {
public:
    enum class Status { Unchanged, Busy };
    // Each switch is changed on its own, so one that fails does not keep the
    // others from changing; the destructor turns them all back on.
    explicit HostSwitchGuard(host::Application& app, Status status = Status::Busy);
    ~HostSwitchGuard();
    HostSwitchGuard(const HostSwitchGuard&) = delete;
    HostSwitchGuard& operator=(const HostSwitchGuard&) = delete;

private:
    host::Application& app_;
    bool busyText_;
};

// ScreenUpdating and DisplayAlerts, each switched on its own.
void SetHostSwitches(host::Application& app, bool on);

inline constexpr const char* kNoticeTitle = "提示信息…";

// An information box with an OK button, titled "提示信息…".
void ShowNotice(platform::Toolkit& toolkit, const std::string& text);

// "目标路径“" + K1 + L1 + "”不存在！操作中断！": the folder and the file
// name as stored, joined without a separator.
std::string MissingRosterMessage(const host::Workbook& system);

// What the path message cannot say: no roster chosen yet, its folder gone, or
// the file gone from its folder, with where to choose the roster.
std::string MissingRosterExplanation(const host::Workbook& system);

// The roster workbook of K1/L1, open in the host (one recorded in another
// format is first saved as .xlsx after asking, see AdoptForeignRoster); when there is none the user
// reads the missing-path message and its explanation, and the result is null. A roster file that
// exists but cannot be read is a host::FileError with its reason: it travels
// to the front end, which shows it.
host::Workbook* RosterOrTell(const Context& ctx);

}  // namespace workbook
