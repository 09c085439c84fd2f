#pragma once
#include <utility>

#include "arrangement/WorkTable.h"

namespace arrangement {

// Exchanges two candidates between their seats: the user's columns and the
// row-number column move, the room and seat columns stay with the seat.
inline void SwapCandidates(WorkTable& table, int32_t a, int32_t b) {
    if (a == b) return;
    for (int32_t c = 1; c <= table.lastColumn; ++c) std::swap(table.cells(a, c), table.cells(b, c));
    if (table.RowNumberColumn() <= table.cells.Columns())
        std::swap(table.cells(a, table.RowNumberColumn()), table.cells(b, table.RowNumberColumn()));
}

}  // namespace arrangement
