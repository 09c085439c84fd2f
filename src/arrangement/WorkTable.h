#pragma once
// The in-memory tables one roster sheet is arranged in. The run fills them
// from the roster sheet and its settings sheet; the assignments and the output
// columns work on them; the run writes the work table back. Plain data: the
// host sort over a work table lives in arrangement/HostSort.h.
#include <cstdint>
#include <string>
#include <string_view>

#include "host/Array2D.h"
#include "host/Variant.h"

namespace arrangement {

// One roster sheet's cells, indexed from 1 like the host's block values.
//
//   row 1          column titles (user's titles, then the system titles)
//   rows 2 .. N    one candidate each; a row whose class cell is empty is no
//                  candidate and never gets a room or seat
//
//   columns 1 .. L        the user's columns (L = lastColumn)
//   column  L + 1         TAB "场号"  room number (room table column 1, unchanged)
//   column  L + 2         TAB "座号"  seat number from 1; in random mode first a
//                                    seat key (position in room + a fraction)
//   column  L + 3         TAB "A"    the row's own sheet row number, so the
//                                    roster's first order can be restored
//   columns L + 4 ..      output columns added before they are written
//
// cells.Rows() == N (sheet rows are 32-bit; sheets of more than 32,767
// candidates are arranged with 32-bit row indices throughout).
struct WorkTable {
    host::Array2D cells;
    int32_t lastColumn = 0;      // L
    int32_t classColumn = 0;     // first column titled "班级"; 0 when none
    int32_t selectedColumn = 0;  // the exam-number prefix column; 0 for the none entry

    int32_t LastRow() const { return cells.Rows(); }  // N
    int32_t RoomColumn() const { return lastColumn + 1; }
    int32_t SeatColumn() const { return lastColumn + 2; }
    int32_t RowNumberColumn() const { return lastColumn + 3; }

    // The first column whose row-1 title reads `title`; 0 when none. Titles
    // match by their text form, as the field lists offer them, so a title
    // stored as the number 2024 is the field "2024".
    int32_t FirstColumnTitled(std::string_view title) const {
        if (title.empty()) return 0;
        for (int32_t c = 1; c <= cells.Columns(); ++c)
            if (host::ToText(cells(1, c)) == title) return c;
        return 0;
    }

    // The class cell of a row; empty for rows outside 2 .. N and without a class column.
    const host::Variant& ClassOf(int32_t row) const {
        static const host::Variant kNone;
        if (classColumn <= 0 || row < 2 || row > LastRow()) return kNone;
        return cells(row, classColumn);
    }
};

// What the run reads from one settings sheet, cells as the sheet holds them.
//
// classTable: "A1" resized to E3 rows × 2 columns
//   row 1 titles; each further row with a non-empty column A is one class:
//   | A class value (as in the roster's "班级" column) | B candidates of the class |
//
// roomTable: "H1" resized to R + 1 rows × F + G + 2 columns
//   row 1 titles ("场号", F extra field titles, G group titles, "场人")
//   each further row one room:
//   | 1 room number | 2 .. F+1 extra fields | F+2 .. F+G+1 candidates per group | F+G+2 room total |
//   The run replaces the room total (last column) by the sum of the group
//   counts right after reading (RecomputeRoomTotals); a room takes part when
//   its number is not empty and its total is above 0.
struct SheetSettings {
    host::Array2D classTable;
    host::Array2D roomTable;
    int32_t gradeTotal = 0;   // "D2" 级人
    int16_t classCount = 0;   // "E2" 班数
    int16_t roomCount = 0;    // "F2" 场数
    int16_t groups = 0;       // G = "K2" groups per room
    int16_t extraFields = 0;  // F = "K5" extra fields of the room table

    int32_t RoomRows() const { return roomTable.Rows(); }  // rooms are rows 2 .. R + 1
    int32_t TotalColumn() const { return extraFields + groups + 2; }
    int32_t GroupColumn(int32_t group) const { return extraFields + 1 + group; }  // group 1 .. G
};

// Desk order inside a room, as the Arrangement window's option gives it.
enum class DeskOrder { Sequential, SShape };

// The none entry of the field lists: no column.
inline const std::string kNoneEntry = "\t无";

// Text written into the room column of a candidate the proportional share did
// not place; as text it sorts after every numeric room number.
inline const std::string kUnplacedMarker = "座位\t100";

// The sum of the numeric values of the group columns, for every room row with
// a room number (empty counts as 0).
inline void RecomputeRoomTotals(SheetSettings& s) {
    if (s.roomTable.Columns() < s.TotalColumn()) return;
    for (int32_t r = 2; r <= s.RoomRows(); ++r) {
        if (s.roomTable(r, 1).IsEmpty()) continue;
        double sum = 0;
        for (int32_t g = 1; g <= s.groups; ++g) sum += host::ToNumber(s.roomTable(r, s.GroupColumn(g)));
        s.roomTable(r, s.TotalColumn()) = host::Variant(sum);
    }
}

}  // namespace arrangement
