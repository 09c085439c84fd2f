#pragma once
// The in-memory checks of roster maintenance, run on one sheet's values.
//
// Sheet data: A1 … (last used row, last used column + 1); the extra column is
// the mark column. Marks are −1: in the mark column for a row, in row 1 for a
// column.
#include <cstdint>
#include <string>
#include <vector>

#include "host/Array2D.h"

namespace host {
class Worksheet;
}

namespace settings::maintenance {

// Data columns of sheet data (all but the mark column).
inline int32_t DataColumns(const host::Array2D& data) { return data.Columns() - 1; }

host::Array2D ReadSheetData(host::Worksheet& sheet);

struct Marks {
    std::vector<int32_t> rows;     // ascending sheet rows
    std::vector<int32_t> columns;  // ascending sheet columns
};

// Empty rows (from row 2), empty columns (row 1 included) and repeated rows
// (the first occurrence stays); each mark is also written into `data`.
Marks MarkRows(host::Array2D& data);

// "第1行没有“班级”字段", "第1行有N个“班级”字段" or nothing.
std::string ClassTitleMessage(const host::Array2D& data);

// One message per data column with empty cells (rows from 1): the addresses,
// or the >100 notice once a 101st empty cell is met.
std::vector<std::string> EmptyCellMessages(const host::Array2D& data);

// Deletes whole rows bottom up and whole columns right to left, at most 29
// in one union.
void DeleteMarked(host::Worksheet& sheet, const Marks& marks);
// −1 into the mark column of marked rows and row 1 of marked columns.
void WriteMarks(host::Worksheet& sheet, const host::Array2D& data, const Marks& marks);

// Every merged cell that the host's find with the merged-cells format meets
// in the used range, unmerged (cleaning) or filled red (marking) in unions of
// at most 30 cells.
void TreatMergedCells(host::Worksheet& sheet, bool cleaning);

// "2026/12/8 1:06:08" for local seconds since the epoch, the date alone at midnight.
std::string HostDateTimeText(double localSeconds);

}  // namespace settings::maintenance
