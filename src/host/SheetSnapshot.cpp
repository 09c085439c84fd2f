#include "host/SheetSnapshot.h"

#include <algorithm>
#include <map>

#include "host/Application.h"
#include "host/Workbook.h"

namespace host {

namespace {

bool SameCell(const Cell& a, const Cell& b) {
    if (a.col != b.col || a.style != b.style || !(a.value == b.value)) return false;
    if (a.HasFormula() != b.HasFormula()) return false;
    return !a.HasFormula() || *a.formula == *b.formula;
}

// A kept sheet whose parts are its own: deleting rows edits the items of
// itemized parts (comments) in place, which must not reach a copy.
KeptSheet OwnCopy(const KeptSheet& k) {
    KeptSheet out = k;
    std::map<const KeptPart*, std::shared_ptr<KeptPart>> copies;
    auto own = [&](std::vector<KeptRelationship>& rels) {
        for (KeptRelationship& r : rels) {
            if (!r.part) continue;
            auto& copy = copies[r.part.get()];
            if (!copy) copy = std::make_shared<KeptPart>(*r.part);
            r.part = copy;
        }
    };
    own(out.relationships);
    own(out.drawing.relationships);
    return out;
}

}  // namespace

bool CellBlockState::SameAs(const CellBlockState& o) const {
    if (block != o.block || merges != o.merges || cells.size() != o.cells.size()) return false;
    for (size_t i = 0; i < cells.size(); ++i)
        if (cells[i].first != o.cells[i].first || !SameCell(cells[i].second, o.cells[i].second)) return false;
    return true;
}

CellBlockState TakeCells(const Worksheet& ws, const Rect& block) {
    CellBlockState s;
    s.block = block;
    const auto& rows = ws.RowsData();
    for (int32_t r = block.top; r <= block.bottom && size_t(r) <= rows.size(); ++r) {
        const auto& cells = rows[size_t(r - 1)].cells;
        auto it = std::lower_bound(cells.begin(), cells.end(), block.left,
                                   [](const Cell& c, int32_t col) { return c.col < col; });
        for (; it != cells.end() && it->col <= block.right; ++it) s.cells.emplace_back(r, *it);
        const RowInfo& info = rows[size_t(r - 1)].info;
        if (info.height > 0 || info.customHeight) s.heights.push_back({r, info.height, info.customHeight, info.fitted, info.autoFitted});
    }
    s.merges = ws.MergedAreas().Intersecting(block);
    return s;
}

void RestoreCells(Worksheet& ws, const CellBlockState& s) {
    const Rect& b = s.block;
    auto& rows = ws.RowsData();
    for (int32_t r = b.top; r <= b.bottom && size_t(r) <= rows.size(); ++r)
        std::erase_if(rows[size_t(r - 1)].cells, [&](const Cell& c) { return c.col >= b.left && c.col <= b.right; });
    for (const auto& [r, c] : s.cells) ws.GetRow(r).Get(c.col) = c;
    auto height = s.heights.begin();
    for (int32_t r = b.top; r <= b.bottom && size_t(r) <= rows.size(); ++r) {
        RowInfo& info = rows[size_t(r - 1)].info;
        const bool held = height != s.heights.end() && height->row == r;
        info.height = held ? height->height : 0;
        info.customHeight = held && height->custom;
        info.fitted = held && height->fitted;
        info.autoFitted = held && height->autoFitted;
        if (held) ++height;
    }
    ws.SizesChanged();
    ws.MergedAreas().RemoveIntersecting(b);
    for (const Rect& m : s.merges) {
        // An area reaching out of the block may meet one made outside it
        // since; the one there now stays.
        ws.MergedAreas().RemoveIntersecting(m);
        ws.MergedAreas().push_back(m);
    }
    ws.MarkChanged();
}

SheetState SheetState::Take(const Worksheet& ws) {
    SheetState s;
    s.name_ = ws.name_;
    s.codeName_ = ws.codeName_;
    s.visible_ = ws.visible_;
    s.protection_ = ws.protection_;
    s.scrollArea_ = ws.scrollArea_;
    s.activeCell_ = ws.activeCell_;
    s.selection_ = ws.selection_;
    s.rows_ = ws.rows_;
    s.cols_ = ws.cols_;
    s.merges_ = ws.merges_.Areas();
    s.pictures_ = ws.pictures_;
    s.pageSetup_ = ws.pageSetup_;
    s.defaultColWidth_ = ws.defaultColWidth_;
    s.defaultRowHeight_ = ws.defaultRowHeight_;
    s.showGridLines_ = ws.showGridLines_;
    s.tabSelected_ = ws.tabSelected_;
    s.frozenRows_ = ws.frozenRows_;
    s.frozenCols_ = ws.frozenCols_;
    s.kept_ = OwnCopy(ws.kept_);
    return s;
}

void SheetState::RestoreInto(Worksheet& ws) const {
    ws.name_ = name_;
    ws.codeName_ = codeName_;
    ws.visible_ = visible_;
    ws.protection_ = protection_;
    ws.scrollArea_ = scrollArea_;
    ws.activeCell_ = activeCell_;
    ws.selection_ = selection_;
    ws.rows_ = rows_;
    ws.cols_ = cols_;
    ws.merges_ = merges_;
    ws.pictures_ = pictures_;
    ws.pageSetup_ = pageSetup_;
    ws.defaultColWidth_ = defaultColWidth_;
    ws.defaultRowHeight_ = defaultRowHeight_;
    ws.showGridLines_ = showGridLines_;
    ws.tabSelected_ = tabSelected_;
    ws.frozenRows_ = frozenRows_;
    ws.frozenCols_ = frozenCols_;
    ws.kept_ = OwnCopy(kept_);
    ws.SizesChanged();
    ws.MarkChanged();
}

int64_t SheetState::CellCount() const {
    int64_t n = 0;
    for (const Row& r : rows_) n += int64_t(r.cells.size());
    return n;
}

int64_t WorkbookState::CellCount() const {
    int64_t n = 0;
    for (const auto& s : sheets_) n += s.second.CellCount();
    return n;
}

WorkbookState WorkbookState::Take(const Workbook& wb) {
    WorkbookState s;
    const auto& list = wb.SheetList();
    for (size_t i = 0; i < list.size(); ++i) {
        s.sheets_.emplace_back(list[i].get(), SheetState::Take(*list[i]));
        if (list[i].get() == wb.ActiveSheet()) s.activeSheet_ = int(i);
    }
    s.styles_ = wb.Styles();
    s.names_ = wb.DefinedNames();
    s.date1904_ = wb.Date1904();
    s.kept_ = wb.Kept();
    return s;
}

void WorkbookState::RestoreInto(Workbook& wb) const {
    auto& list = wb.SheetList();
    std::vector<std::unique_ptr<Worksheet>> rebuilt;
    rebuilt.reserve(sheets_.size());
    for (const auto& entry : sheets_) {
        const Worksheet* identity = entry.first;
        const SheetState& state = entry.second;
        auto it = std::find_if(list.begin(), list.end(), [identity](const auto& p) { return p.get() == identity; });
        std::unique_ptr<Worksheet> ws;
        if (it != list.end()) ws = std::move(*it);
        else ws = std::make_unique<Worksheet>(&wb, state.Name(), state.CodeName());
        state.RestoreInto(*ws);
        rebuilt.push_back(std::move(ws));
    }
    // What is left was added after the state was taken.
    Application* app = wb.Parent();
    for (auto& ws : list)
        if (ws && app) app->ClearClipboardOf(ws.get());
    list = std::move(rebuilt);
    wb.SetActiveSheet(activeSheet_ >= 0 && size_t(activeSheet_) < list.size() ? list[size_t(activeSheet_)].get()
                                                                                : nullptr);
    wb.Styles() = styles_;
    wb.DefinedNames() = names_;
    wb.SetDate1904(date1904_);
    wb.Kept() = kept_;
    wb.SetSaved(false);
    if (app)
        for (HostObserver* o : app->Observers()) o->SheetsChanged(wb);
}

}  // namespace host
