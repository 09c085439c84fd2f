#include "ui/frmAbout.h"

#include <string>

#include "ui/Component.h"
#include "host/HostError.h"
#include "platform/Toolkit.h"
#include "workbook/SystemNames.h"

namespace ui {

const char* ProductVersion() { return TOLM_VERSION; }

frmAbout::frmAbout(ui::Component& component)
    : Window(component, kName, "关于 " + std::string(workbook::kProductName), 5400, 3600) {
    lblTitle.SetCaption(std::string(workbook::kProductName));
    lblVersion.SetCaption("版本 " + std::string(ProductVersion()));
    lblDescription.SetCaption(
        "按年级把考生分配到各考场和座位，编制考号，使同班考生互不相邻，"
        "并依据模板生成考场名单、座位表、桌贴等考试用表，分区打印或预览。");
    cmdOK.On(Event::Click, [this] { cmdOK_Click(); });
}

void frmAbout::OnLoad() {
    ui::Component& c = Component();
    host::ResumeNext([&] {
        Toolkit().PlaceWindow(*this, c.WindowLeft() + kOffsetPixels, c.WindowTop() + kOffsetPixels);
    });
}

}  // namespace ui
