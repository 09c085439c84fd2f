// The Print window: its controls and captions, the load, the labels after
// "打  开 (&O)", and the window stepping aside (hidden, alerts off) while it
// prints, previews or exports one PDF.
#include <gtest/gtest.h>

#include "RosterCheckFixtures.h"
#include "host/Application.h"
#include "host/xlsx/Package.h"
#include "ui/FrmDaYin.h"

using host::Variant;

namespace {

class WindowToolkit : public coretest::AnsweringToolkit {
public:
    std::string pick, saveAs;
    std::vector<std::string> hidden;
    platform::SaveFileRequest saveAsked;
    std::string OpenFileDialog(const platform::OpenFileRequest&) override { return pick; }
    std::string SaveFileDialog(const platform::SaveFileRequest& r) override {
        saveAsked = r;
        return saveAs;
    }
    void HideWindow(ui::Window& w) override { hidden.push_back(w.Name()); }
};

// Records each job with the host's switches as they were while it printed.
class SwitchRecordingService : public host::PrintService {
public:
    host::Application* app = nullptr;
    struct Job {
        std::string sheet, toFile;
        bool preview, screenUpdating, alerts;
    };
    std::vector<Job> jobs;
    void PrintOut(host::Worksheet& ws, const host::PrintJob& job) override {
        jobs.push_back({ws.Name(), job.toFile, job.preview, app->ScreenUpdating(), app->DisplayAlerts()});
    }
};

struct PrintWindowWorld {
    host::Application app;
    WindowToolkit toolkit;
    ui::Component component{toolkit};
    host::Workbook& system = coretest::AddSystemWorkbook(app);
    testing_support::TempDir dir;
    SwitchRecordingService service;

