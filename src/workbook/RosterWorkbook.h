#pragma once
// The roster workbook: one roster sheet per grade, each with its settings
// sheet named <roster sheet> + TAB + "设置". Every worksheet whose name does
// not end that way is a roster sheet.
#include <string>
#include <string_view>
#include <vector>

namespace host {
class Application;
class Workbook;
class Worksheet;
}  // namespace host

namespace workbook {

bool IsSettingsSheetName(std::string_view sheetName);
std::string SettingsSheetNameFor(std::string_view rosterSheetName);
// The roster sheet's name a settings sheet belongs to; empty for a roster sheet.
std::string RosterSheetNameOf(std::string_view settingsSheetName);

// The roster sheets in workbook order.
std::vector<host::Worksheet*> RosterSheets(const host::Workbook& roster);

// The roster workbook named by K1 (folder) and L1 (file name) of the system
// workbook, open in the host; null when either cell is empty, no such file
// exists or it is in another format than .xlsx (see AdoptForeignRoster). A workbook of the same file name from another folder is closed
// first with its changes saved, because the host holds one workbook per name.
host::Workbook* OpenRosterWorkbook(host::Application& app, const host::Workbook& system);

}  // namespace workbook
