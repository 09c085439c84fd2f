// The far-partner index against a plain scan of the rows, through long runs of
// swaps on tables of balanced and unbalanced class mixes.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "arrangement/FarPartners.h"

namespace {

using arrangement::FarPartners;

// Classes per row 0 .. N + 1 from letters for rows 2 .. N ('.' for no class,
// 'A' = 1, 'B' = 2, …).
std::vector<int32_t> Rows(const std::string& letters) {
    std::vector<int32_t> rows(letters.size() + 3, 0);
    for (size_t i = 0; i < letters.size(); ++i) rows[i + 2] = letters[i] == '.' ? 0 : letters[i] - 'A' + 1;
    return rows;
}

// The definition, row by row.
std::set<int32_t> Scan(const std::vector<int32_t>& rows, int32_t x, int32_t left) {
    std::set<int32_t> out;
    const int32_t n = int32_t(rows.size()) - 2;
    for (int32_t j = 2; j <= n - 1; ++j) {
        const int32_t y = rows[size_t(j)];
        if (y != 0 && y != x && y != left && rows[size_t(j) - 1] != x && rows[size_t(j) + 1] != x) out.insert(j);
    }
    return out;
}

std::set<int32_t> Picked(FarPartners& index, int32_t x, int32_t left) {
    std::set<int32_t> out;
    const int32_t count = index.Count(x, left);
    for (int32_t k = 1; k <= count; ++k) out.insert(index.Pick(x, left, k));
    EXPECT_EQ(int32_t(out.size()), count) << "a partner picked twice";
    return out;
}

TEST(FarPartners, SmallTableByHand) {
    // Rows 2–7: A A B C B C. Row 5 (C between B and B) and row 6 (B between C
    // and C) have no A around; row 4 touches the A at row 3, row 7 is the last.
    FarPartners index(Rows("AABCBC"), 3);
    EXPECT_EQ(index.Count(1, 0), 2);
    EXPECT_EQ(Picked(index, 1, 0), (std::set<int32_t>{5, 6}));
    EXPECT_EQ(Picked(index, 1, 3), (std::set<int32_t>{6}));  // C above the candidate: only the B
    EXPECT_EQ(Picked(index, 1, 2), (std::set<int32_t>{5}));
    EXPECT_EQ(index.Count(1, 1), 2);  // the candidate's own class above excludes nothing more

    // Moving the C of row 5 up to row 2 leaves no row without an A around.
    index.Swap(2, 5);
    EXPECT_EQ(index.ClassOf(2), 3);
    EXPECT_EQ(index.ClassOf(5), 1);
    EXPECT_EQ(index.Count(1, 0), 0);
    EXPECT_EQ(Picked(index, 3, 0), (std::set<int32_t>{4, 5}));  // rows 3–7: A B A B C
}

TEST(FarPartners, RowsWithoutClassAreNeverPartnersButSeparateClassmates) {
    // Rows 2–8: A . B A . B A; rows 3 and 6 have no class.
    FarPartners index(Rows("A.BA.BA"), 2);
    EXPECT_EQ(index.Count(1, 0), 0);                         // each B has an A next to it
    EXPECT_EQ(Picked(index, 2, 0), (std::set<int32_t>{2}));  // the A of row 5 touches the B of row 4
    EXPECT_EQ(Picked(index, 2, 1), (std::set<int32_t>{}));
    // A row without class is swapped like any other and stays without class.
    index.Swap(3, 4);  // rows 2–8: A B . A . B A
    EXPECT_EQ(index.ClassOf(3), 2);
    EXPECT_EQ(index.ClassOf(4), 0);
    EXPECT_EQ(Picked(index, 2, 0), (std::set<int32_t>{5}));  // now between two rows without class
}

// Only rows 2 .. N − 1 are partners, like the rows a far search draws from.
TEST(FarPartners, TheLastRowAndTooShortTablesHaveNoPartner) {
    for (const std::string& letters : {std::string(), std::string("A"), std::string("AB")}) {
        FarPartners index(Rows(letters), 2);
        EXPECT_EQ(index.Count(1, 0), 0) << letters;
        EXPECT_EQ(index.Count(2, 0), 0) << letters;
    }
    FarPartners last(Rows("AB.A"), 2);  // the A of row 5 has no B around but is row N
    EXPECT_EQ(last.Count(2, 0), 0);
    FarPartners before(Rows("AB.AA"), 2);  // rows 5 and 6 both free of B; row 6 is row N
    EXPECT_EQ(Picked(before, 2, 0), (std::set<int32_t>{5}));
}

struct Mix {
    const char* name;
    int32_t rows;
    std::vector<int32_t> weights;  // per class; weight 0 at index 0 is no class
};

// Random tables, random swaps (any two rows 2 .. N, with and without class);
// after each swap a few classes are compared with the scan, each under every
// class above it. Classes are first asked for at different points of the run,
// so bits built late start from a table many swaps old.
TEST(FarPartners, AgreesWithTheScanThroughThousandsOfSwaps) {
    const Mix mixes[] = {
        {"balanced", 200, {0, 1, 1, 1, 1, 1, 1}},
        {"two classes 3:1", 300, {0, 3, 1}},
        {"two classes 9:1 with empty rows", 257, {1, 45, 5}},
        {"one big, many small", 520, {0, 60, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
        {"one class", 130, {0, 1}},
        {"word boundary", 66, {0, 2, 1, 1}},
    };
    for (const Mix& mix : mixes) {
        std::mt19937 rng(12345);
        std::discrete_distribution<int32_t> draw(mix.weights.begin(), mix.weights.end());
        const int32_t classes = int32_t(mix.weights.size()) - 1;
        std::vector<int32_t> rows(size_t(mix.rows) + 2, 0);
        for (int32_t r = 2; r <= mix.rows; ++r) rows[size_t(r)] = draw(rng);
        FarPartners index(rows, classes);
        std::uniform_int_distribution<int32_t> anyRow(2, mix.rows);
        std::uniform_int_distribution<int32_t> anyClass(1, classes);
        for (int step = 0; step < 2000; ++step) {
            int32_t a = anyRow(rng), b = anyRow(rng);
            // Mostly nearby rows, as the near swaps are, where the windows overlap.
            if (step % 3 == 0) b = std::clamp(a + std::uniform_int_distribution<int32_t>(-3, 3)(rng), 2, mix.rows);
            index.Swap(a, b);
            std::swap(rows[size_t(a)], rows[size_t(b)]);
            if (step % 10 != 0) continue;
            const int32_t x = anyClass(rng);
            for (int32_t left = 0; left <= classes; ++left) {
                ASSERT_EQ(Picked(index, x, left), Scan(rows, x, left))
                    << mix.name << " step " << step << " x " << x << " left " << left;
            }
        }
        for (int32_t r = 0; r <= mix.rows + 1; ++r) ASSERT_EQ(index.ClassOf(r), rows[size_t(r)]) << mix.name << r;
    }
}

}  // namespace
