#include "cli/SheetArguments.h"

#include "host/Workbook.h"

namespace cli {

namespace {
std::string ReplaceAll(std::string s, const std::string& from, const std::string& to) {
    for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size())) s.replace(at, from.size(), to);
    return s;
}
}  // namespace

std::string SheetNameArgument(const std::string& typed) { return ReplaceAll(typed, "\\t", "\t"); }

std::string ShownSheetName(const std::string& name) { return ReplaceAll(name, "\t", "\\t"); }

host::Worksheet& SheetArgument(host::Workbook& wb, const std::string& typed) {
    if (host::Worksheet* ws = wb.Worksheets().Find(SheetNameArgument(typed))) return *ws;
    std::string names;
    for (const auto& ws : wb.SheetList()) names += (names.empty() ? "“" : "、“") + ShownSheetName(ws->Name()) + "”";
    throw SheetNotFound(wb.FullName() + " 中没有工作表“" + typed + "”；它的工作表有：" + names);
}

}  // namespace cli
