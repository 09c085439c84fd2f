#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>

#include "AssignFixtures.h"
#include "arrangement/AssignRandomBalanced.h"
#include "host/HostError.h"
#include "host/Range.h"

namespace {

using arrangement::AssignRandomBalanced;
using arrangement::DeskOrder;
using arrangement::ListRooms;
using arrangement::RoomFilter;
using arrangement::SheetSettings;
using arrangement::WorkTable;
using assigntest::ClassColumn;
using assigntest::ClassSpec;
using assigntest::Id;
using assigntest::MakeSettings;
using assigntest::MakeTable;
using assigntest::Num;
using assigntest::RoomSpec;
using assigntest::RowsByRoom;
using assigntest::Sheets;
using host::Variant;

struct RandomRun {
    Sheets sheets;
    coretest::FakeToolkit tk;
    WorkTable table;
    SheetSettings settings;
    std::vector<std::string> lines;

    RandomRun(WorkTable t, SheetSettings s, uint32_t seed, DeskOrder order = DeskOrder::SShape)
        : table(std::move(t)), settings(std::move(s)) {
        tk.random = platform::RandomSource(seed);
        AssignRandomBalanced(sheets.roster, table, settings, order, sheets.revision, tk, sheets.roster.Name());
        lines = sheets.ReportLines();
    }
};

// Every candidate row holds one of the ids 1 .. n exactly once, with its own row number.
void ExpectEveryoneOnce(const WorkTable& t) {
    std::vector<int32_t> ids;
    for (int32_t r = 2; r <= t.LastRow(); ++r) {
        ids.push_back(Id(t, r));
        EXPECT_EQ(host::ToInt32(t.cells(r, t.RowNumberColumn())), Id(t, r) + 1);
    }
    std::sort(ids.begin(), ids.end());
    for (size_t i = 0; i < ids.size(); ++i) ASSERT_EQ(ids[i], int32_t(i) + 1);
}

// Each room takes its total in consecutive rows, seats 1, 2, … in row order.
void ExpectRoomsAsSettingsSay(const WorkTable& t, const SheetSettings& s) {
    auto byRoom = RowsByRoom(t);
    for (const auto& room : ListRooms(s, RoomFilter::Active)) {
        const auto& rows = byRoom[host::ToText(room.number)];
        ASSERT_EQ(int(rows.size()), room.total) << host::ToText(room.number);
        for (size_t b = 0; b < rows.size(); ++b) {
            EXPECT_EQ(rows[b], rows[0] + int32_t(b));
            EXPECT_EQ(Num(t, rows[b], t.SeatColumn()), double(b + 1));
        }
    }
}

int ClassInRoom(const WorkTable& t, const std::vector<int32_t>& rows, const Variant& cls) {
    return int(std::count_if(rows.begin(), rows.end(), [&](int32_t r) { return t.ClassOf(r) == cls; }));
}

// Same-class pairs left in the desk grids, from the final table.
int GridPairs(const WorkTable& t, const SheetSettings& s, DeskOrder order) {
    int n = 0;
    auto byRoom = RowsByRoom(t);
    for (const auto& room : ListRooms(s, RoomFilter::Active))
        n += assigntest::Pairs(t, arrangement::LayOutDesks(t, room, s.groups, byRoom[host::ToText(room.number)][0], order));
    return n;
}

// With one class nothing is repaired: the order is that of the first random
// numbers, in which the candidates are shuffled; the report says once, plainly,
// that classmates cannot be kept apart.
TEST(AssignRandomBalanced, OneClassKeepsTheShuffledOrderAndIsReportedOnce) {
    RandomRun run(MakeTable(ClassColumn({{Variant("1班"), 12}})),
            MakeSettings({{Variant("1班"), 12}}, {{Variant(1), {7}}, {Variant(2), {5}}}, 1), 3);
    platform::RandomSource mirror(3);
    mirror.Randomize(0);
    std::vector<float> keys;
    for (int i = 0; i < 12; ++i) keys.push_back(mirror.Rnd());
    std::vector<int32_t> expected(12);
    std::iota(expected.begin(), expected.end(), 1);
    std::stable_sort(expected.begin(), expected.end(), [&](int32_t a, int32_t b) { return keys[a - 1] < keys[b - 1]; });
    for (int32_t r = 2; r <= 13; ++r) EXPECT_EQ(Id(run.table, r), expected[r - 2]);
    ASSERT_EQ(run.lines.size(), 1u);
    EXPECT_NE(run.lines[0].find("只有一个班级，同班考生无法前后左右分开"), std::string::npos) << run.lines[0];
    ExpectRoomsAsSettingsSay(run.table, run.settings);
}

// Shares 15 and 5 in each room; inside a room of one line of desks the small
// class never sits twice in a row and the large one as little as it can.
TEST(AssignRandomBalanced, ThirtyAndTenInTwoRoomsOfTwenty) {
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        RandomRun run(MakeTable(ClassColumn({{Variant("A"), 30}, {Variant("B"), 10}})),
                MakeSettings({{Variant("A"), 30}, {Variant("B"), 10}}, {{Variant(1), {20}}, {Variant(2), {20}}}, 1), seed);
        const WorkTable& t = run.table;
        ExpectEveryoneOnce(t);
        ExpectRoomsAsSettingsSay(t, run.settings);
        for (const auto& [room, rows] : RowsByRoom(t)) {
            EXPECT_EQ(ClassInRoom(t, rows, Variant("A")), 15) << seed;
            // The classes alternate as long as the smaller one lasts: all five B
            // among the first ten seats, the tail all A.
            for (size_t i = 10; i < rows.size(); ++i) EXPECT_EQ(t.ClassOf(rows[i]), Variant("A")) << seed;
        }
        // The pairs that cannot be parted are reported, front–back only (one group).
        EXPECT_EQ(assigntest::Findings(run.lines), GridPairs(t, run.settings, DeskOrder::SShape)) << seed;
        ASSERT_EQ(run.lines.size(), 2u);
        EXPECT_EQ(run.lines[0].rfind("第1考场《高一》前后同班：", 0), 0u) << run.lines[0];
        EXPECT_EQ(run.lines[1].rfind("第2考场《高一》前后同班：", 0), 0u) << run.lines[1];
        EXPECT_EQ(run.sheets.revision.ValueAt(1, 1), Variant("编排时间：2026/12/8 4:00:00"));
    }
}

