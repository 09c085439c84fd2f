// The golden dump: its exact form for a small workbook, and the rules that
// keep it stable (sorted names and merges, escaped text, only facts that
// differ from the default format).
#include <gtest/gtest.h>

#include "host/Dump.h"
#include "host/Workbook.h"

namespace {

using namespace host;

std::unique_ptr<Workbook> SmallWorkbook() {
    auto wb = std::make_unique<Workbook>(nullptr, "考试.xlsx");
    Worksheet& ws = wb->InsertSheet(-1, "Sheet1", "Sheet1");
    Worksheet& other = wb->InsertSheet(-1, "第 2 表", "Sheet2");
    ws.SetValueAt(1, 1, Variant("学号\t\"甲\"\\\n"));
    ws.SetValueAt(1, 2, Variant(3));
    ws.GetCell(1, 2).formula = std::make_unique<std::string>("SUM(A1:A2)");
    CellFormat bold;
    bold.font.bold = true;
    bold.protection.locked = false;
    ws.SetStyleAt(2, 1, wb->Styles().Intern(bold));  // formatted, no value
    ws.MergedAreas() = {Rect{5, 2, 6, 3}, Rect{1, 4, 2, 5}};
    ws.GetColumn(3).hidden = true;
    ws.GetRow(4).info.height = 20;
    ws.GetRow(4).info.customHeight = true;
    ws.SetScrollArea("$A$1:$F$6");
    other.SetValueAt(2, 2, Variant::Error(CellError::Div0));
    wb->DefinedNames() = {{"Zeta", -1, "Sheet1!$A$1", false}, {"Alpha", 1, "1", true}, {"Beta", -1, "2", false}};
    return wb;
}

const char* kPageSetup =
    " area=\"\" titlerows=\"\" titlecols=\"\" paper=9 orientation=1 zoom=100 fit=1x1 "
    "margins=51.0236,51.0236,54,54,21.6,21.6 center=0,0 header=\"\",\"\",\"\" footer=\"\",\"\",\"\"\n";

TEST(Dump, SmallWorkbookInItsExactForm) {
    auto wb = SmallWorkbook();
    std::string want = std::string() +
        "workbook name=\"考试.xlsx\" sheets=2 active=1 date1904=0 vba=0\n"
        "default\n"
        "name \"Beta\" scope=workbook hidden=0 \"2\"\n"
        "name \"Zeta\" scope=workbook hidden=0 \"Sheet1!$A$1\"\n"
        "name \"Alpha\" scope=\"第 2 表\" hidden=1 \"1\"\n"
        "sheet 1 name=\"Sheet1\" code=Sheet1 visible=-1 protected=0 scroll=\"$A$1:$F$6\" grid=1 activecell=A1 "
        "selection=\"\" colwidth=8.43 rowheight=13.5\n"
        "pagesetup Sheet1" + kPageSetup +
        "col Sheet1!C width=8.43 custom=0 hidden=1\n"
        "cell Sheet1!A1 text \"学号\\t\\\"甲\\\"\\\\\\n\"\n"
        "cell Sheet1!B1 number 3 formula \"SUM(A1:A2)\"\n"
        "cell Sheet1!A2 empty font=宋体/11/b locked=0\n"
        "row Sheet1!4 height=20 custom=1 hidden=0\n"
        "merge Sheet1!D1:E2\n"
        "merge Sheet1!B5:C6\n"
        "sheet 2 name=\"第 2 表\" code=Sheet2 visible=-1 protected=0 scroll=\"\" grid=1 activecell=A1 "
        "selection=\"\" colwidth=8.43 rowheight=13.5\n"
        "pagesetup \"第 2 表\"" + kPageSetup +
        "cell \"第 2 表\"!B2 error #DIV/0!\n";
    EXPECT_EQ(Dump(*wb), want);
}

TEST(Dump, StyleFactsAreRelativeToTheDefaultFormat) {
    Workbook wb(nullptr, "b.xlsx");
    CellFormat base;
    base.font.name = "Calibri";
    wb.Styles().SetDefault(base);
    Worksheet& ws = wb.InsertSheet(-1, "S", "Sheet1");
    CellFormat same = base;
    CellFormat red = base;
    red.fill.pattern = "solid";
    red.fill.fg = Color::FromRgb(0xFF0000);
    red.alignment.horizontal = "center";
    red.border.top = {"thin", {}};
    red.border.diagonalUp = true;
    red.numberFormat = "0.00";
    ws.SetValueAt(1, 1, Variant(1));
    ws.SetStyleAt(1, 1, wb.Styles().Intern(same));
    ws.SetValueAt(1, 2, Variant(2));
    ws.SetStyleAt(1, 2, wb.Styles().Intern(red));
    std::string dump = Dump(wb);
    EXPECT_NE(dump.find("\ndefault font=Calibri/11\n"), std::string::npos) << dump;
    EXPECT_NE(dump.find("\ncell S!A1 number 1\n"), std::string::npos) << dump;
    EXPECT_NE(dump.find("\ncell S!B1 number 2 fmt=\"0.00\" fill=solid/fg:FF0000 border=top:thin;up align=h:center\n"),
              std::string::npos) << dump;
}

TEST(Dump, SameModelGivesTheSameTextWhateverTheInsertionOrder) {
    auto a = SmallWorkbook();
    auto b = SmallWorkbook();
    Worksheet& ws = b->Sheet(1);
    ws.MergedAreas() = {ws.MergedAreas()[1], ws.MergedAreas()[0]};
    std::swap(b->DefinedNames()[0], b->DefinedNames()[2]);
    EXPECT_EQ(Dump(*a), Dump(*b));
    ws.SetValueAt(1, 2, Variant(4));  // a changed fact shows
    EXPECT_NE(Dump(*a), Dump(*b));
}

}  // namespace
