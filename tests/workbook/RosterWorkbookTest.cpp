#include <gtest/gtest.h>

#include <filesystem>

#include "CoreFixtures.h"
#include "support/TestSupport.h"
#include "workbook/ParameterCells.h"
#include "workbook/RosterWorkbook.h"

using testing_support::TempDir;

namespace {

// A roster workbook saved as <folder>/花名册.xlsx with its first cell naming the folder.
void SaveRoster(host::Application& scratch, const std::filesystem::path& folder, const std::string& name) {
    std::filesystem::create_directories(folder);
    host::Workbook& wb = scratch.Workbooks().Add();
    wb.Sheet(1).SetValueAt(1, 1, host::Variant(folder.string()));
    wb.SaveAs((folder / name).string());
    wb.Close(false);
}

class OpenRosterWorkbookTest : public ::testing::Test {
protected:
    TempDir dir;
    std::filesystem::path stored = dir.Path() / "本学期";
    std::filesystem::path elsewhere = dir.Path() / "上学期";
    host::Application app;
    host::Workbook& system = coretest::AddSystemWorkbook(app);
    workbook::ParameterCells cells{system};

    OpenRosterWorkbookTest() {
        host::Application scratch;
        SaveRoster(scratch, stored, "花名册.xlsx");
        SaveRoster(scratch, elsewhere, "花名册.xlsx");
        cells.SetRosterFolder(stored.string());
        cells.SetRosterFileName("花名册.xlsx");
    }
    host::Workbook* Open() { return workbook::OpenRosterWorkbook(app, system); }
};

TEST_F(OpenRosterWorkbookTest, EitherCellEmptyOrFileMissingGivesNone) {
    struct Case {
        std::string folder, file;
    };
    const Case cases[] = {
        {stored.string(), ""},
        {"", "花名册.xlsx"},
        {stored.string(), "没有这个文件.xlsx"},
        {dir.Path().string(), "本学期"},          // a folder is no workbook file
    };
    for (const Case& c : cases) {
        cells.SetRosterFolder(c.folder);
        cells.SetRosterFileName(c.file);
        EXPECT_EQ(Open(), nullptr) << c.folder << " | " << c.file;
    }
    EXPECT_EQ(app.Workbooks().Count(), 1);
}

TEST_F(OpenRosterWorkbookTest, OpensTheStoredFile) {
    host::Workbook* wb = Open();
    ASSERT_NE(wb, nullptr);
    EXPECT_EQ(wb->Path(), stored.string());
    EXPECT_EQ(wb->Name(), "花名册.xlsx");
    EXPECT_EQ(host::ToText(wb->Sheet(1).ValueAt(1, 1)), stored.string());
}

TEST_F(OpenRosterWorkbookTest, AlreadyOpenFromStoredFolderIsReturnedNotReopened) {
    host::Workbook* first = Open();
    ASSERT_NE(first, nullptr);
    first->Sheet(1).SetValueAt(2, 1, host::Variant("未保存的修改"));
    system.Activate();
    EXPECT_EQ(Open(), first);
    EXPECT_EQ(app.Workbooks().Count(), 2);
    EXPECT_EQ(host::ToText(first->Sheet(1).ValueAt(2, 1)), "未保存的修改");
}

TEST_F(OpenRosterWorkbookTest, SameNameFromAnotherFolderIsSavedClosedAndReplaced) {
    host::Workbook* old = app.Workbooks().Open((elsewhere / "花名册.xlsx").string());
    ASSERT_NE(old, nullptr);
    old->Sheet(1).SetValueAt(2, 1, host::Variant("上学期的修改"));

    host::Workbook* wb = Open();
    ASSERT_NE(wb, nullptr);
    EXPECT_EQ(wb->Path(), stored.string());
    EXPECT_EQ(app.Workbooks().Count(), 2);
    for (int i = 1; i <= app.Workbooks().Count(); ++i)
        EXPECT_NE(app.Workbooks().Item(i).Path(), elsewhere.string());

    host::Application check;  // the change reached the other folder's file
    host::Workbook* saved = check.Workbooks().Open((elsewhere / "花名册.xlsx").string());
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(host::ToText(saved->Sheet(1).ValueAt(2, 1)), "上学期的修改");
}

TEST_F(OpenRosterWorkbookTest, FileNameComparesCaseSensitively) {
    // Stored name differs in case only: no open workbook matches exactly, and
    // the host refuses a second workbook of that name, so none comes back.
    std::filesystem::copy_file(stored / "花名册.xlsx", stored / "Roster.xlsx");
    std::filesystem::copy_file(stored / "花名册.xlsx", elsewhere / "roster.xlsx");
    ASSERT_NE(app.Workbooks().Open((elsewhere / "roster.xlsx").string()), nullptr);
    cells.SetRosterFileName("Roster.xlsx");
    EXPECT_EQ(Open(), nullptr);
    EXPECT_EQ(app.Workbooks().Count(), 2);
}

}  // namespace
