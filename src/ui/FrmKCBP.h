#pragma once
#include "ui/MainWindow.h"

namespace ui {

// The Arrangement window: ordering options and the arrangement run.
class FrmKCBP : public MainWindow {
public:
    static constexpr const char* kName = "FrmKCBP";
    explicit FrmKCBP(entry::Component& component);

protected:
    void OnLoad() override;
};

}  // namespace ui
