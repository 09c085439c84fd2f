#include <gtest/gtest.h>

#include "host/Application.h"
#include "host/HostError.h"
#include "host/Range.h"
#include "host/Style.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "support/TestSupport.h"

using namespace host;

namespace {
class RangeFormatTest : public ::testing::Test {
protected:
    Application app;
    Workbook& wb = app.Workbooks().Add();
    Worksheet& ws = wb.Sheet(1);

    const CellFormat& FormatAt(const char* cell) {
        auto ref = *ParseCellRef(cell);
        return wb.Styles().Get(ws.StyleAt(ref.row, ref.col));
    }
    const Border& BorderAt(const char* cell) { return FormatAt(cell).border; }
};
}  // namespace

TEST_F(RangeFormatTest, ChangesKeepOtherPartsOfEachCellsFormat) {
    ws.GetRange("A1").Font().SetBold(true);
    ws.GetRange("A2").Interior().SetColorIndex(3);
    ws.GetRange("A1:A3").SetNumberFormat("0.00");
    EXPECT_TRUE(FormatAt("A1").font.bold);
    EXPECT_EQ(FormatAt("A2").fill.fg, Color::FromColorIndex(3));
    for (const char* c : {"A1", "A2", "A3"}) EXPECT_EQ(ws.GetRange(c).NumberFormat(), "0.00") << c;
    EXPECT_FALSE(FormatAt("A3").font.bold);
    EXPECT_EQ(ws.GetRange("B1").NumberFormat(), "General");
    // Equal formats are shared: default, bold, filled, and their three 0.00 forms.
    EXPECT_EQ(wb.Styles().Size(), 6u);
}

TEST_F(RangeFormatTest, WholeColumnsAndRowsChangeTheirOwnFormat) {
    ws.GetRange("B7").SetValue(1);
    ws.GetRange("B:B").SetNumberFormat("@");
    EXPECT_NE(ws.ColumnsData().at(1).style, 0u);
    EXPECT_EQ(ws.GetRange("B900000").NumberFormat(), "@");  // shown through the column
    EXPECT_EQ(ws.GetRange("B7").NumberFormat(), "@");       // the stored cell changed too
    EXPECT_LE(ws.RowsData().size(), 7u);                    // no cell was made per row

    ws.GetRange("4:4").Font().SetItalic(true);
    EXPECT_TRUE(ws.GetRange("XFD4").Font().Italic());
    // The row's format wins over the column's, so the crossing cell keeps both changes.
    EXPECT_EQ(ws.GetRange("B4").NumberFormat(), "@");
    EXPECT_TRUE(ws.GetRange("B4").Font().Italic());
    EXPECT_LT(ws.RowsData().at(3).cells.size(), 3u);

    // A column change later must not be hidden by the row format.
    ws.GetRange("B:B").Font().SetSize(20);
    EXPECT_EQ(ws.GetRange("B4").Font().Size(), 20);
    EXPECT_TRUE(ws.GetRange("B4").Font().Italic());
    EXPECT_EQ(ws.GetRange("C4").Font().Size(), 11);
}

TEST_F(RangeFormatTest, WholeSheetFormatReachesRowsWithTheirOwnFormat) {
    ws.GetRange("3:3").Font().SetBold(true);
    ws.Cells().Interior().SetColorIndex(4);
    EXPECT_EQ(ws.GetRange("A3").Interior().ColorIndex(), 4);
    EXPECT_TRUE(ws.GetRange("A3").Font().Bold());
    EXPECT_EQ(ws.GetRange("Q99").Interior().ColorIndex(), 4);
}

TEST_F(RangeFormatTest, LockedAndNumberFormat) {
    EXPECT_TRUE(ws.GetRange("A1").Locked());
    ws.GetRange("A1:B2").SetLocked(false);
    EXPECT_FALSE(ws.GetRange("B2").Locked());
    EXPECT_TRUE(ws.GetRange("C3").Locked());
    ws.GetRange("A1").SetNumberFormat("");
    EXPECT_EQ(ws.GetRange("A1").NumberFormat(), "General");
}

