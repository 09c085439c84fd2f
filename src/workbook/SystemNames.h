#pragma once
// Names and texts that the system writes itself. Everything a user could type
// as a name is kept apart by a TAB (U+0009) inside the system's own names.
#include <string_view>

namespace workbook {

inline constexpr std::string_view kTab = "\t";

// Protects the front sheet of the system workbook and the settings sheets of
// every roster workbook.
inline constexpr std::string_view kSheetPassword = "quietlantern7204";

// Shown in the host's status bar while a long command blocks.
inline constexpr std::string_view kBusyText = "程序正在运行，请耐心等待……";

// First entry of the field lists: no column chosen.
inline constexpr std::string_view kNoneEntry = "\t无";

// Suffix that makes a roster sheet's name into its settings sheet's name.
inline constexpr std::string_view kSettingsSuffix = "\t设置";

// The title a roster sheet carries in row 1 over its class column.
inline constexpr std::string_view kClassTitle = "班级";

// Row 1 of the template options table on the parameter sheet; what tells a
// system workbook from a roster that happens to carry the same code names.
inline constexpr std::string_view kOptionsTitles[] = {"模板名称", "分区字段", "排序字段", "组顺序自左向右",
                                                      "桌顺序自下向上", "首行是列标题", "照片缩放比例(%)"};

// The tool's name as its windows and the front sheet show it.
inline constexpr std::string_view kProductName = "考场编排系统";

}  // namespace workbook
