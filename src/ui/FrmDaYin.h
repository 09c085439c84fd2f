#pragma once
#include "ui/MainWindow.h"

namespace ui {

// The Print window: block printing and previews of a workbook.
class FrmDaYin : public MainWindow {
public:
    static constexpr const char* kName = "FrmDaYin";
    explicit FrmDaYin(ui::Component& component);

protected:
    void OnLoad() override;
};

}  // namespace ui
