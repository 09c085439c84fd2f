#pragma once
// The cells FreeXL does not hand out (formula results, booleans, errors),
// read from an Excel 97-2003 file's records; see XlsCellRecords.cpp.
#include <map>
#include <string_view>
#include <utility>
#include <vector>

#include "host/Variant.h"

namespace host::import {

struct XlsSheetCells {
    std::map<std::pair<int32_t, int32_t>, Variant> cells;  // (row, column), 1-based
};

// One entry per worksheet in tab order; empty when the file is no BIFF8
// workbook this reader understands.
std::vector<XlsSheetCells> ReadXlsCellRecords(std::string_view fileBytes);

}  // namespace host::import
