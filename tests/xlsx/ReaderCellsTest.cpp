// Cell values and formulas as the reader decodes them from hand-made packages.
#include <gtest/gtest.h>

#include "host/Worksheet.h"
#include "xlsx/ReaderPackageBuilder.h"

using namespace reader_test;
using host::Variant;

namespace {

host::Worksheet& First(const std::unique_ptr<host::Workbook>& wb) { return wb->Sheet(1); }

TEST(ReaderCells, ValueTypes) {
    auto wb = Load(PackageBuilder()
                       .SharedStrings("<si><t>甲班</t></si>"
                                      "<si><r><rPr><b/></rPr><t>粗</t></r><r><t xml:space=\"preserve\"> 细</t></r></si>"
                                      "<si><t>汉字</t><rPh sb=\"0\" eb=\"2\"><t>かんじ</t></rPh></si>"
                                      "<si><t>行一_x000D_行二_x005F_x0041_</t></si>")
                       .SheetData("<row r=\"1\">"
                                  "<c r=\"A1\" t=\"s\"><v>0</v></c>"
                                  "<c r=\"B1\" t=\"s\"><v>1</v></c>"
                                  "<c r=\"C1\" t=\"s\"><v>2</v></c>"
                                  "<c r=\"D1\" t=\"s\"><v>3</v></c>"
                                  "<c r=\"E1\"><v>-1.5E3</v></c>"
                                  "<c r=\"F1\" t=\"n\"><v>42</v></c>"
                                  "<c r=\"G1\" t=\"b\"><v>1</v></c>"
                                  "<c r=\"H1\" t=\"b\"><v>0</v></c>"
                                  "<c r=\"I1\" t=\"e\"><v>#N/A</v></c>"
                                  "<c r=\"J1\" t=\"inlineStr\"><is><t>内联</t></is></c>"
                                  "<c r=\"K1\" t=\"inlineStr\"><is><r><t>分</t></r><r><t>段</t></r></is></c>"
                                  "<c r=\"L1\" t=\"d\"><v>2026-12-08T12:00:00</v></c>"
                                  "<c r=\"M1\" t=\"e\"><v>#DIV/0!</v></c>"
                                  "</row>")
                       .Bytes());
    auto& ws = First(wb);
    struct Case {
        int col;
        Variant want;
    } cases[] = {
        {1, Variant("甲班")},
        {2, Variant("粗 细")},
        {3, Variant("汉字")},
        {4, Variant("行一\r行二_x0041_")},
        {5, Variant(-1500.0)},
        {6, Variant(42.0)},
        {7, Variant::Boolean(true)},
        {8, Variant::Boolean(false)},
        {9, Variant::Error(host::CellError::NA)},
        {10, Variant("内联")},
        {11, Variant("分段")},
        {12, Variant(46364.5)},
        {13, Variant::Error(host::CellError::Div0)},
    };
    for (const Case& c : cases) EXPECT_EQ(ws.ValueAt(1, c.col), c.want) << "column " << c.col;
}

TEST(ReaderCells, CellsAndRowsWithoutReferenceFollowThePreviousOne) {
    auto wb = Load(PackageBuilder()
                       .SheetData("<row><c><v>1</v></c><c><v>2</v></c><c r=\"E1\"><v>5</v></c><c><v>6</v></c></row>"
                                  "<row><c><v>10</v></c></row>"
                                  "<row r=\"7\"><c><v>70</v></c></row>"
                                  "<row><c r=\"C8\"><v>83</v></c></row>")
                       .Bytes());
    auto& ws = First(wb);
    EXPECT_EQ(ws.ValueAt(1, 1), Variant(1));
    EXPECT_EQ(ws.ValueAt(1, 2), Variant(2));
    EXPECT_EQ(ws.ValueAt(1, 5), Variant(5));
    EXPECT_EQ(ws.ValueAt(1, 6), Variant(6));
    EXPECT_EQ(ws.ValueAt(2, 1), Variant(10));
    EXPECT_EQ(ws.ValueAt(7, 1), Variant(70));
    EXPECT_EQ(ws.ValueAt(8, 3), Variant(83));
    EXPECT_EQ(ws.FindRow(1)->cells.size(), 4u);
}

TEST(ReaderCells, CellsOutOfOrderEndUpSortedByColumn) {
    auto wb = Load(PackageBuilder().SheetData("<row r=\"1\"><c r=\"C1\"><v>3</v></c><c r=\"A1\"><v>1</v></c></row>").Bytes());
    const auto& cells = First(wb).FindRow(1)->cells;
    ASSERT_EQ(cells.size(), 2u);
    EXPECT_EQ(cells[0].col, 1);
    EXPECT_EQ(cells[1].col, 3);
}

TEST(ReaderCells, FormulasKeepTextAndCachedResult) {
    auto wb = Load(PackageBuilder()
                       .SheetData("<row r=\"1\">"
                                  "<c r=\"A1\"><f>SUM(B1:C1)</f><v>3</v></c>"
                                  "<c r=\"B1\" t=\"str\"><f>\"a\"&amp;\"b\"</f><v>ab</v></c>"
                                  "<c r=\"C1\" t=\"b\"><f>1=1</f><v>1</v></c>"
                                  "<c r=\"D1\" t=\"e\"><f>1/0</f><v>#DIV/0!</v></c>"
                                  "<c r=\"E1\"><f>NOW()</f></c>"
                                  "<c r=\"F1\" t=\"str\"><f>\"\"</f><v></v></c>"
                                  "</row>")
                       .Bytes());
    auto& ws = First(wb);
    struct Case {
        int col;
        const char* formula;
        Variant cached;
    } cases[] = {
        {1, "SUM(B1:C1)", Variant(3)},
        {2, "\"a\"&\"b\"", Variant("ab")},
        {3, "1=1", Variant::Boolean(true)},
        {4, "1/0", Variant::Error(host::CellError::Div0)},
        {5, "NOW()", Variant()},
        {6, "\"\"", Variant("")},
    };
    for (const Case& c : cases) {
        const host::Cell* cell = ws.FindCell(1, c.col);
        ASSERT_TRUE(cell && cell->HasFormula()) << "column " << c.col;
        EXPECT_EQ(*cell->formula, c.formula);
        EXPECT_EQ(cell->value, c.cached) << "column " << c.col;
    }
}

TEST(ReaderCells, SharedFormulasAreExpandedPerCell) {
    auto wb = Load(PackageBuilder()
                       .SheetData("<row r=\"2\"><c r=\"C2\"><f t=\"shared\" ref=\"C2:D4\" si=\"0\">A2*$B$1+B2</f><v>1</v></c>"
                                  "<c r=\"D2\"><f t=\"shared\" si=\"0\"/><v>2</v></c></row>"
                                  "<row r=\"3\"><c r=\"C3\"><f t=\"shared\" si=\"0\"/><v>3</v></c></row>"
                                  "<row r=\"4\"><c r=\"D4\"><f t=\"shared\" si=\"0\"/></c>"
                                  "<c r=\"E4\"><f t=\"shared\" si=\"7\"/><v>9</v></c></row>")
                       .Bytes());
    auto& ws = First(wb);
    EXPECT_EQ(*ws.FindCell(2, 3)->formula, "A2*$B$1+B2");
    EXPECT_EQ(*ws.FindCell(2, 4)->formula, "B2*$B$1+C2");
    EXPECT_EQ(*ws.FindCell(3, 3)->formula, "A3*$B$1+B3");
    EXPECT_EQ(*ws.FindCell(4, 4)->formula, "B4*$B$1+C4");
    EXPECT_EQ(ws.FindCell(3, 3)->value, Variant(3));
    // A follower whose group has no master keeps its value without a formula.
    EXPECT_FALSE(ws.FindCell(4, 5)->HasFormula());
    EXPECT_EQ(ws.ValueAt(4, 5), Variant(9));
}

TEST(ReaderCells, StyledEmptyCellsAreKeptUnstyledOnesAreNot) {
    auto wb = Load(PackageBuilder()
                       .Styles("<cellXfs count=\"2\"><xf numFmtId=\"0\"/><xf numFmtId=\"49\"/></cellXfs>")
                       .SheetData("<row r=\"1\"><c r=\"A1\" s=\"1\"/><c r=\"B1\"/><c r=\"C1\" s=\"0\"/></row>")
                       .Bytes());
    auto& ws = First(wb);
    ASSERT_NE(ws.FindCell(1, 1), nullptr);
    EXPECT_EQ(wb->Styles().Get(ws.FindCell(1, 1)->style).numberFormat, "@");
    EXPECT_EQ(ws.FindCell(1, 2), nullptr);
    EXPECT_EQ(ws.FindCell(1, 3), nullptr);
}

TEST(ReaderCells, PrefixedElementsAreRead) {
    std::string sheet = std::string("<x:worksheet xmlns:x=\"") + kMainNs +
                        "\"><x:sheetData><x:row r=\"1\"><x:c r=\"B1\" t=\"inlineStr\"><x:is><x:t>前缀</x:t></x:is></x:c>"
                        "</x:row></x:sheetData></x:worksheet>";
    auto wb = Load(PackageBuilder().SheetData("").Override("xl/worksheets/sheet1.xml", sheet).Bytes());
    EXPECT_EQ(First(wb).ValueAt(1, 2), Variant("前缀"));
}

TEST(ReaderCells, ExtensionListsDoNotLeakCells) {
    auto wb = Load(PackageBuilder()
                       .Sheet("Sheet1",
                              "<sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c></row></sheetData>"
                              "<extLst><ext uri=\"x\"><row r=\"5\"><c r=\"A5\"><v>5</v></c></row>"
                              "<mergeCells><mergeCell ref=\"A1:B2\"/></mergeCells></ext></extLst>")
                       .Bytes());
    EXPECT_EQ(First(wb).FindRow(5), nullptr);
    EXPECT_TRUE(First(wb).MergedAreas().empty());
}

}  // namespace