// The report goes below the lines already there (an earlier sheet's), one
// line after another, also when the revision sheet's stored rows reach its
// bottom row as a run leaves them.
TEST(AssignRandomBalanced, ReportLinesFollowTheLinesAlreadyThere) {
    Sheets sheets;
    sheets.revision.SetValueAt(2, 1, Variant("《高二》第1行"));
    sheets.revision.SetValueAt(3, 1, Variant("《高二》第2行"));
    sheets.revision.SetValueAt(host::kMaxRows, 1, Variant(1234));
    sheets.revision.Cells(host::kMaxRows, 1).ClearContents();
    WorkTable table = MakeTable(ClassColumn({{Variant("A"), 30}, {Variant("B"), 10}}));
    SheetSettings settings =
        MakeSettings({{Variant("A"), 30}, {Variant("B"), 10}}, {{Variant(1), {20}}, {Variant(2), {20}}}, 1);
    coretest::FakeToolkit tk;
    AssignRandomBalanced(sheets.roster, table, settings, DeskOrder::SShape, sheets.revision, tk, sheets.roster.Name());
    const std::vector<std::string> lines = sheets.ReportLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1], "《高二》第2行");
    EXPECT_EQ(lines[2].rfind("第1考场《高一》前后同班：", 0), 0u) << lines[2];
    EXPECT_EQ(lines[3].rfind("第2考场《高一》前后同班：", 0), 0u) << lines[3];
    EXPECT_EQ(sheets.revision.Cells(host::kMaxRows, 1).End(host::xlUp).Row(), 5);
}

