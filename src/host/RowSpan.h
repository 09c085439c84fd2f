#pragma once
// Sequential walks over a sheet's row storage for block operations of Range.
// A row's cells are sorted by column, so a span [left, right] is one
// lower_bound followed by a linear walk — never a search per cell.
#include <algorithm>
#include <iterator>
#include <vector>

#include "host/Address.h"
#include "host/Cell.h"
#include "host/Worksheet.h"

namespace host::rowspan {

inline std::vector<Cell>::iterator FirstAtOrAfter(std::vector<Cell>& cells, int32_t col) {
    return std::lower_bound(cells.begin(), cells.end(), col, [](const Cell& c, int32_t k) { return c.col < k; });
}
inline std::vector<Cell>::const_iterator FirstAtOrAfter(const std::vector<Cell>& cells, int32_t col) {
    return std::lower_bound(cells.begin(), cells.end(), col, [](const Cell& c, int32_t k) { return c.col < k; });
}

// Calls visit(row, cell) for every stored cell inside `r`; rows past the
// stored ones are skipped, so whole columns cost only the used rows.
template <class Sheet, class Visit>
void ForStoredCells(Sheet& ws, const Rect& r, Visit&& visit) {
    auto& rows = ws.RowsData();
    int32_t last = std::min<int32_t>(r.bottom, int32_t(rows.size()));
    for (int32_t row = r.top; row <= last; ++row) {
        auto& cells = rows[row - 1].cells;
        for (auto it = FirstAtOrAfter(cells, r.left); it != cells.end() && it->col <= r.right; ++it) visit(row, *it);
    }
}

// The format a cell created at (row, col) starts with: its row's, else its column's.
inline uint32_t InheritedStyle(const Worksheet& ws, const Row& row, int32_t col) {
    if (row.info.style) return row.info.style;
    const ColumnInfo* ci = ws.FindColumn(col);
    return ci ? ci->style : 0;
}

// Rewrites the cells [left, right] of one row in a single pass: every column
// of the span gets a cell (existing, or new with the inherited format) that
// `fill(cell)` changes; cells left blank without a row or column format to
// override are dropped again so that the storage holds only used cells.
template <class Fill>
void RewriteSpan(Worksheet& ws, int32_t rowNumber, int32_t left, int32_t right, Fill&& fill) {
    Row& row = ws.GetRow(rowNumber);
    auto& cells = row.cells;
    auto first = FirstAtOrAfter(cells, left);
    auto last = first;
    while (last != cells.end() && last->col <= right) ++last;
    std::vector<Cell> span;
    span.reserve(size_t(right - left + 1));
    auto it = first;
    for (int32_t col = left; col <= right; ++col) {
        if (it != last && it->col == col) {
            span.push_back(std::move(*it++));
        } else {
            span.emplace_back(col);
            span.back().style = InheritedStyle(ws, row, col);
        }
        Cell& c = span.back();
        fill(c);
        if (c.IsBlank() && InheritedStyle(ws, row, col) == 0) span.pop_back();
    }
    auto pos = cells.erase(first, last);
    cells.insert(pos, std::make_move_iterator(span.begin()), std::make_move_iterator(span.end()));
}

}  // namespace host::rowspan
