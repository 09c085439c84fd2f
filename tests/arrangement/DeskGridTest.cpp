#include <gtest/gtest.h>

#include <random>

#include "AssignFixtures.h"
#include "arrangement/DeskGrid.h"

namespace {

using arrangement::CheckDeskGrid;
using arrangement::DeskOrder;
using arrangement::LayOutDesks;
using arrangement::ListRooms;
using arrangement::Room;
using arrangement::RoomFilter;
using arrangement::WorkTable;
using assigntest::MakeSettings;
using assigntest::Findings;
using assigntest::MakeTable;
using assigntest::Pairs;
using host::Variant;
using Rows = std::vector<std::vector<int32_t>>;

Room OneRoom(const std::vector<double>& groups) {
    auto s = MakeSettings({}, {{Variant(3), groups}}, int16_t(groups.size()));
    return ListRooms(s, RoomFilter::Active).at(0);
}

std::vector<Variant> Classes(const std::string& letters) {
    std::vector<Variant> v;
    for (char c : letters) v.push_back(c == '.' ? Variant() : Variant(std::string(1, c)));
    return v;
}

TEST(DeskLayout, SequentialAndSShapedOrder) {
    WorkTable t = MakeTable(Classes("AAAAAA"));
    Room room = OneRoom({3, 3});
    EXPECT_EQ(LayOutDesks(t, room, 2, 2, DeskOrder::SShape).rows, Rows({{2, 3, 4}, {7, 6, 5}}));
    EXPECT_EQ(LayOutDesks(t, room, 2, 2, DeskOrder::Sequential).rows, Rows({{2, 3, 4}, {5, 6, 7}}));
}

// Groups without candidates are not grid columns; desks beyond a short group stay empty.
TEST(DeskLayout, GroupsOneThreeFiveBecomeColumnsOneToThree) {
    WorkTable t = MakeTable(Classes("AAAAAAA"));
    Room room = OneRoom({2, 0, 3, 0, 2});
    auto layout = LayOutDesks(t, room, 5, 2, DeskOrder::SShape);
    EXPECT_EQ(layout.positions, 3);
    EXPECT_EQ(layout.rows, Rows({{2, 3, 0}, {6, 5, 4}, {7, 8, 0}, {0, 0, 0}, {0, 0, 0}}));
}

TEST(DeskLayout, RoomRunningPastTheLastRowKeepsTheColumnsThatFit) {
    WorkTable t = MakeTable(Classes("AAAAA"));  // rows 2 .. 6
    auto layout = LayOutDesks(t, OneRoom({2, 2, 2}), 3, 2, DeskOrder::Sequential);
    EXPECT_EQ(layout.rows, Rows({{2, 3}, {4, 5}, {0, 0}}));
}

TEST(CheckDeskGrid, OneClassAcrossGroupsOneThreeFiveIsReportedAsColumnsTwoAndThree) {
    coretest::FakeToolkit tk;
    WorkTable t = MakeTable(Classes("AAAAAA"));
    auto lines = CheckDeskGrid(t, OneRoom({2, 0, 2, 0, 2}), 5, 2, "高一", DeskOrder::Sequential, tk);
    EXPECT_EQ(lines, std::vector<std::string>({
                         "第3考场《高一》左右同班：第1、2组的第1桌考生同班；第2、3组的第1桌考生同班；"
                         "第1、2组的第2桌考生同班；第2、3组的第2桌考生同班；",
                         "第3考场《高一》前后同班：第1组的第1、2桌考生同班；第2组的第1、2桌考生同班；"
                         "第3组的第1、2桌考生同班；",
                     }));
}

// Five of one class in six desks cannot be separated, and no swap is possible:
// the findings follow the desk order alone.
TEST(CheckDeskGrid, ClassFillingAGroupIsListedByDeskOrder) {
    struct Case {
        DeskOrder order;
        std::vector<std::string> lines;
    } cases[] = {
        {DeskOrder::Sequential,
         {"第3考场《高一》左右同班：第1、2组的第1桌考生同班；第1、2组的第2桌考生同班；",
          "第3考场《高一》前后同班：第1组的第1、2桌考生同班；第1组的第2、3桌考生同班；第2组的第1、2桌考生同班；"}},
        {DeskOrder::SShape,
         {"第3考场《高一》左右同班：第1、2组的第2桌考生同班；第1、2组的第3桌考生同班；",
          "第3考场《高一》前后同班：第1组的第1、2桌考生同班；第1组的第2、3桌考生同班；第2组的第2、3桌考生同班；"}},
    };
    for (const Case& c : cases) {
        coretest::FakeToolkit tk;
        WorkTable t = MakeTable(Classes("AAAAAB"));
        EXPECT_EQ(CheckDeskGrid(t, OneRoom({3, 3}), 2, 2, "高一", c.order, tk), c.lines);
        for (int32_t r = 2; r <= 7; ++r) EXPECT_EQ(assigntest::Id(t, r), r - 1);
    }
}

TEST(CheckDeskGrid, SingleGroupHasOnlyFrontBackFindings) {
    coretest::FakeToolkit tk;
    WorkTable t = MakeTable(Classes("AAB"));
    auto lines = CheckDeskGrid(t, OneRoom({3}), 1, 2, "二年级", DeskOrder::Sequential, tk);
    EXPECT_EQ(lines, std::vector<std::string>({"第3考场《二年级》前后同班：第1组的第1、2桌考生同班；"}));
}

TEST(CheckDeskGrid, SeparableNeighboursAreSwappedAndNothingIsReported) {
    for (uint32_t seed = 1; seed <= 20; ++seed) {
        coretest::FakeToolkit tk;
        tk.random = platform::RandomSource(seed);
        // Groups (sequential): A A B C and D B C D; the two A in front can be
        // parted by either C.
        WorkTable t = MakeTable(Classes("AABCDBCD"));
        auto lines = CheckDeskGrid(t, OneRoom({4, 4}), 2, 2, "高一", DeskOrder::Sequential, tk);
        EXPECT_TRUE(lines.empty()) << seed << ": " << (lines.empty() ? "" : lines[0]);
        EXPECT_NE(t.ClassOf(2), Variant("A")) << seed;
        // The room and seat columns stay with the seat; the row numbers move with the candidates.
        for (int32_t r = 2; r <= 9; ++r) EXPECT_EQ(host::ToInt32(t.cells(r, 6)), assigntest::Id(t, r) + 1);
    }
}

// Random rooms: the swaps never add pairs, and the report names exactly the pairs left.
TEST(CheckDeskGrid, SwapsNeverAddPairsAndTheReportCountsWhatIsLeft) {
    std::mt19937 gen(11);
    int improved = 0;
    for (uint32_t seed = 1; seed <= 300; ++seed) {
        int groups = 1 + int(gen() % 6), classes = 1 + int(gen() % 5);
        std::vector<double> counts;
        int total = 0;
        for (int g = 0; g < groups; ++g) {
            counts.push_back(double(gen() % 7));
            total += int(counts.back());
        }
        if (total == 0) continue;
        std::string letters;
        for (int i = 0; i < total; ++i) letters += char('A' + gen() % classes);
        WorkTable t = MakeTable(Classes(letters));
        Room room = OneRoom(counts);
        DeskOrder order = seed % 2 ? DeskOrder::SShape : DeskOrder::Sequential;
        auto layout = LayOutDesks(t, room, int16_t(groups), 2, order);
        int before = Pairs(t, layout);
        coretest::FakeToolkit tk;
        tk.random = platform::RandomSource(seed);
        auto lines = CheckDeskGrid(t, room, int16_t(groups), 2, "高一", order, tk);
        int after = Pairs(t, layout);
        EXPECT_LE(after, before) << letters;
        EXPECT_EQ(Findings(lines), after) << letters;
        improved += after < before;
        std::multiset<int32_t> ids;
        for (int32_t r = 2; r <= t.LastRow(); ++r) ids.insert(assigntest::Id(t, r));
        EXPECT_EQ(int(ids.size()), total);
        EXPECT_EQ(*ids.begin(), 1);
        EXPECT_EQ(*ids.rbegin(), total);
    }
    EXPECT_GT(improved, 50);  // the property is not met by doing nothing
}

}  // namespace
