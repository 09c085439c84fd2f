// Range.Copy to a destination, Copy to the clipboard, and PasteSpecial.
#include <algorithm>

#include "host/Application.h"
#include "host/Formula.h"
#include "host/HostError.h"
#include "host/Range.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"

namespace host {

namespace {

// One copy per row of the sheet at most: a cell pasted down a whole column is
// the largest tiling the storage is meant for.
constexpr int64_t kMaxTiles = kMaxRows;

// What a copy carries, taken before the destination changes (source and
// destination may overlap).
struct Snapshot {
    const Worksheet* sheet = nullptr;
    Rect area;
    std::vector<std::pair<int32_t, Cell>> cells;  // (row, cell)
    std::vector<Rect> merges;                     // inside the area
    std::vector<std::pair<int32_t, RowInfo>> rows;        // whole rows only
    std::vector<std::pair<int32_t, ColumnInfo>> columns;  // whole columns, and for column widths
};

Snapshot Take(const Worksheet& ws, Rect area) {
    Snapshot s;
    s.sheet = &ws;
    s.area = area;
    const auto& rows = ws.RowsData();
    for (int32_t r = area.top; r <= area.bottom && size_t(r) <= rows.size(); ++r) {
        const Row& row = rows[r - 1];
        if (area.IsWholeRows() && !row.info.IsDefault()) s.rows.emplace_back(r, row.info);
        for (const Cell& c : row.cells)
            if (c.col >= area.left && c.col <= area.right) s.cells.emplace_back(r, c);
    }
    for (const Rect& m : ws.MergedAreas().Intersecting(area))
        if (area.Contains(m)) s.merges.push_back(m);
    const auto& cols = ws.ColumnsData();
    for (int32_t c = area.left; c <= area.right && size_t(c) <= cols.size(); ++c)
        if (!cols[c - 1].IsDefault()) s.columns.emplace_back(c, cols[c - 1]);
    return s;
}

struct Target {
    Worksheet& ws;
    Rect area;
    int32_t dRows, dCols;
};

Target Place(const Snapshot& s, Worksheet& ws, int32_t row, int32_t col) {
    if (s.area.IsWholeRows() && col != 1) throw HostError("复制区域与粘贴区域形状不同");
    if (s.area.IsWholeColumns() && row != 1) throw HostError("复制区域与粘贴区域形状不同");
    Rect to{row, col, row + s.area.Rows() - 1, col + s.area.Columns() - 1};
    if (to.bottom > kMaxRows || to.right > kMaxColumns) throw HostError("粘贴区域超出工作表");
    return Target{ws, to, row - s.area.top, col - s.area.left};
}

template <class F>
void ForStoredCells(Worksheet& ws, const Rect& a, F f) {
    auto& rows = ws.RowsData();
    for (int32_t r = a.top; r <= a.bottom && size_t(r) <= rows.size(); ++r)
        for (Cell& c : rows[r - 1].cells)
            if (c.col >= a.left && c.col <= a.right) f(rows[r - 1], c);
}

void EraseCells(Worksheet& ws, const Rect& a) {
    auto& rows = ws.RowsData();
    for (int32_t r = a.top; r <= a.bottom && size_t(r) <= rows.size(); ++r)
        std::erase_if(rows[r - 1].cells, [&](const Cell& c) { return c.col >= a.left && c.col <= a.right; });
}

void PasteMerges(const Snapshot& s, const Target& t) {
    t.ws.MergedAreas().RemoveIntersecting(t.area);
    for (const Rect& m : s.merges)
        t.ws.MergedAreas().push_back(Rect{m.top + t.dRows, m.left + t.dCols, m.bottom + t.dRows, m.right + t.dCols});
}

void PasteLineFormats(const Snapshot& s, const Target& t, RemapStyles& styles) {
    if (s.area.IsWholeRows()) {
        for (int32_t r = t.area.top; r <= t.area.bottom && size_t(r) <= t.ws.RowsData().size(); ++r)
            t.ws.RowsData()[r - 1].info = RowInfo{};
        for (const auto& [r, info] : s.rows) {
            RowInfo& to = t.ws.GetRow(r + t.dRows).info;
            to = info;
            to.style = styles.Line(info.style);
        }
        t.ws.SizesChanged();
    }
    if (s.area.IsWholeColumns()) {
        for (int32_t c = t.area.left; c <= t.area.right && size_t(c) <= t.ws.ColumnsData().size(); ++c)
            t.ws.ColumnsData()[c - 1] = ColumnInfo{};
        for (const auto& [c, info] : s.columns) {
            ColumnInfo& to = t.ws.GetColumn(c + t.dCols);
            to = info;
            to.style = styles.Line(info.style);
        }
        t.ws.SizesChanged();
    }
}

void PasteAll(const Snapshot& s, const Target& t, RemapStyles& styles) {
    EraseCells(t.ws, t.area);
    for (const auto& [r, c] : s.cells) {
        Cell& to = t.ws.GetRow(r + t.dRows).Get(c.col + t.dCols);
        to.value = c.value;
        to.style = styles.Cell(c.style);
        to.formula = c.formula ? std::make_unique<std::string>(formula::Translate(*c.formula, t.dRows, t.dCols)) : nullptr;
    }
    PasteMerges(s, t);
    PasteLineFormats(s, t, styles);
}

// Values only: a formula arrives as its result; the destination keeps its formats.
void PasteValues(const Snapshot& s, const Target& t) {
    ForStoredCells(t.ws, t.area, [](Row&, Cell& c) {
        c.value = Variant();
        c.formula.reset();
    });
    for (const auto& [r, c] : s.cells)
        if (!c.value.IsEmpty()) t.ws.GetCell(r + t.dRows, c.col + t.dCols).value = c.value;
    auto& rows = t.ws.RowsData();
    for (int32_t r = t.area.top; r <= t.area.bottom && size_t(r) <= rows.size(); ++r)
        std::erase_if(rows[r - 1].cells, [&](const Cell& c) {
            return c.col >= t.area.left && c.col <= t.area.right && c.IsBlank() && !rows[r - 1].info.style;
        });
}

void PasteFormats(const Snapshot& s, const Target& t, RemapStyles& styles) {
    ForStoredCells(t.ws, t.area, [](Row&, Cell& c) { c.style = 0; });
    for (const auto& [r, c] : s.cells)
        if (c.style || t.ws.FindCell(r + t.dRows, c.col + t.dCols))
            t.ws.GetCell(r + t.dRows, c.col + t.dCols).style = styles.Cell(c.style);
    PasteMerges(s, t);
    PasteLineFormats(s, t, styles);
}

void PasteColumnWidths(const Snapshot& s, const Target& t) {
    for (int32_t c = s.area.left; c <= s.area.right; ++c) {
        auto it = std::find_if(s.columns.begin(), s.columns.end(), [&](const auto& p) { return p.first == c; });
        ColumnInfo& to = t.ws.GetColumn(c + t.dCols);
        to.width = it == s.columns.end() ? 0 : it->second.width;
        to.customWidth = it != s.columns.end() && it->second.customWidth;
    }
    t.ws.SizesChanged();
}

// Where the copies go, as the host tiles a paste (source r × c, destination R × C):
//   R and C exact multiples of r and c   (R/r) × (C/c) copies side by side, each
//                                        re-anchoring relative references as its own paste
//   anything else (a single cell, a     one copy at the destination's top-left cell,
//   larger or a smaller destination)     at the source's full size
std::vector<CellRef> TileOrigins(const Rect& source, const Rect& dest) {
    int32_t r = source.Rows(), c = source.Columns();
    if (dest.Rows() % r != 0 || dest.Columns() % c != 0) return {CellRef{dest.top, dest.left}};
    int64_t tiles = int64_t(dest.Rows() / r) * (dest.Columns() / c);
    if (tiles > kMaxTiles) throw HostError("粘贴区域太大");
    std::vector<CellRef> origins;
    origins.reserve(size_t(tiles));
    for (int32_t top = dest.top; top <= dest.bottom; top += r)
        for (int32_t left = dest.left; left <= dest.right; left += c) origins.push_back(CellRef{top, left});
    return origins;
}

void Paste(const Snapshot& s, Worksheet& ws, const Rect& dest, XlPasteType type) {
    RemapStyles styles(s.sheet->Parent().Styles(), ws.Parent().Styles());
    for (const CellRef& origin : TileOrigins(s.area, dest)) {
        Target t = Place(s, ws, origin.row, origin.col);
        switch (type) {
            case xlPasteValues: PasteValues(s, t); break;
            case xlPasteFormats: PasteFormats(s, t, styles); break;
            case xlPasteColumnWidths: PasteColumnWidths(s, t); break;
            default: PasteAll(s, t, styles); break;
        }
    }
    ws.MarkChanged();
}

}  // namespace

void Range::Copy(const Range& destination) const {
    if (destination.IsNothing()) throw HostError("对象变量未设置");
    Paste(Take(Sheet(), Area()), destination.Sheet(), destination.Area(), xlPasteAll);
}

void Range::Copy() const {
    Application* app = Sheet().Parent().Parent();
    if (!app) throw HostError("没有可用的剪贴板");
    app->SetClipboard(&Sheet(), Area());
}

void Range::PasteSpecial(XlPasteType type) const {
    Application* app = Sheet().Parent().Parent();
    Worksheet* from = app ? app->ClipboardSheet() : nullptr;
    if (!from) throw HostError("剪贴板上没有可粘贴的内容");
    Paste(Take(*from, app->ClipboardRect()), Sheet(), Area(), type);
}

}  // namespace host
