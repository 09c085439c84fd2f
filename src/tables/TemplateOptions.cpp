#include "tables/TemplateOptions.h"

#include "host/Array2D.h"
#include "host/HostError.h"
#include "host/Range.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "tables/TemplateLanguage.h"
#include "workbook/SystemWorkbook.h"

namespace tables {

namespace {

constexpr int32_t kOptionColumns = 7;

host::Worksheet& ParameterSheet(const host::Workbook& system) {
    return workbook::RequireSheetByCodeName(system, workbook::kParameterSheet);
}

int32_t LastNameRow(host::Worksheet& ws) { return ws.Cells(host::kMaxRows, 1).End(host::xlUp).Row(); }

// The template's row from row 2 (0 when none) and the last filled row of column A.
struct RowLookup {
    int32_t row = 0;
    int32_t last = 1;
};

RowLookup FindRow(host::Worksheet& ws, const std::string& name) {
    RowLookup l;
    l.last = LastNameRow(ws);
    const host::Array2D names = ws.Cells(1, 1).Resize(l.last, 1).Values();
    for (int32_t r = 2; r <= l.last && !l.row; ++r)
        if (names(r, 1) == host::Variant(name)) l.row = r;
    return l;
}

bool IsZero(const host::Variant& v) {
    if (v.IsEmpty()) return true;
    if (v.IsBoolean()) return !v.BooleanValue();
    if (v.IsNumber()) return v.Number() == 0;
    return host::IsNumeric(v) && host::ToNumber(v) == 0;
}

void AppendRow(host::Worksheet& ws, int32_t row, const std::string& name) {
    host::ResumeNext([&] { ws.Cells(row, 1).Resize(1, 3).SetNumberFormat("@"); });
    ws.Cells(row, 1).SetValue(host::Variant(name));
}

}  // namespace

std::optional<TemplateOptions> ReadTemplateOptions(const host::Workbook& system, const std::string& name) {
    host::Worksheet& ws = ParameterSheet(system);
    const int32_t last = LastNameRow(ws);
    const host::Array2D t = ws.Cells(1, 1).Resize(last, kOptionColumns).Values();
    for (int32_t r = 2; r <= last; ++r) {
        if (!(t(r, 1) == host::Variant(name))) continue;
        TemplateOptions o;
        o.partition = host::ToText(t(r, 2));
        o.sort = host::ToText(t(r, 3));
        o.groupsLeftToRight = !IsZero(t(r, 4));
        o.desksBottomUp = !IsZero(t(r, 5));
        o.titleRow = host::ToInt16(t(r, 6));
        o.photoScale = host::ToNumber(t(r, 7)) < 1 ? "99" : host::ToText(t(r, 7));
        return o;
    }
    return std::nullopt;
}

void WriteTemplateOptions(host::Workbook& system, const std::string& name, const TemplateOptions& o) {
    host::Worksheet& ws = ParameterSheet(system);
    const RowLookup l = FindRow(ws, name);
    const int32_t row = l.row ? l.row : l.last + 1;
    host::Array2D values(1, kOptionColumns);
    values(1, 1) = host::Variant(name);
    values(1, 2) = host::Variant(o.partition);
    values(1, 3) = host::Variant(o.sort);
    values(1, 4) = host::Variant::Boolean(o.groupsLeftToRight);
    values(1, 5) = host::Variant::Boolean(o.desksBottomUp);
    values(1, 6) = host::Variant(int(o.titleRow));
    values(1, 7) = host::Variant(TrimSpaces(o.photoScale));
    ws.Cells(row, 1).Resize(1, kOptionColumns).SetValues(values);
}

void AppendTemplateRow(host::Workbook& system, const std::string& name) {
    host::Worksheet& ws = ParameterSheet(system);
    AppendRow(ws, LastNameRow(ws) + 1, name);
}

void RenameTemplateRow(host::Workbook& system, const std::string& oldName, const std::string& newName) {
    host::Worksheet& ws = ParameterSheet(system);
    const RowLookup l = FindRow(ws, oldName);
    if (l.row)
        ws.Cells(l.row, 1).SetValue(host::Variant(newName));
    else
        AppendRow(ws, l.last + 1, newName);
}

bool DeleteTemplateRow(host::Workbook& system, const std::string& name) {
    host::Worksheet& ws = ParameterSheet(system);
    const RowLookup l = FindRow(ws, name);
    if (!l.row) return false;
    ws.Cells(l.row, 1).Resize(1, kOptionColumns).Delete(host::xlShiftUp);
    return true;
}

float PhotoScalePercent(const std::string& text) {
    const float s = float(host::Val(TrimSpaces(text)));
    return s < 1 ? 99.0f : s;
}

bool IsRefusedPhotoScale(const std::string& text) {
    if (text.empty()) return false;
    const host::Variant v(TrimSpaces(text));
    if (!host::IsNumeric(v)) return true;
    const double n = host::ToNumber(v);
    return n < 1 || n > 100;
}

}  // namespace tables
