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
