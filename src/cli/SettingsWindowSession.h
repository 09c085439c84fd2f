#pragma once
// The Settings window opened headless for one command: the system workbook
// is opened (or created), a TolmDll binds to it with WKopen, and the
// Settings window loads whatever window K6 names, as the menu item
// "设置(&S)" would open it.
#include <memory>
#include <ostream>

#include "ui/Component.h"
#include "ui/FrmSeZhi.h"

namespace platform {
class Toolkit;
}

namespace cli {

struct CommandContext;

class SettingsWindowSession {
public:
    // `toolkit` defaults to the command's scripted toolkit.
    explicit SettingsWindowSession(CommandContext& ctx, platform::Toolkit* toolkit = nullptr);

    ui::FrmSeZhi& Window() const { return *window_; }
    ui::Component& Component() const { return *component_; }

    // The roster box and the parameter inputs as the window shows them.
    void PrintWindow(std::ostream& out) const;

private:
    std::unique_ptr<ui::Component> component_;
    ui::FrmSeZhi* window_ = nullptr;
};

}  // namespace cli