// Shares 3 and 3 per class leave one candidate of each class over; the three
// go to the two rooms until both are full.
TEST(AssignRandomBalanced, ThreeClassesOfSevenInRoomsOfElevenAndTen) {
    std::vector<ClassSpec> classes = {{Variant(1), 7}, {Variant(2), 7}, {Variant(3), 7}};
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        RandomRun run(MakeTable(ClassColumn({{Variant(1), 7}, {Variant(2), 7}, {Variant(3), 7}})),
                MakeSettings(classes, {{Variant(101), {6, 5}}, {Variant(102), {5, 5}}}, 2), seed);
        const WorkTable& t = run.table;
        ExpectEveryoneOnce(t);
        ExpectRoomsAsSettingsSay(t, run.settings);
        for (int32_t r = 2; r <= t.LastRow(); ++r) EXPECT_TRUE(t.cells(r, t.RoomColumn()).IsNumber());
        auto byRoom = RowsByRoom(t);
        int fourInFirst = 0;
        for (const ClassSpec& c : classes) {
            int first = ClassInRoom(t, byRoom["101"], c.value), second = ClassInRoom(t, byRoom["102"], c.value);
            EXPECT_TRUE((first == 3 || first == 4) && first + second == 7) << seed << ": " << first << "+" << second;
            fourInFirst += first == 4;
        }
        EXPECT_EQ(fourInFirst, 2) << seed;
    }
}

TEST(AssignRandomBalanced, RowsWithoutClassStayLastWithoutRoom) {
    std::vector<Variant> classes = {Variant("甲"), Variant(), Variant("乙"), Variant("甲"), Variant(), Variant("乙")};
    RandomRun run(MakeTable(classes), MakeSettings({{Variant("甲"), 2}, {Variant("乙"), 2}}, {{Variant(1), {2, 2}}}, 2), 5);
    const WorkTable& t = run.table;
    ExpectEveryoneOnce(t);
    for (int32_t r : {6, 7}) {
        EXPECT_TRUE(t.ClassOf(r).IsEmpty());
        EXPECT_TRUE(t.cells(r, t.RoomColumn()).IsEmpty());
        EXPECT_TRUE(t.cells(r, t.SeatColumn()).IsEmpty());
    }
    ExpectRoomsAsSettingsSay(t, run.settings);
}

// A class table that disagrees with the roster (validation normally stops
// it): no room takes more than its total, nobody is seated twice.
TEST(AssignRandomBalanced, ClassSizesThatDisagreeWithTheRosterNeverOverfillARoom) {
    for (uint32_t seed = 1; seed <= 20; ++seed) {
        RandomRun run(MakeTable(ClassColumn({{Variant("A"), 4}, {Variant("B"), 6}})),
                MakeSettings({{Variant("A"), 6}, {Variant("B"), 4}}, {{Variant(1), {5}}, {Variant(2), {5}}}, 1), seed);
        ExpectEveryoneOnce(run.table);
        ExpectRoomsAsSettingsSay(run.table, run.settings);
    }
}

TEST(AssignRandomBalanced, ClassBeyondSixteenBitsIsRefusedBeforeAnyChange) {
    Sheets sh;
    coretest::FakeToolkit tk;
    WorkTable t = MakeTable(ClassColumn({{Variant("A"), 3}}));
    auto s = MakeSettings({{Variant("A"), 40000}}, {{Variant(1), {3}}}, 1);
    EXPECT_THROW(AssignRandomBalanced(sh.roster, t, s, DeskOrder::SShape, sh.revision, tk, sh.roster.Name()), host::HostError);
    for (int32_t r = 2; r <= 4; ++r) EXPECT_TRUE(t.cells(r, t.RoomColumn()).IsEmpty());
}

