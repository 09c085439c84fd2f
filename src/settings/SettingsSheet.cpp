#include "settings/SettingsSheet.h"

#include <algorithm>
#include <string>

#include "host/Array2D.h"
#include "host/HostError.h"
#include "host/Application.h"
#include "host/Range.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "workbook/SystemNames.h"

namespace settings {

using host::ResumeNext;

std::vector<std::vector<int32_t>> TextFormatBatches(int16_t extraFields) {
    std::vector<std::vector<int32_t>> batches;
    for (int32_t k = 2; k <= extraFields + 1; ++k) {
        if (batches.empty() || int(batches.back().size()) == kTextFormatBatch) batches.emplace_back();
        batches.back().push_back(k);
    }
    return batches;
}

int32_t LastTitleColumn(const SettingsSheetShape& s) { return int32_t(s.deskGroups) + s.extraFields + 9; }
int32_t LastRoomRow(const SettingsSheetShape& s) { return int32_t(s.rooms) + 1; }

namespace {

// The titles, room numbers and "合计" of the table; everything else empty.
host::Array2D TableValues(int32_t groups, int32_t rooms, int32_t cols) {
    const int32_t rows = rooms + 2;
    host::Array2D a(rows, cols);
    a(1, 1) = "场号";
    a(1, cols) = "场人";
    for (int32_t k = 1; k <= groups; ++k) a(1, cols - k) = std::to_string(groups + 1 - k) + "组人数";
    for (int32_t k = 1; k <= rooms; ++k) a(k + 1, 1) = k;
    a(rows, cols - 1) = "合计";
    return a;
}

// The sheet's Columns. A range of every cell is whole rows as much as whole
// columns, and Range::SetHidden takes it for rows, so the column records are
// changed directly.
void UnhideAllColumns(host::Worksheet& ws) {
    for (host::ColumnInfo& c : ws.ColumnsData()) c.hidden = false;
    ws.SizesChanged();
    ws.MarkChanged();
}

void FormatExtraFieldsAsText(const host::Range& table, int16_t extraFields) {
    for (const auto& batch : TextFormatBatches(extraFields)) {
        ResumeNext([&] {
            host::Range u;
            for (int32_t k : batch) u = host::Union(u, table.Columns(k));
            u.SetNumberFormat("@");
        });
    }
}

}  // namespace

void BuildSettingsSheet(host::Worksheet* sheet, const SettingsSheetShape& shape) {
    if (!sheet) return;
    host::Worksheet& ws = *sheet;
    const std::string password(workbook::kSheetPassword);
    const int32_t groups = shape.deskGroups, rooms = shape.rooms, fields = shape.extraFields;
    const int32_t cols = fields + groups + 2;

    ResumeNext([&] { ws.Unprotect(password); });
    ResumeNext([&] { ws.UsedRange().Clear(); });
    ResumeNext([&] { UnhideAllColumns(ws); });
    ResumeNext([&] { ws.GetRange("A:G").SetHidden(true); });

    host::Range table;
    ResumeNext([&] { table = ws.GetRange("H1").Resize(rooms + 2, cols); });
    host::Array2D values;
    ResumeNext([&] { values = TableValues(groups, rooms, cols); });
    ResumeNext([&] { FormatExtraFieldsAsText(table, shape.extraFields); });
    ResumeNext([&] { table.SetValues(values); });
    ResumeNext([&] { table.Borders().SetLineStyle(host::xlContinuous); });
    ResumeNext([&] { table.Borders().SetColorIndex(1); });
    ResumeNext([&] {
        table.Columns(cols).Offset(1, 0).Resize(rooms, 1).SetFormulaR1C1("=SUM(RC[-" + std::to_string(groups) +
                                                                         "]:RC[-1])");
    });
    ResumeNext([&] { table.Cells(rooms + 2, cols).SetFormulaR1C1("=SUM(R2C:R[-1]C)"); });
    // The sums show their results at once, before any save.
    ResumeNext([&] { ws.Parent().Calculate(); });

    ResumeNext([&] { ws.Cells().SetLocked(true); });
    ResumeNext([&] { ws.GetRange("I1").Resize(rooms + 1, fields + groups).SetLocked(false); });
    ResumeNext([&] { ws.Protect(password); });
}

}  // namespace settings
