#include <gtest/gtest.h>

#include <filesystem>

#include "SettingsFixtures.h"
#include "host/xlsx/Package.h"
#include "settings/RosterSelection.h"

namespace {

constexpr const char* kSameName =
    "不能同时打开同名文件，无论它们是否在同一文件夹中， 要打开第二份文档，请关闭已经打开的文档，"
    "或者重新命名其中的一个文档。";

class RosterSelectionTest : public ::testing::Test, protected settingstest::SettingsWorld {
protected:
    std::vector<host::Workbook*> shown;

    workbook::Outcome Choose() {
        return settings::ChooseRosterWorkbook(component.Context(), [&](host::Workbook& wb) { shown.push_back(&wb); });
    }
    // A roster another program wrote, copied into the temporary folder.
    std::string ForeignFile(const std::string& fixture, const std::string& name) {
        const std::string file = dir.File(name);
        std::filesystem::copy_file(std::string(TOLM_TEST_DATA) + "/import/" + fixture, file);
        return file;
    }
    // A roster workbook file in a subfolder, not open in the host.
    std::string RosterFile(const std::string& folder, const std::string& name = "花名册.xlsx") {
        std::filesystem::create_directories(dir.Path() / folder);
        host::Workbook& wb = app.Workbooks().Add();
        wb.Sheet(1).SetName("高一");
        const std::string file = (dir.Path() / folder / name).string();
        wb.SaveAs(file);
        wb.Close(false);
        return file;
    }
    void SetStoredRoster(const std::string& folder, const std::string& name) {
        Params().SetRosterFolder(folder);
        Params().SetRosterFileName(name);
    }
};

TEST_F(RosterSelectionTest, FirstUseCreatesTheRosterFolderAndOpensTheDialogThere) {
    const std::string folder = dir.File("花名册");
    ASSERT_FALSE(std::filesystem::exists(folder));
    Choose();
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    ASSERT_EQ(toolkit.dialogs.size(), 1u);
    EXPECT_EQ(toolkit.dialogs[0].title, "请选择花名册…");
    EXPECT_EQ(toolkit.dialogs[0].initialFolder, folder);
    // The formats read first, then the Excel formats alone.
    EXPECT_EQ(toolkit.dialogs[0].filter,
              "表格文件 (*.xls;*.xlsx;*.xlsm;*.ods;*.csv)|*.xls;*.xlsx;*.xlsm;*.ods;*.csv|"
              "Excel 文件 (*.xls;*.xlsx;*.xlsm)| *.xls;*.xlsx;*.xlsm");
}

TEST_F(RosterSelectionTest, CancellingChangesNothingAndSaysNothing) {
    SetStoredRoster("/old", "旧.xlsx");
    const int open = app.Workbooks().Count();
    Choose();
    EXPECT_TRUE(toolkit.messages.empty());
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(Params().RosterFolder(), "/old");
    EXPECT_EQ(Params().RosterFileName(), "旧.xlsx");
    EXPECT_EQ(app.Workbooks().Count(), open);
}

TEST_F(RosterSelectionTest, TheChosenWorkbookIsOpenedRememberedAndShownAndThePreviousOneStaysOpen) {
    host::Workbook* previous = app.Workbooks().Open(RosterFile("旧", "甲.xlsx"));
    SetStoredRoster(previous->Path(), previous->Name());
    const std::string file = RosterFile("学生");
    toolkit.picks = {file};
    Choose();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0]->FullName(), file);
    EXPECT_EQ(Params().RosterFolder(), (dir.Path() / "学生").string());
    EXPECT_EQ(Params().RosterFileName(), "花名册.xlsx");
    EXPECT_TRUE(toolkit.messages.empty());
    EXPECT_EQ(app.Workbooks().Find("甲.xlsx"), previous);
}

