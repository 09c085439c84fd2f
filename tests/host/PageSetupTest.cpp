// Page setup text the host takes and writes: areas made absolute, sheet
// prefixes dropped, manual breaks kept sorted, header and footer codes expanded.
#include <gtest/gtest.h>

#include "host/PageSetup.h"

namespace {

TEST(PageSetup, AreasAreWrittenAbsoluteWithTheirSheetPrefixKept) {
    EXPECT_EQ(host::AbsoluteAreas("1:2"), "$1:$2");
    EXPECT_EQ(host::AbsoluteAreas("a:b"), "$A:$B");
    EXPECT_EQ(host::AbsoluteAreas("a1:b2, c3"), "$A$1:$B$2,$C$3");
    EXPECT_EQ(host::AbsoluteAreas("$A$1:B$2"), "$A$1:$B$2");
    EXPECT_EQ(host::AbsoluteAreas("'A''s, sheet'!a1:b2"), "'A''s, sheet'!$A$1:$B$2");
    EXPECT_EQ(host::AbsoluteAreas(""), "");
    EXPECT_EQ(host::AreasWithoutSheet("'x,y'!$A$1:$B$2,Sheet1!$D$1,$E$5"), "$A$1:$B$2,$D$1,$E$5");
}

TEST(PageSetup, ManualBreaksStaySortedAndSingle) {
    host::PageSetup ps;
    ps.AddRowBreakBefore(30);
    ps.AddRowBreakBefore(11);
    ps.AddRowBreakBefore(30);
    ps.AddRowBreakBefore(1);  // before the first row: no break
    EXPECT_EQ(ps.RowBreaks, (std::vector<int32_t>{10, 29}));
    ps.AddColumnBreakBefore(3);
    EXPECT_EQ(ps.ColumnBreaks, (std::vector<int32_t>{2}));
}

TEST(PageSetup, PaperSizesInPointsWithA4ForUnknownNumbers) {
    EXPECT_NEAR(host::PaperSizePoints(host::xlPaperA4).width, 595.28, 0.01);
    EXPECT_NEAR(host::PaperSizePoints(host::xlPaperA4).height, 841.89, 0.01);
    EXPECT_EQ(host::PaperSizePoints(host::xlPaperLetter).height, 792);
    EXPECT_NEAR(host::PaperSizePoints(host::xlPaperA3).width, 841.89, 0.01);
    EXPECT_NEAR(host::PaperSizePoints(12345).width, 595.28, 0.01);
}

std::string Plain(const std::vector<host::HeaderFooterRun>& runs) {
    std::string s;
    for (const auto& r : runs) s += r.text;
    return s;
}

TEST(PageSetup, HeaderFooterFieldsExpandForThePage) {
    host::HeaderFooterFields f;
    f.page = 3;
    f.pages = 12;
    f.sheetName = "高一";
    f.fileName = "考场表.xlsx";
    f.path = "/home/t";
    f.date = "2026/12/8";
    f.time = "10:36";
    EXPECT_EQ(Plain(host::ExpandHeaderFooter("第 &P 页，共 &N 页", f)), "第 3 页，共 12 页");
    EXPECT_EQ(Plain(host::ExpandHeaderFooter("&P+10|&P-1|&P+x", f)), "13|2|3+x");
    EXPECT_EQ(Plain(host::ExpandHeaderFooter("&A &F &Z&F", f)), "高一 考场表.xlsx /home/t/考场表.xlsx");
    EXPECT_EQ(Plain(host::ExpandHeaderFooter("&D &T", f)), "2026/12/8 10:36");
    EXPECT_EQ(Plain(host::ExpandHeaderFooter("A && B", f)), "A & B");
    EXPECT_EQ(Plain(host::ExpandHeaderFooter("一_x000A_二", f)), "一\n二");
    EXPECT_EQ(Plain(host::ExpandHeaderFooter("&KFF0000红&G", f)), "红");
}

TEST(PageSetup, FontCodesStartRunsWithTheirFormat) {
    const auto runs = host::ExpandHeaderFooter("前&\"黑体,加粗\"&16标题&B细&I斜", {});
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].text, "前");
    EXPECT_EQ(runs[0].fontName, "");
    EXPECT_FALSE(runs[0].bold);
    EXPECT_EQ(runs[1].text, "标题");
    EXPECT_EQ(runs[1].fontName, "黑体");
    EXPECT_EQ(runs[1].size, 16);
    EXPECT_TRUE(runs[1].bold);
    EXPECT_EQ(runs[2].text, "细");
    EXPECT_FALSE(runs[2].bold) << "&B toggles";
    EXPECT_EQ(runs[2].size, 16) << "the size stays";
    EXPECT_TRUE(runs[3].italic);
}

}  // namespace
