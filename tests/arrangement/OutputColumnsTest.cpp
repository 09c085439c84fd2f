// WriteOutputColumns on work tables built in memory: seat labels, both
// exam-number methods and their widths, the room and class figures, extra
// fields, and the rows put back in their first order.
#include <gtest/gtest.h>

#include "CoreFixtures.h"
#include "arrangement/WriteOutputColumns.h"
#include "host/Range.h"
#include "host/Worksheet.h"

using arrangement::ExamNumbering;
using arrangement::SheetSettings;
using arrangement::WorkTable;
using host::Variant;

namespace {

// A candidate as the assignment leaves it: user cells, then room and seat.
struct Candidate {
    std::string name, cls;
    Variant room, seat;
    Variant prefix = Variant();
};

// Roster "姓名 | 班级 | 代码" (L = 3) with the three system columns, the rows
// in roster order; the row-number column holds each row's own number.
WorkTable Table(const std::vector<Candidate>& rows) {
    WorkTable t;
    t.lastColumn = 3;
    t.classColumn = 2;
    t.cells = host::Array2D(int32_t(rows.size()) + 1, 6);
    const char* titles[] = {"姓名", "班级", "代码", "\t场号", "\t座号", "\tA"};
    for (int32_t c = 1; c <= 6; ++c) t.cells(1, c) = Variant(titles[c - 1]);
    for (int32_t r = 2; r <= t.cells.Rows(); ++r) {
        const Candidate& k = rows[size_t(r - 2)];
        t.cells(r, 1) = Variant(k.name);
        if (!k.cls.empty()) t.cells(r, 2) = Variant(k.cls);
        t.cells(r, 3) = k.prefix;
        t.cells(r, 4) = k.room;
        t.cells(r, 5) = k.seat;
        t.cells(r, 6) = Variant(r);
    }
    return t;
}

// Rooms as (number, total) with G = 1 and the extra fields given by title,
// one value per room; classes as (value, size).
SheetSettings Settings(const std::vector<std::pair<Variant, int>>& rooms,
                       const std::vector<std::pair<std::string, int>>& classes,
                       const std::vector<std::string>& fieldTitles = {},
                       const std::vector<std::vector<Variant>>& fieldValues = {}) {
    SheetSettings s;
    s.groups = 1;
    s.extraFields = int16_t(fieldTitles.size());
    s.roomTable = host::Array2D(int32_t(rooms.size()) + 1, s.TotalColumn());
    s.roomTable(1, 1) = Variant("场号");
    for (size_t i = 0; i < fieldTitles.size(); ++i)
        if (!fieldTitles[i].empty()) s.roomTable(1, int32_t(i) + 2) = Variant(fieldTitles[i]);
    int gradeTotal = 0;
    for (size_t k = 0; k < rooms.size(); ++k) {
        const int32_t r = int32_t(k) + 2;
        s.roomTable(r, 1) = rooms[k].first;
        for (size_t i = 0; k < fieldValues.size() && i < fieldValues[k].size(); ++i)
            s.roomTable(r, int32_t(i) + 2) = fieldValues[k][i];
        s.roomTable(r, s.GroupColumn(1)) = Variant(rooms[k].second);
        s.roomTable(r, s.TotalColumn()) = Variant(rooms[k].second);
        gradeTotal += rooms[k].second;
    }
    s.classTable = host::Array2D(int32_t(classes.size()) + 1, 2);
    for (size_t k = 0; k < classes.size(); ++k) {
        s.classTable(int32_t(k) + 2, 1) = Variant(classes[k].first);
        s.classTable(int32_t(k) + 2, 2) = Variant(classes[k].second);
    }
    s.gradeTotal = gradeTotal;
    s.classCount = int16_t(classes.size());
    s.roomCount = int16_t(rooms.size());
    return s;
}

// What the run does with a table: the roster sheet holds the user's cells,
// the system columns are computed on a sort sheet and written beside them.
void Arrange(host::Worksheet& roster, WorkTable& t, const SheetSettings& st, const ExamNumbering& n, int64_t& counter) {
    for (int32_t r = 1; r <= t.cells.Rows(); ++r)
        for (int32_t c = 1; c <= t.lastColumn; ++c) roster.SetValueAt(r, c, t.cells(r, c));
    host::Worksheet& sortSheet = roster.Parent().Worksheets().Add();
    arrangement::WriteOutputColumns(sortSheet, t, st, n, counter);
    arrangement::WriteSystemColumns(roster, t);
}

struct Sheet {
    host::Application app;
    host::Workbook& wb = app.Workbooks().Add();
    host::Worksheet& ws = wb.Sheet(1);
    Variant At(int32_t r, int32_t c) const { return ws.ValueAt(r, c); }
    std::string Text(int32_t r, int32_t c) const { return host::ToText(ws.ValueAt(r, c)); }
};

ExamNumbering MethodOne(int32_t width) { return {true, width, 0, 0}; }

TEST(OutputColumns, SeatLabelsAndPaddingNeverCut) {
    const std::pair<Variant, const char*> labels[] = {
        {Variant(7), "7A"}, {Variant(12), "12B"}, {Variant(1), "1A"}, {Variant(30), "30B"}};
    for (const auto& [seat, label] : labels) EXPECT_EQ(arrangement::SeatLabel(seat), label);
    const std::tuple<const char*, int, const char*> pads[] = {
        {"7", 3, "007"}, {"123", 2, "123"}, {"45", 2, "45"}, {"", 2, "00"}, {"AB", 0, "AB"}};
    for (const auto& [text, width, padded] : pads) EXPECT_EQ(arrangement::ZeroPadded(text, width), padded);
}

TEST(OutputColumns, FinalLayoutRowsInFirstOrderAndRowNumberColumnGone) {
    Sheet s;
    // Roster order differs from room/seat order; 己 has no class and no room.
    WorkTable t = Table({{"甲", "2班", Variant(2), Variant(1)},
                         {"乙", "1班", Variant(1), Variant(2)},
                         {"己", "", Variant(), Variant()},
                         {"丙", "1班", Variant(1), Variant(1)},
                         {"丁", "2班", Variant(2), Variant(2)}});
    const SheetSettings st = Settings({{Variant(1), 2}, {Variant(2), 2}}, {{"1班", 2}, {"2班", 2}},
                                      {"楼层", "", "监考"}, {{Variant("一楼"), Variant("x"), Variant("王")},
                                                           {Variant("二楼"), Variant("y"), Variant("李")}});
    int64_t counter = 0;
    Arrange(s.ws, t, st, MethodOne(3), counter);
    EXPECT_EQ(counter, 4);

    const std::vector<std::string> titles{"姓名", "班级", "代码", "\t场号", "\t座号", "\tAB座号", "\t考号",
                                          "\t首考号", "\t尾考号", "\t场人", "\t场数", "\t班数", "\t级人",
                                          "\t班人", "\t楼层", "\t监考"};
    for (size_t c = 0; c < titles.size(); ++c) EXPECT_EQ(s.Text(1, int32_t(c) + 1), titles[c]) << c;
    EXPECT_EQ(s.ws.UsedRect().right, 16);

    // name | room seat AB exam first last | 场人 场数 班数 级人 班人 | fields
    using Row = std::vector<std::string>;
    const Row expected[] = {
        {"甲", "2", "1", "1A", "003", "003", "004", "2", "2", "2", "4", "2", "二楼", "李"},
        {"乙", "1", "2", "2B", "002", "001", "002", "2", "2", "2", "4", "2", "一楼", "王"},
        {"己", "", "", "", "", "", "", "", "", "", "", "", "", ""},
        {"丙", "1", "1", "1A", "001", "001", "002", "2", "2", "2", "4", "2", "一楼", "王"},
        {"丁", "2", "2", "2B", "004", "003", "004", "2", "2", "2", "4", "2", "二楼", "李"},
    };
    for (int32_t r = 2; r <= 6; ++r) {
        Row got{s.Text(r, 1)};
        for (int32_t c = 4; c <= 16; ++c) got.push_back(s.Text(r, c));
        EXPECT_EQ(got, expected[r - 2]) << "row " << r;
    }
    for (int32_t c = 7; c <= 9; ++c) EXPECT_EQ(s.ws.Cells(2, c).NumberFormat(), "@") << c;
    EXPECT_EQ(s.At(2, 7), Variant("003"));  // text, leading zeros kept
}

TEST(OutputColumns, MethodOneWidthFourGivesFourDigitsUpTo999) {
    Sheet s;
    std::vector<Candidate> rows;
    for (int i = 1; i <= 999; ++i) rows.push_back({"考生" + std::to_string(i), "1班", Variant(1), Variant(i)});
    WorkTable t = Table(rows);
    int64_t counter = 0;
    Arrange(s.ws, t, Settings({{Variant(1), 999}}, {{"1班", 999}}), MethodOne(4), counter);
    EXPECT_EQ(s.At(2, 7), Variant("0001"));
    EXPECT_EQ(s.At(101, 7), Variant("0100"));
    EXPECT_EQ(s.At(1000, 7), Variant("0999"));
    EXPECT_EQ(s.At(500, 8), Variant("0001"));
    EXPECT_EQ(s.At(500, 9), Variant("0999"));
}

TEST(OutputColumns, MethodOneCountsOnFromTheRunCounterAcrossSheets) {
    Sheet s;
    host::Worksheet& second = s.wb.Worksheets().Add();
    int64_t counter = -1;  // first number empty: the first exam number is 0
    WorkTable a = Table({{"甲", "1班", Variant(1), Variant(1)}, {"乙", "1班", Variant(1), Variant(2)}});
    Arrange(s.ws, a, Settings({{Variant(1), 2}}, {{"1班", 2}}), MethodOne(1), counter);
    WorkTable b = Table({{"丙", "3班", Variant(5), Variant(1)}});
    Arrange(second, b, Settings({{Variant(5), 1}}, {{"3班", 1}}), MethodOne(1), counter);
    EXPECT_EQ(s.At(2, 7), Variant("0"));
    EXPECT_EQ(s.At(3, 7), Variant("1"));
    EXPECT_EQ(second.ValueAt(2, 7), Variant("2"));
}

TEST(OutputColumns, MethodTwoIsColumnThenRoomThenSeatPadded) {
    // {selected column, prefix value, room width, seat width} → exam number of room 3 seat 7
    const std::tuple<int32_t, Variant, int16_t, int16_t, const char*> cases[] = {
        {0, Variant("AB"), 2, 2, "0307"},
        {3, Variant("AB"), 2, 2, "AB0307"},
        {3, Variant(12), 1, 3, "123007"},
        {3, Variant(), 3, 1, "0037"},
    };
    for (const auto& [column, prefix, roomWidth, seatWidth, number] : cases) {
        SCOPED_TRACE(number);
        Sheet s;
        std::vector<Candidate> rows;
        for (int seat = 1; seat <= 7; ++seat)
            rows.push_back({"考生", "1班", Variant(3), Variant(seat), seat == 7 ? prefix : Variant("x")});
        WorkTable t = Table(rows);
        t.selectedColumn = column;
        int64_t counter = 41;
        Arrange(s.ws, t, Settings({{Variant(3), 7}}, {{"1班", 7}}),
                                        {false, 0, roomWidth, seatWidth}, counter);
        EXPECT_EQ(s.Text(8, 7), number);
        EXPECT_EQ(s.Text(8, 9), number);  // last exam number of the room
        EXPECT_EQ(counter, 41) << "method 2 leaves the counter";
    }
}

TEST(OutputColumns, RoomWhoseRowsDoNotAllStandTogetherGetsNoNumbers) {
    Sheet s;
    // Room 2 promises 3 seats but only 2 rows carry it.
    WorkTable t = Table({{"甲", "1班", Variant(1), Variant(1)},
                         {"乙", "1班", Variant(2), Variant(1)},
                         {"丙", "1班", Variant(2), Variant(2)}});
    int64_t counter = 0;
    Arrange(s.ws, t, Settings({{Variant(1), 1}, {Variant(2), 3}}, {{"1班", 3}}),
                                    MethodOne(1), counter);
    EXPECT_EQ(s.At(2, 7), Variant("1"));
    for (int32_t r : {3, 4})
        for (int32_t c = 6; c <= 10; ++c) EXPECT_TRUE(s.At(r, c).IsEmpty()) << r << "," << c;
    EXPECT_EQ(counter, 1);
    // The class figures do not depend on the rooms.
    EXPECT_EQ(s.At(4, 14), Variant(3));
}

}  // namespace
