// Inserting whole rows and columns, inserting cells with a shift, and frozen panes.
#include <gtest/gtest.h>

#include "host/Application.h"
#include "host/HostError.h"
#include "host/Range.h"
#include "host/Style.h"
#include "host/Workbook.h"

using namespace host;

namespace {

struct InsertFixture : ::testing::Test {
    Application app;
    Workbook& wb = app.Workbooks().Add();
    Worksheet& ws = wb.Sheet(1);

    void FillGrid(int32_t rows, int32_t cols) {
        for (int32_t r = 1; r <= rows; ++r)
            for (int32_t c = 1; c <= cols; ++c) ws.SetValueAt(r, c, Variant(CellAddress(r, c)));
    }
    std::string Grid(int32_t rows, int32_t cols) {
        std::string s;
        for (int32_t r = 1; r <= rows; ++r)
            for (int32_t c = 1; c <= cols; ++c) {
                const Variant& v = ws.ValueAt(r, c);
                s += v.IsEmpty() ? "." : ToText(v);
                s += c < cols ? " " : "\n";
            }
        return s;
    }
    std::string FormulaAt(Worksheet& sheet, int32_t r, int32_t c) {
        const Cell* cell = sheet.FindCell(r, c);
        return cell && cell->formula ? *cell->formula : "";
    }
};

using Insert = InsertFixture;

TEST_F(Insert, WholeRowsAndColumnsMoveTheCellsOn) {
    FillGrid(3, 3);
    ws.GetRange("2:3").Insert();
    EXPECT_EQ(Grid(5, 3), "A1 B1 C1\n. . .\n. . .\nA2 B2 C2\nA3 B3 C3\n");
    ws.GetRange("B:B").Insert();
    EXPECT_EQ(Grid(5, 4), "A1 . B1 C1\n. . . .\n. . . .\nA2 . B2 C2\nA3 . B3 C3\n");
    // Before the first line too.
    ws.GetRange("A:A").EntireColumn().Insert();
    EXPECT_EQ(ws.ValueAt(1, 2).Text(), "A1");
    EXPECT_THROW(ws.GetRange("A:A,C:C").Insert(), HostError);
}

TEST_F(Insert, NewLinesTakeTheFormatsOfTheLineBefore) {
    FillGrid(2, 2);
    ws.GetRange("A1:B1").Font().SetBold(true);
    ws.GetRange("A1").Borders().SetLineStyle(xlContinuous);
    ws.GetRange("1:1").SetRowHeight(30);
    ws.GetRange("A:A").SetColumnWidth(20);
    ws.GetRange("2:3").Insert();
    EXPECT_TRUE(ws.GetRange("B2").Font().Bold());
    EXPECT_TRUE(ws.GetRange("A3").Font().Bold());
    EXPECT_EQ(ws.GetRange("A3").Borders(xlEdgeBottom).LineStyle(), xlContinuous);
    EXPECT_TRUE(ws.ValueAt(2, 1).IsEmpty());
    EXPECT_DOUBLE_EQ(ws.RowHeightPoints(3), 30);
    EXPECT_FALSE(ws.GetRange("B4").Font().Bold());  // the old row 2, not formatted
    ws.GetRange("B:B").Insert();
    EXPECT_NEAR(ws.ColumnWidthChars(2), 20, 0.01);
    EXPECT_TRUE(ws.GetRange("B1").Font().Bold());
    // Row and column positions follow the new sizes.
    EXPECT_DOUBLE_EQ(ws.GetRange("A4").Top(), 30 * 3);
}

TEST_F(Insert, FormulasNamesMergesAndPrintSettingsFollow) {
    FillGrid(4, 2);
    Worksheet& other = wb.Worksheets().Add();
    ws.GetCell(5, 1).formula = std::make_unique<std::string>("SUM(A1:A4)+$B$3+B1");
    other.GetCell(1, 1).formula = std::make_unique<std::string>("'" + ws.Name() + "'!A3&A3");
    wb.DefinedNames().push_back({"区域", -1, "'" + ws.Name() + "'!$A$2:$B$4", false});
    ws.GetRange("A3:B4").Merge();
    ws.PageSetup().PrintArea = "$A$1:$B$5";
    ws.PageSetup().PrintTitleRows = "$1:$1";
    ws.PageSetup().RowBreaks = {1, 3};
    ws.GetRange("3:4").Insert();
    EXPECT_EQ(FormulaAt(ws, 7, 1), "SUM(A1:A6)+$B$5+B1");
    EXPECT_EQ(FormulaAt(other, 1, 1), "'" + ws.Name() + "'!A5&A3");
    EXPECT_EQ(wb.DefinedNames().back().formula, "'" + ws.Name() + "'!$A$2:$B$6");
    ASSERT_EQ(ws.MergedAreas().size(), 1u);
    EXPECT_EQ(ws.MergedAreas()[0], (Rect{5, 1, 6, 2}));
    EXPECT_EQ(ws.PageSetup().PrintArea, "$A$1:$B$7");
    EXPECT_EQ(ws.PageSetup().PrintTitleRows, "$1:$1");
    EXPECT_EQ(ws.PageSetup().RowBreaks, (std::vector<int32_t>{1, 5}));
    // A merged area over the insertion grows.
    ws.GetRange("6:6").Insert();
    EXPECT_EQ(ws.MergedAreas()[0], (Rect{5, 1, 7, 2}));
    ws.GetCell(9, 1).formula = std::make_unique<std::string>("SUM(B:B)+SUM(A:A)");
    ws.GetRange("B:B").Insert();
    EXPECT_EQ(FormulaAt(ws, 8, 1), "SUM(A1:A7)+$C$5+C1");
    EXPECT_EQ(FormulaAt(ws, 9, 1), "SUM(C:C)+SUM(A:A)");
    EXPECT_EQ(ws.MergedAreas()[0], (Rect{5, 1, 7, 3}));
}

TEST_F(Insert, RefusesToPushDataOffTheSheet) {
    ws.SetValueAt(kMaxRows, 1, Variant(1.0));
    EXPECT_THROW(ws.GetRange("1:1").Insert(), HostError);
    EXPECT_EQ(ws.ValueAt(kMaxRows, 1).Number(), 1.0);
    ws.SetValueAt(1, kMaxColumns, Variant(2.0));
    EXPECT_THROW(ws.GetRange("A:A").Insert(), HostError);
    // A format alone at the edge does not hold anything back.
    Worksheet& s2 = wb.Worksheets().Add();
    s2.GetRange(Rect{1, kMaxColumns, 1, kMaxColumns}).Font().SetBold(true);
    s2.SetValueAt(1, 1, Variant(3.0));
    EXPECT_NO_THROW(s2.GetRange("A:A").Insert());
    EXPECT_EQ(s2.ValueAt(1, 2).Number(), 3.0);
    EXPECT_EQ(s2.RowsData()[0].cells.size(), 1u) << "the format pushed off the sheet goes";
}

TEST_F(Insert, PicturesMoveWithTheirRows) {
    Picture p;
    p.from = {2, 3, 0, 0};
    p.to = {4, 6, 0, 0};
    ws.Pictures().push_back(p);
    ws.GetRange("1:2").Insert();
    EXPECT_EQ(ws.Pictures()[0].from.row, 5);
    EXPECT_EQ(ws.Pictures()[0].to.row, 8);
    ws.GetRange("C:C").Insert();
    EXPECT_EQ(ws.Pictures()[0].from.col, 2);
    EXPECT_EQ(ws.Pictures()[0].to.col, 5);
}

TEST_F(Insert, CellsShiftDownOrRightInsideTheirBand) {
    FillGrid(3, 3);
    ws.GetRange("A1:C1").Font().SetBold(true);
    ws.GetRange("B2:C2").Insert(xlShiftDown);
    EXPECT_EQ(Grid(4, 3), "A1 B1 C1\nA2 . .\nA3 B2 C2\n. B3 C3\n");
    // The new cells take the formats above them; the cells that moved keep theirs.
    EXPECT_TRUE(ws.GetRange("B2").Font().Bold());
    EXPECT_FALSE(ws.GetRange("B3").Font().Bold());
    EXPECT_FALSE(ws.GetRange("A2").Font().Bold());
    ws.GetRange("A2:A3").Insert(xlShiftToRight);
    EXPECT_EQ(Grid(4, 4), "A1 B1 C1 .\n. A2 . .\n. A3 B2 C2\n. B3 C3 .\n");
    // Without a shift: down for a range wider than tall, else right.
    ws.GetRange("A1:B1").Insert();
    EXPECT_EQ(ws.ValueAt(2, 1).Text(), "A1");
    ws.GetRange("C1:C2").Insert();
    EXPECT_EQ(ws.ValueAt(1, 4).Text(), "C1");
}

TEST_F(Insert, ReferencesIntoTheBandFollowTheCells) {
    FillGrid(4, 3);
    Worksheet& other = wb.Worksheets().Add();
    ws.GetCell(6, 1).formula = std::make_unique<std::string>("B3+SUM(B1:B4)+SUM(A1:C4)+$B$2+B1");
    other.GetCell(1, 1).formula = std::make_unique<std::string>("'" + ws.Name() + "'!B4");
    wb.DefinedNames().push_back({"列", -1, "'" + ws.Name() + "'!$B$2:$B$4", false});
    ws.GetRange("B2").Insert(xlShiftDown);
    // B3 and $B$2 moved; B1:B4 reaches over the insertion and grows; A1:C4
    // reaches out of the band and stays; B1 is above the insertion.
    EXPECT_EQ(FormulaAt(ws, 6, 1), "B4+SUM(B1:B5)+SUM(A1:C4)+$B$3+B1");
    EXPECT_EQ(FormulaAt(other, 1, 1), "'" + ws.Name() + "'!B5");
    EXPECT_EQ(wb.DefinedNames().back().formula, "'" + ws.Name() + "'!$B$3:$B$5");
    ws.GetCell(1, 5).formula = std::make_unique<std::string>("B2&C2&A3");
    ws.GetRange("B2:B3").Insert(xlShiftToRight);
    EXPECT_EQ(FormulaAt(ws, 1, 5), "C2&D2&A3");
}

TEST_F(Insert, CellsRefuseToTearAMergedAreaAndChangeNothing) {
    FillGrid(5, 3);
    ws.GetRange("B4:C4").Merge();  // reaches out of a band of column B
    ws.GetCell(6, 1).formula = std::make_unique<std::string>("B3");
    const std::string before = Grid(6, 3);
    EXPECT_THROW(ws.GetRange("B2").Insert(xlShiftDown), HostError);
    EXPECT_EQ(Grid(6, 3), before);
    EXPECT_EQ(FormulaAt(ws, 6, 1), "B3");
    EXPECT_EQ(ws.MergedAreas()[0], (Rect{4, 2, 4, 3}));
    // Below the merged area, or with it wholly inside the band, the shift is fine.
    EXPECT_NO_THROW(ws.GetRange("B5").Insert(xlShiftDown));
    EXPECT_NO_THROW(ws.GetRange("B2:C2").Insert(xlShiftDown));
    EXPECT_EQ(ws.MergedAreas()[0], (Rect{5, 2, 5, 3}));
    // Nothing is pushed off the sheet.
    ws.SetValueAt(kMaxRows, 2, Variant(1.0));
    EXPECT_THROW(ws.GetRange("B1").Insert(xlShiftDown), HostError);
    EXPECT_NO_THROW(ws.GetRange("A1").Insert(xlShiftDown));
}

TEST_F(Insert, PicturesInsideTheBandMoveWithTheCells) {
    auto picture = [](int32_t col, int32_t row, int32_t toCol, int32_t toRow) {
        Picture p;
        p.from = {col, row, 0, 0};
        p.to = {toCol, toRow, 0, 0};
        return p;
    };
    // Columns B–C (ending at D's edge), and columns A–C.
    ws.Pictures() = {picture(2, 3, 4, 5), picture(1, 3, 4, 5)};
    ws.GetRange("B2:C2").Insert(xlShiftDown);
    EXPECT_EQ(ws.Pictures()[0].from.row, 4);
    EXPECT_EQ(ws.Pictures()[0].to.row, 6);
    EXPECT_EQ(ws.Pictures()[1].from.row, 3);
    // Deleting the cells takes it back up; the wider picture stays again.
    ws.GetRange("B2:C2").Delete(xlShiftUp);
    EXPECT_EQ(ws.Pictures()[0].from.row, 3);
    EXPECT_EQ(ws.Pictures()[1].from.row, 3);
}

TEST(FreezePanes, SplitsAndUnfreezes) {
    Application app;
    Workbook& wb = app.Workbooks().Add();
    Worksheet& ws = wb.Sheet(1);
    EXPECT_EQ(ws.FrozenRows(), 0);
    wb.SetSaved(true);
    ws.FreezePanes(2, 1);
    EXPECT_EQ(ws.FrozenRows(), 2);
    EXPECT_EQ(ws.FrozenColumns(), 1);
    EXPECT_EQ(ws.Kept().selectionPane, "bottomRight");
    EXPECT_FALSE(wb.Saved());
    ws.FreezePanes(1, 0);
    EXPECT_EQ(ws.Kept().selectionPane, "bottomLeft");
    Worksheet& copy = ws.CopyTo(wb, &ws);
    EXPECT_EQ(copy.FrozenRows(), 1);
    ws.FreezePanes(0, 0);
    EXPECT_EQ(ws.Kept().selectionPane, "");
    EXPECT_THROW(ws.FreezePanes(-1, 0), HostError);
}

}  // namespace
