#include "workbook/ParameterCells.h"

#include "host/Address.h"
#include "host/HostError.h"
#include "host/Variant.h"
#include "host/Worksheet.h"
#include "workbook/SystemWorkbook.h"

namespace workbook {

namespace {
host::CellRef Ref(const char* cell) {
    auto ref = host::ParseCellRef(cell);
    if (!ref) throw host::HostError(std::string("无效的单元格地址：") + cell);
    return *ref;
}
}  // namespace

WindowCode WindowForCode(double code) {
    if (code == 2) return WindowCode::ExamTables;
    if (code == 3) return WindowCode::Arrangement;
    if (code == 4) return WindowCode::Print;
    return WindowCode::Settings;
}

host::Worksheet& ParameterCells::Sheet() const { return RequireSheetByCodeName(system_, kParameterSheet); }

std::string ParameterCells::Text(const char* cell) const {
    host::CellRef r = Ref(cell);
    return host::ToText(Sheet().ValueAt(r.row, r.col));
}

double ParameterCells::Number(const char* cell) const { return host::Val(Text(cell)); }

int16_t ParameterCells::Int16(const char* cell) const { return host::ToInt16(Number(cell)); }

void ParameterCells::SetText(const char* cell, const std::string& text) {
    host::CellRef r = Ref(cell);
    Sheet().SetValueAt(r.row, r.col, host::Variant(text));
}

void ParameterCells::SetNumber(const char* cell, double value) {
    host::CellRef r = Ref(cell);
    Sheet().SetValueAt(r.row, r.col, host::Variant(value));
}

void ParameterCells::SetWindowCode(WindowCode code) {
    if (code == WindowCode::Settings) SetText("K6", "");
    else SetInt16("K6", static_cast<int16_t>(code));
}

}  // namespace workbook