TEST_F(RangeFormatTest, FontMembers) {
    FontProxy f = ws.GetRange("A1:B1").Font();  // outlives the range it came from
    EXPECT_EQ(f.ColorIndex(), xlColorIndexAutomatic);
    f.SetName("黑体");
    f.SetSize(14);
    f.SetUnderline(true);
    f.SetColorIndex(5);
    const Font& font = FormatAt("B1").font;
    EXPECT_EQ(font.name, "黑体");
    EXPECT_EQ(font.size, 14);
    EXPECT_EQ(font.underline, "single");
    EXPECT_EQ(font.color.kind, Color::Kind::Indexed);
    EXPECT_EQ(font.color.value, 12u);  // ColorIndex 5 is the file's indexed colour 12
    EXPECT_EQ(f.ColorIndex(), 5);
    EXPECT_TRUE(f.Underline());
    EXPECT_THROW(f.SetColorIndex(57), HostError);
    EXPECT_THROW(f.SetSize(0), HostError);
}

TEST_F(RangeFormatTest, FontStyleNames) {
    Range r = ws.GetRange("A1");
    struct { const char* set; const char* get; bool bold, italic; } cases[] = {
        {"加粗", "加粗", true, false},      {"倾斜", "倾斜", false, true},
        {"加粗 倾斜", "加粗 倾斜", true, true}, {"常规", "常规", false, false},
        {"Bold Italic", "加粗 倾斜", true, true}, {"Regular", "常规", false, false},
        {"Italic", "倾斜", false, true},     {"Bold", "加粗", true, false},
    };
    for (const auto& c : cases) {
        r.Font().SetFontStyle(c.set);
        EXPECT_EQ(r.Font().FontStyle(), c.get) << c.set;
        EXPECT_EQ(r.Font().Bold(), c.bold) << c.set;
        EXPECT_EQ(r.Font().Italic(), c.italic) << c.set;
    }
    EXPECT_THROW(r.Font().SetFontStyle("粗体"), HostError);
}

TEST_F(RangeFormatTest, InteriorColours) {
    Range r = ws.GetRange("C3");
    EXPECT_EQ(r.Interior().ColorIndex(), xlColorIndexNone);
    EXPECT_EQ(r.Interior().Color(), 0xFFFFFFu);
    r.Interior().SetColorIndex(3);  // red
    EXPECT_EQ(FormatAt("C3").fill.pattern, "solid");
    EXPECT_EQ(r.Interior().Color(), 0x0000FFu);  // BGR
    r.Interior().SetColor(0xFF0000);             // blue as BGR
    EXPECT_EQ(FormatAt("C3").fill.fg.ToRgb(), 0x0000FFu);
    EXPECT_EQ(r.Interior().ColorIndex(), 5);
    r.Interior().SetColor(0x99CCFF);  // RGB FFCC99, palette entry 40
    EXPECT_EQ(r.Interior().ColorIndex(), 40);
    r.Interior().SetColorIndex(xlColorIndexNone);
    EXPECT_EQ(FormatAt("C3").fill, Fill{});
    EXPECT_THROW(r.Interior().SetColorIndex(99), HostError);
}

