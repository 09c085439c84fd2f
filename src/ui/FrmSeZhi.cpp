#include "ui/FrmSeZhi.h"

#include "entry/Component.h"
#include "host/Application.h"
#include "host/HostError.h"

namespace ui {

FrmSeZhi::FrmSeZhi(entry::Component& component)
    : MainWindow(component, kName, "设置", workbook::WindowCode::Settings, "help") {}

void FrmSeZhi::OnLoad() {
    entry::Component& c = Component();
    host::ResumeNext([&] { c.App().SetScreenUpdating(false); });
    host::ResumeNext([&] { c.App().SetDisplayAlerts(false); });
    LoadCommonSteps();
    host::ResumeNext([&] { c.App().SetScreenUpdating(true); });
    host::ResumeNext([&] { c.App().SetDisplayAlerts(true); });
}

}  // namespace ui
