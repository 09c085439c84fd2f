#pragma once
// Checks a roster workbook against its settings sheets and the parameter
// cells K2–K5, and writes what it finds to the revision sheet (Sheet3) of the
// system workbook: the report block from A1, the desk-sharing check table
// below it, and the totals row in the sheet's last row. Also rebuilds the
// class statistics (columns A–G) of every settings sheet that fits.
#include "workbook/Outcome.h"

namespace host {
class Workbook;
}
namespace workbook {
struct Context;
}

namespace settings {

// True when at least one check failed. The template image sheet (Sheet4) of
// the system workbook is used as scratch space; every settings sheet is left
// protected with the sheet password; roster sheets are not changed. Failing
// host steps are skipped, never reported.
//   class checks: "按班级统计" rows 7–11 (the arrangement run)
//   room checks:  "按考场号统计" rows 12–15 + R (table generation)
bool ValidateRoster(host::Workbook& system, host::Workbook& roster, bool classChecks, bool roomChecks);

// "数据统计 (&T)" of the Settings window: both checks, the revision sheet
// shown and activated, then "数据统计完毕，请查看修改意见！". Without a
// roster workbook it shows the path message instead and stops. The caller
// (the window's button dispatcher) owns the status bar text.
workbook::Outcome ComputeDataStatistics(const workbook::Context& ctx);

}  // namespace settings
