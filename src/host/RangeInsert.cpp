// Range.Insert for whole rows and whole columns: the lines at and after the
// range move on by as many lines as it has; the new lines take the formats
// (not the values) of the line before them, as the host's default
// "format from above / from the left" does.
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

void AdjustPictures(Worksheet& ws, bool rows, int32_t at, int32_t count) {
    for (Picture& p : ws.Pictures()) {
        if (rows) MoveSpan(p.from.row, p.to.row, at, count, kMaxRows);
        else MoveSpan(p.from.col, p.to.col, at, count, kMaxColumns);
    }
}

void AdjustReferences(Worksheet& ws, bool rows, int32_t at, int32_t count) {
    Workbook& wb = ws.Parent();
    const std::string& name = ws.Name();
    for (const auto& sheet : wb.SheetList())
        for (Row& row : sheet->RowsData())
            for (Cell& c : row.cells)
                if (c.formula) *c.formula = formula::AdjustForInsert(*c.formula, sheet->Name(), name, rows, at, count);
    for (DefinedName& n : wb.DefinedNames()) {
        std::string scope = n.localSheet >= 0 && n.localSheet < wb.SheetCount() ? wb.Sheet(n.localSheet + 1).Name() : "";
        n.formula = formula::AdjustForInsert(n.formula, scope, name, rows, at, count);
    }
    PageSetup& ps = ws.PageSetup();
    for (std::string* s : {&ps.PrintArea, &ps.PrintTitleRows, &ps.PrintTitleColumns})
        if (!s->empty()) *s = formula::AdjustForInsert(*s, name, name, rows, at, count);
    // A manual break before a moved line stays before it.
    for (int32_t& b : rows ? ps.RowBreaks : ps.ColumnBreaks)
        if (b >= at) b += count;
    std::erase_if(rows ? ps.RowBreaks : ps.ColumnBreaks, [&](int32_t b) { return b >= (rows ? kMaxRows : kMaxColumns); });
}

}  // namespace

void Range::Insert() {
    Worksheet& ws = Sheet();
    if (areas_.size() != 1) throw HostError("不能对多重选定区域使用此命令");
    const Rect& a = Area();
    // Whole columns first: the whole sheet (both) inserts nothing sensible.
    const bool rows = a.IsWholeRows() && !a.IsWholeColumns();
    if (!rows && !a.IsWholeColumns()) throw HostError("只能插入整行或整列");
    if (a.IsWholeRows() && a.IsWholeColumns()) throw HostError(kWouldLoseData);
    const int32_t at = rows ? a.top : a.left, count = rows ? a.Rows() : a.Columns();
    if (rows) CheckRoomForRows(ws, count);
    else CheckRoomForColumns(ws, count);
    if (rows) InsertRowStorage(ws, at, count);
    else InsertColumnStorage(ws, at, count);
    ws.SizesChanged();
    AdjustMerges(ws, rows, at, count);
    AdjustPictures(ws, rows, at, count);
    AdjustReferences(ws, rows, at, count);
    ws.Kept().ApplyInsertion(rows, at, count);
    // The formula engine cannot move cells: its model is built again.
    ws.Parent().Recalculation().StructureChanged();
    ws.MarkChanged();
}

}  // namespace host