    PrintWindowWorld() {
        component.SetApplication(&app);
        component.SetSystemWorkbook(&system);
        host::Application::SetRunning(&app);
        service.app = &app;
        app.SetPrintService(&service);
        host::Workbook wb(nullptr, "名单.xlsx");
        wb.InsertSheet(-1, "一班", "Sheet1").SetValueAt(1, 1, Variant("甲"));
        wb.InsertSheet(-1, "二班", "Sheet2").SetValueAt(1, 1, Variant("乙"));
        host::xlsx::SaveWorkbook(wb, dir.File("名单.xlsx"));
    }
    ~PrintWindowWorld() { host::Application::SetRunning(nullptr); }
    ui::FrmDaYin& Load() {
        return dynamic_cast<ui::FrmDaYin&>(ui::ShowMainWindow(component, workbook::WindowCode::Print));
    }
    ui::FrmDaYin& Opened() {
        ui::FrmDaYin& w = Load();
        toolkit.pick = dir.File("名单.xlsx");
        w.Command2.Click();
        return w;
    }
};

TEST(PrintWindow, EveryControlCarriesItsCaptionAndTheLoadRecordsCodeFour) {
    PrintWindowWorld f;
    ui::FrmDaYin& w = f.Load();
    EXPECT_EQ(w.Caption(), "打印");
    const std::pair<const ui::CaptionedControl*, const char*> captions[] = {
        {&w.Frame1, "工作簿"},          {&w.Label3[0], "工作簿："},       {&w.Label3[1], "路径："},
        {&w.Label2, ""},                {&w.Label1, ""},                  {&w.Command2, "打  开 (&O)"},
        {&w.Command1[0], "打  印 (&Y)"}, {&w.Command1[1], "打印预览 (&P)"}, {&w.Command3, "导出 PDF (&F)"},
    };
    for (const auto& [control, caption] : captions) EXPECT_EQ(control->Caption(), caption) << control->Name();
    EXPECT_EQ(workbook::ParameterCells(f.system).Number("K6"), 4);
    ASSERT_FALSE(f.toolkit.placements.empty());
    EXPECT_EQ(f.toolkit.placements.back().window, "FrmDaYin");
}

TEST(PrintWindow, OpenShowsTheWorkbooksNameAndFolder) {
    PrintWindowWorld f;
    ui::FrmDaYin& w = f.Opened();
    EXPECT_TRUE(w.LastOutcome().IsDone());
    EXPECT_EQ(w.Label2.Caption(), "名单.xlsx");
    EXPECT_EQ(w.Label1.Caption(), f.dir.Path().string());
    // A cancelled dialog keeps the labels.
    f.toolkit.pick = "";
    w.Command2.Click();
    EXPECT_EQ(w.Label2.Caption(), "名单.xlsx");
}

TEST(PrintWindow, PrintingHidesTheWindowWithScreenAndAlertsOffThenShowsItAgain) {
    PrintWindowWorld f;
    ui::FrmDaYin& w = f.Opened();
    const size_t shownBefore = f.toolkit.shown.size();
    w.Command1[ui::FrmDaYin::kPrintButton].Click();
    ASSERT_EQ(f.service.jobs.size(), 2u);
    for (const auto& j : f.service.jobs) {
        EXPECT_FALSE(j.preview);
        EXPECT_FALSE(j.screenUpdating);
        EXPECT_FALSE(j.alerts);
    }
    EXPECT_EQ(f.toolkit.hidden, std::vector<std::string>{"FrmDaYin"});
    ASSERT_EQ(f.toolkit.shown.size(), shownBefore + 1);
    EXPECT_FALSE(f.toolkit.shown.back().modal);
    EXPECT_TRUE(f.app.ScreenUpdating());
    EXPECT_TRUE(f.app.DisplayAlerts());
}

TEST(PrintWindow, APreviewKeepsTheScreenLiveAndAsksAfterEachSheet) {
    PrintWindowWorld f;
    ui::FrmDaYin& w = f.Opened();
    f.toolkit.answers = {platform::MsgResult::No, platform::MsgResult::No};
    w.Command1[ui::FrmDaYin::kPreviewButton].Click();
    ASSERT_EQ(f.service.jobs.size(), 2u);
    EXPECT_TRUE(f.service.jobs[0].preview);
    EXPECT_TRUE(f.service.jobs[0].screenUpdating);
    EXPECT_FALSE(f.service.jobs[0].alerts);
    EXPECT_EQ(f.toolkit.messages.size(), 2u);
}

TEST(PrintWindow, ExportPdfOffersTheFileBesideTheWorkbookAndSendsEveryJobThere) {
    PrintWindowWorld f;
    ui::FrmDaYin& w = f.Opened();
    f.toolkit.saveAs = f.dir.File("导出.pdf");
    w.Command3.Click();
    EXPECT_EQ(f.toolkit.saveAsked.initialFile, f.dir.File("名单.pdf"));
    ASSERT_EQ(f.service.jobs.size(), 2u);
    for (const auto& j : f.service.jobs) {
        EXPECT_EQ(j.toFile, f.dir.File("导出.pdf"));
        EXPECT_FALSE(j.preview);
    }
    ASSERT_FALSE(f.toolkit.messages.empty());
    EXPECT_EQ(f.toolkit.messages.back().prompt, "已导出 PDF 文件：" + f.dir.File("导出.pdf"));

    // Cancelling the save dialog prints nothing.
    f.service.jobs.clear();
    f.toolkit.saveAs = "";
    w.Command3.Click();
    EXPECT_TRUE(f.service.jobs.empty());
    EXPECT_EQ(w.LastOutcome().kind, workbook::Outcome::Kind::Stopped);
}

TEST(PrintWindow, PrintingBeforeOpeningAsksForAWorkbook) {
    PrintWindowWorld f;
    ui::FrmDaYin& w = f.Load();
    w.Command1[0].Click();
    EXPECT_EQ(w.LastOutcome().kind, workbook::Outcome::Kind::Stopped);
    ASSERT_EQ(f.toolkit.messages.size(), 1u);
    EXPECT_EQ(f.toolkit.messages[0].prompt, "请点击“打开”按钮选择需打印的工作簿！");
    EXPECT_TRUE(f.service.jobs.empty());
}

TEST(PrintWindow, TheDefaultPdfNameKeepsTheStem) {
    EXPECT_EQ(ui::DefaultPdfName("/home/t", "考场座位表1.xlsx"), "/home/t/考场座位表1.pdf");
    EXPECT_EQ(ui::DefaultPdfName("/home/t", "无扩展名"), "/home/t/无扩展名.pdf");
    EXPECT_EQ(ui::DefaultPdfName("/a.b", "x.y.xlsm"), "/a.b/x.y.pdf");
}

}  // namespace
