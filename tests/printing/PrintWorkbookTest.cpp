// The print procedure over a recording print service: partition mode block
// by block with its print areas and title rows, worksheet mode sheet by
// sheet, the preview questions, the checks and messages, and the question
// before another open workbook of the same file name is closed.
#include <gtest/gtest.h>

#include "RosterCheckFixtures.h"
#include "host/Application.h"
#include "host/HostError.h"
#include "host/xlsx/Package.h"
#include "printing/PrintWorkbook.h"
#include "workbook/Context.h"

using coretest::AnsweringToolkit;
using host::Variant;
using platform::MsgResult;

namespace {

struct Job {
    std::string sheet, area, titles;
    bool preview = false;
    std::string toFile;
};

class RecordingService : public host::PrintService {
public:
    std::vector<Job> jobs;
    int runs = 0, ended = 0;
    bool refuse = false;
    void PrintOut(host::Worksheet& ws, const host::PrintJob& job) override {
        if (refuse) throw host::HostError("没有安装打印机");
        jobs.push_back({ws.Name(), ws.PageSetup().PrintArea, ws.PageSetup().PrintTitleRows, job.preview, job.toFile});
    }
    void BeginRun() override { ++runs; }
    void EndRun() override { ++ended; }
};

struct PrintWorld {
    host::Application app;
    AnsweringToolkit toolkit;
    host::Workbook& system = coretest::AddSystemWorkbook(app);
    RecordingService service;
    testing_support::TempDir dir;
    workbook::Context ctx{app, system, toolkit};

    PrintWorld() { app.SetPrintService(&service); }

    // An exam-table workbook on disk: a seating chart with blocks at rows
    // 1, 10 and 19 (7 columns, the next start 28 as the terminator), a second
    // output sheet, and the print-information sheet with `titles` rows.
    std::string ExamTables(double titles, const std::string& folder = "") {
        host::Workbook wb(nullptr, "考场座位表1.xlsx");
        host::Worksheet& chart = wb.InsertSheet(-1, "座位表", "Sheet1");
        for (int32_t r = 1; r <= 27; ++r) chart.SetValueAt(r, 1, Variant("行" + std::to_string(r)));
        host::Worksheet& other = wb.InsertSheet(-1, "名单", "Sheet2");
        other.SetValueAt(1, 1, Variant("名单"));
        host::Worksheet& info = wb.InsertSheet(-1, "\t打印", "Sheet3");
        coretest::FillRows(info, {{titles, "座位表"}, {1, 7}, {10, 7}, {19, 7}, {28, 7}});
        return Save(wb, folder);
    }

    std::string Save(host::Workbook& wb, const std::string& folder = "") {
        const std::string path = folder.empty() ? dir.Path().string() : folder;
        const std::string file = path + "/" + wb.Name();
        host::xlsx::SaveWorkbook(wb, file);
        return file;
    }

    printing::ChosenWorkbook Chosen(const std::string& file) {
        const size_t slash = file.rfind('/');
        return {file.substr(0, slash), file.substr(slash + 1)};
    }

    printing::PrintReport Print(const std::string& file, bool preview = false) {
        return printing::PrintChosenWorkbook(ctx, Chosen(file), {preview, ""});
    }

