#pragma once
// The common tail of arranging one roster sheet: exam numbers, seat labels
// and the room and class figures, computed as system columns to the right of
// the user's columns on the sort sheet; then the rows go back to their first
// order and the system columns alone are written into the roster sheet, the
// row-number column left out. The user's cells are never written: values,
// formulas and formats stay where they were. Final columns (L = the user's
// last column, every title TAB + the text shown):
//   L+1 场号  L+2 座号  L+3 AB座号  L+4 考号  L+5 首考号  L+6 尾考号 ("@" text)
//   L+7 场人  L+8 场数  L+9 班数  L+10 级人  L+11 班人  L+12… extra fields
// Rows without a room keep empty output cells and their place.
#include <cstdint>
#include <string>

#include "arrangement/WorkTable.h"

namespace host {
class Worksheet;
}

namespace arrangement {

// How exam numbers are formed, fixed once per run.
struct ExamNumbering {
    bool methodOne = true;       // counter (Option4); otherwise column + room + seat
    int32_t counterWidth = 0;    // method 1: digits of (capacity + first number)
    int16_t roomWidth = 0;       // method 2: digits of the number of rooms in use
    int16_t seatWidth = 0;       // method 2: digits of the largest room
};

// Whether a row-1 title is one the arrangement writes: TAB + one of its own
// titles or TAB + an extra field title of the settings sheet. Any other
// title, TAB-led or not, is the user's.
bool IsSystemColumnTitle(const std::string& title, const SheetSettings& settings);

// `text` with "0" put in front until it is `width` characters long; never cut.
std::string ZeroPadded(const std::string& text, int32_t width);

// "7A", "12B": the seat number's text and its side of the desk.
std::string SeatLabel(const host::Variant& seat);

// Every candidate row of `table` has its room and seat (the work table still
// carries the row-number column at L+3). `counter` is the run's, shared by all
// roster sheets: method 1 takes the next number from it for every seat.
// The table ends in its first row order, the row-number column still in it.
void WriteOutputColumns(host::Worksheet& sortSheet, WorkTable& table, const SheetSettings& settings,
                        const ExamNumbering& numbering, int64_t& counter);

// The columns right of the user's (L) that a run needs: the eleven system
// columns and, while it works, the row numbers.
inline constexpr int32_t kColumnsRightOfUserData = 12;

// Why a sheet whose user data reach column `lastColumn` cannot be arranged;
// empty when the columns fit.
std::string NoRoomForSystemColumns(int32_t lastColumn);

// Writes the table's system columns into the roster sheet from column L + 1,
// the row-number column left out, 考号/首考号/尾考号 as text ("@"). A
// HostError naming the limit, before anything is written, when they would
// pass the sheet's last column.
void WriteSystemColumns(host::Worksheet& roster, const WorkTable& table);

}  // namespace arrangement
