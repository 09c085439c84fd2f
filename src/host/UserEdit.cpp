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

}  // namespace host
