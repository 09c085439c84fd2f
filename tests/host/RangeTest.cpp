#include <gtest/gtest.h>

#include "host/Application.h"
#include "host/HostError.h"
#include "host/Range.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"

using namespace host;

namespace {
class RangeTest : public ::testing::Test {
protected:
    Application app;
    Workbook& wb = app.Workbooks().Add();
    Worksheet& ws = wb.Sheet(1);

    // Fills the cells named in `cells` ("A1,A2,A5") with 1.
    void Fill(const char* cells) {
        for (const Rect& r : ParseAreas(cells)) ws.GetRange(r).SetValue(1);
    }
};
}  // namespace

TEST_F(RangeTest, AddressesInA1AndR1C1) {
    struct { const char* a1; bool rowAbs, colAbs; const char* address; const char* r1c1; } cases[] = {
        {"B3", true, true, "$B$3", "R3C2"},
        {"B3", false, false, "B3", "R3C2"},
        {"B3:D7", false, true, "$B3:$D7", "R3C2:R7C4"},
        {"A1,C3:D4", false, false, "A1,C3:D4", "R1C1,R3C3:R4C4"},
        {"2:5", true, true, "$2:$5", "R2:R5"},
        {"7:7", false, false, "7:7", "R7"},
        {"A:G", true, true, "$A:$G", "C1:C7"},
        {"XFD1048576", true, true, "$XFD$1048576", "R1048576C16384"},
    };
    for (const auto& c : cases) {
        Range r = ws.GetRange(c.a1);
        EXPECT_EQ(r.Address(c.rowAbs, c.colAbs), c.address) << c.a1;
        EXPECT_EQ(r.AddressR1C1(), c.r1c1) << c.a1;
    }
}

TEST_F(RangeTest, SubRangesAreRelativeToTheFirstArea) {
    Range r = ws.GetRange("C3:E6,H1");
    EXPECT_EQ(r.Cells(1, 1).Address(), "$C$3");
    EXPECT_EQ(r.Cells(2, 3).Address(), "$E$4");
    EXPECT_EQ(r.Cells(10, 1).Address(), "$C$12");  // beyond the area, still relative to it
    EXPECT_EQ(r.Cells(0, 0).Address(), "$B$2");
    EXPECT_EQ(r.Rows(2).Address(), "$C$4:$E$4");
    EXPECT_EQ(r.Columns(3).Address(), "$E$3:$E$6");
    EXPECT_EQ(r.RowsCount(), 4);
    EXPECT_EQ(r.ColumnsCount(), 3);
    EXPECT_EQ(r.Count(), 13);
    EXPECT_EQ(r.GetRange("B2:C2").Address(), "$D$4:$E$4");
    EXPECT_EQ(r.GetRange("A:A").Address(), "$C:$C");
    EXPECT_EQ(r.GetRange("2:2").Address(), "$4:$4");
    EXPECT_EQ(r.Resize(1, 2).Address(), "$C$3:$D$3");
    EXPECT_EQ(r.Offset(1, -1).Address(), "$B$4:$D$7,$G$2");
    EXPECT_EQ(r.EntireRow().Address(), "$3:$6,$1:$1");
    EXPECT_EQ(r.EntireColumn().Address(), "$C:$E,$H:$H");
}

TEST_F(RangeTest, LeavingTheSheetIsAHostError) {
    Range a1 = ws.GetRange("A1");
    EXPECT_THROW(a1.Offset(-1, 0), HostError);
    EXPECT_THROW(a1.Offset(0, -1), HostError);
    EXPECT_THROW(ws.GetRange("A1048576").Offset(1, 0), HostError);
    EXPECT_THROW(ws.GetRange("XFD1").Offset(0, 1), HostError);
    EXPECT_THROW(a1.Cells(0, 1), HostError);
    EXPECT_THROW(a1.Cells(1, kMaxColumns + 1), HostError);
    EXPECT_THROW(a1.Resize(0, 1), HostError);
    EXPECT_THROW(ws.GetRange("B1048575").Resize(3, 1), HostError);
    EXPECT_THROW(Range().Value(), HostError);
    EXPECT_EQ(ws.GetRange("A1048576").Offset(0, 0).Address(), "$A$1048576");
}

