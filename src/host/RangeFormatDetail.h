#pragma once
// Shared by the format files of Range.
#include "host/Range.h"
#include "host/Style.h"

namespace host {

// The format shown by the range's top-left cell (its own, else its row's or column's).
const CellFormat& TopLeftCellFormat(const Range& r);

}  // namespace host
