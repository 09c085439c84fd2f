// Sheet geometry against a plain walk over every row and column, the way
// positions were summed before there was an index.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "host/Application.h"
#include "host/Range.h"
#include "host/SheetGeometry.h"
#include "host/Workbook.h"
#include "support/TestSupport.h"

using namespace host;

namespace {

// Sizes one line at a time, summed in order.
struct NaiveLines {
    int32_t count;
    double defaultSize;
    std::vector<double> own;  // own[line - 1], negative for the default size

    double Size(int32_t line) const {
        return size_t(line) <= own.size() && own[line - 1] >= 0 ? own[line - 1] : defaultSize;
    }
    double Before(int32_t line) const {
        double sum = 0;
        for (int32_t l = 1; l < line; ++l) sum += Size(l);
        return sum;
    }
    // The walk pictures were anchored with: advance while the next line ends at or before the point.
    int32_t At(double pos) const {
        double sum = 0;
        int32_t l = 1;
        while (l < count && sum + Size(l) <= pos) sum += Size(l++);
        return l;
    }
};

// Sizes as the host produces them: whole pixels of 0.75 pt and quarter points, some hidden.
double HostSize(std::mt19937& rng) {
    switch (rng() % 4) {
        case 0: return 0;                               // hidden
        case 1: return double(rng() % 200) * 0.75;      // pixels
        case 2: return double(rng() % 1600) * 0.25;     // typed heights
        default: return -1;                             // default size
    }
}

TEST(LineSizes, MatchAWalkOverOneHundredThousandLinesBothWays) {
    std::mt19937 rng(7);
    const int32_t n = 100000;
    NaiveLines naive{kMaxRows, 13.5, std::vector<double>(n, -1)};
    LineSizes lines(kMaxRows, 13.5);
    auto check = [&](int queries) {
        // Prefix sums one after another, as a walk gives them, at every line of the stored span.
        double sum = 0;
        for (int32_t l = 1; l <= n + 1; ++l) {
            ASSERT_EQ(lines.Before(l), sum) << "line " << l;
            sum += naive.Size(l);
        }
        for (int q = 0; q < queries; ++q) {
            int32_t a = int32_t(rng() % (n + 20)) + 1, b = int32_t(rng() % (n + 20)) + 1;
            if (a > b) std::swap(a, b);
            ASSERT_EQ(lines.Span(a, b), naive.Before(b + 1) - naive.Before(a)) << a << ":" << b;
            // A point anywhere, and points exactly on an edge, where off-by-one lurks.
            double y = std::uniform_real_distribution<double>(-5, naive.Before(n + 10))(rng);
            ASSERT_EQ(lines.LineAt(y), naive.At(y)) << y;
            double edge = naive.Before(a);
            ASSERT_EQ(lines.LineAt(edge), naive.At(edge)) << "edge of " << a;
        }
    };
    for (int32_t l = 1; l <= n; ++l) {
        naive.own[l - 1] = HostSize(rng);
        if (naive.own[l - 1] >= 0) lines.SetSize(l, naive.own[l - 1]);
    }
    check(300);

    // Changes one by one: sizes set, lines back to the default, the default itself.
    for (int i = 0; i < 5000; ++i) {
        int32_t l = int32_t(rng() % n) + 1;
        double s = HostSize(rng);
        naive.own[l - 1] = s;
        lines.SetSize(l, s >= 0 ? std::optional<double>(s) : std::nullopt);
    }
    naive.defaultSize = 20.25;
    lines.SetDefaultSize(20.25);
    check(300);
}

TEST(LineSizes, EdgesOfTheAxis) {
    LineSizes lines(100, 10);
    EXPECT_EQ(lines.LineAt(-1), 1);
    EXPECT_EQ(lines.LineAt(0), 1);
    EXPECT_EQ(lines.LineAt(9.99), 1);
    EXPECT_EQ(lines.LineAt(10), 2);        // a point on an edge belongs to the line after it
    EXPECT_EQ(lines.LineAt(5000), 100);    // past the last line: the last line
    EXPECT_EQ(lines.LineAt(1e300), 100);
    EXPECT_EQ(lines.Before(101), 1000);
    lines.SetSize(2, 0);                   // hidden lines are passed over
    lines.SetSize(3, 0);
    EXPECT_EQ(lines.LineAt(10), 4);
    EXPECT_EQ(lines.Before(4), 10);
    lines.SetSize(2, std::nullopt);
    EXPECT_EQ(lines.LineAt(10), 2);
    lines.SetDefaultSize(0);               // nothing has a size: every point is past the end
    lines.SetSize(1, 0);
    EXPECT_EQ(lines.LineAt(1), 100);
    // Setting the last line stores no more than the axis has.
    LineSizes big(kMaxRows, 15);
    big.SetSize(kMaxRows, 30);
    EXPECT_EQ(big.Before(kMaxRows + 1), double(kMaxRows - 1) * 15 + 30);
    EXPECT_EQ(big.LineAt(double(kMaxRows - 1) * 15 + 29), kMaxRows);
}

// Decimal heights from files (14.4 pt) have no exact double: positions are the
// exact sum rounded once, and position and line agree at every edge.
TEST(LineSizes, DecimalSizesSumExactlyAndAgreeWithTheirLines) {
    LineSizes lines(kMaxRows, 14.4);
    for (int32_t l = 1; l <= 10000; l += 3) lines.SetSize(l, 18.6);
    for (int32_t l : {2, 50, 999, 5000, 10001, 200000}) {
        int64_t tall = l <= 10000 ? (l - 1 + 2) / 3 : 3334;
        double exact = (double(tall) * 186 + double(l - 1 - tall) * 144) / 10;
        EXPECT_NEAR(lines.Before(l), exact, 1e-9) << l;
        EXPECT_EQ(lines.LineAt(lines.Before(l)), l) << l;
        EXPECT_EQ(lines.LineAt(lines.Before(l) - 1e-3), l - 1) << l;
    }
}

// A sheet's Range.Top/Left/Width/Height and picture anchors against the walks
// that computed them before, after every kind of change to the sizes.
struct SheetFixture : ::testing::Test {
    Application app;
    Workbook& wb = app.Workbooks().Add();
    Worksheet& ws = wb.Sheet(1);
    std::mt19937 rng{11};

