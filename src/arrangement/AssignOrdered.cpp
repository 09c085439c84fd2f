#include "arrangement/AssignOrdered.h"

#include <vector>

#include "arrangement/HostSort.h"
#include "arrangement/RoomList.h"

namespace arrangement {

namespace {

void SortByKey(host::Worksheet& sheet, WorkTable& table, const std::string& sortKey, SortDirection direction) {
    if (sortKey == kNoneEntry) return;
    int32_t key = table.FirstColumnTitled(sortKey);
    if (key == 0) {
        WriteBack(sheet, table);
        return;
    }
    HostSort(sheet, table, {{key, direction == SortDirection::Ascending ? host::xlAscending : host::xlDescending}});
}

}  // namespace

void AssignOrdered(host::Worksheet& sheet, WorkTable& table, const SheetSettings& settings,
                   const std::string& sortKey, SortDirection direction) {
    // Every room, empty ones included, so the room totals are checked before a cell changes.
    std::vector<Room> rooms = ListRooms(settings, RoomFilter::WithNumber);
    SortByKey(sheet, table, sortKey, direction);

    const int32_t n = table.LastRow();
    int32_t p = 1;  // rows before the room's first seat, passed-over rows included
    for (const Room& room : rooms) {
        for (int32_t b = 1; b <= room.total; ++b) {
            while (b + p <= n && table.ClassOf(b + p).IsEmpty()) ++p;
            if (b + p > n) break;
            table.cells(b + p, table.RoomColumn()) = room.number;
            table.cells(b + p, table.SeatColumn()) = host::Variant(b);
        }
        p += room.total;
    }
}

}  // namespace arrangement
