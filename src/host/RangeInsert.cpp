// Range.Insert for whole rows and whole columns: the lines at and after the
// range move on by as many lines as it has; the new lines take the formats
// (not the values) of the line before them, as the host's default
// "format from above / from the left" does. Inserting cells moves the band
// of columns (shift down) or rows (shift right) that the range spans in the
// same way, and nothing outside it.
#include <algorithm>

#include "host/Formula.h"
#include "host/HostError.h"
#include "host/Range.h"
#include "host/Recalc.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"

namespace host {

namespace {

constexpr const char* kWouldLoseData = "为了防止可能的数据丢失，不能将非空白单元格移到工作表之外";
constexpr const char* kMergedCellsInTheWay = "无法对合并单元格执行此操作：移动的单元格会把合并单元格拆开。请先取消合并，或选择包含整个合并区域的单元格。";

// Whether a stored cell holds something that would be pushed off the sheet.
bool HoldsData(const Cell& c) { return !c.value.IsEmpty() || c.formula; }

void CheckRoomForRows(const Worksheet& ws, int32_t count) {
    const auto& rows = ws.RowsData();
    for (int32_t r = std::max<int32_t>(1, kMaxRows - count + 1); r <= int32_t(rows.size()); ++r)
        for (const Cell& c : rows[size_t(r - 1)].cells)
            if (HoldsData(c)) throw HostError(kWouldLoseData);
}

void CheckRoomForColumns(const Worksheet& ws, int32_t count) {
    for (const Row& row : ws.RowsData())
        for (auto it = row.cells.rbegin(); it != row.cells.rend() && it->col > kMaxColumns - count; ++it)
            if (HoldsData(*it)) throw HostError(kWouldLoseData);
}

// The format-only copy of a row that new rows start from.
Row FormatsOf(const Row& from) {
    Row r;
    r.info = from.info;
    r.info.hidden = false;
    for (const Cell& c : from.cells)
        if (c.style) r.cells.emplace_back(c.col).style = c.style;
    return r;
}

void InsertRowStorage(Worksheet& ws, int32_t at, int32_t count) {
    auto& rows = ws.RowsData();
    if (size_t(at - 1) >= rows.size()) {
        // Nothing stored at or below: only a format to carry down, if any.
        if (at > 1 && size_t(at - 1) == rows.size()) {
            Row model = FormatsOf(rows[size_t(at - 2)]);
            if (!model.info.IsDefault() || !model.cells.empty()) rows.insert(rows.end(), size_t(count), model);
        }
    } else {
        Row model = at > 1 ? FormatsOf(rows[size_t(at - 2)]) : Row{};
        rows.insert(rows.begin() + (at - 1), size_t(count), model);
    }
    if (rows.size() > size_t(kMaxRows)) rows.resize(size_t(kMaxRows));
}

void InsertColumnStorage(Worksheet& ws, int32_t at, int32_t count) {
    for (Row& row : ws.RowsData()) {
        auto first = std::lower_bound(row.cells.begin(), row.cells.end(), at,
                                      [](const Cell& c, int32_t v) { return c.col < v; });
        for (auto it = first; it != row.cells.end(); ++it) it->col += count;
        // Cells pushed off the sheet were checked to be empty.
        while (!row.cells.empty() && row.cells.back().col > kMaxColumns) row.cells.pop_back();
        if (at == 1 || first == row.cells.begin()) continue;
        const Cell& left = *(first - 1);
        if (left.col != at - 1 || !left.style) continue;
        const uint32_t style = left.style;
        const auto from = first - row.cells.begin();
        const int32_t added = std::min(count, kMaxColumns - at + 1);
        row.cells.insert(first, size_t(added), Cell{});
        for (int32_t k = 0; k < added; ++k) {
            Cell& c = row.cells[size_t(from + k)];
            c.col = at + k;
            c.style = style;
        }
    }
    auto& cols = ws.ColumnsData();
    if (size_t(at - 1) <= cols.size() && at > 1) {
        ColumnInfo model = cols.size() >= size_t(at - 1) ? cols[size_t(at - 2)] : ColumnInfo{};
        model.hidden = false;
        if (size_t(at - 1) < cols.size() || !model.IsDefault())
            cols.insert(cols.begin() + (at - 1), size_t(count), model);
    } else if (size_t(at - 1) < cols.size()) {
        cols.insert(cols.begin() + (at - 1), size_t(count), ColumnInfo{});
    }
    if (cols.size() > size_t(kMaxColumns)) cols.resize(size_t(kMaxColumns));
}

// A line at or after the insertion moves on; a span over it grows.
void MoveSpan(int32_t& lo, int32_t& hi, int32_t at, int32_t count, int32_t max) {
    if (lo >= at) lo = std::min(lo + count, max);
    if (hi >= at) hi = std::min(hi + count, max);
}

void AdjustMerges(Worksheet& ws, bool rows, int32_t at, int32_t count) {
    std::vector<Rect> moved;
    for (Rect m : ws.MergedAreas()) {
        if (rows) MoveSpan(m.top, m.bottom, at, count, kMaxRows);
        else MoveSpan(m.left, m.right, at, count, kMaxColumns);
        if (m.Count() > 1) moved.push_back(m);
    }
    ws.MergedAreas() = std::move(moved);
}

// A picture moves with the band when it lies wholly inside it across.
void AdjustPictures(Worksheet& ws, bool rows, int32_t at, int32_t count, int32_t bandFirst, int32_t bandLast) {
    for (Picture& p : ws.Pictures()) {
        const CellAnchor& lastCell = p.to;
        const int32_t across0 = rows ? p.from.col : p.from.row;
        int32_t across1 = rows ? lastCell.col : lastCell.row;
        // An anchor at offset 0 of a cell ends at that cell's edge: it does not cover it.
        if ((rows ? lastCell.colOffset : lastCell.rowOffset) == 0 && across1 > across0) --across1;
        if (across0 < bandFirst || across1 > bandLast) continue;
        if (rows) MoveSpan(p.from.row, p.to.row, at, count, kMaxRows);
        else MoveSpan(p.from.col, p.to.col, at, count, kMaxColumns);
    }
}

void AdjustReferences(Worksheet& ws, bool rows, int32_t at, int32_t count, int32_t bandFirst = 1,
                      int32_t bandLast = kMaxRows) {
    Workbook& wb = ws.Parent();
    const std::string& name = ws.Name();
    auto adjust = [&](const std::string& f, const std::string& on) {
        return formula::AdjustForInsert(f, on, name, rows, at, count, bandFirst, bandLast);
    };
    for (const auto& sheet : wb.SheetList())
        for (Row& row : sheet->RowsData())
            for (Cell& c : row.cells)
                if (c.formula) *c.formula = adjust(*c.formula, sheet->Name());
    for (DefinedName& n : wb.DefinedNames()) {
        std::string scope = n.localSheet >= 0 && n.localSheet < wb.SheetCount() ? wb.Sheet(n.localSheet + 1).Name() : "";
        n.formula = adjust(n.formula, scope);
    }
    PageSetup& ps = ws.PageSetup();
    for (std::string* s : {&ps.PrintArea, &ps.PrintTitleRows, &ps.PrintTitleColumns})
        if (!s->empty()) *s = adjust(*s, name);
    if (bandFirst > 1 || bandLast < (rows ? kMaxColumns : kMaxRows)) return;
    // A manual break before a moved line stays before it.
    for (int32_t& b : rows ? ps.RowBreaks : ps.ColumnBreaks)
        if (b >= at) b += count;
    std::erase_if(rows ? ps.RowBreaks : ps.ColumnBreaks, [&](int32_t b) { return b >= (rows ? kMaxRows : kMaxColumns); });
}

// ----- cells -----

// The merged areas must survive the shift whole: one that lies partly in the
// band across and reaches the moved cells would be torn apart.
void CheckMergesAllowInsertion(const Worksheet& ws, bool down, const Rect& a) {
    const int32_t bandFirst = down ? a.left : a.top, bandLast = down ? a.right : a.bottom;
    const int32_t at = down ? a.top : a.left;
    for (const Rect& m : ws.MergedAreas()) {
        const int32_t lo = down ? m.left : m.top, hi = down ? m.right : m.bottom;
        const int32_t far = down ? m.bottom : m.right;
        const bool crossesBand = (lo < bandFirst && hi >= bandFirst) || (hi > bandLast && lo <= bandLast);
        if (crossesBand && far >= at) throw HostError(kMergedCellsInTheWay);
    }
}

// Cells of the band at the sheet's far end that the shift would push off it.
void CheckRoomForCells(const Worksheet& ws, bool down, const Rect& a) {
    const auto& rows = ws.RowsData();
    if (down) {
        for (int32_t r = std::max<int32_t>(1, kMaxRows - a.Rows() + 1); r <= int32_t(rows.size()); ++r)
            for (const Cell& c : rows[size_t(r - 1)].cells)
                if (c.col >= a.left && c.col <= a.right && HoldsData(c)) throw HostError(kWouldLoseData);
        return;
    }
    for (int32_t r = a.top; r <= std::min<int32_t>(a.bottom, int32_t(rows.size())); ++r)
        for (auto it = rows[size_t(r - 1)].cells.rbegin(); it != rows[size_t(r - 1)].cells.rend() &&
                                                           it->col > kMaxColumns - a.Columns();
             ++it)
            if (HoldsData(*it)) throw HostError(kWouldLoseData);
}

auto ColumnLess = [](const Cell& c, int32_t v) { return c.col < v; };

// Shift down: the cells of columns [left, right] from row `top` on move
// down by the range's height; the new cells take the formats above them.
void ShiftCellsDown(Worksheet& ws, const Rect& a) {
    auto& rows = ws.RowsData();
    const int32_t count = a.Rows();
    const size_t first = size_t(a.top);
    std::vector<std::vector<Cell>> bands;
    if (first <= rows.size()) bands.resize(rows.size() - first + 1);
    for (size_t r = first; r <= rows.size(); ++r) {
        auto& cells = rows[r - 1].cells;
        auto lo = std::lower_bound(cells.begin(), cells.end(), a.left, ColumnLess);
        auto hi = std::lower_bound(lo, cells.end(), a.right + 1, ColumnLess);
        bands[r - first].assign(std::make_move_iterator(lo), std::make_move_iterator(hi));
        cells.erase(lo, hi);
    }
    for (size_t i = 0; i < bands.size(); ++i) {
        auto& band = bands[i];
        const int32_t to = int32_t(first + i) + count;
        if (band.empty() || to > kMaxRows) continue;  // pushed off: checked to hold no data
        auto& cells = ws.GetRow(to).cells;
        auto at = std::lower_bound(cells.begin(), cells.end(), band.front().col, ColumnLess);
        cells.insert(at, std::make_move_iterator(band.begin()), std::make_move_iterator(band.end()));
    }
    if (a.top == 1) return;
    // Formats from above, taken after the move (the row above did not move).
    std::vector<std::pair<int32_t, uint32_t>> above;
    for (int32_t c = a.left; c <= a.right; ++c)
        if (const Cell* cell = ws.FindCell(a.top - 1, c); cell && cell->style) above.emplace_back(c, cell->style);
    for (int32_t r = a.top; r < a.top + count; ++r)
        for (const auto& [c, style] : above) ws.GetCell(r, c).style = style;
}

// Shift right: in rows [top, bottom] the cells from column `left` on move
// right by the range's width; the new cells take the formats left of them.
void ShiftCellsRight(Worksheet& ws, const Rect& a) {
    auto& rows = ws.RowsData();
    const int32_t count = a.Columns();
    for (int32_t r = a.top; r <= std::min<int32_t>(a.bottom, int32_t(rows.size())); ++r) {
        auto& cells = rows[size_t(r - 1)].cells;
        auto from = std::lower_bound(cells.begin(), cells.end(), a.left, ColumnLess);
        for (auto it = from; it != cells.end(); ++it) it->col += count;
        while (!cells.empty() && cells.back().col > kMaxColumns) cells.pop_back();
        if (a.left == 1 || from == cells.begin()) continue;
        const Cell& left = *(from - 1);
        if (left.col != a.left - 1 || !left.style) continue;
        const uint32_t style = left.style;
        const auto pos = from - cells.begin();
        cells.insert(from, size_t(count), Cell{});
        for (int32_t k = 0; k < count; ++k) {
            Cell& c = cells[size_t(pos + k)];
            c.col = a.left + k;
            c.style = style;
        }
    }
}

// Merged areas inside the band at or after the insertion move; one reaching
// over it grows (the merge checks let no other kind through).
void AdjustMergesInBand(Worksheet& ws, bool down, const Rect& a) {
    std::vector<Rect> moved;
    const int32_t count = down ? a.Rows() : a.Columns();
    for (Rect m : ws.MergedAreas()) {
        const bool inBand = down ? m.left >= a.left && m.right <= a.right : m.top >= a.top && m.bottom <= a.bottom;
        if (inBand && down) MoveSpan(m.top, m.bottom, a.top, count, kMaxRows);
        if (inBand && !down) MoveSpan(m.left, m.right, a.left, count, kMaxColumns);
        if (m.Count() > 1) moved.push_back(m);
    }
    ws.MergedAreas() = std::move(moved);
}

void InsertCells(Worksheet& ws, const Rect& a, bool down) {
    CheckRoomForCells(ws, down, a);
    CheckMergesAllowInsertion(ws, down, a);
    if (down) ShiftCellsDown(ws, a);
    else ShiftCellsRight(ws, a);
    AdjustMergesInBand(ws, down, a);
    const int32_t at = down ? a.top : a.left, count = down ? a.Rows() : a.Columns();
    const int32_t bandFirst = down ? a.left : a.top, bandLast = down ? a.right : a.bottom;
    AdjustPictures(ws, down, at, count, bandFirst, bandLast);
    AdjustReferences(ws, down, at, count, bandFirst, bandLast);
    ws.Kept().ApplyInsertion(down, at, count, bandFirst, bandLast);
}

}  // namespace

void Range::Insert(std::optional<XlInsertShiftDirection> shift) {
    Worksheet& ws = Sheet();
    if (areas_.size() != 1) throw HostError("不能对多重选定区域使用此命令");
    const Rect& a = Area();
    if (!a.IsWholeRows() && !a.IsWholeColumns()) {
        const bool down = shift ? *shift == xlShiftDown : a.Columns() > a.Rows();
        InsertCells(ws, a, down);
        ws.Parent().Recalculation().StructureChanged();
        ws.MarkChanged();
        return;
    }
    // Whole columns first: the whole sheet (both) inserts nothing sensible.
    const bool rows = a.IsWholeRows() && !a.IsWholeColumns();
    if (a.IsWholeRows() && a.IsWholeColumns()) throw HostError(kWouldLoseData);
    const int32_t at = rows ? a.top : a.left, count = rows ? a.Rows() : a.Columns();
    if (rows) CheckRoomForRows(ws, count);
    else CheckRoomForColumns(ws, count);
    if (rows) InsertRowStorage(ws, at, count);
    else InsertColumnStorage(ws, at, count);
    ws.SizesChanged();
    AdjustMerges(ws, rows, at, count);
    AdjustPictures(ws, rows, at, count, 1, rows ? kMaxColumns : kMaxRows);
    AdjustReferences(ws, rows, at, count);
    ws.Kept().ApplyInsertion(rows, at, count);
    // The formula engine cannot move cells: its model is built again.
    ws.Parent().Recalculation().StructureChanged();
    ws.MarkChanged();
}

}  // namespace host
