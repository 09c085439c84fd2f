#include <gtest/gtest.h>

#include <filesystem>

#include "CoreFixtures.h"
#include "FakeToolkit.h"
#include "support/TestSupport.h"
#include "ui/Component.h"
#include "entry/Session.h"
#include "host/HostError.h"
#include "workbook/DefaultSystemWorkbook.h"
#include "workbook/ParameterCells.h"
#include "workbook/SystemNames.h"
#include "workbook/SystemWorkbook.h"

using host::Variant;
using testing_support::TempDir;

namespace {

const std::string kPassword(workbook::kSheetPassword);

// What every default system workbook holds, freshly built or read back.
void ExpectDefaultLayout(const host::Workbook& wb) {
    using namespace workbook;
    // The four service sheets, then the five built-in templates.
    const char* codes[] = {"Sheet1", "Sheet2", "Sheet3", "Sheet4"};
    ASSERT_EQ(wb.SheetCount(), 9);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(wb.Sheet(i + 1).CodeName(), codes[i]);
    const char* templates[] = {"考场座位表", "考场门贴", "桌贴", "考场签到表", "班级考场对照表"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(wb.Sheet(i + 5).Name(), templates[i]);
        EXPECT_FALSE(IsServiceSheet(wb.Sheet(i + 5))) << templates[i];
    }

    const host::Worksheet& front = *SheetByCodeName(wb, kFrontSheet);
    EXPECT_EQ(front.Visible(), host::xlSheetVisible);
    EXPECT_TRUE(front.ProtectContents());
    EXPECT_TRUE(front.CheckPassword(kPassword));
    EXPECT_EQ(host::ToText(front.ValueAt(2, 2)), "考场编排系统");
    EXPECT_NE(front.MergeAreaAt(2, 2), nullptr);
    for (int16_t n : {kParameterSheet, kRevisionSheet, kTemplateImageSheet})
        EXPECT_EQ(SheetByCodeName(wb, n)->Visible(), host::xlSheetVeryHidden) << n;

    ParameterCells cells(wb);
    EXPECT_EQ(cells.RosterFolder(), "");
    EXPECT_EQ(cells.RosterFileName(), "");
    EXPECT_EQ(cells.DeskGroups(), 4);
    EXPECT_EQ(cells.GradesPerGroup(), 1);
    EXPECT_EQ(cells.RoomCount(), 20);
    EXPECT_EQ(cells.ExtraFieldCount(), 0);
    EXPECT_EQ(cells.Text("K6"), "");
    EXPECT_EQ(cells.FirstExamNumber(), 1);
    EXPECT_EQ(cells.SortKeyField(), kNoneEntry);
    EXPECT_EQ(cells.ColumnTitle(), kNoneEntry);
    EXPECT_EQ(cells.Ordering(), 3);
    EXPECT_EQ(cells.NumberingMethod(), 1);
    EXPECT_EQ(cells.DeskOrder(), 0);

    const host::Worksheet& params = *SheetByCodeName(wb, kParameterSheet);
    EXPECT_EQ(host::ToText(params.ValueAt(1, 1)), "模板名称");
    for (int32_t col = 1; col <= 7; ++col) EXPECT_FALSE(params.ValueAt(1, col).IsEmpty()) << col;
    // One options row per built-in template, in the order of the sheets.
    for (int32_t row = 2; row <= 6; ++row) EXPECT_EQ(host::ToText(params.ValueAt(row, 1)), wb.Sheet(row + 3).Name()) << row;
    EXPECT_EQ(SheetByCodeName(wb, kRevisionSheet)->RowsData().size(), 0u);
}

TEST(DefaultSystemWorkbook, CreatedSavedAndReadBack) {
    TempDir dir;
    const std::string file = dir.File("新文件夹/考场编排系统.xlsx");
    {
        host::Application app;
        host::Workbook& wb = workbook::CreateDefaultSystemWorkbook(app, file);
        EXPECT_EQ(app.ActiveWorkbook(), &wb);
        EXPECT_EQ(wb.FullName(), file);
        EXPECT_TRUE(wb.Saved());
        ExpectDefaultLayout(wb);
    }
    ASSERT_TRUE(std::filesystem::is_regular_file(file));
    host::Application app;
    host::Workbook* again = app.Workbooks().Open(file);
    ASSERT_NE(again, nullptr);
    ExpectDefaultLayout(*again);
}

TEST(DefaultSystemWorkbook, UnwritableFolderLeavesNothingOpen) {
    TempDir dir;
    testing_support::WriteFile(dir.File("占用"), "a file, not a folder");
    host::Application app;
    EXPECT_THROW(workbook::CreateDefaultSystemWorkbook(app, dir.File("占用/考场编排系统.xlsx")), host::FileError);
    EXPECT_EQ(app.Workbooks().Count(), 0);
    EXPECT_EQ(testing_support::ReadFile(dir.File("占用")), "a file, not a folder");
}

TEST(DefaultSystemWorkbook, PathIsUnderHome) {
    const char* home = std::getenv("HOME");
    if (!home || !*home) GTEST_SKIP() << "HOME is not set";
    EXPECT_EQ(workbook::DefaultSystemWorkbookPath(), std::string(home) + "/考场编排/考场编排系统.xlsx");
}

class SessionTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string file = dir.File("考场编排系统.xlsx");
    host::Application app;
    coretest::FakeToolkit toolkit;
    ~SessionTest() override { host::Application::SetRunning(nullptr); }
};

TEST_F(SessionTest, MissingSystemWorkbookIsCreatedAndTheSettingsWindowOpens) {
    auto component = entry::StartSession(app, toolkit, file);
    EXPECT_TRUE(std::filesystem::is_regular_file(file));
    EXPECT_EQ(host::Application::Running(), &app);
    ASSERT_NE(component->SystemWorkbook(), nullptr);
    EXPECT_EQ(component->SystemWorkbook()->FullName(), file);
    ASSERT_EQ(component->OpenWindows().size(), 1u);
    EXPECT_NE(component->OpenWindow("FrmSeZhi"), nullptr);
}

TEST_F(SessionTest, ExistingSystemWorkbookReopensTheLastWindow) {
    {
        host::Application first;
        host::Workbook& wb = workbook::CreateDefaultSystemWorkbook(first, file);
        workbook::ParameterCells(wb).SetWindowCode(workbook::WindowCode::Arrangement);
        wb.Save();
    }
    auto component = entry::StartSession(app, toolkit, file);
    EXPECT_NE(component->OpenWindow("FrmKCBP"), nullptr);
    EXPECT_EQ(app.Workbooks().Count(), 1);
}

TEST_F(SessionTest, AnotherWorkbookOfTheSameNameIsRefused) {
    TempDir other;
    workbook::CreateDefaultSystemWorkbook(app, other.File("考场编排系统.xlsx"));
    testing_support::WriteFile(file, "not read");
    EXPECT_THROW(entry::StartSession(app, toolkit, file), host::FileError);
    EXPECT_EQ(testing_support::ReadFile(file), "not read");
}

TEST_F(SessionTest, UnreadableSystemWorkbookIsAFileErrorAndStaysUntouched) {
    testing_support::WriteFile(file, "这不是 xlsx 文件");
    EXPECT_THROW(entry::StartSession(app, toolkit, file), host::FileError);
    EXPECT_EQ(testing_support::ReadFile(file), "这不是 xlsx 文件");
    EXPECT_EQ(app.Workbooks().Count(), 0);
}

}  // namespace
