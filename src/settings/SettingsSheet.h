#pragma once
// The settings sheet of one roster sheet: the room table from H1, in which
// the user states how many candidates of the grade sit in each desk group of
// each room. With G desk groups, R rooms and F extra fields:
//
//        H      I … (F columns)   next G columns          last column
//   1    场号   (field titles)    1组人数 … G组人数        场人
//   2    1      (text cells)      (counts)                 =SUM(RC[-G]:RC[-1])
//   …    …
//   R+1  R
//   R+2                           … 合计 (under G组人数)   =SUM(R2C:R[-1]C)
//
// Columns A:G are hidden and left to the class statistics of the validation.
// Only the block I1 : (R+1 rows × F+G columns) is unlocked; the sheet is
// protected with the sheet password.
#include <cstdint>
#include <vector>

namespace host {
class Worksheet;
}

namespace settings {

struct SettingsSheetShape {
    int16_t deskGroups = 1;   // G, parameter K2
    int16_t rooms = 1;        // R, parameter K4
    int16_t extraFields = 0;  // F, parameter K5
};

// Table columns that are given the text format in one union.
inline constexpr int kTextFormatBatch = 30;

// The sheet columns of the extra fields, in the unions that get the text
// format together: F = 65 gives three batches of 30, 30 and 5 columns; F = 0
// gives none.
std::vector<std::vector<int32_t>> TextFormatBatches(int16_t extraFields);

// Where the table of a fitting settings sheet ends: the last filled cell of
// row 1 is in column G + F + 9, the last filled cell of column H in row R + 1.
int32_t LastTitleColumn(const SettingsSheetShape& shape);
int32_t LastRoomRow(const SettingsSheetShape& shape);

// Lays `sheet` out as above over whatever it held (values, formats, hidden
// columns are cleared first). Null does nothing. Each step that fails is
// skipped. The two SUM columns carry their results as cached values (the
// workbook is recalculated at the end).
void BuildSettingsSheet(host::Worksheet* sheet, const SettingsSheetShape& shape);

}  // namespace settings
