#include "entry/TolmDll.h"

#include <string>

#include "ui/Component.h"
#include "host/Application.h"
#include "host/HostError.h"
#include "host/Range.h"
#include "host/Workbook.h"
#include "ui/MainWindow.h"
#include "platform/Toolkit.h"
#include "workbook/ParameterCells.h"
#include "workbook/RosterWorkbook.h"
#include "workbook/SystemNames.h"
#include "workbook/SystemWorkbook.h"

namespace entry {

namespace {
// The height of the window that the first position centres, in twips.
constexpr double kCentredWindowHeight = 5550;

const std::string kPassword(workbook::kSheetPassword);

host::Application& RunningHost() {
    host::Application* app = host::Application::Running();
    if (!app) throw host::HostError("没有正在运行的电子表格程序");
    return *app;
}

host::Worksheet& FrontSheet(const ui::Component& c) {
    return workbook::RequireSheetByCodeName(c.System(), workbook::kFrontSheet);
}
}  // namespace

int32_t InitialWindowTop(double screenHeightTwips, double twipsPerPixelY) {
    return ui::TwipsToPixels(screenHeightTwips - kCentredWindowHeight, twipsPerPixelY) / 2;
}

int32_t InitialWindowLeft(double screenWidthTwips, double twipsPerPixelX) {
    return ui::TwipsToPixels(screenWidthTwips, twipsPerPixelX) / 2;
}

void TolmDll::WKopen() {
    using host::ResumeNext;
    ui::Component& c = component_;
    platform::Toolkit& tk = c.Toolkit();
    ResumeNext([&] { c.SetApplication(&RunningHost()); });
    ResumeNext([&] { c.SetSystemWorkbook(c.App().ActiveWorkbook()); });
    ResumeNext([&] { c.System().SetRemovePersonalInformation(false); });
    ResumeNext([&] { c.App().SetDisplayStatusBar(true); });
    ResumeNext([&] { c.App().SetScreenUpdating(false); });
    ResumeNext([&] { c.App().SetDisplayAlerts(false); });
    try {
        ResumeNext([&] { workbook::OpenRosterWorkbook(c.App(), c.System()); });
    } catch (const host::FileError&) {
        // Left closed: the commands that need the roster name the file and the reason.
    }
    ResumeNext([&] { workbook::HideServiceSheets(c.System()); });
    ResumeNext([&] {
        c.SetWindowPosition(c.WindowLeft(), InitialWindowTop(tk.ScreenHeightTwips(), tk.TwipsPerPixelY()));
    });
    ResumeNext([&] {
        c.SetWindowPosition(InitialWindowLeft(tk.ScreenWidthTwips(), tk.TwipsPerPixelX()), c.WindowTop());
    });
    ResumeNext([&] { FrontSheet(c).Unprotect(kPassword); });
    ResumeNext([&] { FrontSheet(c).Activate(); });
    ResumeNext([&] { FrontSheet(c).SetScrollArea("F6"); });
    ResumeNext([&] {
        host::Worksheet& front = FrontSheet(c);
        // The host activates cells of the active sheet only.
        if (front.Parent().ActiveSheet() != &front) throw host::HostError("只能激活活动工作表上的单元格");
        front.GetRange("F6").Activate();
    });
    ResumeNext([&] { FrontSheet(c).Protect(kPassword); });
    ResumeNext([&] { c.App().SetScreenUpdating(true); });
    ResumeNext([&] { c.App().SetDisplayAlerts(true); });
}

void TolmDll::Start() {
    if (component_.AnyWindowOpen()) return;
    const double code = workbook::ParameterCells(component_.System()).WindowCodeNumber();
    ui::ShowMainWindow(component_, workbook::WindowForCode(code));
}

}  // namespace entry
