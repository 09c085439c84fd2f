// Range.Sort: rows (top to bottom) or columns (left to right) of the first
// area reordered by up to three keys in the host's order.
#include <algorithm>
#include <numeric>

#include "host/Collation.h"
#include "host/Formula.h"
#include "host/HostError.h"
#include "host/Range.h"
#include "host/Worksheet.h"

namespace host {

namespace {

// Type ranks in ascending order; empty cells are last whatever the order.
enum Rank : uint8_t { kNumber, kText, kFalse, kTrue, kError, kEmpty };

struct KeyValue {
    Rank rank = kEmpty;
    double number = 0;
    uint32_t text = 0;  // index into SortTable::texts
};

struct SortTable {
    size_t keyCount = 0;
    std::vector<KeyValue> values;  // line-major: values[line * keyCount + key]
    std::vector<std::string> texts;
    std::vector<XlSortOrder> orders;
};

KeyValue MakeKeyValue(const Variant& v, const TextCollation& coll, std::vector<std::string>& texts) {
    KeyValue k;
    switch (v.Type()) {
        case VarType::Empty: k.rank = kEmpty; break;
        case VarType::Number: k.rank = kNumber; k.number = v.Number(); break;
        case VarType::Boolean: k.rank = v.BooleanValue() ? kTrue : kFalse; break;
        case VarType::Error: k.rank = kError; break;
        case VarType::Text:
            k.rank = kText;
            k.text = uint32_t(texts.size());
            texts.push_back(coll.SortKey(v.Text()));
            break;
    }
    return k;
}

// <0, 0, >0 as a sorts before, with or after b.
int CompareKey(const KeyValue& a, const KeyValue& b, XlSortOrder order, const SortTable& t) {
    if (a.rank == kEmpty || b.rank == kEmpty) return int(a.rank == kEmpty) - int(b.rank == kEmpty);
    int c = 0;
    if (a.rank != b.rank) c = a.rank < b.rank ? -1 : 1;
    else if (a.rank == kNumber) c = a.number < b.number ? -1 : a.number > b.number ? 1 : 0;
    else if (a.rank == kText) c = t.texts[a.text].compare(t.texts[b.text]);
    return order == xlDescending ? -c : c;
}

// perm[j] = the line (0-based in the sorted block) that goes to position j.
std::vector<uint32_t> SortedOrder(const SortTable& t, size_t lines) {
    std::vector<uint32_t> perm(lines);
    std::iota(perm.begin(), perm.end(), 0u);
    std::stable_sort(perm.begin(), perm.end(), [&](uint32_t x, uint32_t y) {
        for (size_t k = 0; k < t.keyCount; ++k) {
            int c = CompareKey(t.values[x * t.keyCount + k], t.values[y * t.keyCount + k], t.orders[k], t);
            if (c) return c < 0;
        }
        return false;
    });
    return perm;
}

bool IsText(const Variant& v) { return v.IsText(); }

void TranslateFormula(Cell& c, int32_t dRows, int32_t dCols) {
    if (c.formula && (dRows || dCols)) *c.formula = formula::Translate(*c.formula, dRows, dCols);
}

// The cells of `row` in columns [left, right], taken out of the row.
std::vector<Cell> TakeBand(Row& row, int32_t left, int32_t right) {
    auto lo = std::lower_bound(row.cells.begin(), row.cells.end(), left, [](const Cell& c, int32_t v) { return c.col < v; });
    auto hi = std::lower_bound(lo, row.cells.end(), right + 1, [](const Cell& c, int32_t v) { return c.col < v; });
    if (lo == row.cells.begin() && hi == row.cells.end()) return std::move(row.cells);
    std::vector<Cell> band(std::make_move_iterator(lo), std::make_move_iterator(hi));
    row.cells.erase(lo, hi);
    return band;
}

void PutBand(Row& row, std::vector<Cell>&& band) {
    if (band.empty()) return;
    if (row.cells.empty()) { row.cells = std::move(band); return; }
    auto at = std::lower_bound(row.cells.begin(), row.cells.end(), band.front().col,
                               [](const Cell& c, int32_t v) { return c.col < v; });
    row.cells.insert(at, std::make_move_iterator(band.begin()), std::make_move_iterator(band.end()));
}

void SortRows(Worksheet& ws, const Rect& block, const std::vector<uint32_t>& perm) {
    int32_t first = block.top;
    size_t n = perm.size();
    std::vector<std::vector<Cell>> bands(n);
    auto& rows = ws.RowsData();
    for (size_t i = 0; i < n && size_t(first) + i <= rows.size(); ++i)
        bands[i] = TakeBand(rows[first - 1 + i], block.left, block.right);
    for (size_t j = 0; j < n; ++j) {
        std::vector<Cell>& band = bands[perm[j]];
        if (band.empty()) continue;
        int32_t d = int32_t(j) - int32_t(perm[j]);
        for (Cell& c : band) TranslateFormula(c, d, 0);
        PutBand(ws.GetRow(first + int32_t(j)), std::move(band));
    }
}

void SortColumns(Worksheet& ws, const Rect& block, const std::vector<uint32_t>& perm) {
    std::vector<int32_t> newCol(perm.size());  // by old offset
    for (size_t j = 0; j < perm.size(); ++j) newCol[perm[j]] = block.left + int32_t(j);
    auto& rows = ws.RowsData();
    for (int32_t r = block.top; r <= block.bottom && size_t(r) <= rows.size(); ++r) {
        std::vector<Cell> band = TakeBand(rows[r - 1], block.left, block.right);
        for (Cell& c : band) {
            int32_t to = newCol[c.col - block.left];
            TranslateFormula(c, 0, to - c.col);
            c.col = to;
        }
        std::sort(band.begin(), band.end(), [](const Cell& a, const Cell& b) { return a.col < b.col; });
        PutBand(rows[r - 1], std::move(band));
    }
}

// Merged areas inside one line move with it; one that spans lines cannot be sorted.
void MoveMerges(Worksheet& ws, const Rect& block, bool byRows, const std::vector<uint32_t>& perm) {
    std::vector<int32_t> to(perm.size());
    for (size_t j = 0; j < perm.size(); ++j) to[perm[j]] = int32_t(j);
    int32_t first = byRows ? block.top : block.left;
    std::vector<Rect> merges = ws.MergedAreas().Areas();
    bool moved = false;
    for (Rect& m : merges) {
        if (!m.Intersects(block)) continue;
        if (byRows) {
            m.top = m.bottom = first + to[m.top - first];
        } else {
            m.left = m.right = first + to[m.left - first];
        }
        moved = true;
    }
    if (moved) ws.MergedAreas() = std::move(merges);
}

void CheckMerges(const Worksheet& ws, const Rect& block, bool byRows) {
    for (const Rect& m : ws.MergedAreas().Intersecting(block)) {
        bool oneLine = byRows ? m.top == m.bottom : m.left == m.right;
        if (!oneLine || !block.Contains(m)) throw HostError("此操作要求合并单元格都具有相同大小");
    }
}

}  // namespace

// Header xlGuess: the first line is a header when every key's cell in it is
// text and the first key's cell in the second line is not (a column of names
// under a title reads as data, one of numbers under a title as a header).
void Range::Sort(const std::vector<SortKey>& keys, XlYesNoGuess header, XlSortOrientation orientation, bool matchCase) {
    Worksheet& ws = Sheet();
    if (keys.empty() || keys.size() > 3) throw HostError("排序关键字的个数必须是 1 到 3 个");
    Rect block = Area();
    Rect used = ws.UsedRect();
    block.bottom = std::min(block.bottom, used.bottom);
    block.right = std::min(block.right, used.right);
    if (block.bottom < block.top || block.right < block.left) return;
    bool byRows = orientation != xlLeftToRight;

    std::vector<int32_t> keyAt;  // column (by rows) or row (by columns) of each key
    for (const SortKey& k : keys) {
        if (k.key.IsNothing() || &k.key.Sheet() != &ws) throw HostError("排序引用无效，请确保它在要排序的数据内");
        int32_t p = byRows ? k.key.Column() : k.key.Row();
        if (byRows ? (p < block.left || p > block.right) : (p < block.top || p > block.bottom))
            throw HostError("排序引用无效，请确保它在要排序的数据内");
        keyAt.push_back(p);
    }
    auto valueAt = [&](int32_t line, int32_t key) -> const Variant& {
        return byRows ? ws.ValueAt(line, key) : ws.ValueAt(key, line);
    };
    int32_t first = byRows ? block.top : block.left, last = byRows ? block.bottom : block.right;
    bool skipHeader = header == xlYes;
    if (header == xlGuess && last > first) {
        skipHeader = !IsText(valueAt(first + 1, keyAt[0]));
        for (int32_t k : keyAt) skipHeader = skipHeader && IsText(valueAt(first, k));
    }
    if (skipHeader) ++first;
    if (last <= first) return;
    (byRows ? block.top : block.left) = first;
    CheckMerges(ws, block, byRows);

    const TextCollation& coll = TextCollation::Get(matchCase);
    SortTable t;
    t.keyCount = keys.size();
    for (const SortKey& k : keys) t.orders.push_back(k.order);
    size_t lines = size_t(last - first + 1);
    t.values.reserve(lines * t.keyCount);
    for (int32_t line = first; line <= last; ++line)
        for (int32_t k : keyAt) t.values.push_back(MakeKeyValue(valueAt(line, k), coll, t.texts));

    std::vector<uint32_t> perm = SortedOrder(t, lines);
    bool moved = false;
    for (size_t j = 0; j < perm.size() && !moved; ++j) moved = perm[j] != j;
    if (!moved) return;
    if (byRows) SortRows(ws, block, perm);
    else SortColumns(ws, block, perm);
    MoveMerges(ws, block, byRows, perm);
    ws.MarkChanged();
}

}  // namespace host
