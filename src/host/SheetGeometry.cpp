#include "host/SheetGeometry.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "host/Address.h"

namespace host {

namespace {

constexpr double kUnitsPerPoint = 1e6;
constexpr double kEmuPerPoint = 12700;

// Exact below 2^53 micro-points (about 9 × 10^9 points), far beyond the
// largest sheet (1,048,576 rows of 409 pt). Positions past 10^12 points are
// all past the sheet's end and are taken as that.
int64_t ToUnits(double points) {
    constexpr double kFar = 1e12;
    return std::llround(std::clamp(points, -kFar, kFar) * kUnitsPerPoint);
}
double ToPoints(int64_t units) { return double(units) / kUnitsPerPoint; }

}  // namespace

LineSizes::LineSizes(int32_t lineCount, double defaultSize) : count_(lineCount), default_(ToUnits(defaultSize)) {
    own_.assign(1, -1);
    tree_.assign(1, Sum{});
}

double LineSizes::DefaultSize() const { return ToPoints(default_); }

void LineSizes::SetDefaultSize(double points) { default_ = ToUnits(points); }

void LineSizes::SetSize(int32_t line, std::optional<double> points) {
    if (line < 1 || line > count_) return;
    int32_t stored = int32_t(own_.size()) - 1;
    if (line > stored) {
        if (!points) return;  // already the default
        Grow(line);
        stored = int32_t(own_.size()) - 1;
    }
    int64_t before = own_[line];
    int64_t after = points ? std::max<int64_t>(ToUnits(*points), 0) : -1;
    if (before == after) return;
    own_[line] = after;
    Sum delta{(after >= 0 ? after : 0) - (before >= 0 ? before : 0), int64_t(after < 0) - int64_t(before < 0)};
    for (int32_t i = line; i <= stored; i += i & -i) {
        tree_[i].own += delta.own;
        tree_[i].defaults += delta.defaults;
    }
}

void LineSizes::Assign(const std::vector<double>& own) {
    size_t last = own.size();
    while (last > 0 && own[last - 1] < 0) --last;
    last = std::min<size_t>(last, size_t(count_));
    own_.assign(last + 1, -1);
    for (size_t i = 0; i < last; ++i) own_[i + 1] = own[i] < 0 ? -1 : ToUnits(own[i]);
    Rebuild();
}

double LineSizes::Size(int32_t line) const {
    if (line >= 1 && size_t(line) < own_.size() && own_[line] >= 0) return ToPoints(own_[line]);
    return ToPoints(default_);
}

// Room for `line`, doubling so that setting lines in order costs O(1) each
// on average; never past the axis's last line.
void LineSizes::Grow(int32_t line) {
    size_t stored = own_.size() - 1;
    size_t want = std::max<size_t>({size_t(line), stored * 2, 64});
    own_.resize(std::min<size_t>(want, size_t(count_)) + 1, -1);
    Rebuild();
}

void LineSizes::Rebuild() {
    size_t n = own_.size() - 1;
    tree_.assign(n + 1, Sum{});
    for (size_t i = 1; i <= n; ++i) {
        tree_[i].own += own_[i] >= 0 ? own_[i] : 0;
        tree_[i].defaults += own_[i] < 0;
        size_t parent = i + (i & (~i + 1));
        if (parent <= n) {
            tree_[parent].own += tree_[i].own;
            tree_[parent].defaults += tree_[i].defaults;
        }
    }
}

LineSizes::Sum LineSizes::Prefix(int32_t n) const {
    Sum s;
    for (int32_t i = n; i > 0; i -= i & -i) {
        s.own += tree_[i].own;
        s.defaults += tree_[i].defaults;
    }
    return s;
}

int64_t LineSizes::UnitsBefore(int32_t line) const {
    int32_t n = std::clamp(line, 1, count_ + 1) - 1;
    int32_t stored = int32_t(own_.size()) - 1;
    int32_t k = std::min(n, stored);
    Sum s = Prefix(k);
    s.defaults += n - k;
    return Units(s);
}

double LineSizes::Before(int32_t line) const { return ToPoints(UnitsBefore(line)); }

double LineSizes::Span(int32_t first, int32_t last) const {
    return ToPoints(UnitsBefore(last + 1) - UnitsBefore(first));
}

int32_t LineSizes::LineAt(double points) const {
    int64_t y = ToUnits(points);
    if (y < 0) return 1;
    // The last line whose far edge is at or before y, by descending the tree.
    int32_t stored = int32_t(own_.size()) - 1;
    int32_t pos = 0;
    int64_t reached = 0;
    for (int32_t step = stored ? int32_t(std::bit_floor(uint32_t(stored))) : 0; step; step >>= 1) {
        int32_t next = pos + step;
        if (next > stored) continue;
        int64_t end = reached + Units(tree_[next]);
        if (end <= y) {
            pos = next;
            reached = end;
        }
    }
    int64_t line;
    if (pos < stored) {
        line = pos + 1;
    } else if (default_ <= 0) {
        line = count_;  // every line after the stored ones has size 0
    } else {
        line = int64_t(stored) + (y - reached) / default_ + 1;
    }
    return int32_t(std::min<int64_t>(line, count_));
}

SheetGeometry::SheetGeometry() : rows_(kMaxRows), columns_(kMaxColumns) {}

CellAnchor SheetGeometry::AnchorAt(double x, double y) const {
    CellAnchor a;
    a.col = ColumnAt(x);
    a.row = RowAt(y);
    a.colOffset = std::llround((x - Left(a.col)) * kEmuPerPoint);
    a.rowOffset = std::llround((y - Top(a.row)) * kEmuPerPoint);
    return a;
}

}  // namespace host
