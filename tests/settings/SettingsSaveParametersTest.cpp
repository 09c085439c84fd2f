#include <gtest/gtest.h>

#include "SettingsFixtures.h"
#include "host/Range.h"
#include "host/xlsx/Package.h"
#include "settings/SaveParameters.h"
#include "settings/SettingsSheet.h"

using host::Variant;
using settings::ExamParameters;
using settings::ParameterInputs;

namespace {

constexpr const char* kBadInput = "请输入整数且：\n同桌年级数>0；考场总数>0\n考场组数>0；字段数>=0";
constexpr const char* kSaved = "参数修改成功！";
constexpr const char* kPassword = "quietlantern7204";

TEST(SettingsParameterInputs, EachInputMustBeAWholeNumberAtItsMinimum) {
    // {desk groups, grades per group, rooms, fields} → accepted or not.
    struct Case {
        ParameterInputs in;
        std::optional<ExamParameters> out;
    };
    const Case cases[] = {
        {{"4", "2", "30", "1"}, ExamParameters{4, 2, 30, 1}},
        {{"4", "2", "3.5", "1"}, std::nullopt},
        {{"4", "2", "30", "0"}, ExamParameters{4, 2, 30, 0}},
        {{"0", "2", "30", "0"}, std::nullopt},
        {{"4", "0", "30", "0"}, std::nullopt},
        {{"4", "2", "0", "0"}, std::nullopt},
        {{"4", "2", "30", "-1"}, std::nullopt},
        {{" 12 ", "2", "30", "0"}, ExamParameters{12, 2, 30, 0}},
        {{"4", "2", "30", ""}, std::nullopt},
        {{"4", "两", "30", "0"}, std::nullopt},
        {{"4", "2", "30个", "0"}, std::nullopt},
        {{"4", "2", "3.0", "0"}, ExamParameters{4, 2, 3, 0}},
        {{"4", "2", "32767", "0"}, ExamParameters{4, 2, 32767, 0}},
        // Beyond 16 bits the value could not be stored: refused, not half saved.
        {{"4", "2", "40000", "0"}, std::nullopt},
    };
    for (const Case& c : cases) {
        auto got = settings::ReadParameterInputs(c.in);
        EXPECT_EQ(got, c.out) << c.in.deskGroups << " | " << c.in.gradesPerGroup << " | " << c.in.rooms << " | "
                              << c.in.extraFields;
    }
}

class SaveParametersTest : public ::testing::Test, protected settingstest::SettingsWorld {
protected:
    SaveParametersTest() { SetParameters(2, 1, 3, 0); }

