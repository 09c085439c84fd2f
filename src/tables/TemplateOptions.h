#pragma once
// The template options table on the parameter sheet: one row per template
// from row 2 (row 1 holds titles the system never reads), seven columns:
//   A name   B partition field   C sort field   D groups left to right
//   E desks bottom up   F first body row holds column titles (0/1)
//   G photo scale in percent (text as typed)
// A template's row is the first from row 2 whose column A equals its name;
// the table ends at the last filled cell of column A.
#include <cstdint>
#include <optional>
#include <string>

namespace host {
class Workbook;
}

namespace tables {

struct TemplateOptions {
    std::string partition;           // a field-list item; TAB + "无" for none
    std::string sort;
    bool groupsLeftToRight = false;  // 组顺序 自左向右 (else 自右向左)
    bool desksBottomUp = false;      // 桌顺序 自下向上 (else 自上而下)
    int16_t titleRow = 0;            // 主体区第一行是列标题: 1 ticked
    std::string photoScale = "99";   // the text of the scale box
};

// The stored options as the window shows them on selecting the template:
// D or E equal to 0 (FALSE or empty) mean right to left and top down, F is
// read as a number, G below 1 (or empty) shows "99". nullopt when the
// template has no row.
std::optional<TemplateOptions> ReadTemplateOptions(const host::Workbook& system, const std::string& name);

// The generation's first step: the template's row (appended below the last
// filled cell of column A when missing) gets B–G from the options, the scale
// trimmed; D and E are booleans.
void WriteTemplateOptions(host::Workbook& system, const std::string& name, const TemplateOptions& options);

// A new row below the last filled cell of column A holding only the name,
// with columns A–C formatted as text ("@").
void AppendTemplateRow(host::Workbook& system, const std::string& name);

// Renames the template's row (whole-cell match in column A); appends a row
// for the new name when there is none.
void RenameTemplateRow(host::Workbook& system, const std::string& oldName, const std::string& newName);

// Deletes the template's cells A–G, moving the rows below up; false when the
// template has no row.
bool DeleteTemplateRow(host::Workbook& system, const std::string& name);

// The scale PlacePhoto uses: the text trimmed and read as a number; below 1 means 99.
float PhotoScalePercent(const std::string& text);

// Whether a typed scale is refused ("输入错误；输入范围：1-100！"): a text
// that is not empty and, trimmed, is not numeric or lies outside 1–100.
bool IsRefusedPhotoScale(const std::string& text);
inline constexpr const char* kPhotoScaleRefusal = "输入错误；输入范围：1-100！";

}  // namespace tables
