#include "arrangement/HostSort.h"

#include <vector>

#include "host/Worksheet.h"

namespace arrangement {

namespace {
host::Range Block(host::Worksheet& sheet, const WorkTable& table) {
    return sheet.Cells(1, 1).Resize(table.cells.Rows(), table.cells.Columns());
}
}  // namespace

void WriteBack(host::Worksheet& sheet, const WorkTable& table) {
    sheet.Cells().ClearContents();
    if (table.cells.Rows() > 0 && table.cells.Columns() > 0) Block(sheet, table).SetValues(table.cells);
}

void HostSort(host::Worksheet& sheet, WorkTable& table, std::initializer_list<SortColumn> keys) {
    WriteBack(sheet, table);
    if (table.cells.Rows() < 3 || table.cells.Columns() < 1) return;  // a title and one row: nothing moves
    host::Range block = Block(sheet, table);
    std::vector<host::SortKey> hostKeys;
    for (const SortColumn& k : keys) hostKeys.push_back({sheet.Cells(1, k.column), k.order});
    block.Sort(hostKeys, host::xlYes, host::xlTopToBottom);
    table.cells = block.Values();
}

}  // namespace arrangement
