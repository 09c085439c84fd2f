// Range.Find and FindNext: a search by rows through the first area, starting
// after a cell and wrapping round to it.
#include <algorithm>
#include <unicode/unistr.h>

#include "host/HostError.h"
#include "host/Range.h"
#include "host/Worksheet.h"

namespace host {

namespace {

// The host keeps the settings of the last Find for FindNext, one set per
// process (as its Find dialog does).
struct LastFind {
    std::string what;
    FindOptions options;
    bool set = false;
};
LastFind& Last() {
    static LastFind last;
    return last;
}

std::string Fold(std::string_view s) {
    bool ascii = std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) {
        std::string t(s);
        for (char& c : t) c = char(std::tolower(static_cast<unsigned char>(c)));
        return t;
    }
    std::string t;
    icu::UnicodeString::fromUTF8(icu::StringPiece(s.data(), int32_t(s.size()))).foldCase().toUTF8String(t);
    return t;
}

// `what` is already folded when the search ignores case. An empty `what`
// matches every cell that shows something (it is part of any text).
bool Matches(const Cell& c, const std::string& what, const FindOptions& o) {
    std::string text = o.lookIn == xlFormulas && c.formula ? "=" + *c.formula : ToText(c.value);
    if (text.empty()) return false;
    if (!o.matchCase) text = Fold(text);
    return o.lookAt == xlWhole ? text == what : text.find(what) != std::string::npos;
}

// Position of a cell in the area's row-by-row order, counted cyclically from
// the cell after `after`.
int64_t Distance(const Rect& a, CellRef after, int32_t row, int32_t col) {
    int64_t width = a.Columns(), total = int64_t(a.Rows()) * width;
    int64_t at = int64_t(row - a.top) * width + (col - a.left);
    int64_t from = int64_t(after.row - a.top) * width + (after.col - a.left);
    return ((at - from - 1) % total + total) % total;
}

std::optional<CellRef> SearchCells(const Worksheet& ws, const Rect& a, CellRef after, const std::string& what,
                                   const FindOptions& o) {
    const auto& rows = ws.RowsData();
    int32_t bottom = std::min<int32_t>(a.bottom, int32_t(rows.size()));
    // Cells of one row with left ≤ col ≤ right, in column order.
    auto scan = [&](int32_t r, int32_t left, int32_t right) -> std::optional<CellRef> {
        if (r < a.top || r > bottom || left > right) return std::nullopt;
        const auto& cells = rows[r - 1].cells;
        auto it = std::lower_bound(cells.begin(), cells.end(), left, [](const Cell& c, int32_t v) { return c.col < v; });
        for (; it != cells.end() && it->col <= right; ++it)
            if (Matches(*it, what, o)) return CellRef{r, it->col};
        return std::nullopt;
    };
    if (auto hit = scan(after.row, after.col + 1, a.right)) return hit;
    for (int32_t r = after.row + 1; r <= bottom; ++r)
        if (auto hit = scan(r, a.left, a.right)) return hit;
    for (int32_t r = a.top; r < after.row; ++r)
        if (auto hit = scan(r, a.left, a.right)) return hit;
    return scan(after.row, a.left, after.col);
}

// With the merge-cells search format: the top-left cells of merged areas.
std::optional<CellRef> SearchMerged(const Worksheet& ws, const Rect& a, CellRef after, const std::string& what,
                                    const FindOptions& o) {
    std::optional<CellRef> best;
    int64_t bestDistance = 0;
    for (const Rect& m : ws.MergedAreas().Intersecting(a)) {
        if (!a.Contains(m.top, m.left)) continue;
        if (!what.empty()) {
            const Cell* c = ws.FindCell(m.top, m.left);
            if (!c || !Matches(*c, what, o)) continue;
        }
        int64_t d = Distance(a, after, m.top, m.left);
        if (!best || d < bestDistance) best = CellRef{m.top, m.left}, bestDistance = d;
    }
    return best;
}

std::optional<Range> Search(Worksheet& ws, const Rect& a, CellRef after, const std::string& what, const FindOptions& o) {
    if (!a.Contains(after.row, after.col)) after = CellRef{a.top, a.left};
    std::string key = o.matchCase ? what : Fold(what);
    auto hit = o.searchFormat && o.searchFormatMergeCells ? SearchMerged(ws, a, after, key, o)
                                                           : SearchCells(ws, a, after, key, o);
    if (!hit) return std::nullopt;
    return Range(&ws, Rect{hit->row, hit->col, hit->row, hit->col});
}

}  // namespace

std::optional<Range> Range::Find(const Variant& what, const FindOptions& o, std::optional<CellRef> after) const {
    Worksheet& ws = Sheet();
    LastFind& last = Last();
    last.what = ToText(what);
    last.options = o;
    last.set = true;
    return Search(ws, Area(), after.value_or(CellRef{Area().top, Area().left}), last.what, o);
}

std::optional<Range> Range::FindNext(const Range& after) const {
    const LastFind& last = Last();
    if (!last.set) throw HostError("没有可继续的查找");
    return Search(Sheet(), Area(), CellRef{after.Row(), after.Column()}, last.what, last.options);
}

}  // namespace host
