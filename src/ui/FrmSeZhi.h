#pragma once
#include "ui/MainWindow.h"

namespace ui {

// The Settings window: roster workbook, exam parameters, settings sheets.
class FrmSeZhi : public MainWindow {
public:
    static constexpr const char* kName = "FrmSeZhi";
    explicit FrmSeZhi(entry::Component& component);

protected:
    void OnLoad() override;
};

}  // namespace ui
