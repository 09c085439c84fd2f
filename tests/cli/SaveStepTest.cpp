#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/Command.h"
#include "cli/SaveStep.h"
#include "host/Application.h"
#include "host/Workbook.h"
#include "host/xlsx/Package.h"
#include "support/TestSupport.h"

namespace {

using testing_support::TempDir;
namespace fs = std::filesystem;

// A command context over its own application, as the runner builds it.
struct Fixture {
    TempDir dir;
    cli::GlobalOptions options;
    std::istringstream in;
    std::ostringstream out, err;
    host::Application app;
    std::unique_ptr<cli::ScriptedToolkit> toolkit;
    std::unique_ptr<cli::CommandContext> ctx;

    explicit Fixture(std::string outDir = "") {
        options.outDir = std::move(outDir);
        toolkit = std::make_unique<cli::ScriptedToolkit>(cli::Console{in, out, err, false}, cli::ScriptedToolkit::Script{},
                                                         1u, dir.Path().string());
        ctx = std::make_unique<cli::CommandContext>(
            cli::CommandContext{options, out, err, *toolkit, app, dir.Path().string()});
    }
    std::vector<std::string> Save() { return cli::SaveChangedWorkbooks(*ctx); }
};

void WriteWorkbook(const std::string& path, const std::string& text) {
    host::Application app;
    host::Workbook& wb = app.Workbooks().Add();
    wb.Sheet(1).SetValueAt(1, 1, text);
    wb.SaveAs(path);
}

TEST(SaveStep, ChangedNewWorkbooksGoIntoTheOutFolderUnderTheirName) {
    Fixture f("结果");
    host::Workbook& changed = f.app.Workbooks().Add();
    changed.Sheet(1).SetValueAt(1, 1, "报告");
    f.app.Workbooks().Add();  // never touched: not saved
    std::string expected = (f.dir.Path() / "结果" / (changed.Name() + ".xlsx")).string();
    auto written = f.Save();
    EXPECT_EQ(written, std::vector<std::string>{expected});
    EXPECT_EQ(f.out.str(), "已保存：" + expected + "\n");
    EXPECT_TRUE(fs::exists(expected));
    EXPECT_TRUE(changed.Saved());
    EXPECT_EQ(changed.FullName(), expected);
}

TEST(SaveStep, AnExistingFileInTheOutFolderIsNeverReplaced) {
    Fixture f;
    host::Workbook& wb = f.app.Workbooks().Add();
    const std::string name = wb.Name();
    testing_support::WriteFile((f.dir.Path() / (name + ".xlsx")).string(), "user's own");
    testing_support::WriteFile((f.dir.Path() / (name + " (2).xlsx")).string(), "another");
    wb.Sheet(1).SetValueAt(1, 1, 1);
    auto written = f.Save();
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(written[0], (f.dir.Path() / (name + " (3).xlsx")).string());
    EXPECT_EQ(testing_support::ReadFile((f.dir.Path() / (name + ".xlsx")).string()), "user's own");
    EXPECT_EQ(testing_support::ReadFile((f.dir.Path() / (name + " (2).xlsx")).string()), "another");
}

TEST(SaveStep, WorkbooksFromDiskAreSavedInPlaceOnlyWhenChanged) {
    Fixture f;
    WriteWorkbook(f.dir.File("a.xlsx"), "a");
    WriteWorkbook(f.dir.File("b.xlsx"), "b");
    host::Workbook* a = f.app.Workbooks().Open(f.dir.File("a.xlsx"));
    f.app.Workbooks().Open(f.dir.File("b.xlsx"));
    a->Sheet(1).SetValueAt(2, 1, "新行");
    auto stamp = fs::last_write_time(f.dir.File("b.xlsx"));
    EXPECT_EQ(f.Save(), std::vector<std::string>{f.dir.File("a.xlsx")});
    EXPECT_EQ(fs::last_write_time(f.dir.File("b.xlsx")), stamp);
    host::Application check;
    auto reread = host::xlsx::LoadWorkbook(&check, f.dir.File("a.xlsx"));
    EXPECT_EQ(host::ToText(reread->Sheet(1).ValueAt(2, 1)), "新行");
}

TEST(SaveStep, TheSystemWorkbookIsSavedOnlyWhenItsCellsChanged) {
    Fixture f;
    WriteWorkbook(f.dir.File("系统.xlsx"), "参数");
    host::Workbook* system = f.app.Workbooks().Open(f.dir.File("系统.xlsx"));
    f.ctx->SetSystemWorkbook(system);
    // Protection and visibility change the workbook, not its cells.
    system->Sheet(1).Protect("pw");
    ASSERT_FALSE(system->Saved());
    EXPECT_TRUE(f.Save().empty());

    system->Sheet(1).SetValueAt(1, 11, "K1");
    EXPECT_EQ(f.Save(), std::vector<std::string>{f.dir.File("系统.xlsx")});
}

TEST(SaveStep, ASystemWorkbookWithoutFileIsWrittenToItsPlace) {
    Fixture f;
    host::Workbook& system = f.app.Workbooks().Add();
    system.SetFileName(f.dir.File("新系统.xlsx"));
    f.ctx->SetSystemWorkbook(&system);
    EXPECT_EQ(f.Save(), std::vector<std::string>{f.dir.File("新系统.xlsx")});
    EXPECT_TRUE(fs::exists(f.dir.File("新系统.xlsx")));
}

TEST(SaveStep, OutFolderDefaultsToTheRosterFolderThenTheCurrentFolder) {
    Fixture f;
    EXPECT_EQ(cli::OutFolder(*f.ctx), f.dir.Path().string());

    host::Workbook& system = f.app.Workbooks().Add();
    host::Worksheet& params = system.InsertSheet(-1, "参数", "Sheet2");
    f.ctx->SetSystemWorkbook(&system);
    fs::create_directory(f.dir.Path() / "花名册");
    params.SetValueAt(1, 11, (f.dir.Path() / "花名册").string());  // K1
    EXPECT_EQ(cli::OutFolder(*f.ctx), (f.dir.Path() / "花名册").string());

    params.SetValueAt(1, 11, (f.dir.Path() / "已删除").string());  // a folder that is gone
    EXPECT_EQ(cli::OutFolder(*f.ctx), f.dir.Path().string());

    f.options.outDir = "指定";
    EXPECT_EQ(cli::OutFolder(*f.ctx), (f.dir.Path() / "指定").string());
}

TEST(CellsFingerprint, FollowsValuesFormulasAndFormatsButNotOtherState) {
    host::Application app;
    host::Workbook& wb = app.Workbooks().Add();
    host::Worksheet& ws = wb.Sheet(1);
    ws.SetValueAt(3, 2, 1.5);
    uint64_t base = cli::CellsFingerprint(wb);
    ws.SetVisible(host::xlSheetVisible);
    ws.SetScrollArea("F6");
    EXPECT_EQ(cli::CellsFingerprint(wb), base);

    ws.SetValueAt(3, 2, "1.5");  // same text form, other type
    EXPECT_NE(cli::CellsFingerprint(wb), base);
    ws.SetValueAt(3, 2, 1.5);
    EXPECT_EQ(cli::CellsFingerprint(wb), base);
    ws.SetValueAt(2, 3, 1.5);   // same value, other place
    EXPECT_NE(cli::CellsFingerprint(wb), base);
    ws.SetValueAt(2, 3, host::Variant());
    EXPECT_EQ(cli::CellsFingerprint(wb), base);
    ws.GetCell(3, 2).formula = std::make_unique<std::string>("1+0.5");
    EXPECT_NE(cli::CellsFingerprint(wb), base);
}

}  // namespace
