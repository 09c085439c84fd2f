// Range.Delete with a shift: cells, whole rows, whole columns and unions.
#include <algorithm>

#include "host/Formula.h"
#include "host/HostError.h"
#include "host/Range.h"
#include "host/Recalc.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"

namespace host {

namespace {

using formula::Deletion;

// The host's choice when no shift is given: whole rows go up, whole columns
// left; otherwise up for a range wider than tall, else left.
bool ChooseShiftUp(const Rect& first, std::optional<XlDeleteShiftDirection> shift) {
    if (first.IsWholeRows()) return true;
    if (first.IsWholeColumns()) return false;
    if (shift) return *shift == xlShiftUp;
    return first.Columns() > first.Rows();
}

// Areas that overlap become their bounding rectangle, as one deletion.
std::vector<Rect> MergeOverlapping(std::vector<Rect> areas) {
    for (bool merged = true; merged;) {
        merged = false;
        for (size_t i = 0; i < areas.size() && !merged; ++i)
            for (size_t j = i + 1; j < areas.size() && !merged; ++j) {
                if (!areas[i].Intersects(areas[j])) continue;
                Rect& a = areas[i];
                const Rect& b = areas[j];
                a = Rect{std::min(a.top, b.top), std::min(a.left, b.left), std::max(a.bottom, b.bottom), std::max(a.right, b.right)};
                areas.erase(areas.begin() + long(j));
                merged = true;
            }
    }
    return areas;
}

// A merged area that is cut by the band's edge and reaches the moved cells
// cannot be kept whole: the host refuses such a deletion.
void CheckMergesAllowDeletion(const Worksheet& ws, const Deletion& d) {
    int32_t firstLine = d.Spans().front().first;
    for (const Rect& m : ws.MergedAreas()) {
        int32_t lo = d.ShiftUp() ? m.left : m.top, hi = d.ShiftUp() ? m.right : m.bottom;
        int32_t far = d.ShiftUp() ? m.bottom : m.right;
        bool crossesBand = (lo < d.BandFirst() && hi >= d.BandFirst()) || (hi > d.BandLast() && lo <= d.BandLast());
        if (crossesBand && far >= firstLine) throw HostError("无法对合并单元格执行此操作");
    }
}

template <class T>
void CompactLines(std::vector<T>& lines, const Deletion& d) {
    size_t w = size_t(d.Spans().front().first - 1);
    if (w >= lines.size()) return;
    size_t k = 0;
    for (size_t i = w; i < lines.size(); ++i) {
        int32_t line = int32_t(i) + 1;
        while (k < d.Spans().size() && d.Spans()[k].second < line) ++k;
        if (k < d.Spans().size() && line >= d.Spans()[k].first) continue;
        if (w != i) lines[w] = std::move(lines[i]);
        ++w;
    }
    lines.resize(w);
}

auto ColumnLess = [](const Cell& c, int32_t v) { return c.col < v; };

void ShiftCellsUp(Worksheet& ws, const Deletion& d) {
    auto& rows = ws.RowsData();
    if (d.WholeLines()) { CompactLines(rows, d); return; }
    size_t first = size_t(d.Spans().front().first);
    if (first > rows.size()) return;
    std::vector<std::vector<Cell>> bands(rows.size() - first + 1);
    for (size_t r = first; r <= rows.size(); ++r) {
        auto& cells = rows[r - 1].cells;
        auto lo = std::lower_bound(cells.begin(), cells.end(), d.BandFirst(), ColumnLess);
        auto hi = std::lower_bound(lo, cells.end(), d.BandLast() + 1, ColumnLess);
        bands[r - first].assign(std::make_move_iterator(lo), std::make_move_iterator(hi));
        cells.erase(lo, hi);
    }
    for (size_t r = first; r < first + bands.size(); ++r) {
        auto& band = bands[r - first];
        if (band.empty() || d.IsDeleted(int32_t(r))) continue;
        auto& cells = ws.GetRow(d.Map(int32_t(r))).cells;
        auto at = std::lower_bound(cells.begin(), cells.end(), band.front().col, ColumnLess);
        cells.insert(at, std::make_move_iterator(band.begin()), std::make_move_iterator(band.end()));
    }
}

void ShiftCellsLeft(Worksheet& ws, const Deletion& d) {
    auto& rows = ws.RowsData();
    int32_t first = d.Spans().front().first;
    int32_t bottom = std::min<int32_t>(d.BandLast(), int32_t(rows.size()));
    for (int32_t r = std::max(1, d.BandFirst()); r <= bottom; ++r) {
        auto& cells = rows[r - 1].cells;
        auto from = std::lower_bound(cells.begin(), cells.end(), first, ColumnLess);
        auto w = from;
        for (auto it = from; it != cells.end(); ++it) {
            if (d.IsDeleted(it->col)) continue;
            it->col = d.Map(it->col);
            if (w != it) *w = std::move(*it);
            ++w;
        }
        cells.erase(w, cells.end());
    }
    if (d.WholeLines()) CompactLines(ws.ColumnsData(), d);
}

void AdjustMerges(Worksheet& ws, const Deletion& d) {
    auto& merges = ws.MergedAreas();
    std::vector<Rect> kept;
    kept.reserve(merges.size());
    for (const Rect& m : merges) {
        auto moved = d.MapRect(m);
        if (moved && moved->Count() > 1) kept.push_back(*moved);
    }
    merges = std::move(kept);
}

// Pictures lying wholly inside the band across (all of them, for whole rows
// or columns) follow the cells; one whose rows (or columns) are all deleted
// goes with them.
void AdjustPictures(Worksheet& ws, const Deletion& d) {
    auto insideBand = [&](const Picture& p) {
        const int32_t first = d.ShiftUp() ? p.from.col : p.from.row;
        int32_t last = d.ShiftUp() ? p.to.col : p.to.row;
        // An anchor at offset 0 of a cell ends at that cell's edge: it does not cover it.
        if ((d.ShiftUp() ? p.to.colOffset : p.to.rowOffset) == 0 && last > first) --last;
        return first >= d.BandFirst() && last <= d.BandLast();
    };
    auto mapAnchor = [&](int32_t& pos, int64_t& offset) {
        if (d.IsDeleted(pos)) {
            pos = pos - d.DeletedUpTo(pos) + 1;  // the first line after the deleted span
            offset = 0;
        } else {
            pos = d.Map(pos);
        }
    };
    ws.Pictures().EraseIf([&](Picture& p) {
        if (!insideBand(p)) return false;
        int32_t& from = d.ShiftUp() ? p.from.row : p.from.col;
        int32_t& to = d.ShiftUp() ? p.to.row : p.to.col;
        int64_t& fromOff = d.ShiftUp() ? p.from.rowOffset : p.from.colOffset;
        int64_t& toOff = d.ShiftUp() ? p.to.rowOffset : p.to.colOffset;
        int32_t lastCovered = std::max(from, toOff == 0 ? to - 1 : to);
        if (!d.MapSpan(from, lastCovered)) return true;
        mapAnchor(from, fromOff);
        mapAnchor(to, toOff);
        return false;
    });
}

// Every formula of the workbook, defined names and the sheet's print settings.
void AdjustReferences(Worksheet& ws, const Deletion& d) {
    Workbook& wb = ws.Parent();
    const std::string& name = ws.Name();
    for (const auto& sheet : wb.SheetList()) {
        for (Row& row : sheet->RowsData())
            for (Cell& c : row.cells)
                if (c.formula) *c.formula = formula::AdjustForDelete(*c.formula, sheet->Name(), name, d);
    }
    for (DefinedName& n : wb.DefinedNames()) {
        std::string scope = n.localSheet >= 0 && n.localSheet < wb.SheetCount() ? wb.Sheet(n.localSheet + 1).Name() : "";
        n.formula = formula::AdjustForDelete(n.formula, scope, name, d);
    }
    PageSetup& ps = ws.PageSetup();
    for (std::string* s : {&ps.PrintArea, &ps.PrintTitleRows, &ps.PrintTitleColumns}) {
        if (s->empty()) continue;
        *s = formula::AdjustForDelete(*s, name, name, d);
        // A print area or title whose cells are all gone is no longer set.
        if (s->find("#REF!") != std::string::npos) s->clear();
    }
}

void ApplyDeletion(Worksheet& ws, const Deletion& d) {
    CheckMergesAllowDeletion(ws, d);
    if (d.ShiftUp()) ShiftCellsUp(ws, d);
    else ShiftCellsLeft(ws, d);
    if (d.WholeLines()) ws.SizesChanged();  // rows or columns after the deleted ones moved
    AdjustMerges(ws, d);
    AdjustPictures(ws, d);
    AdjustReferences(ws, d);
    ws.Kept().ApplyDeletion(d);  // validation, conditional formats, links, filter, panes, charts
}

}  // namespace

void Range::Delete(std::optional<XlDeleteShiftDirection> shift) {
    Worksheet& ws = Sheet();
    if (areas_.empty()) return;
    bool up = ChooseShiftUp(areas_.front(), shift);
    bool allWhole = std::all_of(areas_.begin(), areas_.end(), [&](const Rect& a) {
        return up ? a.IsWholeRows() : a.IsWholeColumns();
    });
    if (allWhole) {
        // One pass over the storage for any number of whole rows or columns.
        std::vector<std::pair<int32_t, int32_t>> spans;
        spans.reserve(areas_.size());
        for (const Rect& a : areas_) spans.emplace_back(up ? a.top : a.left, up ? a.bottom : a.right);
        ApplyDeletion(ws, Deletion(up, 1, up ? kMaxColumns : kMaxRows, std::move(spans)));
    } else {
        if (std::any_of(areas_.begin(), areas_.end(), [](const Rect& a) { return a.IsWholeRows() || a.IsWholeColumns(); }) &&
            areas_.size() > 1)
            throw HostError("不能对多重选定区域使用此命令");
        std::vector<Rect> areas = MergeOverlapping(areas_);
        // Farthest first, so that no deletion moves the cells of one still to come.
        std::sort(areas.begin(), areas.end(), [&](const Rect& a, const Rect& b) {
            return up ? (a.top != b.top ? a.top > b.top : a.left > b.left) : (a.left != b.left ? a.left > b.left : a.top > b.top);
        });
        for (const Rect& a : areas) ApplyDeletion(ws, Deletion::Of(a, up));
    }
    // The formula engine cannot move cells: its model is built again.
    ws.Parent().Recalculation().StructureChanged();
    ws.MarkChanged();
}

}  // namespace host
