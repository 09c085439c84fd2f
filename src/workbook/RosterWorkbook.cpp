#include "workbook/RosterWorkbook.h"

#include <filesystem>

#include "host/Application.h"
#include "host/Workbook.h"
#include "host/import/ForeignWorkbook.h"
#include "workbook/ParameterCells.h"
#include "workbook/SystemNames.h"

namespace workbook {

bool IsSettingsSheetName(std::string_view sheetName) { return sheetName.ends_with(kSettingsSuffix); }

std::string SettingsSheetNameFor(std::string_view rosterSheetName) {
    std::string name(rosterSheetName);
    name += kSettingsSuffix;
    return name;
}

std::string RosterSheetNameOf(std::string_view settingsSheetName) {
    if (!IsSettingsSheetName(settingsSheetName)) return {};
    return std::string(settingsSheetName.substr(0, settingsSheetName.size() - kSettingsSuffix.size()));
}

std::vector<host::Worksheet*> RosterSheets(const host::Workbook& roster) {
    std::vector<host::Worksheet*> sheets;
    for (const auto& ws : roster.SheetList())
        if (!IsSettingsSheetName(ws->Name())) sheets.push_back(ws.get());
    return sheets;
}

namespace {
bool IsExistingFile(const std::string& fullName) {
    std::error_code ec;
    return std::filesystem::is_regular_file(std::filesystem::path(fullName), ec);
}

// The first open workbook of that exact file name (case-sensitive), or null.
host::Workbook* OpenWorkbookNamed(host::Application& app, const std::string& fileName) {
    for (const auto& wb : app.WorkbookList())
        if (wb->Name() == fileName) return wb.get();
    return nullptr;
}
}  // namespace

host::Workbook* OpenRosterWorkbook(host::Application& app, const host::Workbook& system) {
    ParameterCells cells(system);
    const std::string folder = cells.RosterFolder();
    const std::string fileName = cells.RosterFileName();
    if (folder.empty() || fileName.empty()) return nullptr;
    const std::string fullName = folder + host::Application::PathSeparator() + fileName;
    if (!IsExistingFile(fullName)) return nullptr;
    // Recorded in another format (before such files were read): not opened
    // as a workbook here; RosterOrTell offers to save it as .xlsx.
    if (host::ForeignFormatOf(fullName) != host::ForeignFormat::None) return nullptr;

    if (host::Workbook* open = OpenWorkbookNamed(app, fileName)) {
        if (open->Path() == folder) return open;
        open->Close(true);
    }
    return app.Workbooks().Open(fullName);
}

}  // namespace workbook