TEST_F(RosterSelectionTest, AWorkbookOfTheSameNameFromAnotherFolderIsRefused) {
    const std::string first = RosterFile("一");
    const std::string second = RosterFile("二");
    host::Workbook* open = app.Workbooks().Open(first);
    ASSERT_NE(open, nullptr);
    SetStoredRoster(open->Path(), open->Name());
    toolkit.picks = {second};

    Choose();

    EXPECT_EQ(toolkit.Prompts(), std::vector<std::string>{kSameName});
    EXPECT_EQ(toolkit.messages[0].title, "提示信息…");
    EXPECT_EQ(toolkit.messages[0].icon, platform::MsgIcon::Information);
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(Params().RosterFolder(), (dir.Path() / "一").string());
}

TEST_F(RosterSelectionTest, ChoosingTheWorkbookInUseStoresItAgainAndRefreshes) {
    const std::string file = RosterFile("一");
    host::Workbook* open = app.Workbooks().Open(file);
    SetStoredRoster(open->Path(), open->Name());
    const int count = app.Workbooks().Count();
    toolkit.picks = {file};

    Choose();

    EXPECT_TRUE(toolkit.messages.empty());
    EXPECT_EQ(shown, std::vector<host::Workbook*>{open});
    EXPECT_EQ(app.Workbooks().Count(), count);
    EXPECT_EQ(Params().RosterFolder(), open->Path());
}

TEST_F(RosterSelectionTest, AFileThatCannotBeReadIsNamedAndNothingIsStored) {
    const std::string bad = dir.File("坏.xlsx");
    testing_support::WriteFile(bad, "这不是一个工作簿");
    SetStoredRoster("/old", "旧.xlsx");
    toolkit.picks = {bad};

    Choose();

    ASSERT_EQ(toolkit.messages.size(), 1u);
    EXPECT_NE(toolkit.messages[0].prompt.find(bad), std::string::npos) << toolkit.messages[0].prompt;
    EXPECT_EQ(toolkit.messages[0].title, "提示信息…");
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(Params().RosterFileName(), "旧.xlsx");
    EXPECT_EQ(testing_support::ReadFile(bad), "这不是一个工作簿");
}

// Rosters from other programs become the .xlsx beside them.

TEST_F(RosterSelectionTest, AnXlsRosterIsSavedAsXlsxBesideItAfterAskingAndThatBecomesTheRoster) {
    const std::string xls = ForeignFile("roster.xls", "名单.xls");
    const std::string before = testing_support::ReadFile(xls);
    toolkit.picks = {xls};
    toolkit.answers = {platform::MsgResult::Yes};

    const workbook::Outcome outcome = Choose();

    ASSERT_EQ(toolkit.messages.size(), 1u);
    EXPECT_EQ(toolkit.messages[0].buttons, platform::MsgButtons::YesNo);
    EXPECT_NE(toolkit.messages[0].prompt.find("“名单.xls”是 Excel 97-2003 工作簿（.xls）"), std::string::npos)
        << toolkit.messages[0].prompt;
    EXPECT_NE(toolkit.messages[0].prompt.find("“名单.xlsx”"), std::string::npos);
    EXPECT_TRUE(outcome.IsDone());
    EXPECT_EQ(outcome.saved, std::vector<std::string>{dir.File("名单.xlsx")});
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0]->FullName(), dir.File("名单.xlsx"));
    EXPECT_EQ(shown[0]->Sheet(1).ValueAt(2, 1).Text(), "张三");
    EXPECT_EQ(Params().RosterFolder(), dir.Path().string());
    EXPECT_EQ(Params().RosterFileName(), "名单.xlsx");
    EXPECT_EQ(testing_support::ReadFile(xls), before) << "the original stays as it was";
    // What is open is what is on disk.
    host::Application other;
    EXPECT_EQ(host::xlsx::LoadWorkbook(&other, dir.File("名单.xlsx"))->Sheet(2).ValueAt(2, 1).Text(), "孙七");
}

