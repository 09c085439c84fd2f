#include "workbook/SystemWorkbook.h"

#include <string>

#include "host/HostError.h"
#include "host/Variant.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "workbook/SystemNames.h"

namespace workbook {

namespace {
std::string CodeNameOf(int16_t n) { return "Sheet" + std::to_string(n); }
}  // namespace

host::Worksheet* SheetByCodeName(const host::Workbook& system, int16_t n) {
    const std::string wanted = CodeNameOf(n);
    for (const auto& ws : system.SheetList())
        if (ws->CodeName() == wanted) return ws.get();
    return nullptr;
}

host::Worksheet& RequireSheetByCodeName(const host::Workbook& system, int16_t n) {
    host::Worksheet* ws = SheetByCodeName(system, n);
    if (!ws) throw host::HostError("系统工作簿中没有代码名为 " + CodeNameOf(n) + " 的工作表");
    return *ws;
}

void HideServiceSheets(host::Workbook& system) {
    const std::string front = CodeNameOf(kFrontSheet);
    for (const auto& ws : system.SheetList())
        if (ws->CodeName() != front) ws->SetVisible(host::xlSheetVeryHidden);
}

bool IsSystemWorkbook(const host::Workbook& wb) {
    for (int16_t n = kFrontSheet; n <= kTemplateImageSheet; ++n)
        if (!SheetByCodeName(wb, n)) return false;
    const host::Worksheet& params = *SheetByCodeName(wb, kParameterSheet);
    return host::ToText(params.ValueAt(1, 1)) == kOptionsTitles[0] && host::ToText(params.ValueAt(1, 2)) == kOptionsTitles[1];
}

bool IsServiceSheet(const host::Worksheet& ws) {
    for (int16_t n = kFrontSheet; n <= kTemplateImageSheet; ++n)
        if (ws.CodeName() == CodeNameOf(n)) return true;
    return false;
}

}  // namespace workbook
