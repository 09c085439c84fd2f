#include <gtest/gtest.h>

#include "host/Application.h"
#include "host/HostError.h"
#include "host/Range.h"
#include "host/Workbook.h"

using namespace host;

namespace {

Variant T(const char* s) { return Variant(s); }

CellFormat Bold() {
    CellFormat f;
    f.font.bold = true;
    return f;
}

struct CopyFixture : ::testing::Test {
    Application app;
    Workbook& wb = app.Workbooks().Add();
    Worksheet& ws = wb.Sheet(1);
    uint32_t bold = wb.Styles().Intern(Bold());

    void SetFormula(Worksheet& sheet, int32_t r, int32_t c, const std::string& f, Variant cached) {
        Cell& cell = sheet.GetCell(r, c);
        cell.formula = std::make_unique<std::string>(f);
        cell.value = std::move(cached);
    }
    std::string FormulaAt(const Worksheet& sheet, int32_t r, int32_t c) {
        const Cell* cell = sheet.FindCell(r, c);
        return cell && cell->formula ? *cell->formula : "";
    }
};

using Copy = CopyFixture;

TEST_F(Copy, CarriesValuesFormulasFormatsAndMerges) {
    ws.SetValueAt(1, 1, 1);
    ws.SetValueAt(1, 2, T("名"));
    SetFormula(ws, 2, 1, "A1*2+$A$1", 3);
    ws.SetStyleAt(2, 2, bold);
    ws.MergedAreas() = {Rect{1, 2, 2, 2}};
    // The destination has old contents and a merge that the paste replaces.
    ws.SetValueAt(11, 5, T("old"));
    ws.MergedAreas().push_back(Rect{10, 5, 10, 6});

    ws.GetRange("A1:B2").Copy(ws.GetRange("D10"));
    EXPECT_EQ(ws.ValueAt(10, 4), Variant(1));
    EXPECT_EQ(ws.ValueAt(10, 5), T("名"));
    EXPECT_EQ(FormulaAt(ws, 11, 4), "D10*2+$A$1");
    EXPECT_EQ(ws.ValueAt(11, 4), Variant(3));
    EXPECT_EQ(ws.StyleAt(11, 5), bold);
    EXPECT_EQ(ws.ValueAt(11, 5), Variant());  // blank in the source, so blank here
    EXPECT_EQ(ws.MergedAreas(), (std::vector<Rect>{Rect{1, 2, 2, 2}, Rect{10, 5, 11, 5}}));
    EXPECT_EQ(ws.ValueAt(1, 1), Variant(1));  // the source is untouched
}

TEST_F(Copy, OverlappingSourceAndDestination) {
    for (int32_t r = 1; r <= 4; ++r) ws.SetValueAt(r, 1, Variant(r));
    ws.GetRange("A1:A4").Copy(ws.GetRange("A2"));
    std::vector<Variant> col;
    for (int32_t r = 1; r <= 5; ++r) col.push_back(ws.ValueAt(r, 1));
    EXPECT_EQ(col, (std::vector<Variant>{1, 1, 2, 3, 4}));
}

TEST_F(Copy, WholeRowsCarryHeightsFormatsAndHiddenFlags) {
    ws.SetValueAt(2, 3, T("x"));
    RowInfo& info = ws.GetRow(2).info;
    info.height = 40;
    info.customHeight = true;
    info.style = bold;
    ws.GetRow(3).info.hidden = true;
    ws.GetRow(8).info.height = 12;  // the destination's own height gives way

    ws.GetRange("2:3").Copy(ws.GetRange("A7"));
    EXPECT_EQ(ws.ValueAt(7, 3), T("x"));
    EXPECT_EQ(ws.RowHeightPoints(7), 40);
    EXPECT_EQ(ws.FindRow(7)->info.style, bold);
    EXPECT_TRUE(ws.FindRow(8)->info.hidden);
    EXPECT_EQ(ws.FindRow(8)->info.height, 0);
    EXPECT_THROW(ws.GetRange("2:3").Copy(ws.GetRange("B7")), HostError);
}

TEST_F(Copy, WholeColumnsCarryWidths) {
    ws.SetColumnWidthChars(2, 25);
    ws.SetValueAt(5, 2, T("y"));
    ws.GetRange("B:B").Copy(ws.GetRange("E1"));
    EXPECT_DOUBLE_EQ(ws.ColumnWidthChars(5), 25);
    EXPECT_EQ(ws.ValueAt(5, 5), T("y"));
}

TEST_F(Copy, AcrossWorkbooksFormatsAreInternedInTheTarget) {
    Workbook& other = app.Workbooks().Add();
    Worksheet& to = other.Sheet(1);
    CellFormat red;
    red.font.color = Color::FromColorIndex(3);
    other.Styles().Intern(red);  // the target's table differs from the source's
    ws.SetValueAt(1, 1, T("粗"));
    ws.SetStyleAt(1, 1, bold);
    ws.GetRange("A1").Copy(to.GetRange("B2"));
    EXPECT_EQ(to.ValueAt(2, 2), T("粗"));
    EXPECT_EQ(other.Styles().Get(to.StyleAt(2, 2)), Bold());
}

TEST_F(Copy, PasteSpecialFromTheClipboard) {
    EXPECT_THROW(ws.GetRange("A1").PasteSpecial(xlPasteAll), HostError);
    SetFormula(ws, 1, 1, "B1+1", 6);
    ws.SetStyleAt(1, 1, bold);
    ws.SetColumnWidthChars(1, 30);
    ws.GetRange("A1").Copy();

    Worksheet& other = wb.Worksheets().Add();
    other.SetValueAt(3, 3, T("keep format"));
    uint32_t italic = wb.Styles().Intern([] { CellFormat f; f.font.italic = true; return f; }());
    other.SetStyleAt(3, 3, italic);
    other.GetRange("C3").PasteSpecial(xlPasteValues);
    EXPECT_EQ(other.ValueAt(3, 3), Variant(6));
    EXPECT_EQ(FormulaAt(other, 3, 3), "");
    EXPECT_EQ(other.StyleAt(3, 3), italic);

    other.GetRange("C3").PasteSpecial(xlPasteFormats);
    EXPECT_EQ(other.StyleAt(3, 3), bold);
    EXPECT_EQ(other.ValueAt(3, 3), Variant(6));

    other.GetRange("C3").PasteSpecial(xlPasteColumnWidths);
    EXPECT_DOUBLE_EQ(other.ColumnWidthChars(3), 30);

    other.GetRange("D4").PasteSpecial();
    EXPECT_EQ(FormulaAt(other, 4, 4), "E4+1");
}

}  // namespace

