#include "gui/WindowEvents.h"

#include <functional>
#include <string>

#include "ui/FrmKCBP.h"
#include "ui/FrmSeZhi.h"
#include "ui/MainWindow.h"
#include "ui/frmAbout.h"

namespace gui {

namespace {

bool MenuClick(ui::MainWindow& w, const ui::Control& c) {
    const std::pair<const ui::MenuItem*, void (ui::MainWindow::*)()> items[] = {
        {&w.SeZhi, &ui::MainWindow::SeZhi_Click},       {&w.BinPai, &ui::MainWindow::BinPai_Click},
        {&w.HuaMinChe, &ui::MainWindow::HuaMinChe_Click}, {&w.DaYin, &ui::MainWindow::DaYin_Click},
        {&w.HelpWord, &ui::MainWindow::HelpWord_Click}, {&w.LjHelp, &ui::MainWindow::LjHelp_Click},
        {&w.GuangYu, &ui::MainWindow::GuangYu_Click},
    };
    for (const auto& [item, handler] : items)
        if (item == &c) {
            (w.*handler)();
            return true;
        }
    return false;
}

bool SettingsClick(ui::FrmSeZhi& w, const ui::Control& c) {
    for (int i = 0; i < w.Command1.Count(); ++i)
        if (&w.Command1[i] == &c) {
            w.Command1_Click(i);
            return true;
        }
    return false;
}

}  // namespace

bool ClickControl(ui::Window& window, ui::Control& control) {
    if (auto* about = dynamic_cast<ui::frmAbout*>(&window)) {
        if (&control != &about->cmdOK) return false;
        about->cmdOK_Click();
        return true;
    }
    auto* main = dynamic_cast<ui::MainWindow*>(&window);
    if (!main) return false;
    if (MenuClick(*main, control)) return true;
    if (auto* settings = dynamic_cast<ui::FrmSeZhi*>(main)) return SettingsClick(*settings, control);
    if (auto* arrangement = dynamic_cast<ui::FrmKCBP*>(main); arrangement && &control == &arrangement->Command1) {
        arrangement->Command1_Click();
        return true;
    }
    return false;
}

bool ControlTextChanged(ui::Window& window, ui::Control& control) {
    if (auto* arrangement = dynamic_cast<ui::FrmKCBP*>(&window); arrangement && &control == &arrangement->Text1) {
        arrangement->Text1_Change();
        return true;
    }
    return false;
}

}  // namespace gui
