#include "ui/MainWindow.h"

#include <filesystem>
#include <memory>

#include "entry/Component.h"
#include "host/Application.h"
#include "host/HostError.h"
#include "host/Variant.h"
#include "host/Workbook.h"
#include "ui/FrmDaYin.h"
#include "ui/FrmHuaMinChe.h"
#include "ui/FrmKCBP.h"
#include "ui/FrmSeZhi.h"
#include "ui/Toolkit.h"
#include "ui/frmAbout.h"
#include "workbook/SystemNames.h"

namespace ui {

int32_t TwipsToPixels(double twips, double twipsPerPixel) {
    const int32_t divisor = host::ToInt32(twipsPerPixel);
    if (divisor == 0) throw host::HostError("除数为零");
    return host::ToInt32(twips) / divisor;
}

MainWindow::MainWindow(entry::Component& component, std::string name, std::string caption, workbook::WindowCode code,
                       std::string helpMenuName)
    : Window(component, std::move(name), std::move(caption), kDesignWidth, kDesignHeight),
      Help(this, std::move(helpMenuName), "帮助(&H)"),
      code_(code) {}

void MainWindow::PlaceWindow() {
    entry::Component& c = Component();
    ui::Toolkit& tk = Toolkit();
    host::ResumeNext([&] {
        tk.PlaceWindow(*this, c.WindowLeft(), c.WindowTop());
        SetLeft(c.WindowLeft() * tk.TwipsPerPixelX());
        SetTop(c.WindowTop() * tk.TwipsPerPixelY());
    });
}

void MainWindow::SetAboutCaption() {
    GuangYu.SetCaption("关于 " + std::string(workbook::kProductName) + "(&G)");
}

void MainWindow::RecordWindowCode() { workbook::ParameterCells(Component().System()).SetWindowCode(code_); }

void MainWindow::LoadCommonSteps() {
    host::ResumeNext([&] { PlaceWindow(); });
    host::ResumeNext([&] { SetAboutCaption(); });
    host::ResumeNext([&] { RecordWindowCode(); });
}

void MainWindow::NavigateTo(workbook::WindowCode target) {
    if (target == code_) return;
    entry::Component& c = Component();
    ui::Toolkit& tk = Toolkit();
    c.SetWindowPosition(TwipsToPixels(Left(), tk.TwipsPerPixelX()), TwipsToPixels(Top(), tk.TwipsPerPixelY()));
    Unload();
    ShowMainWindow(c, target);
}

void MainWindow::HelpWord_Click() {
    host::ResumeNext([&] {
        const std::string file = Component().System().Path() + host::Application::PathSeparator() + Toolkit().HelpFileName();
        std::error_code ec;
        if (std::filesystem::is_regular_file(file, ec)) Toolkit().OpenDocument(file);
    });
}

void MainWindow::LjHelp_Click() { Toolkit().OpenDocument(kOnlineHelpAddress); }

void MainWindow::GuangYu_Click() {
    entry::Component& c = Component();
    Window* about = c.OpenWindow(frmAbout::kName);
    if (!about) about = &c.Adopt(std::make_unique<frmAbout>(c));
    about->Show(true);
}

namespace {
std::unique_ptr<MainWindow> NewMainWindow(entry::Component& c, workbook::WindowCode code) {
    switch (code) {
        case workbook::WindowCode::ExamTables: return std::make_unique<FrmHuaMinChe>(c);
        case workbook::WindowCode::Arrangement: return std::make_unique<FrmKCBP>(c);
        case workbook::WindowCode::Print: return std::make_unique<FrmDaYin>(c);
        case workbook::WindowCode::Settings: break;
    }
    return std::make_unique<FrmSeZhi>(c);
}
}  // namespace

MainWindow& ShowMainWindow(entry::Component& component, workbook::WindowCode code) {
    for (Window* w : component.OpenWindows()) {
        auto* main = dynamic_cast<MainWindow*>(w);
        if (main && main->Code() == code) {
            main->Show(false);
            return *main;
        }
    }
    MainWindow& w = component.Adopt(NewMainWindow(component, code));
    w.Show(false);
    return w;
}

}  // namespace ui
