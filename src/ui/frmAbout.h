#pragma once
// The About window: the tool's title, version and what it does. Modal; it
// opens 50 pixels right of and below the shared window position.
#include "ui/Controls.h"
#include "ui/Window.h"

namespace ui {

class frmAbout : public Window {
public:
    static constexpr const char* kName = "frmAbout";
    static constexpr int32_t kOffsetPixels = 50;

    explicit frmAbout(ui::Component& component);

    Label lblTitle{this, "lblTitle"};
    Label lblVersion{this, "lblVersion"};
    Label lblDescription{this, "lblDescription"};
    CommandButton cmdOK{this, "cmdOK", "确定"};

    void cmdOK_Click() { Unload(); }

protected:
    void OnLoad() override;
};

// "0.1.0" from the build.
const char* ProductVersion();

}  // namespace ui
