#include <gtest/gtest.h>

#include "host/Application.h"
#include "host/HostError.h"
#include "host/Range.h"
#include "host/Workbook.h"

using namespace host;

namespace {

Variant T(const std::string& s) { return Variant(s); }

struct DeleteFixture : ::testing::Test {
    Application app;
    Workbook& wb = app.Workbooks().Add();
    Worksheet& ws = wb.Sheet(1);

    // Each cell of rows × cols holds its own address ("B3").
    void FillGrid(int32_t rows, int32_t cols) {
        for (int32_t r = 1; r <= rows; ++r)
            for (int32_t c = 1; c <= cols; ++c) ws.SetValueAt(r, c, T(CellAddress(r, c)));
    }
    // The grid as text, one line per row, cells separated by spaces, "." for empty.
    std::string Grid(int32_t rows, int32_t cols) {
        std::string s;
        for (int32_t r = 1; r <= rows; ++r) {
            for (int32_t c = 1; c <= cols; ++c) {
                const Variant& v = ws.ValueAt(r, c);
                s += v.IsEmpty() ? "." : ToText(v);
                s += c < cols ? " " : "\n";
            }
        }
        return s;
    }
    void SetFormula(Worksheet& sheet, int32_t r, int32_t c, const std::string& f) {
        sheet.GetCell(r, c).formula = std::make_unique<std::string>(f);
    }
    std::string FormulaAt(Worksheet& sheet, int32_t r, int32_t c) {
        const Cell* cell = sheet.FindCell(r, c);
        return cell && cell->formula ? *cell->formula : "";
    }
};

using Delete = DeleteFixture;

TEST_F(Delete, ShiftsCellsInTheChosenDirection) {
    struct Case {
        const char* name;
        const char* area;
        std::optional<XlDeleteShiftDirection> shift;
        const char* grid;
    } cases[] = {
        {"cells up", "B2:B3", xlShiftUp, "A1 B1 C1\nA2 B4 C2\nA3 . C3\nA4 . C4\n"},
        {"cells left", "A2:B2", xlShiftToLeft, "A1 B1 C1\nC2 . .\nA3 B3 C3\nA4 B4 C4\n"},
        {"wide range goes up", "A2:C2", std::nullopt, "A1 B1 C1\nA3 B3 C3\nA4 B4 C4\n. . .\n"},
        {"tall range goes left", "A2:A3", std::nullopt, "A1 B1 C1\nB2 C2 .\nB3 C3 .\nA4 B4 C4\n"},
        {"square range goes left", "A1:B2", std::nullopt, "C1 . .\nC2 . .\nA3 B3 C3\nA4 B4 C4\n"},
        {"whole rows ignore the shift", "2:3", xlShiftToLeft, "A1 B1 C1\nA4 B4 C4\n. . .\n. . .\n"},
        {"whole columns", "A:B", std::nullopt, "C1 . .\nC2 . .\nC3 . .\nC4 . .\n"},
        {"union of cells, overlapping areas merged", "B1:B2,B2:B3", xlShiftUp, "A1 B4 C1\nA2 . C2\nA3 . C3\nA4 . C4\n"},
        {"union of rows", "1:1,3:3", std::nullopt, "A2 B2 C2\nA4 B4 C4\n. . .\n. . .\n"},
        {"union of columns", "A:A,C:C", std::nullopt, "B1 . .\nB2 . .\nB3 . .\nB4 . .\n"},
    };
    for (const auto& c : cases) {
        ws.RowsData().clear();
        FillGrid(4, 3);
        ws.GetRange(c.area).Delete(c.shift);
        EXPECT_EQ(Grid(4, 3), c.grid) << c.name;
    }
}

TEST_F(Delete, WholeRowsCarryHeightsAndHiddenFlags) {
    FillGrid(6, 1);
    ws.GetRow(5).info.height = 30;
    ws.GetRow(5).info.customHeight = true;
    ws.GetRow(6).info.hidden = true;
    ws.GetRange("2:3").Delete();
    EXPECT_EQ(ws.ValueAt(3, 1), T("A5"));
    EXPECT_EQ(ws.RowHeightPoints(3), 30);
    EXPECT_TRUE(ws.FindRow(4)->info.hidden);
    EXPECT_EQ(ws.RowHeightPoints(5), ws.StandardHeight());
}

TEST_F(Delete, WholeColumnsCarryWidths) {
    FillGrid(1, 4);
    ws.SetColumnWidthChars(4, 20);
    ws.GetRange("B:B").Delete();
    EXPECT_EQ(ws.ValueAt(1, 3), T("D1"));
    EXPECT_DOUBLE_EQ(ws.ColumnWidthChars(3), 20);
    EXPECT_DOUBLE_EQ(ws.ColumnWidthChars(4), ws.DefaultColumnWidth());
}

TEST_F(Delete, MergedAreasMoveShrinkOrDisappear) {
    FillGrid(12, 3);
    ws.MergedAreas() = {Rect{3, 1, 4, 2},   // wholly inside rows 3–4: disappears
                        Rect{2, 3, 6, 3},   // spans them: shrinks to C2:C4
                        Rect{8, 1, 9, 3},   // below: moves up
                        Rect{1, 1, 1, 2}};  // above: stays
    ws.GetRange("3:4").Delete();
    std::vector<Rect> expected = {Rect{2, 3, 4, 3}, Rect{6, 1, 7, 3}, Rect{1, 1, 1, 2}};
    EXPECT_EQ(ws.MergedAreas(), expected);
}

TEST_F(Delete, RefusesToCutAMergedAreaAtTheBandEdge) {
    FillGrid(5, 3);
    ws.MergedAreas() = {Rect{4, 2, 4, 3}};  // B4:C4
    std::string before = Grid(5, 3);
    EXPECT_THROW(ws.GetRange("B2:B3").Delete(xlShiftUp), HostError);
    EXPECT_EQ(Grid(5, 3), before);
    // A merge above the deleted cells is not in the way.
    ws.GetRange("B5:B5").Delete(xlShiftUp);
    EXPECT_EQ(ws.ValueAt(5, 2), Variant());
}

TEST_F(Delete, PicturesBelowMoveAndThoseInsideGo) {
    auto pic = [](int32_t fromRow, int32_t toRow, int64_t toOffset) {
        Picture p;
        p.from = {1, fromRow, 0, 0};
        p.to = {3, toRow, 0, toOffset};
        return p;
    };
    ws.Pictures() = {pic(10, 14, 0), pic(3, 4, 5000), pic(1, 2, 0), pic(4, 8, 100)};
    ws.Pictures()[0].name = "below";
    ws.Pictures()[1].name = "inside";
    ws.Pictures()[2].name = "above";
    ws.Pictures()[3].name = "spanning";
    ws.GetRange("3:5").Delete();
    ASSERT_EQ(ws.Pictures().size(), 3u);
    EXPECT_EQ(ws.Pictures()[0].name, "below");
    EXPECT_EQ(ws.Pictures()[0].from.row, 7);
    EXPECT_EQ(ws.Pictures()[0].to.row, 11);
    EXPECT_EQ(ws.Pictures()[1].name, "above");
    EXPECT_EQ(ws.Pictures()[1].from.row, 1);
    EXPECT_EQ(ws.Pictures()[2].name, "spanning");
    EXPECT_EQ(ws.Pictures()[2].from.row, 3);
    EXPECT_EQ(ws.Pictures()[2].from.rowOffset, 0);
    EXPECT_EQ(ws.Pictures()[2].to.row, 5);
}

TEST_F(Delete, RewritesFormulasOnEverySheetAndPrintSettings) {
    ws.SetName("名单");
    Worksheet& other = wb.Worksheets().Add();
    FillGrid(10, 2);
    SetFormula(ws, 10, 2, "SUM(A1:A9)");
    SetFormula(other, 1, 1, "名单!A7+A7+'名单'!B3");
    SetFormula(other, 2, 1, "SUM(名单!A:A)");
    ws.PageSetup().PrintArea = "$A$1:$B$10";
    ws.PageSetup().PrintTitleRows = "$3:$4";
    ws.GetRange("3:4").Delete();
    EXPECT_EQ(FormulaAt(ws, 8, 2), "SUM(A1:A7)");
    EXPECT_EQ(FormulaAt(other, 1, 1), "名单!A5+A7+'名单'!#REF!");
    EXPECT_EQ(FormulaAt(other, 2, 1), "SUM(名单!A:A)");
    EXPECT_EQ(ws.PageSetup().PrintArea, "$A$1:$B$8");
    EXPECT_EQ(ws.PageSetup().PrintTitleRows, "");  // its rows are gone
}

TEST_F(Delete, ManyScatteredRowsAsOneUnion) {
    const int32_t n = 3000;
    for (int32_t r = 1; r <= n; ++r) ws.SetValueAt(r, 1, Variant(r));
    SetFormula(ws, n, 2, "A" + std::to_string(n - 1));
    std::vector<Rect> areas;
    for (int32_t r = 3; r <= n; r += 3) areas.push_back(Rect{r, 1, r, kMaxColumns});  // rows 3, 6, 9 …
    Range(&ws, std::move(areas)).Delete();
    int32_t kept = n - n / 3;
    int32_t expectRow = 1;
    for (int32_t v = 1; v <= n; ++v) {
        if (v % 3 == 0) continue;
        ASSERT_EQ(ws.ValueAt(expectRow, 1), Variant(v)) << "row " << expectRow;
        ++expectRow;
    }
    EXPECT_EQ(ws.ValueAt(kept + 1, 1), Variant());
    // Row 3000 went with its formula; 2999 is now the last row.
    EXPECT_EQ(ws.ValueAt(kept, 1), Variant(n - 1));
}

}  // namespace
