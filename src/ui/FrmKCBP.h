#pragma once
// The Arrangement window: how candidates are ordered, how exam numbers are
// formed, in which order desks are numbered, and the button that starts the
// arrangement run. Every choice lives in K7–K12 of the parameter sheet, so
// the window reopens with the choices of the last run.
#include "arrangement/ArrangementOptions.h"
#include "ui/MainWindow.h"

namespace ui {

class FrmKCBP : public MainWindow {
public:
    static constexpr const char* kName = "FrmKCBP";
    explicit FrmKCBP(ui::Component& component);

    Frame Frame1{this, "Frame1", "编排方式"};
    OptionButton Option1{this, "Option1", "升序", &Frame1};
    OptionButton Option2{this, "Option2", "降序", &Frame1};
    OptionButton Option3{this, "Option3", "随机", &Frame1};
    Label Label1{this, "Label1", "排序关键字"};
    ComboBox Combo1{this, "Combo1"};  // sort key, K8

    Frame Frame2{this, "Frame2", "考号设计"};
    OptionButton Option4{this, "Option4", "方式1", &Frame2};
    OptionButton Option5{this, "Option5", "方式2", &Frame2};
    Frame Frame3{this, "Frame3", "方式1：按顺序编排"};
    Label Label2{this, "Label2", "首考号"};
    TextBox Text1{this, "Text1"};     // first exam number, K7
    Frame Frame4{this, "Frame4", "方式2：选定列+场号+座号"};
    Label Label3{this, "Label3", "列标题"};
    ComboBox Combo2{this, "Combo2"};  // prefix column of method 2, K9

    Frame Frame5{this, "Frame5", "桌顺序"};
    OptionButton Option6{this, "Option6", "顺序排列", &Frame5};
    OptionButton Option7{this, "Option7", "S形排列", &Frame5};

    CommandButton Command1{this, "Command1", "开始编排 (&K)"};

    // Checks the first exam number after every change of Text1: a text that
    // is not a whole number of at least 0 gets "请输入正整数！"; the text stays.
    void Text1_Change();
    // The arrangement run.
    workbook::Outcome Command1_Click();

    // The controls' choices as the run reads and stores them.
    arrangement::ArrangementOptions Options() const;

protected:
    void OnLoad() override;

private:
    void FillFieldLists();
    void ShowStoredOptions();
};

}  // namespace ui
