#include "ui/FrmDaYin.h"

namespace ui {

FrmDaYin::FrmDaYin(ui::Component& component)
    : MainWindow(component, kName, "打印", workbook::WindowCode::Print) {}

void FrmDaYin::OnLoad() { LoadCommonSteps(); }

}  // namespace ui
