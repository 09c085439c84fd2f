// Frozen panes: read into the model, written from it, and a change of the
// split dropping what the file said about the old panes.
#include <gtest/gtest.h>

#include "host/Application.h"
#include "host/Workbook.h"
#include "host/xlsx/Package.h"
#include "support/TestSupport.h"
#include "xlsx/ReaderPackageBuilder.h"
#include "xlsx/WriterZipInspect.h"

using reader_test::Load;
using reader_test::PackageBuilder;
using testing_support::TempDir;

namespace {

std::string SheetPart(const host::Workbook& wb, const TempDir& dir) {
    const std::string file = dir.File("panes.xlsx");
    host::xlsx::SaveWorkbook(wb, file);
    return writer_inspect::ReadEntry(file, "xl/worksheets/sheet1.xml").value_or("");
}

}  // namespace

TEST(FrozenPanes, ReadWrittenAndChanged) {
    auto wb = Load(PackageBuilder()
                       .Sheet("A", "<sheetViews><sheetView workbookViewId=\"0\"><pane xSplit=\"1\" ySplit=\"2\" "
                                   "topLeftCell=\"B3\" activePane=\"bottomRight\" state=\"frozen\"/>"
                                   "<selection pane=\"topRight\" activeCell=\"B1\" sqref=\"B1\"/>"
                                   "<selection pane=\"bottomRight\" activeCell=\"C7\" sqref=\"C7\"/></sheetView></sheetViews>")
                       .Bytes());
    host::Worksheet& ws = wb->Sheet(1);
    EXPECT_EQ(ws.FrozenRows(), 2);
    EXPECT_EQ(ws.FrozenColumns(), 1);
    EXPECT_EQ(ws.ActiveCell(), (host::CellRef{7, 3}));
    TempDir dir;
    std::string out = SheetPart(*wb, dir);
    // Written once, from the model, before the other pane's selection.
    EXPECT_NE(out.find("<pane xSplit=\"1\" ySplit=\"2\" topLeftCell=\"B3\" activePane=\"bottomRight\" state=\"frozen\"/>"
                       "<selection pane=\"topRight\""),
              std::string::npos)
        << out;
    EXPECT_EQ(out.find("<pane"), out.rfind("<pane"));
    EXPECT_NE(out.find("<selection pane=\"bottomRight\" activeCell=\"C7\""), std::string::npos) << out;

    // Frozen rows only: the old panes' selections go; the model's selection names the new pane.
    ws.FreezePanes(1, 0);
    out = SheetPart(*wb, dir);
    EXPECT_NE(out.find("<pane ySplit=\"1\" topLeftCell=\"A2\" activePane=\"bottomLeft\" state=\"frozen\"/>"
                       "<selection pane=\"bottomLeft\" activeCell=\"C7\""),
              std::string::npos)
        << out;
    EXPECT_EQ(out.find("topRight"), std::string::npos) << out;
    auto again = Load(testing_support::ReadFile(dir.File("panes.xlsx")));
    EXPECT_EQ(again->Sheet(1).FrozenRows(), 1);
    EXPECT_EQ(again->Sheet(1).FrozenColumns(), 0);

    ws.FreezePanes(0, 0);
    out = SheetPart(*wb, dir);
    EXPECT_EQ(out.find("<pane"), std::string::npos) << out;
    EXPECT_EQ(out.find("pane="), std::string::npos) << out;
}

TEST(FrozenPanes, ASplitThatIsNotFrozenIsKeptAsItWas) {
    auto wb = Load(PackageBuilder()
                       .Sheet("A", "<sheetViews><sheetView workbookViewId=\"0\"><pane ySplit=\"2400\" topLeftCell=\"A9\" "
                                   "activePane=\"bottomLeft\" state=\"split\"/></sheetView></sheetViews>")
                       .Bytes());
    EXPECT_EQ(wb->Sheet(1).FrozenRows(), 0);
    TempDir dir;
    EXPECT_NE(SheetPart(*wb, dir).find("<pane ySplit=\"2400\" topLeftCell=\"A9\""), std::string::npos);
}
