#pragma once
// A cell's value as a cell shows it under its number format. Handles the
// formats the system and ordinary rosters use: "General", text "@", fixed
// decimals ("0", "0.00"), thousands ("#,##0.00"), percent ("0%"), literal
// prefixes and suffixes, up to four sections (positive;negative;zero;text)
// with colour tags dropped, and dates and times ("yyyy/m/d", "yyyy-mm-dd",
// "yyyy年m月d日", "h:mm:ss", "aaaa" for the Chinese weekday).
#include <QString>
#include <string>

#include "host/Variant.h"

namespace render {

QString CellText(const host::Variant& value, const std::string& numberFormat, bool date1904 = false);

// The text drawn in a cell: CellText without TABs (the system's own titles
// start with one, "\t场号", which is not drawn).
QString ShownText(const host::Variant& value, const std::string& numberFormat, bool date1904 = false);

// Whether the format shows numbers as dates or times.
bool IsDateFormat(const std::string& numberFormat);

}  // namespace render
