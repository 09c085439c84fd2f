// Page setup through the file: everything a printed page depends on is read
// from other producers' files and survives our own save.
#include <gtest/gtest.h>

#include "host/Dump.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "host/xlsx/Package.h"
#include "support/TestSupport.h"
#include "xlsx/WriterZipInspect.h"

using testing_support::TempDir;

namespace {

std::unique_ptr<host::Workbook> OpenInput(const std::string& name) {
    return host::xlsx::LoadWorkbook(nullptr, std::string(TOLM_TEST_DATA) + "/xlsx/" + name);
}

std::unique_ptr<host::Workbook> SaveAndLoad(const host::Workbook& wb, const TempDir& dir, const std::string& name) {
    const std::string file = dir.File(name);
    host::xlsx::SaveWorkbook(wb, file);
    return host::xlsx::LoadWorkbook(nullptr, file);
}

void ExpectOpenpyxlSetup(const host::PageSetup& ps) {
    EXPECT_EQ(ps.PrintArea, "$A$1:$D$20,$A$30:$D$60");
    EXPECT_EQ(host::AbsoluteAreas(ps.PrintTitleRows), "$1:$2");
    EXPECT_EQ(host::AbsoluteAreas(ps.PrintTitleColumns), "$A:$A");
    EXPECT_EQ(ps.PaperSize, host::xlPaperA3);
    EXPECT_EQ(ps.Orientation, host::xlLandscape);
    EXPECT_EQ(ps.Zoom, 75);
    EXPECT_EQ(ps.FirstPageNumber, 5);
    EXPECT_EQ(ps.Order, host::xlOverThenDown);
    EXPECT_DOUBLE_EQ(ps.LeftMargin, 36);
    EXPECT_DOUBLE_EQ(ps.RightMargin, 43.2);
    EXPECT_DOUBLE_EQ(ps.TopMargin, 72);
    EXPECT_DOUBLE_EQ(ps.BottomMargin, 64.8);
    EXPECT_DOUBLE_EQ(ps.HeaderMargin, 28.8);
    EXPECT_DOUBLE_EQ(ps.FooterMargin, 25.2);
    EXPECT_TRUE(ps.CenterHorizontally);
    EXPECT_TRUE(ps.CenterVertically);
    EXPECT_TRUE(ps.PrintGridlines);
    EXPECT_TRUE(ps.PrintHeadings);
    EXPECT_EQ(ps.LeftHeader, "&A");
    EXPECT_EQ(ps.CenterHeader, "&\"黑体,加粗\"&16 考场座位表");
    EXPECT_EQ(ps.RightHeader, "&D &T");
    EXPECT_EQ(ps.CenterFooter, "第 &P 页，共 &N 页");
    EXPECT_EQ(ps.RightFooter, "&F");
    EXPECT_EQ(ps.RowBreaks, (std::vector<int32_t>{10, 40}));
    EXPECT_EQ(ps.ColumnBreaks, (std::vector<int32_t>{2}));
}

TEST(PageSetupFile, OpenpyxlFileGivesEverySetting) {
    auto wb = OpenInput("openpyxl-page-setup.xlsx");
    ExpectOpenpyxlSetup(wb->Sheet(1).PageSetup());
    const host::PageSetup& fit = wb->Sheet(2).PageSetup();
    EXPECT_EQ(fit.Zoom, 0) << "fitToPage";
    EXPECT_EQ(fit.FitToPagesWide, 1);
    EXPECT_EQ(fit.FitToPagesTall, 0);
}

TEST(PageSetupFile, OpenpyxlFileKeepsItsPageSetupThroughOurSave) {
    TempDir dir;
    auto wb = OpenInput("openpyxl-page-setup.xlsx");
    auto back = SaveAndLoad(*wb, dir, "again.xlsx");
    ExpectOpenpyxlSetup(back->Sheet(1).PageSetup());
    auto printLines = [](const host::Workbook& w) {
        std::string lines, dump = host::Dump(w);
        for (size_t at = dump.find("\nprintsetup"); at != std::string::npos; at = dump.find("\nprintsetup", at + 1))
            lines += dump.substr(at, dump.find('\n', at + 1) - at);
        return lines;
    };
    EXPECT_EQ(printLines(*back), printLines(*wb));
    EXPECT_FALSE(printLines(*back).empty());
    // openpyxl wrote the titles as 1:2 and A:A; we write them absolute, which
    // LibreOffice needs, columns first.
    const auto xml = writer_inspect::ReadEntry(dir.File("again.xlsx"), "xl/workbook.xml");
    ASSERT_TRUE(xml);
    EXPECT_NE(xml->find("'座位表'!$A:$A,'座位表'!$1:$2</definedName>"), std::string::npos) << *xml;
}

TEST(PageSetupFile, EverySettingRoundTrips) {
    TempDir dir;
    host::Workbook wb(nullptr, "setup.xlsx");
    host::Worksheet& ws = wb.InsertSheet(-1, "考场 1", "Sheet1");
    ws.SetValueAt(1, 1, host::Variant("x"));
    host::PageSetup& ps = ws.PageSetup();
    ps.PrintArea = "a1:h40,J1:K2";  // relative as typed: written absolute
    ps.PrintTitleRows = "3:4";
    ps.PaperSize = host::xlPaperA5;
    ps.Orientation = host::xlLandscape;
    ps.Zoom = 0;
    ps.FitToPagesWide = 2;
    ps.FitToPagesTall = 3;
    ps.LeftMargin = 10;
    ps.RightMargin = 20;
    ps.TopMargin = 30;
    ps.BottomMargin = 40;
    ps.HeaderMargin = 5;
    ps.FooterMargin = 6;
    ps.CenterHorizontally = true;
    ps.PrintGridlines = true;
    ps.LeftFooter = "&\"宋体,常规\"&9&F";
    ps.CenterHeader = "A && B";
    ps.FirstPageNumber = 3;
    ps.Order = host::xlOverThenDown;
    ps.AddRowBreakBefore(21);
    ps.AddRowBreakBefore(11);
    ps.AddRowBreakBefore(11);
    ps.AddColumnBreakBefore(5);

    auto back = SaveAndLoad(wb, dir, "setup.xlsx");
    const host::PageSetup& got = back->Sheet(1).PageSetup();
    EXPECT_EQ(got.PrintArea, "$A$1:$H$40,$J$1:$K$2");
    EXPECT_EQ(got.PrintTitleRows, "$3:$4");
    EXPECT_EQ(got.PaperSize, host::xlPaperA5);
    EXPECT_EQ(got.Orientation, host::xlLandscape);
    EXPECT_EQ(got.Zoom, 0);
    EXPECT_EQ(got.FitToPagesWide, 2);
    EXPECT_EQ(got.FitToPagesTall, 3);
    EXPECT_DOUBLE_EQ(got.LeftMargin, 10);
    EXPECT_DOUBLE_EQ(got.FooterMargin, 6);
    EXPECT_TRUE(got.CenterHorizontally);
    EXPECT_FALSE(got.CenterVertically);
    EXPECT_TRUE(got.PrintGridlines);
    EXPECT_EQ(got.LeftFooter, "&\"宋体,常规\"&9&F");
    EXPECT_EQ(got.CenterHeader, "A && B");
    EXPECT_EQ(got.FirstPageNumber, 3);
    EXPECT_EQ(got.Order, host::xlOverThenDown);
    EXPECT_EQ(got.RowBreaks, (std::vector<int32_t>{10, 20}));
    EXPECT_EQ(got.ColumnBreaks, (std::vector<int32_t>{4}));
}

TEST(PageSetupFile, DefaultSheetStillNamesA4AndNothingElse) {
    TempDir dir;
    host::Workbook wb(nullptr, "plain.xlsx");
    wb.InsertSheet(-1, "Sheet1", "Sheet1").SetValueAt(1, 1, host::Variant(1.0));
    host::xlsx::SaveWorkbook(wb, dir.File("plain.xlsx"));
    const auto xml = writer_inspect::ReadEntry(dir.File("plain.xlsx"), "xl/worksheets/sheet1.xml");
    ASSERT_TRUE(xml);
    EXPECT_NE(xml->find("<pageSetup paperSize=\"9\" scale=\"100\" orientation=\"portrait\"/>"), std::string::npos) << *xml;
    EXPECT_EQ(xml->find("Breaks"), std::string::npos);
    EXPECT_EQ(xml->find("printOptions"), std::string::npos);
    auto back = host::xlsx::LoadWorkbook(nullptr, dir.File("plain.xlsx"));
    EXPECT_EQ(back->Sheet(1).PageSetup().FirstPageNumber, host::xlAutomatic);
    EXPECT_EQ(back->Sheet(1).PageSetup().Order, host::xlDownThenOver);
}

}  // namespace
