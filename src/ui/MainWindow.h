#pragma once
// What the four main windows (Settings, Arrangement, Exam tables, Print) have
// in common: the menu bar that moves between them, placement at the shared
// window position, and the window code each writes into K6 when it loads.
// One main window is open at a time when the user moves through the menu.
#include <cstdint>
#include <string>

#include "ui/Controls.h"
#include "ui/Window.h"
#include "workbook/ParameterCells.h"

namespace host {
class Workbook;
}

namespace ui {

// The online help page that "联机帮助(&L)" opens.
inline constexpr const char* kOnlineHelpAddress = "https://tolm.sourceforge.io/help/";

class MainWindow : public Window {
public:
    // Design size of a main window in twips; 5550 high is what the first
    // window position centres vertically.
    static constexpr double kDesignWidth = 7200;
    static constexpr double kDesignHeight = 5550;

    MainWindow(ui::Component& component, std::string name, std::string caption, workbook::WindowCode code,
               std::string helpMenuName = "Help");

    workbook::WindowCode Code() const { return code_; }

    // The menu bar, in its order on screen.
    MenuItem SeZhi{this, "SeZhi", "设置(&S)"};
    MenuItem BinPai{this, "BinPai", "编排(&B)"};
    MenuItem HuaMinChe{this, "HuaMinChe", "考试用表(&M)"};
    MenuItem DaYin{this, "DaYin", "打印(&D)"};
    MenuItem Help;
    MenuItem HelpWord{this, "HelpWord", "帮助文档(&W)", &Help};
    MenuItem LjHelp{this, "LjHelp", "联机帮助(&L)", &Help};
    MenuItem GuangYu{this, "GuangYu", "关于软件(&G)", &Help};

    // The item naming the window itself does nothing.
    void SeZhi_Click() { NavigateTo(workbook::WindowCode::Settings); }
    void BinPai_Click() { NavigateTo(workbook::WindowCode::Arrangement); }
    void HuaMinChe_Click() { NavigateTo(workbook::WindowCode::ExamTables); }
    void DaYin_Click() { NavigateTo(workbook::WindowCode::Print); }
    // The help document (Toolkit::HelpFileName) beside the system workbook;
    // nothing happens when it is missing. When no program can open the
    // document or the online help, a message says so.
    void HelpWord_Click();
    void LjHelp_Click();
    void GuangYu_Click();

protected:
    // The common load steps; each window's load runs them as its procedure says.
    // Topmost at the shared window position, own size kept; a failure is ignored.
    void PlaceWindow();
    // "关于 " + product name + "(&G)".
    void SetAboutCaption();
    // This window's code into K6 of the parameter sheet.
    void RecordWindowCode();
    // The three above, each skipped when it fails.
    void LoadCommonSteps();
    // The roster workbook of K1/L1 for the window's own lists and labels;
    // null when there is none or its file cannot be read (the commands that
    // need the roster name that file and the reason).
    host::Workbook* RosterForDisplay();

private:
    // "无法打开" + what, with the reason: no program for web pages.
    void TellCannotOpen(const std::string& what);
    // Carries this window's place to the next one: its position in twips
    // becomes the pixel position of the target.
    void NavigateTo(workbook::WindowCode target);

    workbook::WindowCode code_;
};

// Opens the main window for the code modeless: the loaded one of that kind
// when there is one, otherwise a new one.
MainWindow& ShowMainWindow(ui::Component& component, workbook::WindowCode code);

// R(x) div R(y): both rounded half to even to 32 bits, then divided with
// truncation toward zero; a zero divisor is a HostError.
int32_t TwipsToPixels(double twips, double twipsPerPixel);

}  // namespace ui
