#pragma once
// The Exam-tables window: the template sheets of the system workbook, the
// options stored with each, and the button that generates the exam tables.
// Selecting a template shows its sheet in the host, where the user designs it.
#include "tables/GenerateTables.h"
#include "tables/TemplateOptions.h"
#include "ui/MainWindow.h"

namespace ui {

class FrmHuaMinChe : public MainWindow {
public:
    static constexpr const char* kName = "FrmHuaMinChe";
    explicit FrmHuaMinChe(ui::Component& component);

    Frame Frame1{this, "Frame1", "模板表"};
    ListBox List1{this, "List1"};  // template names

    Frame Frame2{this, "Frame2", "表格设置"};
    Label Label1{this, "Label1", "分区字段"};
    ComboBox Combo1{this, "Combo1"};
    Label Label2{this, "Label2", "排序字段"};
    ComboBox Combo2{this, "Combo2"};
    CheckBox Check1{this, "Check1", "主体区第一行是列标题"};
    Label Label3{this, "Label3", "照片相对照片区缩放比例(%)"};
    TextBox Text1{this, "Text1", "99"};

    Frame Frame3{this, "Frame3", "组顺序"};
    OptionButton Option1{this, "Option1", "自左向右", &Frame3};
    OptionButton Option2{this, "Option2", "自右向左", &Frame3};
    Frame Frame4{this, "Frame4", "桌顺序"};
    OptionButton Option3{this, "Option3", "自下向上", &Frame4};
    OptionButton Option4{this, "Option4", "自上而下", &Frame4};

    CommandButton Command4{this, "Command4", "生成表格 (&T)"};
    CommandButton Command3{this, "Command3", "模板改名 (&E)"};
    CommandButton Command2{this, "Command2", "删除模板 (&W)"};
    CommandButton Command1{this, "Command1", "新增模板 (&R)"};
    CommandButton Command5{this, "Command5", "导入模板 (&I)"};

    // The arrangement's desk order as read from K12 at load: sequential when 1.
    bool SequentialDesks() const { return sequentialDesks_; }

    // A template chosen in List1: its stored options shown, its sheet the
    // visible, active sheet of the host. Nothing happens without a selection.
    void List1_Click();
    // Warns about a scale outside 1–100; the text stays as typed.
    void Text1_Change();
    workbook::Outcome Command1_Click();  // new template
    workbook::Outcome Command2_Click();  // delete template
    workbook::Outcome Command3_Click();  // rename template
    workbook::Outcome Command4_Click();  // generate the tables
    // Import a sheet of another workbook: the file from the open dialog, the
    // sheet's name from an input box.
    workbook::Outcome Command5_Click();

    // The options as the controls show them.
    tables::TemplateOptions Options() const;
    // Selects the template by name (raising List1's click); false when not listed.
    bool SelectTemplate(const std::string& name);

protected:
    void OnLoad() override;

private:
    void FillFieldLists();
    void FillTemplateList();

    bool sequentialDesks_ = false;
};

}  // namespace ui