    settings::SaveOutcome Save(ParameterInputs in) { return settings::SaveParameters(component.Context(), in); }
    std::vector<int16_t> StoredParameters() {
        auto p = Params();
        return {p.DeskGroups(), p.GradesPerGroup(), p.RoomCount(), p.ExtraFieldCount()};
    }
    // A settings sheet built for the given shape, with a count typed into it.
    host::Worksheet& AddSettings(host::Workbook& wb, const std::string& roster, settings::SettingsSheetShape s) {
        host::Worksheet& ws = wb.Worksheets().Add(&wb.Sheet(wb.SheetCount()));
        ws.SetName(roster + "\t设置");
        settings::BuildSettingsSheet(&ws, s);
        ws.UserEdit(2, 9 + s.extraFields, "17");
        return ws;
    }
};

TEST_F(SaveParametersTest, BadInputShowsTheRuleAndWritesNothing) {
    for (ParameterInputs in : {ParameterInputs{"4", "2", "3.5", "1"}, ParameterInputs{"4", "2", "30", "-2"},
                               ParameterInputs{"4", "2", "40000", "0"}}) {
        toolkit.messages.clear();
        auto outcome = Save(in);
        EXPECT_FALSE(outcome.saved);
        // A value past the 16-bit range gets a second notice naming the maximum.
        ASSERT_EQ(toolkit.messages.size(), in.rooms == "40000" ? 2u : 1u);
        EXPECT_EQ(toolkit.messages[0].prompt, kBadInput);
        EXPECT_EQ(toolkit.messages[0].title, "提示信息…");
        EXPECT_EQ(toolkit.messages[0].icon, platform::MsgIcon::Information);
        EXPECT_EQ(toolkit.messages[0].buttons, platform::MsgButtons::OK);
        EXPECT_EQ(StoredParameters(), (std::vector<int16_t>{2, 1, 3, 0}));
    }
}

TEST_F(SaveParametersTest, WithoutARosterWorkbookTheParametersAreSaved) {
    auto outcome = Save({" 12 ", "2", "30", "0"});
    EXPECT_EQ(StoredParameters(), (std::vector<int16_t>{12, 2, 30, 0}));
    EXPECT_EQ(toolkit.Prompts(), std::vector<std::string>{kSaved});
    EXPECT_FALSE(outcome.rosterSheetCount);
}

TEST_F(SaveParametersTest, ParametersThatCannotBeWrittenGetNoSuccessText) {
    toolkit.saveSucceeds = false;
    auto outcome = Save({"12", "2", "30", "0"});
    EXPECT_TRUE(toolkit.Prompts().empty()) << toolkit.Prompts()[0];
    EXPECT_EQ(toolkit.savedAfterMessages.size(), 1u);
    EXPECT_TRUE(outcome.stopped);
    EXPECT_TRUE(outcome.notWritten);
}

TEST_F(SaveParametersTest, ARosterWorkbookOfOnlySettingsSheetsIsNamedAndTheParametersSavedAllTheSame) {
    host::Workbook& roster = AddRoster({"高一\t设置", "高二\t设置"});
    auto outcome = Save({"4", "1", "10", "2"});
    EXPECT_EQ(toolkit.Prompts(), std::vector<std::string>{"《" + roster.Name() + "》没有花名册数据工作表,请检查！"});
    EXPECT_EQ(roster.Name(), "花名册.xlsx");
    EXPECT_EQ(StoredParameters(), (std::vector<int16_t>{4, 1, 10, 2}));
    EXPECT_EQ(outcome.rosterSheetCount, 0);
}

TEST_F(SaveParametersTest, MissingSettingsSheetsAreBuiltAfterTheLastSheetAndTheWorkbookSaved) {
    host::Workbook& roster = AddRoster({"高一", "高二", "高三"});
    AddSettings(roster, "高二", {2, 3, 0});
    roster.Sheet(3).SetVisible(host::xlSheetHidden);  // the user hid 高三

    auto outcome = Save({"2", "1", "3", "0"});

    EXPECT_EQ(toolkit.Prompts(), std::vector<std::string>{"参数已修改并生成相应设置表！"});
    EXPECT_EQ(SheetNames(roster), (std::vector<std::string>{"高一", "高二", "高三", "高二\t设置", "高一\t设置",
                                                            "高三\t设置"}));
    EXPECT_EQ(roster.Sheet(3).Visible(), host::xlSheetVisible);
    host::Worksheet& built = roster.Sheet(5);
    EXPECT_EQ(built.GetRange("K1").Value(), Variant("场人"));
    EXPECT_TRUE(built.CheckPassword(kPassword));
    EXPECT_EQ(roster.Sheet(4).GetRange("I2").Value(), Variant(17));  // the fitting sheet is untouched
    EXPECT_EQ(outcome.rosterSheetCount, 3);

    auto onDisk = host::xlsx::LoadWorkbook(&app, roster.FullName());
    EXPECT_EQ(SheetNames(*onDisk), SheetNames(roster));
}

TEST_F(SaveParametersTest, TheQuestionNamesEveryMismatchedSheetInWorkbookOrderEachFollowedByAComma) {
    host::Workbook& roster = AddRoster({"高一", "高二", "高三"});
    AddSettings(roster, "高一", {2, 4, 0});  // one room too many
    AddSettings(roster, "高二", {2, 3, 0});  // fits
    AddSettings(roster, "高三", {3, 3, 0});  // one group too many
    toolkit.answers = {platform::MsgResult::No};

    Save({"2", "1", "3", "0"});

    ASSERT_EQ(toolkit.messages.size(), 2u);
    const platform::MessageBoxRequest& q = toolkit.messages[0];
    EXPECT_EQ(q.prompt,
              "设置表“高一\t设置,高三\t设置,”与设置的参数不相符，单击按钮“是”将初始化全部设置表数据(删除)，"
              "单击按钮“否”仅保存参数值！");
    EXPECT_EQ(q.buttons, platform::MsgButtons::YesNo);
    EXPECT_EQ(q.icon, platform::MsgIcon::Question);
    EXPECT_EQ(q.defaultButton, 2);
    EXPECT_EQ(q.title, "提示");
    EXPECT_EQ(toolkit.messages[1].prompt, kSaved);
}

TEST_F(SaveParametersTest, ExtraFieldsCountInTheFitOfASettingsSheet) {
    host::Workbook& roster = AddRoster({"高一"});
    AddSettings(roster, "高一", {2, 3, 1});
    Save({"2", "1", "3", "1"});
    EXPECT_EQ(toolkit.Prompts(), std::vector<std::string>{kSaved});
    toolkit.messages.clear();
    toolkit.answers = {platform::MsgResult::No};
    Save({"2", "1", "3", "0"});
    ASSERT_EQ(toolkit.messages.size(), 2u);
    EXPECT_EQ(toolkit.messages[0].buttons, platform::MsgButtons::YesNo);
}

TEST_F(SaveParametersTest, AnsweringNoSavesTheParametersAndLeavesEverySettingsSheetAsItWas) {
    host::Workbook& roster = AddRoster({"高一", "高二"});
    AddSettings(roster, "高一", {4, 4, 0});
    const std::string before = testing_support::ReadFile(roster.FullName());
    toolkit.answers = {platform::MsgResult::No};

    Save({"2", "1", "3", "0"});

    EXPECT_EQ(StoredParameters(), (std::vector<int16_t>{2, 1, 3, 0}));
    EXPECT_EQ(SheetNames(roster), (std::vector<std::string>{"高一", "高二", "高一\t设置"}));  // 高二's stays missing
    host::Worksheet& kept = roster.Sheet(3);
    EXPECT_EQ(kept.GetRange("I2").Value(), Variant(17));
    EXPECT_EQ(kept.GetRange("M1").Value(), Variant("场人"));
    EXPECT_EQ(toolkit.messages.back().prompt, kSaved);
    EXPECT_EQ(testing_support::ReadFile(roster.FullName()), before);  // not saved either
}

TEST_F(SaveParametersTest, AnsweringYesRebuildsEverySettingsSheetInRosterOrder) {
    host::Workbook& roster = AddRoster({"高一", "高二", "高三"});
    AddSettings(roster, "高三", {2, 3, 0});
    AddSettings(roster, "高一", {5, 5, 0});
    toolkit.answers = {platform::MsgResult::Yes};

    auto outcome = Save({"2", "1", "3", "0"});

    EXPECT_EQ(toolkit.messages.back().prompt, "参数已修改并成功初始化设置表！");
    EXPECT_EQ(SheetNames(roster), (std::vector<std::string>{"高一", "高二", "高三", "高一\t设置", "高二\t设置",
                                                            "高三\t设置"}));
    for (int i = 4; i <= 6; ++i) {
        host::Worksheet& ws = roster.Sheet(i);
        EXPECT_TRUE(ws.GetRange("I2").Value().IsEmpty()) << ws.Name();  // typed counts are gone
        EXPECT_EQ(ws.GetRange("K1").Value(), Variant("场人"));
        EXPECT_TRUE(ws.CheckPassword(kPassword));
    }
    EXPECT_EQ(outcome.rosterSheetCount, 3);
    auto onDisk = host::xlsx::LoadWorkbook(&app, roster.FullName());
    EXPECT_EQ(SheetNames(*onDisk), SheetNames(roster));
}

TEST_F(SaveParametersTest, ARosterNameTooLongForItsSettingsSheetLeavesNoStraySheet) {
    const std::string longName = "二〇二五学年第一学期高一年级期中考试名单";  // 20 characters
    const std::string tooLong = "abcdefghijklmnopqrstuvwxyz0123";      // 30: 33 with the suffix
    host::Workbook& roster = AddRoster({longName, tooLong});

    auto outcome = Save({"2", "1", "3", "0"});

    EXPECT_EQ(SheetNames(roster), (std::vector<std::string>{longName, tooLong, longName + "\t设置"}));
    ASSERT_EQ(toolkit.messages.size(), 1u);
    EXPECT_NE(toolkit.messages[0].prompt, "参数已修改并生成相应设置表！");
    EXPECT_NE(toolkit.messages[0].prompt.find(tooLong), std::string::npos);
    EXPECT_EQ(outcome.rosterSheetCount, 2);
}

TEST_F(SaveParametersTest, ARosterWorkbookThatCannotBeSavedIsReportedNotCalledASuccess) {
    // /proc/version exists, but nothing can be written beside it.
    host::Workbook& roster = app.Workbooks().Add();
    roster.Sheet(1).SetName("高一");
    roster.SetFileName("/proc/version");
    Params().SetRosterFolder(roster.Path());
    Params().SetRosterFileName(roster.Name());

    Save({"2", "1", "3", "0"});

    ASSERT_EQ(toolkit.messages.size(), 1u);
    const std::string& text = toolkit.messages[0].prompt;
    EXPECT_NE(text, "参数已修改并生成相应设置表！");
    EXPECT_NE(text.find("未能保存"), std::string::npos) << text;
    EXPECT_NE(text.find("/proc/version"), std::string::npos) << text;
}

}  // namespace

