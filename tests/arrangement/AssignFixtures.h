#pragma once
// Roster sheets and settings built in memory for the assignment tests. A work
// table has the columns
//   1 "序" (candidate id, unique)  2 "班级"  3 "分数"  4 场号  5 座号  6 row number
// so L = 3; rooms are given by their group counts.
#include <map>
#include <string>
#include <vector>

#include "FakeToolkit.h"
#include "arrangement/DeskGrid.h"
#include "arrangement/RoomList.h"
#include "arrangement/WorkTable.h"
#include "host/Application.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"

namespace assigntest {

using host::Variant;

struct RoomSpec {
    Variant number;
    std::vector<double> groups;
};

struct ClassSpec {
    Variant value;
    double size;
};

inline arrangement::SheetSettings MakeSettings(const std::vector<ClassSpec>& classes, const std::vector<RoomSpec>& rooms,
                                               int16_t groups) {
    arrangement::SheetSettings s;
    s.groups = groups;
    s.extraFields = 0;
    s.classTable = host::Array2D(int32_t(classes.size()) + 1, 2);
    s.classTable(1, 1) = Variant("班级");
    s.classTable(1, 2) = Variant("人数");
    double total = 0;
    for (size_t i = 0; i < classes.size(); ++i) {
        s.classTable(int32_t(i) + 2, 1) = classes[i].value;
        s.classTable(int32_t(i) + 2, 2) = Variant(classes[i].size);
        total += classes[i].size;
    }
    s.roomTable = host::Array2D(int32_t(rooms.size()) + 1, groups + 2);
    s.roomTable(1, 1) = Variant("场号");
    s.roomTable(1, groups + 2) = Variant("场人");
    int16_t used = 0;
    for (size_t r = 0; r < rooms.size(); ++r) {
        s.roomTable(int32_t(r) + 2, 1) = rooms[r].number;
        for (size_t g = 0; g < rooms[r].groups.size() && int32_t(g) < groups; ++g)
            s.roomTable(int32_t(r) + 2, int32_t(g) + 2) = Variant(rooms[r].groups[g]);
    }
    arrangement::RecomputeRoomTotals(s);
    for (int32_t r = 2; r <= s.roomTable.Rows(); ++r)
        if (host::ToNumber(s.roomTable(r, groups + 2)) > 0) ++used;
    s.gradeTotal = int32_t(total);
    s.classCount = int16_t(classes.size());
    s.roomCount = used;
    return s;
}

// Candidates in roster order: class and score per row; ids run 1, 2, ….
inline arrangement::WorkTable MakeTable(const std::vector<Variant>& classes, const std::vector<Variant>& scores = {}) {
    arrangement::WorkTable t;
    t.lastColumn = 3;
    t.classColumn = 2;
    t.cells = host::Array2D(int32_t(classes.size()) + 1, 6);
    const char* titles[] = {"序", "班级", "分数", "\t场号", "\t座号", "\tA"};
    for (int32_t c = 1; c <= 6; ++c) t.cells(1, c) = Variant(titles[c - 1]);
    for (size_t i = 0; i < classes.size(); ++i) {
        int32_t r = int32_t(i) + 2;
        t.cells(r, 1) = Variant(int(i) + 1);
        t.cells(r, 2) = classes[i];
        if (i < scores.size()) t.cells(r, 3) = scores[i];
        t.cells(r, 6) = Variant(r);
    }
    return t;
}

// `counts` candidates of each class value, class by class.
inline std::vector<Variant> ClassColumn(const std::vector<std::pair<Variant, int>>& counts) {
    std::vector<Variant> out;
    for (const auto& [value, n] : counts) out.insert(out.end(), n, value);
    return out;
}

struct Sheets {
    host::Application app;
    host::Workbook& book = app.Workbooks().Add();
    host::Worksheet& roster = book.Sheet(1);
    host::Worksheet& revision = book.InsertSheet(-1, "修改意见", "Sheet3");
    Sheets() {
        roster.SetName("高一");
        revision.SetValueAt(1, 1, Variant("编排时间：2026/12/8 4:00:00"));
    }
    std::vector<std::string> ReportLines() {
        std::vector<std::string> lines;
        for (int32_t r = 2; !revision.ValueAt(r, 1).IsEmpty(); ++r) lines.push_back(revision.ValueAt(r, 1).Text());
        return lines;
    }
};

inline int32_t Id(const arrangement::WorkTable& t, int32_t row) { return host::ToInt32(t.cells(row, 1)); }
inline double Num(const arrangement::WorkTable& t, int32_t row, int32_t col) { return host::ToNumber(t.cells(row, col)); }

// The rows of each room (by room text), in row order.
inline std::map<std::string, std::vector<int32_t>> RowsByRoom(const arrangement::WorkTable& t) {
    std::map<std::string, std::vector<int32_t>> rooms;
    for (int32_t r = 2; r <= t.LastRow(); ++r)
        if (!t.cells(r, t.RoomColumn()).IsEmpty()) rooms[host::ToText(t.cells(r, t.RoomColumn()))].push_back(r);
    return rooms;
}

// Same-class neighbour pairs of a desk grid, counted from the layout and the table.
inline int Pairs(const arrangement::WorkTable& t, const arrangement::DeskLayout& l) {
    int n = 0;
    auto cls = [&](size_t k, int32_t e) { return l.rows[k][e] ? t.ClassOf(l.rows[k][e]) : host::Variant(); };
    for (size_t k = 0; k < l.rows.size(); ++k)
        for (int32_t e = 0; e < l.positions; ++e) {
            host::Variant c = cls(k, e);
            if (c.IsEmpty()) continue;
            if (k + 1 < l.rows.size() && cls(k + 1, e) == c) ++n;
            if (e + 1 < l.positions && cls(k, e + 1) == c) ++n;
        }
    return n;
}

// The findings named by report lines.
inline int Findings(const std::vector<std::string>& lines) {
    int n = 0;
    for (const std::string& line : lines)
        for (size_t at = line.find("考生同班"); at != std::string::npos; at = line.find("考生同班", at + 1)) ++n;
    return n;
}

}  // namespace assigntest
