#include <gtest/gtest.h>

#include <filesystem>

#include "SettingsFixtures.h"
#include "settings/RosterSelection.h"

namespace {

constexpr const char* kSameName =
    "不能同时打开同名文件，无论它们是否在同一文件夹中， 要打开第二份文档，请关闭已经打开的文档，"
    "或者重新命名其中的一个文档。";

class RosterSelectionTest : public ::testing::Test, protected settingstest::SettingsWorld {
protected:
    std::vector<host::Workbook*> shown;

    void Choose() {
        settings::ChooseRosterWorkbook(component.Context(), [&](host::Workbook& wb) { shown.push_back(&wb); });
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
    EXPECT_EQ(toolkit.dialogs[0].filter, "Excel 文件 (*.xls;*.xlsx;*.xlsm)| *.xls;*.xlsx;*.xlsm");
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

}  // namespace
