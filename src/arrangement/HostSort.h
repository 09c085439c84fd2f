#pragma once
// The two steps by which every ordering of an arrangement hands its work table
// to the host: write-back, and the host's own Sort over the written block, so
// that numbers, text, empty cells and Chinese class names come out in exactly
// the host's order.
#include <initializer_list>

#include "arrangement/WorkTable.h"
#include "host/Range.h"

namespace host {
class Worksheet;
}

namespace arrangement {

struct SortColumn {
    int32_t column = 0;  // work-table column, 1-based
    host::XlSortOrder order = host::xlAscending;
};

// Clears the contents (not the formats) of every cell of the sheet, then
// writes the work table from "A1" at its own size.
void WriteBack(host::Worksheet& sheet, const WorkTable& table);

// Write-back, then the host's Sort of the written block by the given columns
// (at most three), header row kept, top to bottom; then the block is read back
// into the work table, which keeps its size.
void HostSort(host::Worksheet& sheet, WorkTable& table, std::initializer_list<SortColumn> keys);

}  // namespace arrangement
