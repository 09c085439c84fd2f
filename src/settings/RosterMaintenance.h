#pragma once
// "维护数据 (&E)" of the Settings window: cleans or marks the roster sheets of
// the roster workbook and lists what it found on the revision sheet (Sheet3).
#include "workbook/Outcome.h"

namespace workbook {
struct Context;
}

namespace settings {

// Asks Yes (clean: delete empty rows and columns and repeated rows, unmerge),
// No (mark: −1 in the mark column or in row 1, merged cells filled red) or
// Cancel (nothing changes; stopped). The roster workbook is changed, not
// saved. The caller (the window's button dispatcher) owns the host switches
// and the status bar text.
workbook::Outcome MaintainRosterData(const workbook::Context& ctx);

}  // namespace settings
