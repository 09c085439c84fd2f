#include "ui/FrmHuaMinChe.h"

namespace ui {

FrmHuaMinChe::FrmHuaMinChe(ui::Component& component)
    : MainWindow(component, kName, "考试用表", workbook::WindowCode::ExamTables) {}

void FrmHuaMinChe::OnLoad() { LoadCommonSteps(); }

}  // namespace ui
