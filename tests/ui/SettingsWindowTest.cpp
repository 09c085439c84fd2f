#include <gtest/gtest.h>

#include "SettingsFixtures.h"
#include "host/Range.h"
#include "ui/FrmSeZhi.h"

using host::Variant;

namespace {

class SettingsWindowTest : public ::testing::Test, protected settingstest::SettingsWorld {
protected:
    ui::FrmSeZhi& Load() {
        return dynamic_cast<ui::FrmSeZhi&>(ui::ShowMainWindow(component, workbook::WindowCode::Settings));
    }
};

TEST_F(SettingsWindowTest, EveryControlCarriesItsCaption) {
    ui::FrmSeZhi& w = Load();
    const std::pair<const ui::CaptionedControl*, const char*> captions[] = {
        {&w.Frame2, "花名册"},         {&w.Label8, "路径："},        {&w.Label9, "工作簿："},
        {&w.Label4, "年级数："},       {&w.Command1[3], "打开 (&O)"}, {&w.Command1[1], "维护数据 (&E)"},
        {&w.Command1[0], "数据统计 (&T)"}, {&w.Frame1, "设置参数"},   {&w.Label2, "请选择同桌年级数"},
        {&w.Label5, "请输入考场总数"}, {&w.Label3, "请输入考场组数"}, {&w.Label7, "输入设置表字段数"},
        {&w.Command1[2], "保存 (&C)"},
    };
    for (const auto& [control, caption] : captions) EXPECT_EQ(control->Caption(), caption) << control->Name();
    EXPECT_EQ(w.Caption(), "设置");
    EXPECT_EQ(w.Command1.Count(), 4);
}

TEST_F(SettingsWindowTest, LoadShowsTheParameterCellsAndClearsTheRosterBoxWithoutARoster) {
    SetParameters(6, 2, 25, 3);
    Params().SetText("K6", "3");
    ui::FrmSeZhi& w = Load();
    EXPECT_EQ(w.Text1.Text(), "6");
    EXPECT_EQ(w.Combo3.Text(), "2");
    EXPECT_EQ(w.Text2.Text(), "25");
    EXPECT_EQ(w.Text3.Text(), "3");
    EXPECT_EQ(Params().Text("K6"), "");
    EXPECT_EQ(w.Label10.Caption(), "");
    EXPECT_EQ(w.Label11.Caption(), "");
    EXPECT_EQ(w.Label1.Caption(), "");
    EXPECT_EQ(w.Combo3.ListCount(), 0);
    EXPECT_FALSE(w.Command1[0].Enabled());
    EXPECT_FALSE(w.Command1[1].Enabled());
    EXPECT_TRUE(w.Command1[2].Enabled());
    EXPECT_TRUE(w.Command1[3].Enabled());
    EXPECT_TRUE(app.ScreenUpdating());
    EXPECT_TRUE(app.DisplayAlerts());
}

TEST_F(SettingsWindowTest, GradesPerGroupIsCappedByTheNumberOfRosterSheets) {
    // {stored K3, roster sheets} → shown and kept.
    const std::tuple<int16_t, int, const char*> cases[] = {{7, 5, "5"}, {5, 5, "5"}, {2, 5, "2"}, {0, 3, "0"}};
    for (const auto& [stored, sheets, shownText] : cases) {
        SCOPED_TRACE(testing::Message() << "K3=" << stored << " sheets=" << sheets);
        SetParameters(2, stored, 3, 0);
        std::vector<std::string> names;
        for (int i = 1; i <= sheets; ++i) names.push_back("年级" + std::to_string(i));
        names.push_back("年级1\t设置");
        host::Workbook& roster = AddRoster(names, "花名册" + std::to_string(stored) + ".xlsx");
        ui::FrmSeZhi w(component);
        w.Load();
        EXPECT_EQ(w.Combo3.Text(), shownText);
        EXPECT_EQ(w.GradesPerGroup(), std::stoi(shownText));
        ASSERT_EQ(w.Combo3.ListCount(), sheets);
        EXPECT_EQ(w.Combo3.List(0), "1");
        EXPECT_EQ(w.Combo3.List(sheets - 1), std::to_string(sheets));
        EXPECT_EQ(w.Label1.Caption(), std::to_string(sheets));
        EXPECT_EQ(w.Label10.Caption(), roster.Path());
        EXPECT_EQ(w.Label11.Caption(), roster.Name());
        EXPECT_TRUE(w.Command1[0].Enabled());
        EXPECT_TRUE(w.Command1[1].Enabled());
        w.Unload();
    }
}

TEST_F(SettingsWindowTest, TheDispatcherShowsTheBusyTextDuringTheActionAndRestoresTheHost) {
    ui::FrmSeZhi& w = Load();
    std::optional<std::string> statusDuring;
    bool screenDuring = true, alertsDuring = true;
    toolkit.onMessage = [&](const platform::MessageBoxRequest&) {
        statusDuring = app.StatusBar();
        screenDuring = app.ScreenUpdating();
        alertsDuring = app.DisplayAlerts();
    };
    w.Text2.SetText("3.5");
    w.Command1_Click(ui::FrmSeZhi::kSave);
    EXPECT_EQ(statusDuring, std::optional<std::string>("程序正在运行，请耐心等待……"));
    EXPECT_FALSE(screenDuring);
    EXPECT_FALSE(alertsDuring);
    EXPECT_EQ(app.StatusBar(), std::nullopt);
    EXPECT_TRUE(app.ScreenUpdating());
    EXPECT_TRUE(app.DisplayAlerts());
}

TEST_F(SettingsWindowTest, StatisticsAndMaintenanceRunUnderTheBusyText) {
    AddRoster({"高一", "高二"});
    ui::FrmSeZhi& w = Load();
    std::vector<std::optional<std::string>> status;
    toolkit.onMessage = [&](const platform::MessageBoxRequest&) { status.push_back(app.StatusBar()); };

    toolkit.answers = {platform::MsgResult::Cancel};
    w.Command1_Click(ui::FrmSeZhi::kMaintain);
    ASSERT_FALSE(toolkit.messages.empty());
    EXPECT_EQ(toolkit.messages[0].buttons, platform::MsgButtons::YesNoCancel);

    toolkit.messages.clear();
    w.Command1_Click(ui::FrmSeZhi::kStatistics);
    ASSERT_FALSE(toolkit.messages.empty());
    EXPECT_EQ(toolkit.messages.back().prompt, "数据统计完毕，请查看修改意见！");

    for (const auto& s : status) EXPECT_EQ(s, std::optional<std::string>("程序正在运行，请耐心等待……"));
    EXPECT_EQ(app.StatusBar(), std::nullopt);
}

TEST_F(SettingsWindowTest, TheHostIsRestoredWhenAnActionEndsWithAnUnansweredQuestion) {
    ui::FrmSeZhi& w = Load();
    toolkit.onMessage = [](const platform::MessageBoxRequest&) { throw std::runtime_error("没有回答"); };
    w.Text1.SetText("0");
    EXPECT_THROW(w.Command1_Click(ui::FrmSeZhi::kSave), std::runtime_error);
    EXPECT_EQ(app.StatusBar(), std::nullopt);
    EXPECT_TRUE(app.ScreenUpdating());
}

TEST_F(SettingsWindowTest, SavingUpdatesTheWindowFieldsAndTheSheetCount) {
    AddRoster({"高一", "高二"});
    ui::FrmSeZhi& w = Load();
    w.Text1.SetText(" 4 ");
    w.Text2.SetText("12");
    w.Text3.SetText("0");
    w.Combo3.SetText("2");
    w.Label1.SetCaption("?");
    w.Command1_Click(ui::FrmSeZhi::kSave);
    EXPECT_EQ(toolkit.messages.back().prompt, "参数已修改并生成相应设置表！");
    EXPECT_EQ(w.DeskGroups(), 4);
    EXPECT_EQ(w.RoomCount(), 12);
    EXPECT_EQ(w.GradesPerGroup(), 2);
    EXPECT_EQ(w.Label1.Caption(), "2");
    EXPECT_EQ(Params().DeskGroups(), 4);

    // Rejected input keeps the fields as they were.
    w.Text2.SetText("3.5");
    w.Command1_Click(ui::FrmSeZhi::kSave);
    EXPECT_EQ(w.RoomCount(), 12);
    EXPECT_EQ(Params().RoomCount(), 12);
}

TEST_F(SettingsWindowTest, OpeningARosterRefreshesTheRosterBox) {
    ui::FrmSeZhi& w = Load();
    host::Workbook& roster = AddRoster({"初一", "初二", "初三"}, "名单.xlsx");
    const std::string file = roster.FullName();
    roster.Close(false);
    Params().SetRosterFolder("");
    toolkit.picks = {file};

    w.Command1_Click(ui::FrmSeZhi::kOpen);

    EXPECT_EQ(w.Label11.Caption(), "名单.xlsx");
    EXPECT_EQ(w.Label10.Caption(), dir.Path().string());
    EXPECT_EQ(w.Label1.Caption(), "3");
    EXPECT_EQ(w.Combo3.ListCount(), 3);
    EXPECT_TRUE(w.Command1[0].Enabled());
    EXPECT_EQ(Params().RosterFolder(), dir.Path().string());
    EXPECT_EQ(app.StatusBar(), std::nullopt);
}

}  // namespace
