// Room-and-seat seating charts: one block of rows per exam room, drawn like
// the room, the desk groups side by side and the desks of a group one above
// the other, each desk one copy of the template's body region.
//
//   block of room r (column-title row, desks top down):
//     T title rows
//     1 column-title row          one body-width copy per seat column
//     H × M rows of desks         seat column k: columns 2 + k·W … 1 + (k+1)·W
//   with desks bottom up the column-title row comes after the desks.
//
// A seat column is one (grade, desk group) pair with desks in the room; the
// grades sharing a group sit side by side in roster-sheet order.
#include <algorithm>

#include "host/HostError.h"
#include "host/Range.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"
#include "tables/Generation.h"
#include "workbook/Context.h"
#include "workbook/ParameterCells.h"
#include "workbook/RosterWorkbook.h"
#include "workbook/SystemNames.h"

namespace tables {

namespace {

// A settings sheet's room table from H1: row r + 1 is room r; column 1 the
// room number, F extra fields, then the desks of groups 1 … G, then the
// room's headcount of this grade.
struct RoomTable {
    host::Array2D cells;
    double roomsUsed = 0;  // "F2"
    int16_t groups = 0, extraFields = 0;

    const host::Variant& RoomNumber(int32_t r) const { return cells(r + 1, 1); }
    int16_t Desks(int32_t r, int32_t g) const { return ToCount(cells(r + 1, extraFields + 1 + g)); }
    double Headcount(int32_t r) const { return host::ToNumber(cells(r + 1, cells.Columns())); }
};

struct Parameters {
    int16_t groups = 0, rooms = 0, extraFields = 0;
};

Parameters ReadParameters(const host::Workbook& system) {
    workbook::ParameterCells cells(system);
    return Parameters{cells.DeskGroups(), cells.RoomCount(), cells.ExtraFieldCount()};
}

// Unprotected to read and protected again with the sheet password.
RoomTable ReadRoomTable(host::Worksheet& settings, const Parameters& p) {
    const std::string password(workbook::kSheetPassword);
    RoomTable t;
    t.groups = p.groups;
    t.extraFields = p.extraFields;
    settings.Unprotect(password);
    t.cells = settings.GetRange("H1").Resize(p.rooms + 1, p.extraFields + p.groups + 2).Values();
    t.roomsUsed = host::ToNumber(settings.GetRange("F2").Value());
    settings.Protect(password);
    return t;
}

struct TakingPart {
    host::Worksheet* sheet;
    RoomTable rooms;
};

// The roster sheets in tab order whose settings sheet has rooms in use.
std::vector<TakingPart> SheetsTakingPart(Generation& g, const Parameters& p) {
    std::vector<TakingPart> sheets;
    for (host::Worksheet* ws : workbook::RosterSheets(g.roster)) {
        host::Worksheet* settings = g.roster.SheetByName(workbook::SettingsSheetNameFor(ws->Name()));
        if (!settings) continue;
        g.stage = "读取“" + ws->Name() + "”的设置表";
        RoomTable t = ReadRoomTable(*settings, p);
        if (t.roomsUsed > 0) sheets.push_back({ws, std::move(t)});
    }
    return sheets;
}

// The first room (1-based) with a headcount above 0 whose number equals the
// value; 0 when none.
int32_t RoomOf(const RoomTable& t, int16_t rooms, const host::Variant& value) {
    const std::string wanted = host::ToText(value);
    for (int32_t r = 1; r <= rooms; ++r)
        if (t.Headcount(r) > 0 && host::ToText(t.RoomNumber(r)) == wanted) return r;
    return 0;
}

// The roster sheet copied, located and sorted by room then seat.
WorkTable SortedBySeat(Generation& g, host::Worksheet& sheet) {
    WorkTable t = CopyToScratch(g, sheet);
    const int32_t room = LastColumnTitled(t.cells, t.lastColumn, std::string(workbook::kTab) + "场号");
    const int32_t seat = LastColumnTitled(t.cells, t.lastColumn, std::string(workbook::kTab) + "座号");
    t.cells = host::Array2D();
    SortScratch(g, t, room, seat);
    ReadScratch(g, t);
    // The room column of the sorted table (its titles are unchanged by the sort).
    t.photoFolderColumn = LastColumnTitled(t.cells, t.lastColumn, "照片夹");
    return t;
}

int32_t RoomColumn(const WorkTable& t) {
    return LastColumnTitled(t.cells, t.lastColumn, std::string(workbook::kTab) + "场号");
}

// Title fields of a room shared by grades combine: counts with "+", the
// first and last exam numbers on lines of their own, other values once.
void CombineTitleValue(host::Variant& target, const std::string& name, const host::Variant& value) {
    if (target.IsEmpty() || host::ToText(target).empty()) {
        target = value;
        return;
    }
    const std::string before = host::ToText(target), add = host::ToText(value);
    if (name == "场数" || name == "场人" || name == "级人")
        target = host::Variant(before + "+" + add);
    else if (name == "首考号" || name == "尾考号")
        target = host::Variant(before + "\n" + add);
    else if (add != before)
        target = host::Variant(before + "\n" + add);
}

void FillTitle(Generation& g, host::Worksheet& out, int32_t blockStart, const WorkTable& t, int32_t candidate,
               bool combine) {
    host::Array2D values = ReadTitle(g, out, blockStart);
    for (size_t i = 1; i < g.title.size(); ++i) {
        const TemplateField& f = g.title[i];
        if (!f.Named()) continue;
        host::Variant& target = values(f.row, f.column);
        const host::Variant& value = t(candidate, f.rosterColumn);
        if (combine)
            CombineTitleValue(target, f.name, value);
        else
            target = value;
    }
    PlaceTitlePhoto(g, out, blockStart, t, candidate);
    WriteTitle(g, out, blockStart, values);
}

// One desk's fields (and photo file name) into the data area's value table.
void FillDesk(Generation& g, host::Array2D& area, const WorkTable& t, int32_t candidate, int32_t rowBase,
              int32_t columnBase, int32_t rowShift) {
    auto put = [&](const TemplateField& f, host::Variant v) {
        const int32_t r = rowBase + f.row + rowShift, c = columnBase + f.column;
        if (r < 1 || r > area.Rows() || c < 1 || c > area.Columns()) throw host::HostError("下标越界");
        area(r, c) = std::move(v);
    };
    if (candidate < 2 || candidate > t.lastRow) throw host::HostError("花名册考生少于设置表中的人数");
    for (size_t i = 1; i < g.body.size(); ++i)
        if (g.body[i].Named()) put(g.body[i], t(candidate, g.body[i].rosterColumn));
    if (g.body[0].Named()) put(g.body[0], host::Variant(PhotoNameOf(g, t, candidate, g.body[0])));
}

// Room layout over all grades (variant with column-title row).
struct RoomLayout {
    int32_t seatColumns = 0;        // S_r
    int32_t deepest = 0;            // M_r
    std::vector<int32_t> grades;    // n_r,g, g = 1 … G (index 0 unused)
    std::vector<int32_t> nextSeat;  // c_r,g
    int32_t blockStart = 0, titleRow = 0, firstDataRow = 0;
    bool laidOut = false;
};

}  // namespace

std::string SeatingChartsWithTitleRow(Generation& g) {
    const Parameters p = ReadParameters(g.ctx.system);
    std::vector<TakingPart> sheets = SheetsTakingPart(g, p);
    std::vector<RoomLayout> layout(size_t(p.rooms) + 1);
    for (RoomLayout& l : layout) {
        l.grades.assign(size_t(p.groups) + 1, 0);
        l.nextSeat.assign(size_t(p.groups) + 2, 0);
    }
    for (const TakingPart& s : sheets)
        for (int32_t r = 1; r <= p.rooms; ++r)
            for (int32_t gr = 1; gr <= p.groups; ++gr) {
                const int16_t v = s.rooms.Desks(r, gr);
                if (v <= 0) continue;
                RoomLayout& l = layout[size_t(r)];
                ++l.seatColumns;
                l.deepest = std::max<int32_t>(l.deepest, v);
                ++l.grades[size_t(gr)];
            }
    for (int32_t r = 1; r <= p.rooms; ++r) {
        RoomLayout& l = layout[size_t(r)];
        for (int32_t gr = 2; gr <= p.groups; ++gr) l.nextSeat[size_t(gr)] = l.nextSeat[size_t(gr) - 1] + l.grades[size_t(gr) - 1];
    }

    const int32_t W = g.W(), H = g.bounds.body.Rows() - 1, T = g.T();
    const Region& body = g.bounds.body;
    g.out = std::make_unique<ExamTableWorkbook>(g.ctx.app);
    host::Worksheet& out = g.out->AddOutputSheet(g.templateSheet);
    BlockTable blocks(p.rooms + 2);

    // The empty first or last template column is the gap between groups.
    const host::Array2D desk = g.image.Cells(body.start, 2).Resize(H + 1, W).Values();
    auto columnEmpty = [&](int32_t c) {
        for (int32_t r = 1; r <= H + 1; ++r)
            if (!host::ToText(desk(r, c)).empty()) return false;
        return true;
    };
    const bool firstEmpty = columnEmpty(1), lastEmpty = columnEmpty(W);

    int32_t current = 1, count = 0;
    for (int32_t r = 1; r <= p.rooms; ++r) {
        RoomLayout& l = layout[size_t(r)];
        if (l.seatColumns <= 0) continue;
        g.stage = "第" + std::to_string(r) + "考场的座位表";
        const int32_t S = l.seatColumns, M = l.deepest;
        if (T > 0) {
            CopyTitleRows(g, out, current);
            l.blockStart = current;
        }
        if (g.TopDown()) {
            l.titleRow = current + T;
            l.firstDataRow = l.titleRow + 1;
        } else {
            l.firstDataRow = current + T;
            l.titleRow = current + T + H * M;
        }
        LayOutRows(g, out, body.start, body.start, l.titleRow, 1, W * S);
        LayOutRows(g, out, body.start + 1, body.end, l.firstDataRow, H * M, W * S);
        l.laidOut = true;
        for (int32_t gr = 1, before = 0; gr <= p.groups; before += l.grades[size_t(gr)], ++gr) {
            const int32_t n = l.grades[size_t(gr)];
            if (n <= 0) continue;
            const int32_t k0 = g.LeftToRight() ? before : S - (before + n);
            const int32_t base = 2 + W * k0;
            host::Range frame = firstEmpty  ? out.Cells(current + T, base + 1).Resize(H * M + 1, W * n - 1)
                                : lastEmpty ? out.Cells(current + T, base).Resize(H * M + 1, W * n - 1)
                                            : out.Cells(current + T, base).Resize(H * M + 1, W * n);
            frame.BorderAround(host::xlThick, 1);
        }
        const int32_t next = current + T + H * M + 2;
        ++count;
        blocks.SetStart(count, next);
        blocks.SetWidth(count - 1, T > 0 && g.TW() > W * S ? g.TW() : W * S);
        current = next;
    }
    blocks.SetStart(0, 1);
    blocks.SetWidth(count, 1);

    for (TakingPart& s : sheets) {
        g.stage = "工作表“" + s.sheet->Name() + "”的考生";
        WorkTable t = SortedBySeat(g, *s.sheet);
        const int32_t roomColumn = RoomColumn(t);
        int32_t row = 2;
        while (row <= t.lastRow) {
            if (t.Text(row, t.classColumn).empty()) {
                ++row;
                continue;
            }
            const int32_t r = RoomOf(s.rooms, p.rooms, t(row, roomColumn));
            if (r == 0 || !layout[size_t(r)].laidOut) {
                ++row;
                continue;
            }
            RoomLayout& l = layout[size_t(r)];
            g.stage = "工作表“" + s.sheet->Name() + "”第" + host::ToText(s.rooms.RoomNumber(r)) + "考场";
            if (T > 0) FillTitle(g, out, l.blockStart, t, row, true);
            const int32_t S = l.seatColumns, M = l.deepest;
            host::Range data = out.Cells(l.firstDataRow, 2).Resize(H * M, W * S);
            host::Array2D area = data.Values();
            int32_t parity = 0, candidate = row;
            for (int32_t gr = 1; gr <= p.groups; ++gr) {
                if (l.grades[size_t(gr)] == 0) continue;
                ++parity;
                const int32_t c = s.rooms.Desks(r, gr);
                if (c <= 0) continue;
                const bool forward = parity % 2 == 1 || g.sequentialDesks;
                const int32_t k = g.LeftToRight() ? l.nextSeat[size_t(gr)] : S - 1 - l.nextSeat[size_t(gr)];
                for (int32_t d = 1; d <= c; ++d) {
                    const int32_t who = forward ? candidate + d - 1 : candidate + c - d;
                    const int32_t rho = g.TopDown() ? H * (d - 1) : H * M - H * d;
                    FillDesk(g, area, t, who, rho, k * W, -1);
                }
                candidate += c;
                ++l.nextSeat[size_t(gr)];
            }
            host::ResumeNext([&] { data.ClearContents(); });
            data.SetValues(area);
            row = candidate;
        }
    }

    if (g.body[0].Named()) {
        for (int32_t r = 1; r <= p.rooms; ++r) {
            const RoomLayout& l = layout[size_t(r)];
            if (!l.laidOut) continue;
            g.stage = "第" + std::to_string(r) + "考场的照片";
            host::Range data = out.Cells(l.firstDataRow, 2).Resize(H * l.deepest, W * l.seatColumns);
            host::Array2D area = data.Values();
            PlacePhotosOfArea(g, out, area, l.firstDataRow, H, W, g.body[0].row - 2, g.body[0].column - 1);
            host::ResumeNext([&] { data.ClearContents(); });
            data.SetValues(area);
        }
    }

    g.stage = "保存考试用表";
    ExamTableWorkbook::DeleteSpareColumn(out);
    if (g.out->Book().SheetCount() > 1) g.out->RecordOnlySheet(out, blocks);
    return SaveExamTables(g, g.TopDown() ? T + 1 : T);
}

std::string SeatingChartsWithoutTitleRow(Generation& g) {
    const Parameters p = ReadParameters(g.ctx.system);
    std::vector<TakingPart> sheets = SheetsTakingPart(g, p);
    const int32_t W = g.W(), H = g.bounds.body.Rows(), T = g.T();
    const Region& body = g.bounds.body;
    g.out = std::make_unique<ExamTableWorkbook>(g.ctx.app);

    for (TakingPart& s : sheets) {
        g.stage = "工作表“" + s.sheet->Name() + "”";
        // This grade's groups and deepest group per room.
        std::vector<int32_t> groupsUsed(size_t(p.rooms) + 1, 0), deepest(size_t(p.rooms) + 1, 0);
        for (int32_t r = 1; r <= p.rooms; ++r)
            for (int32_t gr = 1; gr <= p.groups; ++gr) {
                const int16_t v = s.rooms.Desks(r, gr);
                if (v <= 0) continue;
                ++groupsUsed[size_t(r)];
                deepest[size_t(r)] = std::max<int32_t>(deepest[size_t(r)], v);
            }
        host::Worksheet& out = g.out->AddOutputSheet(g.templateSheet);
        BlockTable blocks(p.rooms + 2);
        WorkTable t = SortedBySeat(g, *s.sheet);
        const int32_t roomColumn = RoomColumn(t);

        int32_t current = 1, count = 0, row = 2;
        while (row <= t.lastRow) {
            if (t.Text(row, t.classColumn).empty()) {
                ++row;
                continue;
            }
            const int32_t r = RoomOf(s.rooms, p.rooms, t(row, roomColumn));
            if (r == 0 || groupsUsed[size_t(r)] == 0) {
                ++row;
                continue;
            }
            g.stage = "工作表“" + s.sheet->Name() + "”第" + host::ToText(s.rooms.RoomNumber(r)) + "考场";
            const int32_t S = groupsUsed[size_t(r)], M = deepest[size_t(r)];
            if (T > 0) {
                CopyTitleRows(g, out, current);
                FillTitle(g, out, current, t, row, false);
            }
            const int32_t firstData = current + T;
            LayOutRows(g, out, body.start, body.end, firstData, H * M, W * S);

            host::Range data = out.Cells(firstData, 2).Resize(H * M, W * S);
            host::Array2D area = data.Values();
            int32_t parity = 0, seen = 0, candidate = row;
            for (int32_t gr = 1; gr <= p.groups; ++gr) {
                const int32_t c = s.rooms.Desks(r, gr);
                if (c <= 0) continue;
                ++parity;
                ++seen;
                const bool forward = parity % 2 == 1 || g.sequentialDesks;
                const int32_t k = g.LeftToRight() ? seen - 1 : S - seen;
                for (int32_t d = 1; d <= c; ++d) {
                    const int32_t who = forward ? candidate + d - 1 : candidate + c - d;
                    const int32_t rho = g.TopDown() ? H * (d - 1) : H * M - H * d;
                    FillDesk(g, area, t, who, rho, k * W, 0);
                }
                candidate += c;
            }
            if (g.body[0].Named())
                PlacePhotosOfArea(g, out, area, firstData, H, W, g.body[0].row - 1, g.body[0].column - 1);
            host::ResumeNext([&] { data.ClearContents(); });
            data.SetValues(area);

            const int32_t next = current + T + H * M + 1;
            ++count;
            blocks.SetStart(count, next);
            blocks.SetWidth(count - 1, T > 0 && g.TW() > W * S ? g.TW() : W * S);
            current = next;
            row = candidate;
        }
        blocks.SetStart(0, 1);
        blocks.SetWidth(count, g.TC() - 2);
        ExamTableWorkbook::DeleteSpareColumn(out);
        g.out->RecordSheet(out, s.sheet->Name(), blocks);
    }
    g.stage = "保存考试用表";
    return SaveExamTables(g, T);
}

}  // namespace tables
