#pragma once
// Where rows and columns lie on a sheet, in points from its top-left corner:
// cumulative row heights and column widths, kept up to date as sizes change,
// with position ↔ row/column look-ups in O(log n) both ways.
#include <cstdint>
#include <optional>
#include <vector>

namespace host {

// A position on the sheet as the file anchors pictures: a cell and offsets
// into it in EMU (12,700 per point), so that it follows row and column moves.
struct CellAnchor {
    int32_t col = 1, row = 1;    // 1-based
    int64_t colOffset = 0, rowOffset = 0;
    friend bool operator==(const CellAnchor&, const CellAnchor&) = default;
};

// The sizes of the lines (rows or columns) of one axis. A line has the axis's
// default size unless it has one of its own; a hidden line has size 0. Lines
// are stored up to the last one given a size of its own (two Fenwick trees:
// the sum of own sizes and the count of default-sized lines, so that a change
// of the default costs nothing); the lines after it are counted, not stored.
//
// Sizes are summed as whole micro-points in 64-bit integers: every sum is exact
// and independent of the order of the additions, so the position of a line and
// the line found at that position always agree. Sizes that are multiples of
// 1/64 pt (all column widths, which are whole pixels of 0.75 pt, and heights in
// 0.25 or 0.75 pt steps) give exactly the sums of a line-by-line walk; other
// decimal sizes of up to 6 places give the correctly rounded sum.
class LineSizes {
public:
    explicit LineSizes(int32_t lineCount, double defaultSize = 0);

    int32_t LineCount() const { return count_; }
    double DefaultSize() const;
    void SetDefaultSize(double points);
    // The line's own size in points (0 hides it); nullopt gives it the default size again.
    void SetSize(int32_t line, std::optional<double> points);
    // Every line at once: own[i] is line i + 1's own size, negative for the default size.
    void Assign(const std::vector<double>& own);
    double Size(int32_t line) const;

    // The sum of the sizes of lines 1 … line − 1; line may be LineCount() + 1.
    double Before(int32_t line) const;
    // The sum of the sizes of lines first … last.
    double Span(int32_t first, int32_t last) const;
    // The line holding a position: the first line whose far edge lies beyond it,
    // passing over lines of size 0; LineCount() past the last line, 1 before the first.
    int32_t LineAt(double points) const;

private:
    struct Sum {
        int64_t own = 0;      // micro-points of the lines with a size of their own
        int64_t defaults = 0; // number of lines of the default size
    };
    int64_t Units(const Sum& s) const { return s.own + s.defaults * default_; }
    Sum Prefix(int32_t n) const;  // lines 1 … n, n ≤ stored
    int64_t UnitsBefore(int32_t line) const;
    void Grow(int32_t line);
    void Rebuild();

    int32_t count_;
    int64_t default_ = 0;        // micro-points
    std::vector<int64_t> own_;   // own_[line], −1 for the default size; own_[0] unused
    std::vector<Sum> tree_;      // Fenwick tree over own_, 1-based
};

// The geometry of one worksheet: its rows and columns.
class SheetGeometry {
public:
    SheetGeometry();

    LineSizes& Rows() { return rows_; }
    const LineSizes& Rows() const { return rows_; }
    LineSizes& Columns() { return columns_; }
    const LineSizes& Columns() const { return columns_; }

    double Top(int32_t row) const { return rows_.Before(row); }
    double Left(int32_t col) const { return columns_.Before(col); }
    double Height(int32_t first, int32_t last) const { return rows_.Span(first, last); }
    double Width(int32_t first, int32_t last) const { return columns_.Span(first, last); }
    int32_t RowAt(double y) const { return rows_.LineAt(y); }
    int32_t ColumnAt(double x) const { return columns_.LineAt(x); }

    // The cell holding the point (x, y) in points, and the point's offsets into it in EMU.
    CellAnchor AnchorAt(double x, double y) const;

private:
    LineSizes rows_, columns_;
};

}  // namespace host
