#pragma once
// The system workbook's service sheets, found by code name only, so users may
// rename the tabs freely:
//   Sheet1  front sheet        the only visible sheet
//   Sheet2  parameter sheet    parameter cells and the template options table
//   Sheet3  revision sheet     revision reports, sorting scratch space
//   Sheet4  template image     scratch space of table generation
//   other   template sheets    one per template, tab name = template name
#include <cstdint>

namespace host {
class Workbook;
class Worksheet;
}  // namespace host

namespace workbook {

enum ServiceSheet : int16_t { kFrontSheet = 1, kParameterSheet = 2, kRevisionSheet = 3, kTemplateImageSheet = 4 };

// The first worksheet, in workbook order, whose CodeName is "Sheet" + n; null when none.
host::Worksheet* SheetByCodeName(const host::Workbook& system, int16_t n);

// Like SheetByCodeName, for callers that cannot go on without the sheet:
// a missing sheet is a HostError naming the code name.
host::Worksheet& RequireSheetByCodeName(const host::Workbook& system, int16_t n);

// Makes every worksheet except the front sheet very hidden.
void HideServiceSheets(host::Workbook& system);

// Whether the code name is that of one of the four service sheets.
bool IsServiceSheet(const host::Worksheet& ws);

// Whether a workbook is a system workbook: the four service sheets by code
// name, the parameter sheet with the template options table's titles in its
// first row. Rosters from spreadsheet programs carry code names Sheet1… too,
// so the code names alone do not tell.
bool IsSystemWorkbook(const host::Workbook& wb);

}  // namespace workbook