    std::vector<std::string> Prompts() const {
        std::vector<std::string> p;
        for (const auto& m : toolkit.messages) p.push_back(m.prompt);
        return p;
    }
};

TEST(PrintWorkbook, PartitionModePrintsEveryBlockWithItsOwnAreaAndTitles) {
    PrintWorld w;
    const auto report = w.Print(w.ExamTables(3));
    EXPECT_TRUE(report.outcome.IsDone());
    EXPECT_TRUE(report.partitionMode);
    ASSERT_EQ(w.service.jobs.size(), 4u);
    EXPECT_EQ(w.service.jobs[0].sheet, "座位表");
    EXPECT_EQ(w.service.jobs[0].area, "$A$1:$G$8") << "from s to s' − 2: the blank row between blocks is left out";
    EXPECT_EQ(w.service.jobs[0].titles, "$1:$3");
    EXPECT_EQ(w.service.jobs[1].area, "$A$10:$G$17");
    EXPECT_EQ(w.service.jobs[1].titles, "$10:$12");
    EXPECT_EQ(w.service.jobs[2].area, "$A$19:$G$26");
    EXPECT_EQ(w.service.jobs[2].titles, "$19:$21");
    EXPECT_EQ(w.service.jobs[3].sheet, "名单") << "a sheet the information does not list prints whole";
    EXPECT_EQ(w.service.jobs[3].area, "");
    for (const Job& j : w.service.jobs) EXPECT_FALSE(j.preview);
    EXPECT_TRUE(w.toolkit.messages.empty()) << "printing asks nothing";
    EXPECT_EQ(w.service.runs, 1);
    EXPECT_EQ(w.service.ended, 1);
    EXPECT_EQ(report.jobs, 4);
}

TEST(PrintWorkbook, WithoutTitleRowsTheTitlesAreLeftAsTheyWere) {
    PrintWorld w;
    w.Print(w.ExamTables(0));
    ASSERT_GE(w.service.jobs.size(), 3u);
    EXPECT_EQ(w.service.jobs[1].area, "$A$10:$G$17");
    EXPECT_EQ(w.service.jobs[1].titles, "");
}

TEST(PrintWorkbook, ABlockTableWithoutBlocksPrintsTheSheetWhole) {
    for (int terminatorOnly : {0, 1}) {
        PrintWorld w;
        host::Workbook wb(nullptr, "表.xlsx");
        wb.InsertSheet(-1, "座位表", "Sheet1").SetValueAt(1, 1, Variant("x"));
        host::Worksheet& info = wb.InsertSheet(-1, "\t打印", "Sheet2");
        if (terminatorOnly) coretest::FillRows(info, {{2, "座位表"}, {1, 7}});  // e = 3
        else coretest::FillRows(info, {{2, "座位表"}, {0, 0}});             // e = 2
        w.Print(w.Save(wb), true);
        ASSERT_EQ(w.service.jobs.size(), 1u) << terminatorOnly;
        EXPECT_EQ(w.service.jobs[0].area, "");
        EXPECT_TRUE(w.toolkit.messages.empty()) << "no question after a whole sheet";
    }
}

TEST(PrintWorkbook, OneBlockHasItsRowAndTheTerminator) {
    PrintWorld w;
    host::Workbook wb(nullptr, "一块.xlsx");
    wb.InsertSheet(-1, "座位表", "Sheet1").SetValueAt(5, 1, Variant("x"));
    coretest::FillRows(wb.InsertSheet(-1, "\t打印", "Sheet2"), {{1, "座位表"}, {20, 4}, {31, 4}});  // e = 4
    w.Print(w.Save(wb));
    ASSERT_EQ(w.service.jobs.size(), 1u);
    EXPECT_EQ(w.service.jobs[0].area, "$A$20:$D$29");
    EXPECT_EQ(w.service.jobs[0].titles, "$20:$20");
}

TEST(PrintWorkbook, PreviewAsksAfterEachBlockAndYesEndsTheRun) {
    PrintWorld w;
    const std::string file = w.ExamTables(3);
    w.toolkit.answers = {MsgResult::No, MsgResult::Yes};
    const auto report = w.Print(file, true);
    EXPECT_TRUE(report.outcome.IsDone());
    ASSERT_EQ(w.service.jobs.size(), 2u);
    EXPECT_TRUE(w.service.jobs[0].preview);
    ASSERT_EQ(w.toolkit.messages.size(), 2u);
    const platform::MessageBoxRequest& q = w.toolkit.messages[0];
    EXPECT_EQ(q.prompt, "单击按钮“是”退出打印预览，单击按钮“否”预览下一分区！");
    EXPECT_EQ(q.buttons, platform::MsgButtons::YesNo);
    EXPECT_EQ(q.icon, platform::MsgIcon::Question);
    EXPECT_EQ(q.defaultButton, 2) << "No is the default";
    EXPECT_EQ(q.title, "提示");
    EXPECT_EQ(w.service.ended, 1) << "the run ends with the preview";
}

TEST(PrintWorkbook, WorksheetModePreviewsSheetBySheetUntilYes) {
    PrintWorld w;
    host::Workbook wb(nullptr, "三张表.xlsx");
    for (const char* name : {"一", "二", "三"}) wb.InsertSheet(-1, name, name).SetValueAt(1, 1, Variant(name));
    const std::string file = w.Save(wb);
    w.toolkit.answers = {MsgResult::Yes};
    auto report = w.Print(file, true);
    EXPECT_FALSE(report.partitionMode);
    ASSERT_EQ(w.service.jobs.size(), 1u);
    EXPECT_EQ(w.Prompts(), std::vector<std::string>{"单击按钮“是”退出打印预览，单击按钮“否”预览下一工作表！"});

    PrintWorld all;
    const std::string again = all.Save(wb);
    all.toolkit.answers = {MsgResult::No, MsgResult::No, MsgResult::No};
    all.Print(again, true);
    ASSERT_EQ(all.service.jobs.size(), 3u);
    EXPECT_EQ(all.service.jobs[2].sheet, "三");
    EXPECT_EQ(all.toolkit.messages.size(), 3u);

    PrintWorld printing;
    printing.Print(printing.Save(wb));
    EXPECT_EQ(printing.service.jobs.size(), 3u);
    EXPECT_TRUE(printing.toolkit.messages.empty());
}

// Files from old hosts carry empty Sheet2 and Sheet3: they print nothing,
// as in the host, and the run still succeeds; a preview asks nothing for them.
TEST(PrintWorkbook, EmptySheetsPrintNothingAndStopNothing) {
    PrintWorld w;
    host::Workbook wb(nullptr, "带空表.xlsx");
    wb.InsertSheet(-1, "名单", "Sheet1").SetValueAt(1, 1, Variant("张三"));
    wb.InsertSheet(-1, "Sheet2", "Sheet2");
    wb.InsertSheet(-1, "Sheet3", "Sheet3").SetValueAt(2, 2, Variant(3));
    const std::string file = w.Save(wb);
    auto report = w.Print(file);
    EXPECT_TRUE(report.outcome.IsDone());
    EXPECT_EQ(report.jobs, 2);
    EXPECT_EQ(report.empty, std::vector<std::string>{"Sheet2"});
    ASSERT_EQ(w.service.jobs.size(), 2u);
    EXPECT_EQ(w.service.jobs[1].sheet, "Sheet3");

    PrintWorld preview;
    preview.toolkit.answers = {MsgResult::No, MsgResult::No};
    EXPECT_TRUE(preview.Print(preview.Save(wb), true).outcome.IsDone());
    EXPECT_EQ(preview.toolkit.messages.size(), 2u) << "one question after each sheet shown";
}

TEST(PrintWorkbook, NothingChosenAndAFileThatIsGoneAreToldAndPrintNothing) {
    PrintWorld w;
    auto report = printing::PrintChosenWorkbook(w.ctx, {"", ""}, {});
    EXPECT_EQ(report.outcome.kind, workbook::Outcome::Kind::Stopped);
    report = printing::PrintChosenWorkbook(w.ctx, {w.dir.Path().string(), "没了.xlsx"}, {});
    EXPECT_EQ(report.outcome.kind, workbook::Outcome::Kind::Stopped);
    ASSERT_EQ(w.toolkit.messages.size(), 2u);
    EXPECT_EQ(w.toolkit.messages[0].prompt, "请点击“打开”按钮选择需打印的工作簿！");
    EXPECT_EQ(w.toolkit.messages[1].prompt, "《没了.xlsx》已被删除！");
    for (const auto& m : w.toolkit.messages) {
        EXPECT_EQ(m.title, "操作提示…");
        EXPECT_EQ(m.icon, platform::MsgIcon::Critical);
    }
    EXPECT_TRUE(w.service.jobs.empty());
    EXPECT_EQ(w.service.runs, 0);
}

// The chosen file was closed after it was opened in the window, and another
// workbook of the same file name, with changes, is open from another folder.
struct SameNameWorld : PrintWorld {
    std::string file;
    host::Workbook* other = nullptr;
    testing_support::TempDir otherDir;
    SameNameWorld() {
        file = ExamTables(3);
        host::Workbook wb(nullptr, "考场座位表1.xlsx");
        wb.InsertSheet(-1, "别的", "Sheet1").SetValueAt(1, 1, Variant("保存过的"));
        const std::string otherFile = Save(wb, otherDir.Path().string());
        other = app.Workbooks().Open(otherFile);
        other->Sheet(1).UserEdit(1, 1, "没保存的改动");
    }
    bool OtherOpen() {
        for (const auto& wb : app.WorkbookList())
            if (wb->FullName() == otherDir.File("考场座位表1.xlsx")) return true;
        return false;
    }
    std::string OtherOnDisk() const {
        auto wb = host::xlsx::LoadWorkbook(nullptr, otherDir.File("考场座位表1.xlsx"));
        return host::ToText(wb->Sheet(1).ValueAt(1, 1));
    }
};

TEST(PrintWorkbook, CancelKeepsTheOtherWorkbookOpenAndPrintsNothing) {
    SameNameWorld w;
    w.toolkit.answers = {MsgResult::Cancel};
    const auto report = w.Print(w.file);
    EXPECT_EQ(report.outcome.kind, workbook::Outcome::Kind::Stopped);
    ASSERT_EQ(w.toolkit.messages.size(), 1u);
    EXPECT_EQ(w.toolkit.messages[0].buttons, platform::MsgButtons::YesNoCancel);
    EXPECT_NE(w.toolkit.messages[0].prompt.find("是否保存对它的更改"), std::string::npos);
    EXPECT_TRUE(w.OtherOpen());
    EXPECT_FALSE(w.other->Saved()) << "the changes are still there";
    EXPECT_TRUE(w.service.jobs.empty());
}

TEST(PrintWorkbook, NoClosesTheOtherWithoutSavingAndYesSavesItFirst) {
    {
        SameNameWorld w;
        w.toolkit.answers = {MsgResult::No};
        EXPECT_TRUE(w.Print(w.file).outcome.IsDone());
        EXPECT_FALSE(w.OtherOpen());
        EXPECT_EQ(w.OtherOnDisk(), "保存过的");
        EXPECT_EQ(w.service.jobs.size(), 4u);
    }
    {
        SameNameWorld w;
        w.toolkit.answers = {MsgResult::Yes};
        EXPECT_TRUE(w.Print(w.file).outcome.IsDone());
        EXPECT_FALSE(w.OtherOpen());
        EXPECT_EQ(w.OtherOnDisk(), "没保存的改动");
        EXPECT_EQ(w.service.jobs.size(), 4u);
    }
}

TEST(PrintWorkbook, AnUnchangedSameNamedWorkbookClosesWithoutAQuestion) {
    SameNameWorld w;
    w.other->SetSaved(true);
    EXPECT_TRUE(w.Print(w.file).outcome.IsDone());
    EXPECT_TRUE(w.toolkit.messages.empty());
    EXPECT_FALSE(w.OtherOpen());
}

TEST(PrintWorkbook, JobsTheServiceRefusesAreReportedAndTheRunIsNotASuccess) {
    PrintWorld w;
    w.service.refuse = true;
    const auto report = w.Print(w.ExamTables(3));
    EXPECT_EQ(report.outcome.kind, workbook::Outcome::Kind::Stopped);
    EXPECT_EQ(report.jobs, 0);
    ASSERT_EQ(report.failures.size(), 4u);
    EXPECT_NE(report.failures[0].find("没有安装打印机"), std::string::npos);
}

TEST(PrintWorkbook, ThePrintedWorkbookStaysOpenWithTheLastBlockSetAndUnsaved) {
    PrintWorld w;
    const std::string file = w.ExamTables(3);
    w.Print(file);
    host::Workbook* wb = w.app.Workbooks().Find("考场座位表1.xlsx");
    ASSERT_NE(wb, nullptr);
    EXPECT_EQ(wb->Sheet(1).PageSetup().PrintArea, "$A$19:$G$26");
    auto onDisk = host::xlsx::LoadWorkbook(nullptr, file);
    EXPECT_EQ(onDisk->Sheet(1).PageSetup().PrintArea, "") << "nothing was saved";
}

// ----- choosing the workbook -----

class PickingToolkit : public AnsweringToolkit {
public:
    std::string pick;
    platform::OpenFileRequest asked;
    std::string OpenFileDialog(const platform::OpenFileRequest& r) override {
        asked = r;
        return pick;
    }
};

struct OpenWorld {
    host::Application app;
    PickingToolkit toolkit;
    host::Workbook& system = coretest::AddSystemWorkbook(app);
    testing_support::TempDir dir;
    workbook::Context ctx{app, system, toolkit};
};

TEST(OpenWorkbookToPrint, TheDialogItsChecksAndTheLabels) {
    OpenWorld w;
    printing::ChosenWorkbook chosen;
    w.toolkit.pick = "";
    EXPECT_EQ(printing::OpenWorkbookToPrint(w.ctx, chosen).kind, workbook::Outcome::Kind::Stopped);
    EXPECT_EQ(w.toolkit.asked.title, "请选择花名册…");
    EXPECT_EQ(w.toolkit.asked.filter, "Excel 文件 (*.xls;*.xlsx;*.xlsm)| *.xls;*.xlsx;*.xlsm");
    EXPECT_TRUE(w.toolkit.messages.empty()) << "cancelling is not an error";

    w.toolkit.pick = w.dir.File("不在.xlsx");
    EXPECT_EQ(printing::OpenWorkbookToPrint(w.ctx, chosen).kind, workbook::Outcome::Kind::Stopped);
    ASSERT_EQ(w.toolkit.messages.size(), 1u);
    EXPECT_EQ(w.toolkit.messages[0].prompt, "《" + w.dir.File("不在.xlsx") + "》已被删除！") << "the full path";
    EXPECT_EQ(w.toolkit.messages[0].icon, platform::MsgIcon::Critical);

    host::Workbook wb(nullptr, "名单.xlsx");
    wb.InsertSheet(-1, "一", "Sheet1");
    host::xlsx::SaveWorkbook(wb, w.dir.File("名单.xlsx"));
    w.toolkit.pick = w.dir.File("名单.xlsx");
    EXPECT_TRUE(printing::OpenWorkbookToPrint(w.ctx, chosen).IsDone());
    EXPECT_EQ(chosen.path, w.dir.Path().string());
    EXPECT_EQ(chosen.name, "名单.xlsx");
    EXPECT_TRUE(w.app.ScreenUpdating());
    EXPECT_TRUE(w.app.DisplayAlerts());
    // The same file again is the workbook open already.
    EXPECT_TRUE(printing::OpenWorkbookToPrint(w.ctx, chosen).IsDone());
    EXPECT_EQ(w.app.Workbooks().Count(), 2);
}

TEST(OpenWorkbookToPrint, ASecondFileOfAnOpenNameIsRefused) {
    OpenWorld w;
    testing_support::TempDir other;
    host::Workbook wb(nullptr, "名单.xlsx");
    wb.InsertSheet(-1, "一", "Sheet1");
    host::xlsx::SaveWorkbook(wb, w.dir.File("名单.xlsx"));
    host::xlsx::SaveWorkbook(wb, other.File("名单.xlsx"));
    ASSERT_NE(w.app.Workbooks().Open(other.File("名单.xlsx")), nullptr);
    printing::ChosenWorkbook chosen;
    w.toolkit.pick = w.dir.File("名单.xlsx");
    EXPECT_EQ(printing::OpenWorkbookToPrint(w.ctx, chosen).kind, workbook::Outcome::Kind::Stopped);
    ASSERT_EQ(w.toolkit.messages.size(), 1u);
    EXPECT_EQ(w.toolkit.messages[0].prompt, printing::kSameNameRefusal);
    EXPECT_EQ(w.toolkit.messages[0].title, "提示信息…");
    EXPECT_TRUE(chosen.name.empty());
}

}  // namespace
