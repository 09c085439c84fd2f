// The text a reader extracts from our PDFs: names whose glyphs a CJK font
// shares with a radical read as the ideographs, in the maps Qt writes and in
// a whole PDF through pdftotext.
#include <gtest/gtest.h>

#include <filesystem>

#include "RenderTestSupport.h"
#include "render/PagedOutput.h"
#include "render/PdfTextMap.h"
#include "support/TestSupport.h"

namespace {

TEST(PdfTextMap, RadicalsAndStrokesNameTheirIdeographs) {
    EXPECT_EQ(render::UnifiedIdeograph(0x2EE2), 0x9A6C);  // ⻢ → 马
    EXPECT_EQ(render::UnifiedIdeograph(0x2EE9), 0x9EC4);  // ⻩ → 黄
    EXPECT_EQ(render::UnifiedIdeograph(0x2F47), 0x65E5);  // ⽇ → 日
    EXPECT_EQ(render::UnifiedIdeograph(0x9A6C), 0);       // an ideograph stays
    EXPECT_EQ(render::UnifiedIdeograph(u'A'), 0);
}

TEST(PdfTextMap, OnlyDestinationsChangeAndNothingMoves) {
    // Glyph 2EE2 is a source: it must stay; the destinations are rewritten,
    // in bfchar lines, in range arrays; a plain range starting at a radical stays.
    QByteArray pdf =
        "1 0 obj\n<< /Length 10 >>\nstream\n"
        "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
        "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n"
        "2 beginbfchar\n<2EE2> <2EE2>\n<0005> <5F20>\nendbfchar\n"
        "3 beginbfrange\n<0001> <0003> [<2F47> <2EE9> <519B>]\n<0010> <0011> <2EE2>\n<2F47> <2F48> <0041>\nendbfrange\n"
        "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\nendstream\nendobj\n"
        "2 0 obj <2EE2> endobj\n";
    const qsizetype size = pdf.size();
    EXPECT_EQ(render::MapRadicalsToIdeographs(pdf), 3);
    EXPECT_EQ(pdf.size(), size);
    EXPECT_TRUE(pdf.contains("<2EE2> <9A6C>\n<0005> <5F20>")) << pdf.constData();
    EXPECT_TRUE(pdf.contains("<0001> <0003> [<65E5> <9EC4> <519B>]")) << pdf.constData();
    EXPECT_TRUE(pdf.contains("<0010> <0011> <2EE2>")) << pdf.constData();
    EXPECT_TRUE(pdf.contains("<2F47> <2F48> <0041>")) << pdf.constData();
    EXPECT_TRUE(pdf.contains("2 0 obj <2EE2> endobj")) << "outside a map nothing changes";
}

TEST(PdfTextMap, NamesReadBackFromAPdfAsTheyWereTyped) {
    if (testing_support::Run("command -v pdftotext >/dev/null 2>&1") != 0) GTEST_SKIP() << "poppler-utils missing";
    rendertest::App();
    testing_support::TempDir dir;
    host::Application app;
    host::Workbook& wb = app.Workbooks().Add();
    host::Worksheet& ws = wb.Sheet(1);
    const char* names[] = {"马军", "黄文", "日期：", "长风", "门卫", "龙飞", "贝页"};
    for (int32_t r = 0; r < 7; ++r) ws.SetValueAt(r + 1, 1, host::Variant(names[r]));
    const std::string file = dir.File("名单.pdf");
    render::PdfDocument pdf(file);
    ASSERT_EQ(pdf.AddSheet(ws, {}), 1);
    ASSERT_TRUE(pdf.Finish());
    std::string text;
    ASSERT_EQ(testing_support::Run("pdftotext -layout '" + file + "' - 2>/dev/null", &text), 0);
    for (const char* name : names) EXPECT_NE(text.find(name), std::string::npos) << name << " in\n" << text;
}

}  // namespace
