// Formats carried from one workbook to another, by sheet copies and range copies.
#include <gtest/gtest.h>

#include "host/Application.h"
#include "host/Range.h"
#include "host/Style.h"
#include "host/Workbook.h"

using namespace host;

namespace {

CellFormat Rich() {
    CellFormat f;
    f.numberFormat = "0.00%";
    f.font.name = "黑体";
    f.font.bold = true;
    f.font.color = Color::FromColorIndex(3);
    f.fill.pattern = "solid";
    f.fill.fg = Color::FromRgb(0xFFFF99);
    f.border.top = BorderLine{"medium", Color::FromColorIndex(5)};
    f.border.bottom = BorderLine{"thin", {}};
    f.alignment.horizontal = "center";
    return f;
}

CellFormat Dated() {
    CellFormat f;
    f.numberFormat = "yyyy\"年\"m\"月\"d\"日\"";
    return f;
}

TEST(RemapStyles, InternsEachFormatOnceAndKeepsLineFormatsAbsent) {
    StyleTable from, to;
    uint32_t rich = from.Intern(Rich()), dated = from.Intern(Dated());
    uint32_t already = to.Intern(Dated());
    RemapStyles remap(from, to);
    uint32_t r1 = remap.Cell(rich);
    EXPECT_EQ(to.Get(r1), Rich());
    EXPECT_EQ(remap.Cell(rich), r1);
    EXPECT_EQ(remap.Cell(dated), already);  // the target's own copy, not a second one
    EXPECT_EQ(to.Size(), 3u);
    EXPECT_EQ(remap.Line(0), 0u);
    EXPECT_EQ(remap.Line(rich), r1);
    EXPECT_EQ(remap.Cell(0), 0u);  // same default format: the target's default
    EXPECT_EQ(remap.Cell(999), 0u);  // no such format: the default's look

    RemapStyles same(from, from);
    EXPECT_EQ(same.Cell(rich), rich);
    EXPECT_EQ(same.Cell(999), 999u);
}

// The target's default differs: a cell of the source's default format keeps
// its look, while a row or column without a format stays without one.
TEST(RemapStyles, DifferentDefaultsKeepTheLookOfCellsAndNothingOnLines) {
    CellFormat normal;
    normal.font.name = "Calibri";
    StyleTable from, to(normal);
    RemapStyles remap(from, to);
    uint32_t d = remap.Cell(0);
    EXPECT_NE(d, 0u);
    EXPECT_EQ(to.Get(d), from.Default());
    EXPECT_EQ(remap.Line(0), 0u);
}

struct TwoWorkbooks : ::testing::Test {
    Application app;
    Workbook& a = app.Workbooks().Add();
    Workbook& b = app.Workbooks().Add();
    Worksheet& ws = a.Sheet(1);
    uint32_t rich = a.Styles().Intern(Rich());
    uint32_t dated = a.Styles().Intern(Dated());

    void Fill() {
        ws.SetValueAt(1, 1, Variant(0.5));
        ws.SetStyleAt(1, 1, rich);
        ws.SetValueAt(1, 2, Variant(46000));
        ws.SetStyleAt(1, 2, dated);
        ws.SetValueAt(2, 1, Variant(0.25));
        ws.SetStyleAt(2, 1, rich);  // the same format again
        ws.SetValueAt(2, 2, Variant("plain"));
        ws.GetRange("4:4").SetRowHeight(20);  // a row with a size but no format
    }
};

TEST_F(TwoWorkbooks, SheetCopyCarriesFormatsOnce) {
    Fill();
    size_t before = b.Styles().Size();
    Worksheet& copy = ws.CopyTo(b, nullptr);
    EXPECT_EQ(b.Styles().Get(copy.StyleAt(1, 1)), Rich());
    EXPECT_EQ(b.Styles().Get(copy.StyleAt(1, 2)), Dated());
    EXPECT_EQ(copy.StyleAt(2, 1), copy.StyleAt(1, 1));
    EXPECT_EQ(copy.StyleAt(2, 2), 0u);
    EXPECT_EQ(b.Styles().Size(), before + 2);
    ASSERT_NE(copy.FindRow(4), nullptr);
    EXPECT_EQ(copy.FindRow(4)->info.style, 0u);
    // A second copy adds no formats.
    ws.CopyTo(b, nullptr);
    EXPECT_EQ(b.Styles().Size(), before + 2);
}

TEST_F(TwoWorkbooks, RangeCopyAndPasteSpecialCarryFormatsOnce) {
    Fill();
    size_t before = b.Styles().Size();
    ws.GetRange("A1:B2").Copy(b.Sheet(1).GetRange("C3"));
    Worksheet& t = b.Sheet(1);
    EXPECT_EQ(b.Styles().Get(t.StyleAt(3, 3)), Rich());
    EXPECT_EQ(b.Styles().Get(t.StyleAt(3, 4)), Dated());
    EXPECT_EQ(t.StyleAt(4, 3), t.StyleAt(3, 3));
    EXPECT_EQ(b.Styles().Size(), before + 2);
    ws.GetRange("A1:B2").Copy();
    t.GetRange("F10").PasteSpecial(xlPasteFormats);
    EXPECT_EQ(t.StyleAt(10, 6), t.StyleAt(3, 3));
    EXPECT_EQ(b.Styles().Size(), before + 2);
}

// Whole rows copied to a workbook whose default format differs: rows without
// a format of their own stay without one.
TEST_F(TwoWorkbooks, WholeRowsKeepNoFormatWhereTheyHadNone) {
    CellFormat normal;
    normal.font.name = "Calibri";
    b.Styles().SetDefault(normal);
    Fill();
    ws.GetRange("1:4").Copy(b.Sheet(1).GetRange("A1"));
    const Row* row4 = b.Sheet(1).FindRow(4);
    ASSERT_NE(row4, nullptr);
    EXPECT_EQ(row4->info.style, 0u);
    EXPECT_EQ(row4->info.height, 20);
    Worksheet& copy = ws.CopyTo(b, nullptr);
    EXPECT_EQ(copy.FindRow(4)->info.style, 0u);
    EXPECT_EQ(b.Styles().Get(copy.StyleAt(2, 2)), a.Styles().Default());  // the plain cell keeps its look
}

}  // namespace
