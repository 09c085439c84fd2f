#pragma once
// What FreeXL does not hand out of an Excel 97-2003 file (formula results,
// booleans, errors, merged areas, hidden sheets), read from its records; see
// XlsCellRecords.cpp.
#include <map>
#include <string_view>
#include <utility>
#include <vector>

#include "host/Address.h"
#include "host/Variant.h"
#include "host/Worksheet.h"

namespace host::import {

struct XlsSheetCells {
    std::map<std::pair<int32_t, int32_t>, Variant> cells;  // (row, column), 1-based
    std::vector<Rect> merged;
    int visible = xlSheetVisible;  // xlSheetVisible, xlSheetHidden or xlSheetVeryHidden
};

// One entry per worksheet in tab order; empty when the file is no BIFF8
// workbook this reader understands.
std::vector<XlsSheetCells> ReadXlsCellRecords(std::string_view fileBytes);

}  // namespace host::import
