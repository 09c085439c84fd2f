#pragma once
// The field lists of the Arrangement and Exam-tables windows: the column
// titles that every qualifying roster sheet carries in row 1.
#include <string>
#include <vector>

namespace host {
class Workbook;
}
namespace ui {
class ComboBox;
}

namespace workbook {

// The two field lists of a window, as the window names them.
struct FieldListWindow {
    ui::ComboBox& Combo1;
    ui::ComboBox& Combo2;
};

// Row-1 titles common to all qualifying roster sheets, in the column order of
// the reference sheet (the qualifying sheet with the fewest columns, earliest
// on ties, fewer than 2000 columns). A roster sheet qualifies when row 1 holds
// "班级" and that column has a value below row 1 within the used range.
std::vector<std::string> CommonFieldTitles(const host::Workbook& roster);

// Adds the common titles to Combo1 and then Combo2 of the window, without
// clearing either list or selecting an item, and activates the workbook.
void FillCommonFieldLists(host::Workbook& roster, FieldListWindow window);

}  // namespace workbook