TEST_F(RangeFormatTest, LineStylesAndWeightsMapToFileStyles) {
    struct { int lineStyle, weight; const char* file; int readStyle, readWeight; } cases[] = {
        {xlContinuous, xlThin, "thin", xlContinuous, xlThin},
        {xlContinuous, xlMedium, "medium", xlContinuous, xlMedium},
        {xlContinuous, xlThick, "thick", xlContinuous, xlThick},
        {xlContinuous, xlHairline, "hair", xlContinuous, xlHairline},
        {xlDouble, xlThick, "double", xlDouble, xlThick},
        {xlDash, xlThin, "dashed", xlDash, xlThin},
        {xlDash, xlMedium, "mediumDashed", xlDash, xlMedium},
        {xlDot, xlThin, "dotted", xlDot, xlThin},
        {xlDashDot, xlMedium, "mediumDashDot", xlDashDot, xlMedium},
    };
    Range r = ws.GetRange("B2");
    for (const auto& c : cases) {
        BordersProxy top = r.Borders(xlEdgeTop);
        top.SetLineStyle(c.lineStyle);
        top.SetWeight(c.weight);
        EXPECT_EQ(BorderAt("B2").top.style, c.file) << c.file;
        EXPECT_EQ(top.LineStyle(), c.readStyle) << c.file;
        EXPECT_EQ(top.Weight(), c.readWeight) << c.file;
    }
    r.Borders(xlEdgeTop).SetLineStyle(xlLineStyleNone);
    EXPECT_TRUE(BorderAt("B2").top.IsNone());
    EXPECT_EQ(r.Borders(xlEdgeTop).LineStyle(), xlLineStyleNone);
    EXPECT_THROW(r.Borders(xlEdgeTop).SetLineStyle(99), HostError);
    EXPECT_THROW(r.Borders(xlEdgeTop).SetWeight(7), HostError);
}

TEST_F(RangeFormatTest, EdgesAndInsideLinesGoOnTheRightSides) {
    Range r = ws.GetRange("B2:D4");
    r.Borders(xlEdgeLeft).SetLineStyle(xlContinuous);
    r.Borders(xlInsideVertical).SetLineStyle(xlContinuous);
    r.Borders(xlInsideHorizontal).SetLineStyle(xlDot);
    // The left edge lives on column B only, not on column A's right side.
    EXPECT_EQ(BorderAt("B3").left.style, "thin");
    EXPECT_TRUE(BorderAt("A3").right.IsNone());
    // Inside verticals: facing sides of neighbours inside the range.
    EXPECT_EQ(BorderAt("B3").right.style, "thin");
    EXPECT_EQ(BorderAt("C3").left.style, "thin");
    EXPECT_TRUE(BorderAt("D3").right.IsNone());
    // Inside horizontals.
    EXPECT_EQ(BorderAt("C2").bottom.style, "dotted");
    EXPECT_EQ(BorderAt("C3").top.style, "dotted");
    EXPECT_TRUE(BorderAt("C2").top.IsNone());
    EXPECT_TRUE(BorderAt("C4").bottom.IsNone());
    // The neighbour outside shows the edge when read.
    EXPECT_EQ(ws.GetRange("A3").Borders(xlEdgeRight).LineStyle(), xlContinuous);
    EXPECT_EQ(ws.GetRange("A3").Borders(xlEdgeLeft).LineStyle(), xlLineStyleNone);
}

TEST_F(RangeFormatTest, AllBordersAndBorderAround) {
    ws.GetRange("A1:B2").Borders().SetLineStyle(xlContinuous);
    for (const char* c : {"A1", "A2", "B1", "B2"}) {
        const Border& b = BorderAt(c);
        EXPECT_EQ(b.left.style, "thin") << c;
        EXPECT_EQ(b.right.style, "thin") << c;
        EXPECT_EQ(b.top.style, "thin") << c;
        EXPECT_EQ(b.bottom.style, "thin") << c;
        EXPECT_FALSE(b.diagonalUp || b.diagonalDown) << c;
    }
    ws.GetRange("D1:F3").BorderAround(xlMedium, 3);
    EXPECT_EQ(BorderAt("D2").left.style, "medium");
    EXPECT_EQ(BorderAt("D2").left.color, Color::FromColorIndex(3));
    EXPECT_EQ(BorderAt("F3").right.style, "medium");
    EXPECT_EQ(BorderAt("E1").top.style, "medium");
    EXPECT_EQ(BorderAt("E3").bottom.style, "medium");
    EXPECT_TRUE(BorderAt("E2").left.IsNone());
    EXPECT_TRUE(BorderAt("E2").top.IsNone());
    EXPECT_EQ(ws.GetRange("D1:F3").Borders(xlEdgeBottom).ColorIndex(), 3);
}

