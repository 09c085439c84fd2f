#include "settings/SettingsSheet.h"

#include <algorithm>
#include <set>
#include <string>

#include "host/Array2D.h"
#include "host/Formula.h"
#include "host/HostError.h"
#include "host/Application.h"
#include "host/Range.h"
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
    ResumeNext([&] { RefreshSumCaches(ws); });

    ResumeNext([&] { ws.Cells().SetLocked(true); });
    ResumeNext([&] { ws.GetRange("I1").Resize(rooms + 1, fields + groups).SetLocked(false); });
    ResumeNext([&] { ws.Protect(password); });
}

// ----- cached SUM results -----

namespace {

// The one area of a formula "SUM(area)" on its own sheet, or none.
std::optional<host::Rect> PlainSumArea(const std::string& a1) {
    if (a1.size() < 6 || a1.compare(0, 4, "SUM(") != 0 || a1.back() != ')') return std::nullopt;
    auto refs = host::formula::FindReferences(a1);
    if (refs.size() != 1 || !refs[0].prefix.empty()) return std::nullopt;
    if (refs[0].begin != 4 || refs[0].end != a1.size() - 1) return std::nullopt;
    return refs[0].Area();
}

class SumEvaluator {
public:
    explicit SumEvaluator(host::Worksheet& ws) : ws_(ws) {}

    // The cell's value for a SUM over it: a plain SUM is evaluated first.
    host::Variant ValueOf(int32_t row, int32_t col) {
        host::Cell* c = FindCell(row, col);
        if (!c) return {};
        if (c->HasFormula()) Evaluate(row, col, *c);
        return c->value;
    }

    void Evaluate(int32_t row, int32_t col, host::Cell& cell) {
        const int64_t key = int64_t(row) * host::kMaxColumns + col;
        if (done_.count(key)) return;
        auto area = PlainSumArea(*cell.formula);
        if (!area) return;
        if (!active_.insert(key).second) {
            cell.value = host::Variant::Error(host::CellError::Ref);
            return;
        }
        // Sum only looks cells up, never stores one, so `cell` stays in place.
        cell.value = Sum(*area);
        active_.erase(key);
        done_.insert(key);
    }

private:
    host::Cell* FindCell(int32_t row, int32_t col) {
        return const_cast<host::Cell*>(static_cast<const host::Worksheet&>(ws_).FindCell(row, col));
    }

    host::Variant Sum(const host::Rect& a) {
        double total = 0;
        const int32_t lastRow = std::min<int32_t>(a.bottom, int32_t(ws_.RowsData().size()));
        for (int32_t r = a.top; r <= lastRow; ++r) {
            std::vector<int32_t> cols;
            for (const host::Cell& c : ws_.RowsData()[r - 1].cells)
                if (c.col >= a.left && c.col <= a.right) cols.push_back(c.col);
            for (int32_t col : cols) {
                host::Variant v = ValueOf(r, col);
                if (v.IsError()) return v;
                if (v.IsNumber()) total += v.Number();
            }
        }
        return total;
    }

    host::Worksheet& ws_;
    std::set<int64_t> active_, done_;
};

}  // namespace

void RefreshSumCaches(host::Worksheet& ws) {
    SumEvaluator eval(ws);
    std::vector<std::pair<int32_t, int32_t>> formulas;
    for (size_t r = 0; r < ws.RowsData().size(); ++r)
        for (const host::Cell& c : ws.RowsData()[r].cells)
            if (c.HasFormula()) formulas.emplace_back(int32_t(r) + 1, c.col);
    for (auto [row, col] : formulas) eval.ValueOf(row, col);
    ws.MarkChanged();
}

}  // namespace settings
