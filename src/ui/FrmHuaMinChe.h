#pragma once
#include "ui/MainWindow.h"

namespace ui {

// The Exam-tables window: template sheets and table generation.
class FrmHuaMinChe : public MainWindow {
public:
    static constexpr const char* kName = "FrmHuaMinChe";
    explicit FrmHuaMinChe(ui::Component& component);

protected:
    void OnLoad() override;
};

}  // namespace ui
