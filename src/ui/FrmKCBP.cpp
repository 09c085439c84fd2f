#include "ui/FrmKCBP.h"

namespace ui {

FrmKCBP::FrmKCBP(entry::Component& component)
    : MainWindow(component, kName, "考场编排", workbook::WindowCode::Arrangement) {}

void FrmKCBP::OnLoad() { LoadCommonSteps(); }

}  // namespace ui
