// Pagination page by page: which rows and columns land on each page for the
// page setups a school prints (no titles, title rows, scale, manual breaks,
// a tall row, both page orders, two print areas, fit to one page wide,
// several column bands, hidden rows). The figures of the first cases were
// measured with LibreOffice on A4 portrait with the normal margins.
#include <gtest/gtest.h>

#include "host/Application.h"
#include "host/Pagination.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "support/TestSupport.h"

namespace {

using host::Rect;

struct Sheet {
    host::Application app;
    host::Workbook& wb = app.Workbooks().Add();
    host::Worksheet& ws = wb.Sheet(1);
    host::PageSetup& ps = ws.PageSetup();

    // rows × columns of values, rows 20 pt high, columns 10 characters wide
    // of Calibri 11 (7-pixel digits), the Normal font of the files the
    // figures were measured on.
    Sheet(int32_t rows, int32_t cols) {
        testing_support::UseCalibriNormal(wb);
        for (int32_t r = 1; r <= rows; ++r) {
            ws.GetRow(r).info.height = 20;
            ws.GetRow(r).info.customHeight = true;
            for (int32_t c = 1; c <= cols; ++c) ws.SetValueAt(r, c, host::Variant(double(r * 100 + c)));
        }
        for (int32_t c = 1; c <= cols; ++c) ws.SetColumnWidthChars(c, 10);
    }
    std::vector<Rect> Pages() const {
        std::vector<Rect> out;
        for (const host::PrintedPage& p : host::Paginate(ws).pages) out.push_back(p.cells);
        return out;
    }
    std::vector<std::pair<int32_t, int32_t>> RowBands() const {
        std::vector<std::pair<int32_t, int32_t>> out;
        for (const host::PrintedPage& p : host::Paginate(ws).pages) out.emplace_back(p.cells.top, p.cells.bottom);
        return out;
    }
};

using Rows = std::vector<std::pair<int32_t, int32_t>>;

TEST(Pagination, RowsAreTakenWhileTheyFit) {
    Sheet s(108, 4);
    EXPECT_EQ(s.RowBands(), (Rows{{1, 37}, {38, 74}, {75, 108}}));
    const host::Pagination p = host::Paginate(s.ws);
    EXPECT_DOUBLE_EQ(p.scale, 1);
    EXPECT_NEAR(p.height, 841.89 - 108, 1e-9);
    EXPECT_NEAR(p.width, 595.28 - 100.8, 1e-9);
    for (const auto& page : p.pages) {
        EXPECT_EQ(page.cells.left, 1);
        EXPECT_EQ(page.cells.right, 4);
    }
}

TEST(Pagination, TitleRowsAreChargedOnEveryPageBelowThem) {
    Sheet s(108, 4);
    s.ps.PrintTitleRows = "$1:$2";
    EXPECT_EQ(s.RowBands(), (Rows{{1, 37}, {38, 72}, {73, 107}, {108, 108}}));
    const host::Pagination p = host::Paginate(s.ws);
    ASSERT_EQ(p.pages.size(), 4u);
    EXPECT_FALSE(p.pages[0].titleRows) << "page 1 holds the titles in place";
    EXPECT_TRUE(p.pages[1].titleRows);
    EXPECT_TRUE(p.pages[3].titleRows);
    EXPECT_EQ(p.titleRows, (host::Span{1, 2}));
}

TEST(Pagination, ScaleFiftyHalvesTheRoomTaken) {
    Sheet s(108, 4);
    s.ps.Zoom = 50;
    EXPECT_EQ(s.RowBands(), (Rows{{1, 75}, {76, 108}}));
    EXPECT_DOUBLE_EQ(host::Paginate(s.ws).scale, 0.5);
}

TEST(Pagination, AManualBreakEndsItsPage) {
    Sheet s(108, 4);
    s.ps.AddRowBreakBefore(11);
    EXPECT_EQ(s.RowBands(), (Rows{{1, 10}, {11, 47}, {48, 84}, {85, 108}}));
    s.ps.AddRowBreakBefore(109);  // after the last row: no empty page
    EXPECT_EQ(s.RowBands().size(), 4u);
}

TEST(Pagination, ARowTallerThanThePageStandsAlone) {
    Sheet s(40, 4);
    s.ws.GetRow(5).info.height = 800;
    EXPECT_EQ(s.RowBands(), (Rows{{1, 4}, {5, 5}, {6, 40}}));
}

TEST(Pagination, HiddenRowsTakeNoRoom) {
    Sheet s(108, 4);
    for (int32_t r = 10; r <= 20; ++r) s.ws.GetRow(r).info.hidden = true;
    EXPECT_EQ(s.RowBands(), (Rows{{1, 48}, {49, 85}, {86, 108}}));
}

TEST(Pagination, RowHeightsPrintInWholePixels) {
    Sheet s(3, 1);
    s.ws.GetRow(1).info.height = 20;      // 26.67 px → 26 px
    s.ws.GetRow(2).info.height = 14.25;   // 19 px exactly
    EXPECT_DOUBLE_EQ(host::PrintedRowHeight(s.ws, 1), 19.5);
    EXPECT_DOUBLE_EQ(host::PrintedRowHeight(s.ws, 2), 14.25);
    s.ws.GetRow(3).info.hidden = true;
    EXPECT_DOUBLE_EQ(host::PrintedRowHeight(s.ws, 3), 0);
}

// 20 columns of 56.25 pt: 8 fit across the 494.48 pt of A4 portrait.
TEST(Pagination, ColumnBandsGoDownThenOverByDefault) {
    Sheet s(108, 20);
    const auto pages = s.Pages();
    ASSERT_EQ(pages.size(), 9u);
    EXPECT_EQ(pages[0], (Rect{1, 1, 37, 8}));
    EXPECT_EQ(pages[1], (Rect{38, 1, 74, 8}));
    EXPECT_EQ(pages[2], (Rect{75, 1, 108, 8}));
    EXPECT_EQ(pages[3], (Rect{1, 9, 37, 16}));
    EXPECT_EQ(pages[8], (Rect{75, 17, 108, 20}));
}

TEST(Pagination, OverThenDownGoesAcrossFirst) {
    Sheet s(108, 20);
    s.ps.Order = host::xlOverThenDown;
    const auto pages = s.Pages();
    ASSERT_EQ(pages.size(), 9u);
    EXPECT_EQ(pages[0], (Rect{1, 1, 37, 8}));
    EXPECT_EQ(pages[1], (Rect{1, 9, 37, 16}));
    EXPECT_EQ(pages[2], (Rect{1, 17, 37, 20}));
    EXPECT_EQ(pages[3], (Rect{38, 1, 74, 8}));
}

TEST(Pagination, TitleColumnsAreChargedOnBandsRightOfThem) {
    Sheet s(10, 20);
    s.ps.PrintTitleColumns = "$A:$A";
    const auto p = host::Paginate(s.ws);
    ASSERT_EQ(p.pages.size(), 3u);
    EXPECT_EQ(p.pages[0].cells, (Rect{1, 1, 10, 8}));
    EXPECT_FALSE(p.pages[0].titleColumns);
    EXPECT_EQ(p.pages[1].cells, (Rect{1, 9, 10, 15})) << "7 columns beside the title column";
    EXPECT_TRUE(p.pages[1].titleColumns);
    EXPECT_EQ(p.pages[2].cells, (Rect{1, 16, 10, 20}));
}

TEST(Pagination, EachPrintAreaHasPagesOfItsOwn) {
    Sheet s(108, 4);
    s.ps.PrintArea = "$A$1:$D$10,$B$50:$C$100";
    const auto p = host::Paginate(s.ws);
    ASSERT_EQ(p.pages.size(), 3u);
    EXPECT_EQ(p.pages[0].area, 0);
    EXPECT_EQ(p.pages[0].cells, (Rect{1, 1, 10, 4}));
    EXPECT_EQ(p.pages[1].area, 1);
    EXPECT_EQ(p.pages[1].cells, (Rect{50, 2, 86, 3}));
    EXPECT_EQ(p.pages[2].cells, (Rect{87, 2, 100, 3}));
}

TEST(Pagination, FitToOnePageWideScalesDownAndLeavesTheHeightOpen) {
    Sheet s(108, 20);
    s.ps.Zoom = 0;
    s.ps.FitToPagesWide = 1;
    s.ps.FitToPagesTall = 0;
    const auto p = host::Paginate(s.ws);
    EXPECT_DOUBLE_EQ(p.scale, 0.43);  // 494.48 / 1125 = 0.4395…
    ASSERT_EQ(p.pages.size(), 2u);
    EXPECT_EQ(p.pages[0].cells, (Rect{1, 1, 87, 20}));
    EXPECT_EQ(p.pages[1].cells, (Rect{88, 1, 108, 20}));
}

TEST(Pagination, FitToOnePageIgnoresManualBreaksAndNeverEnlarges) {
    Sheet s(20, 2);
    s.ps.Zoom = 0;
    s.ps.AddRowBreakBefore(5);
    const auto p = host::Paginate(s.ws);
    EXPECT_DOUBLE_EQ(p.scale, 1);
    ASSERT_EQ(p.pages.size(), 1u);
}

// A block of a seating chart: its own print area, three title rows at its top.
TEST(Pagination, ABlockWithItsTitleRowsRepeatsThemFromItsSecondPage) {
    Sheet s(120, 4);
    s.ps.PrintArea = "$A$20:$D$110";
    s.ps.PrintTitleRows = "$20:$22";
    const auto p = host::Paginate(s.ws);
    ASSERT_EQ(p.pages.size(), 3u);
    EXPECT_EQ(p.pages[0].cells, (Rect{20, 1, 56, 4}));
    EXPECT_FALSE(p.pages[0].titleRows);
    EXPECT_EQ(p.pages[1].cells, (Rect{57, 1, 90, 4})) << "34 rows under the three titles";
    EXPECT_TRUE(p.pages[1].titleRows);
    EXPECT_EQ(p.pages[2].cells, (Rect{91, 1, 110, 4}));
}

TEST(Pagination, LandscapeTurnsThePaperAndPagesAreNumberedFromTheFirstNumber) {
    Sheet s(60, 4);
    s.ps.Orientation = host::xlLandscape;
    s.ps.FirstPageNumber = 7;
    const auto p = host::Paginate(s.ws);
    EXPECT_NEAR(p.paper.width, 841.89, 0.01);
    EXPECT_NEAR(p.height, 595.28 - 108, 1e-9);
    ASSERT_EQ(p.pages.size(), 3u);  // 24 rows of 19.5 pt to 487 pt
    EXPECT_EQ(p.pages[0].cells.bottom, 24);
    EXPECT_EQ(p.pages[0].number, 7);
    EXPECT_EQ(p.pages[2].number, 9);
}

TEST(Pagination, WithoutAPrintAreaTheUsedRangeAndPicturesPrint) {
    Sheet s(3, 2);
    host::Picture pic;
    pic.from = {2, 2};
    pic.to = {6, 10, 0, 0};  // column F, row 10 at offset 0: the picture reaches E9
    s.ws.Pictures().push_back(pic);
    EXPECT_EQ(host::DefaultPrintRect(s.ws), (Rect{1, 1, 9, 5}));
    EXPECT_EQ(host::Paginate(s.ws).areas.front(), (Rect{1, 1, 9, 5}));

    // Text in column C only, photos in column A beside it: the photos print.
    Sheet labels(0, 0);
    labels.ws.SetValueAt(3, 3, host::Variant("姓名"));
    host::Picture photo;
    photo.from = {1, 2, 9525, 9525};
    photo.to = {2, 5, 0, 0};
    labels.ws.Pictures().push_back(photo);
    EXPECT_EQ(host::DefaultPrintRect(labels.ws), (Rect{2, 1, 4, 3}));
}

TEST(Pagination, WholeRowPrintAreasStopAtTheUsedColumns) {
    Sheet s(10, 3);
    s.ps.PrintArea = "'Sheet1'!$2:$4";
    const auto p = host::Paginate(s.ws);
    ASSERT_EQ(p.pages.size(), 1u);
    EXPECT_EQ(p.pages[0].cells, (Rect{2, 1, 4, 3}));
}

}  // namespace

