// Range.AdvancedFilter with the copy action and no criteria: the header and
// the records (or only the first of each set of equal records) go to copyTo.
#include <algorithm>
#include <unordered_set>

#include "host/HostError.h"
#include "host/Range.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"

namespace host {

namespace {

class StyleCopier {
public:
    StyleCopier(const Workbook& from, Workbook& to) : from_(from), to_(to) {}
    uint32_t operator()(uint32_t s) const {
        return &from_ == &to_ ? s : to_.Styles().Intern(from_.Styles().Get(s));
    }

private:
    const Workbook& from_;
    Workbook& to_;
};

}  // namespace

// Values and formats are copied (formulas arrive as their results).
void Range::AdvancedFilter(const Range& copyTo, bool unique) {
    if (copyTo.IsNothing()) throw HostError("高级筛选的复制目标无效");
    Worksheet& ws = Sheet();
    Rect a = Area();
    Rect used = ws.UsedRect();
    a.bottom = std::min(a.bottom, used.bottom);
    a.right = std::min(a.right, used.right);
    if (a.bottom < a.top || a.right < a.left) throw HostError("高级筛选的数据区域无效");

    std::vector<int32_t> keep{a.top};  // the header row
    std::unordered_set<std::string> seen;
    for (int32_t r = a.top + 1; r <= a.bottom; ++r) {
        if (unique) {
            std::string key;
            for (int32_t c = a.left; c <= a.right; ++c) {
                const std::string k = TextFormKey(ws.ValueAt(r, c));
                key += std::to_string(k.size()) + ':' + k;  // lengths keep joined keys unambiguous
            }
            if (!seen.insert(std::move(key)).second) continue;
        }
        keep.push_back(r);
    }

    // Read everything first: the destination may lie on the source sheet.
    struct Item { int32_t row, col; Variant value; uint32_t style; };
    std::vector<Item> items;
    for (size_t i = 0; i < keep.size(); ++i)
        for (int32_t c = a.left; c <= a.right; ++c)
            items.push_back({int32_t(i), c - a.left, ws.ValueAt(keep[i], c), ws.StyleAt(keep[i], c)});

    Worksheet& to = copyTo.Sheet();
    int32_t top = copyTo.Row(), left = copyTo.Column();
    if (top + int32_t(keep.size()) - 1 > kMaxRows || left + a.Columns() - 1 > kMaxColumns)
        throw HostError("高级筛选的复制目标超出工作表");
    StyleCopier styles(ws.Parent(), to.Parent());
    for (const Item& it : items) {
        int32_t r = top + it.row, c = left + it.col;
        if (it.value.IsEmpty() && it.style == 0) {
            to.EraseCell(r, c);
            continue;
        }
        Cell& cell = to.GetCell(r, c);
        cell.value = it.value;
        cell.formula.reset();
        cell.style = styles(it.style);
    }
    to.MarkChanged();
}

}  // namespace host