// BorderAround changes the outer edges only: lines inside the range and the
// inner sides of its edge cells stay as they were; a single cell gets all four.
TEST_F(RangeFormatTest, BorderAroundKeepsTheLinesInside) {
    ws.GetRange("B2:D4").Borders().SetLineStyle(xlContinuous);  // thin everywhere
    ws.GetRange("B2:D4").BorderAround(xlThick, 5);
    EXPECT_EQ(BorderAt("B2").top.style, "thick");
    EXPECT_EQ(BorderAt("B2").left.style, "thick");
    EXPECT_EQ(BorderAt("B2").right.style, "thin");
    EXPECT_EQ(BorderAt("B2").bottom.style, "thin");
    EXPECT_EQ(BorderAt("C3").top.style, "thin");
    EXPECT_EQ(BorderAt("C3").left.style, "thin");
    EXPECT_EQ(BorderAt("D4").right.style, "thick");
    EXPECT_EQ(BorderAt("D4").bottom.style, "thick");
    EXPECT_EQ(BorderAt("D4").bottom.color, Color::FromColorIndex(5));
    EXPECT_EQ(BorderAt("C4").top.style, "thin");
    EXPECT_TRUE(BorderAt("E3").left.IsNone() && BorderAt("E3").right.IsNone());  // nothing outside the range

    ws.GetRange("G7").BorderAround(xlHairline, 3);
    const Border& one = BorderAt("G7");
    for (const BorderLine* l : {&one.left, &one.right, &one.top, &one.bottom}) EXPECT_EQ(l->style, "hair");
    EXPECT_FALSE(one.diagonalUp || one.diagonalDown);
}

TEST_F(RangeFormatTest, BorderColourDrawsAThinLine) {
    Range r = ws.GetRange("C5");
    EXPECT_EQ(r.Borders(xlEdgeBottom).ColorIndex(), xlColorIndexNone);
    r.Borders(xlEdgeBottom).SetColorIndex(10);
    EXPECT_EQ(BorderAt("C5").bottom.style, "thin");
    EXPECT_EQ(r.Borders(xlEdgeBottom).ColorIndex(), 10);
    r.Borders(xlEdgeBottom).SetWeight(xlThick);
    EXPECT_EQ(BorderAt("C5").bottom.color, Color::FromColorIndex(10));  // the weight keeps the colour
    r.Borders(xlDiagonalUp).SetLineStyle(xlContinuous);
    EXPECT_TRUE(BorderAt("C5").diagonalUp);
    EXPECT_FALSE(BorderAt("C5").diagonalDown);
}

TEST_F(RangeFormatTest, BordersOnWholeColumnsStayOnColumnFormats) {
    ws.GetRange("A:C").Borders().SetLineStyle(xlContinuous);
    EXPECT_EQ(ws.GetRange("B500000").Borders(xlEdgeLeft).LineStyle(), xlContinuous);
    EXPECT_EQ(ws.GetRange("B500000").Borders(xlEdgeTop).LineStyle(), xlContinuous);
    EXPECT_TRUE(ws.RowsData().empty());  // all on the column formats
    ws.GetRange("E:E").Borders(xlEdgeBottom).SetLineStyle(xlContinuous);
    EXPECT_EQ(BorderAt("E1048576").bottom.style, "thin");
    EXPECT_TRUE(BorderAt("E1048575").bottom.IsNone());
}

