// The Exam-tables window: controls and captions, the load, selecting a
// template, the photo-scale check, and new / delete / rename with their
// questions, messages and options rows.
#include <gtest/gtest.h>

#include <deque>

#include "RosterCheckFixtures.h"
#include "host/Application.h"
#include "host/Range.h"
#include "tables/TemplateOptions.h"
#include "ui/FrmHuaMinChe.h"
#include "workbook/SystemWorkbook.h"

using host::Variant;

namespace {

class InputToolkit : public coretest::AnsweringToolkit {
public:
    std::deque<std::string> inputs;
    std::deque<std::string> picks;
    std::vector<std::string> prompts;
    std::string OpenFileDialog(const platform::OpenFileRequest&) override {
        if (picks.empty()) return {};
        std::string s = picks.front();
        picks.pop_front();
        return s;
    }
    std::string InputBox(const std::string& prompt, const std::string& title, const std::string&) override {
        prompts.push_back(prompt + "|" + title);
        if (inputs.empty()) return {};
        std::string s = inputs.front();
        inputs.pop_front();
        return s;
    }
};

struct World : coretest::RosterFixture {
    InputToolkit input;
    ui::Component windows{input};
    World() {
        windows.SetApplication(&app);
        windows.SetSystemWorkbook(&system);
        host::Application::SetRunning(&app);
        workbook::ParameterCells(system).SetDeskOrder(1);
        AddRoster("高一", {{"姓名", "班级", "照片"}, {"甲", "1班", "001"}});
    }
    ~World() { host::Application::SetRunning(nullptr); }
    ui::FrmHuaMinChe& Load() {
        return dynamic_cast<ui::FrmHuaMinChe&>(ui::ShowMainWindow(windows, workbook::WindowCode::ExamTables));
    }
    std::vector<std::string> Prompts() const {
        std::vector<std::string> p;
        for (const auto& m : input.messages) p.push_back(m.prompt);
        return p;
    }
    host::Worksheet& Params() { return workbook::RequireSheetByCodeName(system, workbook::kParameterSheet); }
};

TEST(ExamTablesWindow, ControlsCaptionsAndLoad) {
    World f;
    ui::FrmHuaMinChe& w = f.Load();
    const std::pair<const ui::CaptionedControl*, const char*> captions[] = {
        {&w.Frame1, "模板表"},      {&w.Frame2, "表格设置"},   {&w.Label1, "分区字段"},
        {&w.Label2, "排序字段"},    {&w.Check1, "主体区第一行是列标题"}, {&w.Label3, "照片相对照片区缩放比例(%)"},
        {&w.Frame3, "组顺序"},      {&w.Option1, "自左向右"},  {&w.Option2, "自右向左"},
        {&w.Frame4, "桌顺序"},      {&w.Option3, "自下向上"},  {&w.Option4, "自上而下"},
        {&w.Command4, "生成表格 (&T)"}, {&w.Command3, "模板改名 (&E)"}, {&w.Command2, "删除模板 (&W)"},
        {&w.Command1, "新增模板 (&R)"},
    };
    for (const auto& [control, caption] : captions) EXPECT_EQ(control->Caption(), caption) << control->Name();
    EXPECT_EQ(w.Caption(), "考试用表");
    EXPECT_EQ(workbook::ParameterCells(f.system).Number("K6"), 2);
    EXPECT_TRUE(w.SequentialDesks());
    const std::vector<std::string> fields{"\t无", "姓名", "班级", "照片"};
    EXPECT_EQ(w.Combo1.Items(), fields);
    EXPECT_EQ(w.Combo2.Items(), fields);
    EXPECT_EQ(w.Combo1.ListIndex(), 0);
    EXPECT_EQ(w.List1.Items(), std::vector<std::string>{"座位表"});
    EXPECT_EQ(w.List1.ListIndex(), -1);
    EXPECT_TRUE(f.app.ScreenUpdating());
}

TEST(ExamTablesWindow, SelectingATemplateShowsItsOptionsAndItsSheet) {
    World f;
    tables::TemplateOptions o;
    o.partition = "班级";
    o.sort = "姓名";
    o.groupsLeftToRight = true;
    o.desksBottomUp = true;
    o.titleRow = 1;
    o.photoScale = "150";
    tables::WriteTemplateOptions(f.system, "座位表", o);
    ui::FrmHuaMinChe& w = f.Load();
    w.List1.Choose(0);
    EXPECT_EQ(w.Combo1.Text(), "班级");
    EXPECT_EQ(w.Combo2.Text(), "姓名");
    EXPECT_TRUE(w.Option1.Value());
    EXPECT_FALSE(w.Option2.Value());
    EXPECT_TRUE(w.Option3.Value());
    EXPECT_EQ(w.Check1.Value(), ui::vbChecked);
    EXPECT_EQ(w.Text1.Text(), "150");
    EXPECT_EQ(f.Prompts(), std::vector<std::string>{"输入错误；输入范围：1-100！"});  // the scale is only warned about
    host::Worksheet* sheet = f.system.SheetByName("座位表");
    EXPECT_EQ(sheet->Visible(), host::xlSheetVisible);
    EXPECT_EQ(f.system.ActiveSheet(), sheet);
    EXPECT_EQ(workbook::RequireSheetByCodeName(f.system, workbook::kRevisionSheet).Visible(), host::xlSheetVeryHidden);

    // Typing a scale: warned when not a number from 1 to 100, the text kept.
    w.Text1.Type("abc");
    w.Text1.Type("");
    w.Text1.Type(" 50 ");
    EXPECT_EQ(f.Prompts().size(), 2u);
    EXPECT_EQ(w.Text1.Text(), " 50 ");
}

TEST(ExamTablesWindow, NewTemplateIsLaidOutListedAndSelectedWithDefaults) {
    World f;
    ui::FrmHuaMinChe& w = f.Load();
    w.Option1.SetValue(true);
    w.Check1.SetValue(ui::vbChecked);
    f.input.inputs = {"门贴"};
    w.Command1.Click();
    EXPECT_EQ(f.input.prompts, std::vector<std::string>{"请输入新模板名称：|操作提示"});
    EXPECT_EQ(w.List1.Items(), (std::vector<std::string>{"门贴", "座位表"}));
    EXPECT_EQ(w.List1.ListIndex(), 0);
    // A new row holds only the name: right to left, top down, no title row, 99.
    EXPECT_TRUE(w.Option2.Value());
    EXPECT_TRUE(w.Option4.Value());
    EXPECT_EQ(w.Check1.Value(), ui::vbUnchecked);
    EXPECT_EQ(w.Text1.Text(), "99");
    host::Worksheet* ws = f.system.SheetByName("门贴");
    ASSERT_NE(ws, nullptr);
    EXPECT_EQ(ws->Index(), f.system.SheetCount());
    EXPECT_FALSE(workbook::IsServiceSheet(*ws));
    EXPECT_EQ(ws->ValueAt(1, 1), Variant("<门贴 模板设计>"));
    EXPECT_EQ(ws->GetRange("A1").Font().Size(), 16);
    EXPECT_EQ(ws->GetRange("A1").Font().ColorIndex(), 5);
    for (const char* c : {"A3", "A6", "K3", "K6"}) EXPECT_EQ(ws->GetRange(c).Value(), Variant("@")) << c;
    for (const char* c : {"A8", "A12", "G8", "G12"}) EXPECT_EQ(ws->GetRange(c).Value(), Variant("#")) << c;
    EXPECT_EQ(ws->Visible(), host::xlSheetVisible);
    EXPECT_EQ(f.Params().ValueAt(2, 1), Variant("门贴"));
    EXPECT_EQ(f.Params().Cells(2, 2).NumberFormat(), "@");

    // Any sheet's exact name is taken, service sheets included; a name the
    // host refuses changes nothing.
    const int sheets = f.system.SheetCount();
    f.input.inputs = {"参数", "甲/乙", ""};
    w.Command1.Click();
    w.Command1.Click();
    w.Command1.Click();
    EXPECT_EQ(f.system.SheetCount(), sheets);
    EXPECT_EQ(w.List1.ListCount(), 2);
    ASSERT_EQ(f.Prompts().size(), 2u);
    EXPECT_EQ(f.Prompts()[0], "《参数》模板表已存在！");
    EXPECT_TRUE(f.Prompts()[1].starts_with("模板名称“甲/乙”不能用作工作表名：")) << f.Prompts()[1];
    EXPECT_TRUE(f.Params().ValueAt(3, 1).IsEmpty());
}

TEST(ExamTablesWindow, RenameAndDelete) {
    World f;
    ui::FrmHuaMinChe& w = f.Load();
    // Rename with nothing selected.
    w.Command3.Click();
    EXPECT_EQ(f.Prompts(), std::vector<std::string>{"请选择模板表！"});
    EXPECT_TRUE(f.input.prompts.empty());

    // The template has no options row: renaming appends one.
    w.List1.Choose(0);
    f.input.inputs = {"考场座位表"};
    w.Command3.Click();
    EXPECT_EQ(w.List1.Items(), std::vector<std::string>{"考场座位表"});
    host::Worksheet* ws = f.system.SheetByName("考场座位表");
    ASSERT_NE(ws, nullptr);
    EXPECT_EQ(ws->ValueAt(1, 1), Variant("<考场座位表 模板设计>"));
    EXPECT_EQ(f.Params().ValueAt(2, 1), Variant("考场座位表"));
    // A name the host refuses: sheet, table and list unchanged.
    f.input.inputs = {"[表]"};
    w.Command3.Click();
    EXPECT_EQ(w.List1.Items(), std::vector<std::string>{"考场座位表"});
    EXPECT_EQ(f.Params().ValueAt(2, 1), Variant("考场座位表"));
    EXPECT_EQ(f.Params().ValueAt(3, 1), Variant());

    // Delete asks; No keeps everything, Yes removes sheet, row and item.
    f.input.answers = {platform::MsgResult::No, platform::MsgResult::Yes};
    w.Command2.Click();
    EXPECT_NE(f.system.SheetByName("考场座位表"), nullptr);
    const auto& question = f.input.messages.back();
    EXPECT_EQ(question.prompt, "本操作删除模板《考场座位表》，请谨慎操作！是否继续？");
    EXPECT_EQ(question.buttons, platform::MsgButtons::YesNo);
    EXPECT_EQ(question.defaultButton, 2);
    EXPECT_EQ(question.title, "提示…");
    w.Command2.Click();
    EXPECT_EQ(f.system.SheetByName("考场座位表"), nullptr);
    EXPECT_EQ(w.List1.ListCount(), 0);
    EXPECT_EQ(w.List1.ListIndex(), -1);
    EXPECT_TRUE(f.Params().ValueAt(2, 1).IsEmpty());

    // Generating with nothing selected.
    f.input.messages.clear();
    w.Command4.Click();
    EXPECT_EQ(f.Prompts(), std::vector<std::string>{"请选择模板表！"});
    EXPECT_EQ(w.LastOutcome().kind, workbook::Outcome::Kind::Stopped);
}

TEST(ExamTablesWindow, ImportingASheetOfAnotherWorkbook) {
    World f;
    {
        host::Application other;
        host::Workbook& wb = other.Workbooks().Add();
        wb.Sheet(1).SetName("我的模板");
        wb.Sheet(1).GetRange("A3").SetValue(Variant("#"));
        wb.Sheet(1).GetRange("B3:C3").Merge();
        wb.Sheet(1).PageSetup().Orientation = 2;
        wb.SaveAs(f.dir.File("设计.xlsx"));
    }
    ui::FrmHuaMinChe& w = f.Load();
    f.input.picks = {f.dir.File("设计.xlsx")};
    f.input.inputs = {"我的模板"};
    w.Command5.Click();
    EXPECT_TRUE(w.LastOutcome().IsDone());
    EXPECT_EQ(w.List1.Items(), (std::vector<std::string>{"我的模板", "座位表"}));
    EXPECT_EQ(w.List1.ListIndex(), 0);
    host::Worksheet* ws = f.system.SheetByName("我的模板");
    ASSERT_NE(ws, nullptr);
    EXPECT_FALSE(workbook::IsServiceSheet(*ws));  // a fresh code name, never Sheet1–Sheet4
    EXPECT_EQ(ws->GetRange("A3").Value(), Variant("#"));
    EXPECT_TRUE(ws->GetRange("B3").MergeCells());
    EXPECT_EQ(ws->PageSetup().Orientation, 2);
    EXPECT_EQ(ws->Visible(), host::xlSheetVisible);  // selected for designing
    EXPECT_EQ(f.system.ActiveSheet(), ws);
    // The source workbook is closed again.
    EXPECT_EQ(f.app.Workbooks().Find("设计.xlsx"), nullptr);

    // The same name again is refused.
    f.input.picks = {f.dir.File("设计.xlsx")};
    f.input.inputs = {"我的模板"};
    w.Command5.Click();
    EXPECT_EQ(f.Prompts().back(), "《我的模板》模板表已存在！");
    EXPECT_EQ(w.List1.ListCount(), 2);
}

}  // namespace
