#include "workbook/FieldLists.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "host/Variant.h"
#include "host/Workbook.h"
#include "workbook/RosterWorkbook.h"
#include "workbook/SystemNames.h"

namespace workbook {

namespace {
// A sheet of this many columns or more never becomes the reference.
constexpr int32_t kReferenceColumnLimit = 2000;

struct QualifyingSheet {
    int32_t columns = 0;               // last used column L
    std::vector<std::string> titles;   // row 1, columns 1 to L, as text
};

bool HasValueBelowTitle(const host::Worksheet& ws, int32_t col, int32_t lastRow) {
    for (int32_t row = 2; row <= lastRow; ++row)
        if (!host::ToText(ws.ValueAt(row, col)).empty()) return true;
    return false;
}

std::optional<QualifyingSheet> Qualify(const host::Worksheet& ws) {
    const host::Rect used = ws.UsedRect();
    QualifyingSheet sheet;
    sheet.columns = used.left + used.Columns() - 1;
    sheet.titles.reserve(size_t(sheet.columns));
    for (int32_t col = 1; col <= sheet.columns; ++col) sheet.titles.push_back(host::ToText(ws.ValueAt(1, col)));
    auto classColumn = std::find(sheet.titles.begin(), sheet.titles.end(), kClassTitle);
    if (classColumn == sheet.titles.end()) return std::nullopt;
    const int32_t col = int32_t(classColumn - sheet.titles.begin()) + 1;
    if (!HasValueBelowTitle(ws, col, used.bottom)) return std::nullopt;
    return sheet;
}

const QualifyingSheet* ReferenceSheet(const std::vector<QualifyingSheet>& sheets) {
    const QualifyingSheet* reference = nullptr;
    int32_t fewest = kReferenceColumnLimit;
    for (const QualifyingSheet& s : sheets) {
        if (s.columns < fewest) {
            fewest = s.columns;
            reference = &s;
        }
    }
    return reference;
}

bool EveryoneHas(const std::vector<QualifyingSheet>& sheets, const std::string& title) {
    return std::all_of(sheets.begin(), sheets.end(), [&](const QualifyingSheet& s) {
        return std::find(s.titles.begin(), s.titles.end(), title) != s.titles.end();
    });
}
std::vector<std::string> CommonTitles(const std::vector<host::Worksheet*>& rosterSheets) {
    std::vector<QualifyingSheet> qualifying;
    for (const host::Worksheet* ws : rosterSheets)
        if (auto s = Qualify(*ws)) qualifying.push_back(std::move(*s));

    std::vector<std::string> common;
    const QualifyingSheet* reference = ReferenceSheet(qualifying);
    if (!reference) return common;
    for (const std::string& title : reference->titles)
        if (!title.empty() && EveryoneHas(qualifying, title)) common.push_back(title);
    return common;
}
}  // namespace

std::vector<std::string> CommonFieldTitles(const host::Workbook& roster) { return CommonTitles(RosterSheets(roster)); }

std::vector<std::string> OfferedFieldTitles(host::Workbook& roster) {
    const std::vector<host::Worksheet*> rosterSheets = RosterSheets(roster);
    if (rosterSheets.empty()) return {};  // the workbook stays inactive too
    std::vector<std::string> common = CommonTitles(rosterSheets);
    roster.Activate();
    return common;
}

}  // namespace workbook