TEST_F(SaveParametersTest, AnUnreadableRosterIsAFileErrorNotASuccess) {
    testing_support::WriteFile(dir.File("坏.xlsx"), "not a zip archive");
    Params().SetRosterFolder(dir.Path().string());
    Params().SetRosterFileName("坏.xlsx");
    toolkit.messages.clear();
    EXPECT_THROW(Save({"4", "1", "3", "0"}), host::FileError);
    for (const auto& m : toolkit.messages) EXPECT_NE(m.prompt, "参数修改成功！");
}

TEST_F(SaveParametersTest, ParametersWhoseSettingsTableCannotBeBuiltAreRefusedBeforeAnyChange) {
    // {desk groups, rooms, fields} → the refusal's beginning
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
        {"16370", "20", "10", "设置表放不下：考场组数 16370 与设置表字段数 10 之和为 16380"},
        {"32767", "32767", "0", "设置表放不下：考场组数 32767"},
        {"16000", "32767", "0", "设置表过大：考场总数 32767 × (考场组数 16000"},
    };
    for (const auto& [groups, rooms, fields, refusal] : cases) {
        SCOPED_TRACE(refusal);
        toolkit.messages.clear();
        const auto outcome = Save({groups, "1", rooms, fields});
        EXPECT_TRUE(outcome.stopped);
        EXPECT_FALSE(outcome.saved);
        ASSERT_EQ(toolkit.messages.size(), 1u);
        EXPECT_TRUE(toolkit.messages[0].prompt.starts_with(refusal)) << toolkit.messages[0].prompt;
        EXPECT_EQ(StoredParameters(), (std::vector<int16_t>{2, 1, 3, 0}));
    }
    // The largest table that fits is accepted.
    EXPECT_FALSE(settings::SettingsTableDoesNotFit({16375, 1, 1, 0}));
    EXPECT_TRUE(settings::SettingsTableDoesNotFit({16376, 1, 1, 0}));
}

