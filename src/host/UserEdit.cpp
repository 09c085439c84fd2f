#include "host/HostError.h"
#include "host/Style.h"
#include "host/TypedInput.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"

namespace host {

void Worksheet::UserEdit(int32_t row, int32_t col, const std::string& typed) {
    if (row < 1 || row > kMaxRows || col < 1 || col > kMaxColumns) throw HostError("单元格位置超出工作表");
    const CellFormat& format = parent_->Styles().Get(StyleAt(row, col));
    if (ProtectContents() && format.protection.locked) throw HostError("单元格或图表受保护，不能修改。");
    TypedEntry e = ParseTypedEntry(typed, format.numberFormat == "@");
    if (!e.isFormula) {
        SetValueAt(row, col, std::move(e.value));
    } else {
        Cell& c = GetCell(row, col);
        c.value = Variant();
        c.formula = std::make_unique<std::string>(std::move(e.formula));
        MarkCellsChanged(Rect{row, col, row, col});
    }
    // As the host does after every entry: the cell and everything that depends on it show their new results.
    parent_->Calculate();
}

namespace {
constexpr const char* kLockedCell = "单元格或图表受保护，不能修改。";
}

void Worksheet::CheckUserEdit(int32_t row, int32_t col) const {
    if (ProtectContents() && parent_->Styles().Get(StyleAt(row, col)).protection.locked) throw HostError(kLockedCell);
}

void Worksheet::CheckUserEdit(const Rect& b) const {
    if (!ProtectContents()) return;
    const StyleTable& styles = parent_->Styles();
    auto locked = [&](uint32_t s) { return styles.Get(s).protection.locked; };
    if (b.Count() <= 100000) {
        for (int32_t r = b.top; r <= b.bottom; ++r)
            for (int32_t c = b.left; c <= b.right; ++c)
                if (locked(StyleAt(r, c))) throw HostError(kLockedCell);
        return;
    }
    // A large block: every format that some cell of it can show.
    bool fallsBack = false;  // some cell shows the default format
    for (int32_t c = b.left; c <= b.right; ++c) {
        const ColumnInfo* ci = FindColumn(c);
        if (ci && ci->style) {
            if (locked(ci->style)) throw HostError(kLockedCell);
        } else {
            fallsBack = true;
        }
    }
    for (int32_t r = b.top; r <= b.bottom && size_t(r) <= rows_.size(); ++r) {
        const Row& row = rows_[size_t(r - 1)];
        if (row.info.style && locked(row.info.style)) throw HostError(kLockedCell);
        for (const Cell& cell : row.cells)
            if (cell.col >= b.left && cell.col <= b.right && locked(cell.style)) throw HostError(kLockedCell);
    }
    if (fallsBack && locked(0)) throw HostError(kLockedCell);
}

}  // namespace host