TEST_F(RangeFormatTest, AlignmentMembers) {
    Range r = ws.GetRange("A1:C1");
    EXPECT_EQ(r.HorizontalAlignment(), xlHAlignGeneral);
    EXPECT_EQ(r.VerticalAlignment(), xlVAlignBottom);
    struct { int h; const char* file; } hs[] = {{xlHAlignCenter, "center"}, {xlHAlignLeft, "left"},
        {xlHAlignRight, "right"}, {xlHAlignCenterAcrossSelection, "centerContinuous"},
        {xlHAlignDistributed, "distributed"}, {xlHAlignGeneral, ""}};
    for (const auto& c : hs) {
        r.SetHorizontalAlignment(c.h);
        EXPECT_EQ(FormatAt("C1").alignment.horizontal, c.file);
        EXPECT_EQ(r.HorizontalAlignment(), c.h);
    }
    r.SetVerticalAlignment(xlVAlignCenter);
    EXPECT_EQ(FormatAt("B1").alignment.vertical, "center");
    EXPECT_EQ(r.VerticalAlignment(), xlVAlignCenter);
    EXPECT_THROW(r.SetHorizontalAlignment(12345), HostError);

    r.SetWrapText(true);
    r.SetShrinkToFit(true);
    r.SetIndentLevel(2);
    EXPECT_TRUE(r.WrapText());
    EXPECT_TRUE(r.ShrinkToFit());
    EXPECT_EQ(FormatAt("C1").alignment.indent, 2);
    EXPECT_THROW(r.SetIndentLevel(-1), HostError);
}

TEST_F(RangeFormatTest, OrientationDegreesAndFileRotation) {
    struct { int set; int file; int get; } cases[] = {
        {45, 45, 45}, {90, 90, 90}, {-45, 135, -45}, {-90, 180, -90}, {0, 0, 0},
        {-4166, 255, -4166},  // xlVertical
        {-4128, 0, 0},        // xlHorizontal
        {-4171, 90, 90},      // xlUpward
    };
    Range r = ws.GetRange("D4");
    for (const auto& c : cases) {
        r.SetOrientation(c.set);
        EXPECT_EQ(FormatAt("D4").alignment.textRotation, c.file) << c.set;
        EXPECT_EQ(r.Orientation(), c.get) << c.set;
    }
    EXPECT_THROW(r.SetOrientation(91), HostError);
}

TEST_F(RangeFormatTest, MergeKeepsTheTopLeftValue) {
    ws.GetRange("A1").SetValue("keep");
    ws.GetRange("B2").SetValue("drop");
    ws.GetRange("B1").Font().SetBold(true);
    ws.GetRange("A1:B2,D1:D3").Merge();
    ASSERT_EQ(ws.MergedAreas().size(), 2u);
    EXPECT_EQ(ws.GetRange("A1").Value(), Variant("keep"));
    EXPECT_TRUE(ws.GetRange("B2").Value().IsEmpty());
    EXPECT_TRUE(ws.GetRange("B1").Font().Bold());  // formats stay
    EXPECT_TRUE(ws.GetRange("B2").MergeCells());
    EXPECT_EQ(ws.GetRange("B2").MergeArea().Address(), "$A$1:$B$2");
    EXPECT_EQ(ws.GetRange("D2").MergeArea().Address(), "$D$1:$D$3");
    EXPECT_FALSE(ws.GetRange("C1").MergeCells());
    EXPECT_EQ(ws.GetRange("C1").MergeArea().Address(), "$C$1");
}

TEST_F(RangeFormatTest, MergeOverMergedAreasAndUnMerge) {
    ws.GetRange("A1:B2").Merge();
    ws.GetRange("D1:E1").Merge();
    ws.GetRange("B2:C3").Merge();  // overlaps the first one, which is undone
    ASSERT_EQ(ws.MergedAreas().size(), 2u);
    EXPECT_EQ(ws.GetRange("A1").MergeArea().Address(), "$A$1");
    EXPECT_EQ(ws.GetRange("C3").MergeArea().Address(), "$B$2:$C$3");
    ws.GetRange("E1").UnMerge();  // any cell of the area
    ASSERT_EQ(ws.MergedAreas().size(), 1u);
    ws.GetRange("C2").SetMergeCells(false);
    EXPECT_TRUE(ws.MergedAreas().empty());
    ws.GetRange("F1").Merge();  // one cell: nothing to merge
    EXPECT_TRUE(ws.MergedAreas().empty());
    ws.GetRange("F1:F2").SetMergeCells(true);
    EXPECT_TRUE(ws.GetRange("F2").MergeCells());
}

