// Printing in the desktop window without a printer: the user is told so
// once per run and offered a PDF; declining prints nothing (and is not asked
// again for the run's next blocks); a job naming a file goes into it.
#include <gtest/gtest.h>

#include <filesystem>

#include "GuiTestSupport.h"
#include "gui/GuiPrintService.h"
#include "host/Application.h"
#include "host/HostError.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "render/PrinterPrintService.h"

namespace {

struct PrintSetup {
    testing_support::TempDir dir;
    host::Application app;
    gui::QtToolkit toolkit;
    host::Workbook& wb = app.Workbooks().Add();
    PrintSetup() {
        guitest::App();
        toolkit.SetScripted(true);
        wb.SetFileName(dir.File("名单.xlsx"));
        wb.Sheet(1).SetValueAt(1, 1, host::Variant("甲"));
    }
    int Asked(const std::string& prompt) const {
        int n = 0;
        for (const auto& m : toolkit.Messages()) n += m.prompt == prompt;
        return n;
    }
};

TEST(GuiPrintService, WithoutAPrinterAPdfIsOfferedOncePerRun) {
    if (!render::PrinterPrintService::Printers().empty()) GTEST_SKIP() << "a printer is installed here";
    PrintSetup s;
    gui::GuiPrintService service(s.toolkit);
    s.toolkit.QueueAnswer(platform::MsgResult::Yes);
    s.toolkit.QueueFile(s.dir.File("名单.pdf"));
    service.BeginRun();
    service.PrintOut(s.wb.Sheet(1), {});
    service.PrintOut(s.wb.Sheet(1), {});
    service.EndRun();
    EXPECT_EQ(s.Asked(gui::GuiPrintService::kNoPrinter), 1);
    EXPECT_TRUE(std::filesystem::exists(s.dir.File("名单.pdf")));
    EXPECT_EQ(s.Asked("已导出 PDF 文件：" + s.dir.File("名单.pdf")), 1);
}

TEST(GuiPrintService, DecliningThePdfPrintsNothingForTheRestOfTheRun) {
    if (!render::PrinterPrintService::Printers().empty()) GTEST_SKIP() << "a printer is installed here";
    PrintSetup s;
    gui::GuiPrintService service(s.toolkit);
    s.toolkit.QueueAnswer(platform::MsgResult::No);
    service.BeginRun();
    EXPECT_THROW(service.PrintOut(s.wb.Sheet(1), {}), host::HostError);
    EXPECT_THROW(service.PrintOut(s.wb.Sheet(1), {}), host::HostError);
    service.EndRun();
    EXPECT_EQ(s.Asked(gui::GuiPrintService::kNoPrinter), 1);
    // The next run asks again.
    s.toolkit.QueueAnswer(platform::MsgResult::No);
    service.BeginRun();
    EXPECT_THROW(service.PrintOut(s.wb.Sheet(1), {}), host::HostError);
    service.EndRun();
    EXPECT_EQ(s.Asked(gui::GuiPrintService::kNoPrinter), 2);
}

TEST(GuiPrintService, AJobNamingAFileGoesIntoThatPdfWithoutAQuestion) {
    PrintSetup s;
    gui::GuiPrintService service(s.toolkit);
    service.BeginRun();
    service.PrintOut(s.wb.Sheet(1), {false, s.dir.File("导出.pdf")});
    service.PrintOut(s.wb.Sheet(1), {false, s.dir.File("导出.pdf")});
    service.EndRun();
    EXPECT_TRUE(s.toolkit.Messages().empty());
    EXPECT_TRUE(std::filesystem::exists(s.dir.File("导出.pdf")));
}

}  // namespace
