// The Arrangement window: its controls, the load from K7–K12 and the field
// lists, the check of the first exam number, and the options a run stores.
#include <gtest/gtest.h>

#include "RosterCheckFixtures.h"
#include "host/Application.h"
#include "ui/FrmKCBP.h"

using coretest::RosterFixture;
using host::Variant;

namespace {

const std::string kNone = "\t无";

struct WindowWorld : RosterFixture {
    WindowWorld() { host::Application::SetRunning(&app); }
    ~WindowWorld() { host::Application::SetRunning(nullptr); }
    workbook::ParameterCells Params() const { return workbook::ParameterCells(system); }
    ui::FrmKCBP& Load() {
        return dynamic_cast<ui::FrmKCBP&>(ui::ShowMainWindow(component, workbook::WindowCode::Arrangement));
    }
    std::vector<std::string> Prompts() const {
        std::vector<std::string> p;
        for (const auto& m : toolkit.messages) p.push_back(m.prompt);
        return p;
    }
};

TEST(ArrangementWindow, EveryControlCarriesItsCaption) {
    WindowWorld f;
    ui::FrmKCBP& w = f.Load();
    const std::pair<const ui::CaptionedControl*, const char*> captions[] = {
        {&w.Frame1, "编排方式"}, {&w.Option1, "升序"},   {&w.Option2, "降序"},    {&w.Option3, "随机"},
        {&w.Label1, "排序关键字"}, {&w.Frame2, "考号设计"}, {&w.Option4, "方式1"},  {&w.Option5, "方式2"},
        {&w.Frame3, "方式1：按顺序编排"}, {&w.Label2, "首考号"}, {&w.Frame4, "方式2：选定列+场号+座号"},
        {&w.Label3, "列标题"},   {&w.Frame5, "桌顺序"},   {&w.Option6, "顺序排列"}, {&w.Option7, "S形排列"},
        {&w.Command1, "开始编排 (&K)"},
    };
    for (const auto& [control, caption] : captions) EXPECT_EQ(control->Caption(), caption) << control->Name();
    EXPECT_EQ(w.Caption(), "考场编排");
    EXPECT_EQ(f.Params().Number("K6"), 3);
    EXPECT_TRUE(f.app.ScreenUpdating());
    EXPECT_TRUE(f.app.DisplayAlerts());
}

TEST(ArrangementWindow, ListsOfAnArrangedRosterLeaveOutSystemTitlesAndEndWithTheNoneEntry) {
    WindowWorld f;
    f.AddRoster("高一", {{"考号", "姓名", "班级", "\t场号", "\t座号"}, {"1", "甲", "1班", 1, 1}});
    f.AddRoster("高二", {{"姓名", "班级", "考号", "\t考号"}, {"乙", "2班", "2", "0001"}});
    ui::FrmKCBP& w = f.Load();
    // The sheet with the fewest columns gives the order.
    const std::vector<std::string> expected{"姓名", "班级", "考号", kNone};
    EXPECT_EQ(w.Combo1.Items(), expected);
    EXPECT_EQ(w.Combo2.Items(), expected);
}

TEST(ArrangementWindow, WithoutARosterBothListsHoldOnlyTheSelectedNoneEntry) {
    WindowWorld f;
    f.Params().SetRosterFileName("不存在.xlsx");
    f.Params().SetSortKeyField("姓名");
    ui::FrmKCBP& w = f.Load();
    for (const ui::ComboBox* list : {&w.Combo1, &w.Combo2}) {
        EXPECT_EQ(list->Items(), std::vector<std::string>{kNone});
        EXPECT_EQ(list->ListIndex(), 0);
        EXPECT_EQ(list->Text(), kNone);
    }
}

TEST(ArrangementWindow, StoredKeyAndColumnAreSelectedWhenStillListed) {
    // {K8, K9} → selected texts; a stale or near miss leaves the first item.
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
        {"班级", "\t无", "班级", "\t无"},
        {"学号", "姓名", "姓名", "姓名"},
        {"姓名 ", "", "姓名", "姓名"},
    };
    for (const auto& [k8, k9, key, column] : cases) {
        SCOPED_TRACE(testing::Message() << "K8=" << k8 << " K9=" << k9);
        WindowWorld f;
        f.AddRoster("高一", {{"姓名", "班级"}, {"甲", "1班"}});
        f.Params().SetSortKeyField(k8);
        f.Params().SetColumnTitle(k9);
        ui::FrmKCBP& w = f.Load();
        EXPECT_EQ(w.Combo1.Text(), key);
        EXPECT_EQ(w.Combo2.Text(), column);
    }
}

