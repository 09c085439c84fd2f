#pragma once
// The desk grid of one room in the random ordering: one grid column per group
// that seats this grade, one grid row per desk position, filled in seat order
// down every column (sequential) or down the odd and up the even columns (S
// shape). Same-class neighbours side by side (左右) or one behind the other
// (前后) are separated by swapping one of them with a random candidate of the
// room for whom the swap leaves no same-class neighbour; what cannot be
// separated is reported.
#include <string>
#include <vector>

#include "arrangement/RoomList.h"
#include "arrangement/WorkTable.h"

namespace platform {
class Toolkit;
}

namespace arrangement {

// The work-table row at each desk: rows[k − 1][e − 1] for grid column k and
// desk position e (both from 1), 0 for a desk beyond its group's count. There
// are always G columns; grid column k is the k-th group with candidates.
struct DeskLayout {
    int32_t positions = 0;  // Rt, the room's largest group count
    std::vector<std::vector<int32_t>> rows;
};

DeskLayout LayOutDesks(const WorkTable& table, const Room& room, int16_t groups, int32_t firstRow, DeskOrder order);

// `room` is the room's entry of the room table (its group counts give the
// grid), `groups` is G, `firstRow` the work-table row of the room's first
// seat; the room's candidates are its total's worth of consecutive rows from
// there. Swaps work-table rows and returns the report lines, the left–right
// line before the front–back line, each only when it names a finding:
//   第3考场《高一》左右同班：第1、2组的第4桌考生同班；
//   第3考场《高一》前后同班：第2组的第5、6桌考生同班；
// Group numbers are grid columns: a group without candidates of the grade is
// not counted. A room running past the last row gets the grid columns that fit.
std::vector<std::string> CheckDeskGrid(WorkTable& table, const Room& room, int16_t groups, int32_t firstRow,
                                       const std::string& sheetName, DeskOrder order, platform::Toolkit& toolkit);

}  // namespace arrangement