    double WalkTop(int32_t row) {
        double y = 0;
        for (int32_t r = 1; r < row; ++r) y += ws.RowHeightPoints(r);
        return y;
    }
    double WalkLeft(int32_t col) {
        double x = 0;
        for (int32_t c = 1; c < col; ++c) x += ws.ColumnWidthPoints(c);
        return x;
    }
    CellAnchor WalkAnchor(double xPt, double yPt) {
        CellAnchor a;
        double x = 0;
        int32_t c = 1;
        while (c < kMaxColumns && x + ws.ColumnWidthPoints(c) <= xPt) x += ws.ColumnWidthPoints(c++);
        double y = 0;
        int32_t r = 1;
        while (r < kMaxRows && y + ws.RowHeightPoints(r) <= yPt) y += ws.RowHeightPoints(r++);
        a.col = c;
        a.row = r;
        a.colOffset = std::llround((xPt - x) * 12700);
        a.rowOffset = std::llround((yPt - y) * 12700);
        return a;
    }
    void ExpectSameAsWalk(int32_t rows, int32_t cols, int queries) {
        std::vector<double> top(size_t(rows) + 2, 0);
        for (int32_t r = 1; r <= rows + 1; ++r) top[r] = r == 1 ? 0 : top[r - 1] + ws.RowHeightPoints(r - 1);
        for (int q = 0; q < queries; ++q) {
            int32_t r = int32_t(rng() % rows) + 1, c = int32_t(rng() % cols) + 1;
            int32_t h = int32_t(rng() % 50), w = int32_t(rng() % 5);
            Range cell = ws.Cells(r, c).Resize(std::min(h, rows - r) + 1, std::min(w, cols - c) + 1);
            ASSERT_EQ(cell.Top(), top[r]) << r;
            ASSERT_EQ(cell.Left(), WalkLeft(c)) << c;
            ASSERT_EQ(cell.Height(), top[cell.Area().bottom + 1] - top[r]) << cell.Address();
            ASSERT_EQ(cell.Width(), WalkLeft(cell.Area().right + 1) - WalkLeft(c)) << cell.Address();
            double x = std::uniform_real_distribution<double>(0, WalkLeft(cols))(rng);
            double y = std::uniform_real_distribution<double>(0, top[rows])(rng);
            ASSERT_EQ(ws.Geometry().AnchorAt(x, y), WalkAnchor(x, y)) << x << "," << y;
        }
    }
};

using SheetGeometryOfSheet = SheetFixture;

TEST_F(SheetGeometryOfSheet, RangePositionsMatchAWalkOverOneHundredThousandRows) {
    const int32_t rows = 100000, cols = 40;
    for (int32_t r = 1; r <= rows; ++r) {
        switch (rng() % 5) {
            case 0: ws.Cells(r, 1).SetRowHeight(double(rng() % 400) * 0.75 + 0.75); break;
            case 1: ws.Cells(r, 1).SetRowHeight(double(rng() % 1600) * 0.25 + 0.25); break;
            case 2: if (rng() % 4 == 0) ws.Rows(r).SetHidden(true); break;
            default: ws.SetValueAt(r, 1, Variant(r)); break;  // a stored row of the default height
        }
    }
    for (int32_t c = 1; c <= cols; ++c) {
        if (rng() % 3 == 0) ws.Columns(c).SetColumnWidth(double(rng() % 400) / 8);
        else if (rng() % 5 == 0) ws.Columns(c).SetHidden(true);
    }
    ExpectSameAsWalk(rows, cols, 400);

    // Incremental changes after the geometry was built: heights, hiding, the
    // standard height and the default width.
    for (int i = 0; i < 300; ++i) {
        int32_t r = int32_t(rng() % rows) + 1;
        if (i % 3 == 0) ws.Rows(r).SetHidden(rng() % 2 == 0);
        else ws.Cells(r, 2).SetRowHeight(double(rng() % 100) * 0.75 + 3);
        ws.Columns(int32_t(rng() % cols) + 1).SetColumnWidth(double(rng() % 100) / 4);
    }
    ws.SetStandardHeight(18.75);
    ws.SetDefaultColumnWidth(10);
    ExpectSameAsWalk(rows, cols, 400);
}

// Operations that move sizes in bulk rebuild the geometry.
TEST_F(SheetGeometryOfSheet, FollowsDeletionsCopiesAndTheWholeSheetHeight) {
    const int32_t rows = 3000, cols = 12;
    for (int32_t r = 1; r <= rows; ++r)
        if (r % 7 == 0) ws.Cells(r, 1).SetRowHeight(double(r % 50) + 1.5);
        else if (r % 11 == 0) ws.Rows(r).SetHidden(true);
    for (int32_t c = 1; c <= cols; c += 2) ws.Columns(c).SetColumnWidth(c * 1.5);
    ExpectSameAsWalk(rows, cols, 50);

    ws.GetRange("10:400").Delete();
    ExpectSameAsWalk(rows - 391, cols, 100);
    ws.GetRange("B:D").Delete();
    ExpectSameAsWalk(rows - 391, cols - 3, 100);

    ws.GetRange("1:50").Copy(ws.GetRange("A2000"));
    ExpectSameAsWalk(rows, cols - 3, 100);
    ws.GetRange("A:B").Copy();
    ws.GetRange("F1").PasteSpecial(xlPasteColumnWidths);
    ExpectSameAsWalk(rows, cols, 100);

    ws.Cells().SetRowHeight(22.5);
    EXPECT_EQ(ws.Cells(101, 1).Top(), 100 * 22.5);
    ExpectSameAsWalk(rows, cols, 50);
}

TEST_F(SheetGeometryOfSheet, LoadedSheetsAndCopiesHaveTheirOwnSizes) {
    testing_support::TempDir dir;
    for (int32_t r = 1; r <= 500; r += 3) ws.Cells(r, 1).SetRowHeight(30);
    ws.Rows(5).SetHidden(true);
    ws.Columns(2).SetColumnWidth(25);
    double top = ws.Cells(400, 3).Top(), left = ws.Cells(400, 3).Left();
    Worksheet& copy = ws.CopyTo(wb, nullptr);
    EXPECT_EQ(copy.GetRange("C400").Top(), top);
    EXPECT_EQ(copy.GetRange("C400").Left(), left);
    copy.Rows(1).SetHidden(true);  // the copy's sizes are its own
    EXPECT_EQ(ws.Cells(400, 3).Top(), top);
    EXPECT_EQ(copy.GetRange("C400").Top(), top - 30);
}

}  // namespace

