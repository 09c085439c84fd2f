#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "AssignFixtures.h"
#include "arrangement/AssignOrdered.h"
#include "host/HostError.h"

namespace {

using arrangement::AssignOrdered;
using arrangement::kNoneEntry;
using arrangement::SortDirection;
using arrangement::WorkTable;
using assigntest::ClassColumn;
using assigntest::Id;
using assigntest::MakeSettings;
using assigntest::MakeTable;
using assigntest::Num;
using assigntest::Sheets;
using host::Variant;

// Room and seat of every row, as "room/seat" ("" when unplaced).
std::vector<std::string> Places(const WorkTable& t) {
    std::vector<std::string> out;
    for (int32_t r = 2; r <= t.LastRow(); ++r) {
        const Variant& room = t.cells(r, t.RoomColumn());
        out.push_back(room.IsEmpty() ? "" : host::ToText(room) + "/" + host::ToText(t.cells(r, t.SeatColumn())));
    }
    return out;
}

TEST(AssignOrdered, AscendingFillsRoomsOfThirtyThirtyTwentyInKeyOrder) {
    Sheets sh;
    std::vector<Variant> scores;
    std::vector<int> values(80);
    std::iota(values.begin(), values.end(), 101);
    std::shuffle(values.begin(), values.end(), std::mt19937(5));
    for (int v : values) scores.push_back(Variant(v));
    WorkTable t = MakeTable(ClassColumn({{Variant("1班"), 40}, {Variant("2班"), 40}}), scores);
    auto s = MakeSettings({{Variant("1班"), 40}, {Variant("2班"), 40}},
                          {{Variant(1), {15, 15}}, {Variant(2), {15, 15}}, {Variant(3), {10, 10}}}, 2);

    AssignOrdered(sh.roster, t, s, "分数", SortDirection::Ascending);

    for (int32_t r = 2; r <= 81; ++r) {
        int rank = int(Num(t, r, 3)) - 100;  // 1 for the smallest score
        int room = rank <= 30 ? 1 : rank <= 60 ? 2 : 3;
        int seat = rank - (room == 1 ? 0 : room == 2 ? 30 : 60);
        EXPECT_EQ(Num(t, r, 4), room) << "score " << rank + 100;
        EXPECT_EQ(Num(t, r, 5), seat) << "score " << rank + 100;
    }
    // The row-number column travelled with its candidate.
    for (int32_t r = 2; r <= 81; ++r) EXPECT_EQ(Num(t, r, 6), Id(t, r) + 1);
}

TEST(AssignOrdered, DescendingPutsTheLargestKeyFirst) {
    Sheets sh;
    WorkTable t = MakeTable(ClassColumn({{Variant(1), 4}}), {Variant(3), Variant(9), Variant(1), Variant(7)});
    auto s = MakeSettings({{Variant(1), 4}}, {{Variant(5), {2}}, {Variant(6), {2}}}, 1);
    AssignOrdered(sh.roster, t, s, "分数", SortDirection::Descending);
    EXPECT_EQ(std::vector<double>({Num(t, 2, 3), Num(t, 3, 3), Num(t, 4, 3), Num(t, 5, 3)}),
              std::vector<double>({9, 7, 3, 1}));
    EXPECT_EQ(Places(t), std::vector<std::string>({"5/1", "5/2", "6/1", "6/2"}));
}

// The key never applies: the none entry with 降序, and a title no column carries.
TEST(AssignOrdered, NoSortForTheNoneEntryOrAnUnknownTitle) {
    for (std::string key : {kNoneEntry, std::string("考号")}) {
        Sheets sh;
        WorkTable t = MakeTable(ClassColumn({{Variant("甲"), 5}}), {Variant(5), Variant(4), Variant(3), Variant(2), Variant(1)});
        auto s = MakeSettings({{Variant("甲"), 5}}, {{Variant("A01"), {3}}, {Variant("A02"), {2}}}, 1);
        AssignOrdered(sh.roster, t, s, key, SortDirection::Descending);
        for (int32_t r = 2; r <= 6; ++r) EXPECT_EQ(Id(t, r), r - 1) << key;
        EXPECT_EQ(Places(t), std::vector<std::string>({"A01/1", "A01/2", "A01/3", "A02/1", "A02/2"})) << key;
    }
}

TEST(AssignOrdered, RowWithoutClassIsPassedOverAndTheRoomStillFills) {
    Sheets sh;
    WorkTable t = MakeTable({Variant("1班"), Variant("1班"), Variant(), Variant("1班"), Variant("2班"), Variant("2班")});
    auto s = MakeSettings({{Variant("1班"), 3}, {Variant("2班"), 2}}, {{Variant(1), {3}}, {Variant(2), {2}}}, 1);
    AssignOrdered(sh.roster, t, s, kNoneEntry, SortDirection::Ascending);
    EXPECT_EQ(Places(t), std::vector<std::string>({"1/1", "1/2", "", "1/3", "2/1", "2/2"}));
}

TEST(AssignOrdered, MixedKeysGiveNumbersThenTextThenEmpty) {
    Sheets sh;
    WorkTable t = MakeTable(ClassColumn({{Variant(1), 6}}),
                            {Variant(10), Variant("b"), Variant(2), Variant(), Variant("A"), Variant(-1)});
    auto s = MakeSettings({{Variant(1), 6}}, {{Variant(1), {6}}}, 1);
    AssignOrdered(sh.roster, t, s, "分数", SortDirection::Ascending);
    std::vector<std::string> keys;
    for (int32_t r = 2; r <= 7; ++r) keys.push_back(host::ToText(t.cells(r, 3)));
    EXPECT_EQ(keys, std::vector<std::string>({"-1", "2", "10", "A", "b", ""}));
    EXPECT_EQ(Places(t), std::vector<std::string>({"1/1", "1/2", "1/3", "1/4", "1/5", "1/6"}));
}

// Fewer places than candidates leaves the surplus unseated; more places leave the last room short.
TEST(AssignOrdered, PlacesAndCandidatesThatDoNotMatch) {
    struct Case {
        std::vector<double> rooms;
        std::vector<std::string> places;
    } cases[] = {
        {{2, 1}, {"1/1", "1/2", "2/1", ""}},
        {{3, 3}, {"1/1", "1/2", "1/3", "2/1"}},
        {{0, 4}, {"2/1", "2/2", "2/3", "2/4"}},
    };
    for (const Case& c : cases) {
        Sheets sh;
        WorkTable t = MakeTable(ClassColumn({{Variant(1), 4}}));
        auto s = MakeSettings({{Variant(1), 4}}, {{Variant(1), {c.rooms[0]}}, {Variant(2), {c.rooms[1]}}}, 1);
        AssignOrdered(sh.roster, t, s, kNoneEntry, SortDirection::Ascending);
        EXPECT_EQ(Places(t), c.places);
    }
}

// A negative group count must not move the filling back over seated rows.
TEST(AssignOrdered, NegativeRoomTotalTakesNobodyAndMovesNothingBack) {
    Sheets sh;
    WorkTable t = MakeTable(ClassColumn({{Variant(1), 4}}));
    auto s = MakeSettings({{Variant(1), 4}}, {{Variant(1), {2}}, {Variant(2), {-1}}, {Variant(3), {2}}}, 1);
    AssignOrdered(sh.roster, t, s, kNoneEntry, SortDirection::Ascending);
    EXPECT_EQ(Places(t), std::vector<std::string>({"1/1", "1/2", "3/1", "3/2"}));
    EXPECT_EQ(t.cells(1, 4), Variant("\t场号"));
}

TEST(AssignOrdered, RoomBeyondSixteenBitsIsRefusedBeforeAnyChange) {
    Sheets sh;
    WorkTable t = MakeTable(ClassColumn({{Variant(1), 3}}), {Variant(3), Variant(2), Variant(1)});
    auto s = MakeSettings({{Variant(1), 3}}, {{Variant(7), {20000, 20000}}}, 2);
    try {
        AssignOrdered(sh.roster, t, s, "分数", SortDirection::Ascending);
        FAIL() << "no error";
    } catch (const host::HostError& e) {
        EXPECT_NE(std::string(e.what()).find("第7考场的人数 40000 超出 32767"), std::string::npos) << e.what();
    }
    EXPECT_EQ(Places(t), std::vector<std::string>({"", "", ""}));
    EXPECT_EQ(Id(t, 2), 1);
}

// Sheet rows are 32-bit: the second room's seats lie beyond row 32,767.
TEST(AssignOrdered, SheetOfFortyThousandCandidates) {
    Sheets sh;
    std::vector<Variant> scores;
    for (int i = 0; i < 40000; ++i) scores.push_back(Variant(40000 - i));
    WorkTable t = MakeTable(ClassColumn({{Variant(1), 40000}}), scores);
    auto s = MakeSettings({{Variant(1), 40000}}, {{Variant(1), {10000, 10000}}, {Variant(2), {10000, 10000}}}, 2);
    s.gradeTotal = 40000;
    AssignOrdered(sh.roster, t, s, "分数", SortDirection::Ascending);
    EXPECT_EQ(Num(t, 2, 3), 1);
    EXPECT_EQ(Num(t, 20001, 4), 1);
    EXPECT_EQ(Num(t, 20001, 5), 20000);
    EXPECT_EQ(Num(t, 20002, 4), 2);
    EXPECT_EQ(Num(t, 40001, 4), 2);
    EXPECT_EQ(Num(t, 40001, 5), 20000);
    EXPECT_EQ(Num(t, 40001, 3), 40000);
}

}  // namespace
