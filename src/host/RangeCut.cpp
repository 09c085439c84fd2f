// Range.Cut with a destination: the cells move, and the workbook's
// references to them move with them.
//
//   before                         after Range("A1:B2").Cut(Range("D5"))
//   A1 =B1   B1 7                  D5 =E5   E5 7
//   C9 =SUM(A1:B2)  C10 =A1+C1     C9 =SUM(D5:E6)  C10 =D5+C1
//
// A moved formula keeps its references to cells that stayed (C1 above), as
// the host's cut does; a reference to a cell the paste covered becomes #REF!.
#include <algorithm>

#include "host/Formula.h"
#include "host/HostError.h"
#include "host/Range.h"
#include "host/Recalc.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"

namespace host {

namespace {

constexpr const char* kPartOfMerge = "不能对合并单元格作部分更改。请选择包含整个合并区域的单元格。";

// The cells of `block` taken out of the sheet's storage, by row and column.
std::vector<std::pair<int32_t, Cell>> TakeOut(Worksheet& ws, const Rect& block) {
    std::vector<std::pair<int32_t, Cell>> out;
    auto& rows = ws.RowsData();
    for (int32_t r = block.top; r <= block.bottom && size_t(r) <= rows.size(); ++r) {
        auto& cells = rows[size_t(r - 1)].cells;
        auto lo = std::lower_bound(cells.begin(), cells.end(), block.left,
                                   [](const Cell& c, int32_t v) { return c.col < v; });
        auto hi = lo;
        while (hi != cells.end() && hi->col <= block.right) out.emplace_back(r, std::move(*hi++));
        cells.erase(lo, hi);
    }
    return out;
}

// Whether a picture's anchor cells lie inside the block (an anchor at
// offset 0 of a cell ends at that cell's edge and does not cover it).
bool PictureInside(const Picture& p, const Rect& block) {
    int32_t lastRow = p.to.row, lastCol = p.to.col;
    if (p.to.rowOffset == 0 && lastRow > p.from.row) --lastRow;
    if (p.to.colOffset == 0 && lastCol > p.from.col) --lastCol;
    return block.Contains(Rect{p.from.row, p.from.col, lastRow, lastCol});
}

void AdjustReferences(Workbook& wb, const formula::Move& move) {
    for (const auto& sheet : wb.SheetList())
        for (Row& row : sheet->RowsData())
            for (Cell& c : row.cells)
                if (c.formula) *c.formula = formula::AdjustForMove(*c.formula, sheet->Name(), sheet->Name(), move);
    for (DefinedName& n : wb.DefinedNames()) {
        std::string scope = n.localSheet >= 0 && n.localSheet < wb.SheetCount() ? wb.Sheet(n.localSheet + 1).Name() : "";
        n.formula = formula::AdjustForMove(n.formula, scope, scope, move);
    }
    for (const auto& sheet : wb.SheetList()) {
        PageSetup& ps = sheet->PageSetup();
        for (std::string* s : {&ps.PrintArea, &ps.PrintTitleRows, &ps.PrintTitleColumns}) {
            if (s->empty()) continue;
            *s = formula::AdjustForMove(*s, sheet->Name(), sheet->Name(), move);
            // A print area that was pasted over, or that moved to another sheet, is no longer set.
            if (s->find("#REF!") != std::string::npos || s->find('!') != std::string::npos) s->clear();
        }
    }
}

}  // namespace

void Range::Cut(const Range& destination) {
    Worksheet& from = Sheet();
    Worksheet& to = destination.Sheet();
    if (areas_.size() != 1) throw HostError("不能对多重选定区域使用此命令");
    if (&to.Parent() != &from.Parent()) throw HostError("剪切的单元格只能移到同一工作簿中。");
    const Rect src = Area();
    const Rect at = destination.Area();
    const Rect dst{at.top, at.left, at.top + src.Rows() - 1, at.left + src.Columns() - 1};
    if (dst.bottom > kMaxRows || dst.right > kMaxColumns) throw HostError("粘贴区域超出了工作表的边界。");
    const bool sameSheet = &from == &to;
    if (sameSheet && dst == src) return;
    from.CheckUserEdit(src);
    to.CheckUserEdit(dst);
    const std::vector<Rect> moving = from.MergedAreas().Intersecting(src);
    for (const Rect& m : moving)
        if (!src.Contains(m)) throw HostError(kPartOfMerge);
    const std::vector<Rect> covered = to.MergedAreas().Intersecting(dst);
    for (const Rect& m : covered)
        if (!dst.Contains(m) && !(sameSheet && src.Contains(m))) throw HostError(kPartOfMerge);

    // Nothing below throws: the move happens whole.
    const formula::Move move{from.Name(), to.Name(), src, dst.top - src.top, dst.left - src.left};
    std::vector<std::pair<int32_t, Cell>> cells = TakeOut(from, src);
    TakeOut(to, dst);  // what the paste covers goes
    AdjustReferences(from.Parent(), move);
    for (auto& [row, cell] : cells)
        if (cell.formula) *cell.formula = formula::AdjustForMove(*cell.formula, from.Name(), to.Name(), move);
    for (auto& [row, cell] : cells) {
        const int32_t col = cell.col + move.dCols;
        Cell& placed = to.GetCell(row + move.dRows, col);
        placed = std::move(cell);
        placed.col = col;
    }

    for (const Rect& m : moving) from.MergedAreas().RemoveIntersecting(m);
    to.MergedAreas().RemoveIntersecting(dst);
    for (const Rect& m : moving) to.MergedAreas().push_back({m.top + move.dRows, m.left + move.dCols,
                                                             m.bottom + move.dRows, m.right + move.dCols});

    auto shift = [&](Picture& p) {
        p.from.row += move.dRows, p.to.row += move.dRows;
        p.from.col += move.dCols, p.to.col += move.dCols;
    };
    if (sameSheet) {
        for (Picture& p : from.Pictures())
            if (PictureInside(p, src)) shift(p);
        from.Kept().ApplyMove(src, move.dRows, move.dCols);
    } else {
        for (Picture& p : from.Pictures())
            if (PictureInside(p, src)) shift(to.Pictures().push_back(p));
        from.Pictures().EraseIf([&](const Picture& p) { return PictureInside(p, src); });
    }

    // The formula engine cannot move cells: its model is built again.
    from.Parent().Recalculation().StructureChanged();
    from.MarkChanged();
    if (!sameSheet) to.MarkChanged();
}

}  // namespace host
