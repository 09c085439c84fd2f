#include <gtest/gtest.h>

#include <vector>

#include "host/Application.h"
#include "host/HostError.h"
#include "host/Range.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"

using namespace host;

namespace {
struct OpenedRecorder : HostObserver {
    std::vector<std::string> opened;
    void WorkbookOpened(Workbook& wb) override { opened.push_back(wb.Name()); }
};

std::vector<std::string> TabNames(Workbook& wb) {
    std::vector<std::string> names;
    for (const auto& ws : wb.Worksheets()) names.push_back(ws->Name());
    return names;
}
}  // namespace

TEST(Workbooks, AddNamesNewWorkbooksInOrder) {
    Application app;
    Workbook& first = app.Workbooks().Add();
    Workbook& second = app.Workbooks().Add();
    EXPECT_EQ(first.Name(), "工作簿1");
    EXPECT_EQ(second.Name(), "工作簿2");
    EXPECT_EQ(app.ActiveWorkbook(), &second);
    EXPECT_EQ(app.Workbooks().Count(), 2);
    EXPECT_EQ(&app.Workbooks().Item(1), &first);
    EXPECT_THROW(app.Workbooks().Item(3), HostError);
    EXPECT_EQ(TabNames(first), std::vector<std::string>{"Sheet1"});
    EXPECT_EQ(first.Sheet(1).CodeName(), "Sheet1");
    EXPECT_EQ(first.FullName(), "工作簿1");
    EXPECT_TRUE(first.Path().empty());
}

TEST(Workbooks, SheetsAddGoesBeforeTheActiveSheetAndActivates) {
    Application app;
    Workbook& wb = app.Workbooks().Add();
    Worksheet& added = wb.Worksheets().Add();
    EXPECT_EQ(TabNames(wb), (std::vector<std::string>{"Sheet2", "Sheet1"}));
    EXPECT_EQ(wb.ActiveSheet(), &added);
    wb.Worksheets().Add(&wb.Sheet(2));  // after the last
    EXPECT_EQ(TabNames(wb), (std::vector<std::string>{"Sheet2", "Sheet1", "Sheet3"}));
    EXPECT_EQ(wb.Worksheets().Item(3).Index(), 3);
    EXPECT_THROW(wb.Worksheets().Item(0), HostError);
    EXPECT_THROW(wb.Worksheets().Item("nope"), HostError);
    EXPECT_EQ(&wb.Worksheets().Item("sheet3"), &wb.Sheet(3));
}

TEST(Workbooks, CopyMakesANewActiveWorkbookWithTheSheet) {
    Application app;
    OpenedRecorder recorder;
    app.AddObserver(&recorder);
    Workbook& source = app.Workbooks().Add();
    Worksheet& ws = source.Sheet(1);
    ws.SetName("修订表");
    ws.SetCodeName("Sheet3");
    ws.GetRange("A1").SetValue("标题");
    ws.GetRange("A1:C1").Merge();
    ws.GetRange("B2").Interior().SetColorIndex(6);
    ws.GetRange("B2").Font().SetBold(true);
    ws.GetRange("B1").SetColumnWidth(15);
    source.Worksheets().Add();  // so that the copied sheet may be hidden
    ws.SetVisible(xlSheetHidden);

    Workbook& copy = ws.Copy();
    EXPECT_EQ(app.ActiveWorkbook(), &copy);
    EXPECT_EQ(copy.Name(), "工作簿2");
    EXPECT_FALSE(copy.Saved());
    EXPECT_EQ(recorder.opened, (std::vector<std::string>{"工作簿1", "工作簿2"}));
    ASSERT_EQ(copy.SheetCount(), 1);
    Worksheet& c = copy.Sheet(1);
    EXPECT_EQ(c.Name(), "修订表");
    EXPECT_EQ(c.CodeName(), "Sheet3");
    EXPECT_EQ(c.Visible(), xlSheetVisible);
    EXPECT_EQ(copy.ActiveSheet(), &c);
    EXPECT_EQ(c.GetRange("A1").Value(), Variant("标题"));
    EXPECT_EQ(c.GetRange("B1").MergeArea().Address(), "$A$1:$C$1");
    EXPECT_EQ(c.GetRange("B2").Interior().ColorIndex(), 6);
    EXPECT_TRUE(c.GetRange("B2").Font().Bold());
    EXPECT_DOUBLE_EQ(c.GetRange("B1").ColumnWidth(), 15);
    // The copy is independent of the original.
    c.GetRange("B2").Font().SetBold(false);
    EXPECT_TRUE(ws.GetRange("B2").Font().Bold());
    app.RemoveObserver(&recorder);
}

TEST(Workbooks, CopyIntoTheSameWorkbookRenamesAndRecodes) {
    Application app;
    Workbook& wb = app.Workbooks().Add();
    Worksheet& ws = wb.Sheet(1);
    ws.GetRange("A1").SetValue(1);
    Worksheet& again = ws.CopyTo(wb, &ws);
    EXPECT_EQ(TabNames(wb), (std::vector<std::string>{"Sheet1", "Sheet1 (2)"}));
    EXPECT_EQ(again.CodeName(), "Sheet2");
    EXPECT_EQ(again.GetRange("A1").Value(), Variant(1));
}

TEST(Workbooks, DeleteSheetsKeepsOneVisible) {
    Application app;
    Workbook& wb = app.Workbooks().Add();
    EXPECT_THROW(wb.Sheet(1).Delete(), HostError);
    Worksheet& second = wb.Worksheets().Add();
    Worksheet& third = wb.Worksheets().Add();
    third.SetVisible(xlSheetHidden);
    second.SetName("留下");
    wb.Sheet(3).Delete();  // Sheet1
    EXPECT_EQ(TabNames(wb), (std::vector<std::string>{"Sheet3", "留下"}));
    EXPECT_THROW(second.Delete(), HostError);  // the last visible sheet
    third.Delete();
    EXPECT_EQ(TabNames(wb), std::vector<std::string>{"留下"});
    EXPECT_EQ(wb.ActiveSheet(), &second);
}

TEST(Workbooks, DeletingTheActiveSheetActivatesAVisibleOne) {
    Application app;
    Workbook& wb = app.Workbooks().Add();
    Worksheet& s1 = wb.Sheet(1);
    Worksheet& s2 = wb.Worksheets().Add(&s1);
    Worksheet& s3 = wb.Worksheets().Add(&s2);
    s3.SetVisible(xlSheetHidden);
    s2.Activate();
    s2.Delete();
    EXPECT_EQ(wb.ActiveSheet(), &s1);
}

TEST(Workbooks, CloseRemovesTheWorkbookAndActivatesAnother) {
    Application app;
    Workbook& a = app.Workbooks().Add();
    Workbook& b = app.Workbooks().Add();
    b.Close(false);
    EXPECT_EQ(app.Workbooks().Count(), 1);
    EXPECT_EQ(app.ActiveWorkbook(), &a);
    EXPECT_EQ(app.Workbooks().Find("工作簿1"), &a);
    EXPECT_EQ(app.Workbooks().Find("工作簿2"), nullptr);
}