TEST_F(RangeFormatTest, HiddenNeedsWholeRowsOrColumns) {
    ws.GetRange("B1").EntireColumn().SetHidden(true);
    EXPECT_TRUE(ws.GetRange("B:B").Hidden());
    EXPECT_FALSE(ws.GetRange("A:B").Hidden());
    EXPECT_EQ(ws.GetRange("B1").ColumnWidth(), 0);
    ws.GetRange("3:4").SetHidden(true);
    EXPECT_TRUE(ws.GetRange("3:4").Hidden());
    EXPECT_EQ(ws.GetRange("A3").RowHeight(), 0);
    ws.GetRange("4:4").SetHidden(false);
    EXPECT_FALSE(ws.GetRange("4:4").Hidden());
    EXPECT_TRUE(ws.GetRange("3:3").Hidden());
    EXPECT_THROW(ws.GetRange("A1:B2").SetHidden(true), HostError);
    EXPECT_THROW(ws.GetRange("A1").Hidden(), HostError);
}

TEST_F(RangeFormatTest, ColumnWidthsAndRowHeights) {
    Range c = ws.GetRange("C1:D1");
    EXPECT_DOUBLE_EQ(c.ColumnWidth(), ws.DefaultColumnWidth());
    c.SetColumnWidth(12);
    EXPECT_DOUBLE_EQ(ws.GetRange("D9").ColumnWidth(), 12);
    EXPECT_THROW(c.SetColumnWidth(256), HostError);

    ws.GetRange("A2:B3").SetRowHeight(30);
    EXPECT_DOUBLE_EQ(ws.GetRange("Z3").RowHeight(), 30);
    EXPECT_DOUBLE_EQ(ws.GetRange("A4").RowHeight(), ws.StandardHeight());
    ws.GetRange("A5").SetRowHeight(0);
    EXPECT_TRUE(ws.GetRange("5:5").Hidden());
    ws.GetRange("A5").SetRowHeight(20);
    EXPECT_FALSE(ws.GetRange("5:5").Hidden());
    EXPECT_THROW(ws.GetRange("A1").SetRowHeight(410), HostError);
    EXPECT_THROW(ws.GetRange("A1").SetRowHeight(-1), HostError);

    ws.GetRange("A:A").SetRowHeight(18);  // every row: the standard height
    EXPECT_DOUBLE_EQ(ws.StandardHeight(), 18);
    EXPECT_DOUBLE_EQ(ws.GetRange("A3").RowHeight(), 18);
    EXPECT_LE(ws.RowsData().size(), 5u);
}

TEST_F(RangeFormatTest, PositionsInPoints) {
    const double w = ws.ColumnWidthPoints(1), h = ws.StandardHeight();
    EXPECT_DOUBLE_EQ(ws.GetRange("A1").Left(), 0);
    EXPECT_DOUBLE_EQ(ws.GetRange("A1").Top(), 0);
    EXPECT_DOUBLE_EQ(ws.GetRange("D7").Left(), 3 * w);
    EXPECT_DOUBLE_EQ(ws.GetRange("D7").Top(), 6 * h);
    ws.GetRange("B1").SetColumnWidth(20);
    ws.GetRange("C1").EntireColumn().SetHidden(true);
    ws.GetRange("A3").SetRowHeight(40);
    const double wb20 = ws.ColumnWidthPoints(2);
    EXPECT_NE(wb20, w);
    EXPECT_DOUBLE_EQ(ws.GetRange("D7").Left(), w + wb20);
    EXPECT_DOUBLE_EQ(ws.GetRange("D7").Top(), 5 * h + 40);
    EXPECT_DOUBLE_EQ(ws.GetRange("A1:D2").Width(), 2 * w + wb20);
    EXPECT_DOUBLE_EQ(ws.GetRange("A2:A4").Height(), 2 * h + 40);
    // Far cells: the default columns and rows past the stored ones count too.
    EXPECT_DOUBLE_EQ(ws.GetRange("XFD1").Left(), 16381 * w + wb20);
    EXPECT_DOUBLE_EQ(ws.GetRange("A1048576").Top(), (kMaxRows - 2) * h + 40);
    EXPECT_DOUBLE_EQ(ws.GetRange("A:A").Height(), (kMaxRows - 1) * h + 40);
}

