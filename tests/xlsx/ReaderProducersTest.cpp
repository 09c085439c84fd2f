// Files written by other producers (tests/data/xlsx, made by make_inputs.py
// with openpyxl and by make_xlsxwriter.c with libxlsxwriter).
#include <gtest/gtest.h>

#include "host/Dump.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "host/xlsx/Package.h"
#include "support/TestSupport.h"

namespace {

std::unique_ptr<host::Workbook> Open(const std::string& name) {
    return host::xlsx::LoadWorkbook(nullptr, std::string(TOLM_TEST_DATA) + "/xlsx/" + name);
}

using host::Variant;

TEST(ReaderProducers, OpenpyxlFeatures) {
    auto wb = Open("openpyxl-features.xlsx");
    ASSERT_EQ(wb->SheetCount(), 4);
    host::Worksheet& ws = wb->Sheet(1);
    EXPECT_EQ(ws.Name(), "花名册");
    EXPECT_EQ(ws.CodeName(), "Roster");
    EXPECT_EQ(ws.ValueAt(1, 2), Variant("姓名"));
    EXPECT_EQ(ws.ValueAt(2, 2), Variant("张三"));
    EXPECT_EQ(ws.ValueAt(2, 4), Variant(39886));  // 2009-03-14
    EXPECT_EQ(ws.ValueAt(2, 5), Variant(98.5));
    EXPECT_EQ(ws.ValueAt(2, 6), Variant::Boolean(true));
    ASSERT_TRUE(ws.FindCell(2, 7)->HasFormula());
    EXPECT_EQ(*ws.FindCell(2, 7)->formula, "E2+E3");

    const host::StyleTable& st = wb->Styles();
    EXPECT_EQ(st.Get(ws.StyleAt(2, 2)).font.name, "黑体");
    EXPECT_TRUE(st.Get(ws.StyleAt(2, 2)).font.bold);
    EXPECT_EQ(st.Get(ws.StyleAt(2, 3)).fill.pattern, "solid");
    EXPECT_EQ(st.Get(ws.StyleAt(2, 3)).border.bottom.style, "double");
    EXPECT_EQ(st.Get(ws.StyleAt(1, 6)).alignment.textRotation, 45);
    EXPECT_EQ(st.Get(ws.StyleAt(2, 5)).numberFormat, "0.00");
    EXPECT_EQ(st.Get(ws.StyleAt(3, 1)).numberFormat, "@");
    EXPECT_FALSE(st.Get(ws.StyleAt(3, 5)).protection.locked);
    EXPECT_EQ(st.Get(ws.StyleAt(2, 4)).numberFormat, "yyyy-mm-dd");

    ASSERT_EQ(ws.MergedAreas().size(), 1u);
    EXPECT_EQ(ws.MergedAreas()[0], (host::Rect{5, 1, 6, 3}));
    EXPECT_EQ(ws.FindColumn(2)->width, 15.5);
    EXPECT_TRUE(ws.FindColumn(4)->hidden);
    EXPECT_EQ(ws.FindRow(2)->info.height, 25);
    EXPECT_TRUE(ws.ProtectContents());
    EXPECT_TRUE(ws.CheckPassword("abc"));
    EXPECT_EQ(ws.PageSetup().PrintArea, "$A$1:$F$20");
    EXPECT_EQ(ws.PageSetup().PrintTitleRows, "1:1");
    EXPECT_EQ(ws.PageSetup().Orientation, 2);
    EXPECT_DOUBLE_EQ(ws.PageSetup().LeftMargin, 36);
    EXPECT_EQ(ws.PageSetup().CenterHeader, "考场安排");
    EXPECT_TRUE(ws.PageSetup().CenterHorizontally);
    EXPECT_FALSE(ws.ShowGridLines());

    EXPECT_EQ(wb->Sheet(2).Visible(), host::xlSheetHidden);
    EXPECT_EQ(wb->Sheet(3).Visible(), host::xlSheetVeryHidden);
    EXPECT_EQ(wb->Sheet(4).Name(), "高一\t设置");
    EXPECT_EQ(wb->Sheet(4).PageSetup().Zoom, 0);
    EXPECT_EQ(wb->Sheet(4).PageSetup().FitToPagesTall, 0);
    ASSERT_EQ(wb->DefinedNames().size(), 1u);
    EXPECT_EQ(wb->DefinedNames()[0].name, "班级列");
    EXPECT_EQ(wb->ActiveSheet(), &ws);
}

TEST(ReaderProducers, OpenpyxlWriteOnlyInlineStrings) {
    auto wb = Open("openpyxl-write-only.xlsx");
    host::Worksheet& ws = wb->Sheet(1);
    EXPECT_EQ(ws.Name(), "流式");
    EXPECT_EQ(ws.ValueAt(1, 2), Variant("姓名"));
    EXPECT_EQ(ws.ValueAt(51, 1), Variant(20260050));
    EXPECT_EQ(ws.ValueAt(51, 2), Variant("学生50"));
    EXPECT_EQ(ws.UsedRect(), (host::Rect{1, 1, 51, 2}));
}

TEST(ReaderProducers, XlsxwriterConstantMemory) {
    auto wb = Open("xlsxwriter-constant-memory.xlsx");
    ASSERT_EQ(wb->SheetCount(), 2);
    host::Worksheet& ws = wb->Sheet(1);
    EXPECT_EQ(ws.ValueAt(1, 1), Variant("姓名"));
    EXPECT_EQ(ws.ValueAt(21, 1), Variant("考生20"));
    EXPECT_EQ(ws.ValueAt(21, 2), Variant("0012"));
    EXPECT_EQ(wb->Styles().Get(ws.StyleAt(21, 2)).numberFormat, "@");
    EXPECT_TRUE(wb->Styles().Get(ws.StyleAt(1, 1)).font.bold);
    EXPECT_EQ(*ws.FindCell(21, 4)->formula, "C2*2");
    EXPECT_EQ(ws.ValueAt(21, 4), Variant(60));
    EXPECT_DOUBLE_EQ(ws.FindColumn(1)->width, 12.7109375);
    EXPECT_EQ(wb->Sheet(2).Name(), "高一 设置");  // the raw TAB is normalised to a space
    EXPECT_EQ(wb->Sheet(2).Visible(), host::xlSheetHidden);
}

TEST(ReaderProducers, XlsxwriterPictureMergesAndPrintSetup) {
    auto wb = Open("xlsxwriter-picture.xlsx");
    host::Worksheet& ws = wb->Sheet(1);
    EXPECT_EQ(ws.ValueAt(1, 1), Variant("考场座位表"));
    EXPECT_EQ(ws.ValueAt(4, 1), Variant("张三"));  // one shared string used twice
    ASSERT_EQ(ws.MergedAreas().size(), 1u);
    EXPECT_EQ(ws.MergedAreas()[0], (host::Rect{1, 1, 2, 4}));
    EXPECT_EQ(wb->Styles().Get(ws.StyleAt(1, 1)).alignment.horizontal, "center");
    ASSERT_EQ(ws.Pictures().size(), 1u);
    const host::Picture& p = ws.Pictures()[0];
    EXPECT_EQ(p.extension, "png");
    ASSERT_TRUE(p.data);
    ASSERT_EQ(p.data->size(), 70u);  // the PNG of make_xlsxwriter.c
    EXPECT_EQ(std::string(p.data->begin(), p.data->begin() + 4), "\x89PNG");
    EXPECT_EQ(p.from, (host::CellAnchor{2, 5, 38100, 19050}));
    EXPECT_EQ(p.to, (host::CellAnchor{2, 6, 228600, 19050}));
    EXPECT_EQ(p.widthEmu, 190500);
    EXPECT_EQ(ws.PageSetup().PrintArea, "$A$1:$D$20");
    EXPECT_EQ(ws.PageSetup().PrintTitleRows, "$1:$2");
    EXPECT_EQ(ws.PageSetup().Orientation, 2);
    EXPECT_TRUE(ws.CheckPassword("password"));
}

// Every fact of each file against its checked-in dump (<file>.dump beside it).
TEST(ReaderProducers, GoldenDumps) {
    for (const char* name : {"openpyxl-features", "openpyxl-write-only", "xlsxwriter-constant-memory", "xlsxwriter-picture"}) {
        std::string want = testing_support::ReadFile(std::string(TOLM_TEST_DATA) + "/xlsx/" + name + ".dump");
        ASSERT_FALSE(want.empty()) << name;
        EXPECT_EQ(host::Dump(*Open(std::string(name) + ".xlsx")), want) << name;
    }
}

}  // namespace
