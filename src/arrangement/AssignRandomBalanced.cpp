#include "arrangement/AssignRandomBalanced.h"

#include <algorithm>
#include <vector>

#include "arrangement/DeskGrid.h"
#include "arrangement/HostSort.h"
#include "arrangement/RandomDraw.h"
#include "arrangement/RoomList.h"
#include "host/Worksheet.h"

namespace arrangement {

namespace {

// Seats per class and room. Rows are the class table's classes, columns the
// rooms that take candidates, both in table order.
//
//              room 1 … room M
//   given      seats given so far in the room
//   class k    seats of class k in the room (its share, then + leftovers)
struct Allocation {
    std::vector<Room> rooms;
    std::vector<ClassEntry> classes;
    std::vector<std::vector<int32_t>> seats;  // [class][room]
    std::vector<int32_t> given;               // [room]
};

Allocation ShareOut(const SheetSettings& s) {
    Allocation a;
    a.rooms = ListRooms(s, RoomFilter::Active);
    a.classes = ListClasses(s);
    a.seats.assign(a.classes.size(), std::vector<int32_t>(a.rooms.size(), 0));
    if (s.gradeTotal <= 0) return a;
    for (size_t c = 0; c < a.rooms.size(); ++c)
        for (size_t k = 0; k < a.classes.size(); ++k)
            a.seats[k][c] = int32_t(a.classes[k].size) * a.rooms[c].total / s.gradeTotal;
    return a;
}

double SeatKey(platform::Toolkit& tk, int32_t position) { return double(position) + double(tk.Rnd()); }

// Rows i, i+1, … that carry the same class as row i.
int32_t RunLength(const WorkTable& t, int32_t i) {
    int32_t end = i;
    while (end + 1 <= t.LastRow() && t.ClassOf(end + 1) == t.ClassOf(i)) ++end;
    return end - i + 1;
}

// A random number per candidate, then class by class, in random order inside
// each class; rows without a class last.
void ShuffleInsideClasses(host::Worksheet& sheet, WorkTable& t, platform::Toolkit& tk) {
    tk.Randomize();
    for (int32_t r = 2; r <= t.LastRow(); ++r)
        if (!t.ClassOf(r).IsEmpty()) t.cells(r, t.RoomColumn()) = host::Variant(double(tk.Rnd()));
    HostSort(sheet, t, {{t.classColumn}, {t.RoomColumn()}});
}

// Each class's block of rows gets its share of every room, seat keys b + a
// fraction; the rest of the block the unplaced marker. A block is never taken
// past the rows that really carry the class, and a class is placed once: rows
// beyond its stated size, should the class table understate it, are left to
// the leftover deal instead of taking a second share of every room.
int32_t PlaceShares(WorkTable& t, Allocation& a, platform::Toolkit& tk) {
    FirstIndex classIndex(a.classes, [](const ClassEntry& e) -> const host::Variant& { return e.value; },
                          [](const ClassEntry& e) { return e.size > 0; });
    std::vector<bool> placed(a.classes.size(), false);
    // Counted as given, not summed from the shares: the two differ when the
    // class table and the roster disagree, and the leftover deal fills up to
    // the room totals from here.
    a.given.assign(a.rooms.size(), 0);
    int32_t leftovers = 0;
    auto markUnplaced = [&](int32_t row) {
        t.cells(row, t.RoomColumn()) = host::Variant(kUnplacedMarker);
        t.cells(row, t.SeatColumn()) = host::Variant(double(tk.Rnd()));
        ++leftovers;
    };
    for (int32_t i = 2; i <= t.LastRow();) {
        int32_t k = classIndex.Find(t.ClassOf(i));
        if (k < 0) { ++i; continue; }
        int32_t block = std::min<int32_t>(a.classes[k].size, RunLength(t, i));
        if (placed[k]) block = RunLength(t, i);
        int32_t d = 0;
        for (size_t c = 0; c < a.rooms.size() && !placed[k]; ++c)
            for (int32_t b = 1; b <= a.seats[k][c] && d < block; ++b, ++d) {
                t.cells(i + d, t.RoomColumn()) = a.rooms[c].number;
                t.cells(i + d, t.SeatColumn()) = host::Variant(SeatKey(tk, b));
                ++a.given[c];
            }
        for (; d < block; ++d) markUnplaced(i + d);
        placed[k] = true;
        i += block;
    }
    return leftovers;
}

bool IsUnplaced(const host::Variant& v) { return v.IsText() && v.Text() == kUnplacedMarker; }

// The leftovers one by one to the rooms in cyclic order from a random
// room on, full rooms passed over.
void DealLeftovers(WorkTable& t, Allocation& a, int32_t leftovers, platform::Toolkit& tk) {
    int32_t s = 2;
    while (s <= t.LastRow() && !IsUnplaced(t.cells(s, t.RoomColumn()))) ++s;
    const int32_t m = int32_t(a.rooms.size());
    if (s > t.LastRow() || m == 0) return;
    int32_t free = 0;
    for (int32_t c = 0; c < m; ++c) free += std::max(0, a.rooms[c].total - a.given[c]);
    FirstIndex classIndex(a.classes, [](const ClassEntry& e) -> const host::Variant& { return e.value; },
                          [](const ClassEntry&) { return true; });
    tk.Randomize();
    int32_t j = RandomWhole(tk, m) - 1;
    for (int32_t row = s, dealt = 0; dealt < leftovers && row <= t.LastRow() && free > 0; j = (j + 1) % m) {
        if (a.rooms[j].total <= a.given[j]) continue;
        t.cells(row, t.RoomColumn()) = a.rooms[j].number;
        int32_t k = classIndex.Find(t.ClassOf(row));
        if (k >= 0) t.cells(row, t.SeatColumn()) = host::Variant(SeatKey(tk, ++a.seats[k][j]));
        ++a.given[j];
        --free;
        ++row;
        ++dealt;
    }
}

// Calls f(room, firstRow) for each room block met walking down the rows: a
// row whose room value is an active room's number starts a block of that
// room's total; other rows are passed over.
template <class F>
void ForEachRoomBlock(const WorkTable& t, const std::vector<Room>& rooms, bool wholeOnly, F f) {
    FirstIndex roomIndex = ActiveRoomIndex(rooms);
    for (int32_t d = 2; d <= t.LastRow();) {
        int32_t r = roomIndex.Find(t.cells(d, t.RoomColumn()));
        if (r < 0 || (wholeOnly && d + rooms[r].total - 1 > t.LastRow())) { ++d; continue; }
        f(rooms[r], d);
        d += rooms[r].total;
    }
}

// Report lines go one per row below the last filled cell of column 1. That
// cell is looked up once per sheet: the run writes the revision sheet's last
// row before clearing it, so its stored rows reach the bottom of the sheet and
// each look-up walks up through a million empty rows (once per line it made a
// sheet with many findings, such as two unbalanced classes, take seconds).
class ReportLines {
public:
    explicit ReportLines(host::Worksheet& revision) : revision_(revision) {}