TEST_F(RangeTest, EndMovesAsCtrlArrow) {
    // Column B: rows 2–4 filled, 5–6 empty, 7 filled, then empty to the edge.
    // Row 10: columns C–E filled, G filled.
    Fill("B2:B4,B7,C10:E10,G10");
    struct { const char* from; XlDirection d; const char* to; } cases[] = {
        {"B2", xlDown, "$B$4"},           // start and next filled: last of the block
        {"B4", xlDown, "$B$7"},           // next empty: next filled cell
        {"B1", xlDown, "$B$2"},           // start empty, next filled
        {"B7", xlDown, "$B$1048576"},     // nothing below: the sheet's edge
        {"B5", xlDown, "$B$7"},
        {"B7", xlUp, "$B$4"},
        {"B3", xlUp, "$B$2"},
        {"B2", xlUp, "$B$1"},             // next empty up to the edge: row 1
        {"B1", xlUp, "$B$1"},
        {"A1048576", xlUp, "$A$1"},       // empty column from the last row
        {"B1048576", xlUp, "$B$7"},
        {"C10", xlToRight, "$E$10"},
        {"E10", xlToRight, "$G$10"},
        {"G10", xlToRight, "$XFD$10"},
        {"A10", xlToRight, "$C$10"},
        {"G10", xlToLeft, "$E$10"},
        {"C10", xlToLeft, "$A$10"},
        {"XFD5", xlToLeft, "$A$5"},       // empty row from the last column
        {"A5", xlToLeft, "$A$5"},
        {"A20", xlDown, "$A$1048576"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ws.GetRange(c.from).End(c.d).Address(), c.to) << c.from << " " << c.d;
}

TEST_F(RangeTest, EndCountsFormulasAsFilled) {
    ws.GetRange("D2").SetFormula("=1+1");
    ws.GetRange("D3").SetValue(Variant(""));  // empty text is a value too
    EXPECT_EQ(ws.GetRange("D1").End(xlDown).Address(), "$D$2");
    EXPECT_EQ(ws.GetRange("D2").End(xlDown).Address(), "$D$3");
}

TEST_F(RangeTest, ValuesReadTheFirstAreaAsA1BasedArray) {
    ws.GetRange("B2").SetValue(1);
    ws.GetRange("C3").SetValue("x");
    ws.GetRange("D2").SetValue(Variant::Boolean(true));
    Array2D a = ws.GetRange("B2:D3,A1").Values();
    ASSERT_EQ(a.Rows(), 2);
    ASSERT_EQ(a.Columns(), 3);
    EXPECT_EQ(a(1, 1), Variant(1));
    EXPECT_TRUE(a(1, 2).IsEmpty());
    EXPECT_EQ(a(1, 3), Variant::Boolean(true));
    EXPECT_EQ(a(2, 2), Variant("x"));
    EXPECT_EQ(ws.GetRange("B2:D3").Value(), Variant(1));
    EXPECT_EQ(ws.GetRange("C3").Text(), "x");
    EXPECT_EQ(ws.GetRange("B2").Text(), "1");
}

TEST_F(RangeTest, WholeColumnValuesKeepTheHostShape) {
    ws.GetRange("C5").SetValue(7);
    Array2D col = ws.GetRange("C:C").Values();
    ASSERT_EQ(col.Rows(), kMaxRows);
    ASSERT_EQ(col.Columns(), 1);
    EXPECT_EQ(col(5, 1), Variant(7));
    EXPECT_TRUE(col(kMaxRows, 1).IsEmpty());
    EXPECT_THROW(ws.Cells().Values(), HostError);
    EXPECT_THROW(ws.GetRange("A:Z").Values(), HostError);  // 27 million cells
}

TEST_F(RangeTest, SetValueWritesEveryCellOfEveryArea) {
    ws.GetRange("A1:B2,D4").SetValue("k");
    for (const char* a : {"A1", "A2", "B1", "B2", "D4"}) EXPECT_EQ(ws.GetRange(a).Value(), Variant("k")) << a;
    EXPECT_TRUE(ws.GetRange("C3").Value().IsEmpty());
    // A Variant's text is never read as a number.
    ws.GetRange("E1").SetValue("007");
    EXPECT_EQ(ws.GetRange("E1").Value(), Variant("007"));
}

TEST_F(RangeTest, SettingEmptyClearsValuesButKeepsFormats) {
    ws.GetRange("A1:A3").SetValue(5);
    ws.GetRange("A2").Font().SetBold(true);
    ws.GetRange("A1:A3").SetValue(Variant());
    EXPECT_TRUE(ws.GetRange("A2").Value().IsEmpty());
    EXPECT_TRUE(ws.GetRange("A2").Font().Bold());
    EXPECT_EQ(ws.FindCell(1, 1), nullptr);  // nothing left to store
    ASSERT_NE(ws.FindCell(2, 1), nullptr);
}

TEST_F(RangeTest, SetValuesFillsFromTheTopLeftAndMarksExtraCells) {
    Array2D a(2, 2);
    a(1, 1) = 1; a(1, 2) = "b"; a(2, 1) = 3.5; a(2, 2) = Variant();
    ws.GetRange("B2:D4").SetValues(a);
    EXPECT_EQ(ws.GetRange("B2").Value(), Variant(1));
    EXPECT_EQ(ws.GetRange("C2").Value(), Variant("b"));
    EXPECT_EQ(ws.GetRange("B3").Value(), Variant(3.5));
    EXPECT_TRUE(ws.GetRange("C3").Value().IsEmpty());
    const Variant na = Variant::Error(CellError::NA);
    for (const char* cell : {"D2", "D3", "B4", "C4", "D4"}) EXPECT_EQ(ws.GetRange(cell).Value(), na) << cell;

    // A range smaller than the array takes only its part.
    ws.GetRange("F1").SetValues(a);
    EXPECT_EQ(ws.GetRange("F1").Value(), Variant(1));
    EXPECT_TRUE(ws.GetRange("G1").Value().IsEmpty());

    Array2D one(1, 1);
    one(1, 1) = "z";
    ws.GetRange("H1:I3").SetValues(one);
    EXPECT_EQ(ws.GetRange("I3").Value(), Variant("z"));
}

TEST_F(RangeTest, ValuesRoundTripThroughABlockWrite) {
    Array2D a(300, 4);
    for (int r = 1; r <= 300; ++r)
        for (int c = 1; c <= 4; ++c) a(r, c) = (r + c) % 3 ? Variant(r * 10 + c) : Variant();
    ws.GetRange("C5").SetValue("kept");  // inside the block, overwritten
    ws.GetRange("B1").SetValue("left");  // beside the block, untouched
    ws.GetRange("C1:F300").SetValues(a);
    Array2D back = ws.GetRange("C1:F300").Values();
    for (int r = 1; r <= 300; ++r)
        for (int c = 1; c <= 4; ++c) ASSERT_EQ(back(r, c), a(r, c)) << r << "," << c;
    EXPECT_EQ(ws.GetRange("B1").Value(), Variant("left"));
    // Row storage stays sorted by column after block writes.
    for (const auto& row : ws.RowsData())
        for (size_t i = 1; i < row.cells.size(); ++i) ASSERT_LT(row.cells[i - 1].col, row.cells[i].col);
}

TEST_F(RangeTest, FormulaTextAndTypedInput) {
    ws.GetRange("A1").SetFormula("=SUM(B1:B3)");
    EXPECT_TRUE(ws.GetRange("A1").HasFormula());
    EXPECT_EQ(ws.GetRange("A1").Formula(), "=SUM(B1:B3)");
    ASSERT_NE(ws.FindCell(1, 1), nullptr);
    EXPECT_EQ(*ws.FindCell(1, 1)->formula, "SUM(B1:B3)");
    EXPECT_TRUE(ws.FindCell(1, 1)->value.IsEmpty());

    struct { const char* typed; Variant value; const char* formula; } cases[] = {
        {"12", Variant(12), "12"},        {"1,234.5", Variant(1234.5), "1234.5"},
        {"50%", Variant(0.5), "0.5"},     {"abc", Variant("abc"), "abc"},
        {"'007", Variant("007"), "007"},  {"true", Variant::Boolean(true), "TRUE"},
        {"#N/A", Variant::Error(CellError::NA), "#N/A"},
    };
    for (const auto& c : cases) {
        ws.GetRange("C1").SetFormula(c.typed);
        EXPECT_EQ(ws.GetRange("C1").Value(), c.value) << c.typed;
        EXPECT_EQ(ws.GetRange("C1").Formula(), c.formula) << c.typed;
        EXPECT_FALSE(ws.GetRange("C1").HasFormula());
    }
    ws.GetRange("C1").SetFormula("");
    EXPECT_TRUE(ws.GetRange("C1").Value().IsEmpty());
    EXPECT_EQ(ws.GetRange("Z9").Formula(), "");
}

TEST_F(RangeTest, TextFormattedCellsKeepTypedText) {
    ws.GetRange("A1:A2").SetNumberFormat("@");
    ws.GetRange("A1:A2").SetFormula("0012");
    EXPECT_EQ(ws.GetRange("A2").Value(), Variant("0012"));
    ws.GetRange("A1").SetFormula("=B1");
    EXPECT_FALSE(ws.GetRange("A1").HasFormula());
    EXPECT_EQ(ws.GetRange("A1").Value(), Variant("=B1"));
}

TEST_F(RangeTest, FormulaOverARangeMovesRelativeReferences) {
    ws.GetRange("B2:C3").SetFormula("=A1+$A$1");
    EXPECT_EQ(ws.GetRange("B2").Formula(), "=A1+$A$1");
    EXPECT_EQ(ws.GetRange("C3").Formula(), "=B2+$A$1");
    EXPECT_TRUE(ws.GetRange("B2:C3").HasFormula());
    ws.GetRange("C3").SetValue(1);
    EXPECT_FALSE(ws.GetRange("B2:C3").HasFormula());
}

TEST_F(RangeTest, FormulaR1C1IsRelativeToEachCell) {
    ws.GetRange("B2:B4").SetFormulaR1C1("=R[-1]C*2");
    EXPECT_EQ(ws.GetRange("B2").Formula(), "=B1*2");
    EXPECT_EQ(ws.GetRange("B4").Formula(), "=B3*2");
    EXPECT_EQ(ws.GetRange("B3").FormulaR1C1(), "=R[-1]C*2");
    ws.GetRange("D1").SetFormulaR1C1("42");
    EXPECT_EQ(ws.GetRange("D1").Value(), Variant(42));
    EXPECT_EQ(ws.GetRange("D1").FormulaR1C1(), "42");
}

TEST_F(RangeTest, ClearAndClearContents) {
    ws.GetRange("A1:B2").SetValue(3);
    ws.GetRange("A1:B2").Interior().SetColorIndex(6);
    ws.GetRange("A1").ClearContents();
    EXPECT_TRUE(ws.GetRange("A1").Value().IsEmpty());
    EXPECT_EQ(ws.GetRange("A1").Interior().ColorIndex(), 6);
    ws.GetRange("B1:B2").ClearFormats();
    EXPECT_EQ(ws.GetRange("B2").Value(), Variant(3));
    EXPECT_EQ(ws.GetRange("B2").Interior().ColorIndex(), xlColorIndexNone);
    ws.GetRange("A2:B2").Clear();
    EXPECT_TRUE(ws.GetRange("A2").Value().IsEmpty());
    EXPECT_EQ(ws.GetRange("A2").Interior().ColorIndex(), xlColorIndexNone);
    EXPECT_EQ(ws.UsedRange().Address(), "$A$1:$B$1");  // A1 keeps its fill, B1 its value

    ws.GetRange("C1:D900").SetValue(2);
    ws.GetRange("D:D").ClearContents();
    EXPECT_EQ(ws.GetRange("C900").Value(), Variant(2));
    EXPECT_TRUE(ws.GetRange("D900").Value().IsEmpty());
    EXPECT_EQ(ws.UsedRange().Address(), "$A$1:$C$900");
}

TEST_F(RangeTest, HandleStaysValidWhileSheetsComeAndGo) {
    Range r = ws.GetRange("B2");
    r.SetValue("before");
    for (int i = 0; i < 20; ++i) wb.Worksheets().Add();
    while (wb.SheetCount() > 1) {
        Worksheet& other = &wb.Sheet(1) == &ws ? wb.Sheet(2) : wb.Sheet(1);
        other.Delete();
    }
    EXPECT_EQ(r.Value(), Variant("before"));
    r.SetValue("after");
    EXPECT_EQ(ws.ValueAt(2, 2), Variant("after"));
    EXPECT_EQ(&r.Sheet(), &ws);
}

TEST(RangeClearContents, RefusesPartOfAMergedAreaButClearsAWholeOne) {
    host::Application app;
    host::Worksheet& ws = app.Workbooks().Add().Sheet(1);
    ws.GetRange("B2").SetValue(host::Variant("合并"));
    ws.GetRange("B2:C3").Merge();
    EXPECT_THROW(ws.GetRange("C3:D4").ClearContents(), host::HostError);
    EXPECT_THROW(ws.GetRange("B2").ClearContents(), host::HostError);
    EXPECT_EQ(ws.GetRange("B2").Value(), host::Variant("合并"));
    ws.GetRange("A1:D4").ClearContents();
    EXPECT_TRUE(ws.GetRange("B2").Value().IsEmpty());
    EXPECT_TRUE(ws.GetRange("B2").MergeCells());  // contents go, the merge stays
}
