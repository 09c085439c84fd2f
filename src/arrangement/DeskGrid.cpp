#include "arrangement/DeskGrid.h"

#include <algorithm>
#include <unordered_map>

#include "arrangement/RandomDraw.h"
#include "arrangement/RowSwap.h"

namespace arrangement {

namespace {

constexpr int32_t kEmpty = -1;

// Cells are numbered column by column from 0: cell (position e, column k),
// both from 1, is (k − 1) × rows + (e − 1). Classes are small ids, kEmpty for
// a cell without a candidate.
class Grid {
public:
    Grid(int32_t rows, int32_t cols) : rows_(rows), cols_(cols), cls_(size_t(rows) * cols, kEmpty), row_(cls_.size(), 0) {}

    int32_t Rows() const { return rows_; }
    int32_t Cols() const { return cols_; }
    int32_t Cells() const { return rows_ * cols_; }
    int32_t Index(int32_t e, int32_t k) const { return (k - 1) * rows_ + (e - 1); }
    int32_t Class(int32_t e, int32_t k) const { return cls_[Index(e, k)]; }
    int32_t ClassAt(int32_t cell) const { return cls_[cell]; }
    int32_t RowAt(int32_t cell) const { return row_[cell]; }
    void Set(int32_t e, int32_t k, int32_t cls, int32_t row) { cls_[Index(e, k)] = cls, row_[Index(e, k)] = row; }
    void SwapClasses(int32_t a, int32_t b) { std::swap(cls_[a], cls_[b]); }

    // The horizontal and vertical neighbours the conflict test looks at: the
    // next column (the previous one from the last column), the next desk (the
    // previous one from the last desk).
    bool InConflict(int32_t cell) const {
        int32_t x = cls_[cell], e = cell % rows_ + 1, k = cell / rows_ + 1;
        if (x == kEmpty) return false;
        if (cols_ > 1 && Class(e, k < cols_ ? k + 1 : k - 1) == x) return true;
        return rows_ > 1 && Class(e < rows_ ? e + 1 : e - 1, k) == x;
    }

    // Whether any of the four neighbours of `cell`, other than `except`, holds class c.
    bool NeighbourHolds(int32_t cell, int32_t c, int32_t except) const {
        int32_t e = cell % rows_ + 1, k = cell / rows_ + 1;
        const int32_t around[4][2] = {{e - 1, k}, {e + 1, k}, {e, k - 1}, {e, k + 1}};
        for (const auto& n : around) {
            if (n[0] < 1 || n[0] > rows_ || n[1] < 1 || n[1] > cols_) continue;
            int32_t i = Index(n[0], n[1]);
            if (i != except && cls_[i] == c) return true;
        }
        return false;
    }

private:
    int32_t rows_, cols_;
    std::vector<int32_t> cls_, row_;
};

class ClassIds {
public:
    int32_t Of(const host::Variant& v) {
        if (v.IsEmpty()) return kEmpty;
        return ids_.try_emplace(ValueKey(v), int32_t(ids_.size())).first->second;
    }

private:
    std::unordered_map<std::string, int32_t> ids_;
};

Grid BuildGrid(const WorkTable& t, const DeskLayout& layout) {
    Grid grid(layout.positions, int32_t(layout.rows.size()));
    ClassIds ids;
    for (int32_t k = 1; k <= grid.Cols(); ++k)
        for (int32_t e = 1; e <= grid.Rows(); ++e)
            if (int32_t row = layout.rows[k - 1][e - 1]) grid.Set(e, k, ids.Of(t.ClassOf(row)), row);
    return grid;
}

// After the swap neither candidate may have a same-class neighbour.
bool SwapPasses(const Grid& g, int32_t cell, int32_t target) {
    int32_t x = g.ClassAt(cell), y = g.ClassAt(target);
    return y != kEmpty && y != x && !g.NeighbourHolds(cell, y, target) && !g.NeighbourHolds(target, x, cell);
}

void Repair(Grid& g, WorkTable& t, platform::Toolkit& tk) {
    for (int32_t cell = 0; cell < g.Cells(); ++cell) {
        if (!g.InConflict(cell)) continue;
        tk.Randomize();
        LazyPermutation targets(tk, 0, g.Cells() - 1);
        for (int32_t target; targets.Next(target);) {
            if (!SwapPasses(g, cell, target)) continue;
            g.SwapClasses(cell, target);
            SwapCandidates(t, g.RowAt(cell), g.RowAt(target));
            break;
        }
    }
}

std::string Num(int32_t v) { return std::to_string(v); }

std::vector<std::string> Report(const Grid& g, const Room& room, const std::string& sheetName) {
    std::string head = "第" + host::ToText(room.number) + "考场《" + sheetName + "》";
    std::string side = head + "左右同班：", back = head + "前后同班：";
    bool anySide = false, anyBack = false;
    for (int32_t e = 1; e <= g.Rows(); ++e)
        for (int32_t k = 1; k < g.Cols(); ++k)
            if (g.Class(e, k) != kEmpty && g.Class(e, k) == g.Class(e, k + 1)) {
                side += "第" + Num(k) + "、" + Num(k + 1) + "组的第" + Num(e) + "桌考生同班；";
                anySide = true;
            }
    for (int32_t k = 1; k <= g.Cols(); ++k)
        for (int32_t e = 1; e < g.Rows(); ++e)
            if (g.Class(e, k) != kEmpty && g.Class(e, k) == g.Class(e + 1, k)) {
                back += "第" + Num(k) + "组的第" + Num(e) + "、" + Num(e + 1) + "桌考生同班；";
                anyBack = true;
            }
    std::vector<std::string> lines;
    if (anySide) lines.push_back(side);
    if (anyBack) lines.push_back(back);
    return lines;
}

}  // namespace

DeskLayout LayOutDesks(const WorkTable& t, const Room& room, int16_t groups, int32_t firstRow, DeskOrder order) {
    DeskLayout layout;
    const int32_t g = std::max<int16_t>(groups, 0);
    for (int32_t i = 0; i < g && i < int32_t(room.groups.size()); ++i)
        layout.positions = std::max<int32_t>(layout.positions, room.groups[i]);
    layout.rows.assign(g, std::vector<int32_t>(layout.positions, 0));
    int32_t s = firstRow, k = 0;
    for (int32_t i = 0; i < g && i < int32_t(room.groups.size()); ++i) {
        int32_t n = room.groups[i];
        if (n <= 0) continue;
        ++k;
        if (s + n - 1 > t.LastRow()) break;
        bool upwards = order == DeskOrder::SShape && k % 2 == 0;
        for (int32_t b = 1; b <= n; ++b) layout.rows[k - 1][b - 1] = upwards ? s + n - b : s + b - 1;
        s += n;
    }
    return layout;
}

std::vector<std::string> CheckDeskGrid(WorkTable& table, const Room& room, int16_t groups, int32_t firstRow,
                                       const std::string& sheetName, DeskOrder order, platform::Toolkit& toolkit) {
    Grid grid = BuildGrid(table, LayOutDesks(table, room, groups, firstRow, order));
    if (grid.Cells() == 0) return {};
    Repair(grid, table, toolkit);
    return Report(grid, room, sheetName);
}

}  // namespace arrangement
