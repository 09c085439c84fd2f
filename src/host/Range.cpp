#include "host/Range.h"

#include "host/Formula.h"
#include "host/HostError.h"
#include "host/RowSpan.h"
#include "host/Worksheet.h"

namespace host {

namespace {
// Larger blocks than this are refused rather than materialised as arrays.
constexpr int64_t kMaxBlockCells = 16'000'000;

bool InSheet(int64_t row, int64_t col) { return row >= 1 && row <= kMaxRows && col >= 1 && col <= kMaxColumns; }

Rect Checked(int64_t top, int64_t left, int64_t bottom, int64_t right) {
    if (!InSheet(top, left) || !InSheet(bottom, right)) throw HostError("引用的单元格超出工作表范围");
    return Rect{int32_t(top), int32_t(left), int32_t(bottom), int32_t(right)};
}

std::string AreaR1C1(const Rect& r) {
    auto span = [](char tag, int32_t a, int32_t b) {
        std::string s = tag + std::to_string(a);
        return a == b ? s : s + ":" + tag + std::to_string(b);
    };
    if (r.IsWholeRows()) return span('R', r.top, r.bottom);
    if (r.IsWholeColumns()) return span('C', r.left, r.right);
    std::string a = "R" + std::to_string(r.top) + "C" + std::to_string(r.left);
    if (r.Rows() == 1 && r.Columns() == 1) return a;
    return a + ":R" + std::to_string(r.bottom) + "C" + std::to_string(r.right);
}

bool Filled(const Cell* c) { return c && (!c->value.IsEmpty() || c->HasFormula()); }
}  // namespace

Worksheet& Range::Sheet() const {
    if (!ws_) throw HostError("对象变量未设置");
    return *ws_;
}

int64_t Range::Count() const {
    int64_t n = 0;
    for (const Rect& r : areas_) n += r.Count();
    return n;
}

// ----- position and shape -----

std::string Range::Address(bool rowAbsolute, bool columnAbsolute) const {
    std::string s;
    for (const Rect& r : areas_) {
        if (!s.empty()) s += ',';
        s += AreaAddress(r, rowAbsolute, columnAbsolute);
    }
    return s;
}

std::string Range::AddressR1C1() const {
    std::string s;
    for (const Rect& r : areas_) {
        if (!s.empty()) s += ',';
        s += AreaR1C1(r);
    }
    return s;
}

Range Range::Cells(int32_t row, int32_t col) const {
    int64_t r = int64_t(Area().top) + row - 1, c = int64_t(Area().left) + col - 1;
    return Range(&Sheet(), Checked(r, c, r, c));
}

Range Range::Rows(int32_t i) const {
    int64_t r = int64_t(Area().top) + i - 1;
    return Range(&Sheet(), Checked(r, Area().left, r, Area().right));
}

Range Range::Columns(int32_t i) const {
    int64_t c = int64_t(Area().left) + i - 1;
    return Range(&Sheet(), Checked(Area().top, c, Area().bottom, c));
}

// Relative to the first area's top-left cell. Whole rows keep spanning every
// column and whole columns every row; only the other direction moves.
Range Range::GetRange(std::string_view relativeA1) const {
    std::vector<Rect> parts = ParseAreas(relativeA1);
    if (parts.empty()) throw HostError("无效的地址：" + std::string(relativeA1));
    int64_t dr = Area().top - 1, dc = Area().left - 1;
    for (Rect& p : parts) {
        bool wholeRows = p.IsWholeRows(), wholeCols = p.IsWholeColumns();
        int64_t rShift = wholeCols ? 0 : dr, cShift = wholeRows ? 0 : dc;
        p = Checked(p.top + rShift, p.left + cShift, p.bottom + rShift, p.right + cShift);
    }
    return Range(&Sheet(), std::move(parts));
}

Range Range::Resize(int32_t rows, int32_t cols) const {
    if (rows < 1 || cols < 1) throw HostError("区域的行数和列数必须大于 0");
    const Rect& a = Area();
    return Range(&Sheet(), Checked(a.top, a.left, int64_t(a.top) + rows - 1, int64_t(a.left) + cols - 1));
}

Range Range::Offset(int32_t rows, int32_t cols) const {
    std::vector<Rect> moved;
    for (const Rect& a : areas_)
        moved.push_back(Checked(int64_t(a.top) + rows, int64_t(a.left) + cols, int64_t(a.bottom) + rows,
                                int64_t(a.right) + cols));
    return Range(&Sheet(), std::move(moved));
}

Range Range::EntireRow() const {
    std::vector<Rect> rows;
    for (const Rect& a : areas_) rows.push_back(Rect{a.top, 1, a.bottom, kMaxColumns});
    return Range(&Sheet(), std::move(rows));
}

Range Range::EntireColumn() const {
    std::vector<Rect> cols;
    for (const Rect& a : areas_) cols.push_back(Rect{1, a.left, kMaxRows, a.right});
    return Range(&Sheet(), std::move(cols));
}

// Ctrl+arrow from the top-left cell. Rows below the stored ones and columns
// right of a row's last cell are empty, so the walk jumps over them.
Range Range::End(XlDirection d) const {
    const Worksheet& ws = Sheet();
    int32_t dr = d == xlDown ? 1 : d == xlUp ? -1 : 0;
    int32_t dc = d == xlToRight ? 1 : d == xlToLeft ? -1 : 0;
    if (!dr && !dc) throw HostError("无效的方向");
    CellRef p{Row(), Column()};
    auto inside = [](CellRef q) { return InSheet(q.row, q.col); };
    auto filled = [&](CellRef q) { return Filled(ws.FindCell(q.row, q.col)); };
    auto step = [&](CellRef q) { return CellRef{q.row + dr, q.col + dc}; };
    auto at = [&](CellRef q) { return Range(ws_, Rect{q.row, q.col, q.row, q.col}); };

    CellRef next = step(p);
    if (!inside(next)) return at(p);
    if (filled(p) && filled(next)) {
        while (inside(step(next)) && filled(step(next))) next = step(next);
        return at(next);
    }
    const int32_t storedRows = int32_t(ws.RowsData().size());
    for (CellRef q = next;; q = step(q)) {
        if (dr > 0 && q.row > storedRows) return at({kMaxRows, q.col});
        if (dr < 0 && q.row > storedRows) q.row = std::max(storedRows, 1);
        if (dc > 0) {
            const auto* row = ws.FindRow(q.row);
            if (!row || row->cells.empty() || q.col > row->cells.back().col) return at({q.row, kMaxColumns});
        }
        if (filled(q)) return at(q);
        if (!inside(step(q))) return at(q);
    }
}

// ----- values -----

Variant Range::Value() const { return Sheet().ValueAt(Row(), Column()); }

Array2D Range::Values() const {
    const Rect& a = Area();
    if (a.Count() > kMaxBlockCells) throw HostError("区域过大");
    Array2D out(a.Rows(), a.Columns());
    rowspan::ForStoredCells(Sheet(), a, [&](int32_t row, const Cell& c) {
        out(row - a.top + 1, c.col - a.left + 1) = c.value;
    });
    return out;
}

void Range::SetValue(const Variant& v) {
    Worksheet& ws = Sheet();
    if (v.IsEmpty()) {
        ClearContents();
        return;
    }
    if (Count() > kMaxBlockCells) throw HostError("区域过大");
    for (const Rect& a : areas_)
        for (int32_t row = a.top; row <= a.bottom; ++row)
            rowspan::RewriteSpan(ws, row, a.left, a.right, [&](Cell& c) {
                c.value = v;
                c.formula.reset();
            });
    for (const Rect& a : areas_) ws.MarkCellsChanged(a);
}

void Range::SetValues(const Array2D& arr) {
    Worksheet& ws = Sheet();
    const Rect& a = Area();
    if (a.Count() > kMaxBlockCells) throw HostError("区域过大");
    if (arr.Rows() == 1 && arr.Columns() == 1) {
        Range(ws_, a).SetValue(arr(1, 1));
        return;
    }
    const Variant na = Variant::Error(CellError::NA);
    for (int32_t row = a.top; row <= a.bottom; ++row) {
        int32_t i = row - a.top + 1;
        int32_t col = a.left;
        rowspan::RewriteSpan(ws, row, a.left, a.right, [&](Cell& c) {
            int32_t j = col++ - a.left + 1;
            c.value = i <= arr.Rows() && j <= arr.Columns() ? arr(i, j) : na;
            c.formula.reset();
        });
    }
    ws.MarkCellsChanged(a);
}

std::string Range::Text() const { return ToText(Value()); }

void Range::ClearContents() {
    Worksheet& ws = Sheet();
    // The host refuses to change part of a merged area; the whole area is fine.
    for (const Rect& a : areas_)
        for (const Rect& m : ws.MergedAreas().Intersecting(a))
            if (!a.Contains(m)) throw HostError("不能对合并单元格的一部分进行此操作。");
    for (const Rect& a : areas_) {
        rowspan::ForStoredCells(ws, a, [](int32_t, Cell& c) {
            c.value = Variant();
            c.formula.reset();
        });
        int32_t last = std::min<int32_t>(a.bottom, int32_t(ws.RowsData().size()));
        for (int32_t row = a.top; row <= last; ++row) {
            host::Row& r = ws.RowsData()[row - 1];
            std::erase_if(r.cells, [&](const Cell& c) {
                return c.col >= a.left && c.col <= a.right && c.IsBlank() && rowspan::InheritedStyle(ws, r, c.col) == 0;
            });
        }
    }
    ws.DropTrailingEmptyRows();
    for (const Rect& a : areas_) ws.MarkCellsChanged(a);
}

void Range::Clear() {
    ClearContents();
    ClearFormats();
}

}  // namespace host
