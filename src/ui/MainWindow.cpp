#include "ui/MainWindow.h"

#include <filesystem>
#include <memory>

#include "ui/Component.h"
#include "host/Application.h"
#include "host/HostError.h"
#include "host/Variant.h"
#include "host/Workbook.h"
#include "ui/FrmDaYin.h"
#include "ui/FrmHuaMinChe.h"
#include "ui/FrmKCBP.h"
#include "ui/FrmSeZhi.h"
#include "platform/Toolkit.h"
#include "ui/frmAbout.h"
#include "workbook/RosterWorkbook.h"
#include "workbook/SystemNames.h"

namespace ui {

int32_t TwipsToPixels(double twips, double twipsPerPixel) {
    const int32_t divisor = host::ToInt32(twipsPerPixel);
    if (divisor == 0) throw host::HostError("除数为零");
    return host::ToInt32(twips) / divisor;
}

MainWindow::MainWindow(ui::Component& component, std::string name, std::string caption, workbook::WindowCode code,
                       std::string helpMenuName)
    : Window(component, std::move(name), std::move(caption), kDesignWidth, kDesignHeight),
      Help(this, std::move(helpMenuName), "帮助(&H)"),
      code_(code) {
    SeZhi.On(Event::Click, [this] { SeZhi_Click(); });
    BinPai.On(Event::Click, [this] { BinPai_Click(); });
    HuaMinChe.On(Event::Click, [this] { HuaMinChe_Click(); });
    DaYin.On(Event::Click, [this] { DaYin_Click(); });
    HelpWord.On(Event::Click, [this] { HelpWord_Click(); });
    LjHelp.On(Event::Click, [this] { LjHelp_Click(); });
    GuangYu.On(Event::Click, [this] { GuangYu_Click(); });
}

void MainWindow::PlaceWindow() {
    ui::Component& c = Component();
    platform::Toolkit& tk = Toolkit();
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

host::Workbook* MainWindow::RosterForDisplay() {
    host::Workbook* roster = nullptr;
    try {
        host::ResumeNext([&] { roster = workbook::OpenRosterWorkbook(Component().App(), Component().System()); });
    } catch (const host::FileError&) {
    }
    return roster;
}

void MainWindow::NavigateTo(workbook::WindowCode target) {
    if (target == code_) return;
    ui::Component& c = Component();
    platform::Toolkit& tk = Toolkit();
    c.SetWindowPosition(TwipsToPixels(Left(), tk.TwipsPerPixelX()), TwipsToPixels(Top(), tk.TwipsPerPixelY()));
    Unload();
    ShowMainWindow(c, target);
}

void MainWindow::HelpWord_Click() {
    host::ResumeNext([&] {
        const std::string file = Component().System().Path() + host::Application::PathSeparator() + Toolkit().HelpFileName();
        std::error_code ec;
        if (std::filesystem::is_regular_file(file, ec) && !Toolkit().OpenDocument(file))
            TellCannotOpen("帮助文档“" + file + "”");
    });
}

void MainWindow::LjHelp_Click() {
    if (!Toolkit().OpenDocument(kOnlineHelpAddress)) TellCannotOpen(std::string("联机帮助 ") + kOnlineHelpAddress);
}

void MainWindow::TellCannotOpen(const std::string& what) {
    Toolkit().MessageBox({"无法打开" + what + "：这台计算机上没有能打开网页的程序（浏览器）。\n"
                          "请安装浏览器，或在别的计算机上打开它。",
                          platform::MsgButtons::OK, platform::MsgIcon::Exclamation, 1,
                          std::string(workbook::kProductName)});
}

void MainWindow::GuangYu_Click() {
    ui::Component& c = Component();
    Window* about = c.OpenWindow(frmAbout::kName);
    if (!about) about = &c.Adopt(std::make_unique<frmAbout>(c));
    about->Show(true);
}

namespace {
std::unique_ptr<MainWindow> NewMainWindow(ui::Component& c, workbook::WindowCode code) {
    switch (code) {
        case workbook::WindowCode::ExamTables: return std::make_unique<FrmHuaMinChe>(c);
        case workbook::WindowCode::Arrangement: return std::make_unique<FrmKCBP>(c);
        case workbook::WindowCode::Print: return std::make_unique<FrmDaYin>(c);
        case workbook::WindowCode::Settings: break;
    }
    return std::make_unique<FrmSeZhi>(c);
}
}  // namespace

MainWindow& ShowMainWindow(ui::Component& component, workbook::WindowCode code) {
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
