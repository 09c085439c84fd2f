// Range members about the sheet's layout: merged areas, hidden rows and
// columns, sizes and positions in points, the active cell and the selection.
#include <algorithm>

#include "host/HostError.h"
#include "host/Range.h"
#include "host/RowSpan.h"
#include "host/Worksheet.h"

namespace host {

namespace {
constexpr double kMaxRowHeight = 409;  // points
}  // namespace

// ----- merged areas -----

bool Range::MergeCells() const { return Sheet().MergeAreaAt(Row(), Column()) != nullptr; }

void Range::SetMergeCells(bool m) {
    if (m) Merge();
    else UnMerge();
}

Range Range::MergeArea() const {
    if (const Rect* m = Sheet().MergeAreaAt(Row(), Column())) return Range(ws_, *m);
    return Range(ws_, Area());
}

// One merged area per area of the range. Only the top-left value stays (the
// host's choice with alerts off); merged areas that overlap are undone first.
void Range::Merge() {
    Worksheet& ws = Sheet();
    for (const Rect& a : areas_) {
        if (a.Count() < 2) continue;
        ws.MergedAreas().RemoveIntersecting(a);
        rowspan::ForStoredCells(ws, a, [&](int32_t row, Cell& c) {
            if (row == a.top && c.col == a.left) return;
            c.value = Variant();
            c.formula.reset();
        });
        ws.MergedAreas().push_back(a);
    }
    ws.MarkChanged();
}

void Range::UnMerge() {
    Worksheet& ws = Sheet();
    for (const Rect& a : areas_) ws.MergedAreas().RemoveIntersecting(a);
    ws.MarkChanged();
}

// ----- hidden rows and columns -----

bool Range::Hidden() const {
    const Worksheet& ws = Sheet();
    const Rect& a = Area();
    if (a.IsWholeRows()) {
        for (int32_t r = a.top; r <= a.bottom; ++r) {
            const host::Row* row = ws.FindRow(r);
            if (!row || !row->info.hidden) return false;
        }
        return true;
    }
    if (a.IsWholeColumns()) {
        for (int32_t c = a.left; c <= a.right; ++c) {
            const ColumnInfo* ci = ws.FindColumn(c);
            if (!ci || !ci->hidden) return false;
        }
        return true;
    }
    throw HostError("只能隐藏或取消隐藏整行或整列");
}

void Range::SetHidden(bool h) {
    Worksheet& ws = Sheet();
    for (const Rect& a : areas_)
        if (!a.IsWholeRows() && !a.IsWholeColumns()) throw HostError("只能隐藏或取消隐藏整行或整列");
    for (const Rect& a : areas_) {
        if (a.IsWholeRows()) {
            int32_t last = h ? a.bottom : std::min<int32_t>(a.bottom, int32_t(ws.RowsData().size()));
            for (int32_t r = a.top; r <= last; ++r) ws.SetRowHidden(r, h);
        } else {
            int32_t last = h ? a.right : std::min<int32_t>(a.right, int32_t(ws.ColumnsData().size()));
            for (int32_t c = a.left; c <= last; ++c) ws.SetColumnHidden(c, h);
        }
    }
    ws.MarkChanged();
}

// ----- sizes -----

double Range::ColumnWidth() const {
    const ColumnInfo* ci = Sheet().FindColumn(Column());
    if (ci && ci->hidden) return 0;
    return Sheet().ColumnWidthChars(Column());
}

void Range::SetColumnWidth(double chars) {
    Worksheet& ws = Sheet();
    if (chars < 0 || chars > 255) throw HostError("列宽必须在 0 到 255 之间");
    for (const Rect& a : areas_)
        for (int32_t c = a.left; c <= a.right; ++c) ws.SetColumnWidthChars(c, chars);
}

double Range::RowHeight() const { return Sheet().RowHeightPoints(Row()); }

// A range spanning every row changes the sheet's standard height instead of a
// million rows; rows with a height of their own return to it.
void Range::SetRowHeight(double pt) {
    Worksheet& ws = Sheet();
    if (!(pt >= 0 && pt <= kMaxRowHeight)) throw HostError("行高必须在 0 到 409 磅之间");
    for (const Rect& a : areas_) {
        if (a.top == 1 && a.bottom == kMaxRows && pt > 0) {
            ws.SetStandardHeight(pt);
            for (host::Row& r : ws.RowsData()) {
                r.info.height = 0;
                r.info.customHeight = false;
                r.info.fitted = r.info.autoFitted = false;
                r.info.hidden = false;
            }
            ws.SizesChanged();
            continue;
        }
        for (int32_t r = a.top; r <= a.bottom; ++r) {
            if (pt == 0) ws.SetRowHidden(r, true);
            else ws.SetRowHeightPoints(r, pt);
        }
    }
    ws.MarkChanged();
}

double Range::Left() const { return Sheet().Geometry().Left(Column()); }
double Range::Top() const { return Sheet().Geometry().Top(Row()); }
double Range::Width() const { return Sheet().Geometry().Width(Area().left, Area().right); }
double Range::Height() const { return Sheet().Geometry().Height(Area().top, Area().bottom); }

// ----- active cell and selection -----

// The active cell moves inside the selection when it is part of it; else the
// cell becomes the selection, as clicking it would.
void Range::Activate() const {
    Worksheet& ws = Sheet();
    CellRef cell{Row(), Column()};
    std::vector<Rect> selected = ParseAreas(ws.Selection());
    bool inside = std::any_of(selected.begin(), selected.end(), [&](const Rect& r) { return r.Contains(cell.row, cell.col); });
    if (!inside) ws.SetSelection(CellAddress(cell.row, cell.col));
    ws.SetActiveCell(cell);
}

void Range::Select() const {
    Worksheet& ws = Sheet();
    ws.SetSelection(Address(false, false));
    ws.SetActiveCell({Row(), Column()});
}

}  // namespace host
