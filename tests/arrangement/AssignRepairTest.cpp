#include <gtest/gtest.h>

#include <random>
#include <set>

#include "AssignFixtures.h"
#include "arrangement/AssignRandomBalanced.h"

namespace {

using arrangement::RepairAdjacentRows;
using arrangement::WorkTable;
using assigntest::Id;
using assigntest::MakeTable;
using host::Variant;

WorkTable Table(const std::string& letters, const std::string& rooms = {}) {
    std::vector<Variant> classes;
    for (char c : letters) classes.push_back(Variant(std::string(1, c)));
    WorkTable t = MakeTable(classes);
    for (int32_t r = 2; r <= t.LastRow(); ++r) {
        t.cells(r, t.RoomColumn()) = Variant(rooms.empty() ? 1 : rooms[r - 2] - '0');
        t.cells(r, t.SeatColumn()) = Variant(r - 1);
    }
    return t;
}

std::string Letters(const WorkTable& t) {
    std::string s;
    for (int32_t r = 2; r <= t.LastRow(); ++r) s += t.ClassOf(r).Text();
    return s;
}

bool HasPairInRoom(const WorkTable& t) {
    for (int32_t r = 2; r < t.LastRow(); ++r)
        if (t.ClassOf(r) == t.ClassOf(r + 1) && t.cells(r, 4) == t.cells(r + 1, 4)) return true;
    return false;
}

// Rooms and seats stay with the rows; the user's cells and row numbers move together.
void ExpectSeatsInPlace(const WorkTable& t) {
    for (int32_t r = 2; r <= t.LastRow(); ++r) {
        EXPECT_EQ(host::ToNumber(t.cells(r, t.SeatColumn())), r - 1);
        EXPECT_EQ(host::ToInt32(t.cells(r, t.RowNumberColumn())), Id(t, r) + 1);
    }
}

// The pair at rows 2 and 3 has no row above to swap with; rows 5 and 6 (C
// and B between non-A neighbours) are the only partners further down, and
// either may be drawn.
TEST(RepairAdjacentRows, PairAtTheTopFindsAFarPartnerAndNeverRowOne) {
    bool seen[2] = {false, false};
    for (uint32_t seed = 1; seed <= 30; ++seed) {
        coretest::FakeToolkit tk;
        tk.random = platform::RandomSource(seed);
        WorkTable t = Table("AABCBC");
        RepairAdjacentRows(t, 3, tk);
        EXPECT_TRUE(Letters(t) == "CABABC" || Letters(t) == "BABCAC") << seed << " " << Letters(t);
        seen[Letters(t) == "CABABC" ? 0 : 1] = true;
        EXPECT_EQ(t.cells(1, 2), Variant("班级"));
        ExpectSeatsInPlace(t);
    }
    EXPECT_TRUE(seen[0] && seen[1]);
}

// Offsets 1 and 2 both pass for the pair at rows 4 and 5; the far row 7 is
// never taken while a near partner exists.
TEST(RepairAdjacentRows, NearPartnerBeforeFarPartner) {
    bool seen[2] = {false, false};
    for (uint32_t seed = 1; seed <= 30; ++seed) {
        coretest::FakeToolkit tk;
        tk.random = platform::RandomSource(seed);
        WorkTable t = Table("CBAADEF");
        RepairAdjacentRows(t, 4, tk);
        std::string s = Letters(t);
        EXPECT_TRUE(s == "CABADEF" || s == "ABCADEF") << seed << " " << s;
        seen[s == "CABADEF" ? 0 : 1] = true;
    }
    EXPECT_TRUE(seen[0] && seen[1]);  // the offsets are drawn in random order
}

TEST(RepairAdjacentRows, LeavesTablesAloneWhereNothingIsToBeDone) {
    struct Case {
        std::string letters, rooms;
        int16_t classes;
    } cases[] = {
        {"AAAB", "", 1},           // one class in the grade: no repair
        {"ABAABA", "111222", 2},   // the two A meet only across a room boundary
        {"AAAA", "", 2},           // nobody else to swap with
        {"ABAB", "", 2},           // no pair
    };
    for (const Case& c : cases) {
        coretest::FakeToolkit tk;
        WorkTable t = Table(c.letters, c.rooms);
        RepairAdjacentRows(t, c.classes, tk);
        EXPECT_EQ(Letters(t), c.letters);
        for (int32_t r = 2; r <= t.LastRow(); ++r) EXPECT_EQ(Id(t, r), r - 1);
    }
}

TEST(RepairAdjacentRows, ManySeedsLeaveNoSeparablePair) {
    for (uint32_t seed = 1; seed <= 100; ++seed) {
        coretest::FakeToolkit tk;
        tk.random = platform::RandomSource(seed);
        WorkTable t = Table("ABCCDEABDDEFABCFFA");
        RepairAdjacentRows(t, 6, tk);
        EXPECT_FALSE(HasPairInRoom(t)) << seed << " " << Letters(t);
        ExpectSeatsInPlace(t);
    }
}

// 40,000 rows, A and B alternating; the pair at rows 39990/39991 can only be
// parted by the lone C at row 39000, beyond 16-bit row numbers.
TEST(RepairAdjacentRows, FarPartnerBeyondRow32767) {
    std::vector<Variant> classes;
    for (int32_t r = 2; r <= 40001; ++r) classes.push_back(Variant(r % 2 == 0 ? "A" : "B"));
    classes[39000 - 2] = Variant("C");
    classes[39991 - 2] = Variant("A");
    WorkTable t = MakeTable(classes);
    for (int32_t r = 2; r <= t.LastRow(); ++r) t.cells(r, t.RoomColumn()) = Variant(1);
    coretest::FakeToolkit tk;
    RepairAdjacentRows(t, 3, tk);
    EXPECT_EQ(Id(t, 39000), 39990 - 1);       // the first A of the pair moved to the C's row
    EXPECT_EQ(t.ClassOf(39990), Variant("A"));
    EXPECT_EQ(t.ClassOf(39991), Variant("C"));
    EXPECT_FALSE(HasPairInRoom(t));
}

// A table of `rows` candidates whose classes are drawn with the given weights
// (class letters A, B, …), in rooms of 30–40 consecutive rows.
WorkTable Drawn(int32_t rows, const std::vector<double>& weights, uint32_t seed) {
    std::mt19937 rng(seed);
    std::discrete_distribution<int> draw(weights.begin(), weights.end());
    std::string letters, rooms;
    for (int32_t r = 0; r < rows; ++r) letters += char('A' + draw(rng));
    WorkTable t = Table(letters);
    int32_t room = 1;
    for (int32_t r = 2, left = 0; r <= t.LastRow(); ++r, --left) {
        if (left == 0) {
            left = std::uniform_int_distribution<int32_t>(30, 40)(rng);
            ++room;
        }
        t.cells(r, t.RoomColumn()) = Variant(room);
    }
    return t;
}

// Rows r where r and r + 1 hold one class, rooms aside.
std::set<int32_t> Neighbours(const WorkTable& t) {
    std::set<int32_t> at;
    for (int32_t r = 2; r < t.LastRow(); ++r)
        if (t.ClassOf(r) == t.ClassOf(r + 1)) at.insert(r);
    return at;
}

// Every swap leaves both rows without a classmate next to them, so the
// repair only parts pairs, whatever the mix: the classmates next to each
// other afterwards stood there before.
TEST(RepairAdjacentRows, UnbalancedClassesArePartedNeverJoined) {
    struct Mix {
        const char* name;
        std::vector<double> weights;
    } mixes[] = {
        {"3:1", {3, 1}},
        {"9:1", {9, 1}},
        {"one big, twenty small", {60, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2}},
        {"two big, three small", {40, 40, 5, 5, 10}},
    };
    for (const Mix& mix : mixes)
        for (uint32_t seed = 1; seed <= 5; ++seed) {
            WorkTable t = Drawn(3000, mix.weights, seed);
            const std::set<int32_t> before = Neighbours(t);
            coretest::FakeToolkit tk;
            tk.random = platform::RandomSource(seed);
            RepairAdjacentRows(t, int16_t(mix.weights.size()), tk);
            const std::set<int32_t> after = Neighbours(t);
            EXPECT_TRUE(std::includes(before.begin(), before.end(), after.begin(), after.end())) << mix.name << seed;
            EXPECT_LT(after.size(), before.size()) << mix.name << seed;
            ExpectSeatsInPlace(t);
        }
}

// 300 of A in a row, then 1,700 of B, C and D taking turns: every pair of A
// has a partner far down when its turn comes (each swap uses up at most three
// of them), so none is left; the same seed gives the same table.
TEST(RepairAdjacentRows, ARunOfOneClassIsPartedWhenPartnersAreEnough) {
    std::string letters(300, 'A');
    for (int i = 0; i < 1700; ++i) letters += char('B' + i % 3);
    for (uint32_t seed = 1; seed <= 5; ++seed) {
        WorkTable t = Table(letters), again = Table(letters);
        coretest::FakeToolkit tk, tk2;
        tk.random = platform::RandomSource(seed);
        tk2.random = platform::RandomSource(seed);
        RepairAdjacentRows(t, 4, tk);
        RepairAdjacentRows(again, 4, tk2);
        EXPECT_TRUE(Neighbours(t).empty()) << seed << " " << *Neighbours(t).begin();
        EXPECT_EQ(Letters(t), Letters(again));
        ExpectSeatsInPlace(t);
    }
}

}  // namespace