namespace {

// Column widths count digits of the workbook's Normal font: 8 pixels for
// 宋体 11 (the host's default, a zh-CN host's), 7 for Calibri 11.
TEST(ColumnWidths, CountDigitsOfTheNormalFont) {
    Application app;
    Workbook& wb = app.Workbooks().Add();
    Worksheet& ws = wb.Sheet(1);
    ws.SetColumnWidthChars(2, 10);
    EXPECT_DOUBLE_EQ(ws.ColumnWidthPoints(1), 54) << "the default 8.38 characters: 72 px";
    EXPECT_DOUBLE_EQ(ws.ColumnWidthPoints(2), 63.75) << "10 × 8 + 5 = 85 px";
    EXPECT_NEAR(ws.ColumnWidthChars(2), 10, 1e-9);
    EXPECT_DOUBLE_EQ(ws.GetRange("C1").Left(), 54 + 63.75);
    EXPECT_NEAR(ws.CharsForPixels(100), 11.88, 1e-9);

    // Another Normal font: the stored width is read in its digits, and
    // positions already asked for follow.
    testing_support::UseCalibriNormal(wb);
    EXPECT_DOUBLE_EQ(ws.ColumnWidthPoints(1), 48);
    EXPECT_DOUBLE_EQ(ws.ColumnWidthPoints(2), 55.5) << "the stored 10.625 characters at 7 px: 74 px";
    EXPECT_DOUBLE_EQ(ws.GetRange("C1").Left(), 48 + 55.5);

    Font f;
    for (auto [name, size, px] : {std::tuple{"宋体", 11.0, 8}, {"SimSun", 12.0, 8}, {"宋体", 10.0, 7}, {"宋体", 9.0, 6},
                                  {"Calibri", 11.0, 7}, {"Arial", 10.0, 7}}) {
        f.name = name;
        f.size = size;
        EXPECT_EQ(MaxDigitWidthOf(f), px) << name << " " << size;
    }
}

}  // namespace