    void Append(const std::vector<std::string>& lines) {
        for (const std::string& line : lines) {
            if (next_ == 0) next_ = revision_.Cells(host::kMaxRows, 1).End(host::xlUp).Row() + 1;
            revision_.Cells(next_++, 1).SetValue(host::Variant(line));
        }
    }

private:
    host::Worksheet& revision_;
    int32_t next_ = 0;  // 0 until the first line
};

void NumberSeats(WorkTable& t, const std::vector<Room>& rooms) {
    ForEachRoomBlock(t, rooms, true, [&](const Room& room, int32_t first) {
        for (int32_t b = 1; b <= room.total; ++b) t.cells(first + b - 1, t.SeatColumn()) = host::Variant(b);
    });
}

}  // namespace

void AssignRandomBalanced(host::Worksheet& sheet, WorkTable& table, const SheetSettings& settings,
                          DeskOrder deskOrder, host::Worksheet& revisionSheet, platform::Toolkit& toolkit,
                          const std::string& rosterName) {
    if (table.classColumn <= 0) return;  // nobody is a candidate
    Allocation a = ShareOut(settings);   // may refuse oversized rooms or classes: before any change
    ShuffleInsideClasses(sheet, table, toolkit);
    int32_t leftovers = PlaceShares(table, a, toolkit);
    HostSort(sheet, table, {{table.RoomColumn()}, {table.SeatColumn()}});
    if (leftovers > 0) {
        DealLeftovers(table, a, leftovers, toolkit);
        HostSort(sheet, table, {{table.RoomColumn()}, {table.SeatColumn()}});
    }
    RepairAdjacentRows(table, settings.classCount, toolkit);
    ReportLines report(revisionSheet);
    if (settings.classCount == 1 && table.LastRow() > 2) {
        // Every neighbour is a classmate: one plain line instead of a grid per room.
        report.Append({"《" + rosterName + "》只有一个班级，同班考生无法前后左右分开。"});
    } else if (settings.classCount > 1) {
        ForEachRoomBlock(table, a.rooms, false, [&](const Room& room, int32_t first) {
            report.Append(CheckDeskGrid(table, room, settings.groups, first, rosterName, deskOrder, toolkit));
        });
    }
    NumberSeats(table, a.rooms);
}

}  // namespace arrangement
