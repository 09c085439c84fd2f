// What roster validation reads from the parameter sheet and from the room
// table of a settings sheet.
#include <algorithm>

#include <cmath>

#include "host/HostError.h"
#include "host/Range.h"
#include "host/Worksheet.h"
#include "settings/ValidationParts.h"
#include "workbook/ParameterCells.h"

namespace settings::validation {

namespace {

constexpr int32_t kColumnH = 8;

bool Filled(const host::Cell& c) { return !c.value.IsEmpty() || c.HasFormula(); }

// 0 when the row holds nothing.
int32_t LastFilledColumn(const host::Worksheet& ws, int32_t row) {
    const host::Row* r = ws.FindRow(row);
    if (!r) return 0;
    auto it = std::find_if(r->cells.rbegin(), r->cells.rend(), Filled);
    return it == r->cells.rend() ? 0 : it->col;
}

int32_t LastFilledRow(const host::Worksheet& ws, int32_t col) {
    const auto& rows = ws.RowsData();
    for (size_t i = rows.size(); i > 0; --i) {
        const host::Cell* c = rows[i - 1].Find(col);
        if (c && Filled(*c)) return int32_t(i);
    }
    return 0;
}

int32_t ReadCount(const workbook::ParameterCells& cells, const char* address) {
    int32_t n = 0;
    host::ResumeNext([&] { n = cells.Int16(address); });
    return std::max(n, 0);
}

}  // namespace

Parameters ReadParameters(const host::Workbook& system) {
    workbook::ParameterCells cells(system);
    return {ReadCount(cells, "K2"), ReadCount(cells, "K3"), ReadCount(cells, "K4"), ReadCount(cells, "K5")};
}

bool HasExpectedShape(const host::Worksheet& settings, const Parameters& p) {
    return LastFilledColumn(settings, 1) == p.fields + p.groups + 9 &&
           LastFilledRow(settings, kColumnH) == p.rooms + 1;
}

std::vector<RoomRow> ReadRoomTable(host::Worksheet& settings, const Parameters& p) {
    const int32_t width = p.fields + p.groups + 2;
    host::Range table = settings.GetRange(host::Rect{1, kColumnH, p.rooms + 1, kColumnH + width - 1});
    host::Array2D values = table.Values();
    std::vector<RoomRow> rooms(size_t(p.rooms));
    for (int32_t k = 1; k <= p.rooms; ++k) {
        RoomRow& room = rooms[k - 1];
        room.name = values(k + 1, 1);
        for (int32_t g = 1; g <= p.groups; ++g) {
            const host::Variant& cell = values(k + 1, p.fields + 1 + g);
            double capacity = host::ToNumber(cell);
            if (!cell.IsEmpty() && !(cell.IsNumber() && cell.Number() >= 0 && cell.Number() == std::floor(cell.Number())))
                room.badCounts.push_back(g);
            room.capacities.push_back(capacity);
            room.total += capacity;
        }
    }
    return rooms;
}

}  // namespace settings::validation
