#pragma once
// Rooms and seats for the random ordering. Every class is spread over all
// rooms of the grade in proportion to the room totals, in random order inside
// the class; inside a room the classes take turns seat by seat. Same-class
// neighbours are then broken up by row swaps (RepairAdjacentRows) and by the
// desk grid of each room (CheckDeskGrid), whose findings go to the revision
// sheet; finally every room's seats are numbered 1, 2, … in row order.
//
// Sizes: room and class sizes are 16-bit as the settings sheets hold them (a
// larger one is refused with a HostError before anything changes); row
// indices, offsets and partner rows are 32-bit, so sheets of more than 32,767
// candidates are arranged in full.
#include "arrangement/WorkTable.h"

namespace host {
class Worksheet;
}
namespace platform {
class Toolkit;
}

namespace arrangement {

// The toolkit's source is reseeded before the shuffle, before the leftover
// deal and before every partner search, so a fixed seed repeats the whole
// arrangement. The revision sheet receives the desk grids' report lines,
// which name the roster sheet. `sortSheet` is scratch space for the host's
// sort; the roster sheet itself is not written.
void AssignRandomBalanced(host::Worksheet& sortSheet, WorkTable& table, const SheetSettings& settings,
                          DeskOrder deskOrder, host::Worksheet& revisionSheet, platform::Toolkit& toolkit,
                          const std::string& rosterName);

// For each pair of consecutive rows of one room and one class, swaps one of
// them with a nearby row (offsets 1 .. classCount − 1 upwards, tried in random
// order) or else with a row anywhere in the sheet (drawn uniformly among all
// that pass), whenever the swap leaves neither in a same-class pair. Near-
// linear in the rows whatever the class sizes. Does nothing for one class or
// fewer.
void RepairAdjacentRows(WorkTable& table, int16_t classCount, platform::Toolkit& toolkit);

}  // namespace arrangement
