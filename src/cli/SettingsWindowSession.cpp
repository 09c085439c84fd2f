#include "cli/SettingsWindowSession.h"

#include "cli/Command.h"
#include "entry/Session.h"
#include "entry/TolmDll.h"
#include "host/Application.h"

namespace cli {

SettingsWindowSession::SettingsWindowSession(CommandContext& ctx, platform::Toolkit* toolkit) {
    const std::string systemPath = ctx.Absolute(ctx.options.systemFile);
    // Opened here first so that the save step compares against the cells as they were read.
    ctx.SetSystemWorkbook(&entry::OpenSystemWorkbook(ctx.app, systemPath));
    host::Application::SetRunning(&ctx.app);
    component_ = std::make_unique<ui::Component>(toolkit ? *toolkit : ctx.toolkit);
    entry::TolmDll(*component_).WKopen();
    window_ = &dynamic_cast<ui::FrmSeZhi&>(ui::ShowMainWindow(*component_, workbook::WindowCode::Settings));
}

void SettingsWindowSession::PrintWindow(std::ostream& out) const {
    const ui::FrmSeZhi& w = *window_;
    out << w.Label8.Caption() << w.Label10.Caption() << '\n'
        << w.Label9.Caption() << w.Label11.Caption() << '\n'
        << w.Label4.Caption() << w.Label1.Caption() << '\n'
        << "考场组数：" << w.Text1.Text() << "  同桌年级数：" << w.Combo3.Text() << "  考场总数：" << w.Text2.Text()
        << "  设置表字段数：" << w.Text3.Text() << '\n';
}

}  // namespace cli