namespace {

TEST(Pagination, TouchingPrintAreasPrintAsOneAreaAndOthersStayApart) {
    Sheet s(108, 6);
    // Below each other in the same columns: one run of rows, 37 to a page.
    s.ps.PrintArea = "$A$1:$D$50,$A$51:$D$108";
    EXPECT_EQ(s.RowBands(), (Rows{{1, 37}, {38, 74}, {75, 108}}));
    // Side by side over the same rows, given in either order.
    s.ps.PrintArea = "$C$1:$D$10,$A$1:$B$10";
    EXPECT_EQ(s.Pages(), (std::vector<Rect>{{1, 1, 10, 4}}));
    // A gap, or other columns: each keeps pages of its own.
    s.ps.PrintArea = "$A$1:$D$10,$A$12:$D$20,$A$21:$C$30";
    EXPECT_EQ(s.Pages(), (std::vector<Rect>{{1, 1, 10, 4}, {12, 1, 20, 4}, {21, 1, 30, 3}}));
    // Three in a row join into one.
    EXPECT_EQ(host::JoinAdjacentAreas({{1, 1, 10, 2}, {21, 1, 30, 2}, {11, 1, 20, 2}}), (std::vector<Rect>{{1, 1, 30, 2}}));
}

TEST(Pagination, PrintedHeadingsTakeTheirRoomOnEveryPage) {
    Sheet s(108, 4);
    s.ps.PrintHeadings = true;
    const host::Pagination p = host::Paginate(s.ws);
    EXPECT_DOUBLE_EQ(p.headingHeight, s.ws.StandardHeight());
    EXPECT_DOUBLE_EQ(p.headingWidth, (3 * 7 + 8) * 0.75) << "three digits for row 108";
    // 733.89 pt less the letters' row leaves room for 36 rows of 19.5 pt.
    EXPECT_EQ(s.RowBands(), (Rows{{1, 36}, {37, 72}, {73, 108}}));
    EXPECT_DOUBLE_EQ(host::HeadingWidth(9, 7), (7 + 8) * 0.75);
    EXPECT_DOUBLE_EQ(host::HeadingWidth(10, 8), (2 * 8 + 8) * 0.75);

    // Fitting to one page wide leaves room for the numbers' column too.
    Sheet wide(10, 12);
    wide.ps.PrintHeadings = true;
    wide.ps.Zoom = 0;
    wide.ps.FitToPagesTall = 0;
    const host::Pagination fit = host::Paginate(wide.ws);
    ASSERT_EQ(fit.pages.size(), 1u);
    EXPECT_LE((fit.headingWidth + 12 * wide.ws.ColumnWidthPoints(1)) * fit.scale, fit.width);
}

TEST(Pagination, EvenAndFirstPagesTakeTheirOwnHeaderAndFooter) {
    host::PageSetup ps;
    ps.CenterHeader = "odd";
    ps.EvenPage.CenterHeader = "even";
    ps.FirstPage.CenterFooter = "first";
    EXPECT_EQ(ps.SectionsForPage(true, 2).CenterHeader, "odd") << "both switched off";
    ps.OddAndEvenPagesHeaderFooter = true;
    EXPECT_EQ(ps.SectionsForPage(false, 2).CenterHeader, "even");
    EXPECT_EQ(ps.SectionsForPage(false, 3).CenterHeader, "odd");
    EXPECT_EQ(ps.SectionsForPage(true, 2).CenterHeader, "even") << "no first-page sections of its own yet";
    ps.DifferentFirstPageHeaderFooter = true;
    const host::HeaderFooterSections first = ps.SectionsForPage(true, 2);
    EXPECT_EQ(first.CenterFooter, "first");
    EXPECT_EQ(first.CenterHeader, "") << "the first page's own sections, empty ones too";
}

}  // namespace