namespace {

// The host's tiling of a paste onto a larger destination.
TEST_F(Copy, ExactMultiplesTileAndOtherDestinationsGetOneCopy) {
    ws.SetValueAt(1, 1, Variant(1));
    SetFormula(ws, 1, 2, "A1*10", 10);
    ws.SetStyleAt(2, 1, bold);
    ws.MergedAreas() = {Rect{2, 1, 2, 2}};

    // 2 × 2 onto 4 × 4: four copies, each formula anchored in its own copy.
    ws.GetRange("A1:B2").Copy(ws.GetRange("D1:G4"));
    for (int32_t top : {1, 3})
        for (int32_t left : {4, 6}) {
            EXPECT_EQ(ws.ValueAt(top, left), Variant(1));
            EXPECT_EQ(FormulaAt(ws, top, left + 1), ColumnLetters(left) + std::to_string(top) + "*10");
            EXPECT_EQ(ws.StyleAt(top + 1, left), bold);
            EXPECT_NE(ws.MergeAreaAt(top + 1, left + 1), nullptr);
        }
    EXPECT_EQ(ws.MergedAreas().size(), 5u);

    // 3 × 3 is no multiple of 2 × 2: one copy of the source's size, nothing beyond it.
    ws.GetRange("A1:B2").Copy(ws.GetRange("J1:L3"));
    EXPECT_EQ(ws.ValueAt(1, 10), Variant(1));
    EXPECT_EQ(FormulaAt(ws, 1, 11), "J1*10");
    EXPECT_EQ(ws.ValueAt(1, 12), Variant());
    EXPECT_EQ(ws.FindCell(3, 10), nullptr);

    // A multiple one way only is no tiling either; a smaller destination takes the whole source.
    ws.GetRange("A1:B2").Copy(ws.GetRange("A10:B14"));
    EXPECT_EQ(ws.ValueAt(10, 1), Variant(1));
    EXPECT_EQ(ws.ValueAt(12, 1), Variant());
    ws.GetRange("A1:B2").Copy(ws.GetRange("A20:A20"));
    EXPECT_EQ(FormulaAt(ws, 20, 2), "A20*10");
    ws.GetRange("A1:B2").Copy(ws.GetRange("M1:M4"));  // 4 rows × 1 column: not a multiple across
    EXPECT_EQ(ws.ValueAt(3, 13), Variant());
    EXPECT_EQ(FormulaAt(ws, 1, 14), "M1*10");
}

TEST_F(Copy, PasteSpecialTilesValuesAndColumnWidths) {
    ws.SetValueAt(1, 1, T("甲"));
    ws.SetValueAt(1, 2, T("乙"));
    ws.SetColumnWidthChars(1, 5);
    ws.SetColumnWidthChars(2, 12);
    ws.GetRange("A1:B1").Copy();
    ws.GetRange("D5:G6").PasteSpecial(xlPasteAll);
    EXPECT_EQ(ws.ValueAt(5, 4), T("甲"));
    EXPECT_EQ(ws.ValueAt(6, 7), T("乙"));
    ws.GetRange("D5:G6").PasteSpecial(xlPasteColumnWidths);
    // Destination column k takes the source column k mod 2.
    EXPECT_DOUBLE_EQ(ws.ColumnWidthChars(4), 5);
    EXPECT_DOUBLE_EQ(ws.ColumnWidthChars(5), 12);
    EXPECT_DOUBLE_EQ(ws.ColumnWidthChars(6), 5);
    EXPECT_DOUBLE_EQ(ws.ColumnWidthChars(7), 12);
    EXPECT_DOUBLE_EQ(ws.GetRange("D1:G1").Width(), 2 * (ws.ColumnWidthPoints(1) + ws.ColumnWidthPoints(2)));
    ws.GetRange("H1:I1").PasteSpecial(xlPasteValues);
    EXPECT_EQ(ws.ValueAt(1, 9), T("乙"));
    EXPECT_THROW(ws.Cells().PasteSpecial(xlPasteValues), HostError);  // billions of copies
}

// Whole rows tile down a destination of whole rows that is a multiple of them.
TEST_F(Copy, WholeRowsTileWithTheirHeightsAndMerges) {
    ws.SetValueAt(3, 1, T("考场"));
    ws.MergedAreas() = {Rect{3, 1, 3, 4}};
    ws.GetRange("3:3").SetRowHeight(30);
    ws.GetRange("4:4").SetRowHeight(12);
    ws.GetRange("3:4").Copy(ws.GetRange("10:15"));
    for (int32_t r : {10, 12, 14}) {
        EXPECT_EQ(ws.ValueAt(r, 1), T("考场"));
        EXPECT_EQ(ws.RowHeightPoints(r), 30);
        EXPECT_EQ(ws.RowHeightPoints(r + 1), 12);
        ASSERT_NE(ws.MergeAreaAt(r, 2), nullptr);
        EXPECT_EQ(*ws.MergeAreaAt(r, 2), (Rect{r, 1, r, 4}));
    }
    EXPECT_EQ(ws.GetRange("A10").Top(), 9 * 13.5 + 30 + 12 - 2 * 13.5);
}


// Rows("3:5").Copy Destination:=Rows(10): one copy of the three rows, with
// formulas shifted, formats, borders, merged areas and row heights.
TEST_F(Copy, WholeRowsOntoOneRowCarryEverything) {
    ws.SetValueAt(3, 1, T("座位号"));
    SetFormula(ws, 4, 2, "A4&B3", T("x"));
    ws.GetRange("A3:D3").Merge();
    ws.GetRange("A4:D5").BorderAround(xlThin);
    ws.GetRange("4:4").SetRowHeight(28.5);
    ws.SetStyleAt(5, 3, bold);
    ws.GetRange("3:5").Copy(ws.Rows(10));
    EXPECT_EQ(ws.ValueAt(10, 1), T("座位号"));
    EXPECT_EQ(FormulaAt(ws, 11, 2), "A11&B10");
    ASSERT_NE(ws.MergeAreaAt(10, 3), nullptr);
    EXPECT_EQ(*ws.MergeAreaAt(10, 3), (Rect{10, 1, 10, 4}));
    EXPECT_EQ(wb.Styles().Get(ws.StyleAt(11, 1)).border.left.style, "thin");
    EXPECT_EQ(wb.Styles().Get(ws.StyleAt(12, 4)).border.bottom.style, "thin");
    EXPECT_TRUE(wb.Styles().Get(ws.StyleAt(12, 3)).font.bold);  // bold with the bottom border drawn over it
    EXPECT_EQ(ws.RowHeightPoints(11), 28.5);
    EXPECT_EQ(ws.RowHeightPoints(12), ws.StandardHeight());
    EXPECT_EQ(ws.GetRange("A12").Top() - ws.GetRange("A11").Top(), 28.5);
    EXPECT_EQ(ws.ValueAt(13, 1), Variant());  // one copy, not a tiling of row 10 onwards
}

}  // namespace