TEST_F(RosterSelectionTest, DecliningToSaveAForeignRosterWritesAndStoresNothing) {
    toolkit.picks = {ForeignFile("roster.ods", "名单.ods")};
    toolkit.answers = {platform::MsgResult::No};
    SetStoredRoster("/old", "旧.xlsx");

    EXPECT_EQ(Choose().kind, workbook::Outcome::Kind::Stopped);

    EXPECT_FALSE(std::filesystem::exists(dir.File("名单.xlsx")));
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(Params().RosterFileName(), "旧.xlsx");
}

TEST_F(RosterSelectionTest, AnExistingXlsxBesideIsReplacedOnlyWhenTheUserSaysSo) {
    const std::string csv = ForeignFile("roster-gb18030.csv", "名单.csv");
    testing_support::WriteFile(dir.File("名单.xlsx"), "用户自己的文件");
    SetStoredRoster("/old", "旧.xlsx");
    toolkit.picks = {csv};
    toolkit.answers = {platform::MsgResult::Yes, platform::MsgResult::No};

    EXPECT_EQ(Choose().kind, workbook::Outcome::Kind::Stopped);
    ASSERT_EQ(toolkit.messages.size(), 2u);
    EXPECT_EQ(toolkit.messages[1].prompt, "同一文件夹中已经有“名单.xlsx”。是否用“名单.csv”的内容替换它？选择“否”则不做任何更改。");
    EXPECT_EQ(toolkit.messages[1].defaultButton, 2) << "replacing is never the default";
    EXPECT_EQ(testing_support::ReadFile(dir.File("名单.xlsx")), "用户自己的文件");
    EXPECT_EQ(Params().RosterFileName(), "旧.xlsx");

    toolkit.picks = {csv};
    toolkit.answers = {platform::MsgResult::Yes, platform::MsgResult::Yes};
    EXPECT_TRUE(Choose().IsDone());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0]->Sheet(1).Name(), "名单");
    EXPECT_EQ(shown[0]->Sheet(1).ValueAt(1, 2).Text(), "班级");
    EXPECT_EQ(Params().RosterFileName(), "名单.xlsx");
}

TEST_F(RosterSelectionTest, AnXlsxBesideThatIsOpenWithChangesIsNotReplaced) {
    const std::string ods = ForeignFile("roster.ods", "名单.ods");
    host::Workbook& open = app.Workbooks().Add();
    open.SaveAs(dir.File("名单.xlsx"));
    open.Sheet(1).SetValueAt(1, 1, host::Variant("未保存的修改"));
    const std::string before = testing_support::ReadFile(dir.File("名单.xlsx"));
    toolkit.picks = {ods};
    toolkit.answers = {platform::MsgResult::Yes, platform::MsgResult::Yes};

    EXPECT_EQ(Choose().kind, workbook::Outcome::Kind::Stopped);

    EXPECT_EQ(toolkit.Prompts().back(), kSameName);
    EXPECT_EQ(testing_support::ReadFile(dir.File("名单.xlsx")), before);
    EXPECT_EQ(app.Workbooks().Find("名单.xlsx"), &open);
    EXPECT_EQ(open.Sheet(1).ValueAt(1, 1).Text(), "未保存的修改");
}

TEST_F(RosterSelectionTest, AForeignRosterThatCannotBeReadIsNamedAndNothingIsWritten) {
    const std::string bad = dir.File("坏.xls");
    testing_support::WriteFile(bad, testing_support::ReadFile(std::string(TOLM_TEST_DATA) + "/import/roster.xls").substr(0, 1000));
    SetStoredRoster("/old", "旧.xlsx");
    toolkit.picks = {bad};
    toolkit.answers = {platform::MsgResult::Yes};

    EXPECT_EQ(Choose().kind, workbook::Outcome::Kind::FileError);

    ASSERT_EQ(toolkit.messages.size(), 2u);
    EXPECT_EQ(toolkit.messages[1].prompt.rfind("不能打开文件“" + bad + "”：", 0), 0u) << toolkit.messages[1].prompt;
    EXPECT_FALSE(std::filesystem::exists(dir.File("坏.xlsx")));
    EXPECT_EQ(Params().RosterFileName(), "旧.xlsx");
}

}  // namespace
