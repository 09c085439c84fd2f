#pragma once
// Rooms and seats for the ascending and descending orderings: the candidates
// in the order of the sort key (or the roster's order for the none entry),
// poured into the rooms one after another in room-table order, each room
// taking exactly its total for this grade. No same-class check is made.
#include <string>

#include "arrangement/WorkTable.h"

namespace host {
class Worksheet;
}

namespace arrangement {

enum class SortDirection { Ascending, Descending };

// `sortKey` is the text of the key list: a row-1 title, or kNoneEntry for no
// sort. A title that matches no column leaves the roster's order. Fills the
// room and seat columns; rows no room reaches, and rows without a class, keep
// them empty. A room total above 32,767 is refused with a HostError before
// anything is written.
void AssignOrdered(host::Worksheet& sheet, WorkTable& table, const SheetSettings& settings,
                   const std::string& sortKey, SortDirection direction);

}  // namespace arrangement