TEST(AssignRandomBalanced, SameSeedSameArrangement) {
    auto make = [] {
        return MakeTable(ClassColumn({{Variant("A"), 9}, {Variant("B"), 8}, {Variant("C"), 7}}));
    };
    auto settings = MakeSettings({{Variant("A"), 9}, {Variant("B"), 8}, {Variant("C"), 7}},
                                 {{Variant(1), {4, 4}}, {Variant(2), {4, 4}}, {Variant(3), {4, 4}}}, 2);
    RandomRun a(make(), settings, 42), b(make(), settings, 42), c(make(), settings, 43);
    std::vector<int32_t> ia, ib, ic;
    for (int32_t r = 2; r <= 25; ++r) ia.push_back(Id(a.table, r)), ib.push_back(Id(b.table, r)), ic.push_back(Id(c.table, r));
    EXPECT_EQ(ia, ib);
    EXPECT_NE(ia, ic);
    EXPECT_EQ(a.lines, b.lines);
}

// A realistic grade over many seeds: 8 classes of 25 to 40, 6 rooms in 6
// groups, both desk orders.
TEST(AssignRandomBalanced, PropertiesOverManySeeds) {
    std::mt19937 gen(2026);
    int pairsLeft = 0, candidates = 0;
    for (uint32_t seed = 1; seed <= 60; ++seed) {
        std::vector<ClassSpec> classes;
        std::vector<std::pair<Variant, int>> column;
        int total = 0;
        for (int k = 0; k < 8; ++k) {
            int n = 25 + int(gen() % 16);
            Variant name(std::to_string(k + 1) + "班");
            classes.push_back({name, double(n)});
            column.push_back({name, n});
            total += n;
        }
        // Six rooms sharing the grade as evenly as whole groups of desks allow.
        std::vector<RoomSpec> rooms;
        for (int r = 0, left = total; r < 6; ++r) {
            int size = left / (6 - r);
            left -= size;
            std::vector<double> groups(6, size / 6);
            for (int g = 0; g < size % 6; ++g) groups[g] += 1;
            rooms.push_back({Variant(r + 1), groups});
        }
        DeskOrder order = seed % 2 ? DeskOrder::SShape : DeskOrder::Sequential;
        RandomRun run(MakeTable(ClassColumn(column)), MakeSettings(classes, rooms, 6), seed, order);
        const WorkTable& t = run.table;
        ExpectEveryoneOnce(t);
        ExpectRoomsAsSettingsSay(t, run.settings);
        // Each class gets its share of every room, floor(size × room / grade),
        // plus at most its leftovers; a far partner of the row repair may move
        // one candidate across a room boundary.
        auto byRoom = RowsByRoom(t);
        auto activeRooms = ListRooms(run.settings, RoomFilter::Active);
        for (const ClassSpec& c : classes) {
            int leftovers = int(c.size);
            for (const auto& room : activeRooms) leftovers -= int(c.size) * room.total / total;
            for (const auto& room : activeRooms) {
                int share = int(c.size) * room.total / total;
                int got = ClassInRoom(t, byRoom[host::ToText(room.number)], c.value);
                EXPECT_GE(got, share - 1) << seed << " " << host::ToText(c.value);
                EXPECT_LE(got, share + leftovers + 1) << seed << " " << host::ToText(c.value);
            }
        }
        int left = GridPairs(t, run.settings, order);
        EXPECT_EQ(assigntest::Findings(run.lines), left) << seed;
        pairsLeft += left;
        candidates += total;
    }
    // Classes take turns: left alone, one desk neighbour in eight would be a classmate.
    EXPECT_LT(pairsLeft * 1000.0 / candidates, 5.0) << pairsLeft;
}

// More than 32,767 candidates in one sheet are arranged in full.
TEST(AssignRandomBalanced, SheetOfFortyThousandCandidates) {
    std::vector<ClassSpec> classes;
    std::vector<std::pair<Variant, int>> column;
    for (int k = 1; k <= 40; ++k) {
        classes.push_back({Variant(k), 1000});
        column.push_back({Variant(k), 1000});
    }
    std::vector<RoomSpec> rooms;
    for (int r = 1; r <= 40; ++r) rooms.push_back({Variant(r), {250, 250, 250, 250}});
    RandomRun run(MakeTable(ClassColumn(column)), MakeSettings(classes, rooms, 4), 9);
    ExpectEveryoneOnce(run.table);
    ExpectRoomsAsSettingsSay(run.table, run.settings);
}

}  // namespace
