#pragma once
// The Settings window: which roster workbook is in use, the four exam
// parameters (K2–K5), and the buttons that choose the roster workbook, save
// the parameters, maintain the roster data and run the data statistics.
// The file dialog of "打开 (&O)" is the toolkit's open-file dialog.
#include <cstdint>

#include "settings/SaveParameters.h"
#include "ui/MainWindow.h"

namespace host {
class Workbook;
}

namespace ui {

class FrmSeZhi : public MainWindow {
public:
    static constexpr const char* kName = "FrmSeZhi";
    explicit FrmSeZhi(ui::Component& component);

    // Command1 indices.
    enum Button : int { kStatistics = 0, kMaintain = 1, kSave = 2, kOpen = 3 };

    Frame Frame2{this, "Frame2", "花名册"};
    Label Label8{this, "Label8", "路径："};
    Label Label10{this, "Label10"};  // the roster workbook's folder
    Label Label9{this, "Label9", "工作簿："};
    Label Label11{this, "Label11"};  // its file name
    Label Label4{this, "Label4", "年级数："};
    Label Label1{this, "Label1"};    // its number of roster sheets
    ControlArray<CommandButton> Command1{this, "Command1", {"数据统计 (&T)", "维护数据 (&E)", "保存 (&C)", "打开 (&O)"}};
    Frame Frame1{this, "Frame1", "设置参数"};
    Label Label2{this, "Label2", "请选择同桌年级数"};
    ComboBox Combo3{this, "Combo3"};  // grades per desk group, K3
    Label Label5{this, "Label5", "请输入考场总数"};
    TextBox Text2{this, "Text2"};     // exam rooms, K4
    Label Label3{this, "Label3", "请输入考场组数"};
    TextBox Text1{this, "Text1"};     // desk groups per room, K2
    Label Label7{this, "Label7", "输入设置表字段数"};
    TextBox Text3{this, "Text3"};     // extra settings-sheet fields, K5

    // The window fields, loaded from K2–K5 and updated by a save.
    int16_t DeskGroups() const { return deskGroups_; }
    int16_t GradesPerGroup() const { return gradesPerGroup_; }
    int16_t RoomCount() const { return rooms_; }
    int16_t ExtraFieldCount() const { return extraFields_; }

    // The button handler shared by the four buttons: host switches off and
    // the busy text on around the button's action, restored on every exit.
    workbook::Outcome Command1_Click(int index);

    // Refreshes the roster box and the choices of Combo3; null clears them
    // and disables the statistics and maintenance buttons.
    void ShowRosterInfo(host::Workbook* roster);

    // "保存 (&C)".
    workbook::Outcome SaveParameters();
    // What the last save did, for front ends that report it.
    const settings::SaveOutcome& LastSave() const { return lastSave_; }

protected:
    void OnLoad() override;

private:
    void ReadParameterCells();

    int16_t deskGroups_ = 0, gradesPerGroup_ = 0, rooms_ = 0, extraFields_ = 0;
    settings::SaveOutcome lastSave_;
};

}  // namespace ui
