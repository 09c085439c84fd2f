// Cell formats: the styles part resolved into interned host::CellFormats.
#include <gtest/gtest.h>

#include "host/Worksheet.h"
#include "host/xlsx/ReaderStyles.h"
#include "xlsx/ReaderPackageBuilder.h"

using namespace reader_test;

namespace {

const char* kStyles =
    "<numFmts count=\"1\"><numFmt numFmtId=\"176\" formatCode=\"yyyy&quot;年&quot;m&quot;月&quot;\"/></numFmts>"
    "<fonts count=\"2\">"
    "<font><sz val=\"12\"/><color theme=\"1\"/><name val=\"宋体\"/><charset val=\"134\"/><scheme val=\"minor\"/></font>"
    "<font><b/><i val=\"0\"/><strike/><u val=\"double\"/><sz val=\"14.5\"/><color rgb=\"FFFF0000\"/><name val=\"黑体\"/></font>"
    "</fonts>"
    "<fills count=\"3\"><fill><patternFill patternType=\"none\"/></fill><fill><patternFill patternType=\"gray125\"/></fill>"
    "<fill><patternFill patternType=\"solid\"><fgColor indexed=\"13\"/><bgColor indexed=\"64\"/></patternFill></fill></fills>"
    "<borders count=\"2\"><border><left/><right/><top/><bottom/><diagonal/></border>"
    "<border diagonalUp=\"1\"><left style=\"thin\"><color auto=\"1\"/></left><right style=\"medium\"/>"
    "<top style=\"double\"><color rgb=\"00FF00\"/></top><bottom style=\"none\"/><diagonal style=\"hair\"/></border></borders>"
    "<cellXfs count=\"6\">"
    "<xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/>"
    "<xf numFmtId=\"49\" fontId=\"1\" fillId=\"2\" borderId=\"1\" applyFont=\"1\"/>"
    "<xf numFmtId=\"176\" fontId=\"0\"><alignment horizontal=\"center\" vertical=\"center\" wrapText=\"1\" indent=\"2\""
    " textRotation=\"90\" shrinkToFit=\"true\"/></xf>"
    "<xf numFmtId=\"14\" fontId=\"0\"><protection locked=\"0\" hidden=\"1\"/></xf>"
    "<xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/>"
    "<xf numFmtId=\"999\" fontId=\"77\" fillId=\"77\"><alignment horizontal=\"general\" vertical=\"bottom\"/></xf>"
    "</cellXfs>";

class ReaderStyles : public ::testing::Test {
protected:
    void SetUp() override {
        wb_ = Load(PackageBuilder()
                       .Styles(kStyles)
                       .SheetData("<row r=\"1\"><c r=\"A1\" s=\"0\"><v>0</v></c><c r=\"B1\" s=\"1\"><v>1</v></c>"
                                  "<c r=\"C1\" s=\"2\"><v>2</v></c><c r=\"D1\" s=\"3\"><v>3</v></c>"
                                  "<c r=\"E1\" s=\"4\"><v>4</v></c><c r=\"F1\" s=\"5\"><v>5</v></c>"
                                  "<c r=\"G1\" s=\"99\"><v>6</v></c></row>")
                       .Bytes());
    }
    const host::CellFormat& At(int col) const { return wb_->Styles().Get(wb_->Sheet(1).StyleAt(1, col)); }
    std::unique_ptr<host::Workbook> wb_;
};

TEST_F(ReaderStyles, FirstXfBecomesTheDefaultFormat) {
    EXPECT_EQ(wb_->Sheet(1).StyleAt(1, 1), 0u);
    EXPECT_EQ(wb_->Styles().Default().font.size, 12);
    EXPECT_EQ(wb_->Styles().Default().font.scheme, "minor");
    EXPECT_EQ(wb_->Styles().Default().font.color.kind, host::Color::Kind::Theme);
    // An xf equal to the default shares index 0; an unknown index falls back to it.
    EXPECT_EQ(wb_->Sheet(1).StyleAt(1, 5), 0u);
    EXPECT_EQ(wb_->Sheet(1).StyleAt(1, 7), 0u);
}

TEST_F(ReaderStyles, NumberFormats) {
    EXPECT_EQ(At(1).numberFormat, "General");
    EXPECT_EQ(At(2).numberFormat, "@");
    EXPECT_EQ(At(3).numberFormat, "yyyy\"年\"m\"月\"");
    EXPECT_EQ(At(4).numberFormat, "mm-dd-yy");
    EXPECT_EQ(At(6).numberFormat, "General");  // an id that is neither custom nor built in
}

TEST_F(ReaderStyles, FontFillBorder) {
    const host::CellFormat& f = At(2);
    EXPECT_EQ(f.font.name, "黑体");
    EXPECT_EQ(f.font.size, 14.5);
    EXPECT_TRUE(f.font.bold);
    EXPECT_FALSE(f.font.italic);
    EXPECT_TRUE(f.font.strike);
    EXPECT_EQ(f.font.underline, "double");
    EXPECT_EQ(f.font.color, host::Color::FromRgb(0xFF0000));
    EXPECT_EQ(f.fill.pattern, "solid");
    EXPECT_EQ(f.fill.fg.kind, host::Color::Kind::Indexed);
    EXPECT_EQ(f.fill.fg.value, 13u);
    EXPECT_EQ(f.border.left.style, "thin");
    EXPECT_EQ(f.border.left.color.kind, host::Color::Kind::Auto);
    EXPECT_EQ(f.border.right.style, "medium");
    EXPECT_EQ(f.border.top.color, host::Color::FromRgb(0x00FF00));  // six digits: opaque
    EXPECT_TRUE(f.border.bottom.IsNone());
    EXPECT_EQ(f.border.diagonal.style, "hair");
    EXPECT_TRUE(f.border.diagonalUp);
    EXPECT_FALSE(f.border.diagonalDown);
    // Missing fonts and fills fall back to the model's defaults.
    EXPECT_EQ(At(6).font, host::Font());
    EXPECT_EQ(At(6).fill, host::Fill());
}

TEST_F(ReaderStyles, AlignmentAndProtection) {
    const host::Alignment& a = At(3).alignment;
    EXPECT_EQ(a.horizontal, "center");
    EXPECT_EQ(a.vertical, "center");
    EXPECT_TRUE(a.wrapText);
    EXPECT_TRUE(a.shrinkToFit);
    EXPECT_EQ(a.indent, 2);
    EXPECT_EQ(a.textRotation, 90);
    EXPECT_TRUE(At(3).protection.locked);
    EXPECT_FALSE(At(4).protection.locked);
    EXPECT_TRUE(At(4).protection.hidden);
    EXPECT_EQ(At(6).alignment, host::Alignment());  // "general" and "bottom" are the defaults
}

TEST(ReaderStylesTable, BuiltinNumberFormats) {
    struct Case {
        int id;
        const char* code;
    } cases[] = {{0, "General"}, {1, "0"}, {2, "0.00"}, {9, "0%"}, {10, "0.00%"}, {14, "mm-dd-yy"},
                 {20, "h:mm"}, {22, "m/d/yy h:mm"}, {31, "yyyy\"年\"m\"月\"d\"日\""}, {46, "[h]:mm:ss"}, {49, "@"},
                 {23, ""}, {50, ""}, {-1, ""}};
    for (const Case& c : cases) EXPECT_EQ(host::xlsx::BuiltinNumberFormat(c.id), c.code) << c.id;
}

// openpyxl writes Font(bold=True) as a bare <font><b/></font>: it keeps the
// workbook's first face and size instead of taking the host's 宋体 and
// writing that back into the user's file.
TEST(ReaderStylesTable, FontWithoutNameOrSizeTakesTheFirstFont) {
    auto wb = Load(PackageBuilder()
                       .Styles("<fonts count=\"2\"><font><sz val=\"11\"/><name val=\"Calibri\"/></font>"
                               "<font><b val=\"1\"/></font><font><sz val=\"9\"/></font></fonts>"
                               "<cellXfs><xf fontId=\"0\"/><xf fontId=\"1\"/><xf fontId=\"2\"/></cellXfs>")
                       .SheetData("<row r=\"1\"><c r=\"A1\" s=\"1\"><v>1</v></c><c r=\"B1\" s=\"2\"><v>2</v></c></row>")
                       .Bytes());
    const host::Font& bold = wb->Styles().Get(wb->Sheet(1).StyleAt(1, 1)).font;
    EXPECT_EQ(bold.name, "Calibri");
    EXPECT_EQ(bold.size, 11);
    EXPECT_TRUE(bold.bold);
    const host::Font& small = wb->Styles().Get(wb->Sheet(1).StyleAt(1, 2)).font;
    EXPECT_EQ(small.name, "Calibri");
    EXPECT_EQ(small.size, 9);
}

TEST(ReaderStylesTable, RowAndColumnFormats) {
    auto wb = Load(PackageBuilder()
                       .Styles("<cellXfs><xf/><xf numFmtId=\"49\"/><xf numFmtId=\"10\"/></cellXfs>")
                       .Sheet("Sheet1",
                              "<cols><col min=\"2\" max=\"3\" width=\"12.5\" customWidth=\"1\" style=\"2\"/></cols>"
                              "<sheetData><row r=\"2\" s=\"1\" customFormat=\"1\"/><row r=\"3\" s=\"1\"/></sheetData>")
                       .Bytes());
    auto& ws = wb->Sheet(1);
    EXPECT_EQ(wb->Styles().Get(ws.FindRow(2)->info.style).numberFormat, "@");
    EXPECT_EQ(ws.FindRow(3)->info.style, 0u);  // s without customFormat does not format the row
    EXPECT_EQ(wb->Styles().Get(ws.FindColumn(3)->style).numberFormat, "0.00%");
    EXPECT_EQ(wb->Styles().Get(ws.StyleAt(5, 2)).numberFormat, "0.00%");
}

}  // namespace
