// Recalculation through the formula engine: typed and written formulas, the
// results the host expects (errors, text, booleans, other sheets), formulas
// the engine cannot compute, and keeping the engine's model in step.
#include <gtest/gtest.h>

#include "host/Application.h"
#include "host/Range.h"
#include "host/Recalc.h"
#include "host/Workbook.h"
#include "host/xlsx/Package.h"
#include "support/TestSupport.h"

using host::CellError;
using host::Variant;

namespace {

class RecalcTest : public ::testing::Test {
protected:
    host::Application app;
    host::Workbook& wb = app.Workbooks().Add();
    host::Worksheet& ws = wb.Sheet(1);

    Variant At(const char* a1) { return ws.GetRange(a1).Value(); }
    void Type(const char* a1, const std::string& text) {
        auto c = host::ParseCellRef(a1);
        ws.UserEdit(c->row, c->col, text);
    }
    const host::Recalc::Run& LastRun() { return wb.Recalculation().LastRun(); }
    const std::vector<std::string>& Kept() { return wb.Recalculation().Kept(); }
};

TEST_F(RecalcTest, ATypedFormulaIsAFormulaWithItsResult) {
    Type("A1", "=2+3");
    EXPECT_EQ(ws.GetRange("A1").Formula(), "=2+3");
    EXPECT_EQ(At("A1"), Variant(5.0));

    Type("B1", "4");
    Type("C1", "6.5");
    Type("D1", "=SUM(A1:C1)");
    EXPECT_EQ(At("D1"), Variant(15.5));
    Type("B1", "10");  // a precedent changes: the sum follows at once
    EXPECT_EQ(At("D1"), Variant(21.5));
    Type("A1", "=2*3");  // a formula that others use changes
    EXPECT_EQ(At("D1"), Variant(22.5));
    Type("C1", "");
    EXPECT_EQ(At("D1"), Variant(16.0));
    Type("A1", "7");  // a formula becomes a value
    EXPECT_EQ(At("D1"), Variant(17.0));
    EXPECT_TRUE(Kept().empty());
}

TEST_F(RecalcTest, OneEditRecomputesOnlyWhatDependsOnIt) {
    for (int r = 1; r <= 200; ++r) {
        ws.Cells(r, 1).SetValue(Variant(r));
        ws.Cells(r, 2).SetFormula("=A" + std::to_string(r) + "*2");
    }
    ws.GetRange("C1").SetFormula("=SUM(B1:B200)");
    wb.Calculate();
    EXPECT_TRUE(LastRun().rebuilt);
    EXPECT_EQ(At("C1"), Variant(40200.0));

    Type("A100", "0");
    EXPECT_FALSE(LastRun().rebuilt);
    EXPECT_LE(LastRun().pushedCells, 2);  // the edited row: A100 and B100
    EXPECT_EQ(LastRun().computed, 2);     // B100 and C1
    EXPECT_EQ(At("B100"), Variant(0.0));
    EXPECT_EQ(At("C1"), Variant(40000.0));

    wb.Calculate();  // nothing changed: nothing to do
    EXPECT_EQ(LastRun().computed, 0);
}

TEST_F(RecalcTest, FormulasReplacedManyTimesInALargeModel) {
    // Thousands of formulas replaced by formulas and by values in one model,
    // as a long editing session does; dependants stay right throughout.
    const int rows = 1000;
    for (int r = 1; r <= rows; ++r) {
        ws.GetCell(r, 1).value = Variant(r);
        ws.GetCell(r, 2).formula = std::make_unique<std::string>("A" + std::to_string(r) + "*2");
    }
    ws.GetCell(1, 3).formula = std::make_unique<std::string>("SUM(B1:B1000)");
    ws.MarkChanged();
    wb.Calculate();
    double total = double(rows) * (rows + 1);
    EXPECT_EQ(At("C1"), Variant(total));
    for (int i = 0; i < 2500; ++i) {
        const int r = 1 + (i * 7) % rows;
        const double before = ws.ValueAt(r, 2).Number();
        double now;
        switch (i % 3) {
            case 0: ws.UserEdit(r, 2, "=A" + std::to_string(r) + "*3"); now = 3.0 * r; break;
            case 1: ws.UserEdit(r, 2, "5"); now = 5; break;
            default: ws.UserEdit(r, 2, "=A" + std::to_string(r) + "+A" + std::to_string(r)); now = 2.0 * r; break;
        }
        total += now - before;
        ASSERT_EQ(ws.ValueAt(r, 2), Variant(now)) << i;
    }
    EXPECT_EQ(At("C1"), Variant(total));
    EXPECT_FALSE(LastRun().rebuilt);
    // Row 1 went formula → value → formula …: its B1 reads A1 as its last form says.
    const std::string form = ws.GetRange("B1").Formula();
    const double b1 = form == "=A1*3" ? 3000 : form == "=A1+A1" ? 2000 : 5;
    total += b1 - ws.ValueAt(1, 2).Number();
    ws.UserEdit(1, 1, "1000");
    EXPECT_EQ(At("B1"), Variant(b1)) << form;
    EXPECT_EQ(At("C1"), Variant(total));
}

TEST_F(RecalcTest, WritesByRangeAndStorageChangesAreNoticed) {
    ws.GetRange("A1:A3").SetValue(Variant(1));
    ws.GetRange("B1").SetFormula("=SUM(A1:A3)");
    wb.Calculate();
    EXPECT_EQ(At("B1"), Variant(3.0));

    host::Array2D values(3, 1);
    values(1, 1) = Variant(10);
    values(2, 1) = Variant(20);
    values(3, 1) = Variant("text");
    ws.GetRange("A1:A3").SetValues(values);
    wb.Calculate();
    EXPECT_EQ(At("B1"), Variant(30.0));

    ws.GetRange("A1").ClearContents();
    wb.Calculate();
    EXPECT_EQ(At("B1"), Variant(20.0));

    // Code that writes the storage directly says so with MarkChanged.
    ws.GetCell(3, 1).value = Variant(5);
    ws.MarkChanged();
    wb.Calculate();
    EXPECT_FALSE(LastRun().rebuilt);
    EXPECT_EQ(At("B1"), Variant(25.0));

    // Formulas written over a range move their references, and are computed.
    ws.GetRange("C1:C3").SetFormula("=A1+1");
    wb.Calculate();
    EXPECT_EQ(At("C3"), Variant(6.0));
}

TEST_F(RecalcTest, ErrorsAsTheHostGivesThem) {
    Type("A1", "0");
    Type("B1", "=1/A1");
    EXPECT_EQ(At("B1"), Variant::Error(CellError::Div0));
    Type("C1", "=B1+1");  // an error passes on
    EXPECT_EQ(At("C1"), Variant::Error(CellError::Div0));
    Type("A1", "4");
    EXPECT_EQ(At("B1"), Variant(0.25));
    EXPECT_EQ(At("C1"), Variant(1.25));

    // Error values the engine has no name for still pass on as themselves.
    Type("A2", "#N/A");
    Type("B2", "=SUM(A1:A2)");
    Type("C2", "=B2*2");
    EXPECT_EQ(At("B2"), Variant::Error(CellError::NA));
    EXPECT_EQ(At("C2"), Variant::Error(CellError::NA));
    Type("A2", "1");
    EXPECT_EQ(At("C2"), Variant(10.0));

    Type("D1", "=#REF!+1");
    EXPECT_EQ(At("D1"), Variant::Error(CellError::Ref));
    Type("D2", "=NOSUCHNAME+1");
    EXPECT_EQ(At("D2"), Variant());  // a name the host does not know: not computed, kept as it was
    EXPECT_TRUE(Kept().size() == 1 && Kept()[0] == "=NOSUCHNAME+1") << testing::PrintToString(Kept());
}

TEST_F(RecalcTest, TextBooleansAndOtherSheets) {
    Type("A1", "3");
    Type("A2", "班");
    Type("B1", "=A1&A2");
    Type("B2", "=CONCATENATE(\"高\",A1,\"(\",A2,\")\")");
    Type("B3", "=IF(A1>2,\"多\",\"少\")");
    Type("B4", "=A1>2");
    Type("B5", "=A7");
    EXPECT_EQ(At("B1"), Variant("3班"));
    EXPECT_EQ(At("B2"), Variant("高3(班)"));
    EXPECT_EQ(At("B3"), Variant("多"));
    EXPECT_EQ(At("B4"), Variant::Boolean(true));
    EXPECT_EQ(At("B5"), Variant(0.0));  // an empty cell reads as 0

    host::Worksheet& other = wb.Worksheets().Add(&ws);
    other.SetName("高一\t设置");
    other.GetRange("C2").SetValue(Variant(40));
    Type("C1", "='高一\t设置'!C2/2");
    EXPECT_EQ(At("C1"), Variant(20.0));
    other.UserEdit(2, 3, "50");  // an edit on one sheet moves a formula on another
    EXPECT_EQ(At("C1"), Variant(25.0));
    EXPECT_FALSE(LastRun().rebuilt);
}

TEST_F(RecalcTest, WhatTheEngineCannotComputeKeepsItsCachedResultAndIsNamedOnce) {
    Type("A1", "12.345");
    ws.GetRange("B1").SetFormula("=TEXT(A1,\"0.0\")");
    ws.GetCell(1, 2).value = Variant("12.3");  // as a file brings it
    ws.GetRange("B2").SetFormula("=ROUND(A1,1)");
    ws.GetCell(2, 2).value = Variant(12.3);
    ws.GetRange("B3").SetFormula("=LEN(\"场号\")");  // the engine counts bytes: 6
    ws.GetCell(3, 2).value = Variant(2);
    ws.GetRange("B4").SetFormula("=ROUND(A1,0)+TEXT(1,\"0\")");
    ws.GetCell(4, 2).value = Variant(13);
    ws.GetRange("B5").SetFormula("=IF(A1>1,5)");  // an argument count the engine refuses
    ws.GetCell(5, 2).value = Variant(5);
    ws.GetRange("C2").SetFormula("=B2*10");  // computed from the kept result
    ws.GetRange("C3").SetFormula("=[1]Sheet1!A1");
    ws.GetCell(3, 3).value = Variant(7);
    ws.GetRange("C4").SetFormula("=A1*2");  // unaffected by the others
    wb.Calculate();

    EXPECT_EQ(At("B1"), Variant("12.3"));
    EXPECT_EQ(At("B2"), Variant(12.3));
    EXPECT_EQ(At("B3"), Variant(2));
    EXPECT_EQ(At("B4"), Variant(13));
    EXPECT_EQ(At("B5"), Variant(5));
    EXPECT_EQ(At("C2"), Variant(123.0));
    EXPECT_EQ(At("C3"), Variant(7));
    EXPECT_EQ(At("C4"), Variant(24.69));
    EXPECT_EQ(Kept(), (std::vector<std::string>{"TEXT", "ROUND", "LEN", "=[1]Sheet1!A1", "IF"}));

    std::string notice = app.Calculate();
    EXPECT_EQ(notice, "以下公式无法重新计算，单元格保留原有结果：TEXT、ROUND、LEN、=[1]Sheet1!A1、IF");
    ws.GetRange("A1").SetValue(Variant(1));
    EXPECT_EQ(app.Calculate(), notice);  // named once, however often calculated
    EXPECT_EQ(At("C4"), Variant(2.0));
}

TEST_F(RecalcTest, DeletingRowsRebuildsTheModel) {
    for (int r = 1; r <= 4; ++r) ws.Cells(r, 1).SetValue(Variant(r * 10));
    ws.GetRange("A5").SetFormula("=SUM(A1:A4)");
    ws.GetRange("B1").SetFormula("=A3*2");
    wb.Calculate();
    EXPECT_EQ(At("A5"), Variant(100.0));

    ws.GetRange("2:2").Delete();
    EXPECT_EQ(ws.GetRange("A4").Formula(), "=SUM(A1:A3)");
    EXPECT_EQ(ws.GetRange("B1").Formula(), "=A2*2");
    wb.Calculate();
    EXPECT_TRUE(LastRun().rebuilt);
    EXPECT_EQ(At("A4"), Variant(80.0));
    EXPECT_EQ(At("B1"), Variant(60.0));
    EXPECT_TRUE(ws.GetRange("A5").Value().IsEmpty());

    ws.GetRange("2:2").Delete();  // the row B1 refers to: #REF!
    wb.Calculate();
    EXPECT_EQ(ws.GetRange("B1").Formula(), "=#REF!*2");
    EXPECT_EQ(At("B1"), Variant::Error(CellError::Ref));
    EXPECT_EQ(At("A3"), Variant(50.0));

    // After the rebuild, edits are incremental again.
    Type("A1", "1");
    EXPECT_FALSE(LastRun().rebuilt);
    EXPECT_EQ(At("A3"), Variant(41.0));
}

TEST_F(RecalcTest, RenamedAndAddedSheetsAreSeen) {
    host::Worksheet& other = wb.Worksheets().Add(&ws);
    other.SetName("数据");
    other.GetRange("A1").SetValue(Variant(3));
    ws.GetRange("A1").SetFormula("=数据!A1+1");
    wb.Calculate();
    EXPECT_EQ(At("A1"), Variant(4.0));

    other.SetName("新数据");  // the formula still names the old sheet: it cannot be computed
    ws.GetRange("A2").SetFormula("=新数据!A1*2");
    wb.Calculate();
    EXPECT_TRUE(LastRun().rebuilt);
    EXPECT_EQ(At("A2"), Variant(6.0));
    EXPECT_EQ(At("A1"), Variant(4.0));

    host::Worksheet& third = wb.Worksheets().Add(&other);
    third.GetRange("B2").SetValue(Variant(8));
    ws.GetRange("A3").SetFormula("=" + third.Name() + "!B2");
    wb.Calculate();
    EXPECT_EQ(At("A3"), Variant(8.0));
}

TEST_F(RecalcTest, SavingWritesCurrentResults) {
    testing_support::TempDir dir;
    ws.GetRange("A1").SetValue(Variant(2));
    ws.GetRange("B1").SetFormula("=A1*21");  // no Calculate before the save
    wb.SaveAs(dir.File("r.xlsx"));
    auto back = host::xlsx::LoadWorkbook(&app, dir.File("r.xlsx"));
    EXPECT_EQ(back->Sheet(1).GetRange("B1").Value(), Variant(42.0));
    EXPECT_EQ(back->Sheet(1).GetRange("B1").Formula(), "=A1*21");
}

}  // namespace
