#pragma once
// The field lists of the Arrangement and Exam-tables windows: the column
// titles that every qualifying roster sheet carries in row 1.
#include <string>
#include <vector>

namespace host {
class Workbook;
}

namespace workbook {

// Row-1 titles common to all qualifying roster sheets, in the column order of
// the reference sheet (the qualifying sheet with the fewest columns, earliest
// on ties, fewer than 2000 columns). A roster sheet qualifies when row 1 holds
// "班级" and that column has a value below row 1 within the used range.
std::vector<std::string> CommonFieldTitles(const host::Workbook& roster);

// The common titles as a window offers them in its field lists; the roster
// workbook is activated when it has roster sheets, as filling the lists does.
std::vector<std::string> OfferedFieldTitles(host::Workbook& roster);

}  // namespace workbook