TEST_F(RangeFormatTest, ActivateAndSelect) {
    ws.GetRange("B2:D4").Select();
    EXPECT_EQ(ws.Selection(), "B2:D4");
    EXPECT_EQ(ws.ActiveCell(), (CellRef{2, 2}));
    ws.GetRange("C3").Activate();  // inside the selection: only the active cell moves
    EXPECT_EQ(ws.Selection(), "B2:D4");
    EXPECT_EQ(ws.ActiveCell(), (CellRef{3, 3}));
    ws.SetScrollArea("$A$1:$E$5");
    ws.GetRange("H9").Activate();  // outside the scroll area: allowed in code
    EXPECT_EQ(ws.Selection(), "H9");
    EXPECT_EQ(ws.ActiveCell(), (CellRef{9, 8}));
    ws.GetRange("A1,C1:C2").Select();
    EXPECT_EQ(ws.Selection(), "A1,C1:C2");
}

TEST_F(RangeFormatTest, FormatsSurviveSavingAndOpening) {
    ws.GetRange("A1:C3").Borders().SetLineStyle(xlContinuous);
    ws.GetRange("A1:C3").BorderAround(xlMedium, 5);
    ws.GetRange("B2").Interior().SetColorIndex(6);
    ws.GetRange("B2").Font().SetFontStyle("加粗 倾斜");
    ws.GetRange("B2").SetHorizontalAlignment(xlHAlignCenter);
    ws.GetRange("B2").SetOrientation(-45);
    ws.GetRange("E:E").SetNumberFormat("@");
    ws.GetRange("A1:B1").Merge();
    ws.GetRange("D1").SetColumnWidth(20);
    ws.GetRange("A4").SetRowHeight(33);
    ws.GetRange("6:6").SetHidden(true);
    ws.GetRange("A1").SetValue("标题");

    testing_support::TempDir dir;
    wb.SaveAs(dir.File("formats.xlsx"));
    Application other;
    Workbook* back = other.Workbooks().Open(dir.File("formats.xlsx"));
    ASSERT_NE(back, nullptr);
    Worksheet& s = back->Sheet(1);
    EXPECT_EQ(s.GetRange("A1").Value(), Variant("标题"));
    EXPECT_EQ(s.GetRange("A1").Borders(xlEdgeTop).Weight(), xlMedium);
    EXPECT_EQ(s.GetRange("A1").Borders(xlEdgeTop).ColorIndex(), 5);
    EXPECT_EQ(s.GetRange("B2").Borders(xlEdgeLeft).LineStyle(), xlContinuous);
    EXPECT_EQ(s.GetRange("B2").Borders(xlEdgeLeft).Weight(), xlThin);
    EXPECT_EQ(s.GetRange("B2").Interior().ColorIndex(), 6);
    EXPECT_EQ(s.GetRange("B2").Font().FontStyle(), "加粗 倾斜");
    EXPECT_EQ(s.GetRange("B2").HorizontalAlignment(), xlHAlignCenter);
    EXPECT_EQ(s.GetRange("B2").Orientation(), -45);
    EXPECT_EQ(s.GetRange("E77").NumberFormat(), "@");
    EXPECT_EQ(s.GetRange("B1").MergeArea().Address(), "$A$1:$B$1");
    EXPECT_DOUBLE_EQ(s.GetRange("D1").ColumnWidth(), 20);
    EXPECT_DOUBLE_EQ(s.GetRange("A4").RowHeight(), 33);
    EXPECT_TRUE(s.GetRange("6:6").Hidden());
}