TEST(ArrangementWindow, StoredOptionsSelectTheirButtons) {
    // K10, K11, K12 as stored → the option selected in each frame.
    const std::tuple<Variant, Variant, Variant, const char*, const char*, const char*> cases[] = {
        {Variant(1), Variant(1), Variant(1), "Option1", "Option4", "Option6"},
        {Variant(2), Variant(0), Variant(0), "Option2", "Option5", "Option7"},
        {Variant(), Variant(), Variant(), "Option3", "Option5", "Option7"},
        {Variant("3"), Variant(" 1"), Variant("2"), "Option3", "Option4", "Option7"},
        {Variant(7), Variant(0.6), Variant("1班"), "Option3", "Option5", "Option6"},
    };
    for (const auto& [k10, k11, k12, ordering, method, desks] : cases) {
        SCOPED_TRACE(testing::Message() << ordering << method << desks);
        WindowWorld f;
        host::Worksheet& params = f.system.Sheet(2);
        params.GetRange("K10").SetValue(k10);
        params.GetRange("K11").SetValue(k11);
        params.GetRange("K12").SetValue(k12);
        ui::FrmKCBP& w = f.Load();
        std::vector<std::string> on;
        for (const ui::OptionButton* o : {&w.Option1, &w.Option2, &w.Option3, &w.Option4, &w.Option5, &w.Option6,
                                          &w.Option7})
            if (o->Value()) on.push_back(o->Name());
        EXPECT_EQ(on, (std::vector<std::string>{ordering, method, desks}));
    }
}

TEST(ArrangementWindow, FirstExamNumberMustBeAWholeNumberOfAtLeastZero) {
    // text typed → whether "请输入正整数！" is shown
    const std::pair<const char*, bool> cases[] = {
        {"12.5", true}, {"-3", true}, {"abc", true}, {"7a", true}, {" 0 ", false},
        {"  7  ", false}, {"", false}, {"20260101", false}, {"1e3", false},
    };
    for (const auto& [text, complains] : cases) {
        SCOPED_TRACE(text);
        WindowWorld f;
        ui::FrmKCBP& w = f.Load();
        f.toolkit.messages.clear();
        w.Text1.SetText(text);
        w.Text1_Change();
        ASSERT_EQ(f.toolkit.messages.size(), complains ? 1u : 0u);
        EXPECT_EQ(w.Text1.Text(), text);
        if (!complains) continue;
        const platform::MessageBoxRequest& m = f.toolkit.messages[0];
        EXPECT_EQ(m.prompt, "请输入正整数！");
        EXPECT_EQ(m.title, "提示信息…");
        EXPECT_EQ(m.icon, platform::MsgIcon::Information);
        EXPECT_EQ(m.buttons, platform::MsgButtons::OK);
    }
}

TEST(ArrangementWindow, LoadShowsK7AndChecksIt) {
    WindowWorld f;
    f.Params().SetText("K7", "-4");
    ui::FrmKCBP& w = f.Load();
    EXPECT_EQ(w.Text1.Text(), "-4");
    EXPECT_EQ(f.Prompts(), std::vector<std::string>{"请输入正整数！"});
}

TEST(ArrangementWindow, ARunStoresTheOptionsEvenWithoutARoster) {
    WindowWorld f;
    f.AddRoster("高一", {{"姓名", "班级"}, {"甲", "1班"}});
    ui::FrmKCBP& w = f.Load();
    f.Params().SetRosterFileName("别的.xlsx");
    f.toolkit.messages.clear();
    w.Text1.SetText("");
    w.Option2.SetValue(true);
    w.Combo1.SetListIndex(0);
    w.Combo2.SetListIndex(w.Combo2.ListCount() - 1);
    w.Option4.SetValue(true);
    w.Option7.SetValue(true);
    w.Command1_Click();

    EXPECT_EQ(f.system.Sheet(2).GetRange("K7").Value(), Variant(0));
    EXPECT_EQ(f.Params().Text("K8"), "姓名");
    EXPECT_EQ(f.Params().Text("K9"), kNone);
    EXPECT_EQ(f.Params().Number("K10"), 2);
    EXPECT_EQ(f.Params().Number("K11"), 1);
    EXPECT_EQ(f.Params().Number("K12"), 0);
    EXPECT_EQ(f.Prompts(), (std::vector<std::string>{"目标路径“" + f.dir.Path().string() + "别的.xlsx”不存在！操作中断！",
                                                     "文件夹“" + f.dir.Path().string() + "”中没有“别的.xlsx”（被移动、改名或删除）：请在“设置”窗口中单击“打开 (&O)”重新选择花名册。"}));
    EXPECT_TRUE(f.app.ScreenUpdating());
    EXPECT_TRUE(f.app.DisplayAlerts());
    EXPECT_FALSE(f.app.StatusBar().has_value());
}

TEST(ArrangementWindow, OptionsWithNeitherButtonOfAFrameLeaveK11AndK12) {
    WindowWorld f;
    f.Params().SetNumberingMethod(0);
    f.Params().SetDeskOrder(1);
    ui::FrmKCBP& w = f.Load();
    w.Option5.SetValue(false);
    w.Option6.SetValue(false);
    w.Text1.SetText("12abc");
    arrangement::StoreOptions(f.system, w.Options());
    EXPECT_EQ(f.Params().Number("K7"), 12);
    EXPECT_EQ(f.Params().Number("K10"), 3);
    EXPECT_EQ(f.system.Sheet(2).GetRange("K11").Value(), Variant(0));
    EXPECT_EQ(f.system.Sheet(2).GetRange("K12").Value(), Variant(1));
}

}  // namespace
