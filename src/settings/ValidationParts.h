#pragma once
// The pieces ValidateRoster is made of: the parameters it reads, the report
// block and desk-sharing table it fills in memory, the room table of a
// settings sheet, and the distinct-value lists built on the scratch sheet.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/Array2D.h"
#include "host/Variant.h"

namespace host {
class Workbook;
class Worksheet;
}  // namespace host

namespace settings::validation {

// K2–K5 as numbers, 0 for a cell that cannot be read. Negative values are
// taken as 0 so that the report keeps its minimal shape.
struct Parameters {
    int32_t groups = 0;  // G, K2 考场组数
    int32_t grades = 0;  // D, K3 同桌年级数
    int32_t rooms = 0;   // R, K4 考场总数
    int32_t fields = 0;  // F, K5 设置表字段数
};
Parameters ReadParameters(const host::Workbook& system);

// Sheet rows of the report block; rows 15 + k (k = 1 … R) are the rooms.
enum ReportRow : int32_t {
    kRowRosterPath = 1,
    kRowSettingsName = 2,
    kRowSettingsRooms = 3,
    kRowCapacity = 4,
    kRowSettingsRemark = 5,
    kRowRosterName = 6,
    kRowClassChecks = 7,
    kRowCandidates = 8,
    kRowUsedRows = 9,
    kRowUsedColumns = 10,
    kRowRosterRemark = 11,
    kRowRoomChecks = 12,
    kRowRosterRooms = 13,
    kRowPlaced = 14,
    kRowRoomRemark = 15,
};

// The report block, R + 15 rows by n + 3 columns, every cell text:
//   A: labels | one column per roster sheet | 结论 | 修改意见
// Conclusion and suggestion cells are shared by all roster sheets.
class ReportBlock {
public:
    ReportBlock(int32_t rooms, int32_t sheetCount, bool roomChecks, const std::string& rosterFullName);

    int32_t Rows() const { return rows_; }
    int32_t Columns() const { return cols_; }
    const std::string& At(int32_t row, int32_t col) const { return cells_[Index(row, col)]; }

    // Column of the roster sheet numbered `sheet` (1-based, workbook order).
    static int32_t SheetColumn(int32_t sheet) { return sheet + 1; }
    // Cells outside the block are ignored, as a write past an array's end is a
    // skipped step.
    void Set(int32_t row, int32_t col, std::string text);
    void SetNumber(int32_t row, int32_t col, double n);
    void Append(int32_t row, int32_t col, std::string_view text);
    void Conclude(int32_t row, std::string conclusion, std::string suggestion);
    void AppendConclusion(int32_t row, std::string_view conclusion, std::string_view suggestion);

    // The values as they stand after being re-entered: numeric text becomes numbers.
    host::Array2D Entered() const;

private:
    size_t Index(int32_t row, int32_t col) const { return size_t(row - 1) * cols_ + (col - 1); }
    bool Inside(int32_t row, int32_t col) const { return row >= 1 && row <= rows_ && col >= 1 && col <= cols_; }

    int32_t rows_, cols_;
    std::vector<std::string> cells_;
};

// "同桌年级数检查": R + 2 rows by G + 3 columns.
//   row 1: title; row 2: 场号 | 1组 … G组 | 结论 | 修复意见
//   row 2 + k: k | settings sheets that use group g of room row k | conclusion | suggestion
class DeskSharingTable {
public:
    DeskSharingTable(int32_t rooms, int32_t groups);

    int32_t Rows() const { return rooms_ + 2; }
    int32_t Columns() const { return groups_ + 3; }
    int32_t Count(int32_t roomRow, int32_t group) const { return counts_[Index(roomRow, group)]; }
    // One more grade in group `group` of room row `roomRow`; false (and the
    // row's conclusion set) when the group now holds more than `grades`.
    bool AddGrade(int32_t roomRow, int32_t group, int32_t grades);

    host::Array2D Entered() const;

private:
    size_t Index(int32_t roomRow, int32_t group) const { return size_t(roomRow - 1) * groups_ + (group - 1); }

    int32_t rooms_, groups_;
    std::vector<int32_t> counts_;
    std::vector<bool> failed_;
};

// Text as re-entered into a cell: numbers, booleans and error names become
// values of their type; formulas are not made (the text stays).
host::Variant Reentered(const std::string& text);

// ----- settings sheets -----

// Last filled cell of row 1 in column F + G + 9 and of column H in row R + 1.
bool HasExpectedShape(const host::Worksheet& settings, const Parameters& p);

struct RoomRow {
    host::Variant name;      // 场号; a row with an empty name takes no part
    std::vector<double> capacities;  // groups 1 … G, each read as a number
    double total = 0;        // recomputed; the sheet's own 场人 column is not used
    // Groups whose count is not empty and not a whole number of at least 0
    // held as a number (a negative or fractional count, or text such as '10).
    std::vector<int32_t> badCounts;
};

// Rows 2 … R + 1 of the room table from H1 (F + G + 2 columns), in one read.
std::vector<RoomRow> ReadRoomTable(host::Worksheet& settings, const Parameters& p);

// ----- distinct values on the scratch sheet -----

// The distinct values of one roster column (rows 2 … lastRow) in the host's
// ascending order, found with the advanced filter and sort on the scratch
// sheet (its used range is cleared first). Empty values are not listed.
std::vector<host::Variant> DistinctValues(host::Worksheet& roster, int32_t col, int32_t lastRow,
                                          host::Worksheet& scratch);

// Rows 2 … lastRow whose class cell is not empty, counted against the list:
// counts[i] rows hold values[i] in column keyCol; matched = rows counted.
struct Tally {
    std::vector<host::Variant> values;
    std::vector<int32_t> counts;
    int32_t matched = 0;
};
Tally CountRows(const host::Array2D& data, int32_t lastRow, int32_t classCol, int32_t keyCol,
                std::vector<host::Variant> values);

// Columns whose row-1 title equals `title` exactly, left to right.
std::vector<int32_t> ColumnsTitled(const host::Array2D& data, std::string_view title);

// Whether two cell values name the same class or room: the same text form,
// so a room 1 held as a number and as the text "1" is one room.
bool SameKey(const host::Variant& a, const host::Variant& b);

// Class statistics into columns A–E of a settings sheet (class table from
// A1, 级人, 班数, table rows); the class cells get `classFormat`.
void WriteClassStatistics(host::Worksheet& settings, const Tally& classes, int32_t candidates,
                          const std::string& classFormat);

}  // namespace settings::validation
