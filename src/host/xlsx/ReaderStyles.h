#pragma once
// The styles part: cellXfs resolved into complete CellFormats.
#include <string>
#include <vector>

#include "host/Style.h"

namespace pugi {
class xml_node;
}

namespace host::xlsx {

class ZipSource;

// The code of a built-in number format (ids 0–49; the locale-dependent ids
// 27–36 as a zh-CN host shows them); empty when the id has no built-in code.
std::string BuiltinNumberFormat(int id);

// One CellFormat per <xf> of <cellXfs>, in file order; element 0 is the
// file's default format. Fonts, fills, borders and number formats that an xf
// names but the file lacks fall back to the model's defaults.
std::vector<CellFormat> ReadCellFormats(ZipSource& zip, const std::string& part);

// A <color>-like element (color, fgColor, bgColor); Kind::None when absent.
Color ReadColor(pugi::xml_node n);

}  // namespace host::xlsx