TEST_F(SaveParametersTest, AValueBeyondThe16BitRangeIsNamedWithTheMaximum) {
    toolkit.messages.clear();
    Save({"4", "1", "32768", "0"});
    ASSERT_EQ(toolkit.messages.size(), 2u);
    EXPECT_EQ(toolkit.messages[0].prompt, kBadInput);
    EXPECT_EQ(toolkit.messages[1].prompt, "“考场总数”为 32768，超过最大值 32767。");
}

TEST_F(SaveParametersTest, ASettingsSheetThatCannotBeNamedIsReportedWithItsRealReason) {
    host::Workbook& roster = app.Workbooks().Add();
    roster.SaveAs(dir.File("花名册.xlsx"));
    // A name another program wrote; the host refuses the same quotes in a new name.
    host::Worksheet& quoted = roster.InsertSheet(-1, "'高四'", roster.NextCodeName());
    for (host::Worksheet* ws : {&roster.Sheet(1), &quoted}) {
        ws->SetValueAt(1, 1, host::Variant("班级"));
        ws->SetValueAt(2, 1, host::Variant("1班"));
    }
    Params().SetRosterFolder(dir.Path().string());
    Params().SetRosterFileName("花名册.xlsx");
    toolkit.messages.clear();
    auto outcome = Save({"2", "1", "3", "0"});
    EXPECT_TRUE(outcome.stopped);
    ASSERT_FALSE(toolkit.messages.empty());
    const std::string& text = toolkit.messages.back().prompt;
    EXPECT_NE(text.find("工作表“'高四'”无法生成设置表（工作表名称不能以单引号开头或结尾）"), std::string::npos) << text;
    EXPECT_EQ(text.find("28"), std::string::npos) << text;
}
